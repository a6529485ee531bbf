#include "platform/db/JetSql.h"
#include "platform/os/Clock.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QVarLengthArray>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace jet {
namespace {

// ===== Case folding and accent stripping ===================================================
//
// The collation compares first the accent-stripped, case-folded texts and breaks ties on the
// case-folded texts with accents: equal exactly when the case-folded texts are equal, and "Ávila"
// sorts right after "Avila". Everything goes code point by code point through two tables for the
// Basic Multilingual Plane, so a comparison allocates nothing. The collation's name is stored in
// database files and its indexes depend on this order: do not change it.

constexpr char32_t kSkip = 0xFFFFFFFFu; // a combining mark: absent from the accent-stripped text

char32_t foldSlow(char32_t c)
{
    if (c >= 0xD800 && c <= 0xDFFF)
        return c;
    return QChar::toCaseFolded(c);
}

char32_t baseSlow(char32_t c)
{
    if (c >= 0xD800 && c <= 0xDFFF)
        return c;
    if (QChar::category(c) == QChar::Mark_NonSpacing)
        return kSkip;
    char32_t b = foldSlow(c);
    for (int guard = 0; guard < 4 && QChar::decompositionTag(b) == QChar::Canonical; ++guard) {
        const QString d = QChar::decomposition(b);
        if (d.isEmpty())
            break;
        b = d.size() > 1 && d.at(0).isHighSurrogate() ? QChar::surrogateToUcs4(d.at(0), d.at(1)) : d.at(0).unicode();
    }
    return foldSlow(b);
}

struct FoldTables {
    std::vector<char32_t> fold, base;
    FoldTables() : fold(0x10000), base(0x10000)
    {
        for (char32_t c = 0; c < 0x10000; ++c) {
            fold[c] = foldSlow(c);
            base[c] = baseSlow(c);
        }
    }
};

const FoldTables &tables()
{
    static const FoldTables t;
    return t;
}

inline char32_t foldCp(const FoldTables &t, char32_t c) { return c < 0x10000 ? t.fold[c] : foldSlow(c); }
inline char32_t baseCp(const FoldTables &t, char32_t c) { return c < 0x10000 ? t.base[c] : baseSlow(c); }
inline unsigned asciiFold(unsigned c) { return c - 'A' < 26u ? c + 32 : c; }

// Cursors over UTF-8 (as SQLite hands text over) and UTF-16 (QString); copyable positions.
struct Utf8 {
    const unsigned char *p, *end;
    bool atEnd() const { return p >= end; }
    char32_t next()
    {
        const unsigned c = *p++;
        if (c < 0x80)
            return c;
        int n;
        char32_t cp;
        if ((c & 0xE0) == 0xC0)
            n = 1, cp = c & 0x1F;
        else if ((c & 0xF0) == 0xE0)
            n = 2, cp = c & 0x0F;
        else if ((c & 0xF8) == 0xF0)
            n = 3, cp = c & 0x07;
        else
            return 0xDC00 + c; // a stray byte keeps a place of its own in the order
        if (end - p < n)
            return 0xDC00 + c;
        for (int k = 0; k < n; ++k)
            if ((p[k] & 0xC0) != 0x80)
                return 0xDC00 + c;
        for (int k = 0; k < n; ++k)
            cp = (cp << 6) | (p[k] & 0x3F);
        p += n;
        return cp > 0x10FFFF ? 0xFFFD : cp;
    }
};

struct Utf16 {
    const char16_t *p, *end;
    bool atEnd() const { return p >= end; }
    char32_t next()
    {
        const char16_t c = *p++;
        if (QChar::isHighSurrogate(c) && p < end && QChar::isLowSurrogate(*p))
            return QChar::surrogateToUcs4(c, *p++);
        return c;
    }
};

template <class A, class B>
int compareFrom(A a0, B b0)
{
    const FoldTables &t = tables();
    A a = a0;
    B b = b0;
    for (;;) {
        char32_t x = kSkip, y = kSkip;
        while (x == kSkip && !a.atEnd())
            x = baseCp(t, a.next());
        while (y == kSkip && !b.atEnd())
            y = baseCp(t, b.next());
        if (x == kSkip || y == kSkip) { // one side ended: the shorter sorts first
            if (x != y)
                return x == kSkip ? -1 : 1;
            break;
        }
        if (x != y)
            return x < y ? -1 : 1;
    }
    a = a0;
    b = b0;
    for (;;) {
        if (a.atEnd() || b.atEnd())
            return a.atEnd() ? (b.atEnd() ? 0 : -1) : 1;
        const char32_t x = foldCp(t, a.next()), y = foldCp(t, b.next());
        if (x != y)
            return x < y ? -1 : 1;
    }
}

// Equal ASCII runs are compared in place; the rest goes through the full folding.
template <typename Unit, typename Seq>
int compareUnits(const Unit *a, int na, const Unit *b, int nb)
{
    const int n = std::min(na, nb);
    int i = 0;
    for (; i < n; ++i) {
        unsigned x = a[i], y = b[i];
        if ((x | y) >= 0x80)
            break;
        if (x != y) {
            x = asciiFold(x), y = asciiFold(y);
            if (x != y)
                return x < y ? -1 : 1;
        }
    }
    // An exhausted side is a prefix of the other in both orders.
    if (i == n)
        return na == nb ? 0 : (na < nb ? -1 : 1);
    return compareFrom(Seq{a + i, a + na}, Seq{b + i, b + nb});
}

int compareUtf8(const unsigned char *a, int na, const unsigned char *b, int nb) { return compareUnits<unsigned char, Utf8>(a, na, b, nb); }

int compareUtf16(const char16_t *a, int na, const char16_t *b, int nb) { return compareUnits<char16_t, Utf16>(a, na, b, nb); }

int collate(void *, int na, const void *a, int nb, const void *b)
{
    return compareUtf8(static_cast<const unsigned char *>(a), na, static_cast<const unsigned char *>(b), nb);
}

// ===== LIKE =================================================================================

constexpr char32_t kAnyRun = 0xFFFFFFFFu, kAnyOne = 0xFFFFFFFEu, kNever = 0xFFFFFFFDu;
using Pattern = QVarLengthArray<char32_t, 128>;

template <class Cur>
void compilePattern(Cur c, bool hasEscape, char32_t escape, Pattern &out)
{
    const FoldTables &t = tables();
    while (!c.atEnd()) {
        const char32_t x = c.next();
        if (hasEscape && x == escape) {
            out.append(c.atEnd() ? kNever : foldCp(t, c.next()));
        } else if (x == U'%') {
            if (out.isEmpty() || out.last() != kAnyRun)
                out.append(kAnyRun);
        } else if (x == U'_') {
            out.append(kAnyOne);
        } else {
            out.append(foldCp(t, x));
        }
    }
}

template <class Cur>
bool likeCore(const Pattern &pat, Cur text)
{
    const FoldTables &t = tables();
    const int np = int(pat.size());
    int p = 0, starP = -1;
    Cur starT = text;
    for (;;) {
        if (p < np && pat[p] == kAnyRun) {
            if (++p == np)
                return true;
            starP = p;
            starT = text;
            continue;
        }
        if (text.atEnd())
            break;
        const char32_t c = foldCp(t, text.next());
        if (p < np && (pat[p] == kAnyOne || pat[p] == c)) {
            ++p;
            continue;
        }
        if (starP < 0)
            return false;
        starT.next();
        text = starT;
        p = starP;
    }
    while (p < np && pat[p] == kAnyRun)
        ++p;
    return p == np;
}

void likeFunc(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    const auto *zPat = sqlite3_value_text(argv[0]);
    const int nPat = sqlite3_value_bytes(argv[0]);
    const auto *zText = sqlite3_value_text(argv[1]);
    const int nText = sqlite3_value_bytes(argv[1]);
    if (!zPat || !zText)
        return;
    if (nPat > sqlite3_limit(sqlite3_context_db_handle(ctx), SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1)) {
        sqlite3_result_error(ctx, "LIKE or GLOB pattern too complex", -1);
        return;
    }
    bool hasEscape = false;
    char32_t escape = 0;
    if (argc == 3) {
        const auto *zEsc = sqlite3_value_text(argv[2]);
        if (!zEsc)
            return;
        Utf8 e{zEsc, zEsc + sqlite3_value_bytes(argv[2])};
        if (!e.atEnd())
            escape = e.next();
        if (e.atEnd() == false || sqlite3_value_bytes(argv[2]) == 0) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        hasEscape = true;
    }
    Pattern pat;
    compilePattern(Utf8{zPat, zPat + nPat}, hasEscape, escape, pat);
    sqlite3_result_int(ctx, likeCore(pat, Utf8{zText, zText + nText}) ? 1 : 0);
}

// ===== Values ===============================================================================

QString valueText(sqlite3_value *v);

QString argText(sqlite3_value *v)
{
    const char *p = reinterpret_cast<const char *>(sqlite3_value_text(v));
    return QString::fromUtf8(p, sqlite3_value_bytes(v));
}

void resultText(sqlite3_context *ctx, const QString &s)
{
    const QByteArray u = s.toUtf8();
    sqlite3_result_text(ctx, u.constData(), int(u.size()), SQLITE_TRANSIENT);
}

void resultNumber(sqlite3_context *ctx, double d)
{
    if (std::floor(d) == d && std::fabs(d) < 9.0e15)
        sqlite3_result_int64(ctx, qint64(d));
    else
        sqlite3_result_double(ctx, d);
}

bool isNullArg(sqlite3_value *v) { return sqlite3_value_type(v) == SQLITE_NULL; }

struct Num {
    bool ok = false;
    bool isInt = false;
    qint64 i = 0;
    double d = 0;
};

// A number written as text: blanks around, a sign, digits with '.' or ',' for decimals, an exponent.
Num parseNumber(QStringView s)
{
    s = s.trimmed();
    std::string buf;
    int k = 0;
    const int n = int(s.size());
    if (k < n && (s[k] == u'+' || s[k] == u'-'))
        buf += char(s[k++].unicode());
    int digits = 0;
    bool real = false;
    while (k < n && s[k].isDigit() && s[k].unicode() < 0x80)
        buf += char(s[k++].unicode()), ++digits;
    if (k < n && (s[k] == u'.' || s[k] == u',')) {
        buf += '.', ++k, real = true;
        while (k < n && s[k].isDigit() && s[k].unicode() < 0x80)
            buf += char(s[k++].unicode()), ++digits;
    }
    if (digits && k < n && (s[k] == u'e' || s[k] == u'E')) {
        int e = k + 1;
        std::string exp = "e";
        if (e < n && (s[e] == u'+' || s[e] == u'-'))
            exp += char(s[e++].unicode());
        int expDigits = 0;
        while (e < n && s[e].isDigit() && s[e].unicode() < 0x80)
            exp += char(s[e++].unicode()), ++expDigits;
        if (expDigits) {
            buf += exp, k = e, real = true;
        }
    }
    Num r;
    if (!digits || k != n)
        return r;
    r.ok = true;
    r.d = std::strtod(buf.c_str(), nullptr);
    if (!real) {
        errno = 0;
        const long long i = std::strtoll(buf.c_str(), nullptr, 10);
        if (errno == 0) {
            r.isInt = true;
            r.i = i;
        }
    }
    return r;
}

Num toNum(sqlite3_value *v)
{
    Num r;
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        r.ok = r.isInt = true;
        r.i = sqlite3_value_int64(v);
        r.d = double(r.i);
        break;
    case SQLITE_FLOAT:
        r.ok = true;
        r.d = sqlite3_value_double(v);
        break;
    case SQLITE_TEXT:
        r = parseNumber(argText(v));
        break;
    default:
        break;
    }
    return r;
}

