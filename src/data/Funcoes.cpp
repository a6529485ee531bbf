#include "data/Funcoes.h"

#include "data/Globals.h"
#include "platform/archive/ZipContainer.h"
#include "platform/net/Download.h"
#include "platform/os/VersionInfo.h"
#include "platform/ui/MessageService.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMenu>
#include <QRegularExpression>
#include <QTime>

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the code page is Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char toCp1252(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return char(u);
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == u)
            return char(0x80 + i);
    return '?';
}

QString digitos(const QString &texto)
{
    QString d;
    for (const QChar c : texto)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            d += c;
    return d;
}

int digito(const QString &d, int i) { return d.at(i).unicode() - '0'; }

int verificador(int soma)
{
    const int c = 11 - soma % 11;
    return c >= 10 ? 0 : c;
}

// Upper case character by character, so that positions in the upper-cased text are positions in the text.
QString maiusculas(const QString &s)
{
    QString u = s;
    for (QChar &c : u)
        c = c.toUpper();
    return u;
}

void erroArquivo(const QString &detalhe)
{
    ui::informacao(QStringLiteral("Erro ao gerar o arquivo!") + QStringLiteral("\n\n") + detalhe);
}

QString justificada(const QString &linha, int w)
{
    const QStringList palavras = linha.split(QLatin1Char(' '));
    const int n = int(palavras.size()) - 1;
    if (n <= 0)
        return linha;
    const int total = w - int(linha.size()) + n;
    const int cada = total / n;
    const int extra = total % n;
    QString r = palavras.first();
    for (int i = 1; i <= n; ++i)
        r += Espacos(cada + (i <= extra ? 1 : 0)) + palavras.at(i);
    return r;
}

} // namespace

QByteArray ParaWindows1252(const QString &texto)
{
    QByteArray out;
    out.reserve(texto.size());
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        if (c.isHighSurrogate() && i + 1 < texto.size() && texto.at(i + 1).isLowSurrogate())
            ++i; // one character outside the code page
        out.append(c.isSurrogate() ? '?' : toCp1252(c.unicode()));
    }
    return out;
}

QString DeWindows1252(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        out += QChar(u >= 0x80 && u < 0xA0 ? kCp1252High[u - 0x80] : char16_t(u));
    }
    return out;
}

QString Criptografa(const QString &texto, const QString &chave)
{
    QByteArray bytes = ParaWindows1252(texto);
    for (const char k : ParaWindows1252(chave))
        for (char &b : bytes)
            b = char(b ^ k);
    return DeWindows1252(bytes);
}

bool ValidaCPF(const QString &texto)
{
    const QString d = digitos(texto);
    if (d.size() != 11)
        return false;
    if (d.left(9) == QString(9, d.at(0)))
        return false;
    int s = 0;
    for (int i = 0; i < 9; ++i)
        s += (10 - i) * digito(d, i);
    const int c1 = verificador(s);
    s = 2 * c1;
    for (int i = 0; i < 9; ++i)
        s += (11 - i) * digito(d, i);
    const int c2 = verificador(s);
    return c1 == digito(d, 9) && c2 == digito(d, 10);
}

