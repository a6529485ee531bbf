#include "platform/archive/BackupArchive.h"
#include "platform/archive/ZipContainer.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QUrl>
#include <filesystem>
#include <memory>
#include <sqlite3.h>
#include <unistd.h>
#include <vector>

namespace archive {

namespace {

const QString kManifest = QStringLiteral("manifest.json");
const QString kFormat = QStringLiteral("KOVA-backup");
constexpr int kVersion = 1;
constexpr int kFastest = 1;
const char *const kCompanions[] = {"-wal", "-shm", "-journal"};

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

bool isSqliteFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    return f.read(16) == QByteArray("SQLite format 3\0", 16);
}

QString fileSha256(const QString &path, qint64 *size)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw BackupError(shown(path) + QStringLiteral(": ") + f.errorString());
    QCryptographicHash h(QCryptographicHash::Sha256);
    if (!h.addData(&f))
        throw BackupError(shown(path) + QStringLiteral(": ") + f.errorString());
    *size = f.size();
    return QString::fromLatin1(h.result().toHex());
}

struct Db {
    sqlite3 *h = nullptr;
    ~Db() { sqlite3_close(h); }
    QString error() const { return QString::fromUtf8(sqlite3_errmsg(h)); }
};

void openDb(Db &db, const QString &nameOrUri, int flags)
{
    if (sqlite3_open_v2(nameOrUri.toUtf8().constData(), &db.h, flags, nullptr) != SQLITE_OK)
        throw BackupError(nameOrUri + QStringLiteral(": ") + db.error());
}

// A consistent copy of a database that may be open elsewhere: the backup API reads one snapshot, with
// whatever is committed in the "-wal" file, and restarts by itself if a writer intervenes.
void snapshotDatabase(const QString &source, const QString &copy)
{
    Db src, dst;
    openDb(src, source, SQLITE_OPEN_READONLY);
    sqlite3_busy_timeout(src.h, 10000);
    openDb(dst, copy, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    sqlite3_backup *b = sqlite3_backup_init(dst.h, "main", src.h, "main");
    if (!b)
        throw BackupError(shown(source) + QStringLiteral(": ") + dst.error());
    int rc;
    int waits = 0;
    while ((rc = sqlite3_backup_step(b, -1)) == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        if (rc != SQLITE_OK) {
            if (++waits > 100)
                break;
            sqlite3_sleep(100);
        }
    }
    sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE)
        throw BackupError(shown(source) + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errstr(rc)));
}

// The restored copy must be a sound database before it replaces anything. Opened immutable, so the
// check leaves no "-wal"/"-shm" files beside the copy.
void checkDatabase(const QString &path)
{
    Db db;
    const QString uri = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + QStringLiteral("?immutable=1");
    openDb(db, uri, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db.h, "PRAGMA quick_check", -1, &st, nullptr) != SQLITE_OK)
        throw BackupError(shown(path) + QStringLiteral(": ") + db.error());
    const int rc = sqlite3_step(st);
    const QString answer = rc == SQLITE_ROW ? QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)))
                                            : db.error();
    sqlite3_finalize(st);
    if (answer != QLatin1String("ok"))
        throw BackupError(shown(path) + QStringLiteral(": ") + answer);
}

void renameOver(const QString &from, const QString &to)
{
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData(), ec);
    if (ec)
        throw BackupError(shown(to) + QStringLiteral(": ") + QString::fromLocal8Bit(ec.message()));
}

