// Start-up on a real register: splash, creation order, the one copy per folder, the first-user
// rule, and the logged-out main window with its keys.
#include "ShellFixture.h"

#include "shell/TFrmEvolucao.h"
#include "shell/TFrmInicial.h"

#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QToolButton>

class TestStartup : public QObject {
    Q_OBJECT

    static QList<QAction *> entradasDoMenu(QMenu *menu)
    {
        QList<QAction *> todas;
        for (QAction *a : menu->actions()) {
            todas << a;
            if (a->menu())
                todas << entradasDoMenu(a->menu());
        }
        return todas;
    }

private slots:
    void freshRegisterReachesLoggedOutMainWindow()
    {
        Ambiente a;
        a.usuario("ana", "segredo");
        a.usuario("bia", "outra");
        auto s = inicia(a);
        QVERIFY(s);
        QCOMPARE(s->Criadas(), QStringList({"TFrmEvolucao", "TDM", "TForm1", "TFrmSenha"}));
        QCOMPARE(s->Splash()->Barra->maximum(), 40);
        QCOMPARE(s->Splash()->Barra->value(), 4);
        QCOMPARE(s->Splash()->windowTitle(), QString("KOVA - KOVALUME - Carregando sistema..."));
        QVERIFY(!s->Splash()->isVisible());
        QVERIFY(Form1->isVisible());
        QCOMPARE(Form1->windowTitle(), QString("KOVA - Kovalume"));

        // Logged out: only the login command.
        for (QToolButton *b : {Form1->ToolButton1, Form1->ToolButton2, Form1->ToolButton3, Form1->ToolButton4,
                               Form1->ToolButton5, Form1->ToolButton6, Form1->ToolButton7})
            QCOMPARE(b->isEnabled(), b == Form1->ToolButton1);
        for (QAction *top : Form1->menuBar()->actions())
            QVERIFY2(!top->isEnabled(), qPrintable(top->text()));
        const QList<QAction *> itens = Form1->MenuUsuarios->actions();
        QCOMPARE(itens.size(), 4);
        QCOMPARE(itens[0]->text(), QString("Efetuar logoff ..."));
        QVERIFY(!itens[0]->isEnabled());
        QVERIFY(itens[1]->isSeparator());
        QCOMPARE(itens[2]->text(), QString("ana"));
        QCOMPARE(itens[3]->text(), QString("bia"));
        QVERIFY(itens[2]->isEnabled() && itens[3]->isEnabled());

        QCOMPARE(Form1->Painel(0)->text(), QString());
        QCOMPARE(Form1->Painel(1)->text(), QString("09/03/2026"));
        QCOMPARE(Form1->Painel(1)->width(), 80);
        QCOMPARE(Form1->Painel(2)->text(), QString("14:37"));
        QCOMPARE(Form1->Timer1->interval(), 10000);
        a.relogio.set(QDateTime(QDate(2026, 3, 10), QTime(0, 5, 1)));
        QVERIFY(Form1->Timer1->isActive());
        Form1->Timer1Timer();
        QCOMPARE(Form1->Painel(1)->text(), QString("10/03/2026"));
        QCOMPARE(Form1->Painel(2)->text(), QString("00:05"));

        // The F6 copy of the reports menu: same captions, without the user-defined reports.
        QStringList original, copia;
        for (QAction *x : entradasDoMenu(Form1->Relatorios1))
            original << x->text();
        for (QAction *x : entradasDoMenu(Form1->MenuRelatorios))
            copia << x->text();
        QCOMPARE(copia, original);
        QCOMPARE(Form1->MenuPrincipal->objectName(), QString("MenuPrincipal"));

        QVERIFY(FrmEvolucao);
        QCOMPARE(FrmEvolucao->windowTitle(), QString("Executando..."));
        QCOMPARE(FrmEvolucao->Label1->text(), QString("Aguardando..."));
        QCOMPARE(FrmEvolucao->Barra2->maximum(), 4);
        QVERIFY2(a.msgs.unexpected().isEmpty(), qPrintable(a.inesperadas()));
    }

    void secondCopyOfTheSameFolderEnds()
    {
        Ambiente a;
        a.usuario("ana", "segredo");
        shell::InstanciaUnica primeira(a.dir.path());
        QVERIFY(primeira.primeira());
        QTemporaryDir outra;
        QVERIFY(shell::InstanciaUnica(outra.path()).primeira()); // another installation may run

        a.msgs.expect("O sistema já esta em execução!");
        shell::Sistema s(a.dir.path());
        QVERIFY(!s.Cria());
        QVERIFY(s.Criadas().isEmpty());
        QCOMPARE(a.msgs.shown().value(0).caption, QString("Informação"));
        QCOMPARE(a.fins, QList<int>{0});
        QVERIFY2(a.msgs.unexpected().isEmpty(), qPrintable(a.inesperadas()));
    }

