#include "platform/os/VersionInfo.h"

#include <QFile>
#include <array>
#include <algorithm>
#include <functional>
#include <string_view>

#ifndef KOVA_VERSION
#error "KOVA_VERSION must be defined by the build"
#endif

namespace os {

namespace detail {

constexpr std::size_t kMarkerSize = 16;
constexpr std::size_t kHeaderSize = kMarkerSize + 6 * 4;
constexpr quint32 kFormat = 1;

// The marker is kept masked so that no copy of it in clear exists outside the record itself.
constexpr unsigned char kMask = 0x5C;
constexpr unsigned char kMaskedMarker[kMarkerSize] = {
    0x7F ^ kMask, 'K' ^ kMask, 'O' ^ kMask, 'V' ^ kMask, 'A' ^ kMask, '.' ^ kMask, 'v' ^ kMask, 'e' ^ kMask,
    'r' ^ kMask,  's' ^ kMask, 'i' ^ kMask, 'o' ^ kMask, 'n' ^ kMask, 0x1A ^ kMask, 0x0D ^ kMask, 0x0A ^ kMask,
};

struct Entry {
    std::string_view key;
    std::string_view value;
};

constexpr Entry kEntries[] = {
    {"CompanyName", "Kovalume"},
    {"FileDescription", "Cadastro social da entidade"},
    {"FileVersion", KOVA_VERSION},
    {"InternalName", "KOVA"},
    {"LegalCopyright", "Copyright © Kovalume"},
    {"OriginalFilename", "kova"},
    {"ProductName", "KOVA - Kovalume"},
    {"ProductVersion", KOVA_VERSION},
    {"Comments", "Cadastro social, doações e atendimentos"},
};

#ifdef NDEBUG
constexpr quint32 kFlags = 0;
#else
constexpr quint32 kFlags = FlagDebug; // assertions are compiled in
#endif
// The fixed table has no code for this system; "unknown" is the honest one.
constexpr quint32 kOS = kOsUnknown;

constexpr std::size_t payloadSize()
{
    std::size_t n = 0;
    for (const Entry &e : kEntries)
        n += e.key.size() + 1 + e.value.size() + 1;
    return n;
}

constexpr std::size_t kRecordSize = kHeaderSize + payloadSize() + 4;

struct RecordBytes {
    unsigned char bytes[kRecordSize];
};

constexpr void put32(unsigned char *p, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

constexpr quint32 fnv1a(const unsigned char *p, std::size_t n)
{
    quint32 h = 2166136261u;
    for (std::size_t i = 0; i < n; ++i) {
        h ^= p[i];
        h *= 16777619u;
    }
    return h;
}

constexpr RecordBytes buildRecord()
{
    RecordBytes r{};
    for (std::size_t i = 0; i < kMarkerSize; ++i)
        r.bytes[i] = kMaskedMarker[i] ^ kMask;
    unsigned char *p = r.bytes + kMarkerSize;
    put32(p, kFormat);
    put32(p + 4, quint32(payloadSize()));
    put32(p + 8, kFlags);
    put32(p + 12, kOS);
    put32(p + 16, kTypeApplication);
    put32(p + 20, 0);
    std::size_t at = kHeaderSize;
    for (const Entry &e : kEntries) {
        for (char c : e.key)
            r.bytes[at++] = static_cast<unsigned char>(c);
        r.bytes[at++] = 0;
        for (char c : e.value)
            r.bytes[at++] = static_cast<unsigned char>(c);
        r.bytes[at++] = 0;
    }
    put32(r.bytes + at, fnv1a(r.bytes + kMarkerSize, at - kMarkerSize));
    return r;
}

} // namespace detail
} // namespace os

// Linked into every program file (the build asks the linker to keep it even when nothing reads it).
extern "C" __attribute__((section(".kova_version"), used)) constinit const os::detail::RecordBytes kova_version_record =
    os::detail::buildRecord();

namespace os {

namespace {

using namespace detail;

// Unmasked at run time; the volatile read keeps the compiler from folding it into a constant.
std::array<char, kMarkerSize> marker()
{
    static volatile unsigned char mask = kMask;
    std::array<char, kMarkerSize> m{};
    for (std::size_t i = 0; i < kMarkerSize; ++i)
        m[i] = char(kMaskedMarker[i] ^ mask);
    return m;
}

quint32 get32(const char *p)
{
    quint32 v = 0;
    for (int i = 0; i < 4; ++i)
        v |= quint32(static_cast<unsigned char>(p[i])) << (8 * i);
    return v;
}

void append32(QByteArray &out, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char(v >> (8 * i)));
}

std::optional<VersionInfo> parseAt(const char *p, std::size_t available)
{
    if (available < kHeaderSize + 4)
        return std::nullopt;
    const char *h = p + kMarkerSize;
    if (get32(h) != kFormat)
        return std::nullopt;
    const std::size_t size = get32(h + 4);
    if (size > available - kHeaderSize - 4)
        return std::nullopt;
    const char *payload = p + kHeaderSize;
    const auto *u = reinterpret_cast<const unsigned char *>(h);
    if (fnv1a(u, kHeaderSize - kMarkerSize + size) != get32(payload + size))
        return std::nullopt;
    if (size > 0 && payload[size - 1] != '\0')
        return std::nullopt;

    VersionInfo info;
    info.fileFlags = get32(h + 8);
    info.fileOS = get32(h + 12);
    info.fileType = get32(h + 16);
    info.fileSubtype = get32(h + 20);
    QList<QByteArray> parts = QByteArray(payload, qsizetype(size)).split('\0');
    parts.removeLast(); // after the final terminator
    if (parts.size() % 2 != 0)
        return std::nullopt;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            return std::nullopt;
        info.strings.append({QString::fromUtf8(parts[i]), QString::fromUtf8(parts[i + 1])});
    }
    return info;
}

} // namespace

