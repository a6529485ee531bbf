#include "platform/db/DatasetModel.h"
#include "platform/db/FieldFormat.h"

namespace db {

DatasetModel::DatasetModel(Dataset *dataset, QObject *parent) : QAbstractTableModel(parent), m_ds(dataset)
{
    connect(dataset, &Dataset::reset, this, &DatasetModel::onReset);
    connect(dataset, &Dataset::rowsFetched, this, &DatasetModel::onFetched);
    connect(dataset, &Dataset::rowInserted, this, [this](int row) {
        beginInsertRows({}, row, row);
        m_rows = m_ds->fetchedCount();
        endInsertRows();
    });
    connect(dataset, &Dataset::rowRemoved, this, [this](int row) {
        beginRemoveRows({}, row, row);
        m_rows = m_ds->fetchedCount();
        endRemoveRows();
    });
    connect(dataset, &Dataset::rowChanged, this, [this](int row) {
        if (row >= 0 && row < m_rows)
            emit dataChanged(index(row, 0), index(row, m_cols - 1));
    });
    onReset();
}

void DatasetModel::setDisplayFormat(const QString &field, const QString &mask)
{
    m_masks.insert(field.toUpper(), mask);
    if (m_rows > 0)
        emit dataChanged(index(0, 0), index(m_rows - 1, m_cols - 1));
}

void DatasetModel::setDisplayLabel(const QString &field, const QString &label)
{
    m_labels.insert(field.toUpper(), label);
    if (m_cols > 0)
        emit headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
}

void DatasetModel::onReset()
{
    beginResetModel();
    m_rows = m_ds && m_ds->isOpen() ? m_ds->fetchedCount() : 0;
    m_cols = m_ds && m_ds->isOpen() ? m_ds->fieldCount() : 0;
    endResetModel();
}

void DatasetModel::onFetched(int first, int last)
{
    // Rows the dataset fetched on its own (locate, requery) join the model in one step.
    if (first < m_rows)
        return;
    beginInsertRows({}, first, last);
    m_rows = m_ds->fetchedCount();
    endInsertRows();
}

int DatasetModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : m_rows; }
int DatasetModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : m_cols; }

QVariant DatasetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_ds || index.row() >= m_rows || index.column() >= m_cols)
        return {};
    const Field &f = m_ds->fields().at(index.column());
    const QVariant v = m_ds->valueAt(index.row(), index.column(), true);
    switch (role) {
    case Qt::DisplayRole:
        return displayText(v, f.type, m_masks.value(f.name.toUpper()));
    case Qt::EditRole:
        return v;
    case Qt::TextAlignmentRole:
        switch (f.type) {
        case FieldType::Currency:
        case FieldType::Double:
        case FieldType::Integer:
        case FieldType::SmallInt:
            return int(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        }
    default:
        return {};
    }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (!m_ds || section >= m_cols)
        return {};
    const QString name = m_ds->fields().at(section).name;
    return m_labels.value(name.toUpper(), name);
}

bool DatasetModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_ds && m_ds->canFetchMore();
}

void DatasetModel::fetchMore(const QModelIndex &parent)
{
    if (!parent.isValid() && m_ds)
        m_ds->fetchMore(256);
}

} // namespace db
