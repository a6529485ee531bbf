// The shipped schema and rows on a real database file: the statements the windows run, the views'
// columns and totals, case-insensitive names and text, the report cascades and the catalogues.
#include "data/Schema.h"
#include "platform/db/Connection.h"
#include "platform/db/JetSql.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <iterator>

namespace {

// One household with two active residents and an inactive one, incomes of a type that counts in
// the per-capita income and of one that does not, and donations; a second household is empty.
const char *const kFixture = R"sql(
INSERT INTO tiporenda (ID, Descricao, SomaPercapita) VALUES (101, 'Soma', 1), (102, 'Não soma', 0);
INSERT INTO fichas (ID, Codigo, Endereco, Numero, STATUS) VALUES
    (1, '000001', 'Rua das Flores', '10', 1), (2, '000002', 'Rua Vazia', '', 1);
INSERT INTO moradores (ID, IDFicha, IDTipoMorador, Nome, STATUS) VALUES
    (1, 1, 1, 'João da Silva', 1), (2, 1, 2, 'Maria da Silva', 1), (3, 1, 4, 'José da Silva', 0);
INSERT INTO rendas (IDMorador, IDTipoRenda, Valor) VALUES
    (1, 101, 1000), (1, 102, 150), (2, 101, 500.5), (3, 101, 300);
INSERT INTO responsaveis (ID, Nome, Status) VALUES (1, 'Ana Assistente', 1);
INSERT INTO atendimentos (ID, Protocolo, Data, IDMorador, IDResponsavel, Status) VALUES
    (1, '2024-00001', '2024-03-05', 1, 1, 1);
INSERT INTO doacoes (ID, Data, IDResponsavel, IDTipoDoacao, IDMorador, Descricao, Valor, IDAtendimento) VALUES
    (1, '2024-03-05', 1, 1, 1, 'Cesta', 100.25, 1), (2, '2024-03-06', 1, 1, 3, 'Roupas', 50, NULL);
INSERT INTO doacoes_morador (IDMorador, IDTipoDoacao) VALUES (1, 1);
INSERT INTO usuarios (ID, Nome, Senha) VALUES (1, 'admin', 'xy');
INSERT INTO niveisacesso (IDUsuario, IDNivelAcesso) VALUES (1, 1);
INSERT INTO acessos (Usuario, Data, Hora, Descricao) VALUES ('admin', '2024-03-05', '10:15:00', 'Login');
INSERT INTO configuracoes (Entidade, Cidade, CNPJ) VALUES ('Entidade Teste', 'Cidade', '');
INSERT INTO relatorios (id, titulo) VALUES (1, 'Relatório');
)sql";

int rowCount(db::Connection &c, const QString &sql)
{
    db::Statement st = c.prepare(sql);
    int n = 0;
    while (st.step())
        ++n;
    return n;
}

int nativeCount(db::Connection &c, const QString &sql)
{
    db::Statement st = c.prepareNative(sql);
    return st.step() ? st.rawValue(0).toInt() : -1;
}

bool near(const QVariant &v, double expected) { return !v.isNull() && qAbs(v.toDouble() - expected) < 1e-6; }

} // namespace

// The SQL resources live in a static library, whose resource object the linker drops unless referenced.
static void initSchemaResources() { Q_INIT_RESOURCE(schema); }

class TestSchema : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_files = 0;
    std::unique_ptr<db::Connection> m_c;

    std::unique_ptr<db::Connection> newDatabase()
    {
        const QString path = m_dir.filePath(QStringLiteral("kova%1.db").arg(++m_files));
        data::createDatabase(path);
        return db::Connection::open(path);
    }

