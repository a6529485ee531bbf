#pragma once
// ZIP archives over libzip: one-file containers with WinZip AES-256 entries, and their safe extraction.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <functional>
#include <stdexcept>

class QIODevice;
struct zip;
struct zip_source;
typedef struct zip_source zip_source_t;

namespace archive {

// A failure of the ZIP library or of the files around it; message() is shown to the user.
class ZipError : public std::runtime_error {
public:
    explicit ZipError(const QString &message) : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

// Writes a new archive. Nothing replaces the file at the path until close() succeeds; destroying the
// writer without close() leaves any old file as it was.
class ZipWriter {
public:
    explicit ZipWriter(const QString &archive); // throws ZipError
    ~ZipWriter();
    ZipWriter(const ZipWriter &) = delete;
    ZipWriter &operator=(const ZipWriter &) = delete;

    // level 0 is the library's default compression, 1 the fastest ... 9 the smallest. An empty password
    // leaves the entry unencrypted; otherwise it is AES-256 encrypted. The source is read at close().
    void addFile(const QString &source, const QString &entryName, const QByteArray &password = {}, int level = 0);
    void addData(const QString &entryName, const QByteArray &data, const QByteArray &password = {}, int level = 0);
    void close();

private:
    void setOptions(qint64 index, const QByteArray &password, int level);
    void addSource(zip_source_t *src, const QString &entryName, const QByteArray &password, int level);
    zip *m_zip = nullptr;
    QString m_path;
    QList<QByteArray> m_buffers; // data of addData, alive until close
};

class ZipReader {
public:
    explicit ZipReader(const QString &archive); // throws ZipError
    ~ZipReader();
    ZipReader(const ZipReader &) = delete;
    ZipReader &operator=(const ZipReader &) = delete;

    int count() const;
    QString name(int index) const;
    bool encrypted(int index) const;
    qint64 size(int index) const;
    // Index of the entry with that exact name, or -1.
    int find(const QString &name) const;
    // Decompresses (and decrypts) an entry into out; the library checks its CRC. Throws ZipError.
    void extract(int index, QIODevice &out, const QByteArray &password = {},
                 const std::function<void(QByteArrayView)> &onChunk = {}) const;
    QByteArray read(int index, const QByteArray &password = {}) const;

private:
    bool authenticAesEntry(int index, const QByteArray &password, quint16 method) const;
    zip *m_zip = nullptr;
    QString m_path;
};

// Creates archive anew holding source under its bare file name, compressed with the default method
// and encrypted with AES-256 under password. The old archive stays as it was when this fails.
void compressFile(const QString &source, const QString &archive, const QByteArray &password);

// Names of the entries, in archive order (no password needed).
QStringList entryNames(const QString &archive);
// Whether the first entry is encrypted; throws ZipError for an unreadable or empty archive.
bool firstEntryEncrypted(const QString &archive);

// A name that may be written into a folder: a bare file name, no folder part, not absolute,
// no drive, not "." or "..".
bool isSafeEntryName(const QString &name);

// Extracts every entry of archive into folder, decrypting with password where needed, and returns the
// entry names. An archive holding any entry that is not a bare file name is refused before anything is
// written. Every entry is first written to a temporary file in folder; only when all arrived whole are
// they renamed into place, so a failure leaves no half-written file, and a rename never writes through
// a link that stands at the target's name.
QStringList extractAll(const QString &archive, const QString &folder, const QByteArray &password);

} // namespace archive
