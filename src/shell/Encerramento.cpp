#include "shell/Encerramento.h"

#include <QCoreApplication>

namespace shell {

namespace {
bool g_finalizando = false;
int g_codigo = 0;
std::function<void(int)> g_acao;
} // namespace

void FinalizaPrograma(int codigo)
{
    g_finalizando = true;
    g_codigo = codigo;
    if (g_acao)
        g_acao(codigo);
    else
        QCoreApplication::exit(codigo); // every running loop returns; main() sees Finalizando()
}

bool Finalizando() { return g_finalizando; }
int CodigoSaida() { return g_codigo; }

void ReiniciaFinalizacao()
{
    g_finalizando = false;
    g_codigo = 0;
}

void DefineAcaoFim(std::function<void(int)> acao) { g_acao = std::move(acao); }

} // namespace shell
