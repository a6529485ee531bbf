#pragma once
// The date prompt: one date, checked before the dialog confirms.

#include <QDialog>
#include <QList>

class QDateEdit;
class QLabel;
class QPushButton;

namespace reporting {
// Enter and Down move to the next control, Up to the previous one, as in every prompt of the program.
void navegaComSetas(QDialog *dialogo, const QList<QWidget *> &controles);
}

class TFrmData : public QDialog {
    Q_OBJECT
public:
    explicit TFrmData(QWidget *parent = nullptr);
    ~TFrmData() override;

    QLabel *Label1;          // header
    QDateEdit *DataIni;
    QPushButton *xpButton1;  // "Confirma"
    QPushButton *xpButton2;  // "Cancela"

    void Confirma();
    void Cancela();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

extern TFrmData *FrmData;
