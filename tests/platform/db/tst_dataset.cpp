// Datasets over a real SQLite file: editing on the base table, keys, navigation, locate, sort,
// filter, lazy fetching, notifications and the grid model's display formats.
#include "platform/db/Dataset.h"
#include "platform/db/DatasetModel.h"
#include "platform/db/FieldFormat.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace db;

class TestDataset : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    std::unique_ptr<Connection> m_c;

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile::remove(m_dir.filePath("t.db"));
        m_c = Connection::open(m_dir.filePath("t.db"), true);
        m_c->executeScript(QStringLiteral(
            "create table pessoas (ID INTEGER PRIMARY KEY AUTOINCREMENT, Nome TEXT(50) COLLATE UNICODE_NOCASE,"
            " Nascimento DATE, Salario CURRENCY, Ativo BOOLEAN DEFAULT 0, Obs LONGTEXT COLLATE UNICODE_NOCASE, STATUS SMALLINT DEFAULT 1);"
            "insert into pessoas (Nome, Nascimento, Salario, Ativo) values ('Ana', '1980-03-01', 1234.5, 1),"
            " ('Bruno', '1975-12-31', 0, 0), ('Álvaro', NULL, 99.999, 1), ('joão', '2001-07-15', NULL, 0);"));
    }
    void cleanup() { m_c.reset(); }

    void fieldsByAnyCase()
    {
        Dataset ds("Q", m_c.get());
        ds.open("select * from pessoas where id=1");
        QCOMPARE(ds.field("nome").asString(), QString("Ana"));
        QCOMPARE(ds.field("NOME").asString(), QString("Ana"));
        QCOMPARE(ds.field("status").asInteger(), 1);
        QCOMPARE(ds.field("Nascimento").asDate(), QDate(1980, 3, 1));
        QCOMPARE(ds.field("Ativo").asBoolean(), true);
        QCOMPARE(ds.field("Salario").asFloat(), 1234.5);
        QVERIFY_THROWS_EXCEPTION(DbError, ds.field("naoexiste"));
    }

    void appendReadsBackIdAndKeysAreNeverReused()
    {
        Dataset ds("T", m_c.get());
        ds.open("select * from pessoas where id=-1");
        QVERIFY(ds.isEmpty());
        ds.append();
        ds.setValue("Nome", "D'Ávila");
        ds.setValue("Nascimento", "31/05/1990"); // typed as the user types it
        ds.setValue("Salario", "1.234,56");
        ds.setValue("Ativo", "True");
        ds.post();
        const qint64 id = ds.field("ID").asInteger();
        QCOMPARE(id, 5);
        QCOMPARE(ds.recordCount(), 1);
        QCOMPARE(ds.field("STATUS").asInteger(), 1); // the table's default read back
        QCOMPARE(m_c->scalar("select nascimento from pessoas where nome='D''Ávila'").toString(), QString("1990-05-31"));
        QCOMPARE(m_c->scalar("select salario from pessoas where id=5").toDouble(), 1234.56);
        QCOMPARE(m_c->scalar("select ativo from pessoas where id=5").toInt(), 1);

        ds.remove();
        ds.open("select * from pessoas where id=-1");
        ds.append();
        ds.setValue("Nome", "Outra");
        ds.post();
        QCOMPARE(ds.field("ID").asInteger(), 6); // 5 is gone for good
    }

    void editPostAndCancel()
    {
        Dataset ds("T", m_c.get());
        ds.open("select * from pessoas where id=2");
        ds.edit();
        ds.setValue("nome", "Bruna");
        QCOMPARE(ds.state(), Dataset::State::Edit);
        ds.cancel();
        QCOMPARE(ds.field("Nome").asString(), QString("Bruno"));
        ds.setValue("nome", "Bruna"); // setting a value in browse mode starts an edit, as ADO does
        ds.post();
        QCOMPARE(m_c->scalar("select nome from pessoas where id=2").toString(), QString("Bruna"));
        QCOMPARE(ds.field("Nome").asString(), QString("Bruna"));
        // Clearing a date stores NULL rather than an empty text.
        ds.setValue("Nascimento", "  /  /    ");
        ds.post();
        QVERIFY(m_c->scalar("select nascimento is null from pessoas where id=2").toBool());
    }

    void viewsAndJoinsAreReadOnly()
    {
        m_c->executeScript("create view vp as select * from pessoas");
        Dataset ds("Q", m_c.get());
        ds.open("select * from vp");
        QVERIFY(ds.baseTable().isEmpty());
        QVERIFY_THROWS_EXCEPTION(DbError, ds.edit());
        QVERIFY_THROWS_EXCEPTION(DbError, ds.append());
    }

    void navigationAndRequeryKeepCurrentRow()
    {
        Dataset ds("Q", m_c.get());
        ds.open("select * from pessoas order by nome");
        QVERIFY(ds.bof());
        QStringList order;
        for (ds.first(); !ds.eof(); ds.next())
            order << ds.field("nome").asString();
        QCOMPARE(order, (QStringList{"Álvaro", "Ana", "Bruno", "joão"}));
        QVERIFY(ds.locate("nome", "BRUNO"));
        m_c->execute("insert into pessoas (nome) values ('Aaron')");
        ds.requery();
        QCOMPARE(ds.field("nome").asString(), QString("Bruno"));
        QCOMPARE(ds.recNo(), 3);
    }

    void locate_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("partial");
        QTest::addColumn<QString>("found"); // name of the row found, empty: none
        QTest::newRow("exact, other case") << "Nome" << QVariant("JOÃO") << false << "joão";
        QTest::newRow("exact needs whole text") << "Nome" << QVariant("Br") << false << "";
        QTest::newRow("partial prefix") << "nome" << QVariant("br") << true << "Bruno";
        QTest::newRow("accents count") << "Nome" << QVariant("joao") << false << "";
        QTest::newRow("number") << "ID" << QVariant(3) << false << "Álvaro";
        QTest::newRow("date as typed") << "Nascimento" << QVariant("31/12/1975") << false << "Bruno";
    }
    void locate()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(bool, partial);
        QFETCH(QString, found);
        Dataset ds("Q", m_c.get());
        ds.open("select * from pessoas order by id");
        ds.last();
        const bool ok = ds.locate(field, value, {true, partial});
        QCOMPARE(ok, !found.isEmpty());
        if (ok)
            QCOMPARE(ds.field("nome").asString(), found);
        else
            QCOMPARE(ds.field("nome").asString(), QString("joão")); // a failed locate does not move
    }

    void sortAndFilter()
    {
        Dataset ds("Q", m_c.get());
        ds.open("select id, nome, salario from pessoas");
        ds.setSort("salario desc, nome");
        ds.first();
        QCOMPARE(ds.field("nome").asString(), QString("Ana"));
        ds.setFilter("[Nome] like '*o*'");
        QStringList names;
        for (ds.first(); !ds.eof(); ds.next())
            names << ds.field("nome").asString();
        QCOMPARE(names, (QStringList{"Álvaro", "Bruno", "joão"}));
        ds.setFilter("[ID]=2");
        QCOMPARE(ds.recordCount(), 1);
        ds.setFilter(QString());
        QCOMPARE(ds.recordCount(), 4);
    }

    void largeResultsAreFetchedAsNeeded()
    {
        m_c->executeScript("with recursive n(i) as (select 1 union all select i+1 from n where i<5000)"
                           " insert into pessoas (nome) select 'P' || i from n;");
        Dataset ds("Q", m_c.get());
        ds.open("select * from pessoas");
        QVERIFY(ds.fetchedCount() < 1000);
        QCOMPARE(ds.recordCount(), 5004);
        QVERIFY(ds.fetchedCount() < 1000); // counting does not load the rows
        QVERIFY(ds.locate("nome", "P4999"));
        ds.append();
        ds.setValue("nome", "nova");
        ds.post();
        QCOMPARE(ds.recordCount(), 5005);
        ds.last();
        QCOMPARE(ds.fetchedCount(), 5005);
    }

    void notificationsAndModel()
    {
        Dataset ds("Q", m_c.get());
        DatasetModel model(&ds);
        QSignalSpy scrolled(&ds, &Dataset::currentChanged);
        ds.open("select id, nome, nascimento, salario, ativo from pessoas where id=1 or id=3 order by id");
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.columnCount(), 5);
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("Nome")); // the column as the table names it
        QCOMPARE(model.index(0, 3).data().toString(), QString("1.234,50"));
        QCOMPARE(model.index(1, 3).data().toString(), QString("100,00")); // four decimals stored, two shown
        QCOMPARE(model.index(0, 2).data().toString(), QString("01/03/1980"));
        QCOMPARE(model.index(1, 2).data().toString(), QString());
        QCOMPARE(model.index(0, 4).data().toString(), QString("Sim"));
        ds.next();
        QVERIFY(scrolled.count() >= 2);
        QCOMPARE(scrolled.last().at(0).toInt(), 1);

        Dataset t("T", m_c.get());
        DatasetModel tm(&t);
        t.open("select * from pessoas where id=1");
        QSignalSpy changed(&tm, &QAbstractItemModel::dataChanged);
        t.setValue("Salario", 10);
        t.post();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(tm.index(0, t.fieldIndex("salario")).data().toString(), QString("10,00"));
    }

    void formatFloat_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("money") << ",0.00" << 1234567.891 << "1.234.567,89";
        QTest::newRow("money small") << "#,##0.00" << 0.5 << "0,50";
        QTest::newRow("negative") << ",0.00" << -1234.5 << "-1.234,50";
        QTest::newRow("no grouping") << "0.00" << 1234.5 << "1234,50";
        QTest::newRow("padded") << "000000" << 42.0 << "000042";
        QTest::newRow("currency prefix") << "R$,0.00" << 7.0 << "R$7,00";
        QTest::newRow("half away from zero") << "0.00" << 2.675000001 << "2,68";
    }
    void formatFloat()
    {
        QFETCH(QString, mask);
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(db::formatFloat(mask, value), text);
    }

    void engineErrorsCarryTheMessage()
    {
        try {
            m_c->execute("select nada from lugarnenhum");
            QFAIL("no error");
        } catch (const DbError &e) {
            QVERIFY2(e.message().contains("lugarnenhum"), qPrintable(e.message()));
        }
    }

    void transactionRollsBackUnlessCommitted()
    {
        {
            Transaction t(*m_c);
            m_c->execute("update pessoas set nome='X' where id=1");
        }
        QCOMPARE(m_c->scalar("select nome from pessoas where id=1").toString(), QString("Ana"));
        {
            Transaction t(*m_c);
            m_c->execute("update pessoas set nome=" + quoted("D'Ajuda") + " where id=1");
            t.commit();
        }
        QCOMPARE(m_c->scalar("select nome from pessoas where id=1").toString(), QString("D'Ajuda"));
    }
};

QTEST_MAIN(TestDataset)
#include "tst_dataset.moc"
