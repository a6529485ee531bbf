// The data module on a real database made from the shipped schema: configuration file, start-up
// messages, the access-log writer and the user-report menus.
#include "data/Schema.h"
#include "data/TDM.h"
#include "platform/os/Clock.h"
#include "platform/os/IniFile.h"
#include "platform/ui/MessageService.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

class TestTDM : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    ui::ScriptedResponder m_msgs;
    os::FakeClock m_clock{QDateTime(QDate(2026, 3, 9), QTime(14, 37, 52))};

    QString folder() const { return m_dir->path() + "/"; }

    // A configured register: the shipped schema plus the entity row.
    void makeDatabase(const QString &path)
    {
        data::createDatabase(path);
        auto c = db::Connection::open(path);
        c->execute("insert into configuracoes (Entidade, CNPJ) values ('Entidade Teste', '')");
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_msgs.clear();
        ui::setMessageService(&m_msgs);
        os::setClock(&m_clock);
    }
    void cleanup()
    {
        QVERIFY2(m_msgs.unexpected().isEmpty(), qPrintable(m_msgs.unexpected().join("\n")));
        ui::setMessageService(nullptr);
        os::setClock(nullptr);
    }

    void iniWithoutConfigYieldsDefaultsAndGetsCaminhoBanco()
    {
        makeDatabase(folder() + "KOVA.db");
        {
            QFile f(folder() + "KOVA.ini");
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[Outra]\nChave=valor\n");
        }
        TDM dm;
        dm.DataModuleCreate(folder());
        QCOMPARE(CaminhoSistema, folder());
        QCOMPARE(CaminhoBanco, folder() + "KOVA.db");
        QCOMPARE(CaminhoBackupAutomatico, folder() + "Backup/");
        QCOMPARE(BackupAutomatico, true);
        QCOMPARE(VersaoSistema, QString("Versão : 1.5.0.5"));
        QVERIFY(dm.conexao());
        os::IniFile ini(folder() + "KOVA.ini");
        QCOMPARE(ini.readString("Config", "CaminhoBanco", ""), folder() + "KOVA.db");
        QCOMPARE(ini.readString("Outra", "Chave", ""), QString("valor")); // other sections are kept
    }

    void iniValuesAreRead()
    {
        makeDatabase(folder() + "outro.db");
        os::IniFile ini(folder() + "KOVA.ini");
        ini.writeString("Config", "CaminhoBanco", folder() + "outro.db");
        ini.writeBool("Config", "BackupAutomatico", false);
        ini.writeString("Config", "CaminhoBackup", "/media/pendrive/KOVA.bkp");
        TDM dm;
        dm.DataModuleCreate(folder());
        QCOMPARE(CaminhoBanco, folder() + "outro.db");
        QCOMPARE(BackupAutomatico, false);
        QCOMPARE(CaminhoBackup, QString("/media/pendrive/KOVA.bkp"));
        // Booleans are written 1/0, readable by any INI tool.
        QFile f(folder() + "KOVA.ini");
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("BackupAutomatico=0"));
    }

    void missingDatabaseSaysSoAndOpensSetup()
    {
        TDM dm;
        int setupShown = 0;
        dm.abrirSetup = [&] {
            ++setupShown;
            QCOMPARE(Cancelado, 0);
            // Setup locates (here: creates) a database and connects by itself.
            makeDatabase(folder() + "novo.db");
            CaminhoBanco = folder() + "novo.db";
            dm.Conectar();
        };
        m_msgs.expect("O arquivo de banco de dados não foi encontrado!");
        dm.DataModuleCreate(folder());
        QCOMPARE(setupShown, 1);
        QCOMPARE(dm.conexao()->path(), folder() + "novo.db");
    }

    void missingDatabaseWithoutSetupRaises()
    {
        TDM dm;
        m_msgs.expect("O arquivo de banco de dados não foi encontrado!");
        QVERIFY_THROWS_EXCEPTION(db::DbError, dm.DataModuleCreate(folder()));
    }

    void unconfiguredEntityAsksForSetupWithAnEmptyRow()
    {
        data::createDatabase(folder() + "KOVA.db");
        TDM dm;
        bool inserting = false;
        dm.abrirSetup = [&] { inserting = dm.TBConfiguracoes.state() == db::Dataset::State::Insert; };
        m_msgs.expect("O sistema ainda não foi configurado! É necessário sua configuração antes do uso!");
        dm.DataModuleCreate(folder());
        QVERIFY(inserting);
        QCOMPARE(CaminhoBackup, data::caminhoBackupPadrao());
        // Cancelled: nothing was stored, and the question comes again next time.
        QCOMPARE(dm.conexao()->scalar("select count(*) from configuracoes").toInt(), 0);
    }

    void gravaAcessoCutsTheTimeToTheMinute()
    {
        makeDatabase(folder() + "KOVA.db");
        TDM dm;
        dm.DataModuleCreate(folder());
        UsuarioLogado = "maria";
        dm.GravaAcesso("Incluiu a ficha 000001");
        db::Statement st = dm.conexao()->prepare("select usuario, data, hora, descricao from acessos order by id desc");
        QVERIFY(st.step());
        QCOMPARE(st.value(0).toString(), QString("maria"));
        QCOMPARE(st.value(1).toDate(), QDate(2026, 3, 9));
        QCOMPARE(st.value(2).toTime(), QTime(14, 37));
        QCOMPARE(st.rawValue(1).toString(), QString("2026-03-09"));
        QCOMPARE(st.rawValue(2).toString(), QString("14:37:00"));
        QCOMPARE(st.value(3).toString(), QString("Incluiu a ficha 000001"));
    }

    void gravaAcessoStaysSilentWhenTheDatabaseRefuses()
    {
        makeDatabase(folder() + "KOVA.db");
        TDM dm;
        dm.DataModuleCreate(folder());
        dm.conexao()->executeScript("create trigger recusa before insert on acessos begin select raise(abort, 'recusado'); end;");
        dm.GravaAcesso("qualquer coisa"); // must neither throw nor show anything
        QCOMPARE(dm.conexao()->scalar("select count(*) from acessos").toInt(), 0);
        QVERIFY(m_msgs.shown().isEmpty());
        dm.conexao()->executeScript("drop trigger recusa;");
        dm.GravaAcesso("depois");
        QCOMPARE(dm.conexao()->scalar("select count(*) from acessos").toInt(), 1);
    }

    void carregaMenuGroupsBySubmenu()
    {
        makeDatabase(folder() + "KOVA.db");
        TDM dm;
        dm.DataModuleCreate(folder());
        auto *c = dm.conexao();
        c->execute("insert into relatorios (titulo, menu, submenu) values ('Relatório de Renda 2', 'MenuFichas', 'Rendas')");
        c->execute("insert into relatorios (titulo, menu, submenu) values ('Direto', 'MenuFichas', '')");
        c->execute("insert into relatorios (titulo, menu, submenu) values ('Outra renda', 'MenuFichas', 'rendas')");
        c->execute("insert into relatorios (titulo, menu, submenu) values ('Alheio', 'MenuRendas', '')");
        QMenu menu;
        menu.setObjectName("MenuFichas");
        menu.addAction("velho");
        dm.CarregaMenu(&menu);
        const auto top = menu.actions();
        QCOMPARE(top.size(), 2);
        QCOMPARE(top[0]->text(), QString("Direto"));
        QVERIFY(top[1]->menu());
        QCOMPARE(top[1]->data().toInt(), -1);
        QCOMPARE(top[1]->menu()->actions().size(), 2); // one group for "Rendas" and "rendas"

        QList<QPair<int, QString>> runs;
        dm.geraRelatorio = [&](int id, const QString &nome) { runs.append({id, nome}); };
        int forgotten = 0;
        dm.esquecePeriodo = [&] { ++forgotten; };
        top[1]->menu()->actions().first()->trigger();
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs[0].second, QString("RelatriodeRenda2"));
        QCOMPARE(forgotten, 1);
        top[1]->trigger();          // a group header does nothing
        QAction zero("zero");
        zero.setData(0);
        dm.MenuClick(&zero);
        QCOMPARE(runs.size(), 1);
    }
};

QTEST_MAIN(TestTDM)
#include "tst_tdm.moc"
