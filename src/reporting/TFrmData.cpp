#include "reporting/TFrmData.h"

#include "data/Funcoes.h"
#include "data/Globals.h"
#include "platform/ui/MessageService.h"
#include "platform/ui/Widgets.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TFrmData *FrmData = nullptr;

namespace reporting {

namespace {
// Moves along the dialog's tab order, skipping what cannot take the focus.
void proximo(QWidget *de, bool avante)
{
    QWidget *w = de;
    do {
        w = avante ? w->nextInFocusChain() : w->previousInFocusChain();
    } while (w != de && !(w->isVisibleTo(de->window()) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy()));
    w->setFocus(avante ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

class Navegacao : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        auto *w = static_cast<QWidget *>(watched);
        const int tecla = static_cast<QKeyEvent *>(event)->key();
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter || tecla == Qt::Key_Down) {
            proximo(w, true);
            return true;
        }
        if (tecla == Qt::Key_Up) {
            proximo(w, false);
            return true;
        }
        return false;
    }
};
} // namespace

void navegaComSetas(QDialog *dialogo, const QList<QWidget *> &controles)
{
    auto *n = new Navegacao(dialogo);
    for (QWidget *w : controles)
        w->installEventFilter(n);
}

} // namespace reporting

TFrmData::TFrmData(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("FrmData"));
    setWindowTitle(QStringLiteral("Data"));

    Label1 = ui::criaTitulo(QStringLiteral("Informe o data..."), this);

    DataIni = ui::criaCampoData(QStringLiteral("DataIni"), this);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Data:"), DataIni);

    xpButton1 = new QPushButton(QStringLiteral("Confirma"), this);
    xpButton1->setObjectName(QStringLiteral("xpButton1"));
    xpButton2 = new QPushButton(QStringLiteral("Cancela"), this);
    xpButton2->setObjectName(QStringLiteral("xpButton2"));
    for (QPushButton *b : {xpButton1, xpButton2}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(96);
    }
    auto *botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(xpButton1);
    botoes->addWidget(xpButton2);

    auto *corpo = new QVBoxLayout;
    corpo->setContentsMargins(14, 12, 14, 14);
    corpo->setSpacing(10);
    corpo->addLayout(form);
    corpo->addLayout(botoes);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Label1);
    layout->addLayout(corpo);
    setFixedSize(layout->sizeHint().expandedTo(QSize(300, 0)));

    reporting::navegaComSetas(this, {DataIni});
    connect(xpButton1, &QPushButton::clicked, this, &TFrmData::Confirma);
    connect(xpButton2, &QPushButton::clicked, this, &TFrmData::Cancela);

    if (!FrmData)
        FrmData = this;
}

TFrmData::~TFrmData()
{
    if (FrmData == this)
        FrmData = nullptr;
}

void TFrmData::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    DataIni->setFocus();
}

void TFrmData::Confirma()
{
    if (!EData(DataIni->text())) {
        ui::informacao(QStringLiteral("Data inválida!"), this);
        DataIni->setFocus();
        return;
    }
    Cancelado = 0;
    accept();
}

void TFrmData::Cancela()
{
    Cancelado = 1;
    reject();
}

void TFrmData::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        Cancela();
        return;
    }
    QDialog::keyPressEvent(event);
}
