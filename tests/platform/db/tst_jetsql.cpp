// The Jet dialect on SQLite: translated statements run on an in-memory database with the Jet
// functions, LIKE and collation installed, and their results are checked.
#include "platform/db/JetSql.h"
#include "platform/os/Clock.h"

#include <QRandomGenerator>
#include <QtTest>

#include <sqlite3.h>

#include <algorithm>

namespace {

QString render(sqlite3_stmt *st, int col)
{
    switch (sqlite3_column_type(st, col)) {
    case SQLITE_NULL:
        return QStringLiteral("NULL");
    case SQLITE_INTEGER:
        return QString::number(sqlite3_column_int64(st, col));
    case SQLITE_FLOAT:
        return QString::number(sqlite3_column_double(st, col), 'g', 15);
    default:
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, col)));
    }
}

// Runs SQLite SQL (one statement or a script); the rows of the last statement that returns any
// columns, as "a|b;c|d", or "ERROR: ..." when SQLite refuses it.
QString runNative(sqlite3 *db, const QString &sql)
{
    const QByteArray utf8 = sql.toUtf8();
    const char *tail = utf8.constData();
    QStringList rows;
    while (tail && *tail) {
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(db, tail, -1, &st, &tail) != SQLITE_OK)
            return QStringLiteral("ERROR: ") + QString::fromUtf8(sqlite3_errmsg(db));
        if (!st)
            continue;
        QStringList these;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            QStringList cols;
            for (int c = 0; c < sqlite3_column_count(st); ++c)
                cols << render(st, c);
            these << cols.join(QLatin1Char('|'));
        }
        const bool returnsRows = sqlite3_column_count(st) > 0;
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE)
            return QStringLiteral("ERROR: ") + QString::fromUtf8(sqlite3_errmsg(db));
        if (returnsRows)
            rows = these;
    }
    return rows.join(QLatin1Char(';'));
}

QString run(sqlite3 *db, const QString &jet) { return runNative(db, jet::translate(jet)); }

int sign(int v) { return (v > 0) - (v < 0); }

const char *kFixture = R"(
create table fichas (id integer primary key, codigo text(6) collate UNICODE_NOCASE,
    endereco text(50) collate UNICODE_NOCASE, status smallint);
create table moradores (id integer primary key, idficha integer, idtipomorador integer,
    nome text(50) collate UNICODE_NOCASE, nascimento date, status smallint);
create table rendas (id integer primary key, idmorador integer, valor currency);
create table tipomorador (id integer primary key, descricao text(50) collate UNICODE_NOCASE);
create table configuracoes (entidade text collate UNICODE_NOCASE);
create table usuarios (id integer primary key, nome text collate UNICODE_NOCASE);
create table tiponivelacesso (id integer primary key, descricao text collate UNICODE_NOCASE,
    formulario text collate UNICODE_NOCASE, controle text collate UNICODE_NOCASE);
create table niveisacesso (id integer primary key, idusuario integer, idnivelacesso integer);
insert into fichas values (1, '000001', 'Rua A', 1), (2, '000041', 'Rua B', 1), (3, '000007', 'Rua C', 9);
insert into moradores values (1, 1, 1, 'João da Silva', '1980-05-31', 1), (2, 1, 20, 'Maria', '2001-01-15', 1),
    (3, 2, 1, 'ÁVILA Souza', '1975-12-01', 0);
insert into rendas values (1, 1, 1000), (2, 2, 500.5);
insert into tipomorador values (1, 'Chefe de família'), (20, 'Outros');
insert into configuracoes values ('Entidade');
insert into usuarios values (1, 'admin'), (2, 'maria');
insert into tiponivelacesso values (1, 'Fichas', 'Form1', 'Fichas1'), (2, 'Novo', 'FrmFichas', 'ToolButton1');
insert into niveisacesso values (1, 1, 1), (2, 2, 2);
)";

} // namespace

class TestJetSql : public QObject {
    Q_OBJECT
    sqlite3 *m_db = nullptr;

