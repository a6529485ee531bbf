// Login and logoff through the users menu and the login window, on a real register.
#include "ShellFixture.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

class TestLogin : public QObject {
    Q_OBJECT

    static bool soLogin()
    {
        for (QToolButton *b : {Form1->ToolButton2, Form1->ToolButton3, Form1->ToolButton4, Form1->ToolButton5,
                               Form1->ToolButton6, Form1->ToolButton7})
            if (b->isEnabled())
                return false;
        return Form1->ToolButton1->isEnabled() && !Form1->Efetuarlogoff1->isEnabled();
    }

private slots:
    void loginSucceeds_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("senha");
        QTest::newRow("plain") << "ana" << "Segredo1";
        QTest::newRow("ampersand") << "Ana&Bia" << "x1";
        QTest::newRow("apostrophe") << "D'Ávila" << "mãe42";
        QTest::newRow("scrambles to a quote") << "joão" << QString("¦¦q"); // 0xA6 turns into '
    }
    void loginSucceeds()
    {
        QFETCH(QString, login);
        QFETCH(QString, senha);
        Ambiente a;
        a.usuario("outro", "zz");
        const int id = a.usuario(login, senha);
        auto s = inicia(a);
        QVERIFY(s);
        QCOMPARE(itemDoUsuario(login)->text(), QString(login).replace("&", "&&"));

        entraComo(login, {senha});
        QCOMPARE(UsuarioLogado, login);
        QCOMPARE(IDUsuarioLogado, id);
        QCOMPARE(FrmSenha->Edit1->text(), login);
        QVERIFY(!FrmSenha->isVisible());
        QCOMPARE(Form1->Painel(0)->text(), "USUÁRIO : " + login);
        QCOMPARE(Form1->Efetuarlogoff1->text().replace("&&", "&"), "Efetuar logoff de " + login);
        // Logged in: every command, but nobody else can log in before a logoff.
        QVERIFY(Form1->ToolButton3->isEnabled() && Form1->ToolButton7->isEnabled() && Form1->Efetuarlogoff1->isEnabled());
        QVERIFY(!itemDoUsuario("outro")->isEnabled() && !itemDoUsuario(login)->isEnabled());
        QCOMPARE(a.acessos(), QStringList{login + ": Efetuou logon no sistema"});
        QVERIFY2(a.msgs.unexpected().isEmpty(), qPrintable(a.inesperadas()));
    }

    void passwordMustMatchExactly_data()
    {
        QTest::addColumn<QString>("digitada");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("letter case") << "segredo1" << "Senha inválida! Talvez o \"CAPS LOCK\" esteja ligado!";
        QTest::newRow("trailing blank") << "Segredo1 " << "Senha inválida! Talvez o \"CAPS LOCK\" esteja ligado!";
        QTest::newRow("other") << "Segredo2" << "Senha inválida! Talvez o \"CAPS LOCK\" esteja ligado!";
        QTest::newRow("empty") << "" << "Determine a senha do usuário!";
        QTest::newRow("blanks") << "   " << "Determine a senha do usuário!";
    }
    void passwordMustMatchExactly()
    {
        QFETCH(QString, digitada);
        QFETCH(QString, mensagem);
        Ambiente a;
        a.usuario("ana", "Segredo1");
        auto s = inicia(a);
        QVERIFY(s);
        a.msgs.expect(mensagem);
        entraComo("ana", {digitada});
        QVERIFY(soLogin());
        QCOMPARE(IDUsuarioLogado, 0);
        QVERIFY(a.msgs.allAnswered());
        QVERIFY(a.fins.isEmpty());
        QVERIFY2(a.msgs.unexpected().isEmpty(), qPrintable(a.inesperadas()));
    }

    void failuresEndTheProgramOnlyWithinOneOpening_data()
    {
        QTest::addColumn<QList<int>>("falhasPorAbertura");
        QTest::addColumn<bool>("termina");
        QTest::newRow("three in one") << QList<int>{3} << true;
        QTest::newRow("two, cancel, two") << QList<int>{2, 2} << false;
    }
    void failuresEndTheProgramOnlyWithinOneOpening()
    {
        QFETCH(QList<int>, falhasPorAbertura);
        QFETCH(bool, termina);
        Ambiente a;
        a.usuario("ana", "Segredo1");
        auto s = inicia(a);
        QVERIFY(s);
        for (int falhas : falhasPorAbertura) {
            for (int i = 1; i <= falhas; ++i)
                a.msgs.expect(i < 3 ? "Senha inválida!" : "Você não tem acesso a este sistema!");
            entraComo("ana", QStringList(falhas, "errada"));
        }
        QVERIFY(a.msgs.allAnswered());
        QCOMPARE(a.fins, termina ? QList<int>{1} : QList<int>{});
        QCOMPARE(DM->conexao() == nullptr, termina);
        if (termina)
            QCOMPARE(a.msgs.shown().last().icon, ui::Icon::Critical);
        QVERIFY(!FrmSenha->isVisible());
        QVERIFY2(a.msgs.unexpected().isEmpty(), qPrintable(a.inesperadas()));
    }

    void logoffDisablesAgainAndFreesTheUsers()
    {
        Ambiente a;
        const int id = a.usuario("ana", "Segredo1");
        a.usuario("bia", "x1");
        auto s = inicia(a);
        QVERIFY(s);
        entraComo("ana", {"Segredo1"});
        QCOMPARE(IDUsuarioLogado, id);
        Form1->Efetuarlogoff1->trigger();
        QVERIFY(soLogin());
        QCOMPARE(Form1->Painel(0)->text(), QString("USUÁRIO:"));
        QVERIFY(itemDoUsuario("ana")->isEnabled() && itemDoUsuario("bia")->isEnabled());
        QCOMPARE(UsuarioLogado, QString("ana")); // kept until the next login
        QCOMPARE(a.acessos().size(), 1);          // logoff writes no row
        QVERIFY2(a.msgs.unexpected().isEmpty(), qPrintable(a.inesperadas()));
    }

    void loginWindowFields()
    {
        Ambiente a;
        a.usuario("ana", "Segredo1");
        auto s = inicia(a);
        QVERIFY(s);
        shell::DefineLeitorCapsLock([] { return true; });
        bool visto = false;
        QTimer::singleShot(0, [&] {
            visto = true;
            QCOMPARE(FrmSenha->windowTitle(), QString("Autenticação"));
            QCOMPARE(FrmSenha->Data->date(), QDate(2026, 3, 9));
            QCOMPARE(FrmSenha->toolTip(), QString("ATENÇÃO: CAPS LOOK está ligado..."));
            QVERIFY(FrmSenha->Edit1->isReadOnly());
            QTest::keyClicks(FrmSenha->Edit2, "a'b'c");
            QCOMPARE(FrmSenha->Edit2->text(), QString("abc")); // the quote is discarded
            FrmSenha->Data->setDate(QDate(2026, 3, 2));
            QTest::keyClick(FrmSenha, Qt::Key_Escape);
        });
        itemDoUsuario("ana")->trigger();
        QVERIFY(visto);
        QVERIFY(!FrmSenha->isVisible());
        QCOMPARE(IDUsuarioLogado, 0);
        QCOMPARE(a.relogio.setDates(), QList<QDate>{QDate(2026, 3, 2)});
        QCOMPARE(a.relogio.now().time(), QTime(14, 37, 52)); // the time of day is kept
        QCOMPARE(a.acessos(), QStringList{": Alterou data do sistema (segunda-feira, 02 de março de 2026)"});
        QVERIFY2(a.msgs.unexpected().isEmpty(), qPrintable(a.inesperadas()));
    }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