bool truthy(sqlite3_value *v)
{
    const Num n = toNum(v);
    return n.ok && (n.isInt ? n.i != 0 : n.d != 0);
}

// Numbers as text the way Jet shows them on a Brazilian system: "2", "2,5".
QString numberText(double d)
{
    if (std::floor(d) == d && std::fabs(d) < 1e15)
        return QString::number(qint64(d));
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15G", d);
    QString s = QString::fromLatin1(buf);
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

QString valueText(sqlite3_value *v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return QString::number(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
        return numberText(sqlite3_value_double(v));
    case SQLITE_NULL:
        return QString();
    default:
        return argText(v);
    }
}

// Decimal rounding of |a| to `decimals` places, on its 15 significant digits as Jet sees a double:
// the digits of the integer part (no leading zeros) and exactly `decimals` fraction digits.
std::pair<std::string, std::string> roundDecimal(double a, int decimals, bool halfEven)
{
    a = std::fabs(a);
    if (!std::isfinite(a))
        a = 0;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", a);
    std::string digits;
    digits += buf[0];
    digits.append(buf + 2, 14);
    const int exp = std::atoi(std::strchr(buf, 'e') + 1);
    const int keep = exp + 1 + decimals;
    std::string kept;
    bool up = false;
    if (keep >= 0) {
        kept = keep <= 15 ? digits.substr(0, keep) : digits + std::string(keep - 15, '0');
        if (keep < 15) {
            const char r = digits[keep];
            bool rest = false;
            for (int k = keep + 1; k < 15; ++k)
                rest = rest || digits[k] != '0';
            if (r > '5' || (r == '5' && rest))
                up = true;
            else if (r == '5')
                up = !halfEven || ((kept.empty() ? 0 : kept.back() - '0') % 2 == 1);
        }
    }
    if (up) {
        int k = int(kept.size()) - 1;
        while (k >= 0 && kept[k] == '9')
            kept[k--] = '0';
        if (k < 0)
            kept.insert(kept.begin(), '1');
        else
            ++kept[k];
    }
    if (int(kept.size()) < decimals + 1)
        kept.insert(0, decimals + 1 - kept.size(), '0');
    std::string intPart = kept.substr(0, kept.size() - decimals);
    const std::string frac = kept.substr(kept.size() - decimals);
    const size_t nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? std::string() : intPart.substr(nz);
    return {intPart, frac};
}

double roundTo(double v, int decimals, bool halfEven)
{
    const auto [i, f] = roundDecimal(v, decimals, halfEven);
    const double r = std::strtod(((i.empty() ? std::string("0") : i) + "." + f).c_str(), nullptr);
    return v < 0 ? -r : r;
}

// ===== Dates ================================================================================
//
// Stored as ISO text; Jet's own serial numbers (days since 30/12/1899) are accepted too.

const QDate kZeroDate(1899, 12, 30);

struct DateVal {
    bool ok = false;
    QDate date;
    QTime time{0, 0};
};

bool digitsAt(QStringView s, int pos, int count, int *value)
{
    if (pos + count > s.size())
        return false;
    int v = 0;
    for (int k = pos; k < pos + count; ++k) {
        if (s[k] < u'0' || s[k] > u'9')
            return false;
        v = v * 10 + (s[k].unicode() - '0');
    }
    *value = v;
    return true;
}

// "hh:mm[:ss[.fff]]" from pos to the end.
bool parseTimeText(QStringView s, QTime *t)
{
    int h, m, sec = 0;
    int hl = s.size() > 1 && s[1] == u':' ? 1 : 2;
    if (!digitsAt(s, 0, hl, &h) || s.size() < hl + 3 || s[hl] != u':' || !digitsAt(s, hl + 1, 2, &m))
        return false;
    int k = hl + 3;
    if (k < s.size()) {
        if (s[k] != u':' || !digitsAt(s, k + 1, 2, &sec))
            return false;
        k += 3;
        if (k < s.size() && s[k] == u'.') {
            ++k;
            while (k < s.size() && s[k].isDigit())
                ++k;
        }
        if (k != s.size())
            return false;
    }
    *t = QTime(h, m, sec);
    return t->isValid();
}

DateVal parseDateText(QStringView s)
{
    DateVal r;
    s = s.trimmed();
    int y, m, d;
    QStringView rest;
    if (s.size() >= 10 && s[4] == u'-' && s[7] == u'-' && digitsAt(s, 0, 4, &y) && digitsAt(s, 5, 2, &m) && digitsAt(s, 8, 2, &d)) {
        rest = s.mid(10);
    } else if (s.size() >= 10 && s[2] == u'/' && s[5] == u'/' && digitsAt(s, 0, 2, &d) && digitsAt(s, 3, 2, &m) && digitsAt(s, 6, 4, &y)) {
        rest = s.mid(10);
    } else if (parseTimeText(s, &r.time)) {
        r.date = kZeroDate;
        r.ok = true;
        return r;
    } else {
        return r;
    }
    r.date = QDate(y, m, d);
    if (!r.date.isValid())
        return r;
    if (!rest.isEmpty()) {
        if (rest[0] != u' ' && rest[0] != u'T')
            return r;
        if (!parseTimeText(rest.mid(1).trimmed(), &r.time))
            return r;
    }
    r.ok = true;
    return r;
}

DateVal fromSerial(double serial)
{
    DateVal r;
    if (!std::isfinite(serial) || std::fabs(serial) > 3.0e6)
        return r;
    double days = std::floor(serial);
    qint64 secs = qRound64((serial - days) * 86400.0);
    if (secs >= 86400)
        days += 1, secs -= 86400;
    r.date = kZeroDate.addDays(qint64(days));
    r.time = QTime(0, 0).addSecs(int(secs));
    r.ok = r.date.isValid();
    return r;
}

DateVal toDate(sqlite3_value *v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return fromSerial(sqlite3_value_double(v));
    case SQLITE_TEXT:
        return parseDateText(argText(v));
    default:
        return {};
    }
}

