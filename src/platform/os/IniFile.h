#pragma once
// A Windows-style INI file, read and written as plain text so any INI tool reads it: sections,
// key=value lines, booleans as 1/0. Lines we do not touch are kept as they were.

#include <QString>
#include <QStringList>

namespace os {

class IniFile {
public:
    explicit IniFile(QString path);

    QString readString(const QString &section, const QString &key, const QString &def) const;
    bool readBool(const QString &section, const QString &key, bool def) const;
    int readInteger(const QString &section, const QString &key, int def) const;
    // Each write goes to the file at once, as the Windows calls did. Returns false when it cannot.
    bool writeString(const QString &section, const QString &key, const QString &value);
    bool writeBool(const QString &section, const QString &key, bool value);
    bool writeInteger(const QString &section, const QString &key, int value);
    bool hasKey(const QString &section, const QString &key) const;

    const QString &path() const { return m_path; }

private:
    void load();
    bool save() const;
    // Index of the key's line within the section, or -1; sectionLine receives the header index.
    int find(const QString &section, const QString &key, int *sectionLine, int *sectionEnd) const;
    QString m_path;
    QStringList m_lines;
};

} // namespace os
