// The support command line: create a database, run Jet SQL on it, report errors by exit code.
#include "app/CommandLine.h"
#include "platform/os/IniFile.h"

#include <QTemporaryDir>
#include <QtTest>

class TestCli : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    int run(const QStringList &args, QString *out = nullptr, QString *err = nullptr)
    {
        QString o, e;
        QTextStream os(&o), es(&e);
        const int rc = app::runCommandLine(args, m_dir.path(), os, es);
        os.flush();
        es.flush();
        if (out)
            *out = o;
        if (err)
            *err = e;
        return rc;
    }

private slots:
    void createThenQueryTheConfiguredDatabase()
    {
        const QString db = m_dir.filePath("KOVA.db");
        QCOMPARE(run({"--create-db", db}), 0);
        QVERIFY(QFile::exists(db));
        QString err;
        QCOMPARE(run({"--create-db", db}, nullptr, &err), 1); // never overwrites a register
        QVERIFY(err.contains("já existe"));

        QString out;
        QCOMPARE(run({"--sql", "insert into fichas (codigo, endereco, status) values (\"000001\", 'Rua D''Ajuda', 1)"}, &out), 0);
        QCOMPARE(out, QString("1\n"));
        QCOMPARE(run({"--sql", "select codigo, endereco, moradores from cfichas where status=1"}, &out), 0);
        QCOMPARE(out, QString("Codigo\tEndereco\tMoradores\n000001\tRua D'Ajuda\t0\n"));
    }

    void dbOptionAndErrors()
    {
        const QString other = m_dir.filePath("outro.db");
        QCOMPARE(run({"--create-db", other}), 0);
        QString out, err;
        QCOMPARE(run({"--db", other, "--sql", "select count(*) as n from tipomorador where id in (1, 20)"}, &out), 0);
        QCOMPARE(out, QString("n\n2\n"));
        QCOMPARE(run({"--db", other, "--sql", "select * from tabelainexistente"}, &out, &err), 1);
        QVERIFY2(err.contains("tabelainexistente"), qPrintable(err));
        QCOMPARE(run({"--db", m_dir.filePath("nada.db"), "--sql", "select 1"}, &out, &err), 1);
        QCOMPARE(run({"--bobagem"}, &out, &err), 2);
        QCOMPARE(run({"--help"}, &out), 0);
        QVERIFY(out.contains("--create-db"));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
