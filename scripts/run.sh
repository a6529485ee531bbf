#!/usr/bin/env bash
# Installs what is missing, builds, makes the default database if there is none, and starts KOVA.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
[ -f build/KOVA.db ] || build/kova --create-db build/KOVA.db
exec build/kova "$@"
