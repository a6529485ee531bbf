#include "data/Globals.h"

#include <QDir>

QString NomeSistema = QStringLiteral("KOVA");
QString CaminhoSistema;
QString VersaoSistema;
QString CaminhoBanco;
QString CaminhoBackup;
bool BackupAutomatico = true;
QString CaminhoBackupAutomatico;
QString StringConexao;
QString UsuarioLogado;
int IDUsuarioLogado = 0;
int Cancelado = 0;

namespace data {

QString versaoPrograma() { return QStringLiteral(KOVA_VERSION); }

QString caminhoBackupPadrao() { return QDir::homePath() + QStringLiteral("/KOVA.bkp"); }

} // namespace data
