#include "reporting/TFrmExibeDados.h"

#include "platform/db/Dataset.h"
#include "platform/db/DatasetModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TFrmExibeDados *FrmExibeDados = nullptr;

TFrmExibeDados::TFrmExibeDados(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("FrmExibeDados"));
    setWindowTitle(QStringLiteral("Exibição de dados"));
    setModal(true);

    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setWordWrap(false);
    DBGrid1->setStyleSheet(QStringLiteral("QTableView { selection-background-color: #0a246a; selection-color: white; }"));
    DBGrid1->verticalHeader()->setDefaultSectionSize(DBGrid1->fontMetrics().height() + 6);

    // Fechar is the cancel button: Esc closes as well.
    xpButton1 = new QPushButton(QStringLiteral("Fechar"), this);
    xpButton1->setObjectName(QStringLiteral("xpButton1"));
    xpButton1->setAutoDefault(false);
    xpButton1->setMinimumWidth(96);
    auto *botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(xpButton1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(botoes);
    setFixedSize(720, 440);

    connect(xpButton1, &QPushButton::clicked, this, &QDialog::reject);

    if (!FrmExibeDados)
        FrmExibeDados = this;
}

TFrmExibeDados::~TFrmExibeDados()
{
    setDados(nullptr);
    if (FrmExibeDados == this)
        FrmExibeDados = nullptr;
}

db::Dataset *TFrmExibeDados::dados() const { return m_model ? m_model->dataset() : nullptr; }

void TFrmExibeDados::setDados(db::Dataset *dados)
{
    DBGrid1->setModel(nullptr);
    delete m_model;
    m_model = nullptr;
    if (!dados)
        return;
    m_model = new db::DatasetModel(dados, this);
    DBGrid1->setModel(m_model);
    const auto mostraAtual = [this, dados] {
        const int linha = dados->recNo();
        if (linha >= 0 && linha < m_model->rowCount())
            DBGrid1->selectRow(linha);
    };
    connect(dados, &db::Dataset::currentChanged, m_model, mostraAtual);
    connect(m_model, &QAbstractItemModel::modelReset, m_model, mostraAtual);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, m_model, [dados](const QModelIndex &i) {
        if (i.isValid() && dados->recNo() != i.row()) {
            try {
                dados->moveTo(i.row());
            } catch (const std::exception &) {
            }
        }
    });
    mostraAtual();
}
