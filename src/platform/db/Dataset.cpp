#include "platform/db/Dataset.h"
#include "platform/db/JetSql.h"

#include <QDate>
#include <QRegularExpression>

namespace db {

namespace {

constexpr int kFirstBatch = 128;

// The first table named after the top-level FROM of a simple select ("select * from fichas where ...").
QString firstFromTable(const QString &sql)
{
    static const QRegularExpression re(QStringLiteral("^\\s*select\\s+.*?\\bfrom\\s+\\[?([A-Za-z_][A-Za-z0-9_]*)\\]?"),
                                       QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto m = re.match(sql);
    return m.hasMatch() ? m.captured(1) : QString();
}

bool equalsVariant(const QVariant &stored, const QVariant &wanted, Dataset::LocateOptions o)
{
    if (stored.isNull() || !stored.isValid())
        return wanted.isNull() || !wanted.isValid();
    const int st = stored.typeId();
    if (st == QMetaType::LongLong || st == QMetaType::Double || st == QMetaType::Bool) {
        bool ok = false;
        const double w = wanted.toDouble(&ok);
        if (ok && !o.partialKey)
            return stored.toDouble() == w;
    }
    QString s = st == QMetaType::QDate ? stored.toDate().toString(QStringLiteral("dd/MM/yyyy")) : stored.toString();
    QString w = wanted.typeId() == QMetaType::QDate ? wanted.toDate().toString(QStringLiteral("dd/MM/yyyy")) : wanted.toString();
    if (o.partialKey) {
        if (s.size() < w.size())
            return false;
        s.truncate(w.size());
    }
    return o.caseInsensitive ? jet::compareNoCase(s, w) == 0 : s == w;
}

} // namespace

QString withoutTrailingOrderBy(const QString &sql)
{
    // The last "order by" outside quotes, brackets and parentheses, when nothing but its terms follows.
    int depth = 0;
    int lastOrder = -1;
    const int n = int(sql.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[') || c == QLatin1Char('#')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            for (++i; i < n && sql.at(i) != close; ++i) {
            }
            continue;
        }
        if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')'))
            --depth;
        else if (depth == 0 && (c == QLatin1Char('o') || c == QLatin1Char('O')) && (i == 0 || !sql.at(i - 1).isLetterOrNumber())) {
            static const QRegularExpression re(QStringLiteral("^order\\s+by\\b"), QRegularExpression::CaseInsensitiveOption);
            if (re.match(QStringView(sql).mid(i)).hasMatch())
                lastOrder = i;
        }
    }
    if (lastOrder < 0)
        return sql;
    static const QRegularExpression tail(QStringLiteral("\\b(limit|union|having|where|from)\\b"), QRegularExpression::CaseInsensitiveOption);
    if (tail.match(QStringView(sql).mid(lastOrder)).hasMatch())
        return sql;
    return sql.left(lastOrder);
}

// ---- FieldRef --------------------------------------------------------------------------------

QVariant FieldRef::value() const
{
    if (m_index < 0)
        return QVariant();
    if (m_ds->m_state == Dataset::State::Edit || m_ds->m_state == Dataset::State::Insert)
        return m_ds->m_buffer.value(m_index);
    return m_ds->valueAt(m_ds->m_cur, m_index);
}

void FieldRef::setValue(const QVariant &v) const
{
    if (m_index < 0)
        throw DbError(QStringLiteral("Campo inexistente"));
    m_ds->setValue(m_ds->m_fields[m_index].name, v);
}

bool FieldRef::isNull() const
{
    const QVariant v = value();
    return !v.isValid() || v.isNull();
}

QString FieldRef::asString() const
{
    const QVariant v = value();
    switch (v.typeId()) {
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return v.toString();
    }
}

qint64 FieldRef::asInteger() const { return value().toLongLong(); }
double FieldRef::asFloat() const { return value().toDouble(); }
bool FieldRef::asBoolean() const { return value().toBool(); }
QDate FieldRef::asDate() const
{
    const QVariant v = value();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date();
    return v.toDate();
}

const Field &FieldRef::info() const
{
    static const Field none;
    return m_index >= 0 ? m_ds->m_fields[m_index] : none;
}

// ---- Dataset ---------------------------------------------------------------------------------

Dataset::Dataset(const QString &name, Connection *connection, QObject *parent) : QObject(parent), m_conn(connection)
{
    setObjectName(name);
}

