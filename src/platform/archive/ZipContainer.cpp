#include "platform/archive/ZipContainer.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageAuthenticationCode>
#include <QTemporaryFile>
#include <filesystem>
#include <memory>
#include <unistd.h>
#include <vector>
#include <zip.h>

namespace archive {

namespace {

QString codeText(int code)
{
    zip_error_t e;
    zip_error_init_with_code(&e, code);
    const QString text = QString::fromUtf8(zip_error_strerror(&e));
    zip_error_fini(&e);
    return text;
}

QString archiveError(zip_t *za) { return QString::fromUtf8(zip_error_strerror(zip_get_error(za))); }

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

zip_t *openArchive(const QString &path, int flags)
{
    int code = 0;
    zip_t *za = zip_open(QFile::encodeName(path).constData(), flags, &code);
    if (!za)
        throw ZipError(shown(path) + QStringLiteral(": ") + codeText(code));
    return za;
}

} // namespace

// ---- writer

ZipWriter::ZipWriter(const QString &archive)
    : m_zip(openArchive(archive, ZIP_CREATE | ZIP_TRUNCATE)), m_path(archive)
{
}

ZipWriter::~ZipWriter()
{
    if (m_zip)
        zip_discard(m_zip);
}

void ZipWriter::setOptions(qint64 index, const QByteArray &password, int level)
{
    const auto i = zip_uint64_t(index);
    if (level > 0 && zip_set_file_compression(m_zip, i, ZIP_CM_DEFLATE, zip_uint32_t(qMin(level, 9))) < 0)
        throw ZipError(archiveError(m_zip));
    if (!password.isEmpty() && zip_file_set_encryption(m_zip, i, ZIP_EM_AES_256, password.constData()) < 0)
        throw ZipError(archiveError(m_zip));
}

void ZipWriter::addFile(const QString &source, const QString &entryName, const QByteArray &password, int level)
{
    const QFileInfo fi(source);
    if (!fi.isFile() || !fi.isReadable())
        throw ZipError(QStringLiteral("Arquivo não encontrado: ") + shown(source));
    addSource(zip_source_file(m_zip, QFile::encodeName(fi.absoluteFilePath()).constData(), 0, -1), entryName, password, level);
}

void ZipWriter::addData(const QString &entryName, const QByteArray &data, const QByteArray &password, int level)
{
    m_buffers.append(data);
    const QByteArray &kept = m_buffers.last();
    addSource(zip_source_buffer(m_zip, kept.constData(), zip_uint64_t(kept.size()), 0), entryName, password, level);
}

void ZipWriter::addSource(zip_source_t *src, const QString &entryName, const QByteArray &password, int level)
{
    if (!src)
        throw ZipError(archiveError(m_zip));
    const zip_int64_t index = zip_file_add(m_zip, entryName.toUtf8().constData(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(src);
        throw ZipError(archiveError(m_zip));
    }
    setOptions(index, password, level);
}

void ZipWriter::close()
{
    // libzip writes a temporary file beside the archive and renames it over the old one at the end.
    if (zip_close(m_zip) < 0) {
        const QString why = archiveError(m_zip);
        zip_discard(m_zip);
        m_zip = nullptr;
        throw ZipError(shown(m_path) + QStringLiteral(": ") + why);
    }
    m_zip = nullptr;
    m_buffers.clear();
}

// ---- reader

ZipReader::ZipReader(const QString &archive) : m_zip(openArchive(archive, ZIP_RDONLY)), m_path(archive) {}

ZipReader::~ZipReader()
{
    if (m_zip)
        zip_discard(m_zip);
}

int ZipReader::count() const
{
    const zip_int64_t n = zip_get_num_entries(m_zip, 0);
    return n < 0 ? 0 : int(n);
}

QString ZipReader::name(int index) const
{
    const char *n = zip_get_name(m_zip, zip_uint64_t(index), ZIP_FL_ENC_GUESS);
    if (!n)
        throw ZipError(archiveError(m_zip));
    return QString::fromUtf8(n);
}

bool ZipReader::encrypted(int index) const
{
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(m_zip, zip_uint64_t(index), 0, &st) < 0)
        throw ZipError(archiveError(m_zip));
    return (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
}

qint64 ZipReader::size(int index) const
{
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(m_zip, zip_uint64_t(index), 0, &st) < 0)
        throw ZipError(archiveError(m_zip));
    return (st.valid & ZIP_STAT_SIZE) ? qint64(st.size) : -1;
}

int ZipReader::find(const QString &name) const
{
    const zip_int64_t i = zip_name_locate(m_zip, name.toUtf8().constData(), 0);
    return i < 0 ? -1 : int(i);
}

namespace {

int aesKeyLength(zip_uint16_t method)
{
    switch (method) {
    case ZIP_EM_AES_128: return 16;
    case ZIP_EM_AES_192: return 24;
    case ZIP_EM_AES_256: return 32;
    default: return 0;
    }
}

QByteArray pbkdf2Sha1(const QByteArray &password, const QByteArray &salt, int iterations, int length)
{
    QByteArray out;
    QMessageAuthenticationCode mac(QCryptographicHash::Sha1, password);
    for (quint32 block = 1; out.size() < length; ++block) {
        QByteArray s = salt;
        for (int shift = 24; shift >= 0; shift -= 8)
            s.append(char(block >> shift));
        mac.reset();
        mac.addData(s);
        QByteArray u = mac.result();
        QByteArray t = u;
        for (int i = 1; i < iterations; ++i) {
            mac.reset();
            mac.addData(u);
            u = mac.result();
            for (qsizetype k = 0; k < t.size(); ++k)
                t[k] = char(t[k] ^ u[k]);
        }
        out += t;
    }
    return out.left(length);
}

} // namespace

// libzip 1.7 checks the CRC of WinZip AE-2 entries, whose CRC field is 0 by design (7-Zip and others
// write them), and so fails at their very end. Such an entry is still trusted when its own
// authentication code (HMAC-SHA1 over the encrypted data, keys from PBKDF2) checks out.
bool ZipReader::authenticAesEntry(int index, const QByteArray &password, zip_uint16_t method) const
{
    const int keyLength = aesKeyLength(method);
    const int saltLength = keyLength / 2;
    zip_stat_t st;
    zip_stat_init(&st);
    if (keyLength == 0 || zip_stat_index(m_zip, zip_uint64_t(index), 0, &st) < 0 || !(st.valid & ZIP_STAT_COMP_SIZE))
        return false;
    zip_file_t *f = zip_fopen_index(m_zip, zip_uint64_t(index), ZIP_FL_ENCRYPTED);
    if (!f)
        return false;
    QByteArray raw;
    char buffer[64 * 1024];
    zip_int64_t n;
    while ((n = zip_fread(f, buffer, sizeof buffer)) > 0)
        raw.append(buffer, qsizetype(n));
    zip_fclose(f); // a stored entry gets the same bogus CRC complaint here, after all its bytes
    if (quint64(raw.size()) != st.comp_size || raw.size() < saltLength + 2 + 10)
        return false;
    const QByteArray salt = raw.left(saltLength);
    const QByteArray keys = pbkdf2Sha1(password, salt, 1000, 2 * keyLength + 2);
    if (keys.mid(2 * keyLength, 2) != raw.mid(saltLength, 2))
        return false;
    const QByteArray data = raw.mid(saltLength + 2, raw.size() - saltLength - 2 - 10);
    const QByteArray code = QMessageAuthenticationCode::hash(data, keys.mid(keyLength, keyLength), QCryptographicHash::Sha1);
    return code.left(10) == raw.right(10);
}

void ZipReader::extract(int index, QIODevice &out, const QByteArray &password,
                        const std::function<void(QByteArrayView)> &onChunk) const
{
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(m_zip, zip_uint64_t(index), 0, &st) < 0)
        throw ZipError(archiveError(m_zip));
    zip_file_t *f = zip_fopen_index_encrypted(m_zip, zip_uint64_t(index), 0,
                                              password.isEmpty() ? nullptr : password.constData());
    if (!f)
        throw ZipError(archiveError(m_zip));
    char buffer[64 * 1024];
    quint64 written = 0;
    int code = ZIP_ER_OK;
    QString why;
    for (;;) {
        const zip_int64_t n = zip_fread(f, buffer, sizeof buffer);
        if (n < 0) {
            code = zip_error_code_zip(zip_file_get_error(f));
            why = QString::fromUtf8(zip_error_strerror(zip_file_get_error(f)));
            break;
        }
        if (n == 0)
            break;
        if (out.write(buffer, n) != n) {
            zip_fclose(f);
            throw ZipError(out.errorString());
        }
        written += quint64(n);
        if (onChunk)
            onChunk(QByteArrayView(buffer, qsizetype(n)));
    }
    const int rc = zip_fclose(f);
    if (code == ZIP_ER_OK && rc != 0) {
        code = rc;
        why = codeText(rc);
    }
    if (code == ZIP_ER_OK)
        return;
    const bool ae2Complaint = code == ZIP_ER_CRC && (st.valid & ZIP_STAT_CRC) && st.crc == 0 &&
                              (st.valid & ZIP_STAT_SIZE) && written == st.size && (st.valid & ZIP_STAT_ENCRYPTION_METHOD);
    if (ae2Complaint && authenticAesEntry(index, password, st.encryption_method))
        return;
    throw ZipError(why);
}