bool VersionInfo::contains(const QString &key) const
{
    return std::any_of(strings.begin(), strings.end(), [&](const auto &kv) { return kv.first == key; });
}

QString VersionInfo::value(const QString &key) const
{
    for (const auto &kv : strings)
        if (kv.first == key)
            return kv.second;
    return QString();
}

VersionInfo embeddedVersionInfo()
{
    const auto *p = reinterpret_cast<const char *>(kova_version_record.bytes);
    return *parseAt(p, sizeof kova_version_record.bytes);
}

QByteArray encodeVersionInfo(const VersionInfo &info)
{
    QByteArray payload;
    for (const auto &kv : info.strings) {
        payload.append(kv.first.toUtf8()).append('\0');
        payload.append(kv.second.toUtf8()).append('\0');
    }
    QByteArray out;
    const auto m = marker();
    out.append(m.data(), qsizetype(m.size()));
    append32(out, kFormat);
    append32(out, quint32(payload.size()));
    append32(out, info.fileFlags);
    append32(out, info.fileOS);
    append32(out, info.fileType);
    append32(out, info.fileSubtype);
    out.append(payload);
    const auto *u = reinterpret_cast<const unsigned char *>(out.constData() + kMarkerSize);
    append32(out, fnv1a(u, std::size_t(out.size()) - kMarkerSize));
    return out;
}

std::optional<VersionInfo> decodeVersionInfo(QByteArrayView bytes)
{
    const auto m = marker();
    const std::boyer_moore_horspool_searcher searcher(m.begin(), m.end());
    const char *begin = bytes.data();
    const char *end = begin + bytes.size();
    for (const char *from = begin; from < end;) {
        const char *hit = std::search(from, end, searcher);
        if (hit == end)
            break;
        if (auto info = parseAt(hit, std::size_t(end - hit)))
            return info;
        from = hit + 1;
    }
    return std::nullopt;
}

std::optional<VersionInfo> readVersionInfo(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 size = f.size();
    if (size <= 0)
        return std::nullopt;
    if (const uchar *mapped = f.map(0, size))
        return decodeVersionInfo(QByteArrayView(reinterpret_cast<const char *>(mapped), size));
    const QByteArray all = f.readAll();
    return decodeVersionInfo(all);
}

} // namespace os
