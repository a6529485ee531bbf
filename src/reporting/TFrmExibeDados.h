#pragma once
// Shows any open data set in a read-only grid, the current row white on blue. Modal.

#include <QDialog>

class QPushButton;
class QTableView;

namespace db {
class Dataset;
class DatasetModel;
}

class TFrmExibeDados : public QDialog {
    Q_OBJECT
public:
    explicit TFrmExibeDados(QWidget *parent = nullptr);
    ~TFrmExibeDados() override;

    // The caller binds the data set before showing and unbinds it (nullptr) afterwards.
    void setDados(db::Dataset *dados);
    db::Dataset *dados() const;

    QTableView *DBGrid1;
    QPushButton *xpButton1; // "Fechar"

private:
    db::DatasetModel *m_model = nullptr;
};

extern TFrmExibeDados *FrmExibeDados;
