#include "shell/BackupAutomatico.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace shell {

namespace {
constexpr int kDiasGuardados = 20;
}

QDate DataBackupAutomatico(const QString &nomeArquivo)
{
    static const QRegularExpression padrao(QStringLiteral("^(\\d{2})_(\\d{2})_(\\d{4})\\.bkp$"));
    const QRegularExpressionMatch m = padrao.match(nomeArquivo);
    if (!m.hasMatch())
        return {};
    return QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
}

QStringList LimpaBackupsAntigos(const QString &pasta, const QDate &hoje)
{
    QStringList apagados;
    const QDir dir(pasta);
    for (const QString &nome : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QDate data = DataBackupAutomatico(nome);
        if (data.isValid() && data.daysTo(hoje) > kDiasGuardados && QFile::remove(dir.filePath(nome)))
            apagados << nome;
    }
    return apagados;
}

void ExecutaBackupAutomatico(const QString &banco, const QString &pasta, const QDate &hoje, const CopiaArquivos &copia)
{
    bool feito = false;
    try {
        QDir().mkpath(pasta);
        const QString destino = QDir(pasta).filePath(hoje.toString(QStringLiteral("dd_MM_yyyy")) + QStringLiteral(".bkp"));
        feito = copia && copia({banco}, destino);
    } catch (...) {
        // A failed backup must not keep the program from closing.
    }
    // Old backups go only once today's is safely written: a backup that keeps failing never
    // leaves the folder empty.
    if (feito) {
        try {
            LimpaBackupsAntigos(pasta, hoje);
        } catch (...) {
        }
    }
}

} // namespace shell
