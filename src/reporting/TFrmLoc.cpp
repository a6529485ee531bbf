#include "reporting/TFrmLoc.h"

#include "data/Funcoes.h"
#include "data/TDM.h"
#include "platform/db/Dataset.h"
#include "platform/db/DatasetModel.h"
#include "platform/os/IniFile.h"
#include "platform/ui/MessageService.h"
#include "platform/ui/Widgets.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>
#include <functional>

int Larguras[kLargurasColunas];
TFrmLoc *FrmLoc = nullptr;

namespace {

const QString kConfig = QStringLiteral("Config");
const QString kFiltrar = QStringLiteral("Filtrar");

void limpaLarguras()
{
    for (int &l : Larguras)
        l = -1;
}

bool ehId(const QString &nome) { return nome.compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0; }

// Memo columns on one line: breaks become blanks and a text too wide is cut to end in "...".
class DelegateMemo : public QStyledItemDelegate {
public:
    DelegateMemo(std::function<bool(int)> ehMemo, QObject *parent)
        : QStyledItemDelegate(parent), m_ehMemo(std::move(ehMemo)) {}

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!m_ehMemo(index.column()))
            return;
        QString t = option->text;
        t.replace(QLatin1String("\r\n"), QLatin1String(" "));
        t.replace(QLatin1Char('\n'), QLatin1Char(' '));
        t.replace(QLatin1Char('\r'), QLatin1Char(' '));
        const QFontMetrics fm(option->font);
        const int largura = option->rect.width() - 6;
        if (fm.horizontalAdvance(t) > largura) {
            const QString fim = QStringLiteral("...");
            while (!t.isEmpty() && fm.horizontalAdvance(t + fim) > largura)
                t.chop(1);
            t += fim;
        }
        option->text = t;
        option->textElideMode = Qt::ElideNone;
    }

private:
    std::function<bool(int)> m_ehMemo;
};

} // namespace

