#include "platform/os/IniFile.h"

#include <QFile>
#include <QSaveFile>
#include <QTextStream>

namespace os {

IniFile::IniFile(QString path) : m_path(std::move(path)) { load(); }

void IniFile::load()
{
    m_lines.clear();
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly))
        return;
    QByteArray data = f.readAll();
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    const QString text = QString::fromUtf8(data);
    m_lines = text.split(QLatin1Char('\n'));
    for (QString &l : m_lines)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    while (!m_lines.isEmpty() && m_lines.last().isEmpty())
        m_lines.removeLast();
}

bool IniFile::save() const
{
    QSaveFile f(m_path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    // CRLF keeps the file friendly to Windows tools that may read a copy of it.
    const QString text = m_lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    f.write(text.toUtf8());
    return f.commit();
}

int IniFile::find(const QString &section, const QString &key, int *sectionLine, int *sectionEnd) const
{
    int sec = -1;
    int end = int(m_lines.size());
    int found = -1;
    for (int i = 0; i < m_lines.size(); ++i) {
        const QString t = m_lines[i].trimmed();
        if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'))) {
            if (sec >= 0) {
                end = i;
                break;
            }
            if (t.mid(1, t.size() - 2).trimmed().compare(section, Qt::CaseInsensitive) == 0)
                sec = i;
            continue;
        }
        if (sec < 0 || found >= 0 || t.startsWith(QLatin1Char(';')))
            continue;
        const int eq = int(t.indexOf(QLatin1Char('=')));
        if (eq > 0 && t.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            found = i;
    }
    if (sectionLine)
        *sectionLine = sec;
    if (sectionEnd)
        *sectionEnd = end;
    return found;
}

bool IniFile::hasKey(const QString &section, const QString &key) const { return find(section, key, nullptr, nullptr) >= 0; }

QString IniFile::readString(const QString &section, const QString &key, const QString &def) const
{
    const int i = find(section, key, nullptr, nullptr);
    if (i < 0)
        return def;
    const QString &l = m_lines[i];
    return l.mid(l.indexOf(QLatin1Char('=')) + 1).trimmed();
}

bool IniFile::readBool(const QString &section, const QString &key, bool def) const
{
    // As the Windows call: any integer but 0 is true; text that is no number gives the default.
    const QString s = readString(section, key, QString());
    bool ok = false;
    const int v = s.toInt(&ok);
    return ok ? v != 0 : def;
}

int IniFile::readInteger(const QString &section, const QString &key, int def) const
{
    bool ok = false;
    const int v = readString(section, key, QString()).toInt(&ok);
    return ok ? v : def;
}

bool IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    load(); // another window may have written meanwhile
    int sec = -1, end = 0;
    const int i = find(section, key, &sec, &end);
    const QString line = key + QLatin1Char('=') + value;
    if (i >= 0) {
        m_lines[i] = line;
    } else if (sec >= 0) {
        int at = end;
        while (at > sec + 1 && m_lines[at - 1].trimmed().isEmpty())
            --at;
        m_lines.insert(at, line);
    } else {
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
            m_lines << QString();
        m_lines << QLatin1Char('[') + section + QLatin1Char(']') << line;
    }
    return save();
}

bool IniFile::writeBool(const QString &section, const QString &key, bool value)
{
    return writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    return writeString(section, key, QString::number(value));
}

} // namespace os
