#include "reporting/TFrmPeriodo.h"

#include "data/Funcoes.h"
#include "data/Globals.h"
#include "platform/ui/MessageService.h"
#include "platform/ui/Widgets.h"
#include "reporting/TFrmData.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

TFrmPeriodo *FrmPeriodo = nullptr;

TFrmPeriodo::TFrmPeriodo(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("FrmPeriodo"));
    setWindowTitle(QStringLiteral("Período"));

    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (auto [editor, nome, rotulo] : {std::tuple{&DataIni, "DataIni", "Período inicial:"}, std::tuple{&DataFim, "DataFim", "Período final:"}}) {
        *editor = ui::criaCampoData(QString::fromLatin1(nome), this);
        form->addRow(QString::fromUtf8(rotulo), *editor);
    }

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

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(12);
    layout->addLayout(form);
    layout->addLayout(botoes);
    setFixedSize(layout->sizeHint().expandedTo(QSize(300, 0)));

    reporting::navegaComSetas(this, {DataIni, DataFim});
    connect(xpButton1, &QPushButton::clicked, this, &TFrmPeriodo::Confirma);
    connect(xpButton2, &QPushButton::clicked, this, &TFrmPeriodo::Cancela);

    if (!FrmPeriodo)
        FrmPeriodo = this;
}

TFrmPeriodo::~TFrmPeriodo()
{
    if (FrmPeriodo == this)
        FrmPeriodo = nullptr;
}

void TFrmPeriodo::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    DataIni->setFocus();
}

void TFrmPeriodo::Confirma()
{
    // The picker's text, as shown: what a half-typed date left there is checked too.
    if (!EData(DataIni->text())) {
        ui::informacao(QStringLiteral("Data inicial inválida!"), this);
        DataIni->setFocus();
        return;
    }
    if (!EData(DataFim->text())) {
        ui::informacao(QStringLiteral("Data final inválida!"), this);
        DataFim->setFocus();
        return;
    }
    Cancelado = 0;
    accept();
}

void TFrmPeriodo::Cancela()
{
    Cancelado = 1;
    reject();
}

void TFrmPeriodo::done(int result)
{
    DataFim->setEnabled(true);
    QDialog::done(result);
}

void TFrmPeriodo::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        Cancela();
        return;
    }
    QDialog::keyPressEvent(event);
}
