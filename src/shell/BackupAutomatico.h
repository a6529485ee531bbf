#pragma once
// The automatic backup the main window takes when it closes, and the clean-up of old ones.

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>

namespace shell {

using CopiaArquivos = std::function<bool(const QStringList &arquivos, const QString &destino)>;

// Backs banco up into pasta as "dd_mm_yyyy.bkp" of hoje and, once that is written, deletes old
// automatic backups there.
// Nothing that fails here reaches the user: the program is closing either way.
void ExecutaBackupAutomatico(const QString &banco, const QString &pasta, const QDate &hoje, const CopiaArquivos &copia);

// The date of an automatic backup's file name, exactly "dd_mm_yyyy.bkp"; invalid for any other name.
QDate DataBackupAutomatico(const QString &nomeArquivo);

// Deletes the automatic backups in pasta dated more than 20 days before hoje, and nothing else:
// a future date (a clock set wrong) or a name of the user's own keeps the file. Returns the names
// deleted.
QStringList LimpaBackupsAntigos(const QString &pasta, const QDate &hoje);

} // namespace shell
