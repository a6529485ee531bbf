// The encrypted one-file container (its round trip, 7-Zip both ways, crafted packages that try to
// write outside the program folder) and the backup archive of an open database.
#include "data/Funcoes.h"
#include "data/Globals.h"
#include "platform/archive/BackupArchive.h"
#include "platform/archive/ZipContainer.h"
#include "platform/db/Connection.h"
#include "platform/ui/MessageService.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <zip.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    f.write(data);
}

// Every file under a folder, relative to it.
QStringList tree(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

qint64 count(db::Connection &c, const QString &table)
{
    auto st = c.prepareNative(QStringLiteral("select count(*) from ") + table);
    return st.step() ? st.rawValue(0).toLongLong() : -1;
}

QString integrity(db::Connection &c)
{
    auto st = c.prepareNative(QStringLiteral("PRAGMA integrity_check"));
    return st.step() ? st.rawValue(0).toString() : QString();
}

} // namespace

class TestArchive : public QObject {
    Q_OBJECT
    ui::ScriptedResponder m_msgs;
    std::unique_ptr<QTemporaryDir> m_dir;

    // The temporary root holds the program folder "prog/" and everything "outside" it.
    QString root(const QString &name = QString()) const { return m_dir->filePath(name); }
    QString prog(const QString &name = QString()) const { return m_dir->filePath(QStringLiteral("prog/") + name); }

    void expectError()
    {
        m_msgs.expect(QStringLiteral("Erro ao gerar o arquivo!\n\n"));
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(QDir().mkpath(prog()));
        CaminhoSistema = prog();
        m_msgs.clear();
        ui::setMessageService(&m_msgs);
    }
    void cleanup()
    {
        QVERIFY2(m_msgs.unexpected().isEmpty(), qPrintable(m_msgs.unexpected().join("\n")));
        QVERIFY(m_msgs.allAnswered());
        ui::setMessageService(nullptr);
    }

