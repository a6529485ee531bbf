// Data-layer benchmark on a generated register of 50 000 households: the household list's first
// screen, one household's totals, the next code and one access-log row, each through the data
// module's datasets and beside the same statement run straight on the SQLite C API.
//
//   build/bench/bench_data [folder]     (default: a temporary folder; the register is kept there)
#include "data/Schema.h"
#include "data/TDM.h"
#include "platform/db/JetSql.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sqlite3.h>

namespace {

void generate(const QString &path)
{
    data::createDatabase(path);
    auto c = db::Connection::open(path);
    sqlite3 *h = c->handle();
    QRandomGenerator rng(20261211);
    auto exec = [&](const char *sql) { sqlite3_exec(h, sql, nullptr, nullptr, nullptr); };
    exec("BEGIN");
    exec("insert into configuracoes (Entidade, CNPJ) values ('Secretaria Municipal de Assistência Social', '')");
    sqlite3_stmt *st = nullptr;
    const char *ruas[] = {"Rua das Flores", "Avenida Brasil", "Rua D'Ajuda", "Travessa São João", "Rua Sete de Setembro"};
    sqlite3_prepare_v2(h, "insert into fichas (Codigo, Endereco, Numero, Bairro, Telefone, STATUS) values (?,?,?,?,?,?)", -1, &st, nullptr);
    for (int i = 1; i <= 50000; ++i) {
        const QByteArray code = QString::asprintf("%06d", i).toUtf8();
        const QByteArray rua = QByteArray(ruas[i % 5]);
        const QByteArray num = QByteArray::number(i % 2000 + 1);
        sqlite3_bind_text(st, 1, code.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, rua.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, num.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 4, "Centro", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 5, "(11) 5555 0000", -1, SQLITE_STATIC);
        sqlite3_bind_int(st, 6, i % 10 == 0 ? 0 : (i % 97 == 0 ? 9 : 1));
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_prepare_v2(h, "insert into moradores (IDFicha, IDTipoMorador, Nome, Nascimento, CPF, STATUS) values (?,?,?,?,?,?)", -1, &st, nullptr);
    for (int i = 0; i < 200000; ++i) {
        const QByteArray nome = QStringLiteral("Morador %1 da Silva").arg(i).toUtf8();
        const QByteArray nasc = QString::asprintf("%04d-%02d-%02d", 1940 + i % 80, 1 + i % 12, 1 + i % 28).toUtf8();
        sqlite3_bind_int(st, 1, i / 4 + 1);
        sqlite3_bind_int(st, 2, i % 4 == 0 ? 1 : 20);
        sqlite3_bind_text(st, 3, nome.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 4, nasc.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_null(st, 5);
        sqlite3_bind_int(st, 6, i % 13 == 0 ? 0 : 1);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_prepare_v2(h, "insert into rendas (IDMorador, IDTipoRenda, Valor) values (?,?,?)", -1, &st, nullptr);
    for (int i = 0; i < 300000; ++i) {
        sqlite3_bind_int(st, 1, int(rng.bounded(200000)) + 1);
        sqlite3_bind_int(st, 2, int(rng.bounded(3)) + 1);
        sqlite3_bind_double(st, 3, double(rng.bounded(300000)) / 100.0);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_prepare_v2(h, "insert into doacoes (Data, IDResponsavel, IDTipoDoacao, IDMorador, Descricao, Valor) values (?,?,?,?,?,?)", -1, &st, nullptr);
    for (int i = 0; i < 500000; ++i) {
        const QByteArray d = QString::asprintf("%04d-%02d-%02d", 2015 + i % 12, 1 + i % 12, 1 + i % 28).toUtf8();
        sqlite3_bind_text(st, 1, d.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 2, 1);
        sqlite3_bind_int(st, 3, 1);
        sqlite3_bind_int(st, 4, int(rng.bounded(200000)) + 1);
        sqlite3_bind_text(st, 5, "Cesta básica", -1, SQLITE_STATIC);
        sqlite3_bind_double(st, 6, 120.0);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_prepare_v2(h, "insert into acessos (Usuario, Data, Hora, Descricao) values ('admin', ?, '10:15:00', 'Alterou a ficha')", -1, &st, nullptr);
    for (int i = 0; i < 1000000; ++i) {
        const QByteArray d = QString::asprintf("%04d-%02d-%02d", 2015 + i % 12, 1 + i % 12, 1 + i % 28).toUtf8();
        sqlite3_bind_text(st, 1, d.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    exec("COMMIT");
    exec("ANALYZE");
}

struct Result {
    double median, best;
};

Result measure(int runs, const std::function<void()> &f)
{
    std::vector<double> ms;
    f(); // warm the cache as a working office's machine is
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.front()};
}

// The same statement straight on the C API: prepare, step `rows` rows reading every column.
void direct(sqlite3 *h, const QString &jetSql, int rows)
{
    const QByteArray sql = jet::translate(jetSql).toUtf8();
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(h, sql.constData(), -1, &st, nullptr);
    const int n = sqlite3_column_count(st);
    for (int r = 0; r < rows && sqlite3_step(st) == SQLITE_ROW; ++r)
        for (int c = 0; c < n; ++c)
            if (sqlite3_column_type(st, c) == SQLITE_TEXT)
                (void)sqlite3_column_text(st, c);
            else
                (void)sqlite3_column_double(st, c);
    sqlite3_finalize(st);
}

void report(const char *what, Result ours, Result raw, double goalMs)
{
    std::printf("%-34s ours %8.3f ms (best %7.3f)   direct %8.3f ms   ratio %5.2fx   goal < %g ms %s\n", what, ours.median, ours.best,
                raw.median, raw.median > 0 ? ours.median / raw.median : 0.0, goalMs, ours.median < goalMs ? "ok" : "MISSED");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path();
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath("KOVA.db");
    if (!QFile::exists(path)) {
        QElapsedTimer t;
        t.start();
        generate(path);
        std::printf("generated register in %.1f s: %s\n", double(t.elapsed()) / 1000.0, qPrintable(path));
    }
    TDM dm;
    dm.DataModuleCreate(folder);
    sqlite3 *h = dm.conexao()->handle();

    const QString lista = "select id, codigo, chefefamilia, endereco, numero, telefone, percapita, status, dstatus from cfichas Where status in (0,1) order by codigo";
    const int firstBatch = [&] {
        dm.QFichas.open(lista);
        const int n = dm.QFichas.fetchedCount();
        dm.QFichas.close();
        return n;
    }();
    report("household list, first screen", measure(20, [&] {
               dm.QFichas.close();
               dm.QFichas.open(lista);
           }),
           measure(20, [&] { direct(h, lista, firstBatch); }), 50);

    QRandomGenerator rng(7);
    auto totals = [&](int id) { return QStringLiteral("select renda, percapita, doacoes, moradores from cfichas where id=%1").arg(id); };
    report("one household's totals", measure(200, [&] {
               dm.QFichas.close();
               dm.QFichas.open(totals(int(rng.bounded(50000)) + 1));
               (void)dm.QFichas.field("renda").asFloat();
           }),
           measure(200, [&] { direct(h, totals(int(rng.bounded(50000)) + 1), 1); }), 5);

    const QString proximo = "select max(clng(codigo)) as codigo from fichas";
    report("next household code", measure(20, [&] {
               dm.QAux1->close();
               dm.QAux1->open(proximo);
               (void)dm.QAux1->field("codigo").asInteger();
           }),
           measure(20, [&] { direct(h, proximo, 1); }), 50);

    UsuarioLogado = "bench";
    const Result ours = measure(200, [&] { dm.GravaAcesso("Alterou a ficha 000123"); });
    sqlite3_stmt *ins = nullptr;
    sqlite3_prepare_v2(h, "insert into acessos (Usuario, Data, Hora, Descricao) values (?1, ?2, ?3, ?4)", -1, &ins, nullptr);
    const Result raw = measure(200, [&] {
        sqlite3_bind_text(ins, 1, "bench", -1, SQLITE_STATIC);
        sqlite3_bind_text(ins, 2, "2026-12-11", -1, SQLITE_STATIC);
        sqlite3_bind_text(ins, 3, "10:15:00", -1, SQLITE_STATIC);
        sqlite3_bind_text(ins, 4, "Alterou a ficha 000123", -1, SQLITE_STATIC);
        sqlite3_step(ins);
        sqlite3_reset(ins);
    });
    sqlite3_finalize(ins);
    report("GravaAcesso (one row)", ours, raw, 1);
    return 0;
}