QString dateText(const DateVal &d)
{
    const QString time = d.time.toString(QStringLiteral("HH:mm:ss"));
    if (d.date == kZeroDate && d.time != QTime(0, 0))
        return time;
    const QString date = d.date.toString(QStringLiteral("yyyy-MM-dd"));
    return d.time == QTime(0, 0) ? date : date + QLatin1Char(' ') + time;
}

qint64 totalSeconds(const DateVal &d) { return d.date.toJulianDay() * 86400 + QTime(0, 0).secsTo(d.time); }

DateVal fromSeconds(qint64 s)
{
    DateVal r;
    const qint64 day = s >= 0 ? s / 86400 : -((-s + 86399) / 86400);
    r.date = QDate::fromJulianDay(day);
    r.time = QTime(0, 0).addSecs(int(s - day * 86400));
    r.ok = r.date.isValid();
    return r;
}

int sundayWeekday(const QDate &d) { return d.dayOfWeek() % 7 + 1; } // 1 Sunday .. 7 Saturday

int jetWeekday(const QDate &d, int firstDay)
{
    if (firstDay < 1 || firstDay > 7)
        firstDay = 1;
    return (sundayWeekday(d) - firstDay + 7) % 7 + 1;
}

const char *const kMonths[] = {"janeiro", "fevereiro", "março", "abril", "maio", "junho",
                               "julho", "agosto", "setembro", "outubro", "novembro", "dezembro"};
const char *const kMonthsShort[] = {"jan", "fev", "mar", "abr", "mai", "jun", "jul", "ago", "set", "out", "nov", "dez"};
const char *const kDays[] = {"domingo", "segunda-feira", "terça-feira", "quarta-feira", "quinta-feira", "sexta-feira", "sábado"};
const char *const kDaysShort[] = {"dom", "seg", "ter", "qua", "qui", "sex", "sáb"};

QString two(int v) { return QString::number(v).rightJustified(2, QLatin1Char('0')); }

int weekOfYear(const QDate &d, int firstDay)
{
    const QDate jan1(d.year(), 1, 1);
    const int offset = jetWeekday(jan1, firstDay) - 1;
    return (jan1.daysTo(d) + offset) / 7 + 1;
}

// ===== Format ===============================================================================

bool isDateFormat(const QString &fmt)
{
    for (int k = 0; k < fmt.size(); ++k) {
        const QChar c = fmt[k].toLower();
        if (c == u'"') {
            k = int(fmt.indexOf(u'"', k + 1));
            if (k < 0)
                return false;
        } else if (c == u'\\') {
            ++k;
        } else if (QStringView(u"dmyhnswqc").contains(c)) {
            return true;
        }
    }
    return false;
}

QString formatDateCustom(const DateVal &dv, const QString &fmt);

QString generalDate(const DateVal &dv)
{
    QString out;
    if (dv.date != kZeroDate)
        out = formatDateCustom(dv, QStringLiteral("dd/mm/yyyy"));
    if (dv.time != QTime(0, 0) || dv.date == kZeroDate) {
        if (!out.isEmpty())
            out += QLatin1Char(' ');
        out += formatDateCustom(dv, QStringLiteral("hh:nn:ss"));
    }
    return out;
}