Dataset::~Dataset() = default;

void Dataset::setConnection(Connection *c)
{
    close();
    m_conn = c;
}

void Dataset::setSql(const QString &jetSql)
{
    close();
    m_sql = jetSql;
}

void Dataset::setTableName(const QString &table) { setSql(QStringLiteral("select * from ") + table); }

QString Dataset::effectiveSql() const
{
    if (m_sort.trimmed().isEmpty() && m_filter.trimmed().isEmpty())
        return m_sql;
    QString sql = QStringLiteral("select * from (") + m_sql + QStringLiteral(")");
    if (!m_filter.trimmed().isEmpty())
        sql += QStringLiteral(" where ") + filterToSql(m_filter);
    if (!m_sort.trimmed().isEmpty())
        sql += QStringLiteral(" order by ") + m_sort;
    return sql;
}

void Dataset::checkOpen(const char *what) const
{
    if (m_state == State::Inactive)
        throw DbError(QStringLiteral("%1: o conjunto de dados %2 está fechado").arg(QLatin1String(what), objectName()));
}

void Dataset::checkBrowse(const char *what) const
{
    checkOpen(what);
    if (m_state != State::Browse)
        throw DbError(QStringLiteral("%1: o conjunto de dados %2 está em edição").arg(QLatin1String(what), objectName()));
}

void Dataset::execute()
{
    if (!m_conn)
        throw DbError(QStringLiteral("Sem conexão com o banco de dados"));
    const QString sql = effectiveSql();
    Statement st = m_conn->prepare(sql);
    const QVector<ColumnInfo> cols = st.columns();
    m_fields.clear();
    m_fields.reserve(cols.size());
    const QString from = firstFromTable(m_sql);
    m_baseTable = (!from.isEmpty() && m_conn->tableExists(from) && !m_conn->isView(from)) ? from : QString();
    for (const ColumnInfo &c : cols) {
        Field f;
        f.name = c.name;
        f.type = c.type;
        f.size = c.size;
        f.inBaseTable = !m_baseTable.isEmpty() && c.table.compare(m_baseTable, Qt::CaseInsensitive) == 0;
        m_fields.push_back(f);
    }
    m_rows.clear();
    m_serverCount.reset();
    m_localDelta = 0;
    m_stmt = std::move(st);
    fetchMore(kFirstBatch);
}

void Dataset::fetchMore(int count)
{
    if (!m_stmt.isValid())
        return;
    const int first = int(m_rows.size());
    const int n = int(m_fields.size());
    try {
        for (int i = 0; i < count; ++i) {
            if (!m_stmt.step()) {
                m_stmt = Statement();
                break;
            }
            QVector<QVariant> row(n);
            for (int c = 0; c < n; ++c)
                row[c] = convertStored(m_stmt.rawValue(c), m_fields[c].type);
            m_rows.push_back(std::move(row));
        }
    } catch (...) {
        m_stmt = Statement();
        throw;
    }
    if (int(m_rows.size()) > first && m_state != State::Inactive)
        emit rowsFetched(first, int(m_rows.size()) - 1);
}

void Dataset::fetchAll()
{
    while (m_stmt.isValid())
        fetchMore(4096);
}

void Dataset::ensureFetched(int row)
{
    while (row >= int(m_rows.size()) && m_stmt.isValid())
        fetchMore(std::max(kFirstBatch, row + 1 - int(m_rows.size())));
}

void Dataset::open()
{
    if (m_state != State::Inactive)
        return;
    execute();
    m_state = State::Browse;
    m_cur = -1;
    m_bof = true;
    m_eof = m_rows.isEmpty();
    emit opened();
    emit reset();
    setCurrent(m_rows.isEmpty() ? -1 : 0, true);
    emit stateChanged(m_state);
}

void Dataset::close()
{
    if (m_state == State::Inactive)
        return;
    m_stmt = Statement();
    m_rows.clear();
    m_buffer.clear();
    m_dirty.clear();
    m_modified = false;
    m_cur = -1;
    m_eof = m_bof = true;
    m_state = State::Inactive;
    emit closed();
    emit reset();
    emit stateChanged(m_state);
}

int Dataset::idIndex() const { return fieldIndex(QStringLiteral("ID")); }

