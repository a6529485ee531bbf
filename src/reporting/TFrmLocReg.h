#pragma once
// The quick-locate dialog: moves a list window's data set to the first row that begins with the
// typed text, trying its fields in order. Non-modal.

#include <QDialog>
#include <QPointer>

class QLineEdit;
class QPushButton;

namespace db {
class Dataset;
}

class TFrmLocReg : public QDialog {
    Q_OBJECT
public:
    explicit TFrmLocReg(QWidget *parent = nullptr);
    ~TFrmLocReg() override;

    QPointer<db::Dataset> Dados;
    QString TextoInicial;

    QLineEdit *Edit1;
    QPushButton *xpButton1; // "OK"

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Pesquisa(const QString &texto);
};

extern TFrmLocReg *FrmLocReg;
