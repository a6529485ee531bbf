#include "app/CommandLine.h"
#include "data/Globals.h"
#include "data/Schema.h"
#include "platform/db/Connection.h"
#include "platform/os/IniFile.h"

#include <QDate>
#include <QDir>
#include <QRegularExpression>

namespace app {

namespace {

const char *kHelp =
    "Uso: kova [opções]\n"
    "Sem opções, abre o programa.\n"
    "\n"
    "  --create-db CAMINHO   cria um banco de dados novo, vazio, no caminho dado\n"
    "  --sql \"COMANDO\"       executa um comando SQL no banco configurado e imprime\n"
    "                        as linhas separadas por tabulação (com cabeçalho) ou o\n"
    "                        número de linhas alteradas\n"
    "  --db CAMINHO          usa outro arquivo de banco de dados em vez do configurado\n"
    "  --help                mostra esta ajuda\n";

QString cell(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QString();
    QString s;
    switch (v.typeId()) {
    case QMetaType::QByteArray:
        return QStringLiteral("<%1 bytes>").arg(v.toByteArray().size());
    case QMetaType::Double:
        s = QString::number(v.toDouble(), 'g', 15);
        break;
    default:
        s = v.toString();
    }
    // One row per line: tabs and line breaks inside a value are written escaped.
    s.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    s.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    s.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    s.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    return s;
}

} // namespace

bool isCommandLine(const QStringList &args) { return !args.isEmpty(); }

int runCommandLine(const QStringList &args, const QString &programFolder, QTextStream &out, QTextStream &err)
{
    QString createPath, sql, dbPath;
    bool haveSql = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        auto needValue = [&](QString &target) {
            if (i + 1 >= args.size()) {
                err << "kova: " << a << " precisa de um valor\n";
                return false;
            }
            target = args[++i];
            return true;
        };
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            out << kHelp;
            return 0;
        } else if (a == QLatin1String("--create-db")) {
            if (!needValue(createPath))
                return 2;
        } else if (a == QLatin1String("--sql")) {
            if (!needValue(sql))
                return 2;
            haveSql = true;
        } else if (a == QLatin1String("--db")) {
            if (!needValue(dbPath))
                return 2;
        } else {
            err << "kova: opção desconhecida: " << a << "\n" << kHelp;
            return 2;
        }
    }
    if (createPath.isEmpty() && !haveSql) {
        err << "kova: nada a fazer\n" << kHelp;
        return 2;
    }
    try {
        if (!createPath.isEmpty()) {
            data::createDatabase(createPath);
            out << "Banco de dados criado: " << QDir::toNativeSeparators(createPath) << "\n";
        }
        if (!haveSql)
            return 0;
        if (dbPath.isEmpty()) {
            QString folder = programFolder;
            if (!folder.endsWith(QLatin1Char('/')))
                folder += QLatin1Char('/');
            os::IniFile ini(folder + QLatin1String(data::kNomeIni));
            dbPath = ini.readString(QStringLiteral("Config"), QStringLiteral("CaminhoBanco"), folder + QLatin1String(data::kNomeBanco));
        }
        auto conn = db::Connection::open(dbPath);
        db::Statement st = conn->prepare(sql);
        const int cols = st.columnCount();
        if (cols == 0) {
            while (st.step()) {
            }
            out << conn->changes() << "\n";
            return 0;
        }
        QStringList header;
        for (const db::ColumnInfo &c : st.columns())
            header << c.name;
        out << header.join(QLatin1Char('\t')) << "\n";
        while (st.step()) {
            QStringList row;
            for (int c = 0; c < cols; ++c)
                row << cell(st.rawValue(c));
            out << row.join(QLatin1Char('\t')) << "\n";
        }
        return 0;
    } catch (const db::DbError &e) {
        err << "kova: " << e.message() << "\n";
        return 1;
    }
}

} // namespace app
