#pragma once
// Free functions shared by the windows: password scrambling, CPF/CNPJ, the encrypted ZIP container,
// version information, text justification and small text, date, number, file and menu helpers.
// They keep no state between calls.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <stdexcept>

class QAction;
class QMenu;

// Raised by Justifica and TamanhoArquivo; message() is the text for the user.
class ErroFuncoes : public std::runtime_error {
public:
    explicit ErroFuncoes(const QString &message) : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

// The key the program always gives Criptografa.
inline const QString ChaveCriptografia = QStringLiteral("ñõÑk#9%");
// The password of every entry of the encrypted container.
inline const QByteArray SenhaArquivoZip = QByteArrayLiteral("#5_TRQZ1684_3#");

// Text <-> Windows-1252 bytes. Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D map to the control characters of
// the same code, as Windows does, so every byte survives the round trip; characters outside the code
// page become '?'.
QByteArray ParaWindows1252(const QString &texto);
QString DeWindows1252(const QByteArray &bytes);

// XOR of every Windows-1252 byte of texto with each character of chave in turn; its own inverse.
QString Criptografa(const QString &texto, const QString &chave);

bool ValidaCPF(const QString &texto);
bool ValidaCNPJ(const QString &texto);
// "000.000.000-00" and "00.000.000/0000-00" from the digits of a valid number; other texts unchanged.
QString FormataCPF(const QString &texto);
QString FormataCNPJ(const QString &texto);

// The encrypted container. The first two report failures with "Erro ao gerar o arquivo!".
bool CompactaArquivo(const QString &origem, const QString &arquivo, bool apagarOrigem);
// Extracts into CaminhoSistema; returns the first entry's name, or empty. An archive holding an entry
// that is not a bare file name is refused as a whole (and answers empty).
QString DescompactaArquivo(const QString &arquivo, bool apagarArquivo);
// Name of the first entry; empty when the archive cannot be read or is empty.
QString NomeArquivoZip(const QString &arquivo);
// Whether the first entry is encrypted; false when the archive cannot be read or is empty.
bool ArquivoZipCriptografado(const QString &arquivo);

// Appends the version lines of a program file to linhas.
bool InfoVersao(const QString &arquivo, QStringList &linhas);

// Wraps texto into lines of larguras[i] characters (the last width for all further lines) and pads
// every line but the last to its full width. Throws ErroFuncoes for a text holding Chr(0).
void Justifica(const QString &texto, const QList<int> &larguras, QStringList &linhas);

// Case-insensitive replace-all (see the .cpp for the two rules).
QString Substitui(const QString &texto, const QString &procurado, const QString &substituto);

// "dd/mm/yyyy", optionally followed by "hh:mm" or "hh:mm:ss".
bool EData(const QString &texto);
// A currency value in the Brazilian format: "1234,56", "1.234,56", "-10".
bool ENumero(const QString &texto);
QString Espacos(int n);
// Size in bytes; throws ErroFuncoes when the file cannot be opened.
qint64 TamanhoArquivo(const QString &arquivo);
// Downloads url into arquivo; the file is replaced only by a complete download.
bool BaixaArquivo(const QString &url, const QString &arquivo);
// Fills popup with copies of the sub-entries of origem (captions, commands, sub-entries; nothing else).
void CopiaMenu(QAction *origem, QMenu *popup);
