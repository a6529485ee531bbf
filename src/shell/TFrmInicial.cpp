#include "shell/TFrmInicial.h"
#include "shell/Startup.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

TFrmInicial::TFrmInicial(QWidget *parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("FrmInicial"));
    setWindowTitle(shell::TituloAplicacao());

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setTextFormat(Qt::RichText);
    Image1->setText(QStringLiteral("<div style='font-size:30pt; font-weight:bold; color:#1d4f91'>KOVA</div>"
                                   "<div style='font-size:13pt; color:#333'>Kovalume</div>"
                                   "<div style='font-size:9pt; color:#666; margin-top:10px'>"
                                   "Cadastro social e assistência</div>"));
    Image1->setStyleSheet(QStringLiteral("background:#ffffff; border:1px solid #9db3d3;"));

    Barra = new QProgressBar(this);
    Barra->setObjectName(QStringLiteral("Barra"));
    Barra->setMaximum(40);
    Barra->setValue(0);
    Barra->setTextVisible(false);
    Barra->setFixedHeight(14);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    layout->addWidget(Image1, 1);
    layout->addWidget(Barra);
    setStyleSheet(QStringLiteral("TFrmInicial { background:#e8eef7; }"));
    setAttribute(Qt::WA_StyledBackground);
    resize(420, 240);
    if (QScreen *tela = QGuiApplication::primaryScreen())
        move(tela->geometry().center() - rect().center());
}

void TFrmInicial::CriaForm(const std::function<void()> &cria)
{
    Image1->repaint();
    setWindowTitle(shell::TituloAplicacao().toUpper() + QStringLiteral(" - Carregando sistema..."));
    Barra->setValue(Barra->value() + 1);
    QCoreApplication::processEvents();
    cria();
}