    void containerRoundTrip_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QByteArray>("conteudo");
        QTest::newRow("schema script") << "KOVA.sql" << QByteArray("alter table fichas add x int;\r\n");
        QTest::newRow("accented name") << "Relação de moradores.rel" << QByteArray(5000, 'r');
        QTest::newRow("empty file") << "vazio.txt" << QByteArray();
        QByteArray random(300000, 0);
        QRandomGenerator gen(42);
        for (char &c : random)
            c = char(gen.bounded(256));
        QTest::newRow("incompressible") << "dados.bin" << random;
    }
    void containerRoundTrip()
    {
        QFETCH(QString, nome);
        QFETCH(QByteArray, conteudo);
        QVERIFY(QDir().mkpath(root("fonte")));
        const QString fonte = root("fonte/") + nome;
        const QString pacote = root("pacote.zip");
        writeFile(fonte, conteudo);

        QVERIFY(CompactaArquivo(fonte, pacote, true));
        QVERIFY(!QFile::exists(fonte));
        QCOMPARE(NomeArquivoZip(pacote), nome);
        QVERIFY(ArquivoZipCriptografado(pacote));
        {
            int err = 0;
            zip_t *za = zip_open(QFile::encodeName(pacote).constData(), ZIP_RDONLY, &err);
            QVERIFY(za);
            zip_stat_t st;
            QCOMPARE(zip_stat_index(za, 0, 0, &st), 0);
            QCOMPARE(int(st.encryption_method), int(ZIP_EM_AES_256));
            QCOMPARE(zip_get_num_entries(za, 0), zip_int64_t(1));
            zip_discard(za);
        }

        QCOMPARE(DescompactaArquivo(pacote, true), nome);
        QVERIFY(!QFile::exists(pacote));
        QCOMPARE(readAll(prog(nome)), conteudo);
        QCOMPARE(tree(prog()), QStringList{nome}); // no temporary file left behind
    }

    void compactaFailureKeepsTheOldArchive()
    {
        writeFile(root("a.txt"), "primeiro");
        QVERIFY(CompactaArquivo(root("a.txt"), root("p.zip"), false));
        QVERIFY(QFile::exists(root("a.txt")));
        const QByteArray antes = readAll(root("p.zip"));

        expectError();
        QVERIFY(!CompactaArquivo(root("nao-existe.txt"), root("p.zip"), true));
        QCOMPARE(m_msgs.shown().last().caption, QStringLiteral("Informação"));
        QCOMPARE(readAll(root("p.zip")), antes);
    }

    void descompactaFailures()
    {
        // Blank name: empty at once, nothing said.
        QCOMPARE(DescompactaArquivo(QStringLiteral("   "), true), QString());

        // Not a ZIP file.
        writeFile(root("lixo.zip"), "isto nao e um zip");
        expectError();
        QCOMPARE(DescompactaArquivo(root("lixo.zip"), true), QString());
        QVERIFY(QFile::exists(root("lixo.zip")));
        QCOMPARE(NomeArquivoZip(root("lixo.zip")), QString());
        QVERIFY(!ArquivoZipCriptografado(root("lixo.zip")));

        // Another password: the name was read, nothing is written, the archive stays.
        writeFile(root("KOVA.sql"), "select 1;");
        archive::compressFile(root("KOVA.sql"), root("outra.zip"), "outra senha");
        expectError();
        QCOMPARE(DescompactaArquivo(root("outra.zip"), true), QStringLiteral("KOVA.sql"));
        QVERIFY(QFile::exists(root("outra.zip")));
        QCOMPARE(tree(prog()), QStringList{});
    }

    void plainArchiveIsNotEncrypted()
    {
        writeFile(root("x.txt"), "x");
        archive::compressFile(root("x.txt"), root("plano.zip"), QByteArray());
        QCOMPARE(NomeArquivoZip(root("plano.zip")), QStringLiteral("x.txt"));
        QVERIFY(!ArquivoZipCriptografado(root("plano.zip")));
    }

    void craftedEntriesAreRefused_data()
    {
        QTest::addColumn<QStringList>("entradas");
        QTest::newRow("parent folder") << QStringList{"../evil.txt"};
        QTest::newRow("sub-folder") << QStringList{"sub/x.txt"};
        // Absolute, but inside the temporary root, so that even a failing run writes nowhere else.
        QTest::newRow("absolute") << QStringList{"<root>/evil.txt"};
        QTest::newRow("backslash parent") << QStringList{"..\\evil.txt"};
        QTest::newRow("drive") << QStringList{"C:evil.txt"};
        QTest::newRow("dot-dot itself") << QStringList{".."};
        QTest::newRow("good entry first") << QStringList{"ok.txt", "../evil.txt"};
    }
    void craftedEntriesAreRefused()
    {
        QFETCH(QStringList, entradas);
        {
            archive::ZipWriter w(root("mau.zip"));
            for (QString e : entradas) {
                e.replace(QStringLiteral("<root>"), QDir(root()).absolutePath());
                w.addData(e, "conteudo de " + e.toUtf8(), SenhaArquivoZip);
            }
            w.close();
        }
        const QStringList antes = tree(root());
        expectError();
        QCOMPARE(DescompactaArquivo(root("mau.zip"), true), QString());
        QCOMPARE(tree(root()), antes); // nothing written anywhere, the archive kept
    }

    void extractionReplacesALinkInsteadOfFollowingIt()
    {
        writeFile(root("alvo.txt"), "original");
        QVERIFY(QFile::link(root("alvo.txt"), prog("KOVA.sql")));
        writeFile(root("KOVA.sql"), "novo");
        QVERIFY(CompactaArquivo(root("KOVA.sql"), root("p.zip"), true));

        QCOMPARE(DescompactaArquivo(root("p.zip"), true), QStringLiteral("KOVA.sql"));
        QCOMPARE(readAll(root("alvo.txt")), QByteArray("original"));
        QVERIFY(!QFileInfo(prog("KOVA.sql")).isSymLink());
        QCOMPARE(readAll(prog("KOVA.sql")), QByteArray("novo"));
    }

    void sevenZipInterop()
    {
        const QString sevenZip = QStandardPaths::findExecutable(QStringLiteral("7z"));
        if (sevenZip.isEmpty())
            QSKIP("7z is not installed");
        const QString senha = QStringLiteral("-p") + QString::fromLatin1(SenhaArquivoZip);
        auto run = [&](const QStringList &args, QByteArray *out = nullptr) {
            QProcess p;
            p.start(sevenZip, args);
            if (!p.waitForFinished(60000))
                return false;
            if (out)
                *out = p.readAllStandardOutput();
            return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        };

        // Ours, opened by 7-Zip.
        const QByteArray texto = QByteArray("insert into x values (1);\n").repeated(200);
        writeFile(root("KOVA.sql"), texto);
        QVERIFY(CompactaArquivo(root("KOVA.sql"), root("nosso.zip"), true));
        QByteArray listing;
        QVERIFY(run({"l", "-slt", root("nosso.zip")}, &listing));
        QVERIFY2(listing.contains("AES-256"), listing.constData());
        QVERIFY(QDir().mkpath(root("7z-out")));
        QVERIFY(run({"x", senha, "-o" + root("7z-out"), "-y", root("nosso.zip")}));
        QCOMPARE(readAll(root("7z-out/KOVA.sql")), texto);

        // 7-Zip's, read by us.
        writeFile(root("relatorio.rel"), texto + "fim");
        QVERIFY(run({"a", "-tzip", "-mem=AES256", senha, root("deles.zip"), root("relatorio.rel")}));
        QVERIFY(ArquivoZipCriptografado(root("deles.zip")));
        QCOMPARE(DescompactaArquivo(root("deles.zip"), false), QStringLiteral("relatorio.rel"));
        QCOMPARE(readAll(prog("relatorio.rel")), texto + "fim");

        // Theirs carry no CRC (AE-2): a stored entry is vouched for by its authentication code alone,
        // and a tampered byte must be caught by it.
        QVERIFY(run({"a", "-tzip", "-mx0", "-mem=AES256", senha, root("guardado.zip"), root("relatorio.rel")}));
        QVERIFY(QFile::remove(prog("relatorio.rel")));
        QCOMPARE(DescompactaArquivo(root("guardado.zip"), false), QStringLiteral("relatorio.rel"));
        QCOMPARE(readAll(prog("relatorio.rel")), texto + "fim");
        QByteArray zip = readAll(root("guardado.zip"));
        const int nameLength = uchar(zip[26]) | uchar(zip[27]) << 8;
        const int extraLength = uchar(zip[28]) | uchar(zip[29]) << 8;
        zip[30 + nameLength + extraLength + 16 + 2 + 3] ^= 0x01; // a data byte, after salt and verifier
        writeFile(root("adulterado.zip"), zip);
        QVERIFY(QFile::remove(prog("relatorio.rel")));
        expectError();
        DescompactaArquivo(root("adulterado.zip"), true);
        QVERIFY(!QFile::exists(prog("relatorio.rel")));
        QVERIFY(QFile::exists(root("adulterado.zip")));

        // A backup archive is a plain ZIP that 7-Zip can test.
        archive::BackupArchive back;
        QVERIFY2(back.backup({root("relatorio.rel")}, root("b.bkp")), qPrintable(back.lastError()));
        QVERIFY(run({"t", root("b.bkp")}));
    }

    void backupOfAnOpenDatabase()
    {
        const QString banco = root("dados/KOVA.db");
        QVERIFY(QDir().mkpath(root("dados")));
        auto c = db::Connection::open(banco, true);
        c->executeScript(QStringLiteral("create table t (id integer primary key, nome text);"));
        c->begin();
        for (int i = 0; i < 500; ++i)
            c->executeScript(QStringLiteral("insert into t (nome) values ('nome %1');").arg(i));
        c->commit();
        // The rows live in the "-wal" file so far: a plain copy of the main file would miss them.
        QVERIFY(QFileInfo(banco + "-wal").size() > 0);
        // Uncommitted work is not part of the snapshot.
        c->begin();
        c->executeScript(QStringLiteral("insert into t (nome) values ('pendente');"));

        archive::BackupArchive back;
        QVERIFY2(back.backup({banco}, root("KOVA.bkp")), qPrintable(back.lastError()));
        c->rollback();

        // Later work, whose journal is kept aside to be found stale next to the restored file.
        c->executeScript(QStringLiteral("delete from t; create table depois (x);"));
        QVERIFY(QFile::copy(banco + "-wal", root("stale-wal")));
        c.reset();
        QVERIFY(!QFile::exists(banco + "-wal"));
        QVERIFY(QFile::copy(root("stale-wal"), banco + "-wal"));

        back.restore(root("KOVA.bkp"));
        QVERIFY(!QFile::exists(banco + "-wal"));
        QVERIFY(!QFile::exists(banco + "-shm"));
        QCOMPARE(tree(root("dados")), QStringList{"KOVA.db"});

        auto r = db::Connection::open(banco);
        QCOMPARE(integrity(*r), QStringLiteral("ok"));
        QCOMPARE(count(*r, "t"), qint64(500));
        QVERIFY(!r->tableExists("depois"));
    }

    void restorePutsFilesBackWhereTheyCameFrom()
    {
        QVERIFY(QDir().mkpath(root("a")));
        QVERIFY(QDir().mkpath(root("b/c")));
        writeFile(root("a/KOVA.ini"), "[Config]\nCaminhoBanco=x\n");
        {
            auto c = db::Connection::open(root("b/c/banco.db"), true);
            c->executeScript(QStringLiteral("create table t (x); insert into t values (1), (2);"));
        }
        archive::BackupArchive back;
        QList<int> seen;
        back.setProgress([&](int i, int n, const QString &) { seen << i << n; });
        QVERIFY2(back.backup({root("a/KOVA.ini"), root("b/c/banco.db")}, root("dois.bkp")), qPrintable(back.lastError()));
        QCOMPARE(seen, (QList<int>{0, 2, 1, 2}));

        const QList<archive::BackupEntry> itens = archive::BackupArchive::contents(root("dois.bkp"));
        QCOMPARE(itens.size(), 2);
        QCOMPARE(itens[0].path, QFileInfo(root("a/KOVA.ini")).absoluteFilePath());
        QVERIFY(!itens[0].sqlite);
        QVERIFY(itens[1].sqlite);

        QVERIFY(QFile::remove(root("a/KOVA.ini")));
        QVERIFY(QDir(root("b")).removeRecursively());
        back.restore(root("dois.bkp"));
        QCOMPARE(readAll(root("a/KOVA.ini")), QByteArray("[Config]\nCaminhoBanco=x\n"));
        auto c = db::Connection::open(root("b/c/banco.db"));
        QCOMPARE(count(*c, "t"), qint64(2));

        // Into a folder of one's choosing instead.
        QVERIFY(QDir().mkpath(root("outra")));
        back.restore(root("dois.bkp"), root("outra"));
        QCOMPARE(tree(root("outra")), (QStringList{"KOVA.ini", "banco.db"}));
    }

    void backupFailureKeepsTheOldArchive()
    {
        writeFile(root("um.txt"), "um");
        archive::BackupArchive back;
        QVERIFY(back.backup({root("um.txt")}, root("x.bkp")));
        const QByteArray antes = readAll(root("x.bkp"));

        QVERIFY(!back.backup({root("um.txt"), root("falta.txt")}, root("x.bkp")));
        QVERIFY(back.lastError().contains("falta.txt"));
        back.setMaxVolumeSize(10);
        QVERIFY(!back.backup({root("um.txt")}, root("x.bkp")));
        QCOMPARE(readAll(root("x.bkp")), antes);
        QCOMPARE(tree(root()), (QStringList{"prog", "um.txt", "x.bkp"}));
    }

    void restoreRefusesWhatItCannotTrust()
    {
        writeFile(root("alvo.txt"), "intacto");
        archive::BackupArchive back;

        // A container package is not a backup.
        writeFile(root("KOVA.sql"), "select 1;");
        QVERIFY(CompactaArquivo(root("KOVA.sql"), root("pacote.zip"), false));
        QVERIFY_THROWS_EXCEPTION(archive::BackupError, back.restore(root("pacote.zip")));

        // Content that does not match its manifest.
        const QString path = QFileInfo(root("alvo.txt")).absoluteFilePath();
        const QByteArray manifest = QStringLiteral(R"({"format":"KOVA-backup","version":1,"files":[
            {"entry":"1/alvo.txt","path":"%1","size":9,"sha256":"%2","sqlite":false}]})")
                                        .arg(path, QString(64, '0'))
                                        .toUtf8();
        {
            archive::ZipWriter w(root("falso.bkp"));
            w.addData("manifest.json", manifest);
            w.addData("1/alvo.txt", "adulterad");
            w.close();
        }
        QVERIFY_THROWS_EXCEPTION(archive::BackupError, back.restore(root("falso.bkp")));
        QCOMPARE(readAll(root("alvo.txt")), QByteArray("intacto"));
        QCOMPARE(tree(root()), (QStringList{"KOVA.sql", "alvo.txt", "falso.bkp", "pacote.zip", "prog"}));
    }
};

QTEST_GUILESS_MAIN(TestArchive)
#include "tst_archive.moc"
