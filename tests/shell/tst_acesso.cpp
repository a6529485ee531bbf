// The permission check on a real register, and the main window's commands that use it.
#include "ShellFixture.h"

#include "shell/Acesso.h"

#include <QToolButton>

class TestAcesso : public QObject {
    Q_OBJECT

private slots:
    void temAcesso_data()
    {
        QTest::addColumn<QString>("catalogoForm");
        QTest::addColumn<QString>("catalogoControle");
        QTest::addColumn<bool>("concedido");
        QTest::addColumn<bool>("usuarioExiste");
        QTest::addColumn<bool>("esperado");
        QTest::newRow("granted") << "Form1" << "Fichas1" << true << true << true;
        QTest::newRow("not granted") << "Form1" << "Fichas1" << false << true << false;
        QTest::newRow("catalogue case differs") << "FORM1" << "fichas1" << true << true << true;
        QTest::newRow("grant of a deleted user") << "Form1" << "Fichas1" << true << false << false;
    }
    void temAcesso()
    {
        QFETCH(QString, catalogoForm);
        QFETCH(QString, catalogoControle);
        QFETCH(bool, concedido);
        QFETCH(bool, usuarioExiste);
        QFETCH(bool, esperado);
        Ambiente a;
        const int id = a.usuario("ana", "x1");
        if (concedido)
            a.concede(id, "Form1", "Fichas1");
        a.conexao()->execute("update tiponivelacesso set formulario=?, controle=? where formulario='Form1' and controle='Fichas1'",
                             {catalogoForm, catalogoControle});
        if (!usuarioExiste)
            a.conexao()->execute("delete from usuarios where id=?", {id});
        TDM dm;
        dm.DataModuleCreate(a.pasta());
        IDUsuarioLogado = id;
        QObject controle;
        controle.setObjectName("Fichas1");
        if (!esperado)
            a.msgs.expect("Você não tem acesso a esta função!");
        QCOMPARE(TemAcesso(&controle, "Form1"), esperado);
        QVERIFY(!dm.QAux1->isOpen());
        if (!esperado)
            QCOMPARE(a.msgs.shown().value(0).caption, QString("Informação"));
        QVERIFY2(a.msgs.unexpected().isEmpty(), qPrintable(a.inesperadas()));
    }

    void missingControlIsRefused()
    {
        Ambiente a;
        TDM dm;
        dm.DataModuleCreate(a.pasta());
        a.msgs.expect("Você não tem acesso a esta função!");
        QVERIFY(!TemAcesso(nullptr, "Form1"));
        QVERIFY2(a.msgs.unexpected().isEmpty(), qPrintable(a.inesperadas()));
    }

    void householdListNeedsTheMainWindowKey_data()
    {
        QTest::addColumn<QString>("via");
        QTest::newRow("menu") << "menu";
        QTest::newRow("toolbar") << "toolbar";
        QTest::newRow("F3") << "F3";
    }
    void householdListNeedsTheMainWindowKey()
    {
        QFETCH(QString, via);
        Ambiente a;
        const int id = a.usuario("ana", "x1");
        a.concede(id, "FrmFichas", "ToolButton1");
        auto s = inicia(a);
        QVERIFY(s);
        int abertas = 0;
        Form1->DefineComando("Fichas1", [&] { ++abertas; });
        logado(id, "ana");
        Form1->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Form1));
        auto escolhe = [&] {
            if (via == "menu")
                Form1->Fichas1->trigger();
            else if (via == "toolbar")
                QTest::mouseClick(Form1->ToolButton3, Qt::LeftButton);
            else
                QTest::keyClick(Form1, Qt::Key_F3);
        };

        a.msgs.expect("Você não tem acesso a esta função!");
        escolhe();
        QCOMPARE(abertas, 0);
        QVERIFY(a.msgs.allAnswered());

        // A grant made while the user is logged in counts at the next attempt.
        a.concede(id, "Form1", "Fichas1");
        escolhe();
        QCOMPARE(abertas, 1);
        QVERIFY2(a.msgs.unexpected().isEmpty(), qPrintable(a.inesperadas()));
    }

    void formKeysUseTheMainWindowAsControl()
    {
        Ambiente a;
        const int id = a.usuario("ana", "x1");
        a.concede(id, "GeraBackup", "Form1");
        auto s = inicia(a);
        QVERIFY(s);
        QStringList feitos;
        Form1->DefineComando("Backup1", [&] { feitos << "backup"; });
        Form1->DefineComando("RestaurarBackup1", [&] { feitos << "restore"; });
        Form1->DefineComando("TiposDeRenda1", [&] { feitos << "tipos"; }); // no key of its own
        logado(id, "ana");
        a.msgs.expect("Você não tem acesso a esta função!");
        Form1->Backup1->trigger();
        Form1->RestaurarBackup1->trigger();
        Form1->TiposDeRenda1->trigger();
        QCOMPARE(feitos, QStringList({"backup", "tipos"}));
        QVERIFY2(a.msgs.unexpected().isEmpty(), qPrintable(a.inesperadas()));
    }
};

QTEST_MAIN(TestAcesso)
#include "tst_acesso.moc"
