#pragma once
// How the program ends when one of its rules says so (third failed login, no user, a second copy).
// The default leaves every event loop; tests replace the action to observe the request.

#include <functional>

namespace shell {

// Asks the program to end with that exit code: records the request, then runs AcaoFim.
void FinalizaPrograma(int codigo);
// True once FinalizaPrograma was called; start-up stops creating windows.
bool Finalizando();
int CodigoSaida();
// Forgets an earlier request (a new start-up, a new test).
void ReiniciaFinalizacao();

// What ending means; empty restores the default (QCoreApplication::exit).
void DefineAcaoFim(std::function<void(int codigo)> acao);

} // namespace shell
