// Closing the main window: the confirmation, the log row, the automatic backup and the 20-day
// clean-up of old automatic backups.
#include "ShellFixture.h"

#include "platform/archive/BackupArchive.h"
#include "shell/BackupAutomatico.h"

#include <QDir>
#include <QToolButton>

class TestFechamento : public QObject {
    Q_OBJECT

    static void cria(const QString &caminho)
    {
        QFile f(caminho);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x");
    }

private slots:
    // Today is 9 March 2026 on the fake clock.
    void cleanupDeletesOnlyOldAutomaticBackups_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<bool>("apagado");
        QTest::newRow("years ago") << "01_02_2013.bkp" << true;
        QTest::newRow("21 days ago") << "16_02_2026.bkp" << true;
        QTest::newRow("20 days ago") << "17_02_2026.bkp" << false;
        QTest::newRow("today") << "09_03_2026.bkp" << false;
        QTest::newRow("21 days ahead") << "30_03_2026.bkp" << false;
        QTest::newRow("far future") << "01_02_2099.bkp" << false;
        QTest::newRow("no such date") << "31_02_2013.bkp" << false;
        QTest::newRow("user's document") << "01_02_2013 ata da reunião.doc" << false;
        QTest::newRow("other extension") << "01_02_2013.bkp.txt" << false;
        QTest::newRow("other case") << "01_02_2013.BKP" << false;
        QTest::newRow("dashes") << "01-02-2013.bkp" << false;
        QTest::newRow("manual backup") << "KOVA.bkp" << false;
    }
    void cleanupDeletesOnlyOldAutomaticBackups()
    {
        QFETCH(QString, nome);
        QFETCH(bool, apagado);
        QTemporaryDir pasta;
        cria(pasta.filePath(nome));
        QDir().mkpath(pasta.filePath("01_01_2000.bkp")); // a folder is never touched
        QCOMPARE(shell::LimpaBackupsAntigos(pasta.path(), QDate(2026, 3, 9)), apagado ? QStringList{nome} : QStringList{});
        QCOMPARE(QFile::exists(pasta.filePath(nome)), !apagado);
        QVERIFY(QFileInfo(pasta.filePath("01_01_2000.bkp")).isDir());
    }

    void closingBacksUpThenCleansUp_data()
    {
        QTest::addColumn<bool>("copiaFunciona");
        QTest::newRow("backup written") << true;
        QTest::newRow("backup failed") << false;
    }
    void closingBacksUpThenCleansUp()
    {
        QFETCH(bool, copiaFunciona);
        Ambiente a;
        a.usuario("ana", "x1");
        auto s = inicia(a);
        QVERIFY(s);
        const QDir pasta(CaminhoBackupAutomatico);
        QVERIFY(BackupAutomatico);
        QVERIFY(!pasta.exists()); // made when needed
        QDir().mkpath(pasta.path());
        cria(pasta.filePath("01_02_2013.bkp"));
        cria(pasta.filePath("anotacoes.txt"));
        if (!copiaFunciona)
            Form1->CopiaSeguranca = [](const QStringList &, const QString &) { return false; };

        a.msgs.expect("Confirma a saida do sistema?", ui::Button::Yes);
        QVERIFY(Form1->close());
        QCOMPARE(a.fins, QList<int>{0});
        QVERIFY(!DM->conexao());
        QCOMPARE(a.acessos(), QStringList{": Abandonou o sistema."});
        const QString hoje = pasta.filePath("09_03_2026.bkp");
        QCOMPARE(QFile::exists(hoje), copiaFunciona);
        // An old backup goes only once today's is safe; other files always stay.
        QCOMPARE(QFile::exists(pasta.filePath("01_02_2013.bkp")), !copiaFunciona);
        QVERIFY(QFile::exists(pasta.filePath("anotacoes.txt")));
        if (copiaFunciona) {
            const auto conteudo = archive::BackupArchive::contents(hoje);
            QCOMPARE(conteudo.size(), 1);
            QCOMPARE(QFileInfo(conteudo[0].path).canonicalFilePath(), QFileInfo(a.banco()).canonicalFilePath());
        }
        QVERIFY2(a.msgs.unexpected().isEmpty(), qPrintable(a.inesperadas()));
    }

    void closingIsRefused_data()
    {
        QTest::addColumn<bool>("ocupado");
        QTest::newRow("answered No") << false;
        QTest::newRow("busy with a backup") << true;
    }
    void closingIsRefused()
    {
        QFETCH(bool, ocupado);
        Ambiente a;
        a.usuario("ana", "x1");
        auto s = inicia(a);
        QVERIFY(s);
        if (ocupado) {
            Form1->DesabilitaTudo();
            Form1->ToolButton1->setEnabled(false);
        } else {
            a.msgs.expect("Confirma a saida do sistema?", ui::Button::No);
            a.msgs.expect("Confirma a saida do sistema?", ui::Button::No);
        }
        Form1->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Form1));
        QTest::keyClick(Form1, Qt::Key_Escape);
        QVERIFY(!Form1->close());
        QVERIFY(Form1->isVisible());
        QVERIFY(a.fins.isEmpty());
        QVERIFY(a.acessos().isEmpty());
        QCOMPARE(a.msgs.shown().size(), ocupado ? 0 : 2); // ESC and the close box ask alike
        QVERIFY2(a.msgs.unexpected().isEmpty(), qPrintable(a.inesperadas()));
    }
};

QTEST_MAIN(TestFechamento)
#include "tst_fechamento.moc"
