// The shared utility functions: passwords, CPF/CNPJ, text wrapping and replacing, dates and numbers,
// files, menus, version information and downloads.
#include "data/Funcoes.h"
#include "data/Globals.h"
#include "platform/os/VersionInfo.h"
#include "platform/ui/MessageService.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// A tiny HTTP server on the loopback interface, in its own thread because the download blocks.
// "/versao.txt" answers 200 with a body, anything else 404. Plain sockets: the program itself needs no
// Qt networking module.
class LoopbackHttp {
public:
    static inline const QByteArray kBody = "1.5.0.6\r\n";
    LoopbackHttp()
    {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        if (m_listen < 0 || ::bind(m_listen, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || ::listen(m_listen, 8) != 0)
            return;
        socklen_t len = sizeof a;
        ::getsockname(m_listen, reinterpret_cast<sockaddr *>(&a), &len);
        m_port = ntohs(a.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~LoopbackHttp()
    {
        ::shutdown(m_listen, SHUT_RDWR); // wakes accept()
        if (m_thread.joinable())
            m_thread.join();
        ::close(m_listen);
    }
    quint16 port() const { return m_port; }

    // A port on which nobody listens.
    static quint16 closedPort()
    {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(s, reinterpret_cast<sockaddr *>(&a), sizeof a);
        socklen_t len = sizeof a;
        ::getsockname(s, reinterpret_cast<sockaddr *>(&a), &len);
        ::close(s);
        return ntohs(a.sin_port);
    }

private:
    void serve()
    {
        for (;;) {
            const int c = ::accept(m_listen, nullptr, nullptr);
            if (c < 0)
                return;
            QByteArray request;
            char buf[4096];
            while (!request.contains("\r\n\r\n")) {
                const ssize_t n = ::recv(c, buf, sizeof buf, 0);
                if (n <= 0)
                    break;
                request.append(buf, n);
            }
            const bool found = request.split(' ').value(1) == "/versao.txt";
            const QByteArray body = found ? kBody : QByteArray("nada");
            const QByteArray answer = (found ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n") +
                                      QByteArray("Content-Length: ") + QByteArray::number(body.size()) +
                                      "\r\nConnection: close\r\n\r\n" + body;
            ::send(c, answer.constData(), size_t(answer.size()), MSG_NOSIGNAL);
            ::close(c);
        }
    }

    int m_listen = -1;
    quint16 m_port = 0;
    std::thread m_thread;
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

} // namespace

class TestFuncoes : public QObject {
    Q_OBJECT
    ui::ScriptedResponder m_msgs;
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        CaminhoSistema = m_dir.path() + QLatin1Char('/');
        ui::setMessageService(&m_msgs);
    }
    void cleanupTestCase() { ui::setMessageService(nullptr); }
    void cleanup()
    {
        QVERIFY2(m_msgs.unexpected().isEmpty(), qPrintable(m_msgs.unexpected().join("\n")));
        QVERIFY(m_msgs.allAnswered());
        m_msgs.clear();
    }

    void criptografa_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("esperado");
        // The key's bytes F1 F5 D1 6B 23 39 25 XOR to 0x81: every byte of the text is XORed with it.
        QTest::newRow("empty") << "" << "";
        QTest::newRow("password") << "Senha1" << "Òäïéà°";
        QTest::newRow("accented back to ascii") << "Òäïéà°" << "Senha1";
        QTest::newRow("euro sign to control byte") << "€" << QString(QChar(0x01));
        QTest::newRow("into an unassigned byte") << QString(QChar(0x00)) << QString(QChar(0x81));
    }
    void criptografa()
    {
        QFETCH(QString, texto);
        QFETCH(QString, esperado);
        QCOMPARE(Criptografa(texto, ChaveCriptografia), esperado);
        QCOMPARE(Criptografa(esperado, ChaveCriptografia), texto);
    }

    void criptografaKeepsEveryByte()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString text = DeWindows1252(all);
        QCOMPARE(ParaWindows1252(text), all);
        const QString once = Criptografa(text, ChaveCriptografia);
        QCOMPARE(once.size(), text.size());
        QVERIFY(once != text);
        QCOMPARE(Criptografa(once, ChaveCriptografia), text);
        QCOMPARE(Criptografa(text, QString()), text);
        // Rounds in sequence: two rounds of one key character cancel out.
        QCOMPARE(Criptografa(text, QStringLiteral("kk")), text);
    }

    void validaCPF_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("valido");
        QTest::newRow("digits only") << "52998224725" << true;
        QTest::newRow("punctuated") << "529.982.247-25" << true;
        QTest::newRow("stray letters") << "CPF: 529x982y247-25." << true;
        QTest::newRow("other number") << "123.456.789-09" << true;
        QTest::newRow("leading zeros") << "000.000.001-91" << true;
        QTest::newRow("nine equal digits, check digits fit") << "111.111.111-11" << false;
        QTest::newRow("nine equal digits") << "222.222.222-22" << false;
        QTest::newRow("first check digit wrong") << "529.982.247-35" << false;
        QTest::newRow("second check digit wrong") << "529.982.247-24" << false;
        QTest::newRow("ten digits") << "5299822472" << false;
        QTest::newRow("twelve digits") << "529982247250" << false;
        QTest::newRow("no digits") << "abc" << false;
        QTest::newRow("empty") << "" << false;
    }
    void validaCPF()
    {
        QFETCH(QString, texto);
        QFETCH(bool, valido);
        QCOMPARE(ValidaCPF(texto), valido);
    }

