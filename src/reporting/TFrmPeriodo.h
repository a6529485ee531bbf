#pragma once
// The period prompt: a start and an end date, each checked before the dialog confirms.

#include <QDialog>

class QDateEdit;
class QPushButton;

class TFrmPeriodo : public QDialog {
    Q_OBJECT
public:
    explicit TFrmPeriodo(QWidget *parent = nullptr);
    ~TFrmPeriodo() override;

    QDateEdit *DataIni;
    QDateEdit *DataFim;      // a caller may disable it; closing enables it again
    QPushButton *xpButton1;  // "Confirma"
    QPushButton *xpButton2;  // "Cancela"

    void Confirma();
    void Cancela();
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

extern TFrmPeriodo *FrmPeriodo;
