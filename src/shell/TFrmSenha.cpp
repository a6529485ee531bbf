#include "shell/TFrmSenha.h"

#include "data/Funcoes.h"
#include "data/TDM.h"
#include "platform/os/Clock.h"
#include "platform/ui/MessageService.h"
#include "platform/ui/Widgets.h"
#include "shell/CapsLock.h"
#include "shell/Encerramento.h"
#include "shell/TForm1.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QVBoxLayout>

TFrmSenha *FrmSenha = nullptr;

namespace {
constexpr int kTentativas = 3;
}

TFrmSenha::TFrmSenha(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("FrmSenha"));
    setWindowTitle(QStringLiteral("Autenticação"));

    Label1 = ui::criaTitulo(QStringLiteral("Logon do sistema"), this);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setReadOnly(true);
    Edit1->setMaxLength(20);
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setEchoMode(QLineEdit::Password);
    Edit2->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    Edit2->setMaxLength(20);
    // The single quote cannot be typed: the keystroke is discarded.
    Edit2->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^']*")), Edit2));
    Data = ui::criaCampoData(QStringLiteral("Data"), this);

    Edit1->setMinimumWidth(200);
    Edit2->setMinimumWidth(200);
    auto *usuario = new QGroupBox(QStringLiteral(" Usuário: "), this);
    auto *formUsuario = new QFormLayout(usuario);
    formUsuario->addRow(QStringLiteral("Nome:"), Edit1);
    formUsuario->addRow(QStringLiteral("Senha :"), Edit2);
    auto *confirmacao = new QGroupBox(QStringLiteral(" Confirmação de data: "), this);
    auto *formData = new QFormLayout(confirmacao);
    formData->addRow(QStringLiteral("Data atual:"), Data);
    // Both groups line their fields up on the same column.
    const int rotulo = fontMetrics().horizontalAdvance(QStringLiteral("Data atual:")) + 8;
    for (QFormLayout *f : {formUsuario, formData}) {
        f->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
        f->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
        f->setHorizontalSpacing(10);
        for (int i = 0; i < f->rowCount(); ++i)
            if (QWidget *l = f->itemAt(i, QFormLayout::LabelRole)->widget())
                l->setMinimumWidth(rotulo);
    }

    xpButton1 = new QPushButton(QStringLiteral("Confirma"), this);
    xpButton1->setObjectName(QStringLiteral("xpButton1"));
    xpButton2 = new QPushButton(QStringLiteral("Cancela"), this);
    xpButton2->setObjectName(QStringLiteral("xpButton2"));
    // Enter belongs to the fields (next field, or Confirma from the password), not to a default button.
    for (QPushButton *b : {xpButton1, xpButton2}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        b->setMinimumWidth(96);
    }
    auto *botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(xpButton1);
    botoes->addWidget(xpButton2);

    auto *corpo = new QVBoxLayout;
    corpo->setContentsMargins(14, 12, 14, 14);
    corpo->setSpacing(10);
    corpo->addWidget(usuario);
    corpo->addWidget(confirmacao);
    corpo->addLayout(botoes);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Label1);
    layout->addLayout(corpo);
    setFixedSize(layout->sizeHint().expandedTo(QSize(380, 0)));

    connect(Edit1, &QLineEdit::returnPressed, this, [this] { focusNextChild(); });
    connect(Edit2, &QLineEdit::returnPressed, this, &TFrmSenha::xpButton1Click);
    connect(xpButton1, &QPushButton::clicked, this, &TFrmSenha::xpButton1Click);
    connect(xpButton2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Data, &QDateEdit::dateChanged, this, &TFrmSenha::DataChange);

    if (!FrmSenha)
        FrmSenha = this;
}

TFrmSenha::~TFrmSenha()
{
    if (FrmSenha == this)
        FrmSenha = nullptr;
}

void TFrmSenha::Abre(const QString &login)
{
    setWindowTitle(QStringLiteral("Autenticação"));
    Edit1->setText(login);
    for (QWidget *w : {static_cast<QWidget *>(Edit1), static_cast<QWidget *>(Edit2), static_cast<QWidget *>(Data)})
        w->setEnabled(true);
    exec();
}

void TFrmSenha::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_falhas = 0;
    m_mostrando = true;
    Data->setDate(os::clock().today());
    m_mostrando = false;
    Edit2->setFocus();
    if (Edit2->isEnabled())
        Edit2->clear();
    if (shell::CapsLockLigado())
        setToolTip(QStringLiteral("ATENÇÃO: CAPS LOOK está ligado..."));
}

void TFrmSenha::DataChange()
{
    if (m_mostrando)
        return;
    const QDate escolhida = Data->date();
    os::clock().setDate(escolhida); // may well be refused; the outcome is not checked
    if (DM)
        DM->GravaAcesso(QStringLiteral("Alterou data do sistema (") +
                        QLocale().toString(escolhida, QStringLiteral("dddd, dd 'de' MMMM 'de' yyyy")) + QLatin1Char(')'));
}

void TFrmSenha::xpButton1Click()
{
    if (Edit1->text().trimmed().isEmpty()) {
        ui::informacao(QStringLiteral("Determine o nome do usuário!"), this);
        Edit1->setFocus();
        return;
    }
    if (Edit2->text().trimmed().isEmpty()) {
        ui::informacao(QStringLiteral("Determine a senha do usuário!"), this);
        Edit2->setFocus();
        return;
    }
    if (!DM || !DM->QAux1)
        return;
    // As typed, blanks included.
    const QString login = Edit1->text();
    const QString senha = Criptografa(Edit2->text(), ChaveCriptografia);
    db::Dataset &q = *DM->QAux1;
    q.open(QStringLiteral("select * from usuarios where nome =") + db::quoted(login) + QStringLiteral(" and senha=") +
           db::quoted(senha));
    // The database compares text ignoring case; a password's letter case counts.
    int id = 0;
    bool achou = false;
    for (q.first(); !q.eof() && !achou; q.next()) {
        if (q.field(QStringLiteral("senha")).asString() == senha) {
            id = int(q.field(QStringLiteral("id")).asInteger());
            achou = true;
        }
    }
    q.close();

    if (achou) {
        UsuarioLogado = login;
        DM->GravaAcesso(QStringLiteral("Efetuou logon no sistema"));
        if (Form1)
            Form1->Efetuarlogoff1->setText(QStringLiteral("Efetuar logoff de ") + QString(login).replace(QLatin1Char('&'), QStringLiteral("&&")));
        IDUsuarioLogado = id;
        hide();
        if (Form1) {
            Form1->AbilitaTudo();
            Form1->Painel(0)->setText(QStringLiteral("USUÁRIO : ") + UsuarioLogado);
        }
        accept();
        return;
    }
    ++m_falhas;
    if (m_falhas < kTentativas) {
        ui::informacao(QStringLiteral("Senha inválida! Talvez o \"CAPS LOCK\" esteja ligado!"), this);
        Edit2->setFocus();
        return;
    }
    ui::erro(QStringLiteral("Você não tem acesso a este sistema!"), this);
    DM->Desconectar();
    reject();
    shell::FinalizaPrograma(1);
}
