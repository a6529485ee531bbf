#pragma once
// One connection to a database file over the SQLite C API. All SQL given to it is Jet SQL and is
// translated before it runs (see JetSql.h).

#include <QString>
#include <QVariant>
#include <QHash>
#include <QVector>
#include <memory>
#include <stdexcept>

struct sqlite3;
struct sqlite3_stmt;

namespace db {

// An error the database engine raised; what() and message() carry the engine's own message.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString &message, int code = 0)
        : std::runtime_error(message.toStdString()), m_message(message), m_code(code) {}
    QString message() const { return m_message; }
    int code() const { return m_code; }

private:
    QString m_message;
    int m_code;
};

// Declared kind of a column, from its declared type in the schema.
enum class FieldType { Unknown, Integer, SmallInt, Boolean, Currency, Double, Text, Memo, Date, Time, DateTime, Blob };

struct ColumnInfo {
    QString name;       // as the statement names it
    QString declType;   // declared type, empty for expressions
    QString table;      // origin table, empty for expressions
    FieldType type = FieldType::Unknown;
    int size = 0;       // characters of a TEXT(n) column
};

FieldType fieldTypeFromDecl(const QString &declType, int *size = nullptr);

// A stored value as the program sees it (ISO date text to QDate, 0/1 to bool ...), and back.
QVariant convertStored(const QVariant &raw, FieldType type);
QVariant toStorage(const QVariant &value, FieldType type);

// Prepared statements a connection keeps for reuse, by SQL text: the program runs the same few
// statements over and over (the access log, look-ups), and preparing is most of their cost.
class StatementPool {
public:
    ~StatementPool() { clear(); }
    sqlite3_stmt *take(const QString &sql);
    // Keeps a finished statement for the next use of the same text; false when it was not kept.
    bool give(const QString &sql, sqlite3_stmt *stmt);
    void clear();

private:
    QHash<QString, sqlite3_stmt *> m_free;
};

// A prepared statement; steps lazily. Move-only.
class Statement {
public:
    Statement() = default;
    Statement(sqlite3 *db, sqlite3_stmt *stmt, QString sql, const QHash<QString, FieldType> *computedTypes = nullptr,
              std::weak_ptr<StatementPool> pool = {});
    Statement(Statement &&other) noexcept;
    Statement &operator=(Statement &&other) noexcept;
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    ~Statement();

    bool isValid() const { return m_stmt != nullptr; }
    void bind(int index, const QVariant &value); // 1-based
    // Advances to the next row; false at the end. Throws DbError on failure.
    bool step();
    void reset();
    int columnCount() const;
    // Columns with their kinds; a computed view column takes its kind from the schema's table.
    QVector<ColumnInfo> columns() const;
    // The current row's value, converted by the column's declared type (dates to QDate ...).
    QVariant value(int column) const;
    QVariant rawValue(int column) const;
    const QString &sql() const { return m_sql; }
    sqlite3_stmt *handle() const { return m_stmt; }

private:
    void finalize();
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    QString m_sql;
    const QHash<QString, FieldType> *m_computed = nullptr; // types of computed view columns
    std::weak_ptr<StatementPool> m_pool;
    mutable QVector<FieldType> m_types;
};

class Connection {
public:
    // Opens (or, with create, creates) a database file. Throws DbError.
    static std::unique_ptr<Connection> open(const QString &path, bool create = false);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Translates jetSql and prepares it. Throws DbError carrying the engine's message.
    Statement prepare(const QString &jetSql);
    // Prepares SQL that is already SQLite's own (no translation).
    Statement prepareNative(const QString &sql);
    // Runs one Jet statement; returns the number of rows it changed.
    int execute(const QString &jetSql, const QVariantList &params = {});
    // Runs a script of native SQLite statements (schema resources).
    void executeScript(const QString &sql);
    // Runs a query and returns the first column of its first row (invalid when no row).
    QVariant scalar(const QString &jetSql);

    qint64 lastInsertId() const;
    int changes() const;
    bool inTransaction() const;
    void begin();
    void commit();
    void rollback();

    bool tableExists(const QString &name) const;
    bool isView(const QString &name) const;
    // Declared types of computed view columns (by column name), kept in the schema's own table.
    FieldType computedColumnType(const QString &column) const;
    // Re-reads what the schema says of itself (after a schema is applied).
    void reloadSchemaInfo();

    const QString &path() const { return m_path; }
    sqlite3 *handle() const { return m_db; }

private:
    Connection(sqlite3 *db, QString path);
    void loadComputedColumnTypes();
    bool schemaObjectExists(const QString &name, bool viewsOnly) const;
    sqlite3 *m_db = nullptr;
    QString m_path;
    QHash<QString, FieldType> m_computedTypes; // keys upper-cased
    std::shared_ptr<StatementPool> m_pool = std::make_shared<StatementPool>();
    QHash<QString, QString> m_translated;       // Jet text -> SQLite text
};

// Commits on commit(), rolls back when destroyed without it. Nested use joins the outer one.
class Transaction {
public:
    explicit Transaction(Connection &c);
    ~Transaction();
    void commit();

private:
    Connection &m_c;
    bool m_owner = false;
    bool m_done = false;
};

// Doubles single quotes and wraps the text in them: every value a user typed goes into SQL through this.
QString quoted(const QString &text);

} // namespace db
