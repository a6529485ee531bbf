#include "platform/db/JetSql.h"

#include <QDate>
#include <QHash>
#include <QTime>

#include <initializer_list>
#include <optional>
#include <vector>

// Jet SQL to SQLite, token by token. The statement is split into tokens that know literals,
// quoted names and comments; every rewrite looks at tokens and their neighbours, never at raw text,
// so nothing inside a string or a comment is ever touched.

namespace jet {
namespace {

enum class Tok {
    Space,
    Comment,
    Ident,   // bare word: keyword or name
    QIdent,  // quoted name, text already in SQLite's "..." form
    String,  // '...' literal
    Number,
    Op,
    Param,   // ?, ?1, :name, @name, $name
    Other,   // anything we do not understand (an unterminated literal ...); passes through
    // Raw forms, resolved by classify():
    Bracket,
    DQuote,
    Backtick,
    Date,
};

enum : unsigned { kIsNullCall = 1 };

struct Token {
    Tok type;
    QString text;  // as emitted
    QString value; // unquoted content of names and literals
    unsigned flags = 0;
};

using Tokens = std::vector<Token>;

Token tok(Tok type, const QString &text, const QString &value = QString())
{
    return Token{type, text, value.isNull() ? text : value, 0};
}

QString quoteString(const QString &s)
{
    QString out = s;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

QString quoteIdent(const QString &s)
{
    QString out = s;
    out.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

bool significant(const Token &t) { return t.type != Tok::Space && t.type != Tok::Comment; }
bool isOp(const Token &t, const char *op) { return t.type == Tok::Op && t.text == QLatin1String(op); }
bool isKw(const Token &t, const char *kw)
{
    return t.type == Tok::Ident && t.text.compare(QLatin1String(kw), Qt::CaseInsensitive) == 0;
}
bool isKwIn(const Token &t, std::initializer_list<const char *> kws)
{
    if (t.type != Tok::Ident)
        return false;
    for (const char *k : kws)
        if (t.text.compare(QLatin1String(k), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

int nextSig(const Tokens &t, int i)
{
    while (i < int(t.size()) && !significant(t[i]))
        ++i;
    return i;
}
int prevSig(const Tokens &t, int i)
{
    while (i >= 0 && !significant(t[i]))
        --i;
    return i;
}

// ---- date literals ------------------------------------------------------------------------

int twoDigitYear(int y) { return y < 30 ? 2000 + y : 1900 + y; }

bool allDigits(QStringView s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// The content of #...#: m/d/y (or y-m-d) with an optional h:mm[:ss] [AM|PM], or a time alone.
std::optional<QString> parseDateLiteral(QStringView content)
{
    QDate date;
    QTime time;
    bool hasDate = false, hasTime = false;
    int ampm = 0; // 1 AM, 2 PM
    const auto parts = content.trimmed().split(u' ', Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return std::nullopt;
    for (QStringView part : parts) {
        if (part.contains(u':')) {
            if (hasTime)
                return std::nullopt;
            const auto f = part.split(u':');
            if (f.size() < 2 || f.size() > 3)
                return std::nullopt;
            for (QStringView x : f)
                if (!allDigits(x) || x.size() > 2)
                    return std::nullopt;
            time = QTime(f[0].toInt(), f[1].toInt(), f.size() == 3 ? f[2].toInt() : 0);
            if (!time.isValid())
                return std::nullopt;
            hasTime = true;
        } else if (part.compare(u"AM", Qt::CaseInsensitive) == 0 || part.compare(u"A", Qt::CaseInsensitive) == 0) {
            ampm = 1;
        } else if (part.compare(u"PM", Qt::CaseInsensitive) == 0 || part.compare(u"P", Qt::CaseInsensitive) == 0) {
            ampm = 2;
        } else {
            if (hasDate)
                return std::nullopt;
            const QChar sep = part.contains(u'/') ? u'/' : u'-';
            const auto f = part.split(sep);
            if (f.size() != 3)
                return std::nullopt;
            for (QStringView x : f)
                if (!allDigits(x) || x.size() > 4)
                    return std::nullopt;
            int y, m, d;
            if (f[0].size() == 4) {
                y = f[0].toInt(), m = f[1].toInt(), d = f[2].toInt();
            } else {
                m = f[0].toInt(), d = f[1].toInt(), y = f[2].toInt();
                if (f[2].size() <= 2)
                    y = twoDigitYear(y);
            }
            date = QDate(y, m, d);
            if (!date.isValid())
                return std::nullopt;
            hasDate = true;
        }
    }
    if (ampm) {
        if (!hasTime || time.hour() > 12 || time.hour() == 0)
            return std::nullopt;
        int h = time.hour() % 12 + (ampm == 2 ? 12 : 0);
        time = QTime(h, time.minute(), time.second());
    }
    if (!hasDate && !hasTime)
        return std::nullopt;
    const QString t = time.toString(QStringLiteral("HH:mm:ss"));
    if (!hasDate)
        return t;
    const QString d = date.toString(QStringLiteral("yyyy-MM-dd"));
    // Midnight is the date itself: stored dates carry no time part, and must compare equal.
    if (!hasTime || time == QTime(0, 0))
        return d;
    return d + QLatin1Char(' ') + t;
}

// ---- tokenizer ----------------------------------------------------------------------------

bool identStart(QChar c) { return c.isLetter() || c == u'_' || (c.unicode() >= 0x80 && !c.isSpace()); }
bool identPart(QChar c) { return identStart(c) || c.isDigit() || c == u'$'; }

Tokens tokenize(const QString &s)
{
    Tokens out;
    const int n = int(s.size());
    int i = 0;
    auto at = [&](int k) { return k < n ? s.at(k) : QChar(); };
    while (i < n) {
        const QChar c = s.at(i);
        const int start = i;
        if (c.isSpace()) {
            while (i < n && s.at(i).isSpace())
                ++i;
            out.push_back(tok(Tok::Space, s.mid(start, i - start)));
        } else if (c == u'-' && at(i + 1) == u'-') {
            while (i < n && s.at(i) != u'\n')
                ++i;
            out.push_back(tok(Tok::Comment, s.mid(start, i - start)));
        } else if (c == u'/' && at(i + 1) == u'*') {
            const int e = int(s.indexOf(QLatin1String("*/"), i + 2));
            i = e < 0 ? n : e + 2;
            out.push_back(tok(Tok::Comment, s.mid(start, i - start)));
        } else if (c == u'\'' || c == u'"' || c == u'`') {
            QString value;
            bool closed = false;
            ++i;
            while (i < n) {
                if (s.at(i) == c) {
                    if (at(i + 1) == c) {
                        value += c;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                value += s.at(i++);
            }
            const Tok type = !closed ? Tok::Other : c == u'\'' ? Tok::String : c == u'"' ? Tok::DQuote : Tok::Backtick;
            out.push_back(tok(type, s.mid(start, i - start), value));
        } else if (c == u'[') {
            const int e = int(s.indexOf(u']', i + 1));
            if (e < 0) {
                out.push_back(tok(Tok::Other, s.mid(i)));
                i = n;
            } else {
                out.push_back(tok(Tok::Bracket, s.mid(i, e + 1 - i), s.mid(i + 1, e - i - 1)));
                i = e + 1;
            }
        } else if (c == u'#') {
            // A date literal only when what lies between the marks parses as one.
            int e = i + 1;
            while (e < n && e - i < 40 && s.at(e) != u'#' && s.at(e) != u'\n')
                ++e;
            std::optional<QString> iso;
            if (e < n && s.at(e) == u'#')
                iso = parseDateLiteral(QStringView(s).mid(i + 1, e - i - 1));
            if (iso) {
                out.push_back(tok(Tok::Date, s.mid(i, e + 1 - i), *iso));
                i = e + 1;
            } else {
                out.push_back(tok(Tok::Op, QStringLiteral("#")));
                ++i;
            }
        } else if (c.isDigit() || (c == u'.' && at(i + 1).isDigit())) {
            while (i < n && s.at(i).isDigit())
                ++i;
            if (at(i) == u'.') {
                ++i;
                while (i < n && s.at(i).isDigit())
                    ++i;
            }
            if ((at(i) == u'e' || at(i) == u'E')
                && (at(i + 1).isDigit() || ((at(i + 1) == u'+' || at(i + 1) == u'-') && at(i + 2).isDigit()))) {
                i += 2;
                while (i < n && s.at(i).isDigit())
                    ++i;
            }
            out.push_back(tok(Tok::Number, s.mid(start, i - start)));
        } else if (identStart(c)) {
            while (i < n && identPart(s.at(i)))
                ++i;
            out.push_back(tok(Tok::Ident, s.mid(start, i - start)));
        } else if ((c == u':' || c == u'@' || c == u'$') && identStart(at(i + 1))) {
            ++i;
            while (i < n && identPart(s.at(i)))
                ++i;
            out.push_back(tok(Tok::Param, s.mid(start, i - start)));
        } else if (c == u'?') {
            ++i;
            while (i < n && s.at(i).isDigit())
                ++i;
            out.push_back(tok(Tok::Param, s.mid(start, i - start)));
        } else {
            static const char *const twoChar[] = {"<=", ">=", "<>", "!=", "==", "||", "<<", ">>"};
            int len = 1;
            for (const char *op : twoChar)
                if (c == QLatin1Char(op[0]) && at(i + 1) == QLatin1Char(op[1]))
                    len = 2;
            out.push_back(tok(Tok::Op, s.mid(i, len)));
            i += len;
        }
    }
    return out;
}

// ---- groups -------------------------------------------------------------------------------

// Partners of '(' ... ')' and CASE ... END; -1 where unmatched.
std::vector<int> matchGroups(const Tokens &t)
{
    std::vector<int> m(t.size(), -1);
    std::vector<int> stack;
    for (int i = 0; i < int(t.size()); ++i) {
        const Token &k = t[i];
        if (isOp(k, "(") || isKw(k, "case")) {
            stack.push_back(i);
        } else if (isOp(k, ")")) {
            while (!stack.empty() && !isOp(t[stack.back()], "("))
                stack.pop_back();
            if (!stack.empty()) {
                m[i] = stack.back();
                m[stack.back()] = i;
                stack.pop_back();
            }
        } else if (isKw(k, "end") && !stack.empty() && isKw(t[stack.back()], "case")) {
            m[i] = stack.back();
            m[stack.back()] = i;
            stack.pop_back();
        }
    }
    return m;
}

bool isOpener(const Token &k) { return isOp(k, "(") || isKw(k, "case"); }
bool isCloser(const Token &k) { return isOp(k, ")") || isKw(k, "end"); }

// Keywords that end a select list.
bool endsSelectList(const Token &k)
{
    return isKwIn(k, {"from", "where", "group", "order", "having", "union", "except", "intersect", "limit", "into", "window"});
}

// ---- pass 1: literals, names, constants, function names -----------------------------------

// Jet functions that SQLite lacks or defines differently. Only a word followed by '(' is renamed.
const QHash<QString, QString> &functionNames()
{
    static const QHash<QString, QString> names = [] {
        static const char *const jetOwn[] = {
            "clng", "cint", "cdbl", "csng", "cstr", "cbool", "ccur", "cdate", "datevalue", "val", "nz", "ucase",
            "lcase", "mid", "left", "right", "year", "month", "day", "hour", "minute", "second", "weekday", "now",
            "format", "round", "int", "fix", "instr", "space", "string", "dateadd", "datediff", "datepart",
            "dateserial", "isnumeric", "isdate", "sgn", "sqr", "asc", "chr", "monthname", "switch", "choose",
            "first", "last"};
        QHash<QString, QString> h;
        for (const char *f : jetOwn)
            h.insert(QLatin1String(f), QLatin1String("jet_") + QLatin1String(f));
        h.insert(QStringLiteral("len"), QStringLiteral("length"));
        // Same meaning in both: spaces only, Null stays Null.
        h.insert(QStringLiteral("trim"), QStringLiteral("trim"));
        h.insert(QStringLiteral("ltrim"), QStringLiteral("ltrim"));
        h.insert(QStringLiteral("rtrim"), QStringLiteral("rtrim"));
        return h;
    }();
    return names;
}

bool operandEnd(const Token &k)
{
    return k.type == Tok::QIdent || k.type == Tok::String || k.type == Tok::Number || k.type == Tok::Param
        || k.type == Tok::Date || k.type == Tok::Bracket || k.type == Tok::DQuote || isOp(k, ")")
        || (k.type == Tok::Ident && !isKwIn(k, {"select", "where", "and", "or", "not", "on", "when", "then", "else", "by", "having", "set", "like", "is", "in"}));
}

// ddlEnd: tokens before it belong to a CREATE/ALTER/DROP head, where double-quoted words are names
// and a word before '(' may be a column type (TEXT(50)) rather than a call.
Tokens classify(const Tokens &in, int ddlEnd)
{
    Tokens out;
    out.reserve(in.size());
    const int n = int(in.size());
    for (int i = 0; i < n; ++i) {
        Token k = in[i];
        const int p = prevSig(in, i - 1);
        const int q = nextSig(in, i + 1);
        const bool afterDot = p >= 0 && isOp(in[p], ".");
        const bool beforeDot = q < n && isOp(in[q], ".");
        const bool beforeParen = q < n && isOp(in[q], "(");
        switch (k.type) {
        case Tok::Date:
            k = tok(Tok::String, quoteString(k.value), k.value);
            break;
        case Tok::Bracket:
        case Tok::Backtick:
            k = tok(Tok::QIdent, quoteIdent(k.value), k.value);
            break;
        case Tok::DQuote: {
            // Jet reads "..." as text; our report builder writes "table"."column" names.
            const bool name = afterDot || beforeDot || i < ddlEnd
                || (p >= 0 && isKwIn(in[p], {"as", "from", "join", "into", "update", "table"}));
            k = name ? tok(Tok::QIdent, quoteIdent(k.value), k.value) : tok(Tok::String, quoteString(k.value), k.value);
            break;
        }
        case Tok::Ident: {
            const QString lower = k.text.toLower();
            if (afterDot)
                break;
            if (!beforeParen && !beforeDot && (lower == QLatin1String("true") || lower == QLatin1String("false"))) {
                k = tok(Tok::Number, lower == QLatin1String("true") ? QStringLiteral("1") : QStringLiteral("0"));
            } else if (lower == QLatin1String("distinctrow")) {
                k = tok(Tok::Ident, QStringLiteral("distinct"));
            } else if (lower == QLatin1String("mod") && !beforeParen && p >= 0 && operandEnd(in[p])) {
                k = tok(Tok::Op, QStringLiteral("%"));
            } else if (beforeParen) {
                if (i < ddlEnd && p >= 0
                    && (in[p].type == Tok::QIdent || in[p].type == Tok::DQuote || in[p].type == Tok::Bracket
                        || (in[p].type == Tok::Ident && !isKwIn(in[p], {"default", "check", "and", "or", "not", "when", "then", "else", "is", "in", "like", "between"}))))
                    break; // a column type such as TEXT(50)
                QString name = lower;
                if (name.endsWith(QLatin1Char('$'))) // Left$, Mid$ ...: the text-only variants
                    name.chop(1);
                const int afterParen = nextSig(in, q + 1);
                const bool noArgs = afterParen < n && isOp(in[afterParen], ")");
                if (name == QLatin1String("isnull")) {
                    k.flags |= kIsNullCall;
                } else if (name == QLatin1String("date") || name == QLatin1String("time")) {
                    // Jet's Date() and Time() are today and now in local time; with arguments it is
                    // SQLite's own date function, left alone.
                    if (noArgs)
                        k = tok(Tok::Ident, QLatin1String("jet_") + name);
                } else {
                    const auto it = functionNames().constFind(name);
                    if (it != functionNames().cend())
                        k = tok(Tok::Ident, *it);
                }
            }
            break;
        }
        default:
            break;
        }
        out.push_back(k);
    }
    return out;
}

// ---- pass 2: isnull(x) -> ((x) IS NULL) -----------------------------------------------------

Tokens rewriteIsNull(const Tokens &t)
{
    bool any = false;
    for (const Token &k : t)
        any = any || (k.flags & kIsNullCall);
    if (!any)
        return t;
    const auto m = matchGroups(t);
    const int n = int(t.size());
    std::vector<bool> drop(n, false), close(n, false);
    for (int i = 0; i < n; ++i) {
        if (!(t[i].flags & kIsNullCall))
            continue;
        const int open = nextSig(t, i + 1);
        const int end = m[open];
        if (end < 0)
            continue;
        bool oneArg = true;
        for (int j = open + 1; j < end && oneArg; ++j) {
            if (isOpener(t[j]) && m[j] > 0)
                j = m[j];
            else if (isOp(t[j], ","))
                oneArg = false;
        }
        if (!oneArg)
            continue; // not Jet's IsNull; let SQLite say so
        drop[i] = true;
        close[end] = true;
    }
    Tokens out;
    out.reserve(t.size() + 8);
    for (int i = 0; i < n; ++i) {
        if (drop[i]) {
            out.push_back(tok(Tok::Op, QStringLiteral("(")));
            continue;
        }
        out.push_back(t[i]);
        if (close[i]) {
            out.push_back(tok(Tok::Space, QStringLiteral(" ")));
            out.push_back(tok(Tok::Ident, QStringLiteral("IS")));
            out.push_back(tok(Tok::Space, QStringLiteral(" ")));
            out.push_back(tok(Tok::Ident, QStringLiteral("NULL")));
            out.push_back(tok(Tok::Op, QStringLiteral(")")));
        }
    }
    return out;
}

// ---- pass 3: a & b & c -> jet_concat(a, b, c) ----------------------------------------------
//
// Jet's & treats Null as "" and binds looser than arithmetic; SQLite's || propagates Null and binds
// tighter than anything. So each chain of & becomes one call, its operands found at the same level.

bool stopsOperand(const Token &k)
{
    static const char *const ops[] = {",", ";", "=", "==", "<>", "!=", "<", ">", "<=", ">="};
    if (k.type == Tok::Op) {
        for (const char *op : ops)
            if (k.text == QLatin1String(op))
                return true;
        return false;
    }
    return isKwIn(k, {"and", "or", "not", "like", "is", "in", "between", "select", "where", "when", "then", "else",
                      "on", "as", "from", "having", "by", "set", "values", "distinct", "all", "escape", "glob",
                      "regexp", "match", "asc", "desc", "limit", "offset", "union", "except", "intersect", "order",
                      "group", "join", "inner", "left", "right", "outer", "cross", "natural", "using", "into",
                      "exists", "collate", "returning", "top"});
}

Tokens rewriteConcat(const Tokens &t)
{
    const int n = int(t.size());
    bool any = false;
    for (const Token &k : t)
        any = any || isOp(k, "&");
    if (!any)
        return t;
    const auto m = matchGroups(t);
    // A chain: its first operand's start, its '&' tokens, its last operand's end. Chains nest (one
    // inside a CASE or a call within another), so each '&' finds its chain through its left neighbour.
    struct Chain {
        int start = -1, end = -1;
        std::vector<int> amps;
    };
    std::vector<Chain> chains;
    std::vector<int> chainOf(n, -1);
    for (int i = 0; i < n; ++i) {
        if (!isOp(t[i], "&"))
            continue;
        int start = -1, chainedTo = -1;
        for (int j = i - 1; j >= 0; --j) {
            const Token &k = t[j];
            if (!significant(k))
                continue;
            if (isCloser(k) && m[j] >= 0) {
                start = j = m[j];
                continue;
            }
            if (isOp(k, "&")) {
                chainedTo = j;
                break;
            }
            if (stopsOperand(k) || isOpener(k) || isCloser(k))
                break;
            start = j;
        }
        int end = -1;
        bool continues = false;
        for (int j = i + 1; j < n; ++j) {
            const Token &k = t[j];
            if (!significant(k))
                continue;
            if (isOpener(k) && m[j] >= 0) {
                end = j = m[j];
                continue;
            }
            if (isOp(k, "&")) {
                continues = true;
                break;
            }
            if (stopsOperand(k) || isOpener(k) || isCloser(k))
                break;
            end = j;
        }
        int c = chainedTo >= 0 ? chainOf[chainedTo] : -1;
        if (c < 0) {
            c = int(chains.size());
            chains.push_back({});
            chains[c].start = chainedTo >= 0 ? -1 : start;
        }
        if (start < 0)
            chains[c].start = -1; // an operand is missing: not ours to fix, SQLite reports it
        chainOf[i] = c;
        chains[c].amps.push_back(i);
        if (!continues)
            chains[c].end = end;
    }
    std::vector<int> opens(n, 0), closes(n, 0);
    std::vector<bool> comma(n, false);
    for (const Chain &c : chains) {
        if (c.start < 0 || c.end < 0)
            continue;
        ++opens[c.start];
        ++closes[c.end];
        for (int a : c.amps)
            comma[a] = true;
    }
    Tokens out;
    out.reserve(t.size() + 8);
    for (int i = 0; i < n; ++i) {
        for (int k = 0; k < opens[i]; ++k) {
            out.push_back(tok(Tok::Ident, QStringLiteral("jet_concat")));
            out.push_back(tok(Tok::Op, QStringLiteral("(")));
        }
        out.push_back(comma[i] ? tok(Tok::Op, QStringLiteral(",")) : t[i]);
        for (int k = 0; k < closes[i]; ++k)
            out.push_back(tok(Tok::Op, QStringLiteral(")")));
    }
    return out;
}

// ---- pass 4: Jet's / always divides as floating point ---------------------------------------
//
// Money columns hold whole amounts as integers, and SQLite would divide those as integers.
// "a / b" becomes "a * 1.0 / b": same precedence and associativity, so the parse is unchanged.

Tokens rewriteDivision(const Tokens &t)
{
    Tokens out;
    out.reserve(t.size());
    for (const Token &k : t) {
        if (isOp(k, "/")) {
            out.push_back(tok(Tok::Op, QStringLiteral("*")));
            out.push_back(tok(Tok::Number, QStringLiteral("1.0")));
        }
        out.push_back(k);
    }
    return out;
}

// ---- pass 5: select top N ... -> select ... limit N ----------------------------------------

// First token of the select list after SELECT [DISTINCT|ALL] [TOP n [PERCENT]].
int selectListStart(const Tokens &t, int sel, int *topAt = nullptr, int *topNumber = nullptr)
{
    const int n = int(t.size());
    int i = nextSig(t, sel + 1);
    while (i < n && isKwIn(t[i], {"distinct", "all"}))
        i = nextSig(t, i + 1);
    if (i < n && isKw(t[i], "top")) {
        const int num = nextSig(t, i + 1);
        if (num < n && t[num].type == Tok::Number) {
            if (topAt)
                *topAt = i;
            if (topNumber)
                *topNumber = num;
            i = nextSig(t, num + 1);
            if (i < n && isKw(t[i], "percent"))
                i = nextSig(t, i + 1);
        }
    }
    return i;
}

void rewriteTop(Tokens &t)
{
    for (int sel = int(t.size()) - 1; sel >= 0; --sel) {
        if (!isKw(t[sel], "select"))
            continue;
        int topAt = -1, num = -1;
        selectListStart(t, sel, &topAt, &num);
        if (topAt < 0)
            continue;
        const int afterNum = nextSig(t, num + 1);
        if (afterNum < int(t.size()) && isKw(t[afterNum], "percent"))
            continue;
        const auto m = matchGroups(t);
        int last = -1;
        bool simple = true;
        for (int j = num + 1; j < int(t.size()); ++j) {
            const Token &k = t[j];
            if (!significant(k))
                continue;
            if (isOpener(k) && m[j] >= 0) {
                last = j = m[j];
                continue;
            }
            if (isCloser(k) || isOp(k, ";"))
                break;
            if (isKwIn(k, {"union", "except", "intersect", "limit"})) {
                simple = false;
                break;
            }
            last = j;
        }
        if (!simple || last < 0)
            continue;
        const Token number = t[num];
        t.insert(t.begin() + last + 1, {tok(Tok::Space, QStringLiteral(" ")), tok(Tok::Ident, QStringLiteral("limit")),
                                        tok(Tok::Space, QStringLiteral(" ")), number});
        int eraseEnd = num + 1;
        if (eraseEnd < int(t.size()) && t[eraseEnd].type == Tok::Space)
            ++eraseEnd;
        t.erase(t.begin() + topAt, t.begin() + eraseEnd);
    }
}

// ---- pass 6: a select list may use its earlier aliases (Jet), SQLite may not ---------------

QString nameKey(const Token &k) { return k.value.toCaseFolded(); }

Tokens trimmed(const Tokens &t, int from, int to)
{
    while (from < to && !significant(t[from]))
        ++from;
    while (to > from && !significant(t[to - 1]))
        --to;
    return Tokens(t.begin() + from, t.begin() + to);
}

void substituteAliases(Tokens &t, int sel)
{
    const int n = int(t.size());
    const auto m = matchGroups(t);
    const int listStart = selectListStart(t, sel);
    struct Item {
        int begin, exprEnd, end;
        QString alias;
    };
    std::vector<Item> items;
    int itemStart = listStart, j = listStart;
    for (; j < n; ++j) {
        const Token &k = t[j];
        if (isOpener(k) && m[j] >= 0) {
            j = m[j];
            continue;
        }
        if (isCloser(k) || isOp(k, ";") || endsSelectList(k))
            break;
        if (isOp(k, ",")) {
            items.push_back({itemStart, j, j, {}});
            itemStart = j + 1;
        }
    }
    const int listEnd = j;
    items.push_back({itemStart, listEnd, listEnd, {}});
    bool anyAlias = false;
    for (Item &it : items) {
        const int last = prevSig(t, it.end - 1);
        if (last < it.begin)
            continue;
        const int as = prevSig(t, last - 1);
        if (as >= it.begin && isKw(t[as], "as")
            && (t[last].type == Tok::Ident || t[last].type == Tok::QIdent || t[last].type == Tok::String)) {
            it.alias = nameKey(t[last]);
            it.exprEnd = as;
            anyAlias = true;
        }
    }
    if (!anyAlias || items.size() < 2)
        return;

    QHash<QString, int> known; // alias -> item that defines it
    std::vector<Tokens> exprs(items.size());
    std::vector<std::pair<int, Tokens>> replacements;
    for (int k = 0; k < int(items.size()); ++k) {
        const Item &it = items[k];
        Tokens expr;
        for (int q = it.begin; q < it.exprEnd; ++q) {
            const Token &x = t[q];
            if (!known.isEmpty() && (x.type == Tok::Ident || x.type == Tok::QIdent)) {
                const auto found = known.constFind(nameKey(x));
                if (found != known.cend()) {
                    const int p = prevSig(t, q - 1);
                    const int nx = nextSig(t, q + 1);
                    const bool reference = !(p >= 0 && (isOp(t[p], ".") || isKwIn(t[p], {"from", "join", "as"})))
                        && !(nx < n && (isOp(t[nx], "(") || isOp(t[nx], ".")));
                    if (reference) {
                        Tokens sub;
                        sub.push_back(tok(Tok::Op, QStringLiteral("(")));
                        sub.insert(sub.end(), exprs[*found].begin(), exprs[*found].end());
                        sub.push_back(tok(Tok::Op, QStringLiteral(")")));
                        expr.insert(expr.end(), sub.begin(), sub.end());
                        replacements.emplace_back(q, std::move(sub));
                        continue;
                    }
                }
            }
            expr.push_back(x);
        }
        exprs[k] = trimmed(expr, 0, int(expr.size()));
        if (!it.alias.isEmpty())
            known.insert(it.alias, k);
    }
    if (replacements.empty())
        return;
    Tokens out;
    out.reserve(t.size() + 16);
    out.insert(out.end(), t.begin(), t.begin() + listStart);
    size_t r = 0;
    for (int q = listStart; q < n; ++q) {
        if (r < replacements.size() && replacements[r].first == q) {
            out.insert(out.end(), replacements[r].second.begin(), replacements[r].second.end());
            ++r;
        } else {
            out.push_back(t[q]);
        }
    }
    t = std::move(out);
}

void rewriteAliases(Tokens &t)
{
    // From the last SELECT back: inner selects are done before the outer ones copy their text, and
    // rewriting one select only changes tokens after it.
    for (int sel = int(t.size()) - 1; sel >= 0; --sel)
        if (isKw(t[sel], "select"))
            substituteAliases(t, sel);
}

// ---- statements ---------------------------------------------------------------------------

QString translateStatement(const Tokens &raw)
{
    int ddlEnd = 0;
    const int first = nextSig(raw, 0);
    if (first < int(raw.size()) && isKwIn(raw[first], {"create", "alter", "drop"})) {
        ddlEnd = int(raw.size());
        for (int i = first; i < int(raw.size()); ++i)
            if (isKw(raw[i], "select")) {
                ddlEnd = i;
                break;
            }
    }
    Tokens t = classify(raw, ddlEnd);
    t = rewriteIsNull(t);
    t = rewriteConcat(t);
    t = rewriteDivision(t);
    rewriteTop(t);
    rewriteAliases(t);
    QString out;
    for (const Token &k : t)
        out += k.text;
    return out;
}

} // namespace

QString translate(const QString &jetSql)
{
    const Tokens all = tokenize(jetSql);
    QString out;
    out.reserve(jetSql.size() + 16);
    Tokens stmt;
    // A trigger body holds ';'s of its own, up to its END.
    bool trigger = false;
    int blockDepth = 0;
    bool headSeen = false;
    for (size_t i = 0; i < all.size(); ++i) {
        const Token &k = all[i];
        stmt.push_back(k);
        if (!significant(k))
            continue;
        if (!headSeen) {
            headSeen = true;
            if (isKw(k, "create")) {
                size_t j = i + 1;
                int words = 0;
                for (; j < all.size() && words < 3; ++j) {
                    if (!significant(all[j]))
                        continue;
                    ++words;
                    if (isKw(all[j], "trigger")) {
                        trigger = true;
                        break;
                    }
                }
            }
        }
        if (trigger) {
            if (isKwIn(k, {"begin", "case"}))
                ++blockDepth;
            else if (isKw(k, "end") && blockDepth > 0)
                --blockDepth;
        }
        if (isOp(k, ";") && blockDepth == 0) {
            out += translateStatement(stmt);
            stmt.clear();
            trigger = false;
            headSeen = false;
        }
    }
    if (!stmt.empty())
        out += translateStatement(stmt);
    return out;
}

} // namespace jet