QList<BackupEntry> readManifest(const ZipReader &r, const QString &archive)
{
    const QString notBackup = shown(archive) + QStringLiteral(": não é um arquivo de backup do sistema.");
    const int m = r.find(kManifest);
    if (m < 0)
        throw BackupError(notBackup);
    QJsonParseError pe{};
    const QJsonDocument doc = QJsonDocument::fromJson(r.read(m), &pe);
    const QJsonObject root = doc.object();
    if (pe.error != QJsonParseError::NoError || root.value(QLatin1String("format")).toString() != kFormat)
        throw BackupError(notBackup);
    if (root.value(QLatin1String("version")).toInt() > kVersion)
        throw BackupError(shown(archive) + QStringLiteral(": backup feito por uma versão mais nova do sistema."));
    QList<BackupEntry> entries;
    for (const QJsonValue &v : root.value(QLatin1String("files")).toArray()) {
        const QJsonObject o = v.toObject();
        BackupEntry e;
        e.entry = o.value(QLatin1String("entry")).toString();
        e.path = o.value(QLatin1String("path")).toString();
        e.size = qint64(o.value(QLatin1String("size")).toDouble(-1));
        e.sha256 = o.value(QLatin1String("sha256")).toString();
        e.sqlite = o.value(QLatin1String("sqlite")).toBool();
        if (e.entry.isEmpty() || !QDir::isAbsolutePath(e.path) || QFileInfo(e.path).fileName().isEmpty())
            throw BackupError(notBackup);
        entries.append(e);
    }
    if (entries.isEmpty())
        throw BackupError(notBackup);
    return entries;
}

} // namespace

bool BackupArchive::backup(const QStringList &files, const QString &archive)
{
    m_lastError.clear();
    try {
        if (files.isEmpty())
            throw BackupError(QStringLiteral("Nenhum arquivo para o backup."));
        QTemporaryDir work;
        if (!work.isValid())
            throw BackupError(work.errorString());

        QList<BackupEntry> entries;
        QStringList sources;
        for (int i = 0; i < files.size(); ++i) {
            const QFileInfo fi(files[i]);
            if (m_progress)
                m_progress(i, int(files.size()), fi.absoluteFilePath());
            if (!fi.isFile())
                throw BackupError(QStringLiteral("Arquivo não encontrado: ") + shown(files[i]));
            BackupEntry e;
            e.entry = QStringLiteral("%1/%2").arg(i + 1).arg(fi.fileName());
            e.path = fi.absoluteFilePath();
            e.sqlite = isSqliteFile(e.path);
            QString source = e.path;
            if (e.sqlite) {
                source = work.filePath(QString::number(i + 1) + QStringLiteral(".db"));
                snapshotDatabase(e.path, source);
            }
            e.sha256 = fileSha256(source, &e.size);
            entries.append(e);
            sources.append(source);
        }

        QJsonArray list;
        for (const BackupEntry &e : entries)
            list.append(QJsonObject{{QStringLiteral("entry"), e.entry},
                                    {QStringLiteral("path"), e.path},
                                    {QStringLiteral("size"), double(e.size)},
                                    {QStringLiteral("sha256"), e.sha256},
                                    {QStringLiteral("sqlite"), e.sqlite}});
        const QJsonObject root{{QStringLiteral("format"), kFormat},
                               {QStringLiteral("version"), kVersion},
                               {QStringLiteral("created"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate)},
                               {QStringLiteral("files"), list}};

        // Written beside the archive under a temporary name, so an earlier archive survives any failure.
        const QFileInfo target(archive);
        QTemporaryFile part(target.absoluteDir().filePath(QStringLiteral(".kova-XXXXXX.bkp")));
        if (!part.open())
            throw BackupError(shown(archive) + QStringLiteral(": ") + part.errorString());
        part.close();
        ZipWriter w(part.fileName());
        w.addData(kManifest, QJsonDocument(root).toJson(), {}, kFastest);
        for (int i = 0; i < entries.size(); ++i)
            w.addFile(sources[i], entries[i].entry, {}, kFastest);
        w.close();
        const qint64 size = QFileInfo(part.fileName()).size();
        if (m_maxVolumeSize > 0 && size > m_maxVolumeSize)
            throw BackupError(QStringLiteral("O backup (%1 bytes) não cabe no destino (%2 bytes).").arg(size).arg(m_maxVolumeSize));
        renameOver(part.fileName(), target.absoluteFilePath());
        part.setAutoRemove(false);
        return true;
    } catch (const BackupError &e) {
        m_lastError = e.message();
    } catch (const ZipError &e) {
        m_lastError = e.message();
    }
    return false;
}