QString formatDateCustom(const DateVal &dv, const QString &fmt)
{
    enum Kind { Lit, D, M, Y, H, N, S, W, Q, AmPm, General };
    struct Item {
        Kind kind;
        int count = 0;
        QString text;
    };
    std::vector<Item> items;
    bool twelve = false;
    const int n = int(fmt.size());
    for (int k = 0; k < n;) {
        const QChar c = fmt[k];
        const QChar lc = c.toLower();
        if (c == u'"') {
            const int e = int(fmt.indexOf(u'"', k + 1));
            items.push_back({Lit, 0, fmt.mid(k + 1, (e < 0 ? n : e) - k - 1)});
            k = e < 0 ? n : e + 1;
        } else if (c == u'\\' && k + 1 < n) {
            items.push_back({Lit, 0, fmt.mid(k + 1, 1)});
            k += 2;
        } else if (QStringView(fmt).mid(k, 5).compare(u"am/pm", Qt::CaseInsensitive) == 0) {
            items.push_back({AmPm, 5, fmt.mid(k, 5)});
            twelve = true;
            k += 5;
        } else if (QStringView(fmt).mid(k, 3).compare(u"a/p", Qt::CaseInsensitive) == 0) {
            items.push_back({AmPm, 3, fmt.mid(k, 3)});
            twelve = true;
            k += 3;
        } else if (QStringView(u"dmyhnswq").contains(lc)) {
            int e = k;
            while (e < n && fmt[e].toLower() == lc)
                ++e;
            const Kind kind = lc == u'd' ? D : lc == u'm' ? M : lc == u'y' ? Y : lc == u'h' ? H : lc == u'n' ? N : lc == u's' ? S : lc == u'w' ? W : Q;
            items.push_back({kind, e - k, {}});
            k = e;
        } else if (lc == u'c') {
            items.push_back({General, 1, {}});
            ++k;
        } else {
            items.push_back({Lit, 0, QString(c)});
            ++k;
        }
    }
    // "m" right after an hour or right before seconds means minutes.
    for (size_t k = 0; k < items.size(); ++k) {
        if (items[k].kind != M || items[k].count > 2)
            continue;
        int p = int(k) - 1, q = int(k) + 1;
        while (p >= 0 && items[p].kind == Lit)
            --p;
        while (q < int(items.size()) && items[q].kind == Lit)
            ++q;
        if ((p >= 0 && items[p].kind == H) || (q < int(items.size()) && items[q].kind == S))
            items[k].kind = N;
    }
    const QDate &d = dv.date;
    const QTime &t = dv.time;
    QString out;
    for (const Item &it : items) {
        switch (it.kind) {
        case Lit:
            out += it.text;
            break;
        case D:
            if (it.count == 1)
                out += QString::number(d.day());
            else if (it.count == 2)
                out += two(d.day());
            else if (it.count == 3)
                out += QString::fromUtf8(kDaysShort[sundayWeekday(d) - 1]);
            else if (it.count == 4)
                out += QString::fromUtf8(kDays[sundayWeekday(d) - 1]);
            else if (it.count == 5)
                out += formatDateCustom(dv, QStringLiteral("dd/mm/yyyy"));
            else
                out += formatDateCustom(dv, QStringLiteral("dddd, d \"de\" mmmm \"de\" yyyy"));
            break;
        case M:
            if (it.count == 1)
                out += QString::number(d.month());
            else if (it.count == 2)
                out += two(d.month());
            else if (it.count == 3)
                out += QString::fromUtf8(kMonthsShort[d.month() - 1]);
            else
                out += QString::fromUtf8(kMonths[d.month() - 1]);
            break;
        case Y:
            if (it.count == 1)
                out += QString::number(d.dayOfYear());
            else if (it.count < 4)
                out += two(d.year() % 100);
            else
                out += QString::number(d.year());
            break;
        case H: {
            int h = t.hour();
            if (twelve)
                h = h % 12 == 0 ? 12 : h % 12;
            out += it.count == 1 ? QString::number(h) : two(h);
            break;
        }
        case N:
            out += it.count == 1 ? QString::number(t.minute()) : two(t.minute());
            break;
        case S:
            out += it.count == 1 ? QString::number(t.second()) : two(t.second());
            break;
        case W:
            out += QString::number(it.count == 1 ? sundayWeekday(d) : weekOfYear(d, 1));
            break;
        case Q:
            out += QString::number((d.month() - 1) / 3 + 1);
            break;
        case AmPm: {
            const bool pm = t.hour() >= 12;
            const bool lower = it.text.at(0).isLower();
            QString s = it.count == 5 ? (pm ? QStringLiteral("PM") : QStringLiteral("AM")) : (pm ? QStringLiteral("P") : QStringLiteral("A"));
            out += lower ? s.toLower() : s;
            break;
        }
        case General:
            out += generalDate(dv);
            break;
        }
    }
    return out;
}

QString formatDate(const DateVal &dv, const QString &fmt)
{
    const QString f = fmt.trimmed().toLower();
    if (f == QLatin1String("general date"))
        return generalDate(dv);
    if (f == QLatin1String("short date"))
        return formatDateCustom(dv, QStringLiteral("dd/mm/yyyy"));
    if (f == QLatin1String("long date"))
        return formatDateCustom(dv, QStringLiteral("dddddd"));
    if (f == QLatin1String("medium date"))
        return formatDateCustom(dv, QStringLiteral("dd-mmm-yy"));
    if (f == QLatin1String("long time"))
        return formatDateCustom(dv, QStringLiteral("hh:nn:ss"));
    if (f == QLatin1String("medium time"))
        return formatDateCustom(dv, QStringLiteral("hh:nn AM/PM"));
    if (f == QLatin1String("short time"))
        return formatDateCustom(dv, QStringLiteral("hh:nn"));
    return formatDateCustom(dv, fmt);
}

// One section of a number format: '0' and '#' digits, '.' decimal point, ',' thousands, '%',
// E+00 exponents, "quoted" and \escaped literals. Output uses Brazilian separators.
QString formatNumberSection(double v, const QString &sec, bool signIfNegative)
{
    enum Kind { Lit, IntPh, Point, FracPh, Exp, Pct };
    struct El {
        Kind kind;
        QChar ph;
        QString text;
        bool expPlus = false;
        int expZeros = 0;
    };
    std::vector<El> els;
    bool seenPoint = false, thousands = false;
    int percent = 0;
    const int n = int(sec.size());
    for (int k = 0; k < n; ++k) {
        const QChar c = sec[k];
        if (c == u'"') {
            const int e = int(sec.indexOf(u'"', k + 1));
            els.push_back({Lit, {}, sec.mid(k + 1, (e < 0 ? n : e) - k - 1)});
            k = e < 0 ? n : e;
        } else if (c == u'\\' && k + 1 < n) {
            els.push_back({Lit, {}, sec.mid(++k, 1)});
        } else if (c == u'0' || c == u'#') {
            els.push_back({seenPoint ? FracPh : IntPh, c, {}});
        } else if (c == u'.' && !seenPoint) {
            seenPoint = true;
            els.push_back({Point, {}, {}});
        } else if (c == u',') {
            if (!seenPoint)
                thousands = true;
        } else if (c == u'%') {
            ++percent;
            els.push_back({Pct, {}, QStringLiteral("%")});
        } else if ((c == u'E' || c == u'e') && k + 1 < n && (sec[k + 1] == u'+' || sec[k + 1] == u'-')) {
            El e{Exp, {}, QString(c)};
            e.expPlus = sec[k + 1] == u'+';
            k += 2;
            while (k < n && (sec[k] == u'0' || sec[k] == u'#')) {
                if (sec[k] == u'0')
                    ++e.expZeros;
                ++k;
            }
            --k;
            els.push_back(e);
        } else if ((c == u'*' || c == u'_') && k + 1 < n) {
            ++k; // fill and padding marks: nothing to fill on a report
        } else {
            els.push_back({Lit, {}, QString(c)});
        }
    }
    for (int k = 0; k < percent; ++k)
        v *= 100.0;
    int intPh = 0, minInt = 0, decimals = 0;
    bool hasExp = false;
    for (const El &e : els) {
        if (e.kind == IntPh) {
            ++intPh;
            if (e.ph == u'0' && minInt == 0)
                minInt = 1;
            else if (minInt > 0)
                ++minInt;
        } else if (e.kind == FracPh) {
            ++decimals;
        } else if (e.kind == Exp) {
            hasExp = true;
        }
    }
    int exponent = 0;
    if (hasExp && v != 0) {
        const int lead = std::max(intPh, 1);
        exponent = int(std::floor(std::log10(std::fabs(v)))) - (lead - 1);
        double m = v / std::pow(10.0, exponent);
        if (roundDecimal(m, decimals, false).first.size() > size_t(lead)) {
            ++exponent;
            m = v / std::pow(10.0, exponent);
        }
        v = m;
    }
    auto [intDigits, fracDigits] = roundDecimal(v, decimals, false);
    const bool zero = intDigits.empty() && fracDigits.find_first_not_of('0') == std::string::npos;
    if (int(intDigits.size()) < minInt)
        intDigits.insert(0, minInt - intDigits.size(), '0');
    QString digits = QString::fromLatin1(intDigits.data(), int(intDigits.size()));
    if (thousands)
        for (int k = int(digits.size()) - 3; k > 0; k -= 3)
            digits.insert(k, QLatin1Char('.'));
    int lastFrac = -1; // the last fraction digit shown: '#' drops trailing zeros
    {
        int k = 0;
        for (const El &e : els)
            if (e.kind == FracPh) {
                if (e.ph == u'0' || fracDigits[k] != '0')
                    lastFrac = k;
                ++k;
            }
    }
    QString out;
    int intSeen = 0, fracSeen = 0;
    for (const El &e : els) {
        switch (e.kind) {
        case Lit:
        case Pct:
            out += e.text;
            break;
        case IntPh:
            if (thousands) {
                if (intSeen == 0)
                    out += digits;
            } else {
                // Right to left: the leftmost placeholder takes any extra digits.
                const int len = int(digits.size());
                if (len > intPh)
                    out += intSeen == 0 ? digits.left(len - intPh + 1) : digits.mid(len - intPh + intSeen, 1);
                else if (intSeen >= intPh - len)
                    out += digits.mid(intSeen - (intPh - len), 1);
            }
            ++intSeen;
            break;
        case Point:
            out += QLatin1Char(',');
            break;
        case FracPh:
            if (fracSeen <= lastFrac)
                out += QLatin1Char(fracDigits[fracSeen]);
            ++fracSeen;
            break;
        case Exp: {
            QString ex = QString::number(std::abs(exponent)).rightJustified(e.expZeros, QLatin1Char('0'));
            out += e.text + (exponent < 0 ? QStringLiteral("-") : e.expPlus ? QStringLiteral("+") : QString()) + ex;
            break;
        }
        }
    }
    if (intPh == 0 && !intDigits.empty() && intDigits != "0") {
        // No integer placeholder ("%" alone, ".00"): the integer digits still show, before the point.
        const int at = [&] {
            int k = 0;
            for (const El &e : els) {
                if (e.kind == Point || e.kind == FracPh)
                    break;
                if (e.kind == Lit || e.kind == Pct)
                    k += int(e.text.size());
            }
            return k;
        }();
        out.insert(at, digits);
    }
    if (signIfNegative && v < 0 && !zero)
        out.prepend(QLatin1Char('-'));
    return out;
}