    void withoutUsersTheFirstIsAskedFor_data()
    {
        QTest::addColumn<bool>("editorCadastra");
        QTest::newRow("editor saves one") << true;
        QTest::newRow("nobody saved") << false;
    }
    void withoutUsersTheFirstIsAskedFor()
    {
        QFETCH(bool, editorCadastra);
        Ambiente a;
        shell::Sistema s(a.dir.path());
        int editorAberto = 0;
        s.PreparaForm1 = [&](TForm1 &form) {
            form.CadastraPrimeiroUsuario = [&] {
                ++editorAberto;
                QCOMPARE(DM->TBUsuarios.state(), db::Dataset::State::Insert);
                if (editorCadastra) {
                    DM->TBUsuarios.setValue("Nome", "admin");
                    DM->TBUsuarios.setValue("Senha", Criptografa("x1", ChaveCriptografia));
                    DM->TBUsuarios.post();
                }
            };
        };
        a.msgs.expect("Não existem usuarios cadastrados! Você deverá cadastra um usuário e uma senha para posterior acesso!");
        if (!editorCadastra)
            a.msgs.expect("O sistema será finalizado!");

        QCOMPARE(s.Cria(), editorCadastra);
        QCOMPARE(editorAberto, 1);
        if (editorCadastra) {
            QVERIFY(itemDoUsuario("admin"));
            QVERIFY(a.fins.isEmpty());
        } else {
            QCOMPARE(a.msgs.shown().last().icon, ui::Icon::Critical);
            QCOMPARE(s.Criadas().last(), QString("TForm1")); // nothing after the main window
            QCOMPARE(a.fins, QList<int>{1});
        }
        QVERIFY2(a.msgs.unexpected().isEmpty(), qPrintable(a.inesperadas()));
    }

    void functionKeys_data()
    {
        QTest::addColumn<bool>("logado");
        QTest::addColumn<int>("tecla");
        QTest::addColumn<QString>("menuAberto");
        QTest::addColumn<int>("comandos");
        QTest::newRow("F1 logged out") << false << int(Qt::Key_F1) << "MenuUsuarios" << 0;
        QTest::newRow("F1 logged in") << true << int(Qt::Key_F1) << "MenuUsuarios" << 0;
        QTest::newRow("F3 logged out") << false << int(Qt::Key_F3) << "" << 0;
        QTest::newRow("F3 logged in") << true << int(Qt::Key_F3) << "" << 1;
        QTest::newRow("F6 logged out") << false << int(Qt::Key_F6) << "" << 0;
        QTest::newRow("F6 logged in") << true << int(Qt::Key_F6) << "MenuRelatorios" << 0;
    }
    void functionKeys()
    {
        QFETCH(bool, logado);
        QFETCH(int, tecla);
        QFETCH(QString, menuAberto);
        QFETCH(int, comandos);
        Ambiente a;
        const int id = a.usuario("ana", "segredo");
        a.concede(id, "Form1", "Fichas1");
        auto s = inicia(a);
        QVERIFY(s);
        int fichas = 0;
        Form1->DefineComando("Fichas1", [&] { ++fichas; });
        if (logado)
            ::logado(id, "ana");
        Form1->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Form1));

        QTest::keyClick(Form1, Qt::Key(tecla));
        for (QMenu *m : {Form1->MenuUsuarios, Form1->MenuRelatorios}) {
            QCOMPARE(m->isVisible(), m->objectName() == menuAberto);
            m->close();
        }
        QCOMPARE(fichas, comandos);
        QVERIFY2(a.msgs.unexpected().isEmpty(), qPrintable(a.inesperadas()));
    }

    void progressLabelKeepsBeginningAndEnd_data()
    {
        QTest::addColumn<int>("tamanho");
        QTest::newRow("fits") << 20;
        QTest::newRow("long") << 120;
        QTest::newRow("very long") << 600;
    }
    void progressLabelKeepsBeginningAndEnd()
    {
        QFETCH(int, tamanho);
        QString texto;
        for (int i = 0; i < tamanho; ++i)
            texto += QChar(u'a' + i % 26);
        TFrmEvolucao janela;
        const QFontMetrics fm = janela.Label1->fontMetrics();
        const int largura = fm.horizontalAdvance(QString(60, u'm'));
        const QString curto = TFrmEvolucao::Encurta(texto, fm, largura);
        if (fm.horizontalAdvance(texto) <= largura - 16) {
            QCOMPARE(curto, texto);
            return;
        }
        QVERIFY(fm.horizontalAdvance(curto) <= largura - 16);
        QVERIFY(curto.startsWith(texto.left(30) + "..."));
        const QString fim = curto.mid(33);
        QVERIFY(!fim.isEmpty());
        QVERIFY(texto.endsWith(fim));
        QVERIFY(fm.horizontalAdvance(texto.left(30) + "..." + texto.right(fim.size() + 1)) > largura - 16);

        // Shown, the window fits its own label and sits 40 px from the right, 50 from the top.
        janela.show();
        janela.Label1->setText(texto);
        QTRY_VERIFY(janela.Label1->text().contains("..."));
        const QRect tela = janela.screen()->geometry();
        QCOMPARE(janela.frameGeometry().right() + 1, tela.right() + 1 - 40);
        QCOMPARE(janela.frameGeometry().top(), tela.top() + 50);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
