#pragma once
// A program folder with a configured register made from the shipped schema, and the seams every
// shell test installs: scripted messages, a fake clock, a recorded end of program, Caps Lock off.

#include "data/Funcoes.h"
#include "data/Schema.h"
#include "data/TDM.h"
#include "platform/db/Connection.h"
#include "platform/os/Clock.h"
#include "platform/ui/MessageService.h"
#include "shell/CapsLock.h"
#include "shell/Encerramento.h"

#include <QTemporaryDir>
#include <QtTest>
#include <memory>

// The shipped schema lives in a resource of a static library: pull it in.
inline void iniciaRecursos() { Q_INIT_RESOURCE(schema); }

struct Ambiente {
    QTemporaryDir dir;
    ui::ScriptedResponder msgs;
    os::FakeClock relogio{QDateTime(QDate(2026, 3, 9), QTime(14, 37, 52))};
    QList<int> fins; // exit codes the program asked for

    QString pasta() const { return dir.path() + QLatin1Char('/'); }
    QString banco() const { return pasta() + QStringLiteral("KOVA.db"); }

    Ambiente()
    {
        iniciaRecursos();
        data::createDatabase(banco());
        conexao()->execute(QStringLiteral("insert into configuracoes (Entidade, CNPJ) values ('Entidade Teste', '')"));
        ui::setMessageService(&msgs);
        os::setClock(&relogio);
        shell::ReiniciaFinalizacao();
        shell::DefineAcaoFim([this](int codigo) { fins << codigo; });
        shell::DefineLeitorCapsLock([] { return false; });
    }
    ~Ambiente()
    {
        ui::setMessageService(nullptr);
        os::setClock(nullptr);
        shell::DefineAcaoFim({});
        shell::DefineLeitorCapsLock({});
        UsuarioLogado.clear();
        IDUsuarioLogado = 0;
    }

    // The program's own connection once it runs; a separate one before.
    db::Connection *conexao()
    {
        if (DM && DM->conexao())
            return DM->conexao();
        if (!m_propria)
            m_propria = db::Connection::open(banco());
        return m_propria.get();
    }

    int usuario(const QString &login, const QString &senha)
    {
        conexao()->execute(QStringLiteral("insert into usuarios (Nome, Senha) values (?, ?)"),
                           {login, Criptografa(senha, ChaveCriptografia)});
        return int(conexao()->lastInsertId());
    }

    void concede(int idUsuario, const QString &formulario, const QString &controle)
    {
        conexao()->execute(QStringLiteral("insert into niveisacesso (IDUsuario, IDNivelAcesso) select ?, id from "
                                          "tiponivelacesso where formulario=? and controle=?"),
                           {idUsuario, formulario, controle});
    }

    // The descriptions of the access-log rows, oldest first, with their login.
    QStringList acessos()
    {
        auto c = db::Connection::open(banco());
        auto st = c->prepare(QStringLiteral("select usuario, descricao from acessos order by id"));
        QStringList linhas;
        while (st.step())
            linhas << st.value(0).toString() + QStringLiteral(": ") + st.value(1).toString();
        return linhas;
    }

    QString inesperadas() const { return msgs.unexpected().join(QLatin1Char('\n')); }

private:
    std::unique_ptr<db::Connection> m_propria;
};

#include "shell/Startup.h"
#include "shell/TForm1.h"
#include "shell/TFrmSenha.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

// Start-up up to the main window on screen; null when the program asked to end.
inline std::unique_ptr<shell::Sistema> inicia(Ambiente &a)
{
    auto s = std::make_unique<shell::Sistema>(a.dir.path());
    if (!s->Cria())
        return nullptr;
    s->Mostra();
    return s;
}

// The users menu's item for that login.
inline QAction *itemDoUsuario(const QString &login)
{
    const QList<QAction *> itens = Form1->MenuUsuarios->actions();
    for (int i = 2; i < itens.size(); ++i)
        if (itens[i]->data().toString() == login)
            return itens[i];
    return nullptr;
}

// Types texto into w key by key, accented letters included.
inline void digita(QWidget *w, const QString &texto)
{
    for (QChar c : texto) {
        if (c.unicode() < 128)
            QTest::keyClick(w, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Chooses the login in the users menu and, in the login window that comes up, types each password
// in turn followed by Enter; a window still open afterwards is cancelled.
inline void entraComo(const QString &login, const QStringList &senhas)
{
    QTimer::singleShot(0, [senhas] {
        for (const QString &senha : senhas) {
            if (!FrmSenha || !FrmSenha->isVisible())
                return;
            FrmSenha->Edit2->clear();
            digita(FrmSenha->Edit2, senha);
            QTest::keyClick(FrmSenha->Edit2, Qt::Key_Return);
        }
        if (FrmSenha && FrmSenha->isVisible())
            FrmSenha->xpButton2->click();
    });
    QAction *item = itemDoUsuario(login);
    QVERIFY2(item, qPrintable(login));
    item->trigger();
}

// Logged in without the login window (its own tests cover that path).
inline void logado(int id, const QString &login)
{
    UsuarioLogado = login;
    IDUsuarioLogado = id;
    Form1->AbilitaTudo();
}
