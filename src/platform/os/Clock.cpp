#include "platform/os/Clock.h"

#include <QProcess>

namespace os {

QDateTime SystemClock::now() const { return QDateTime::currentDateTime(); }

bool SystemClock::setDate(const QDate &date)
{
    // Needs privileges most desktops do not grant; failure is expected and ignored.
    const QString time = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
    return QProcess::execute(QStringLiteral("date"), {QStringLiteral("-s"), date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ') + time}) == 0;
}

namespace {
SystemClock g_system;
Clock *g_clock = &g_system;
} // namespace

Clock &clock() { return *g_clock; }
void setClock(Clock *c) { g_clock = c ? c : &g_system; }

} // namespace os