TFrmLoc::TFrmLoc(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmLoc"));
    setWindowTitle(QStringLiteral("Localizar informação"));
    setSizeGripEnabled(true);
    limpaLarguras();

    Label1 = ui::criaTitulo(QStringLiteral("Localizar informação..."), this);

    GroupBox1 = new QGroupBox(QStringLiteral(" Localizar / Filtrar: "), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto *dica = new QLabel(QStringLiteral("Para alterar o campo de pesquisa / filtro clique no título do coluna correspondente"), GroupBox1);
    dica->setObjectName(QStringLiteral("Label2"));
    dica->setWordWrap(true);
    Edit1 = new QLineEdit(GroupBox1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    RadioFiltrar = new QRadioButton(QStringLiteral("Filtrar"), GroupBox1);
    RadioFiltrar->setObjectName(QStringLiteral("RadioFiltrar"));
    RadioLocalizar = new QRadioButton(QStringLiteral("Localizar"), GroupBox1);
    RadioLocalizar->setObjectName(QStringLiteral("RadioLocalizar"));
    RadioLocalizar->setChecked(true);
    auto *linha = new QHBoxLayout;
    linha->addWidget(Edit1, 1);
    linha->addWidget(RadioFiltrar);
    linha->addWidget(RadioLocalizar);
    auto *grupo = new QVBoxLayout(GroupBox1);
    grupo->addWidget(dica);
    grupo->addLayout(linha);

    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setWordWrap(false);
    DBGrid1->setStyleSheet(QStringLiteral("QTableView { selection-background-color: #0a246a; selection-color: white; }"));
    DBGrid1->verticalHeader()->setDefaultSectionSize(DBGrid1->fontMetrics().height() + 6);
    DBGrid1->horizontalHeader()->setSectionsClickable(true);
    DBGrid1->horizontalHeader()->setHighlightSections(false);
    DBGrid1->setItemDelegate(new DelegateMemo(
        [this](int c) { return m_query && c < m_query->fieldCount() && m_query->fields().at(c).type == db::FieldType::Memo; },
        DBGrid1));
    DBGrid1->installEventFilter(this);

    LabelCtrl = new QLabel(QStringLiteral("Para selecionar mais de um item mantenha o botão \"CTRL\" pressionado e clique nos itens desejados."), this);
    LabelCtrl->setObjectName(QStringLiteral("LabelCtrl"));
    LabelCtrl->setVisible(false);

    xpButton1 = new QPushButton(QStringLiteral("Confirma"), this);
    xpButton1->setObjectName(QStringLiteral("xpButton1"));
    xpButton2 = new QPushButton(QStringLiteral("Cancela"), this);
    xpButton2->setObjectName(QStringLiteral("xpButton2"));
    // Enter belongs to the search box and the grid, not to a default button.
    for (QPushButton *b : {xpButton1, xpButton2}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        b->setMinimumWidth(96);
    }
    auto *botoes = new QHBoxLayout;
    botoes->addWidget(LabelCtrl, 1);
    botoes->addStretch();
    botoes->addWidget(xpButton1);
    botoes->addWidget(xpButton2);

    auto *corpo = new QVBoxLayout;
    corpo->setContentsMargins(12, 10, 12, 12);
    corpo->setSpacing(8);
    corpo->addWidget(GroupBox1);
    corpo->addWidget(DBGrid1, 1);
    corpo->addLayout(botoes);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Label1);
    layout->addLayout(corpo, 1);
    resize(680, 460);

    connect(Edit1, &QLineEdit::textChanged, this, &TFrmLoc::Pesquisa);
    connect(Edit1, &QLineEdit::returnPressed, this, [this] { DBGrid1->setFocus(); });
    connect(RadioFiltrar, &QRadioButton::clicked, this, &TFrmLoc::TrocaModo);
    connect(RadioLocalizar, &QRadioButton::clicked, this, &TFrmLoc::TrocaModo);
    connect(DBGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this, &TFrmLoc::TituloClick);
    connect(DBGrid1, &QTableView::doubleClicked, this, &TFrmLoc::Confirma);
    connect(xpButton1, &QPushButton::clicked, this, &TFrmLoc::Confirma);
    connect(xpButton2, &QPushButton::clicked, this, &TFrmLoc::Cancela);

    if (!FrmLoc)
        FrmLoc = this;
}

TFrmLoc::~TFrmLoc()
{
    DBGrid1->setModel(nullptr);
    if (FrmLoc == this)
        FrmLoc = nullptr;
}

QString TFrmLoc::caminhoIni() const { return DM ? DM->caminhoIni() : CaminhoSistema + QLatin1String(data::kNomeIni); }

void TFrmLoc::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Abre();
}

void TFrmLoc::LigaGrade()
{
    db::DatasetModel *antigo = m_model;
    m_model = m_query ? new db::DatasetModel(m_query.get(), this) : nullptr;
    DBGrid1->setModel(m_model);
    delete antigo;
    m_marcadas.clear();
    if (!m_model)
        return;
    connect(m_query.get(), &db::Dataset::currentChanged, this, &TFrmLoc::SincronizaLinha);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        m_marcadas.clear();
        SincronizaLinha();
    });
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex &atual) {
        if (m_sincronizando || !m_query || !atual.isValid())
            return;
        try {
            m_query->moveTo(atual.row());
        } catch (const std::exception &) {
        }
    });
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection &marcadas, const QItemSelection &desmarcadas) {
                for (const QModelIndex &i : desmarcadas.indexes())
                    m_marcadas.removeAll(i.row());
                for (const QModelIndex &i : marcadas.indexes())
                    if (!m_marcadas.contains(i.row()))
                        m_marcadas.append(i.row());
            });
}

