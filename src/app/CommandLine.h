#pragma once
// The program's command-line mode for support staff and scripts: no window, no display.

#include <QStringList>
#include <QTextStream>

namespace app {

// True when the arguments ask for the command-line mode (anything but no arguments).
bool isCommandLine(const QStringList &args);

// Runs the command line; returns the exit code. args excludes the program name.
// programFolder is where "KOVA.ini" names the configured database.
int runCommandLine(const QStringList &args, const QString &programFolder, QTextStream &out, QTextStream &err);

} // namespace app
