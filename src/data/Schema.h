#pragma once
// The shipped schema and rows, applied to a new database file.

#include <QString>

namespace db { class Connection; }

namespace data {

// Text of the shipped schema (tables, views, indexes, triggers) and of the shipped rows.
QString schemaSql();
QString seedSql();

// Applies schema and rows to an empty database, in one transaction.
void applySchema(db::Connection &c);

// Creates a new database file from the shipped schema. Refuses an existing file. Throws db::DbError.
void createDatabase(const QString &path);

} // namespace data
