#pragma once
// The Jet SQL dialect on SQLite.
//
// Every statement the program runs is written in Jet SQL (date literals #mm/dd/yyyy#, iif, isnull,
// clng, len, bracketed names, double-quoted text, parenthesised joins ...). translate() turns one
// statement into SQLite SQL just before it runs; registerJetFunctions() installs, on a connection,
// the functions, the LIKE and the collation that the translated text relies on.

#include <QString>

struct sqlite3;

namespace jet {

// Name of the collation every text column of the schema declares: case-insensitive for all of
// Unicode, accents kept ("joão" = "JOÃO", "joão" <> "joao"). Stored in database files: never rename.
inline constexpr const char *kNoCaseCollation = "UNICODE_NOCASE";

// Translates one Jet SQL statement (or a ';'-separated script) to SQLite SQL.
// Never throws; text it does not understand passes through unchanged, so that SQLite reports it.
QString translate(const QString &jetSql);

// Registers the collation kNoCaseCollation, a Unicode case-insensitive like(), and the jet_*
// functions that translate() emits. Returns an SQLite result code (SQLITE_OK on success).
int registerJetFunctions(sqlite3 *db);

// Compares two UTF-16 strings as the collation does (<0, 0, >0).
int compareNoCase(const QString &a, const QString &b);

// Jet's LIKE on text: '%' any run, '_' one character, case-insensitive as the collation.
bool likeMatch(const QString &pattern, const QString &text);

// Jet's CLng rounding: to nearest, halves to even.
qint64 roundHalfEven(double value);

} // namespace jet
