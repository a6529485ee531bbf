#pragma once
// The splash window shown while start-up creates the program's windows, with its 40-step bar.

#include <QWidget>
#include <functional>

class QLabel;
class QProgressBar;

class TFrmInicial : public QWidget {
    Q_OBJECT
public:
    explicit TFrmInicial(QWidget *parent = nullptr);

    QLabel *Image1;
    QProgressBar *Barra;

    // One creation step: caption, one more step on the bar, a repaint, then cria().
    void CriaForm(const std::function<void()> &cria);
};
