#pragma once
// The login window: the chosen login, the password, and the date the computer runs on.

#include <QDialog>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

class TFrmSenha : public QDialog {
    Q_OBJECT
public:
    explicit TFrmSenha(QWidget *parent = nullptr);
    ~TFrmSenha() override;

    // Shows the window modally for that login (the users menu's VerUsuario).
    void Abre(const QString &login);

    QLabel *Label1;         // "Logon do sistema"
    QLineEdit *Edit1;       // the login, read-only
    QLineEdit *Edit2;       // the password
    QDateEdit *Data;        // today; changing it sets the computer's date
    QPushButton *xpButton1; // "Confirma"
    QPushButton *xpButton2; // "Cancela"

    void xpButton1Click();
    int Falhas() const { return m_falhas; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void DataChange();
    int m_falhas = 0;
    bool m_mostrando = false;
};

extern TFrmSenha *FrmSenha;