void Dataset::requery()
{
    checkOpen("Requery");
    if (m_state != State::Browse)
        cancel();
    const int idCol = idIndex();
    QVariant currentId;
    if (idCol >= 0 && m_cur >= 0)
        currentId = m_rows[m_cur][idCol];
    const int oldRow = m_cur;
    execute();
    emit reset();
    int target = m_rows.isEmpty() ? -1 : 0;
    if (currentId.isValid()) {
        for (int r = 0;; ++r) {
            ensureFetched(r);
            if (r >= int(m_rows.size()))
                break;
            if (m_rows[r][idCol] == currentId) {
                target = r;
                break;
            }
        }
    } else if (oldRow >= 0) {
        ensureFetched(oldRow);
        target = std::min(oldRow, int(m_rows.size()) - 1);
    }
    m_bof = target <= 0;
    m_eof = m_rows.isEmpty();
    setCurrent(target, true);
}

void Dataset::setSort(const QString &sort)
{
    if (sort == m_sort)
        return;
    m_sort = sort;
    if (isOpen())
        requery();
}

void Dataset::setFilter(const QString &filter)
{
    if (filter == m_filter)
        return;
    m_filter = filter;
    if (isOpen())
        requery();
}

int Dataset::recordCount()
{
    if (m_state == State::Inactive)
        return 0;
    if (!m_stmt.isValid())
        return int(m_rows.size());
    if (!m_serverCount) {
        // Counting needs no order; an order by would keep SQLite from flattening a view.
        QString sql = withoutTrailingOrderBy(m_sql);
        if (!m_filter.trimmed().isEmpty())
            sql = QStringLiteral("select * from (") + sql + QStringLiteral(") where ") + filterToSql(m_filter);
        const QVariant n = m_conn->scalar(QStringLiteral("select count(*) from (") + sql + QStringLiteral(")"));
        m_serverCount = n.toInt();
        m_localDelta = 0;
    }
    return *m_serverCount + m_localDelta;
}

bool Dataset::isEmpty()
{
    if (m_state == State::Inactive)
        return true;
    if (m_rows.isEmpty())
        fetchMore(1);
    return m_rows.isEmpty();
}

void Dataset::setCurrent(int row, bool force)
{
    if (row >= int(m_rows.size()))
        row = int(m_rows.size()) - 1;
    const bool changed = row != m_cur;
    m_cur = row;
    if (changed || force)
        emit currentChanged(m_cur);
}

void Dataset::first()
{
    checkOpen("First");
    if (m_state != State::Browse)
        post();
    m_bof = true;
    m_eof = m_rows.isEmpty();
    setCurrent(m_rows.isEmpty() ? -1 : 0);
}

void Dataset::last()
{
    checkOpen("Last");
    if (m_state != State::Browse)
        post();
    fetchAll();
    m_eof = true;
    m_bof = m_rows.isEmpty();
    setCurrent(int(m_rows.size()) - 1);
}

void Dataset::next()
{
    checkOpen("Next");
    if (m_state != State::Browse)
        post();
    ensureFetched(m_cur + 1);
    if (m_cur + 1 < int(m_rows.size())) {
        m_bof = false;
        m_eof = false;
        setCurrent(m_cur + 1);
    } else {
        m_eof = true;
    }
}

void Dataset::prior()
{
    checkOpen("Prior");
    if (m_state != State::Browse)
        post();
    if (m_cur > 0) {
        m_eof = false;
        m_bof = false;
        setCurrent(m_cur - 1);
    } else {
        m_bof = true;
    }
}

bool Dataset::moveTo(int row)
{
    checkOpen("MoveTo");
    if (row < 0)
        return false;
    ensureFetched(row);
    if (row >= int(m_rows.size()))
        return false;
    if (m_state != State::Browse)
        post();
    m_bof = m_eof = false;
    setCurrent(row);
    return true;
}

int Dataset::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

FieldRef Dataset::field(const QString &name)
{
    const int i = fieldIndex(name);
    if (i < 0 && isOpen())
        throw DbError(QStringLiteral("%1: campo '%2' não encontrado").arg(objectName(), name));
    return FieldRef(this, i);
}

QVariant Dataset::value(const QString &name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbError(QStringLiteral("%1: campo '%2' não encontrado").arg(objectName(), name));
    if (m_state == State::Edit || m_state == State::Insert)
        return m_buffer.value(i);
    return valueAt(m_cur, i);
}

