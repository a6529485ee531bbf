// The locate dialog and the date prompts on a real database with a few residents.
#include "data/Schema.h"
#include "data/TDM.h"
#include "platform/os/IniFile.h"
#include "platform/ui/MessageService.h"
#include "reporting/TFrmData.h"
#include "reporting/TFrmLoc.h"
#include "reporting/TFrmLocReg.h"
#include "reporting/TFrmPeriodo.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString kResidentes = QStringLiteral(
    "select id, nome as [Morador], nascimento as [Nascimento], idtipoestadocivil as [Estado], obs as [Obs] "
    "from moradores order by nome");
}

class TestDialogos : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    std::unique_ptr<TDM> m_dm;
    ui::ScriptedResponder m_msgs;
    QHash<QString, int> m_ids; // resident name -> id

    QString ini() const { return m_dir.path() + "/KOVA.ini"; }
    void escolheFiltrar(bool filtrar) { os::IniFile(ini()).writeBool("Config", "Filtrar", filtrar); }

    // Shows the dialog (non-modal, so the test goes on) with a query and an initial text.
    void abre(TFrmLoc &loc, const QString &consulta, const QString &texto = {})
    {
        loc.Consulta = consulta;
        loc.TextoInicial = texto;
        loc.show();
        QVERIFY(loc.Query());
    }
    // Moves the dataset to the resident of that name.
    static void vaiPara(TFrmLoc &loc, const QString &nome) { QVERIFY(loc.Query()->locate("Morador", nome)); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QString banco = m_dir.path() + "/KOVA.db";
        data::createDatabase(banco);
        {
            auto c = db::Connection::open(banco);
            c->execute("insert into configuracoes (Entidade, CNPJ) values ('Entidade Teste', '')");
            c->execute("insert into fichas (Codigo) values ('000001')");
            c->execute("insert into moradores (IDFicha, IDTipoMorador, Nome, Nascimento, IDTipoEstadoCivil, UF, Obs) values "
                       "(1, 1, 'Ana Souza', '1980-05-10', 1, 'SP', 'primeira linha\nsegunda linha'),"
                       "(1, 2, 'Bruno D''Ávila', '1975-01-02', 2, 'MG', null),"
                       "(1, 2, 'Carla Lima', '2001-12-31', 2, 'SP', null)");
        }
        ui::setMessageService(&m_msgs);
        m_dm = std::make_unique<TDM>();
        m_dm->DataModuleCreate(m_dir.path() + "/");
        QVERIFY(m_dm->conexao());
        db::Dataset q("q", m_dm->conexao());
        for (q.open("select id, nome from moradores"); !q.eof(); q.next())
            m_ids.insert(q.field("nome").asString(), int(q.field("id").asInteger()));
        QCOMPARE(m_ids.size(), 3);
    }
    void cleanupTestCase()
    {
        m_dm.reset();
        ui::setMessageService(nullptr);
    }
    void init() { m_msgs.clear(); }
    void cleanup() { QVERIFY2(m_msgs.unexpected().isEmpty(), qPrintable(m_msgs.unexpected().join("\n"))); }

    void filtroPorTipoDeColuna_data()
    {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("filtro");
        QTest::addColumn<int>("linhas");
        QTest::newRow("texto") << "Morador" << "a" << "[Morador] like '*a*'" << 3;
        QTest::newRow("apóstrofo") << "Morador" << "d'á" << "[Morador] like '*d''á*'" << 1;
        QTest::newRow("memo") << "Obs" << "segunda" << "[Obs] like '*segunda*'" << 1;
        QTest::newRow("número") << "Estado" << "2" << "[Estado]=2" << 2;
        QTest::newRow("número, texto inválido: mantém") << "Estado" << "x" << "" << 3;
        QTest::newRow("data válida") << "Nascimento" << "10/05/1980" << "[Nascimento]='10/05/1980'" << -1;
        QTest::newRow("data incompleta") << "Nascimento" << "1980" << "[Nascimento] like '*1980*'" << -1;
        QTest::newRow("id (auto-incremento)") << "id" << "1" << "[id] like '*1*'" << -1;
    }
    void filtroPorTipoDeColuna()
    {
        QFETCH(QString, campo);
        QFETCH(QString, texto);
        QFETCH(QString, filtro);
        QFETCH(int, linhas);
        escolheFiltrar(true);
        TFrmLoc loc;
        loc.Campo = campo;
        abre(loc, kResidentes, "  " + texto + " ");
        QVERIFY(loc.RadioFiltrar->isChecked());
        QCOMPARE(loc.Edit1->text(), texto);
        QCOMPARE(loc.Query()->filter(), filtro);
        if (linhas >= 0)
            QCOMPARE(loc.Query()->recordCount(), linhas);
        loc.Cancela();
    }

    void localizarMoveParaOPrimeiroQueComeca()
    {
        escolheFiltrar(false);
        TFrmLoc loc;
        abre(loc, kResidentes, "CAR");
        QCOMPARE(loc.Campo, QString("Morador")); // the first visible column
        QCOMPARE(loc.GroupBox1->title(), QString("Localizar / Filtrar por: Morador "));
        QCOMPARE(loc.Query()->filter(), QString());
        QCOMPARE(loc.Query()->field("Morador").asString(), QString("Carla Lima"));
        QCOMPARE(loc.DBGrid1->currentIndex().row(), loc.Query()->recNo());
        loc.Cancela();
    }

    void larguras_data()
    {
        QTest::addColumn<QList<int>>("larguras");
        QTest::addColumn<QList<bool>>("ocultas");
        QTest::newRow("padrão") << QList<int>{} << QList<bool>{true, false, false, false, false};
        QTest::newRow("id pedido visível") << QList<int>{250, 0, 120} << QList<bool>{true, true, false, false, false};
    }
    void larguras()
    {
        QFETCH(QList<int>, larguras);
        QFETCH(QList<bool>, ocultas);
        for (int i = 0; i < larguras.size(); ++i)
            Larguras[i] = larguras[i];
        TFrmLoc loc;
        for (int i = 0; i < larguras.size(); ++i) // a new dialog starts from -1 everywhere
            QCOMPARE(Larguras[i], -1);
        for (int i = 0; i < larguras.size(); ++i)
            Larguras[i] = larguras[i];
        abre(loc, kResidentes);
        for (int i = 0; i < ocultas.size(); ++i)
            QCOMPARE(loc.DBGrid1->isColumnHidden(i), ocultas[i]);
        if (larguras.size() > 2)
            QCOMPARE(loc.DBGrid1->columnWidth(2), 120);
        loc.Cancela();
        for (int l : Larguras)
            QCOMPARE(l, -1);
    }

    void encerramento_data()
    {
        QTest::addColumn<QString>("como");
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("cancelado");
        QTest::addColumn<QStringList>("valores");
        QTest::newRow("Confirma") << "confirma" << 2 << 0 << QStringList{"2", "Bruno D'Ávila", "02/01/1975", "2", ""};
        QTest::newRow("Cancela") << "cancela" << -1 << 1 << QStringList{};
        QTest::newRow("Esc") << "esc" << -1 << 1 << QStringList{};
        QTest::newRow("caixa de fechar") << "fechar" << 2 << 7 << QStringList{};
    }
    void encerramento()
    {
        QFETCH(QString, como);
        QFETCH(int, id);
        QFETCH(int, cancelado);
        QFETCH(QStringList, valores);
        QCOMPARE(m_ids.value("Bruno D'Ávila"), 2);
        TFrmLoc loc;
        loc.IdSelecionado = 2; // made current on opening
        loc.Valores = QStringList{"antigo"};
        loc.MensagemVazia = "nunca mostrada";
        Cancelado = 7;
        abre(loc, kResidentes);
        QCOMPARE(loc.Query()->field("Morador").asString(), QString("Bruno D'Ávila"));
        if (como == "confirma")
            QTest::keyClick(loc.DBGrid1, Qt::Key_Return);
        else if (como == "esc")
            QTest::keyClick(loc.DBGrid1, Qt::Key_Escape);
        else if (como == "cancela")
            loc.xpButton2->click();
        else
            loc.close();
        QVERIFY(!loc.isVisible());
        QCOMPARE(loc.IdSelecionado, id);
        QCOMPARE(Cancelado, cancelado);
        QCOMPARE(loc.Valores, valores);
        QVERIFY(!loc.Query());
        QVERIFY(loc.Consulta.isEmpty() && loc.Campo.isEmpty() && loc.MensagemVazia.isEmpty() && loc.Edit1->text().isEmpty());
    }

    void multiSelecao_data()
    {
        QTest::addColumn<QString>("consulta");
        QTest::addColumn<QStringList>("marcados");
        QTest::addColumn<QStringList>("valores");
        const QString porNome = "select nome as [Morador], id from moradores order by nome";
        QTest::newRow("texto, na ordem de marcação")
            << porNome << QStringList{"Carla Lima", "Bruno D'Ávila"} << QStringList{"'Carla Lima', ", "'Bruno D''Ávila'"};
        QTest::newRow("nenhum marcado: a linha atual, sem aspas")
            << porNome << QStringList{} << QStringList{"Bruno D'Ávila"};
        QTest::newRow("número: sem aspas")
            << "select idtipoestadocivil as [Estado], nome as [Morador] from moradores order by nome"
            << QStringList{"Ana Souza", "Carla Lima"} << QStringList{"1, ", "2"};
    }
    void multiSelecao()
    {
        QFETCH(QString, consulta);
        QFETCH(QStringList, marcados);
        QFETCH(QStringList, valores);
        TFrmLoc loc;
        loc.MultiSelecao = true;
        abre(loc, consulta);
        QVERIFY(loc.LabelCtrl->isVisibleTo(&loc));
        QCOMPARE(loc.DBGrid1->selectionMode(), QAbstractItemView::ExtendedSelection);
        auto *modelo = loc.DBGrid1->model();
        for (const QString &nome : marcados) {
            vaiPara(loc, nome);
            loc.DBGrid1->selectionModel()->select(modelo->index(loc.Query()->recNo(), 0),
                                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        vaiPara(loc, "Bruno D'Ávila");
        loc.Confirma();
        QCOMPARE(loc.Valores, valores);
        QCOMPARE(loc.IdSelecionado, 0); // the first column is not the id
        QVERIFY(loc.MultiSelecao);      // kept for the next use
    }

    void escolhaFiltrarPersiste()
    {
        escolheFiltrar(false);
        for (bool filtrar : {true, false}) {
            {
                TFrmLoc loc;
                abre(loc, kResidentes, "a");
                (filtrar ? loc.RadioFiltrar : loc.RadioLocalizar)->click();
                QVERIFY(loc.Edit1->text().isEmpty()); // a new mode starts from an empty search
                QCOMPARE(loc.Query()->filter(), QString());
                loc.Cancela();
                QCOMPARE(os::IniFile(ini()).readBool("Config", "Filtrar", !filtrar), filtrar);
            }
            TFrmLoc outra; // as after a restart
            abre(outra, kResidentes);
            QCOMPARE(outra.RadioFiltrar->isChecked(), filtrar);
            QCOMPARE(outra.RadioLocalizar->isChecked(), !filtrar);
            outra.Cancela();
        }
    }

    void tituloDaColunaOrdenaEMudaOCampo()
    {
        escolheFiltrar(true);
        TFrmLoc loc;
        abre(loc, kResidentes);
        loc.DBGrid1->horizontalHeader()->sectionClicked(2);
        QCOMPARE(loc.Query()->sort(), QString("[Nascimento]"));
        QCOMPARE(loc.Campo, QString("Nascimento"));
        QCOMPARE(loc.GroupBox1->title(), QString("Localizar / Filtrar por: Nascimento "));
        loc.Query()->first();
        QCOMPARE(loc.Query()->field("Morador").asString(), QString("Bruno D'Ávila"));
        loc.Cancela();
    }

    void valoresDistintos()
    {
        TFrmLoc loc;
        loc.Campo = "[UF]";
        loc.Tabela = "moradores";
        abre(loc, QString());
        QCOMPARE(loc.windowTitle(), QString("Localizar UF"));
        QCOMPARE(loc.Label1->text(), QString("Localizar UF..."));
        QCOMPARE(loc.Query()->recordCount(), 2);
        QCOMPARE(loc.Query()->fieldCount(), 1);
        loc.Confirma();
        QCOMPARE(loc.Valores, QStringList{"MG"});
        QCOMPARE(loc.Tabela, QString("moradores")); // kept
    }

    void avisosAoAbrir_data()
    {
        QTest::addColumn<QString>("consulta");
        QTest::addColumn<QString>("mensagemVazia");
        QTest::addColumn<QString>("titulo");
        QTest::addColumn<QString>("texto");
        QTest::newRow("lista vazia") << "select id, nome as [Morador] from moradores where id<0" << "Não existem moradores cadastrados!"
                                     << "Informação" << "Não existem moradores cadastrados!";
        QTest::newRow("consulta inválida") << "select id, nome from tabela_inexistente" << ""
                                           << "Erro" << "Erro ao executar a subconsulta para geração da lista!\r\n\r\n";
    }
    void avisosAoAbrir()
    {
        QFETCH(QString, consulta);
        QFETCH(QString, mensagemVazia);
        QFETCH(QString, titulo);
        QFETCH(QString, texto);
        m_msgs.expect(texto);
        TFrmLoc loc;
        loc.MensagemVazia = mensagemVazia;
        abre(loc, consulta);
        QVERIFY(m_msgs.allAnswered());
        QCOMPARE(m_msgs.shown().size(), 1);
        QCOMPARE(m_msgs.shown().first().caption, titulo);
        QVERIFY(m_msgs.shown().first().text.startsWith(texto));
        QVERIFY(loc.isVisible()); // the dialog stays open
        loc.Confirma();
        QCOMPARE(loc.IdSelecionado, 0);
        QVERIFY(loc.Valores.isEmpty());
    }

    void localizarRegistroTentaCadaCampo()
    {
        db::Dataset dados("dados", m_dm->conexao());
        dados.open("select id, nome, uf from moradores order by id");
        TFrmLocReg reg;
        reg.Dados = &dados;
        reg.TextoInicial = "mg";
        reg.show();
        QCOMPARE(dados.field("nome").asString(), QString("Bruno D'Ávila"));
        QTest::keyClicks(reg.Edit1, "X"); // "mgX" matches nothing: the row stays
        QCOMPARE(dados.field("nome").asString(), QString("Bruno D'Ávila"));
        QTest::keyClick(reg.Edit1, Qt::Key_Return);
        QVERIFY(!reg.isVisible());
        QVERIFY(!reg.Dados);
        QCOMPARE(dados.field("nome").asString(), QString("Bruno D'Ávila"));
    }

    void promptsDeData_data()
    {
        QTest::addColumn<bool>("periodo");
        QTest::addColumn<QString>("inicio");
        QTest::addColumn<QString>("fim");
        QTest::addColumn<QString>("mensagem");
        QTest::addColumn<QString>("foco");
        QTest::newRow("data válida") << false << "" << "" << "" << "";
        QTest::newRow("período válido") << true << "" << "" << "" << "";
    }
    void promptsDeData()
    {
        QFETCH(bool, periodo);
        QFETCH(QString, inicio);
        QFETCH(QString, fim);
        QFETCH(QString, mensagem);
        QFETCH(QString, foco);
        TFrmData data;
        TFrmPeriodo per;
        QDialog *d = periodo ? static_cast<QDialog *>(&per) : &data;
        QDateEdit *ini = periodo ? per.DataIni : data.DataIni;
        // What the user left half-typed in a picker's text.
        const auto digita = [](QDateEdit *e, const QString &texto) {
            if (!texto.isEmpty())
                e->findChild<QLineEdit *>()->setText(texto);
        };
        ini->setDate(QDate(2026, 3, 9));
        per.DataFim->setDate(QDate(2026, 3, 31));
        per.DataFim->setEnabled(false);
        d->show();
        digita(ini, inicio);
        digita(per.DataFim, fim);
        if (!mensagem.isEmpty())
            m_msgs.expect(mensagem);
        Cancelado = 1;
        d->findChild<QPushButton *>("xpButton1")->click(); // leaves the half-typed text where it is
        QVERIFY(m_msgs.allAnswered());
        if (mensagem.isEmpty()) {
            QVERIFY(m_msgs.shown().isEmpty());
            QCOMPARE(Cancelado, 0);
            QVERIFY(!d->isVisible());
            QCOMPARE(ini->date(), QDate(2026, 3, 9));
        } else {
            QCOMPARE(m_msgs.shown().size(), 1);
            QCOMPARE(m_msgs.shown().first().caption, QString("Informação"));
            QCOMPARE(Cancelado, 1);
            QVERIFY(d->isVisible());
            QCOMPARE(d->focusWidget() ? d->focusWidget()->objectName() : QString(), foco);
            QTest::keyClick(d, Qt::Key_Escape);
            QVERIFY(!d->isVisible());
            QCOMPARE(Cancelado, 1);
        }
        if (periodo)
            QVERIFY(per.DataFim->isEnabled()); // closing enables the end picker again
    }
};

QTEST_MAIN(TestDialogos)
#include "tst_dialogos.moc"