    QString scalar(const QString &jetExpr) { return run(m_db, QStringLiteral("select ") + jetExpr); }

private slots:
    void init()
    {
        QCOMPARE(sqlite3_open(":memory:", &m_db), SQLITE_OK);
        QCOMPARE(jet::registerJetFunctions(m_db), SQLITE_OK);
        QCOMPARE(runNative(m_db, QString::fromUtf8(kFixture)), QString());
    }
    void cleanup()
    {
        sqlite3_close(m_db);
        m_db = nullptr;
        os::setClock(nullptr);
    }

    // The text translate() writes, where the exact form matters.
    void translatesText_data()
    {
        QTest::addColumn<QString>("jet");
        QTest::addColumn<QString>("sqlite");
        QTest::newRow("date and time literals") << "where d=#05/31/2026 14:30# or d>=#5/1/2026# or h=#2:05 PM#"
                                                << "where d='2026-05-31 14:30:00' or d>='2026-05-01' or h='14:05:00'";
        QTest::newRow("literals and comments untouched")
            << "select 'It''s #1/1/2026# True & left(' -- True & [x]\n/* \"y\" */ from t"
            << "select 'It''s #1/1/2026# True & left(' -- True & [x]\n/* \"y\" */ from t";
        QTest::newRow("bracketed names") << "select [Descrição], [a\"b] from [Minha tabela]"
                                         << "select \"Descrição\", \"a\"\"b\" from \"Minha tabela\"";
        QTest::newRow("double-quoted text") << "select \"D'Ávila\", \"a\"\"b\"" << "select 'D''Ávila', 'a\"b'";
        QTest::newRow("true only as a word") << "select TrueName, t.True, [True], True, false from t"
                                             << "select TrueName, t.True, \"True\", 1, 0 from t";
        QTest::newRow("left call, left join") << "select Left$(nome, 2) from t left join u on 1"
                                              << "select jet_left(nome, 2) from t left join u on 1";
        QTest::newRow("not a date passes through") << "select #abc# from t" << "select #abc# from t";
        QTest::newRow("top becomes limit") << "select top 3 nome from t order by nome;"
                                           << "select nome from t order by nome limit 3;";
        QTest::newRow("script") << "update t set a=True; select \"x\"" << "update t set a=1; select 'x'";
    }
    void translatesText()
    {
        QFETCH(QString, jet);
        QFETCH(QString, sqlite);
        QCOMPARE(jet::translate(jet), sqlite);
    }