QByteArray ZipReader::read(int index, const QByteArray &password) const
{
    QByteArray data;
    QBuffer sink(&data);
    sink.open(QIODevice::WriteOnly);
    extract(index, sink, password);
    return data;
}

// ---- the one-file container

void compressFile(const QString &source, const QString &archive, const QByteArray &password)
{
    ZipWriter w(archive);
    w.addFile(source, QFileInfo(source).fileName(), password);
    w.close();
}

QStringList entryNames(const QString &archive)
{
    const ZipReader r(archive);
    QStringList names;
    for (int i = 0; i < r.count(); ++i)
        names << r.name(i);
    return names;
}

bool firstEntryEncrypted(const QString &archive)
{
    const ZipReader r(archive);
    if (r.count() == 0)
        throw ZipError(shown(archive) + QStringLiteral(": o arquivo compactado está vazio."));
    return r.encrypted(0);
}

bool isSafeEntryName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') || c.unicode() < 0x20)
            return false;
    return true;
}

QStringList extractAll(const QString &archive, const QString &folder, const QByteArray &password)
{
    const ZipReader r(archive);
    const int n = r.count();
    QStringList names;
    for (int i = 0; i < n; ++i) {
        const QString name = r.name(i);
        if (!isSafeEntryName(name))
            throw ZipError(QStringLiteral("Nome de arquivo não permitido no arquivo compactado: ") + name);
        names << name;
    }
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        throw ZipError(QStringLiteral("Pasta não encontrada: ") + shown(folder));

    // Second guard: every target must sit directly in the folder.
    const QString home = QDir::cleanPath(dir.absolutePath());
    for (const QString &name : names)
        if (QDir::cleanPath(QFileInfo(dir.filePath(name)).absolutePath()) != home)
            throw ZipError(QStringLiteral("Nome de arquivo não permitido no arquivo compactado: ") + name);

    std::vector<std::unique_ptr<QTemporaryFile>> parts;
    for (int i = 0; i < n; ++i) {
        auto tmp = std::make_unique<QTemporaryFile>(dir.filePath(QStringLiteral(".kova-XXXXXX.part")));
        if (!tmp->open())
            throw ZipError(shown(dir.filePath(names[i])) + QStringLiteral(": ") + tmp->errorString());
        r.extract(i, *tmp, password);
        if (!tmp->flush() || ::fsync(tmp->handle()) != 0)
            throw ZipError(shown(dir.filePath(names[i])) + QStringLiteral(": ") + tmp->errorString());
        tmp->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        tmp->close();
        parts.push_back(std::move(tmp));
    }
    for (int i = 0; i < n; ++i) {
        // rename() replaces the name itself: a link standing there is replaced, never followed.
        std::error_code ec;
        std::filesystem::rename(QFile::encodeName(parts[i]->fileName()).constData(),
                                QFile::encodeName(dir.filePath(names[i])).constData(), ec);
        if (ec)
            throw ZipError(shown(dir.filePath(names[i])) + QStringLiteral(": ") + QString::fromLocal8Bit(ec.message()));
        parts[i]->setAutoRemove(false);
    }
    return names;
}

} // namespace archive
