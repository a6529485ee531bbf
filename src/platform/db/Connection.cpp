#include "platform/db/Connection.h"
#include "platform/db/JetSql.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTime>
#include <cmath>
#include <sqlite3.h>

namespace db {

namespace {

QString lastError(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

QDate parseIsoDate(const QString &s)
{
    return QDate::fromString(s.left(10), QStringLiteral("yyyy-MM-dd"));
}

QTime parseIsoTime(const QString &s)
{
    // A time alone ("14:37:00") or the time part of a date-time.
    const QString t = s.size() > 10 && s.at(10) == QLatin1Char(' ') ? s.mid(11) : s;
    QTime time = QTime::fromString(t.left(8), QStringLiteral("HH:mm:ss"));
    if (!time.isValid())
        time = QTime::fromString(t.left(5), QStringLiteral("HH:mm"));
    return time;
}

QVariant columnValue(sqlite3_stmt *stmt, int col)
{
    switch (sqlite3_column_type(stmt, col)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(stmt, col)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, col));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, col)),
                                          sqlite3_column_bytes(stmt, col)));
    case SQLITE_BLOB: {
        const void *p = sqlite3_column_blob(stmt, col);
        return QVariant(QByteArray(static_cast<const char *>(p), sqlite3_column_bytes(stmt, col)));
    }
    default:
        return QVariant();
    }
}

} // namespace

FieldType fieldTypeFromDecl(const QString &declType, int *size)
{
    const QString d = declType.trimmed().toUpper();
    if (size)
        *size = 0;
    if (d.isEmpty())
        return FieldType::Unknown;
    if (d.startsWith(QLatin1String("TEXT")) || d.startsWith(QLatin1String("VARCHAR")) || d.startsWith(QLatin1String("CHAR"))) {
        static const QRegularExpression re(QStringLiteral("\\((\\d+)\\)"));
        const auto m = re.match(d);
        if (size && m.hasMatch())
            *size = m.captured(1).toInt();
        return FieldType::Text;
    }
    if (d == QLatin1String("LONGTEXT") || d == QLatin1String("MEMO"))
        return FieldType::Memo;
    if (d == QLatin1String("SMALLINT"))
        return FieldType::SmallInt;
    if (d.contains(QLatin1String("INT")))
        return FieldType::Integer;
    if (d == QLatin1String("BOOLEAN"))
        return FieldType::Boolean;
    if (d == QLatin1String("CURRENCY"))
        return FieldType::Currency;
    if (d == QLatin1String("DOUBLE") || d == QLatin1String("REAL") || d == QLatin1String("FLOAT"))
        return FieldType::Double;
    if (d == QLatin1String("DATE"))
        return FieldType::Date;
    if (d == QLatin1String("TIME"))
        return FieldType::Time;
    if (d == QLatin1String("DATETIME"))
        return FieldType::DateTime;
    if (d.contains(QLatin1String("BLOB")))
        return FieldType::Blob;
    return FieldType::Unknown;
}

// ---- Statement -------------------------------------------------------------------------------

sqlite3_stmt *StatementPool::take(const QString &sql) { return m_free.take(sql); }

bool StatementPool::give(const QString &sql, sqlite3_stmt *stmt)
{
    if (m_free.contains(sql) || m_free.size() >= 64)
        return false;
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    m_free.insert(sql, stmt);
    return true;
}

void StatementPool::clear()
{
    for (sqlite3_stmt *st : std::as_const(m_free))
        sqlite3_finalize(st);
    m_free.clear();
}

Statement::Statement(sqlite3 *db, sqlite3_stmt *stmt, QString sql, const QHash<QString, FieldType> *computedTypes,
                     std::weak_ptr<StatementPool> pool)
    : m_db(db), m_stmt(stmt), m_sql(std::move(sql)), m_computed(computedTypes), m_pool(std::move(pool))
{
}

Statement::Statement(Statement &&o) noexcept
    : m_db(o.m_db), m_stmt(o.m_stmt), m_sql(std::move(o.m_sql)), m_computed(o.m_computed), m_pool(std::move(o.m_pool)),
      m_types(std::move(o.m_types))
{
    o.m_stmt = nullptr;
}

Statement &Statement::operator=(Statement &&o) noexcept
{
    if (this != &o) {
        finalize();
        m_db = o.m_db;
        m_stmt = o.m_stmt;
        m_sql = std::move(o.m_sql);
        m_computed = o.m_computed;
        m_pool = std::move(o.m_pool);
        m_types = std::move(o.m_types);
        o.m_stmt = nullptr;
    }
    return *this;
}