void TFrmLoc::SincronizaLinha()
{
    if (!m_query || !m_model)
        return;
    const int linha = m_query->recNo();
    if (linha < 0 || linha >= m_model->rowCount())
        return;
    m_sincronizando = true;
    const QModelIndex i = m_model->index(linha, DBGrid1->currentIndex().isValid() ? DBGrid1->currentIndex().column() : 0);
    // In multiple selection moving the current row must not change what the user marked.
    DBGrid1->selectionModel()->setCurrentIndex(
        i, MultiSelecao ? QItemSelectionModel::NoUpdate : QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    DBGrid1->scrollTo(i);
    m_sincronizando = false;
}

void TFrmLoc::Abre()
{
    m_query = std::make_unique<db::Dataset>(QStringLiteral("QLoc"), DM ? DM->conexao() : nullptr);
    m_query->setFilter(QString());
    LigaGrade();

    DBGrid1->setSelectionMode(MultiSelecao ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    LabelCtrl->setVisible(MultiSelecao);

    if (!Consulta.isEmpty()) {
        setWindowTitle(QStringLiteral("Localizar informação"));
        Label1->setText(QStringLiteral("Localizar informação..."));
        try {
            m_query->open(Consulta);
        } catch (const std::exception &e) {
            ui::erro(QStringLiteral("Erro ao executar a subconsulta para geração da lista!\r\n\r\n") + QString::fromUtf8(e.what()), this);
        }
    } else {
        Campo.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
        setWindowTitle(QStringLiteral("Localizar ") + Campo);
        Label1->setText(QStringLiteral("Localizar ") + Campo + QStringLiteral("..."));
        // An exception must not cross the event loop: the engine's message is shown as is.
        try {
            m_query->open(QStringLiteral("select ") + Campo + QStringLiteral(" from ") + Tabela + QStringLiteral(" group by ") +
                          Campo + QStringLiteral(" order by ") + Campo);
        } catch (const std::exception &e) {
            ui::erro(QString::fromUtf8(e.what()), this);
        }
    }

    if (!MensagemVazia.trimmed().isEmpty() && (!m_query->isOpen() || m_query->isEmpty()))
        ui::informacao(MensagemVazia, this);

    if (IdSelecionado > 0) {
        try {
            m_query->locate(QStringLiteral("id"), IdSelecionado);
        } catch (const std::exception &) {
        }
    }
    SincronizaLinha();

    Valores.clear();

    const int colunas = m_model->columnCount();
    for (int i = 0; i < colunas; ++i) {
        int largura = DBGrid1->columnWidth(i);
        if (i < kLargurasColunas && Larguras[i] >= 0)
            largura = Larguras[i];
        else {
            DBGrid1->resizeColumnToContents(i);
            largura = std::min(DBGrid1->columnWidth(i), 300);
        }
        if (ehId(m_query->fields().at(i).name))
            largura = 0;
        DBGrid1->setColumnHidden(i, largura <= 0);
        if (largura > 0)
            DBGrid1->setColumnWidth(i, largura);
    }

    const bool filtrar = os::IniFile(caminhoIni()).readBool(kConfig, kFiltrar, false);
    (filtrar ? RadioFiltrar : RadioLocalizar)->setChecked(true);

    if (Campo.isEmpty()) {
        for (int i = 0; i < colunas; ++i)
            if (!DBGrid1->isColumnHidden(i)) {
                Campo = m_query->fields().at(i).name;
                break;
            }
    }
    AtualizaGrupo();

    Edit1->setFocus();
    Edit1->setText(TextoInicial.trimmed());
    Edit1->setCursorPosition(int(Edit1->text().size()));
}

void TFrmLoc::AtualizaGrupo() { GroupBox1->setTitle(QStringLiteral("Localizar / Filtrar por: ") + Campo + QLatin1Char(' ')); }

QString TFrmLoc::TextoFiltro(const db::Field &campo, const QString &texto)
{
    const QString coluna = QLatin1Char('[') + campo.name + QLatin1Char(']');
    using db::FieldType;
    // The id is the auto-increment column: it is searched as text.
    const bool autoIncremento = ehId(campo.name);
    switch (campo.type) {
    case FieldType::Integer:
    case FieldType::SmallInt:
    case FieldType::Double:
    case FieldType::Currency:
        if (!autoIncremento)
            return coluna + QLatin1Char('=') + texto;
        break;
    case FieldType::Date:
    case FieldType::DateTime:
        if (EData(texto))
            return coluna + QLatin1Char('=') + db::quoted(texto);
        break;
    default:
        break;
    }
    return coluna + QStringLiteral(" like ") + db::quoted(QLatin1Char('*') + texto + QLatin1Char('*'));
}

void TFrmLoc::Pesquisa(const QString &texto)
{
    if (!m_query || !m_query->isOpen())
        return;
    const QString anterior = m_query->filter();
    try {
        if (texto.trimmed().isEmpty()) {
            m_query->setFilter(QString());
        } else if (RadioFiltrar->isChecked()) {
            const int i = m_query->fieldIndex(Campo);
            if (i >= 0) {
                db::Field f = m_query->fields().at(i);
                f.name = Campo;
                m_query->setFilter(TextoFiltro(f, texto));
            }
        } else {
            m_query->locate(Campo, texto, {true, true});
        }
    } catch (const std::exception &) {
        // A text the column cannot take: the grid keeps the rows it had.
        try {
            m_query->setFilter(anterior);
        } catch (const std::exception &) {
        }
    }
}

void TFrmLoc::TituloClick(int coluna)
{
    if (!m_query || !m_query->isOpen() || coluna < 0 || coluna >= m_query->fieldCount())
        return;
    try {
        const QString nome = m_query->fields().at(coluna).name;
        m_query->setSort(QLatin1Char('[') + nome + QLatin1Char(']'));
        Campo = nome;
        AtualizaGrupo();
        Edit1->setFocus();
    } catch (const std::exception &) {
    }
}

void TFrmLoc::TrocaModo()
{
    Edit1->clear();
    Edit1->setFocus();
    if (m_query && m_query->isOpen()) {
        try {
            m_query->setFilter(QString());
        } catch (const std::exception &) {
        }
    }
}

void TFrmLoc::Confirma()
{
    Valores.clear();
    if (m_query && m_query->isOpen() && m_model) {
        const int atual = m_query->recNo();
        const auto texto = [this](int linha, int coluna) {
            return m_model->data(m_model->index(linha, coluna), Qt::DisplayRole).toString();
        };
        const int colunas = m_model->columnCount();
        if (MultiSelecao && colunas > 0) {
            if (m_marcadas.isEmpty()) {
                if (atual >= 0 && atual < m_model->rowCount())
                    Valores << texto(atual, 0);
            } else {
                const db::FieldType tipo = m_query->fields().at(0).type;
                const bool aspas = tipo == db::FieldType::Text || tipo == db::FieldType::Memo;
                for (int k = 0; k < m_marcadas.size(); ++k) {
                    QString v = texto(m_marcadas.at(k), 0);
                    if (aspas)
                        v = db::quoted(v);
                    if (k < m_marcadas.size() - 1)
                        v += QStringLiteral(", ");
                    Valores << v;
                }
            }
        } else if (atual >= 0 && atual < m_model->rowCount()) {
            for (int c = 0; c < colunas; ++c)
                Valores << texto(atual, c);
        }
        IdSelecionado = 0;
        if (colunas > 0 && ehId(m_query->fields().at(0).name)) {
            try {
                IdSelecionado = int(m_query->field(0).asInteger());
            } catch (const std::exception &) {
                IdSelecionado = 0;
            }
        }
    } else {
        IdSelecionado = 0;
    }
    Cancelado = 0;
    accept();
}

void TFrmLoc::Cancela()
{
    IdSelecionado = -1;
    Cancelado = 1;
    reject();
}

void TFrmLoc::done(int result)
{
    DBGrid1->setModel(nullptr);
    delete m_model;
    m_model = nullptr;
    m_marcadas.clear();
    if (m_query)
        m_query->close();
    m_query.reset();
    Edit1->clear();
    Consulta.clear();
    MensagemVazia.clear();
    TextoInicial.clear();
    Campo.clear();
    limpaLarguras();
    os::IniFile(caminhoIni()).writeBool(kConfig, kFiltrar, RadioFiltrar->isChecked());
    QDialog::done(result);
}

void TFrmLoc::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        Cancela();
        return;
    case Qt::Key_F1:
        Edit1->setFocus();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

bool TFrmLoc::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == DBGrid1 && event->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(event);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            Confirma();
            return true;
        }
        if (k->key() == Qt::Key_Delete && (k->modifiers() & Qt::ControlModifier))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}