bool ValidaCNPJ(const QString &texto)
{
    const QString d = digitos(texto).left(14);
    if (d.size() < 14 || d == QString(14, QLatin1Char('0')))
        return false;
    static const int p1[12] = {5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
    static const int p2[12] = {6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3};
    int s1 = 0, s2 = 0;
    for (int i = 0; i < 12; ++i) {
        s1 += p1[i] * digito(d, i);
        s2 += p2[i] * digito(d, i);
    }
    const int c1 = verificador(s1);
    const int c2 = verificador(s2 + 2 * c1);
    return c1 == digito(d, 12) && c2 == digito(d, 13);
}

QString FormataCPF(const QString &texto)
{
    const QString d = digitos(texto);
    if (d.size() < 11)
        return texto;
    return d.mid(0, 3) + u'.' + d.mid(3, 3) + u'.' + d.mid(6, 3) + u'-' + d.mid(9, 2);
}

QString FormataCNPJ(const QString &texto)
{
    const QString d = digitos(texto);
    if (d.size() < 14)
        return texto;
    return d.mid(0, 2) + u'.' + d.mid(2, 3) + u'.' + d.mid(5, 3) + u'/' + d.mid(8, 4) + u'-' + d.mid(12, 2);
}

bool CompactaArquivo(const QString &origem, const QString &arquivo, bool apagarOrigem)
{
    try {
        archive::compressFile(origem, arquivo, SenhaArquivoZip);
    } catch (const archive::ZipError &e) {
        erroArquivo(e.message());
        return false;
    }
    if (apagarOrigem)
        QFile::remove(origem);
    return true;
}

QString DescompactaArquivo(const QString &arquivo, bool apagarArquivo)
{
    if (arquivo.trimmed().isEmpty())
        return QString();
    QString primeiro;
    try {
        const QStringList nomes = archive::entryNames(arquivo);
        if (nomes.isEmpty())
            throw archive::ZipError(QDir::toNativeSeparators(arquivo) + QStringLiteral(": o arquivo compactado está vazio."));
        // A package naming a file outside the program folder is refused whole, and its name is not
        // handed on, so that no caller goes looking for that file.
        for (const QString &n : nomes)
            if (!archive::isSafeEntryName(n))
                throw archive::ZipError(QStringLiteral("Nome de arquivo não permitido no arquivo compactado: ") + n);
        primeiro = nomes.first();
        if (CaminhoSistema.isEmpty())
            throw archive::ZipError(QStringLiteral("Pasta do sistema não definida."));
        archive::extractAll(arquivo, CaminhoSistema, SenhaArquivoZip);
    } catch (const archive::ZipError &e) {
        erroArquivo(e.message());
        return primeiro;
    }
    if (apagarArquivo)
        QFile::remove(arquivo);
    return primeiro;
}

QString NomeArquivoZip(const QString &arquivo)
{
    try {
        return archive::entryNames(arquivo).value(0);
    } catch (const archive::ZipError &) {
        return QString();
    }
}

bool ArquivoZipCriptografado(const QString &arquivo)
{
    try {
        return archive::firstEntryEncrypted(arquivo);
    } catch (const archive::ZipError &) {
        return false;
    }
}

bool InfoVersao(const QString &arquivo, QStringList &linhas)
{
    if (!QFileInfo(arquivo).isFile()) {
        ui::informacao(QStringLiteral("Arquivo não encontrado"));
        return false;
    }
    const std::optional<os::VersionInfo> info = os::readVersionInfo(arquivo);
    if (!info)
        return false;

    static const char *const chaves[9][2] = {
        {"CompanyName", "Empresa.........................."},
        {"FileDescription", "Descricao........................"},
        {"FileVersion", "Versão "},
        {"InternalName", "Nome Interno..................."},
        {"LegalCopyright", "Copyright.........................."},
        {"OriginalFilename", "Nome Original do Arquivo."},
        {"ProductName", "Produto............................."},
        {"ProductVersion", "Versao do Produto............"},
        {"Comments", "Comentarios...............:"},
    };
    for (const auto &c : chaves) {
        const QString chave = QString::fromLatin1(c[0]);
        if (info->contains(chave))
            linhas << QString::fromUtf8(c[1]) + QStringLiteral(": ") + info->value(chave);
    }

    const quint32 f = info->fileFlags;
    if (f != 0) {
        QString a = QStringLiteral("Atributos: ");
        if (f & os::FlagDebug)
            a += QStringLiteral("*Debug* ");
        if (f & os::FlagSpecialBuild)
            a += QStringLiteral("*Special Build* ");
        if (f & os::FlagPrivateBuild)
            a += QStringLiteral("*Private Build* ");
        if (f & os::FlagPreRelease)
            a += QStringLiteral("*Pre-Release Build* ");
        if (f & os::FlagPatched)
            a += QStringLiteral("*Patched* ");
        linhas << a;
    }

    QString so;
    switch (info->fileOS) {
    case 0: so = QStringLiteral("Desconhecido"); break;
    case 4:
    case 262148: so = QStringLiteral("Win32 API"); break;
    case 65536: so = QStringLiteral("MS-DOS"); break;
    case 65537: so = QStringLiteral("16-bit Windows ") + QStringLiteral("sob MS-DOS"); break;
    case 131072: so = QStringLiteral("16-bit OS/2"); break;
    case 196608: so = QStringLiteral("32-bit OS/2"); break;
    case 262144: so = QStringLiteral("Windows NT"); break;
    default: so = QStringLiteral("Fora do Padrão. Código: ") + QString::number(info->fileOS); break;
    }
    linhas << QStringLiteral("Plataforma (OS): ") + so;

    static const char *const drivers[] = {"Desconhecido", "de Impressao", "de Teclado", "de Idioma", "de Vídeo",
                                          "de Mouse", "de Rede", "de Sistema", "Instalavel", "Multimida"};
    static const char *const fontes[] = {"Desconhecida", "Raster", "Vetorial", "TrueType"};
    const quint32 sub = info->fileSubtype;
    QString tipo;
    switch (info->fileType) {
    case 0: tipo = QStringLiteral("Desconhecido"); break;
    case 1: tipo = QStringLiteral("Aplicacao"); break;
    case 2: tipo = QStringLiteral("Dynamic-Link Lib."); break;
    case 3:
        tipo = QStringLiteral("Device driver - Driver ") + (sub < 10 ? QString::fromUtf8(drivers[sub]) : QString());
        break;
    case 4: tipo = QStringLiteral("Fonte - Fonte ") + (sub < 4 ? QString::fromLatin1(fontes[sub]) : QString()); break;
    case 5: tipo = QStringLiteral("Virtual Device"); break;
    case 7: tipo = QStringLiteral("Static-Link Lib."); break;
    default: break;
    }
    linhas << QStringLiteral("Tipo de Arquivo: ") + tipo;
    return !linhas.isEmpty();
}

void Justifica(const QString &texto, const QList<int> &larguras, QStringList &linhas)
{
    QString t = texto;
    t.replace(QLatin1Char('\r'), QLatin1Char(' '));
    t.remove(QLatin1Char('\n'));
    if (t.contains(QChar(0)))
        throw ErroFuncoes(QStringLiteral("Caracter inválido: Chr(0)"));
    t = Substitui(t.trimmed(), QStringLiteral("  "), QStringLiteral(" "));

    const qsizetype primeira = linhas.size();
    QList<int> usadas;
    while (!t.isEmpty()) {
        const int i = int(usadas.size());
        const int w = qMax(1, larguras.isEmpty() ? 80 : larguras.at(qMin<qsizetype>(i, larguras.size() - 1)));
        QString linha, resto;
        if (t.size() > w) {
            if (t.left(w).contains(QLatin1Char(' '))) {
                const qsizetype fim = t.left(w + 1).lastIndexOf(QLatin1Char(' '));
                linha = t.left(fim);
                resto = t.mid(fim);
            } else {
                linha = t.left(w);
                resto = t.mid(w);
            }
        } else {
            linha = t;
        }
        linhas << linha.trimmed();
        usadas << w;
        t = resto.trimmed();
    }
    for (qsizetype i = 0; i + 1 < usadas.size(); ++i)
        linhas[primeira + i] = justificada(linhas.at(primeira + i), usadas.at(i));
}

// Occurrences are compared in upper case. When the replacement does not hold the searched text, the
// text is searched again after every replacement until no occurrence is left (two blanks by one
// collapses any run); when it does, each occurrence present is replaced once, left to right.
QString Substitui(const QString &texto, const QString &procurado, const QString &substituto)
{
    if (procurado.isEmpty())
        return texto;
    QString r = texto;
    QString ur = maiusculas(r);
    const QString up = maiusculas(procurado);
    const QString us = maiusculas(substituto);
    const qsizetype n = procurado.size();
    const bool repetir = !us.contains(up);
    qsizetype de = 0;
    qsizetype p;
    while ((p = ur.indexOf(up, de)) >= 0) {
        r.replace(p, n, substituto);
        ur.replace(p, n, us);
        // Nothing before p matched, so a new occurrence can only begin where it overlaps the replacement.
        de = repetir ? qMax<qsizetype>(0, p - n + 1) : p + substituto.size();
    }
    return r;
}

bool EData(const QString &texto)
{
    static const QRegularExpression re(QStringLiteral(
        "^(\\d{1,2})/(\\d{1,2})/(\\d{4})(?:\\s+(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?)?$"));
    const auto m = re.match(texto.trimmed());
    if (!m.hasMatch())
        return false;
    if (!QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt()).isValid())
        return false;
    if (m.capturedLength(4) == 0)
        return true;
    return QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.capturedLength(6) ? m.captured(6).toInt() : 0).isValid();
}