    // Whole statements, as the program and users' reports write them.
    void runsStatements_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("jet");
        QTest::addColumn<QString>("rows");
        const QString perCapita = QStringLiteral(
            "select (select sum(valor) from rendas) as r, (select count(id) from moradores) as m, "
            "iif(isnull(r),0,r) as Renda, iif(isnull(m),0,m) as Moradores, "
            "iif(moradores=0,0,(renda / moradores)) as Percapita From Configuracoes");
        QTest::newRow("date literal") << "" << "select nome from moradores where nascimento = #05/31/1980#" << "João da Silva";
        QTest::newRow("period") << "" << "select nome from moradores where nascimento>=#1/1/2001# and nascimento<#1/16/2001#" << "Maria";
        QTest::newRow("between dates")
            << "" << "select count(*) from moradores where nascimento between #12/1/1975# and #05/31/1980 00:00#" << "2";
        QTest::newRow("report builder names and Jet text")
            << "" << "select \"fichas\".\"CODIGO\" from fichas where \"fichas\".\"CODIGO\" = \"000001\" " << "000001";
        QTest::newRow("text equality ignores case, keeps accents")
            << "" << "select count(*) from moradores where nome='JOÃO DA SILVA' or nome='maria' or nome='Avila Souza'" << "2";
        QTest::newRow("like with a Jet literal") << "" << "select nome from moradores where nome like \"jo%\"" << "João da Silva";
        QTest::newRow("like concatenated") << "" << "select nome from moradores where nome like '%' & 'SOUZA'" << "ÁVILA Souza";
        QTest::newRow("iif and isnull") << "" << "select iif(isnull(nascimento), 'sem', 'com'), iif(not isnull(id), 1, 0) from moradores where id=1" << "com|1";
        QTest::newRow("next household code") << "" << "select max(clng(codigo)) as codigo from fichas" << "41";
        QTest::newRow("a code that is no number")
            << "insert into fichas (id, codigo, status) values (4, 'abc', 1)" << "select max(clng(codigo)) from fichas" << "41";
        QTest::newRow("booleans") << "" << "select nome from moradores where (idtipomorador=1) = True and status<>False" << "João da Silva";
        QTest::newRow("permission check, parenthesised join")
            << ""
            << "select niveisacesso.id from (niveisacesso inner join tiponivelacesso tn on tn.id=niveisacesso.idnivelacesso) "
               "inner join usuarios u on u.id=niveisacesso.idusuario where idusuario=1 and formulario='FORM1' and controle='Fichas1'"
            << "1";
        QTest::newRow("nested left joins")
            << ""
            << "select f.codigo, m.nome, r.valor, t.descricao from ((fichas f left join moradores m on m.idficha=f.id) "
               "left join rendas r on r.idmorador=m.id) left join tipomorador t on t.id=m.idtipomorador where f.id=1 order by m.id"
            << "000001|João da Silva|1000|Chefe de família;000001|Maria|500.5|Outros";
        QTest::newRow("union all") << "" << "select codigo from fichas where id=1 union all select nome from moradores where id=2" << "000001;Maria";
        QTest::newRow("nested in subqueries")
            << ""
            << "select nome from moradores where idficha in (select id from fichas where status=1 and id in "
               "(select idficha from moradores where nome like \"%souza\"))"
            << "ÁVILA Souza";
        QTest::newRow("& concatenation")
            << "" << "select m.nome & \" (\" & f.codigo & \")\" from moradores m inner join fichas f on f.id=m.idficha where m.id=1"
            << "João da Silva (000001)";
        QTest::newRow("order by Portuguese") << "" << "select nome from moradores order by nome" << "ÁVILA Souza;João da Silva;Maria";
        QTest::newRow("distinctrow") << "" << "select distinctrow idficha from moradores order by idficha" << "1;2";
        QTest::newRow("top") << "" << "select top 2 nome from moradores order by nome desc" << "Maria;João da Silva";
        QTest::newRow("top in a subquery")
            << "" << "select nome from moradores where id in (select top 1 id from moradores order by id desc)" << "ÁVILA Souza";
        QTest::newRow("ucase in a report") << "" << "select ucase(nome) as [Nome maiúsculo] from moradores where id=3" << "ÁVILA SOUZA";
        QTest::newRow("format of a stored date") << "" << "select format(nascimento, \"dd/mm/yyyy\") from moradores where id=1" << "31/05/1980";
        QTest::newRow("per capita, register") << "" << perCapita << "1500.5|3|1500.5|3|500.166666666667";
        QTest::newRow("per capita, empty register") << "delete from rendas; delete from moradores" << perCapita << "NULL|0|0|0|0";
        QTest::newRow("aliases per select of a union")
            << "" << "select 2 as a, a * 10 as b union all select 3 as a, (select d from (select 5 as c, c + 1 as d)) + a as b"
            << "2|20;3|9";
        QTest::newRow("script with quotes")
            << "update fichas set status=0 where id=3; update fichas set endereco=\"Rua D'Ávila\" where id=3;"
            << "select status, endereco from fichas where id=3;" << "0|Rua D'Ávila";
        QTest::newRow("what it does not know, SQLite reports") << "" << "select #abc# from fichas" << "ERROR: unrecognized token: \"#\"";
    }
    void runsStatements()
    {
        QFETCH(QString, setup);
        QFETCH(QString, jet);
        QFETCH(QString, rows);
        if (!setup.isEmpty())
            QCOMPARE(run(m_db, setup), QString());
        QCOMPARE(run(m_db, jet), rows);
    }

    // Jet functions, one expression each.
    void evaluatesFunctions_data()
    {
        QTest::addColumn<QString>("expr");
        QTest::addColumn<QString>("value");
        QTest::newRow("clng halves to even") << "clng(2.5), clng(3.5), clng(-2.5), clng(2.51)" << "2|4|-2|3";
        QTest::newRow("clng of text") << "clng('000041'), clng(' 7 '), clng('abc'), clng(null), clng('')" << "41|7|NULL|NULL|NULL";
        QTest::newRow("clng out of range") << "clng(3000000000), cint(40000), cint(2.5)" << "NULL|NULL|2";
        QTest::newRow("len") << "len('joão'), len(null)" << "4|NULL";
        QTest::newRow("ucase, lcase beyond ASCII") << "ucase('joão ç'), lcase('ÁVILA')" << "JOÃO Ç|ávila";
        QTest::newRow("mid, left, right") << "mid('abcdef',2,3), mid('abcdef',4), mid('abc',5), left('João',3), right('abcdef',2)" << "bcd|def||Joã|ef";
        QTest::newRow("trim") << "'[' & trim('  a  ') & ltrim('  b ') & rtrim(' c  ') & ']'" << "[ab  c]";
        QTest::newRow("nz") << "nz(null, 0), nz('x', 0), nz(null)" << "0|x|";
        QTest::newRow("year, month, day") << "year('2026-05-31'), month('2026-05-31 14:30:00'), day(#5/1/2026#), year('x')" << "2026|5|1|NULL";
        QTest::newRow("hour, minute, weekday") << "hour('14:05:09'), minute('2026-05-31 14:05:09'), weekday('2026-05-31')" << "14|5|1";
        QTest::newRow("format dates")
            << "format('2026-05-31', \"dd/mm/yyyy\"), format('2026-05-31', \"mm/yyyy\"), format('2026-05-31', \"yyyy\"), "
               "format('2026-05-31 14:05:09', \"hh:nn\"), format('2026-05-31 14:05:09', \"dd/mm/yyyy hh:nn:ss\")"
            << "31/05/2026|05/2026|2026|14:05|31/05/2026 14:05:09";
        QTest::newRow("format named dates")
            << "format('2026-05-31', \"Short Date\"), format(#05/31/2026 14:30#, 'General Date'), format('2026-05-31', 'General Date'), "
               "format('2026-05-31', 'dddd, d \"de\" mmmm'), format('09:05:00', 'hh:mm')"
            << "31/05/2026|31/05/2026 14:30:00|31/05/2026|domingo, 31 de maio|09:05";
        QTest::newRow("format numbers")
            << "format(1234.56, \"0.00\"), format(1234.5, \"#,##0.00\"), format(41, \"000000\"), format('000041', '000000'), "
               "format(1234567.891, '#,##0'), format(0.5, '#.00'), format(2.5, '0'), format(5, '0.0#')"
            << "1234,56|1.234,50|000041|000041|1.234.568|,50|3|5,0";
        QTest::newRow("format named numbers")
            << "format(1234.5, \"Currency\"), format(-1234.5, 'Currency'), format(1234.567, 'Fixed'), "
               "format(1234567.891, 'Standard'), format(0.125, 'Percent')"
            << "R$ 1.234,50|-R$ 1.234,50|1234,57|1.234.567,89|12,50%";
        QTest::newRow("format sections and literals")
            << "format(-5, '0.00;(0.00)'), format(0, '0.00;(0.00);\"zero\"'), format(12345678, '00000-000'), format(null, '0')"
            << "(5,00)|zero|12345-678|NULL";
        QTest::newRow("round halves to even") << "round(2.5), round(3.5), round(2.675, 2), round(-1.25, 1), round(7)" << "2|4|2.68|-1.2|7";
        QTest::newRow("int, fix") << "int(-2.5), fix(-2.5), int(2.9)" << "-3|-2|2";
        QTest::newRow("instr ignores case") << "instr('Joaquim', 'QUI'), instr(3, 'abcabc', 'b'), instr('abc', 'z')" << "4|5|0";
        QTest::newRow("conversions") << "cstr(2.5), cdbl('2.5'), val(' 12 3abc'), val('1.5e1'), cbool('True'), ccur(1.23456)"
                                     << "2,5|2.5|123|15|1|1.2346";
        QTest::newRow("space, string") << "'[' & space(3) & string(3, 'xy') & ']'" << "[   xxx]";
        QTest::newRow("dateadd")
            << "dateadd('d', 1, '2026-05-31'), dateadd('m', 1, '2026-01-31'), dateadd('h', 2, '2026-05-31 23:00:00'), dateadd('yyyy', -1, #2/29/2024#)"
            << "2026-06-01|2026-02-28|2026-06-01 01:00:00|2023-02-28";
        QTest::newRow("datediff")
            << "datediff('d', '2026-05-01', '2026-05-31'), datediff('yyyy', '1980-05-31', '2026-01-01'), datediff('m', '2025-12-31', '2026-01-01'), "
               "datediff('n', '2026-05-31 10:59:59', '2026-05-31 11:00:00')"
            << "30|46|1|1";
        QTest::newRow("dateserial") << "dateserial(2026, 13, 1), dateserial(2026, 3, 0)" << "2027-01-01|2026-02-28";
        QTest::newRow("& with Null and numbers") << "'a' & null & 'b', null & null, 1 + 2 & 3, 'x' & 2.5" << "ab|NULL|33|x2,5";
        QTest::newRow("& chains nested in CASE and calls")
            << "'<' & case when 1=1 then 'x' & 'y' else 'z' end & mid('abc' & 'd', 2) & '>'" << "<xybcd>";
        QTest::newRow("mod and division") << "7 mod 3, 7 / 2, 6 / 3" << "1|3.5|2";
        QTest::newRow("SQLite date with arguments is kept") << "date('2026-05-31', '+1 day')" << "2026-06-01";
        QTest::newRow("switch, choose") << "switch(1=2, 'a', 1=1, 'b'), choose(2, 'x', 'y', 'z')" << "b|y";
    }
    void evaluatesFunctions()
    {
        QFETCH(QString, expr);
        QFETCH(QString, value);
        QCOMPARE(scalar(expr), value);
    }

    void firstAndLastOfGroups()
    {
        QCOMPARE(run(m_db, "select first(nome), last(nome) from (select nome from moradores where idficha=1 order by id)"),
                 QString("João da Silva|Maria"));
    }

    void todayAndNowAreLocalClockTime()
    {
        os::FakeClock fake(QDateTime(QDate(2026, 5, 31), QTime(23, 59, 58)));
        os::setClock(&fake);
        QCOMPARE(scalar("date(), now(), time(), year(date())"), QString("2026-05-31|2026-05-31 23:59:58|23:59:58|2026"));
        os::setClock(nullptr);
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        QCOMPARE(scalar("date()"), today); // local, not SQLite's UTC date('now')
    }

    void bracketedAliasNamesTheColumn()
    {
        sqlite3_stmt *st = nullptr;
        const QByteArray sql = jet::translate("select m.id, nome as [Morador], codigo as [Cadastro social] from moradores m, fichas f").toUtf8();
        QCOMPARE(sqlite3_prepare_v2(m_db, sql.constData(), -1, &st, nullptr), SQLITE_OK);
        QCOMPARE(QString::fromUtf8(sqlite3_column_name(st, 1)), QString("Morador"));
        QCOMPARE(QString::fromUtf8(sqlite3_column_name(st, 2)), QString("Cadastro social"));
        sqlite3_finalize(st);
    }

    void collationCompares_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("expected");
        QTest::newRow("case ignored") << "joão" << "JOÃO" << 0;
        QTest::newRow("accents kept") << "joão" << "joao" << 1;
        QTest::newRow("accent after plain") << "Avila" << "Ávila" << -1;
        QTest::newRow("accent ignored first") << "Ávila" << "Avilb" << -1;
        QTest::newRow("never after Z") << "Ávila" << "Zé" << -1;
        QTest::newRow("cedilla") << "ÇA" << "cb" << -1;
        QTest::newRow("prefix first") << "Zé" << "Zeca" << -1;
        QTest::newRow("empty first") << "" << "a" << -1;
        QTest::newRow("punctuation by code") << "a_b" << "A B" << 1;
        QTest::newRow("greek") << "ΣΟΦΙΑ" << "σοφια" << 0;
    }
    void collationCompares()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, expected);
        QCOMPARE(sign(jet::compareNoCase(a, b)), expected);
        QCOMPARE(sign(jet::compareNoCase(b, a)), -expected);
        sqlite3_stmt *st = nullptr;
        QCOMPARE(sqlite3_prepare_v2(m_db, "select (?1 > ?2 collate UNICODE_NOCASE) - (?1 < ?2 collate UNICODE_NOCASE)", -1, &st, nullptr), SQLITE_OK);
        const QByteArray ua = a.toUtf8(), ub = b.toUtf8();
        sqlite3_bind_text(st, 1, ua.constData(), int(ua.size()), SQLITE_STATIC);
        sqlite3_bind_text(st, 2, ub.constData(), int(ub.size()), SQLITE_STATIC);
        QCOMPARE(sqlite3_step(st), SQLITE_ROW);
        QCOMPARE(sqlite3_column_int(st, 0), expected);
        sqlite3_finalize(st);
    }

    // Over many strings mixing case, accents and lengths: the SQLite collation (UTF-8) agrees with
    // compareNoCase (UTF-16), equality is exactly equality of case-folded text, and the order is total.
    void collationIsAConsistentTotalOrder()
    {
        const QStringList alphabet = {"a", "A", "á", "Á", "ã", "b", "e", "é", "Ê", "c", "ç", "Ç", " ", "z", "ß", "\u0301", "😀"};
        QStringList words;
        auto *rng = QRandomGenerator::global();
        for (int k = 0; k < 400; ++k) {
            QString w;
            for (int n = int(rng->bounded(5)); n >= 0; --n)
                w += alphabet.at(int(rng->bounded(alphabet.size())));
            words << w;
        }
        sqlite3_stmt *st = nullptr;
        QCOMPARE(sqlite3_prepare_v2(m_db, "select (?1 > ?2 collate UNICODE_NOCASE) - (?1 < ?2 collate UNICODE_NOCASE)", -1, &st, nullptr), SQLITE_OK);
        for (const QString &a : words) {
            const QByteArray ua = a.toUtf8();
            for (const QString &b : words) {
                const QByteArray ub = b.toUtf8();
                sqlite3_bind_text(st, 1, ua.constData(), int(ua.size()), SQLITE_STATIC);
                sqlite3_bind_text(st, 2, ub.constData(), int(ub.size()), SQLITE_STATIC);
                QCOMPARE(sqlite3_step(st), SQLITE_ROW);
                const int c = jet::compareNoCase(a, b);
                QCOMPARE(sqlite3_column_int(st, 0), sign(c));
                QCOMPARE(c == 0, a.toCaseFolded() == b.toCaseFolded());
                sqlite3_reset(st);
            }
        }
        sqlite3_finalize(st);
        std::sort(words.begin(), words.end(), [](const QString &a, const QString &b) { return jet::compareNoCase(a, b) < 0; });
        for (int i = 0; i < words.size(); ++i)
            for (int j = i + 1; j < words.size(); ++j)
                QVERIFY2(jet::compareNoCase(words[i], words[j]) <= 0, qPrintable(words[i] + " / " + words[j]));
    }

    void indexAndOrderByOnManyRows()
    {
        QCOMPARE(runNative(m_db, "create table p (id integer primary key, nome text collate UNICODE_NOCASE)"), QString());
        const QStringList first = {"joão", "José", "Ávila", "avila", "Zé", "Álvaro", "Conceição", "ÉDER", "maria", "Íris"};
        QCOMPARE(runNative(m_db, "begin"), QString());
        sqlite3_stmt *ins = nullptr;
        QCOMPARE(sqlite3_prepare_v2(m_db, "insert into p (nome) values (?)", -1, &ins, nullptr), SQLITE_OK);
        for (int k = 0; k < 50000; ++k) {
            const QByteArray name = (first.at(k % first.size()) + ' ' + QString::number(k * 7919 % 50000)).toUtf8();
            sqlite3_bind_text(ins, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
            QCOMPARE(sqlite3_step(ins), SQLITE_DONE);
            sqlite3_reset(ins);
        }
        sqlite3_finalize(ins);
        QCOMPARE(runNative(m_db, "commit; create index p_nome on p (nome)"), QString());
        QCOMPARE(runNative(m_db, "pragma integrity_check"), QString("ok"));
        const QString plan = runNative(m_db, jet::translate("explain query plan select id from p where nome = 'JOÃO 123'"));
        QVERIFY2(plan.contains("p_nome"), qPrintable(plan));
        QCOMPARE(run(m_db, "select nome from p where nome = 'JOÃO 29190'"), QString("joão 29190"));
        QCOMPARE(run(m_db, "select count(*) from p where nome like 'JOÃO%'"), QString("5000"));
        QCOMPARE(run(m_db, "select nome from p where id <= 10 order by nome"),
                 QString("Álvaro 39595;Ávila 15838;avila 23757;Conceição 47514;ÉDER 5433;Íris 21271;joão 0;José 7919;"
                         "maria 13352;Zé 31676"));
    }

    void likeMatches_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("escape");
        QTest::addColumn<bool>("matches");
        QTest::newRow("prefix, any case") << "JOÃO" << "jo%" << "" << true;
        QTest::newRow("suffix with accent") << "JOÃO" << "%ão" << "" << true;
        QTest::newRow("accent kept") << "JOÃO" << "%ao" << "" << false;
        QTest::newRow("one character, multi-byte") << "João" << "j_ão" << "" << true;
        QTest::newRow("one is not none") << "" << "_" << "" << false;
        QTest::newRow("all of nothing") << "" << "%" << "" << true;
        QTest::newRow("backtracking") << "aXXbYYbc" << "a%b%c" << "" << true;
        QTest::newRow("backtracking fails") << "aXXbYY" << "a%b%c" << "" << false;
        QTest::newRow("exact, no wildcard") << "Maria" << "maria" << "" << true;
        QTest::newRow("escaped percent") << "10% off" << "10\\%%" << "\\" << true;
        QTest::newRow("escaped percent is literal") << "105 off" << "10\\%%" << "\\" << false;
    }
    void likeMatches()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(QString, escape);
        QFETCH(bool, matches);
        if (escape.isEmpty())
            QCOMPARE(jet::likeMatch(pattern, text), matches);
        sqlite3_stmt *st = nullptr;
        const char *sql = escape.isEmpty() ? "select ?1 like ?2" : "select ?1 like ?2 escape ?3";
        QCOMPARE(sqlite3_prepare_v2(m_db, sql, -1, &st, nullptr), SQLITE_OK);
        const QByteArray t = text.toUtf8(), p = pattern.toUtf8(), e = escape.toUtf8();
        sqlite3_bind_text(st, 1, t.constData(), int(t.size()), SQLITE_STATIC);
        sqlite3_bind_text(st, 2, p.constData(), int(p.size()), SQLITE_STATIC);
        if (!escape.isEmpty())
            sqlite3_bind_text(st, 3, e.constData(), int(e.size()), SQLITE_STATIC);
        QCOMPARE(sqlite3_step(st), SQLITE_ROW);
        QCOMPARE(sqlite3_column_int(st, 0), matches ? 1 : 0);
        sqlite3_finalize(st);
    }
};

QTEST_GUILESS_MAIN(TestJetSql)
#include "tst_jetsql.moc"