private slots:
    void initTestCase() { initSchemaResources(); }

    void init()
    {
        QVERIFY(m_dir.isValid());
        m_c = newDatabase();
        m_c->executeScript(QString::fromUtf8(kFixture));
    }
    void cleanup() { m_c.reset(); }

    void openOneRowAndEmptySet_data()
    {
        QTest::addColumn<QString>("table");
        for (const char *t : {"fichas", "moradores", "rendas", "doacoes", "doacoes_morador", "responsaveis",
                              "atendimentos", "tipomorador", "tipoestadocivil", "tipomoradia", "tipobanheiro",
                              "tipoestadoimovel", "tipodoacao", "tipoprofissional", "tiporenda", "usuarios",
                              "tiponivelacesso", "niveisacesso", "acessos", "configuracoes", "relatorios",
                              "relatributorelatorio", "relobjetos", "relpropriedades", "reltipoobjeto",
                              "reltipopropriedade", "relobjetopropriedade", "cfichas", "cmoradores", "crendas",
                              "cdoacoes", "catendimentos", "cresponsaveis"})
            QTest::newRow(t) << QString::fromLatin1(t);
    }
    void openOneRowAndEmptySet()
    {
        QFETCH(QString, table);
        db::Statement empty = m_c->prepare("select * from " + table + " where id=-1");
        QVERIFY(empty.columnCount() > 1);
        QVERIFY(!empty.step());
        if (nativeCount(*m_c, "select count(*) from " + table) > 0) {
            const int id = nativeCount(*m_c, "select min(id) from " + table);
            QCOMPARE(rowCount(*m_c, "select * from " + table + " where id=" + QString::number(id)), 1);
        }
    }

    void statusUpdates_data()
    {
        QTest::addColumn<QString>("update");
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("expected");
        QTest::newRow("household active") << "" << "select dstatus from cfichas where id=1" << "Ativa";
        QTest::newRow("household inactive") << "update fichas set status=0 where id=1"
                                            << "select dstatus from cfichas where id=1" << "Inativa";
        QTest::newRow("household deleted") << "update fichas set status=9 where id=1"
                                           << "select dstatus from cfichas where id=1" << "Excluída";
        QTest::newRow("resident inactive") << "update moradores set status=0 where id=1"
                                           << "select dstatus from cmoradores where id=1" << "Inativo";
        QTest::newRow("resident active") << "update moradores set status=1 where id=3"
                                         << "select dstatus from cmoradores where id=3" << "Ativo";
        QTest::newRow("resident deceased") << "update moradores set status=9 where id=3"
                                           << "select dstatus from cmoradores where id=3" << "Falecido";
        QTest::newRow("professional deleted") << "update responsaveis set status=0 where id=1"
                                              << "select count(*) from cresponsaveis where id=1" << "0";
        QTest::newRow("attendance scheduled") << "" << "select tstatus from catendimentos where id=1" << "Agendado";
        QTest::newRow("attendance concluded") << "update atendimentos set status=9 where id=1"
                                              << "select tstatus from catendimentos where id=1" << "Concluído";
        QTest::newRow("attendance cancelled") << "update atendimentos set status=0 where id=1"
                                              << "select count(*) from catendimentos where id=1" << "0";
    }
    void statusUpdates()
    {
        QFETCH(QString, update);
        QFETCH(QString, check);
        QFETCH(QString, expected);
        if (!update.isEmpty())
            QCOMPARE(m_c->execute(update), 1);
        QCOMPARE(m_c->scalar(check).toString(), expected);
    }

    void activeResidentPicker()
    {
        db::Statement st = m_c->prepare("select id, nome as [Morador], codigoficha as [Cadastro social], chefefamilia "
                                        "as [Chefe de família] from cmoradores where status=1 order by nome");
        const auto cols = st.columns();
        QCOMPARE(cols.size(), 4);
        QCOMPARE(cols.at(1).name, QString("Morador"));
        QCOMPARE(cols.at(2).name, QString("Cadastro social"));
        QCOMPARE(cols.at(3).name, QString("Chefe de família"));
        QStringList rows;
        while (st.step())
            rows << QStringList{st.value(1).toString(), st.value(2).toString(), st.value(3).toString()}.join('|');
        QCOMPARE(rows, (QStringList{"João da Silva|000001|João da Silva", "Maria da Silva|000001|João da Silva"}));
    }

    void nextHouseholdCode()
    {
        auto c = newDatabase();
        const QString sql = "select max(clng(codigo)) as codigo from fichas";
        QVERIFY(c->scalar(sql).isNull()); // the window makes "000001" of it
        c->execute("insert into fichas (codigo) values ('000041')");
        c->execute("insert into fichas (codigo) values ('7')");
        QCOMPARE(c->scalar(sql).toLongLong(), 41LL); // numeric, not text, maximum
    }

    void registerSummary_data()
    {
        QTest::addColumn<bool>("empty");
        QTest::addColumn<double>("renda");
        QTest::addColumn<double>("moradores");
        QTest::addColumn<double>("percapita");
        QTest::newRow("empty register") << true << 0.0 << 0.0 << 0.0;
        QTest::newRow("fixture") << false << 1950.5 << 3.0 << 1950.5 / 3;
    }
    void registerSummary()
    {
        QFETCH(bool, empty);
        QFETCH(double, renda);
        QFETCH(double, moradores);
        QFETCH(double, percapita);
        std::unique_ptr<db::Connection> fresh;
        db::Connection *c = m_c.get();
        if (empty) {
            fresh = newDatabase();
            fresh->execute("insert into configuracoes (Entidade) values ('Entidade Teste')");
            c = fresh.get();
        }
        db::Statement st = c->prepare(
            "select (select sum(valor) from rendas) as r, (select count(id) from moradores) as m, "
            "iif(isnull(r),0,r) as Renda, iif(isnull(m),0,m) as Moradores, "
            "iif(moradores=0,0,(renda / moradores)) as Percapita From Configuracoes");
        QVERIFY(st.step());
        QVERIFY2(near(st.value(2), renda), qPrintable(st.value(2).toString()));
        QVERIFY2(near(st.value(3), moradores), qPrintable(st.value(3).toString()));
        QVERIFY2(qAbs(st.value(4).toDouble() - percapita) < 1e-4, qPrintable(st.value(4).toString()));
    }

    void viewColumns_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QStringList>("columns");
        const QStringList fichas = QString("ID Codigo Endereco Numero Complemento Bairro Telefone IDTipoMoradia "
                                           "TempoResidencia ValorAluguel Agua Esgoto IDTipoBanheiro Comodos "
                                           "Eletricidade IDTipoEstadoImovel Observacoes Conclusao STATUS")
                                       .split(' ');
        QTest::newRow("cfichas") << "cfichas"
                                 << fichas + QString("ChefeFamilia TipoMoradia TipoBanheiro TipoEstadoImovel Renda "
                                                     "Moradores Percapita Doacoes DStatus").split(' ');
        QTest::newRow("cmoradores")
            << "cmoradores"
            << QString("ID IDFicha IDTipoMorador Nome Nascimento IDTipoEstadoCivil Naturalidade UF Telefone Profissao "
                       "LocalTrabalho TelefoneTrabalho CPF RG Titulo Zona Secao Obs CodigoFicha Endereco Numero "
                       "Complemento Bairro ChefeFamilia TipoMorador EstadoCivil Renda Doacoes DStatus Status")
                   .split(' ');
        QTest::newRow("crendas") << "crendas"
                                 << QString("ID IDMorador IDTipoRenda OBS Valor Morador IDFicha TipoRenda").split(' ');
        QTest::newRow("cdoacoes") << "cdoacoes"
                                  << QString("ID Data IDResponsavel IDTipoDoacao IDMorador Descricao Valor Parecer "
                                             "IDAtendimento Responsavel TipoDoacao Morador IDFicha CodigoFicha")
                                         .split(' ');
        QTest::newRow("catendimentos") << "catendimentos"
                                       << QString("ID Protocolo Data IDMorador IDResponsavel Obs Conclusao Status "
                                                  "Morador Responsavel CadastroSocial TStatus")
                                              .split(' ');
        QTest::newRow("cresponsaveis") << "cresponsaveis"
                                       << QString("ID Nome Cidade Endereco Numero Complemento Bairro Telefone Celular "
                                                  "IDTipoProfissional UF Email Conselho Status TipoProfissional")
                                              .split(' ');
    }
    void viewColumns()
    {
        QFETCH(QString, view);
        QFETCH(QStringList, columns);
        QVERIFY(m_c->isView(view));
        QStringList names;
        for (const db::ColumnInfo &ci : m_c->prepare("select * from " + view).columns()) {
            names << ci.name.toUpper();
            // Every column has a type: declared, or kept for computed columns in the schema's table.
            QVERIFY2(ci.type != db::FieldType::Unknown || m_c->computedColumnType(ci.name) != db::FieldType::Unknown,
                     qPrintable(view + "." + ci.name));
        }
        for (const QString &col : columns)
            QVERIFY2(names.contains(col.toUpper()), qPrintable(view + "." + col));
    }

    void computedColumnTypes()
    {
        QCOMPARE(m_c->computedColumnType("renda"), db::FieldType::Currency);
        QCOMPARE(m_c->computedColumnType("Moradores"), db::FieldType::Integer);
        QCOMPARE(m_c->computedColumnType("DSTATUS"), db::FieldType::Text);
    }

    void householdTotals_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<double>("renda");
        QTest::addColumn<double>("percapita");
        QTest::addColumn<double>("doacoes");
        QTest::addColumn<int>("moradores");
        // Active residents' incomes; per capita counts only the summing type; donations to any resident.
        QTest::newRow("household") << 1 << 1650.5 << 750.25 << 150.25 << 2;
        QTest::newRow("no residents") << 2 << 0.0 << 0.0 << 0.0 << 0;
    }
    void householdTotals()
    {
        QFETCH(int, id);
        QFETCH(double, renda);
        QFETCH(double, percapita);
        QFETCH(double, doacoes);
        QFETCH(int, moradores);
        db::Statement st =
            m_c->prepare("select renda, percapita, doacoes, moradores from cfichas where id=" + QString::number(id));
        QVERIFY(st.step());
        QVERIFY2(near(st.value(0), renda), qPrintable(st.value(0).toString()));
        QVERIFY2(near(st.value(1), percapita), qPrintable(st.value(1).toString()));
        QVERIFY2(near(st.value(2), doacoes), qPrintable(st.value(2).toString()));
        QVERIFY(!st.value(3).isNull());
        QCOMPARE(st.value(3).toInt(), moradores);
    }

    void headOfFamilyPrefersActiveResident()
    {
        m_c->execute("update moradores set status=0 where id=1");
        m_c->executeScript("INSERT INTO moradores (IDFicha, IDTipoMorador, Nome, STATUS) VALUES (1, 1, 'Zé Novo', 1)");
        QCOMPARE(m_c->scalar("select chefefamilia from cfichas where id=1").toString(), QString("Zé Novo"));
        QCOMPARE(m_c->scalar("select chefefamilia from cmoradores where id=2").toString(), QString("Zé Novo"));
        QVERIFY(m_c->scalar("select chefefamilia from cfichas where id=2").isNull());
    }

    void removedResidentKeepsCountingInCmoradores()
    {
        m_c->execute("update moradores set status=0 where id=2");
        db::Statement st = m_c->prepare("select renda, doacoes from cmoradores where id=3"); // inactive from the start
        QVERIFY(st.step());
        QVERIFY(near(st.value(0), 300));
        QVERIFY(near(st.value(1), 50));
        QVERIFY(near(m_c->scalar("select renda from cmoradores where id=2"), 500.5));
        // The household now counts only its one active resident.
        QCOMPARE(m_c->scalar("select moradores from cfichas where id=1").toInt(), 1);
        QVERIFY(near(m_c->scalar("select renda from cfichas where id=1"), 1150));
        QVERIFY(near(m_c->scalar("select percapita from cfichas where id=1"), 1000));
    }

    void caseInsensitiveNamesAndText_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("expected");
        QTest::newRow("STATUS") << "select STATUS from fichas where ID=1" << 1;
        QTest::newRow("status") << "select status from FICHAS where id=1" << 1;
        QTest::newRow("Status of view") << "select Status from CMoradores where Id=3" << 0;
        QTest::newRow("upper text") << "select count(*) from moradores where nome='JOÃO DA SILVA'" << 1;
        QTest::newRow("lower text") << "select count(*) from cmoradores where nome='joão da silva'" << 1;
        QTest::newRow("accents kept") << "select count(*) from moradores where nome='joao da silva'" << 0;
        QTest::newRow("like") << "select count(*) from moradores where nome like 'JOSÉ%'" << 1;
        QTest::newRow("keys") << "select count(*) from tiponivelacesso where formulario='FRMFICHAS' and "
                                 "controle='toolbutton1'"
                              << 1;
    }
    void caseInsensitiveNamesAndText()
    {
        QFETCH(QString, sql);
        QFETCH(int, expected);
        QCOMPARE(m_c->scalar(sql).toInt(), expected);
    }

    void deletingReportCascades()
    {
        m_c->executeScript(R"sql(
            INSERT INTO relatorios (id, titulo) VALUES (10, 'Apagar'), (11, 'Manter');
            INSERT INTO relatributorelatorio (idrelatorio, idtipo, ordem, valor) VALUES (10, 2, 1, 'fichas'), (11, 2, 1, 'fichas');
            INSERT INTO relobjetos (id, idrelatorio, idtipo, ordem, nome) VALUES
                (100, 10, 0, 0, 'RLReport1'), (101, 10, 1, 1, 'RLBand1'), (110, 11, 0, 0, 'RLReport1');
            INSERT INTO relpropriedades (idobjeto, idtipo, valor) VALUES
                (100, 43, 'poLandscape'), (101, 7, 'btTitle'), (101, 20, '30'), (110, 43, 'poPortrait');
        )sql");
        QCOMPARE(m_c->execute("delete from relatorios where id=10"), 1);
        QCOMPARE(nativeCount(*m_c, "select count(*) from relatributorelatorio where idrelatorio=10"), 0);
        QCOMPARE(nativeCount(*m_c, "select count(*) from relobjetos where idrelatorio=10"), 0);
        QCOMPARE(nativeCount(*m_c, "select count(*) from relpropriedades where idobjeto in (100, 101)"), 0);
        QCOMPARE(nativeCount(*m_c, "select count(*) from relpropriedades where idobjeto=110"), 1);
        QCOMPARE(nativeCount(*m_c, "select count(*) from relatributorelatorio where idrelatorio=11"), 1);
        // Deleting one object takes its own properties only.
        m_c->execute("delete from relobjetos where id=110");
        QCOMPARE(nativeCount(*m_c, "select count(*) from relpropriedades"), 0);
        QCOMPARE(nativeCount(*m_c, "select count(*) from relatorios where id=11"), 1);
    }

    void householdListReadsOnlyWhatItShows_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("firstStep");
        QTest::newRow("list") << "select id, codigo, chefefamilia, endereco, numero, telefone, percapita, status, "
                                 "dstatus from cfichas Where status in (0,1) order by codigo"
                              << "SCAN f USING INDEX fichas_Codigo";
        QTest::newRow("totals") << "select renda, percapita, doacoes, moradores from cfichas where id=1"
                                << "SEARCH f USING INTEGER PRIMARY KEY";
        QTest::newRow("joined") << "select crendas.*, cfichas.codigo, cfichas.chefefamilia from crendas left join cfichas "
                                   "on cfichas.id=crendas.idficha where idmorador=1"
                                << "SEARCH r USING INDEX rendas_IDMorador";
    }
    void householdListReadsOnlyWhatItShows()
    {
        // The views must flatten into the statement: no view computed for the whole register.
        QFETCH(QString, sql);
        QFETCH(QString, firstStep);
        db::Statement st = m_c->prepareNative("explain query plan " + jet::translate(sql));
        QStringList plan;
        while (st.step())
            plan << st.rawValue(3).toString();
        QVERIFY2(!plan.isEmpty() && plan.first().startsWith(firstStep), qPrintable(plan.join('\n')));
        for (const QString &step : plan)
            QVERIFY2(!step.contains("MATERIALIZE") && !step.contains("CO-ROUTINE"), qPrintable(plan.join('\n')));
    }

    void shippedLookupRowsAndPermissionKeys()
    {
        QCOMPARE(nativeCount(*m_c, "select count(*) from tipomorador where ID in (1, 20)"), 2);
        const char *const keys[][2] = {
            {"Form1", "Atendimentos1"}, {"Form1", "Doaes1"}, {"Form1", "Fichas1"}, {"Form1", "Responsveis1"},
            {"Form1", "Usurios1"}, {"Form1", "Setup1"}, {"GeraBackup", "Form1"}, {"RestauraBackup", "Form1"},
            {"FrmRelatorios", "FrmRelatorios"}, {"FrmFichas", "ToolButton1"}, {"FrmFichas", "ToolButton2"},
            {"FrmFichas", "ToolButton3"}, {"FrmCadFicha", "ToolButton1"}, {"FrmCadFicha", "ToolButton2"},
            {"FrmCadFicha", "ToolButton3"}, {"FrmCadFicha", "ToolButton5"}, {"FrmCadFicha", "ToolButton6"},
            {"FrmCadFicha", "ToolButton10"}, {"FrmRendas", "ToolButton1"}, {"FrmRendas", "ToolButton2"},
            {"FrmRendas", "ToolButton3"}, {"FrmTiposRenda", "ToolButton1"}, {"FrmTiposRenda", "ToolButton2"},
            {"FrmTiposRenda", "ToolButton3"}, {"FrmCoringa", "ToolButton1"}, {"FrmCoringa", "ToolButton2"},
            {"FrmCoringa", "ToolButton3"}, {"FrmCoringa2", "ToolButton2"}, {"FrmResponsaveis", "ToolButton1"},
            {"FrmResponsaveis", "ToolButton2"}, {"FrmResponsaveis", "ToolButton3"}, {"FrmDoacoes", "ToolButton1"},
            {"FrmDoacoes", "ToolButton2"}, {"FrmDoacoes", "ToolButton3"}, {"FrmAtendimentos", "ToolButton1"},
            {"FrmAtendimentos", "ToolButton2"}, {"FrmAtendimentos", "ToolButton3"}, {"FrmUsuarios", "ToolButton1"},
            {"FrmUsuarios", "ToolButton2"}, {"FrmUsuarios", "ToolButton3"}, {"FrmListaRelatorios", "ToolButton1"},
            {"FrmListaRelatorios", "ToolButton2"}, {"FrmListaRelatorios", "ToolButton3"}};
        QStringList missing;
        for (const auto &k : keys) {
            // Exact spelling, as the program writes the key.
            const QString sql = QStringLiteral("select count(*) from tiponivelacesso where formulario='%1' collate binary "
                                               "and controle='%2' collate binary and trim(descricao)<>''")
                                    .arg(k[0], k[1]);
            if (nativeCount(*m_c, sql) != 1)
                missing << QString("%1/%2").arg(k[0], k[1]);
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(", ")));
        QCOMPARE(nativeCount(*m_c, "select count(*) from tiponivelacesso"), int(std::size(keys)));
    }

    void reportCatalogues()
    {
        const QRegularExpression componentName("^RL[A-Za-z_][A-Za-z0-9_]*$");
        db::Statement objs = m_c->prepareNative("select id, nome from reltipoobjeto order by id");
        int expectedId = 0;
        while (objs.step()) {
            QCOMPARE(objs.rawValue(0).toInt(), expectedId++);
            QVERIFY2(componentName.match(objs.rawValue(1).toString()).hasMatch(), qPrintable(objs.rawValue(1).toString()));
        }
        QCOMPARE(expectedId, 20);
        QCOMPARE(nativeCount(*m_c, "select count(distinct id) from reltipopropriedade where id between 1 and 59 "
                                   "and trim(nome)<>'' and ordem is not null"),
                 59);
        // 50, 51 and 56 end the application of an object's values: they come last, 56 at the very end.
        db::Statement last = m_c->prepareNative("select id from reltipopropriedade order by ordem desc limit 3");
        QList<int> ids;
        while (last.step())
            ids << last.rawValue(0).toInt();
        QCOMPARE(ids.value(0), 56);
        std::sort(ids.begin(), ids.end());
        QCOMPARE(ids, (QList<int>{50, 51, 56}));
        // The designer offers only known kinds, and never the parent row (33).
        QCOMPARE(nativeCount(*m_c, "select count(*) from relobjetopropriedade where idtipoobjeto not between 0 and 19 "
                                   "or idtipopropriedade not between 1 and 59 or idtipopropriedade=33"),
                 0);
        QCOMPARE(nativeCount(*m_c, "select count(distinct idtipoobjeto) from relobjetopropriedade"), 20);
        QCOMPARE(nativeCount(*m_c, "select count(*) from relobjetopropriedade where idtipoobjeto=4 and "
                                   "idtipopropriedade in (35, 42, 57)"),
                 3);
    }
};

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