    void validaCNPJ_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("valido");
        QTest::newRow("punctuated") << "11.222.333/0001-81" << true;
        QTest::newRow("digits only") << "11222333000181" << true;
        QTest::newRow("stray letters") << "CNPJ 11.222.333/0001-81 ok" << true;
        QTest::newRow("15th digit ignored") << "112223330001819" << true;
        QTest::newRow("13 digits") << "1122233300018" << false;
        QTest::newRow("all zero") << "00.000.000/0000-00" << false;
        QTest::newRow("first check digit wrong") << "11.222.333/0001-91" << false;
        QTest::newRow("second check digit wrong") << "11.222.333/0001-82" << false;
        QTest::newRow("a CPF") << "529.982.247-25" << false;
    }
    void validaCNPJ()
    {
        QFETCH(QString, texto);
        QFETCH(bool, valido);
        QCOMPARE(ValidaCNPJ(texto), valido);
    }

    void formata()
    {
        QCOMPARE(FormataCPF("52998224725"), QString("529.982.247-25"));
        QCOMPARE(FormataCPF(" 529.982.247-25 "), QString("529.982.247-25"));
        QCOMPARE(FormataCNPJ("11222333000181"), QString("11.222.333/0001-81"));
        QCOMPARE(FormataCNPJ("11.222.333/0001-81"), QString("11.222.333/0001-81"));
    }

    void justifica_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QList<int>>("larguras");
        QTest::addColumn<QStringList>("esperado");
        QTest::newRow("two words, shorter than the width") << "bom dia" << QList<int>{80} << QStringList{"bom dia"};
        QTest::newRow("100-letter word cut after 80")
            << QString(100, 'a') << QList<int>{80} << QStringList{QString(80, 'a'), QString(20, 'a')};
        QTest::newRow("blanks spread evenly") << "aaa bb c dddd ee" << QList<int>{10} << QStringList{"aaa  bb  c", "dddd ee"};
        QTest::newRow("first blanks get the extra one")
            << "um dois tres quatro" << QList<int>{15} << QStringList{"um   dois  tres", "quatro"};
        QTest::newRow("blank right after the width") << "ab cd ef" << QList<int>{5} << QStringList{"ab cd", "ef"};
        QTest::newRow("last width for further lines")
            << "aa bb cc dd ee ff" << QList<int>{5, 10} << QStringList{"aa bb", "cc  dd  ee", "ff"};
        QTest::newRow("line breaks and runs of blanks")
            << "  bom\r\ndia   a  todos " << QList<int>{80} << QStringList{"bom dia a todos"};
        QTest::newRow("empty") << "   " << QList<int>{80} << QStringList{};
    }
    void justifica()
    {
        QFETCH(QString, texto);
        QFETCH(QList<int>, larguras);
        QFETCH(QStringList, esperado);
        QStringList linhas{"antes"};
        Justifica(texto, larguras, linhas);
        QCOMPARE(linhas, QStringList{"antes"} + esperado);
    }

    void justificaFillsEveryLineButTheLast()
    {
        const QString texto = QStringLiteral(
            "Declaro para os devidos fins que recebi da entidade os itens relacionados abaixo, "
            "destinados ao atendimento da minha familia, e que as informacoes prestadas sao verdadeiras.");
        for (const int w : {30, 47, 80}) {
            QStringList linhas;
            Justifica(texto, {w}, linhas);
            QVERIFY(linhas.size() >= 2);
            for (qsizetype i = 0; i + 1 < linhas.size(); ++i)
                QCOMPARE(linhas[i].size(), qsizetype(w));
            QVERIFY(linhas.last().size() <= w);
            QCOMPARE(linhas.join(' ').simplified(), texto);
        }
    }

    void justificaRefusesChr0()
    {
        QStringList linhas;
        try {
            Justifica(QStringLiteral("ab") + QChar(0) + QStringLiteral("cd"), {80}, linhas);
            QFAIL("no error raised");
        } catch (const ErroFuncoes &e) {
            QCOMPARE(e.message(), QStringLiteral("Caracter inválido: Chr(0)"));
        }
        QVERIFY(linhas.isEmpty());
    }

    void substitui_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("procurado");
        QTest::addColumn<QString>("substituto");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("underscore to slash") << "15_01_2026" << "_" << "/" << "15/01/2026";
        QTest::newRow("letter x removed in both cases") << "XaxbX" << "X" << "" << "ab";
        QTest::newRow("go twice, replacement holds the searched text")
            << "create table t GO insert into t GO fim" << " Go " << " go " << "create table t go insert into t go fim";
        QTest::newRow("two blanks to one collapses runs") << "a     b  c" << "  " << " " << "a b c";
        QTest::newRow("occurrence formed by a replacement") << "aaab" << "ab" << "b" << "b";
        QTest::newRow("marker, rest of the text kept")
            << "id=<IDFICHA> or ref=<idficha>" << "<IDFICHA>" << "12" << "id=12 or ref=12";
        QTest::newRow("inserted text not searched again") << "ab AB" << "ab" << "[AB]" << "[AB] [AB]";
        QTest::newRow("empty searched text") << "abc" << "" << "x" << "abc";
        QTest::newRow("no occurrence") << "abc" << "z" << "x" << "abc";
    }
    void substitui()
    {
        QFETCH(QString, texto);
        QFETCH(QString, procurado);
        QFETCH(QString, substituto);
        QFETCH(QString, esperado);
        QCOMPARE(Substitui(texto, procurado, substituto), esperado);
    }

    void eData_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("valida");
        QTest::newRow("date") << "15/01/2026" << true;
        QTest::newRow("single-digit day and month") << "5/1/2026" << true;
        QTest::newRow("with time") << "15/01/2026 14:30" << true;
        QTest::newRow("with seconds") << "15/01/2026 14:30:15" << true;
        QTest::newRow("leap day") << "29/02/2024" << true;
        QTest::newRow("31 February") << "31/02/2024" << false;
        QTest::newRow("29 February, common year") << "29/02/2023" << false;
        QTest::newRow("month 13") << "15/13/2026" << false;
        QTest::newRow("hour 25") << "15/01/2026 25:00" << false;
        QTest::newRow("ISO order") << "2026-01-15" << false;
        QTest::newRow("blanks") << "     " << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("mask left empty") << "  /  /    " << false;
    }
    void eData()
    {
        QFETCH(QString, texto);
        QFETCH(bool, valida);
        QCOMPARE(EData(texto), valida);
    }

    void eNumero_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("valido");
        QTest::newRow("thousands and decimals") << "1.234,56" << true;
        QTest::newRow("decimals") << "1234,56" << true;
        QTest::newRow("negative integer") << "-10" << true;
        QTest::newRow("blanks around") << " 15 " << true;
        QTest::newRow("decimal only") << ",5" << true;
        QTest::newRow("largest currency") << "922.337.203.685.477,5807" << true;
        QTest::newRow("beyond currency") << "922337203685477,5808" << false;
        QTest::newRow("misplaced thousands separator") << "1.23,4" << false;
        QTest::newRow("English format") << "1,234.56" << false;
        QTest::newRow("letters") << "12a" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("comma alone") << "," << false;
    }
    void eNumero()
    {
        QFETCH(QString, texto);
        QFETCH(bool, valido);
        QCOMPARE(ENumero(texto), valido);
    }

    void tamanhoArquivo()
    {
        writeFile(path("tam.bin"), QByteArray(1234, 'x'));
        QCOMPARE(TamanhoArquivo(path("tam.bin")), qint64(1234));
        QVERIFY_THROWS_EXCEPTION(ErroFuncoes, TamanhoArquivo(path("nao-existe.bin")));
    }

    void copiaMenu()
    {
        QMenu fonte;
        QAction *um = fonte.addAction("Um");
        um->setShortcut(QKeySequence("F5"));
        um->setCheckable(true);
        um->setChecked(true);
        um->setData(7);
        fonte.addSeparator();
        QMenu *sub = fonte.addMenu("Sub");
        QAction *dois = sub->addAction("Dois");
        dois->setEnabled(true);

        QMenu popup;
        popup.addAction("velha");
        CopiaMenu(fonte.menuAction(), &popup);
        CopiaMenu(fonte.menuAction(), &popup); // filling again replaces, never adds

        const QList<QAction *> c = popup.actions();
        QCOMPARE(c.size(), 3);
        QCOMPARE(c[0]->text(), QString("Um"));
        QVERIFY(c[1]->isSeparator());
        QCOMPARE(c[2]->text(), QString("Sub"));
        QVERIFY(c[0]->shortcut().isEmpty());
        QVERIFY(!c[0]->isCheckable());
        QVERIFY(!c[0]->data().isValid());
        QVERIFY(c[2]->menu());
        QCOMPARE(c[2]->menu()->actions().size(), 1);
        QCOMPARE(popup.findChildren<QMenu *>().size(), 1);

        QSignalSpy umSpy(um, &QAction::triggered);
        QSignalSpy doisSpy(dois, &QAction::triggered);
        c[0]->trigger();
        c[2]->menu()->actions().first()->trigger();
        QCOMPARE(umSpy.size(), 1);
        QCOMPARE(doisSpy.size(), 1);
    }

    void infoVersaoOfTheProgramFile()
    {
        QStringList linhas;
        QVERIFY(InfoVersao(QCoreApplication::applicationFilePath(), linhas));
        QVERIFY(linhas.size() >= 3);
        QCOMPARE(linhas[0], QStringLiteral("Empresa..........................: Kovalume"));
        QVERIFY(linhas[1].startsWith(QStringLiteral("Descricao........................: ")));
        // The line the data module keeps as VersaoSistema.
        QCOMPARE(linhas[2], QStringLiteral("Versão ") + QStringLiteral(": ") + data::versaoPrograma());
        QVERIFY(linhas.contains(QStringLiteral("Produto.............................: KOVA - Kovalume")));
        QCOMPARE(linhas.last(), QStringLiteral("Tipo de Arquivo: Aplicacao"));
        QCOMPARE(linhas[linhas.size() - 2], QStringLiteral("Plataforma (OS): Desconhecido"));
        // The record read from the file is the one linked in.
        const auto lido = os::readVersionInfo(QCoreApplication::applicationFilePath());
        QVERIFY(lido);
        QCOMPARE(os::encodeVersionInfo(*lido), os::encodeVersionInfo(os::embeddedVersionInfo()));
    }

    void infoVersaoLabels()
    {
        os::VersionInfo info;
        // Record order does not matter; the lines come in the fixed order.
        for (const char *k : {"Comments", "ProductVersion", "ProductName", "OriginalFilename", "LegalCopyright",
                              "InternalName", "FileVersion", "FileDescription", "CompanyName"})
            info.strings.append({QString::fromLatin1(k), QStringLiteral("v-") + QString::fromLatin1(k)});
        writeFile(path("labels.bin"), "lixo" + os::encodeVersionInfo(info) + "lixo");
        QStringList linhas;
        QVERIFY(InfoVersao(path("labels.bin"), linhas));
        const QStringList esperado{
            "Empresa..........................: v-CompanyName",
            "Descricao........................: v-FileDescription",
            "Versão : v-FileVersion",
            "Nome Interno...................: v-InternalName",
            "Copyright..........................: v-LegalCopyright",
            "Nome Original do Arquivo.: v-OriginalFilename",
            "Produto.............................: v-ProductName",
            "Versao do Produto............: v-ProductVersion",
            "Comentarios...............:: v-Comments",
            "Plataforma (OS): Desconhecido",
            "Tipo de Arquivo: Aplicacao",
        };
        QCOMPARE(linhas, esperado);
    }

    void infoVersaoFixedPart_data()
    {
        QTest::addColumn<quint32>("flags");
        QTest::addColumn<quint32>("so");
        QTest::addColumn<quint32>("tipo");
        QTest::addColumn<quint32>("subtipo");
        QTest::addColumn<QStringList>("esperado");
        QTest::newRow("plain application") << 0u << 0u << 1u << 0u
                                           << QStringList{"Plataforma (OS): Desconhecido", "Tipo de Arquivo: Aplicacao"};
        QTest::newRow("every flag") << 63u << 4u << 2u << 0u
                                    << QStringList{"Atributos: *Debug* *Special Build* *Private Build* *Pre-Release Build* *Patched* ",
                                                   "Plataforma (OS): Win32 API", "Tipo de Arquivo: Dynamic-Link Lib."};
        QTest::newRow("patched, NT") << 4u << 262144u << 7u << 0u
                                     << QStringList{"Atributos: *Patched* ", "Plataforma (OS): Windows NT",
                                                    "Tipo de Arquivo: Static-Link Lib."};
        QTest::newRow("video driver") << 0u << 262148u << 3u << 4u
                                      << QStringList{"Plataforma (OS): Win32 API", "Tipo de Arquivo: Device driver - Driver de Vídeo"};
        QTest::newRow("TrueType font") << 0u << 65537u << 4u << 3u
                                       << QStringList{"Plataforma (OS): 16-bit Windows sob MS-DOS",
                                                      "Tipo de Arquivo: Fonte - Fonte TrueType"};
        QTest::newRow("other codes") << 0u << 12345u << 6u << 0u
                                     << QStringList{"Plataforma (OS): Fora do Padrão. Código: 12345", "Tipo de Arquivo: "};
    }
    void infoVersaoFixedPart()
    {
        QFETCH(quint32, flags);
        QFETCH(quint32, so);
        QFETCH(quint32, tipo);
        QFETCH(quint32, subtipo);
        QFETCH(QStringList, esperado);
        os::VersionInfo info;
        info.strings.append({QStringLiteral("FileVersion"), QStringLiteral("2.0")});
        info.fileFlags = flags;
        info.fileOS = so;
        info.fileType = tipo;
        info.fileSubtype = subtipo;
        writeFile(path("fixa.bin"), os::encodeVersionInfo(info));
        QStringList linhas;
        QVERIFY(InfoVersao(path("fixa.bin"), linhas));
        QCOMPARE(linhas, QStringList{"Versão : 2.0"} + esperado);
    }

    void infoVersaoWithoutRecord()
    {
        os::VersionInfo a, b;
        a.strings.append({QStringLiteral("FileVersion"), QStringLiteral("falso")});
        b.strings.append({QStringLiteral("FileVersion"), QStringLiteral("certo")});
        QByteArray damaged = os::encodeVersionInfo(a);
        damaged[damaged.size() - 8] = '#'; // payload no longer matches its checksum

        writeFile(path("sem.bin"), QByteArray(4096, 'z') + damaged);
        QStringList linhas;
        QVERIFY(!InfoVersao(path("sem.bin"), linhas));
        QVERIFY(linhas.isEmpty());

        writeFile(path("depois.bin"), damaged + os::encodeVersionInfo(b));
        QVERIFY(InfoVersao(path("depois.bin"), linhas));
        QCOMPARE(linhas.first(), QStringLiteral("Versão : certo"));

        m_msgs.expect("Arquivo não encontrado");
        QStringList nada;
        QVERIFY(!InfoVersao(path("nao-existe.exe"), nada));
        QCOMPARE(m_msgs.shown().last().caption, QStringLiteral("Informação"));
        QVERIFY(nada.isEmpty());
    }

    void baixaArquivo()
    {
        LoopbackHttp server;
        QVERIFY(server.port() != 0);
        const QString base = QStringLiteral("http://127.0.0.1:%1").arg(server.port());

        QVERIFY(BaixaArquivo(base + "/versao.txt", path("versao.txt")));
        QCOMPARE(readAll(path("versao.txt")), LoopbackHttp::kBody);

        // A failed download leaves the file as it was.
        writeFile(path("velho.txt"), "velho");
        QVERIFY(!BaixaArquivo(base + "/nao-existe.txt", path("velho.txt")));
        QCOMPARE(readAll(path("velho.txt")), QByteArray("velho"));
    }

    void baixaArquivoClosedPort()
    {
        const quint16 port = LoopbackHttp::closedPort();
        QVERIFY(!BaixaArquivo(QStringLiteral("http://127.0.0.1:%1/versao.txt").arg(port), path("fechada.txt")));
        QVERIFY(!QFile::exists(path("fechada.txt")));
    }
};

QTEST_MAIN(TestFuncoes)
#include "tst_funcoes.moc"