QList<BackupEntry> BackupArchive::contents(const QString &archive)
{
    try {
        const ZipReader r(archive);
        return readManifest(r, archive);
    } catch (const ZipError &e) {
        throw BackupError(e.message());
    }
}

void BackupArchive::restore(const QString &archive, const QString &targetFolder)
{
    m_lastError.clear();
    try {
        const ZipReader r(archive);
        const QList<BackupEntry> entries = readManifest(r, archive);

        struct Pending {
            QString target;
            std::unique_ptr<QTemporaryFile> file;
        };
        std::vector<Pending> pending;
        for (int i = 0; i < entries.size(); ++i) {
            const BackupEntry &e = entries[i];
            const QString target = targetFolder.isEmpty()
                                       ? QDir::cleanPath(e.path)
                                       : QDir(targetFolder).absoluteFilePath(QFileInfo(e.path).fileName());
            if (m_progress)
                m_progress(i, int(entries.size()), target);
            const int index = r.find(e.entry);
            if (index < 0)
                throw BackupError(shown(archive) + QStringLiteral(": falta o arquivo ") + e.entry);
            const QDir dir = QFileInfo(target).absoluteDir();
            if (!dir.exists() && !QDir().mkpath(dir.path()))
                throw BackupError(QStringLiteral("Não foi possível criar a pasta ") + shown(dir.path()));

            auto tmp = std::make_unique<QTemporaryFile>(dir.filePath(QStringLiteral(".kova-XXXXXX.part")));
            if (!tmp->open())
                throw BackupError(shown(target) + QStringLiteral(": ") + tmp->errorString());
            QCryptographicHash h(QCryptographicHash::Sha256);
            r.extract(index, *tmp, {}, [&](QByteArrayView chunk) { h.addData(chunk); });
            if (!tmp->flush() || ::fsync(tmp->handle()) != 0)
                throw BackupError(shown(target) + QStringLiteral(": ") + tmp->errorString());
            if (tmp->size() != e.size || QString::fromLatin1(h.result().toHex()) != e.sha256)
                throw BackupError(shown(target) + QStringLiteral(": o conteúdo no backup está danificado."));
            const QFileInfo old(target);
            tmp->setPermissions(old.exists() ? old.permissions()
                                             : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
            tmp->close();
            if (e.sqlite)
                checkDatabase(tmp->fileName());
            pending.push_back({target, std::move(tmp)});
        }

        for (Pending &p : pending) {
            // A journal left from the replaced database would be replayed into the restored one; keep
            // them aside until the new file is in place, and put them back if that fails.
            QList<QPair<QString, QString>> aside;
            for (const char *suffix : kCompanions) {
                const QString companion = p.target + QLatin1String(suffix);
                if (!QFileInfo::exists(companion))
                    continue;
                const QString moved = p.file->fileName() + QLatin1String(suffix);
                renameOver(companion, moved);
                aside.append({companion, moved});
            }
            try {
                renameOver(p.file->fileName(), p.target);
            } catch (...) {
                for (const auto &a : aside) {
                    std::error_code ec;
                    std::filesystem::rename(QFile::encodeName(a.second).constData(), QFile::encodeName(a.first).constData(), ec);
                }
                throw;
            }
            p.file->setAutoRemove(false);
            for (const auto &a : aside)
                QFile::remove(a.second);
        }
    } catch (const ZipError &e) {
        m_lastError = e.message();
        throw BackupError(e.message());
    } catch (const BackupError &e) {
        m_lastError = e.message();
        throw;
    }
}

} // namespace archive
