#pragma once
// The process-wide values of the data layer, under the names every window uses.

#include <QString>

extern QString NomeSistema;             // "KOVA"
extern QString CaminhoSistema;          // program folder, ending with a separator
extern QString VersaoSistema;           // "Versão : 1.5.0.5"
extern QString CaminhoBanco;            // database file
extern QString CaminhoBackup;           // file of a manual backup
extern bool BackupAutomatico;           // back up when the program closes
extern QString CaminhoBackupAutomatico; // folder of the automatic backups, ending with a separator
extern QString StringConexao;           // what Conectar opened
extern QString UsuarioLogado;           // login of the logged-in user
extern int IDUsuarioLogado;             // usuarios.ID of the logged-in user; 0 before the first login
extern int Cancelado;                   // shared dialog result: 1 cancelled, 0 confirmed

namespace data {

// The version the build embeds ("1.5.0.5").
QString versaoPrograma();
// Default file names in the program folder.
inline const char *kNomeBanco = "KOVA.db";
inline const char *kNomeIni = "KOVA.ini";
// Where a manual backup goes by default (the original's floppy drive has no meaning here).
QString caminhoBackupPadrao();

} // namespace data
