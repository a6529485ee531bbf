#pragma once
// Whether Caps Lock is on, behind a seam: tests say what it is.

#include <functional>

namespace shell {

bool CapsLockLigado();
// Replaces how the state is read; empty restores the system's.
void DefineLeitorCapsLock(std::function<bool()> leitor);

} // namespace shell
