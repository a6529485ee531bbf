#include "shell/TFrmEvolucao.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

TFrmEvolucao *FrmEvolucao = nullptr;

namespace {
constexpr int kInicio = 30;                       // characters kept before the ellipsis
const QString kReticencias = QStringLiteral("..."); // what stands for the cut part
constexpr int kMargem = 16;
} // namespace

TFrmEvolucao::TFrmEvolucao(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("FrmEvolucao"));
    setWindowTitle(QStringLiteral("Executando..."));

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Label1 = new QLabel(QStringLiteral("Aguardando..."), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    auto *painel = new QVBoxLayout(Panel1);
    painel->setContentsMargins(8, 6, 8, 6);
    painel->addWidget(Label1);

    Barra1 = new QProgressBar(this);
    Barra1->setObjectName(QStringLiteral("Barra1"));
    Barra1->setValue(0);
    Barra2 = new QProgressBar(this);
    Barra2->setObjectName(QStringLiteral("Barra2"));
    Barra2->setMaximum(4);
    Barra2->setValue(0);
    Barra1->setTextVisible(false);
    Barra2->setTextVisible(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Panel1);
    layout->addWidget(Barra1);
    layout->addWidget(Barra2);
    setFixedSize(380, 130);
    // Labels never grow the window: the timer fits the text to the panel instead.
    Label1->setMinimumWidth(1);
    Label1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1);
    connect(Timer1, &QTimer::timeout, this, &TFrmEvolucao::Timer1Timer);

    Posiciona();
    if (!FrmEvolucao)
        FrmEvolucao = this;
}

TFrmEvolucao::~TFrmEvolucao()
{
    if (FrmEvolucao == this)
        FrmEvolucao = nullptr;
}

void TFrmEvolucao::Passo(const QString &texto)
{
    Label1->setText(texto);
    Timer1Timer();
    QCoreApplication::processEvents();
}

QString TFrmEvolucao::Encurta(const QString &texto, const QFontMetrics &fm, int largura)
{
    const int limite = largura - kMargem;
    if (fm.horizontalAdvance(texto) <= limite || texto.size() <= kInicio)
        return texto;
    QString s = texto.left(kInicio) + kReticencias + texto.mid(kInicio);
    const int corte = kInicio + int(kReticencias.size()); // first character after the ellipsis
    while (fm.horizontalAdvance(s) > limite && s.size() > corte)
        s.remove(corte, 1);
    return s;
}

void TFrmEvolucao::Timer1Timer()
{
    const QString atual = Label1->text();
    if (atual == m_ajustado)
        return;
    m_ajustado = Encurta(atual, Label1->fontMetrics(), Panel1->width());
    if (m_ajustado != atual)
        Label1->setText(m_ajustado);
}

void TFrmEvolucao::Posiciona()
{
    QScreen *tela = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!tela)
        return;
    const QRect g = tela->geometry();
    move(g.right() + 1 - frameGeometry().width() - 40, g.top() + 50);
}

void TFrmEvolucao::showEvent(QShowEvent *event)
{
    Posiciona();
    m_ajustado.clear();
    Timer1->start();
    QDialog::showEvent(event);
}

void TFrmEvolucao::hideEvent(QHideEvent *event)
{
    Timer1->stop();
    QDialog::hideEvent(event);
}