bool ENumero(const QString &texto)
{
    static const QRegularExpression re(QStringLiteral("^[+-]?(\\d{1,3}(?:\\.\\d{3})+|\\d+)?(?:,(\\d*))?$"));
    const QString t = texto.trimmed();
    const auto m = re.match(t);
    if (!m.hasMatch() || (m.capturedLength(1) == 0 && m.capturedLength(2) == 0))
        return false;
    // The currency type holds up to 922 337 203 685 477,5807.
    QString inteira = m.captured(1);
    inteira.remove(QLatin1Char('.'));
    while (inteira.size() > 1 && inteira.startsWith(QLatin1Char('0')))
        inteira.remove(0, 1);
    const QString limite = QStringLiteral("922337203685477");
    if (inteira.size() != limite.size())
        return inteira.size() < limite.size();
    if (inteira != limite)
        return inteira < limite;
    return (m.captured(2) + QStringLiteral("0000")).left(4) <= QStringLiteral("5807");
}

QString Espacos(int n) { return n > 0 ? QString(n, QLatin1Char(' ')) : QString(); }

qint64 TamanhoArquivo(const QString &arquivo)
{
    QFile f(arquivo);
    if (!f.open(QIODevice::ReadOnly))
        throw ErroFuncoes(QDir::toNativeSeparators(arquivo) + QStringLiteral(": ") + f.errorString());
    return f.size();
}

bool BaixaArquivo(const QString &url, const QString &arquivo) { return net::download(url, arquivo); }

namespace {

void copiaEntradas(QMenu *de, QMenu *para)
{
    for (QAction *a : de->actions()) {
        if (a->isSeparator()) {
            para->addSeparator();
            continue;
        }
        QAction *copia;
        if (a->menu()) {
            QMenu *sub = para->addMenu(a->text());
            copiaEntradas(a->menu(), sub);
            copia = sub->menuAction();
        } else {
            copia = para->addAction(a->text());
        }
        QObject::connect(copia, &QAction::triggered, a, &QAction::trigger);
    }
}

} // namespace

void CopiaMenu(QAction *origem, QMenu *popup)
{
    if (!popup)
        return;
    // Sub-menus made by an earlier call belong to the pop-up; clear() alone would keep them alive.
    QList<QMenu *> antigos;
    for (QAction *a : popup->actions())
        if (QMenu *m = a->menu(); m && m->parent() == popup)
            antigos << m;
    popup->clear();
    qDeleteAll(antigos);
    if (origem && origem->menu())
        copiaEntradas(origem->menu(), popup);
}
