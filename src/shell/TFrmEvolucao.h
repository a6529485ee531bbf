#pragma once
// The shared progress window of long operations: a step text and two bars. A caller sets Label1 and
// the bars, shows the window, lets the message loop run after every step and closes it at the end.

#include <QDialog>

class QFontMetrics;
class QFrame;
class QLabel;
class QProgressBar;
class QTimer;

class TFrmEvolucao : public QDialog {
    Q_OBJECT
public:
    explicit TFrmEvolucao(QWidget *parent = nullptr);
    ~TFrmEvolucao() override;

    QFrame *Panel1;
    QLabel *Label1;       // the current step; "Aguardando..." at first
    QProgressBar *Barra1; // within the step; the caller sets maximum and position
    QProgressBar *Barra2; // over the steps; maximum 4 unless a caller changes it
    QTimer *Timer1;       // fits Label1 while the window is shown

    // Sets the step text and lets the window repaint.
    void Passo(const QString &texto);

    // The beginning of texto, "..." and as much of its end as fits in largura pixels.
    static QString Encurta(const QString &texto, const QFontMetrics &fm, int largura);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void Timer1Timer();
    void Posiciona();
    QString m_ajustado; // the last text Timer1 fitted, so a fitted text is left alone
};

extern TFrmEvolucao *FrmEvolucao;