Statement::~Statement() { finalize(); }

void Statement::finalize()
{
    if (m_stmt) {
        const auto pool = m_pool.lock();
        if (!pool || !pool->give(m_sql, m_stmt))
            sqlite3_finalize(m_stmt);
    }
    m_stmt = nullptr;
}

void Statement::bind(int index, const QVariant &v)
{
    int rc = SQLITE_OK;
    if (!v.isValid() || v.isNull()) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else {
        switch (v.typeId()) {
        case QMetaType::Bool:
            rc = sqlite3_bind_int(m_stmt, index, v.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
            rc = sqlite3_bind_int64(m_stmt, index, v.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_stmt, index, v.toDouble());
            break;
        case QMetaType::QDate:
            rc = sqlite3_bind_text(m_stmt, index, v.toDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8().constData(), -1, SQLITE_TRANSIENT);
            break;
        case QMetaType::QTime:
            rc = sqlite3_bind_text(m_stmt, index, v.toTime().toString(QStringLiteral("HH:mm:ss")).toUtf8().constData(), -1, SQLITE_TRANSIENT);
            break;
        case QMetaType::QDateTime:
            rc = sqlite3_bind_text(m_stmt, index, v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8().constData(), -1, SQLITE_TRANSIENT);
            break;
        case QMetaType::QByteArray: {
            const QByteArray b = v.toByteArray();
            rc = sqlite3_bind_blob(m_stmt, index, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray t = v.toString().toUtf8();
            rc = sqlite3_bind_text(m_stmt, index, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK)
        throw DbError(lastError(m_db), rc);
}

bool Statement::step()
{
    if (!m_stmt)
        return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const QString msg = lastError(m_db);
    sqlite3_reset(m_stmt);
    throw DbError(msg, rc);
}

void Statement::reset()
{
    if (m_stmt) {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
}

int Statement::columnCount() const { return m_stmt ? sqlite3_column_count(m_stmt) : 0; }

QVector<ColumnInfo> Statement::columns() const
{
    QVector<ColumnInfo> out;
    const int n = columnCount();
    out.reserve(n);
    for (int i = 0; i < n; ++i) {
        ColumnInfo c;
        c.name = QString::fromUtf8(sqlite3_column_name(m_stmt, i));
        c.declType = QString::fromUtf8(sqlite3_column_decltype(m_stmt, i));
        c.table = QString::fromUtf8(sqlite3_column_table_name(m_stmt, i));
        c.type = fieldTypeFromDecl(c.declType, &c.size);
        if (c.type == FieldType::Unknown && m_computed)
            c.type = m_computed->value(c.name.toUpper(), FieldType::Unknown);
        out.push_back(c);
    }
    return out;
}

QVariant Statement::rawValue(int column) const { return columnValue(m_stmt, column); }

QVariant Statement::value(int column) const
{
    if (m_types.isEmpty()) {
        for (const ColumnInfo &c : columns())
            m_types.push_back(c.type);
    }
    return convertStored(columnValue(m_stmt, column), column < m_types.size() ? m_types[column] : FieldType::Unknown);
}

QVariant convertStored(const QVariant &raw, FieldType type)
{
    if (raw.isNull())
        return raw;
    switch (type) {
    case FieldType::Date:
        if (raw.typeId() == QMetaType::QString) {
            const QDate d = parseIsoDate(raw.toString());
            return d.isValid() ? QVariant(d) : raw;
        }
        return raw;
    case FieldType::Time:
        if (raw.typeId() == QMetaType::QString) {
            const QTime t = parseIsoTime(raw.toString());
            return t.isValid() ? QVariant(t) : raw;
        }
        return raw;
    case FieldType::DateTime:
        if (raw.typeId() == QMetaType::QString) {
            const QString s = raw.toString();
            const QDate d = parseIsoDate(s);
            if (!d.isValid())
                return raw;
            const QTime t = s.size() > 10 ? parseIsoTime(s) : QTime(0, 0);
            return QDateTime(d, t.isValid() ? t : QTime(0, 0));
        }
        return raw;
    case FieldType::Boolean:
        return QVariant(raw.toLongLong() != 0);
    case FieldType::Currency:
    case FieldType::Double:
        return QVariant(raw.toDouble());
    case FieldType::Integer:
    case FieldType::SmallInt:
        return raw.typeId() == QMetaType::LongLong ? raw : QVariant(raw.toLongLong());
    default:
        return raw;
    }
}

QVariant toStorage(const QVariant &v, FieldType type)
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    switch (type) {
    case FieldType::Date:
    case FieldType::DateTime:
    case FieldType::Time: {
        if (v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QTime || v.typeId() == QMetaType::QDateTime) {
            if (type == FieldType::Date && v.typeId() == QMetaType::QDateTime)
                return v.toDateTime().date();
            if (type == FieldType::Time && v.typeId() == QMetaType::QDateTime)
                return v.toDateTime().time();
            return v;
        }
        const QString s = v.toString().trimmed();
        if (s.isEmpty() || s == QLatin1String("/  /") || s == QLatin1String("  /  /    "))
            return QVariant();
        // Typed dates are day/month/year; stored ones are ISO.
        if (type == FieldType::Time) {
            QTime t = QTime::fromString(s, QStringLiteral("HH:mm:ss"));
            if (!t.isValid())
                t = QTime::fromString(s, QStringLiteral("HH:mm"));
            return t.isValid() ? QVariant(t) : QVariant(s);
        }
        QDate d = QDate::fromString(s.left(10), QStringLiteral("dd/MM/yyyy"));
        if (!d.isValid())
            d = parseIsoDate(s);
        if (!d.isValid())
            return QVariant(s); // let the engine keep what was given rather than lose it
        if (type == FieldType::Date)
            return d;
        const QTime t = s.size() > 10 ? parseIsoTime(s) : QTime(0, 0);
        return QDateTime(d, t.isValid() ? t : QTime(0, 0));
    }
    case FieldType::Boolean: {
        if (v.typeId() == QMetaType::QString) {
            const QString s = v.toString().trimmed().toUpper();
            return QVariant(s == QLatin1String("TRUE") || s == QLatin1String("1") || s == QLatin1String("-1") || s == QLatin1String("SIM"));
        }
        return QVariant(v.toBool());
    }
    case FieldType::Currency: {
        bool ok = false;
        double d = v.typeId() == QMetaType::QString ? QLocale(QLocale::Portuguese, QLocale::Brazil).toDouble(v.toString(), &ok) : v.toDouble(&ok);
        if (!ok && v.typeId() == QMetaType::QString)
            d = v.toString().toDouble(&ok);
        if (!ok)
            return v;
        return QVariant(std::round(d * 10000.0) / 10000.0);
    }
    case FieldType::Integer:
    case FieldType::SmallInt: {
        bool ok = false;
        const qint64 i = v.toLongLong(&ok);
        return ok ? QVariant(i) : v;
    }
    default:
        return v;
    }
}

// ---- Connection ------------------------------------------------------------------------------

Connection::Connection(sqlite3 *db, QString path) : m_db(db), m_path(std::move(path)) {}

Connection::~Connection()
{
    m_pool->clear();
    if (m_db)
        sqlite3_close_v2(m_db);
}

std::unique_ptr<Connection> Connection::open(const QString &path, bool create)
{
    if (!create && path != QLatin1String(":memory:") && !QFile::exists(path))
        throw DbError(QStringLiteral("O arquivo de banco de dados não existe: %1").arg(path), SQLITE_CANTOPEN);
    sqlite3 *db = nullptr;
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX;
    if (create)
        flags |= SQLITE_OPEN_CREATE;
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = db ? lastError(db) : QStringLiteral("out of memory");
        sqlite3_close_v2(db);
        throw DbError(msg, rc);
    }
    sqlite3_extended_result_codes(db, 1);
    // Another workstation may hold the file for a moment; wait rather than fail at once.
    sqlite3_busy_timeout(db, 5000);
    rc = jet::registerJetFunctions(db);
    if (rc != SQLITE_OK) {
        const QString msg = lastError(db);
        sqlite3_close_v2(db);
        throw DbError(msg, rc);
    }
    std::unique_ptr<Connection> c(new Connection(db, path));
    try {
        c->executeScript(QStringLiteral("PRAGMA foreign_keys=ON; PRAGMA recursive_triggers=ON;"));
        // Readers never block the writer, and an open list does not hold up a save elsewhere.
        c->executeScript(QStringLiteral("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"));
        // A database file holds personal data: only its owner may read it.
        if (path != QLatin1String(":memory:"))
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        c->loadComputedColumnTypes();
    } catch (const DbError &) {
        throw;
    }
    return c;
}

Statement Connection::prepareNative(const QString &sql)
{
    sqlite3_stmt *stmt = m_pool->take(sql);
    if (stmt)
        return Statement(m_db, stmt, sql, &m_computedTypes, m_pool);
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v3(m_db, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK)
        throw DbError(lastError(m_db), rc);
    if (!stmt) // an empty statement (only blanks or comments)
        throw DbError(QStringLiteral("Comando SQL vazio"), SQLITE_MISUSE);
    return Statement(m_db, stmt, sql, &m_computedTypes, m_pool);
}

Statement Connection::prepare(const QString &jetSql)
{
    auto it = m_translated.constFind(jetSql);
    if (it == m_translated.cend()) {
        if (m_translated.size() >= 1000)
            m_translated.clear();
        it = m_translated.insert(jetSql, jet::translate(jetSql));
    }
    return prepareNative(*it);
}

int Connection::execute(const QString &jetSql, const QVariantList &params)
{
    Statement st = prepare(jetSql);
    for (int i = 0; i < params.size(); ++i)
        st.bind(i + 1, params.at(i));
    while (st.step()) {
    }
    return sqlite3_changes(m_db);
}

void Connection::executeScript(const QString &sql)
{
    char *err = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const QString msg = err ? QString::fromUtf8(err) : lastError(m_db);
        sqlite3_free(err);
        throw DbError(msg, rc);
    }
}

QVariant Connection::scalar(const QString &jetSql)
{
    Statement st = prepare(jetSql);
    if (!st.step())
        return QVariant();
    return st.value(0);
}

qint64 Connection::lastInsertId() const { return sqlite3_last_insert_rowid(m_db); }
int Connection::changes() const { return sqlite3_changes(m_db); }
bool Connection::inTransaction() const { return sqlite3_get_autocommit(m_db) == 0; }
void Connection::begin() { executeScript(QStringLiteral("BEGIN IMMEDIATE")); }
void Connection::commit() { executeScript(QStringLiteral("COMMIT")); }
void Connection::rollback()
{
    if (inTransaction())
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

bool Connection::schemaObjectExists(const QString &name, bool viewsOnly) const
{
    sqlite3_stmt *st = nullptr;
    const char *sql = viewsOnly ? "select 1 from sqlite_master where type='view' and name=?1 collate nocase"
                                : "select 1 from sqlite_master where type in ('table','view') and name=?1 collate nocase";
    sqlite3_prepare_v2(m_db, sql, -1, &st, nullptr);
    const QByteArray n = name.toUtf8();
    sqlite3_bind_text(st, 1, n.constData(), -1, SQLITE_TRANSIENT);
    const bool found = sqlite3_step(st) == SQLITE_ROW;
    sqlite3_finalize(st);
    return found;
}

bool Connection::tableExists(const QString &name) const { return schemaObjectExists(name, false); }
bool Connection::isView(const QString &name) const { return schemaObjectExists(name, true); }

void Connection::loadComputedColumnTypes()
{
    // A schema change invalidates what was prepared and how columns were typed.
    m_pool->clear();
    m_computedTypes.clear();
    if (!tableExists(QStringLiteral("kova_tipos_colunas")))
        return;
    Statement st = prepareNative(QStringLiteral("select coluna, tipo from kova_tipos_colunas"));
    while (st.step())
        m_computedTypes.insert(st.rawValue(0).toString().toUpper(), fieldTypeFromDecl(st.rawValue(1).toString()));
}

void Connection::reloadSchemaInfo() { loadComputedColumnTypes(); }

FieldType Connection::computedColumnType(const QString &column) const
{
    return m_computedTypes.value(column.toUpper(), FieldType::Unknown);
}

// ---- Transaction -----------------------------------------------------------------------------

Transaction::Transaction(Connection &c) : m_c(c)
{
    if (!c.inTransaction()) {
        c.begin();
        m_owner = true;
    }
}

Transaction::~Transaction()
{
    if (m_owner && !m_done)
        m_c.rollback();
}

void Transaction::commit()
{
    if (m_owner && !m_done)
        m_c.commit();
    m_done = true;
}

QString quoted(const QString &text)
{
    QString s = text;
    s.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + s + QLatin1Char('\'');
}

} // namespace db
