#pragma once
// The version record that the build embeds in every program file, and the reading of it from any file.
//
// The record sits in its own ELF section (".kova_version") but is found by scanning the file's bytes for
// its marker, so a stripped or otherwise rewritten file still answers. Layout, little-endian:
//   marker (16 bytes) | format u32 | payload size P u32 | file flags u32 | OS u32 | file type u32 |
//   file sub-type u32 | payload: key\0value\0 ... (UTF-8) | checksum u32 (FNV-1a over format..payload)
// A marker without a well-formed record behind it is skipped, so the reader's own code can never be
// taken for a record.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>
#include <QString>
#include <optional>

namespace os {

// Codes of the fixed part, with the meanings the version lines give them.
enum VersionFlag : quint32 {
    FlagDebug = 1,
    FlagPreRelease = 2,
    FlagPatched = 4,
    FlagPrivateBuild = 8,
    FlagSpecialBuild = 32,
};
inline constexpr quint32 kOsUnknown = 0;
inline constexpr quint32 kTypeApplication = 1;

struct VersionInfo {
    QList<QPair<QString, QString>> strings; // key, value, in record order
    quint32 fileFlags = 0;
    quint32 fileOS = kOsUnknown;
    quint32 fileType = kTypeApplication;
    quint32 fileSubtype = 0;

    bool contains(const QString &key) const;
    QString value(const QString &key) const;
};

// The record of this build, as linked into the running program.
VersionInfo embeddedVersionInfo();
// The bytes of a record in the embedded layout.
QByteArray encodeVersionInfo(const VersionInfo &info);
// The first well-formed record in bytes; nullopt when there is none.
std::optional<VersionInfo> decodeVersionInfo(QByteArrayView bytes);
// The record embedded in a file; nullopt when the file cannot be read or holds none.
std::optional<VersionInfo> readVersionInfo(const QString &path);

} // namespace os
