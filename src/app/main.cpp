#include "app/CommandLine.h"
#include "shell/Encerramento.h"
#include "shell/Startup.h"

#include <QApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (app::isCommandLine(args)) {
        QCoreApplication core(argc, argv);
        QTextStream out(stdout), err(stderr);
        return app::runCommandLine(args, QCoreApplication::applicationDirPath(), out, err);
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KOVA"));
    // Windows stay alive hidden between uses; the main window's closing ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    shell::Sistema sistema;
    if (!sistema.Cria())
        return shell::CodigoSaida();
    sistema.Mostra();
    const int codigo = application.exec();
    return shell::Finalizando() ? shell::CodigoSaida() : codigo;
}