QVariant Dataset::valueAt(int row, int column) const
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_fields.size())
        return QVariant();
    return m_rows[row][column];
}

QVariant Dataset::valueAt(int row, int column, bool buffered) const
{
    if (buffered && row == m_cur && m_state == State::Edit)
        return m_buffer.value(column);
    return valueAt(row, column);
}

void Dataset::setValue(const QString &name, const QVariant &v)
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbError(QStringLiteral("%1: campo '%2' não encontrado").arg(objectName(), name));
    if (m_state == State::Browse)
        edit();
    if (m_state != State::Edit && m_state != State::Insert)
        throw DbError(QStringLiteral("%1 não está em modo de edição").arg(objectName()));
    const QVariant stored = convertStored(toStorage(v, m_fields[i].type), m_fields[i].type);
    m_buffer[i] = stored;
    m_dirty[i] = true;
    m_modified = true;
    emit fieldChanged(m_fields[i].name);
}

void Dataset::append()
{
    checkOpen("Append");
    if (m_state != State::Browse)
        post();
    if (m_baseTable.isEmpty())
        throw DbError(QStringLiteral("%1: esta consulta não pode ser alterada").arg(objectName()));
    m_buffer = QVector<QVariant>(m_fields.size());
    m_dirty = QVector<bool>(m_fields.size(), false);
    m_modified = false;
    setState(State::Insert);
}

void Dataset::edit()
{
    checkOpen("Edit");
    if (m_state == State::Edit || m_state == State::Insert)
        return;
    if (m_baseTable.isEmpty())
        throw DbError(QStringLiteral("%1: esta consulta não pode ser alterada").arg(objectName()));
    if (m_cur < 0)
        throw DbError(QStringLiteral("%1: não há registro para alterar").arg(objectName()));
    m_buffer = m_rows[m_cur];
    m_dirty = QVector<bool>(m_fields.size(), false);
    m_modified = false;
    setState(State::Edit);
}

void Dataset::setState(State s)
{
    if (m_state == s)
        return;
    m_state = s;
    emit stateChanged(s);
}

void Dataset::refreshRowFromTable(QVector<QVariant> &row, qint64 id)
{
    Statement st = m_conn->prepareNative(QStringLiteral("select * from \"%1\" where ID=?1").arg(m_baseTable));
    st.bind(1, id);
    if (!st.step())
        return;
    const QVector<ColumnInfo> cols = st.columns();
    for (int c = 0; c < cols.size(); ++c) {
        const int i = fieldIndex(cols[c].name);
        if (i >= 0 && m_fields[i].inBaseTable)
            row[i] = convertStored(st.rawValue(c), m_fields[i].type);
    }
}

void Dataset::post()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    const int idCol = idIndex();
    QStringList names;
    QVariantList values;
    for (int i = 0; i < m_fields.size(); ++i) {
        if (!m_dirty[i] || !m_fields[i].inBaseTable || i == idCol)
            continue;
        names << QLatin1Char('"') + m_fields[i].name + QLatin1Char('"');
        values << toStorage(m_buffer[i], m_fields[i].type);
    }
    if (m_state == State::Insert) {
        QString sql;
        if (names.isEmpty()) {
            sql = QStringLiteral("insert into \"%1\" default values").arg(m_baseTable);
        } else {
            QStringList marks;
            for (int i = 1; i <= names.size(); ++i)
                marks << QStringLiteral("?%1").arg(i);
            sql = QStringLiteral("insert into \"%1\" (%2) values (%3)").arg(m_baseTable, names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
        }
        Statement st = m_conn->prepareNative(sql);
        for (int i = 0; i < values.size(); ++i)
            st.bind(i + 1, values[i]);
        st.step();
        // The key the engine just gave this connection: another workstation's insert cannot win it.
        const qint64 id = m_conn->lastInsertId();
        QVector<QVariant> row = m_buffer;
        if (idCol >= 0)
            row[idCol] = id;
        refreshRowFromTable(row, id);
        const int at = int(m_rows.size());
        m_rows.push_back(row);
        ++m_localDelta;
        m_state = State::Browse;
        m_modified = false;
        emit rowInserted(at);
        emit stateChanged(m_state);
        m_eof = m_bof = false;
        setCurrent(at, true);
        return;
    }
    if (idCol < 0)
        throw DbError(QStringLiteral("%1: registro sem ID não pode ser alterado").arg(objectName()));
    const qint64 id = m_rows[m_cur][idCol].toLongLong();
    if (!names.isEmpty()) {
        QStringList sets;
        for (int i = 0; i < names.size(); ++i)
            sets << QStringLiteral("%1=?%2").arg(names[i]).arg(i + 1);
        Statement st = m_conn->prepareNative(QStringLiteral("update \"%1\" set %2 where ID=?%3").arg(m_baseTable, sets.join(QLatin1Char(','))).arg(names.size() + 1));
        for (int i = 0; i < values.size(); ++i)
            st.bind(i + 1, values[i]);
        st.bind(names.size() + 1, id);
        st.step();
    }
    QVector<QVariant> row = m_buffer;
    refreshRowFromTable(row, id);
    m_rows[m_cur] = row;
    m_state = State::Browse;
    m_modified = false;
    emit rowChanged(m_cur);
    emit stateChanged(m_state);
    emit currentChanged(m_cur);
}

