#pragma once
// The backup archive: packs a list of files into one compressed archive and restores them to where they
// came from.
//
// Format: a plain ZIP (any ZIP tool opens it) whose entry "manifest.json" lists, for each file, its
// entry name ("1/KOVA.db" ...), its original absolute path, its size and its SHA-256. A file that is an
// SQLite database is archived from a copy made with SQLite's backup API, so a database that is open
// (also in WAL mode, with changes still in its "-wal" file) is saved as one consistent snapshot.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <stdexcept>

namespace archive {

class BackupError : public std::runtime_error {
public:
    explicit BackupError(const QString &message) : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

struct BackupEntry {
    QString entry;    // name inside the archive
    QString path;     // absolute path the file was backed up from
    qint64 size = 0;  // bytes archived
    QString sha256;   // hex digest of those bytes
    bool sqlite = false;
};

class BackupArchive {
public:
    // Called before each file: its position (0-based), the number of files and the file's path.
    using Progress = std::function<void(int index, int count, const QString &file)>;

    // Largest archive accepted, in bytes; 0 means no limit. A backup that would come out larger fails
    // and leaves any earlier archive in place (archives are never split into volumes).
    void setMaxVolumeSize(qint64 bytes) { m_maxVolumeSize = bytes; }
    qint64 maxVolumeSize() const { return m_maxVolumeSize; }
    void setProgress(Progress progress) { m_progress = std::move(progress); }

    // Backs files up into archive (replaced only when the new one is complete). False on failure,
    // with the reason in lastError().
    bool backup(const QStringList &files, const QString &archive);
    // Restores every file of archive to the path it was backed up from or, with a target folder, into
    // that folder under its bare name. All files are unpacked and verified before any is replaced; each
    // replaces its target by a rename, and a restored database loses its stale "-wal", "-shm" and
    // "-journal" companions. Throws BackupError.
    void restore(const QString &archive, const QString &targetFolder = QString());
    // What an archive holds. Throws BackupError.
    static QList<BackupEntry> contents(const QString &archive);

    QString lastError() const { return m_lastError; }

private:
    qint64 m_maxVolumeSize = 0;
    Progress m_progress;
    QString m_lastError;
};

} // namespace archive
