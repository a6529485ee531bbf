#pragma once
// A grid model over a Dataset: rows appear as the dataset fetches them, and every change the
// dataset announces reaches the view.

#include "platform/db/Dataset.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QPointer>

namespace db {

class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DatasetModel(Dataset *dataset, QObject *parent = nullptr);

    Dataset *dataset() const { return m_ds; }
    // Display mask of one field (",0.00"); currency fields default to ",0.00".
    void setDisplayFormat(const QString &field, const QString &mask);
    // Column titles other than the field names.
    void setDisplayLabel(const QString &field, const QString &label);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    void onReset();
    void onFetched(int first, int last);
    QPointer<Dataset> m_ds;
    QHash<QString, QString> m_masks;  // keys upper-cased
    QHash<QString, QString> m_labels; // keys upper-cased
    int m_rows = 0;
    int m_cols = 0;
};

} // namespace db