void Dataset::cancel()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    m_buffer.clear();
    m_dirty.clear();
    m_modified = false;
    setState(State::Browse);
    if (m_cur >= 0)
        emit rowChanged(m_cur);
    emit currentChanged(m_cur);
}

void Dataset::remove()
{
    checkOpen("Delete");
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (m_state == State::Edit)
        cancel();
    if (m_cur < 0)
        throw DbError(QStringLiteral("%1: não há registro para excluir").arg(objectName()));
    if (m_baseTable.isEmpty() || idIndex() < 0)
        throw DbError(QStringLiteral("%1: esta consulta não pode ser alterada").arg(objectName()));
    Statement st = m_conn->prepareNative(QStringLiteral("delete from \"%1\" where ID=?1").arg(m_baseTable));
    st.bind(1, m_rows[m_cur][idIndex()]);
    st.step();
    const int row = m_cur;
    m_rows.removeAt(row);
    --m_localDelta;
    emit rowRemoved(row);
    ensureFetched(row);
    m_cur = -2; // force the notification
    setCurrent(m_rows.isEmpty() ? -1 : std::min(row, int(m_rows.size()) - 1));
    m_eof = m_rows.isEmpty();
}

bool Dataset::locate(const QString &fieldName, const QVariant &value, LocateOptions options)
{
    checkOpen("Locate");
    const int col = fieldIndex(fieldName);
    if (col < 0)
        throw DbError(QStringLiteral("%1: campo '%2' não encontrado").arg(objectName(), fieldName));
    for (int r = 0;; ++r) {
        ensureFetched(r);
        if (r >= int(m_rows.size()))
            return false;
        if (equalsVariant(m_rows[r][col], value, options)) {
            if (m_state != State::Browse)
                post();
            m_eof = m_bof = false;
            setCurrent(r);
            return true;
        }
    }
}

QString filterToSql(const QString &filter)
{
    // Walk the text, copying quoted literals; a literal right after LIKE gets '*' -> '%'.
    QString out;
    out.reserve(filter.size());
    bool afterLike = false;
    int i = 0;
    const int n = int(filter.size());
    while (i < n) {
        const QChar ch = filter.at(i);
        if (ch == QLatin1Char('\'') || ch == QLatin1Char('"')) {
            const QChar q = ch;
            int j = i + 1;
            QString lit;
            while (j < n) {
                if (filter.at(j) == q) {
                    if (j + 1 < n && filter.at(j + 1) == q) {
                        lit += q;
                        j += 2;
                        continue;
                    }
                    break;
                }
                lit += filter.at(j);
                ++j;
            }
            if (afterLike)
                lit.replace(QLatin1Char('*'), QLatin1Char('%'));
            QString esc = lit;
            esc.replace(QLatin1Char('\''), QStringLiteral("''"));
            out += QLatin1Char('\'') + esc + QLatin1Char('\'');
            i = j + 1;
            afterLike = false;
            continue;
        }
        if (ch.isLetter()) {
            int j = i;
            while (j < n && (filter.at(j).isLetterOrNumber() || filter.at(j) == QLatin1Char('_')))
                ++j;
            const QString word = filter.mid(i, j - i);
            afterLike = word.compare(QLatin1String("like"), Qt::CaseInsensitive) == 0;
            out += word;
            i = j;
            continue;
        }
        if (!ch.isSpace())
            afterLike = false;
        out += ch;
        ++i;
    }
    return out;
}

} // namespace db
