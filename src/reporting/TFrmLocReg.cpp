#include "reporting/TFrmLocReg.h"

#include "platform/db/Dataset.h"
#include "platform/ui/Widgets.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TFrmLocReg *FrmLocReg = nullptr;

TFrmLocReg::TFrmLocReg(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("FrmLocReg"));
    setWindowTitle(QStringLiteral("Localizar registro"));
    setModal(false);

    auto *cabecalho = ui::criaTitulo(QStringLiteral("Localizar registro..."), this);

    auto *rotulo = new QLabel(QStringLiteral("Informação a ser localizada:"), this);
    rotulo->setObjectName(QStringLiteral("Label2"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMinimumWidth(280);
    // OK is both the default and the cancel button: Enter and Esc close the dialog alike.
    xpButton1 = new QPushButton(QStringLiteral("OK"), this);
    xpButton1->setObjectName(QStringLiteral("xpButton1"));
    xpButton1->setDefault(true);
    xpButton1->setMinimumWidth(96);

    auto *botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(xpButton1);
    auto *corpo = new QVBoxLayout;
    corpo->setContentsMargins(14, 12, 14, 14);
    corpo->setSpacing(8);
    corpo->addWidget(rotulo);
    corpo->addWidget(Edit1);
    corpo->addLayout(botoes);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(cabecalho);
    layout->addLayout(corpo);
    setFixedSize(layout->sizeHint());

    connect(Edit1, &QLineEdit::textChanged, this, &TFrmLocReg::Pesquisa);
    connect(xpButton1, &QPushButton::clicked, this, &QDialog::accept);

    if (!FrmLocReg)
        FrmLocReg = this;
}

TFrmLocReg::~TFrmLocReg()
{
    if (FrmLocReg == this)
        FrmLocReg = nullptr;
}

void TFrmLocReg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    Edit1->setFocus();
    Edit1->setText(TextoInicial);
    Edit1->setCursorPosition(int(Edit1->text().size()));
}

void TFrmLocReg::Pesquisa(const QString &texto)
{
    if (texto.trimmed().isEmpty() || !Dados || !Dados->isOpen())
        return;
    for (const db::Field &f : Dados->fields()) {
        // A field that cannot take the text is passed over.
        try {
            if (Dados->locate(f.name, texto, {true, true}))
                return;
        } catch (const std::exception &) {
        }
    }
}

void TFrmLocReg::done(int result)
{
    Dados = nullptr;
    Edit1->clear();
    QDialog::done(result);
}