QStringList splitSections(const QString &fmt)
{
    QStringList out;
    QString cur;
    bool quoted = false;
    for (int k = 0; k < fmt.size(); ++k) {
        const QChar c = fmt[k];
        if (c == u'"')
            quoted = !quoted;
        if (c == u'\\' && k + 1 < fmt.size() && !quoted) {
            cur += c;
            cur += fmt[++k];
            continue;
        }
        if (c == u';' && !quoted) {
            out << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    out << cur;
    return out;
}

QString formatNumber(double v, const QString &fmt)
{
    const QString f = fmt.trimmed().toLower();
    if (f == QLatin1String("general number"))
        return numberText(v);
    if (f == QLatin1String("currency"))
        return formatNumberSection(v, QStringLiteral("\"R$ \"#,##0.00"), true);
    if (f == QLatin1String("fixed"))
        return formatNumberSection(v, QStringLiteral("0.00"), true);
    if (f == QLatin1String("standard"))
        return formatNumberSection(v, QStringLiteral("#,##0.00"), true);
    if (f == QLatin1String("percent"))
        return formatNumberSection(v, QStringLiteral("0.00%"), true);
    if (f == QLatin1String("scientific"))
        return formatNumberSection(v, QStringLiteral("0.00E+00"), true);
    if (f == QLatin1String("yes/no"))
        return v != 0 ? QStringLiteral("Sim") : QStringLiteral("Não");
    if (f == QLatin1String("true/false"))
        return v != 0 ? QStringLiteral("Verdadeiro") : QStringLiteral("Falso");
    if (f == QLatin1String("on/off"))
        return v != 0 ? QStringLiteral("Ativado") : QStringLiteral("Desativado");
    const QStringList sections = splitSections(fmt);
    if (v < 0 && sections.size() > 1 && !sections[1].isEmpty())
        return formatNumberSection(-v, sections[1], false);
    if (v == 0 && sections.size() > 2 && !sections[2].isEmpty())
        return formatNumberSection(v, sections[2], false);
    return formatNumberSection(v, sections[0], true);
}

bool isNamedNumberFormat(const QString &fmt)
{
    static const char *const names[] = {"general number", "currency", "fixed", "standard", "percent", "scientific", "yes/no", "true/false", "on/off"};
    const QString f = fmt.trimmed().toLower();
    for (const char *name : names)
        if (f == QLatin1String(name))
            return true;
    return false;
}

bool isNamedDateFormat(const QString &fmt)
{
    static const char *const names[] = {"general date", "long date", "medium date", "short date", "long time", "medium time", "short time"};
    const QString f = fmt.trimmed().toLower();
    for (const char *name : names)
        if (f == QLatin1String(name))
            return true;
    return false;
}

// ===== SQL functions ========================================================================

#define JET_FN(name) void name(sqlite3_context *ctx, int argc, sqlite3_value **argv)
#define UNUSED_ARGS (void)argc, (void)argv

// Integer conversions: Null, text that is no number, or a value out of range give Null, so that
// one odd row does not fail a whole statement.
void toInteger(sqlite3_context *ctx, sqlite3_value *v, qint64 lo, qint64 hi)
{
    const Num n = toNum(v);
    if (!n.ok)
        return;
    if (!n.isInt && (!std::isfinite(n.d) || n.d < double(lo) - 0.5 || n.d > double(hi) + 0.5))
        return;
    const qint64 r = n.isInt ? n.i : roundHalfEven(n.d);
    if (r < lo || r > hi)
        return;
    sqlite3_result_int64(ctx, r);
}

JET_FN(fnClng)
{
    UNUSED_ARGS;
    toInteger(ctx, argv[0], std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
}

JET_FN(fnCint)
{
    UNUSED_ARGS;
    toInteger(ctx, argv[0], -32768, 32767);
}

JET_FN(fnCdbl)
{
    UNUSED_ARGS;
    const Num n = toNum(argv[0]);
    if (n.ok)
        sqlite3_result_double(ctx, n.d);
}

JET_FN(fnCcur)
{
    UNUSED_ARGS;
    const Num n = toNum(argv[0]);
    if (n.ok)
        sqlite3_result_double(ctx, n.isInt ? n.d : roundTo(n.d, 4, true));
}

JET_FN(fnCbool)
{
    UNUSED_ARGS;
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
        const QString s = argText(argv[0]).trimmed().toLower();
        if (s == QLatin1String("true") || s == QLatin1String("verdadeiro"))
            return sqlite3_result_int(ctx, 1);
        if (s == QLatin1String("false") || s == QLatin1String("falso"))
            return sqlite3_result_int(ctx, 0);
    }
    const Num n = toNum(argv[0]);
    if (n.ok)
        sqlite3_result_int(ctx, (n.isInt ? n.i != 0 : n.d != 0) ? 1 : 0);
}

JET_FN(fnCstr)
{
    UNUSED_ARGS;
    if (!isNullArg(argv[0]))
        resultText(ctx, valueText(argv[0]));
}

JET_FN(fnCdate)
{
    UNUSED_ARGS;
    const DateVal d = toDate(argv[0]);
    if (d.ok)
        resultText(ctx, dateText(d));
}

JET_FN(fnDatevalue)
{
    UNUSED_ARGS;
    DateVal d = toDate(argv[0]);
    if (!d.ok)
        return;
    d.time = QTime(0, 0);
    resultText(ctx, dateText(d));
}

// Val: the number at the start of the text, blanks ignored anywhere, '.' as the decimal point.
JET_FN(fnVal)
{
    UNUSED_ARGS;
    if (isNullArg(argv[0]))
        return;
    if (sqlite3_value_type(argv[0]) != SQLITE_TEXT)
        return sqlite3_result_value(ctx, argv[0]);
    const QString s = argText(argv[0]);
    std::string buf;
    bool point = false, exp = false, real = false;
    int digits = 0;
    for (QChar c : s) {
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r')
            continue;
        const char ch = c.unicode() < 0x80 ? char(c.unicode()) : '\0';
        if (ch >= '0' && ch <= '9') {
            buf += ch, ++digits;
        } else if ((ch == '+' || ch == '-') && (buf.empty() || buf.back() == 'e')) {
            buf += ch;
        } else if (ch == '.' && !point && !exp) {
            buf += ch, point = real = true;
        } else if ((ch == 'e' || ch == 'E' || ch == 'd' || ch == 'D') && digits && !exp) {
            buf += 'e', exp = real = true;
        } else {
            break;
        }
    }
    while (!buf.empty() && (buf.back() == 'e' || buf.back() == '+' || buf.back() == '-'))
        buf.pop_back(), exp = false;
    if (!digits)
        return sqlite3_result_int(ctx, 0);
    if (!real) {
        errno = 0;
        const long long i = std::strtoll(buf.c_str(), nullptr, 10);
        if (errno == 0)
            return sqlite3_result_int64(ctx, i);
    }
    sqlite3_result_double(ctx, std::strtod(buf.c_str(), nullptr));
}

JET_FN(fnNz)
{
    if (!isNullArg(argv[0]))
        sqlite3_result_value(ctx, argv[0]);
    else if (argc > 1)
        sqlite3_result_value(ctx, argv[1]);
    else
        sqlite3_result_text(ctx, "", 0, SQLITE_STATIC);
}

JET_FN(fnUcase)
{
    UNUSED_ARGS;
    if (!isNullArg(argv[0]))
        resultText(ctx, valueText(argv[0]).toUpper());
}

JET_FN(fnLcase)
{
    UNUSED_ARGS;
    if (!isNullArg(argv[0]))
        resultText(ctx, valueText(argv[0]).toLower());
}

JET_FN(fnMid)
{
    for (int k = 0; k < argc; ++k)
        if (isNullArg(argv[k]))
            return;
    const QString s = valueText(argv[0]);
    const qint64 start = sqlite3_value_int64(argv[1]);
    const qint64 len = argc > 2 ? sqlite3_value_int64(argv[2]) : s.size();
    if (start < 1 || len < 0)
        return;
    resultText(ctx, start > s.size() ? QString() : s.mid(start - 1, std::min<qint64>(len, s.size())));
}

JET_FN(fnLeft)
{
    UNUSED_ARGS;
    if (isNullArg(argv[0]) || isNullArg(argv[1]))
        return;
    const qint64 n = sqlite3_value_int64(argv[1]);
    if (n >= 0)
        resultText(ctx, valueText(argv[0]).left(std::min<qint64>(n, INT32_MAX)));
}

JET_FN(fnRight)
{
    UNUSED_ARGS;
    if (isNullArg(argv[0]) || isNullArg(argv[1]))
        return;
    const qint64 n = sqlite3_value_int64(argv[1]);
    if (n >= 0)
        resultText(ctx, valueText(argv[0]).right(std::min<qint64>(n, INT32_MAX)));
}

template <int Part>
JET_FN(fnDatePartOf)
{
    UNUSED_ARGS;
    const DateVal d = toDate(argv[0]);
    if (!d.ok)
        return;
    const int v = Part == 0 ? d.date.year() : Part == 1 ? d.date.month() : Part == 2 ? d.date.day()
        : Part == 3 ? d.time.hour() : Part == 4 ? d.time.minute() : d.time.second();
    sqlite3_result_int(ctx, v);
}

JET_FN(fnWeekday)
{
    const DateVal d = toDate(argv[0]);
    if (d.ok)
        sqlite3_result_int(ctx, jetWeekday(d.date, argc > 1 ? sqlite3_value_int(argv[1]) : 1));
}

JET_FN(fnDate)
{
    UNUSED_ARGS;
    resultText(ctx, os::clock().now().date().toString(QStringLiteral("yyyy-MM-dd")));
}

JET_FN(fnNow)
{
    UNUSED_ARGS;
    resultText(ctx, os::clock().now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

JET_FN(fnTime)
{
    UNUSED_ARGS;
    resultText(ctx, os::clock().now().time().toString(QStringLiteral("HH:mm:ss")));
}

JET_FN(fnFormat)
{
    if (isNullArg(argv[0]))
        return;
    const QString fmt = argc > 1 && !isNullArg(argv[1]) ? argText(argv[1]) : QString();
    if (fmt.isEmpty())
        return resultText(ctx, valueText(argv[0]));
    const bool text = sqlite3_value_type(argv[0]) == SQLITE_TEXT;
    const bool dateFmt = isNamedDateFormat(fmt) || (!isNamedNumberFormat(fmt) && isDateFormat(fmt));
    if (dateFmt) {
        const DateVal d = toDate(argv[0]);
        return resultText(ctx, d.ok ? formatDate(d, fmt) : valueText(argv[0]));
    }
    if (text && parseDateText(argText(argv[0])).ok)
        return resultText(ctx, argText(argv[0]));
    const Num n = toNum(argv[0]);
    resultText(ctx, n.ok ? formatNumber(n.d, fmt) : valueText(argv[0]));
}

JET_FN(fnRound)
{
    if (isNullArg(argv[0]))
        return;
    const Num n = toNum(argv[0]);
    if (!n.ok)
        return;
    const int decimals = argc > 1 ? std::clamp(sqlite3_value_int(argv[1]), 0, 15) : 0;
    if (n.isInt)
        return sqlite3_result_int64(ctx, n.i);
    const double r = roundTo(n.d, decimals, true);
    if (decimals == 0)
        resultNumber(ctx, r);
    else
        sqlite3_result_double(ctx, r);
}

JET_FN(fnInt)
{
    UNUSED_ARGS;
    const Num n = toNum(argv[0]);
    if (n.ok)
        n.isInt ? sqlite3_result_int64(ctx, n.i) : resultNumber(ctx, std::floor(n.d));
}

JET_FN(fnFix)
{
    UNUSED_ARGS;
    const Num n = toNum(argv[0]);
    if (n.ok)
        n.isInt ? sqlite3_result_int64(ctx, n.i) : resultNumber(ctx, std::trunc(n.d));
}

// InStr([start,] text, sought[, compare]): 1-based, 0 when absent; as Jet queries compare text,
// letter case is ignored unless compare is 0.
JET_FN(fnInstr)
{
    for (int k = 0; k < argc; ++k)
        if (isNullArg(argv[k]))
            return;
    const int first = argc >= 3 ? 1 : 0;
    const qint64 start = argc >= 3 ? sqlite3_value_int64(argv[0]) : 1;
    const bool binary = argc == 4 && sqlite3_value_int(argv[3]) == 0;
    if (start < 1)
        return;
    const QString s = valueText(argv[first]), sought = valueText(argv[first + 1]);
    if (start > s.size())
        return sqlite3_result_int(ctx, sought.isEmpty() && start == s.size() + 1 ? int(start) : 0);
    const qsizetype at = s.indexOf(sought, start - 1, binary ? Qt::CaseSensitive : Qt::CaseInsensitive);
    sqlite3_result_int64(ctx, at + 1);
}

JET_FN(fnSpace)
{
    UNUSED_ARGS;
    if (isNullArg(argv[0]))
        return;
    const qint64 n = sqlite3_value_int64(argv[0]);
    if (n < 0)
        return;
    if (n > sqlite3_limit(sqlite3_context_db_handle(ctx), SQLITE_LIMIT_LENGTH, -1))
        return sqlite3_result_error_toobig(ctx);
    resultText(ctx, QString(int(n), QLatin1Char(' ')));
}

JET_FN(fnString)
{
    UNUSED_ARGS;
    if (isNullArg(argv[0]) || isNullArg(argv[1]))
        return;
    const qint64 n = sqlite3_value_int64(argv[0]);
    QChar c;
    if (sqlite3_value_type(argv[1]) == SQLITE_TEXT) {
        const QString s = argText(argv[1]);
        if (s.isEmpty())
            return;
        c = s.at(0);
    } else {
        c = QChar(char16_t(sqlite3_value_int(argv[1]) & 0xFFFF));
    }
    if (n < 0)
        return;
    if (n > sqlite3_limit(sqlite3_context_db_handle(ctx), SQLITE_LIMIT_LENGTH, -1))
        return sqlite3_result_error_toobig(ctx);
    resultText(ctx, QString(int(n), c));
}

QString intervalOf(sqlite3_value *v) { return argText(v).trimmed().toLower(); }

JET_FN(fnDateadd)
{
    UNUSED_ARGS;
    if (isNullArg(argv[1]))
        return;
    DateVal d = toDate(argv[2]);
    const Num num = toNum(argv[1]);
    if (!d.ok || !num.ok)
        return;
    const qint64 n = num.isInt ? num.i : roundHalfEven(num.d);
    const QString iv = intervalOf(argv[0]);
    if (iv == QLatin1String("yyyy"))
        d.date = d.date.addYears(int(n));
    else if (iv == QLatin1String("q"))
        d.date = d.date.addMonths(int(n * 3));
    else if (iv == QLatin1String("m"))
        d.date = d.date.addMonths(int(n));
    else if (iv == QLatin1String("d") || iv == QLatin1String("y") || iv == QLatin1String("w"))
        d.date = d.date.addDays(n);
    else if (iv == QLatin1String("ww"))
        d.date = d.date.addDays(n * 7);
    else if (iv == QLatin1String("h") || iv == QLatin1String("n") || iv == QLatin1String("s"))
        d = fromSeconds(totalSeconds(d) + n * (iv == QLatin1String("h") ? 3600 : iv == QLatin1String("n") ? 60 : 1));
    else
        return sqlite3_result_error(ctx, "dateadd: invalid interval", -1);
    if (d.date.isValid())
        resultText(ctx, dateText(d));
}

qint64 floorDiv(qint64 a, qint64 b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

JET_FN(fnDatediff)
{
    const DateVal a = toDate(argv[1]), b = toDate(argv[2]);
    if (!a.ok || !b.ok)
        return;
    const QString iv = intervalOf(argv[0]);
    const int firstDay = argc > 3 && !isNullArg(argv[3]) ? sqlite3_value_int(argv[3]) : 1;
    qint64 r;
    if (iv == QLatin1String("yyyy"))
        r = b.date.year() - a.date.year();
    else if (iv == QLatin1String("q"))
        r = (b.date.year() * 4 + (b.date.month() - 1) / 3) - (a.date.year() * 4 + (a.date.month() - 1) / 3);
    else if (iv == QLatin1String("m"))
        r = (b.date.year() * 12 + b.date.month()) - (a.date.year() * 12 + a.date.month());
    else if (iv == QLatin1String("d") || iv == QLatin1String("y"))
        r = a.date.daysTo(b.date);
    else if (iv == QLatin1String("w"))
        r = a.date.daysTo(b.date) / 7;
    else if (iv == QLatin1String("ww"))
        r = a.date.addDays(1 - jetWeekday(a.date, firstDay)).daysTo(b.date.addDays(1 - jetWeekday(b.date, firstDay))) / 7;
    else if (iv == QLatin1String("h"))
        r = floorDiv(totalSeconds(b), 3600) - floorDiv(totalSeconds(a), 3600);
    else if (iv == QLatin1String("n"))
        r = floorDiv(totalSeconds(b), 60) - floorDiv(totalSeconds(a), 60);
    else if (iv == QLatin1String("s"))
        r = totalSeconds(b) - totalSeconds(a);
    else
        return sqlite3_result_error(ctx, "datediff: invalid interval", -1);
    sqlite3_result_int64(ctx, r);
}

JET_FN(fnDatepart)
{
    const DateVal d = toDate(argv[1]);
    if (!d.ok)
        return;
    const QString iv = intervalOf(argv[0]);
    const int firstDay = argc > 2 && !isNullArg(argv[2]) ? sqlite3_value_int(argv[2]) : 1;
    int r;
    if (iv == QLatin1String("yyyy"))
        r = d.date.year();
    else if (iv == QLatin1String("q"))
        r = (d.date.month() - 1) / 3 + 1;
    else if (iv == QLatin1String("m"))
        r = d.date.month();
    else if (iv == QLatin1String("y"))
        r = d.date.dayOfYear();
    else if (iv == QLatin1String("d"))
        r = d.date.day();
    else if (iv == QLatin1String("w"))
        r = jetWeekday(d.date, firstDay);
    else if (iv == QLatin1String("ww"))
        r = weekOfYear(d.date, firstDay);
    else if (iv == QLatin1String("h"))
        r = d.time.hour();
    else if (iv == QLatin1String("n"))
        r = d.time.minute();
    else if (iv == QLatin1String("s"))
        r = d.time.second();
    else
        return sqlite3_result_error(ctx, "datepart: invalid interval", -1);
    sqlite3_result_int(ctx, r);
}

JET_FN(fnDateserial)
{
    UNUSED_ARGS;
    for (int k = 0; k < 3; ++k)
        if (isNullArg(argv[k]))
            return;
    int y = sqlite3_value_int(argv[0]);
    if (y >= 0 && y < 100)
        y = y < 30 ? 2000 + y : 1900 + y;
    const QDate d = QDate(y, 1, 1).addMonths(sqlite3_value_int(argv[1]) - 1).addDays(sqlite3_value_int(argv[2]) - 1);
    if (d.isValid())
        resultText(ctx, d.toString(QStringLiteral("yyyy-MM-dd")));
}

JET_FN(fnIsnumeric)
{
    UNUSED_ARGS;
    sqlite3_result_int(ctx, toNum(argv[0]).ok ? 1 : 0);
}

JET_FN(fnIsdate)
{
    UNUSED_ARGS;
    sqlite3_result_int(ctx, sqlite3_value_type(argv[0]) == SQLITE_TEXT && parseDateText(argText(argv[0])).ok ? 1 : 0);
}

JET_FN(fnSgn)
{
    UNUSED_ARGS;
    const Num n = toNum(argv[0]);
    if (n.ok)
        sqlite3_result_int(ctx, n.d > 0 ? 1 : n.d < 0 ? -1 : 0);
}

JET_FN(fnSqr)
{
    UNUSED_ARGS;
    const Num n = toNum(argv[0]);
    if (n.ok && n.d >= 0)
        sqlite3_result_double(ctx, std::sqrt(n.d));
}

JET_FN(fnAsc)
{
    UNUSED_ARGS;
    if (isNullArg(argv[0]))
        return;
    const QString s = valueText(argv[0]);
    if (!s.isEmpty())
        sqlite3_result_int(ctx, s.at(0).unicode());
}

JET_FN(fnChr)
{
    UNUSED_ARGS;
    if (isNullArg(argv[0]))
        return;
    const qint64 c = sqlite3_value_int64(argv[0]);
    if (c >= 0 && c <= 0xFFFF)
        resultText(ctx, QString(QChar(char16_t(c))));
}

JET_FN(fnMonthname)
{
    if (isNullArg(argv[0]))
        return;
    const int m = sqlite3_value_int(argv[0]);
    if (m < 1 || m > 12)
        return;
    const bool abbreviate = argc > 1 && truthy(argv[1]);
    resultText(ctx, QString::fromUtf8(abbreviate ? kMonthsShort[m - 1] : kMonths[m - 1]));
}

JET_FN(fnSwitch)
{
    for (int k = 0; k + 1 < argc; k += 2)
        if (truthy(argv[k]))
            return sqlite3_result_value(ctx, argv[k + 1]);
}

JET_FN(fnChoose)
{
    if (argc < 2 || isNullArg(argv[0]))
        return;
    const Num n = toNum(argv[0]);
    if (!n.ok)
        return;
    const qint64 i = n.isInt ? n.i : qint64(std::trunc(n.d));
    if (i >= 1 && i < argc)
        sqlite3_result_value(ctx, argv[i]);
}

// a & b: Null counts as "", and the result is Null only when every part is.
JET_FN(fnConcat)
{
    QString out;
    bool any = false;
    for (int k = 0; k < argc; ++k) {
        if (isNullArg(argv[k]))
            continue;
        any = true;
        out += valueText(argv[k]);
    }
    if (any)
        resultText(ctx, out);
}

// First and Last aggregates: the value of the first or last row of the group.
struct FirstLast {
    sqlite3_value *value;
    int seen;
};

template <bool Last>
void firstLastStep(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    auto *s = static_cast<FirstLast *>(sqlite3_aggregate_context(ctx, sizeof(FirstLast)));
    if (!s)
        return sqlite3_result_error_nomem(ctx);
    if (s->seen && !Last)
        return;
    sqlite3_value_free(s->value);
    s->value = sqlite3_value_dup(argv[0]);
    s->seen = 1;
}

void firstLastFinal(sqlite3_context *ctx)
{
    auto *s = static_cast<FirstLast *>(sqlite3_aggregate_context(ctx, 0));
    if (!s || !s->value)
        return;
    sqlite3_result_value(ctx, s->value);
    sqlite3_value_free(s->value);
    s->value = nullptr;
}

struct Function {
    const char *name;
    int nArg;
    void (*fn)(sqlite3_context *, int, sqlite3_value **);
    bool deterministic = true;
};

const Function kFunctions[] = {
    {"like", 2, likeFunc},
    {"like", 3, likeFunc},
    {"jet_clng", 1, fnClng},
    {"jet_cint", 1, fnCint},
    {"jet_cdbl", 1, fnCdbl},
    {"jet_csng", 1, fnCdbl},
    {"jet_ccur", 1, fnCcur},
    {"jet_cbool", 1, fnCbool},
    {"jet_cstr", 1, fnCstr},
    {"jet_cdate", 1, fnCdate},
    {"jet_datevalue", 1, fnDatevalue},
    {"jet_val", 1, fnVal},
    {"jet_nz", 1, fnNz},
    {"jet_nz", 2, fnNz},
    {"jet_ucase", 1, fnUcase},
    {"jet_lcase", 1, fnLcase},
    {"jet_mid", 2, fnMid},
    {"jet_mid", 3, fnMid},
    {"jet_left", 2, fnLeft},
    {"jet_right", 2, fnRight},
    {"jet_year", 1, fnDatePartOf<0>},
    {"jet_month", 1, fnDatePartOf<1>},
    {"jet_day", 1, fnDatePartOf<2>},
    {"jet_hour", 1, fnDatePartOf<3>},
    {"jet_minute", 1, fnDatePartOf<4>},
    {"jet_second", 1, fnDatePartOf<5>},
    {"jet_weekday", 1, fnWeekday},
    {"jet_weekday", 2, fnWeekday},
    {"jet_date", 0, fnDate, false},
    {"jet_now", 0, fnNow, false},
    {"jet_time", 0, fnTime, false},
    {"jet_format", 1, fnFormat},
    {"jet_format", 2, fnFormat},
    {"jet_format", 3, fnFormat},
    {"jet_format", 4, fnFormat},
    {"jet_round", 1, fnRound},
    {"jet_round", 2, fnRound},
    {"jet_int", 1, fnInt},
    {"jet_fix", 1, fnFix},
    {"jet_instr", 2, fnInstr},
    {"jet_instr", 3, fnInstr},
    {"jet_instr", 4, fnInstr},
    {"jet_space", 1, fnSpace},
    {"jet_string", 2, fnString},
    {"jet_dateadd", 3, fnDateadd},
    {"jet_datediff", 3, fnDatediff},
    {"jet_datediff", 4, fnDatediff},
    {"jet_datediff", 5, fnDatediff},
    {"jet_datepart", 2, fnDatepart},
    {"jet_datepart", 3, fnDatepart},
    {"jet_datepart", 4, fnDatepart},
    {"jet_dateserial", 3, fnDateserial},
    {"jet_isnumeric", 1, fnIsnumeric},
    {"jet_isdate", 1, fnIsdate},
    {"jet_sgn", 1, fnSgn},
    {"jet_sqr", 1, fnSqr},
    {"jet_asc", 1, fnAsc},
    {"jet_chr", 1, fnChr},
    {"jet_monthname", 1, fnMonthname},
    {"jet_monthname", 2, fnMonthname},
    {"jet_switch", -1, fnSwitch},
    {"jet_choose", -1, fnChoose},
    {"jet_concat", -1, fnConcat},
};

} // namespace

int compareNoCase(const QString &a, const QString &b)
{
    return compareUtf16(reinterpret_cast<const char16_t *>(a.utf16()), int(a.size()),
                        reinterpret_cast<const char16_t *>(b.utf16()), int(b.size()));
}

bool likeMatch(const QString &pattern, const QString &text)
{
    const auto *p = reinterpret_cast<const char16_t *>(pattern.utf16());
    const auto *t = reinterpret_cast<const char16_t *>(text.utf16());
    Pattern pat;
    compilePattern(Utf16{p, p + pattern.size()}, false, 0, pat);
    return likeCore(pat, Utf16{t, t + text.size()});
}

qint64 roundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 9.2e18)
        return std::numeric_limits<qint64>::max();
    if (value <= -9.2e18)
        return std::numeric_limits<qint64>::min();
    double f = std::floor(value);
    const double diff = value - f;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(f, 2.0) != 0))
        f += 1;
    return qint64(f);
}

int registerJetFunctions(sqlite3 *db)
{
    tables(); // build the folding tables now rather than inside the first query
    int rc = sqlite3_create_collation(db, kNoCaseCollation, SQLITE_UTF8, nullptr, collate);
    if (rc != SQLITE_OK)
        return rc;
    for (const Function &f : kFunctions) {
        const int flags = SQLITE_UTF8 | (f.deterministic ? SQLITE_DETERMINISTIC : 0);
        rc = sqlite3_create_function(db, f.name, f.nArg, flags, nullptr, f.fn, nullptr, nullptr);
        if (rc != SQLITE_OK)
            return rc;
    }
    const int aggFlags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    rc = sqlite3_create_function(db, "jet_first", 1, aggFlags, nullptr, nullptr, firstLastStep<false>, firstLastFinal);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function(db, "jet_last", 1, aggFlags, nullptr, nullptr, firstLastStep<true>, firstLastFinal);
    return rc;
}

} // namespace jet
