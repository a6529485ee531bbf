#!/usr/bin/env bash
# Configures and builds into build/ (the program folder is build/ itself).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOVA_WERROR=ON >/dev/null
cmake --build build -j"$(nproc)"
