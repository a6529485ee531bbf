#pragma once
// A dataset in the manner of the ADO datasets the windows were written against: opened from Jet SQL
// or a table name, rows fetched as they are needed, fields by case-insensitive name, and
// append/edit/post/cancel/delete on the base table of the statement.

#include "platform/db/Connection.h"

#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <optional>

namespace db {

class Dataset;

struct LocateOptions {
    bool caseInsensitive = true;
    bool partialKey = false;
};

struct Field {
    QString name;
    FieldType type = FieldType::Unknown;
    int size = 0;          // characters, for text
    bool inBaseTable = false;
};

// A view of one field of the current row (or of the edit buffer), as ADO's TField.
class FieldRef {
public:
    FieldRef(Dataset *ds, int index) : m_ds(ds), m_index(index) {}
    bool isValid() const { return m_index >= 0; }
    QVariant value() const;
    void setValue(const QVariant &v) const;
    bool isNull() const;
    QString asString() const;
    qint64 asInteger() const;
    double asFloat() const;
    bool asBoolean() const;
    QDate asDate() const;
    const Field &info() const;

private:
    Dataset *m_ds;
    int m_index;
};

class Dataset : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    using LocateOptions = db::LocateOptions;

    explicit Dataset(const QString &name = QString(), Connection *connection = nullptr, QObject *parent = nullptr);
    ~Dataset() override;

    void setConnection(Connection *c);
    Connection *connection() const { return m_conn; }

    // The statement (Jet SQL). Setting it closes the dataset.
    void setSql(const QString &jetSql);
    const QString &sql() const { return m_sql; }
    // Opens a whole table, as a table dataset does.
    void setTableName(const QString &table);

    void open();
    void open(const QString &jetSql) { setSql(jetSql); open(); }
    void close();
    bool isOpen() const { return m_state != State::Inactive; }
    // Runs the statement again and returns to the row that was current (by ID), or the first.
    void requery();

    // Client-side order ("nome, codigo desc") and filter ("[Status]=1", "[Nome] like '*ana*'").
    void setSort(const QString &sort);
    const QString &sort() const { return m_sort; }
    void setFilter(const QString &filter);
    const QString &filter() const { return m_filter; }

    State state() const { return m_state; }
    int recordCount();
    bool isEmpty();
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    int recNo() const { return m_cur; } // 0-based, -1 when empty
    void first();
    void last();
    void next();
    void prior();
    bool moveTo(int row);

    int fieldCount() const { return int(m_fields.size()); }
    const QVector<Field> &fields() const { return m_fields; }
    int fieldIndex(const QString &name) const;
    FieldRef field(const QString &name);
    FieldRef field(int index) { return FieldRef(this, index); }
    FieldRef operator[](const QString &name) { return field(name); }
    QVariant value(const QString &name) const;
    void setValue(const QString &name, const QVariant &value);

    void append();
    void edit();
    // Writes the edit buffer to the base table; a new row gets its ID back from the engine.
    void post();
    void cancel();
    void remove();
    bool isModified() const { return m_modified; }
    QString baseTable() const { return m_baseTable; }

    bool locate(const QString &fieldName, const QVariant &value, LocateOptions options = {});

    // Rows fetched so far; the grid model shows these and asks for more.
    int fetchedCount() const { return int(m_rows.size()); }
    bool canFetchMore() const { return m_stmt.isValid(); }
    void fetchMore(int count = 256);
    void fetchAll();
    QVariant valueAt(int row, int column) const;
    QVariant valueAt(int row, int column, bool buffered) const;

signals:
    void opened();
    void closed();
    void reset();                      // all rows replaced (open, requery, sort, filter)
    void rowsFetched(int first, int last);
    void rowInserted(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    void currentChanged(int row);      // after scroll
    void stateChanged(db::Dataset::State state);
    void fieldChanged(const QString &name);

private:
    friend class FieldRef;
    QString effectiveSql() const;
    void execute();
    void setState(State s);
    void setCurrent(int row, bool force = false);
    void ensureFetched(int row);
    int idIndex() const;
    void refreshRowFromTable(QVector<QVariant> &row, qint64 id);
    void checkBrowse(const char *what) const;
    void checkOpen(const char *what) const;

    Connection *m_conn = nullptr;
    QString m_sql;
    QString m_sort;
    QString m_filter;
    QString m_baseTable;
    State m_state = State::Inactive;
    QVector<Field> m_fields;
    QVector<QVector<QVariant>> m_rows;
    Statement m_stmt;               // still open while rows remain to fetch
    std::optional<int> m_serverCount;
    int m_localDelta = 0;           // rows appended or deleted since the count was taken
    int m_cur = -1;
    bool m_eof = true;
    bool m_bof = true;
    QVector<QVariant> m_buffer;
    QVector<bool> m_dirty;
    bool m_modified = false;
};

// Turns a dataset filter expression into Jet SQL: '*' wildcards of like become '%'.
QString filterToSql(const QString &filter);

// The statement without its final top-level ORDER BY (for counting).
QString withoutTrailingOrderBy(const QString &sql);

} // namespace db
