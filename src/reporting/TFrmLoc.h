#pragma once
// The locate dialog: a query's result (or the distinct values of one column) in a grid with a search
// box that filters or locates as the user types; callers set the inputs, show it and read the outputs.

#include <QDialog>
#include <QList>
#include <QStringList>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;

namespace db {
class Dataset;
class DatasetModel;
struct Field;
}

// Column widths of the next showing, by grid column: -1 keeps the grid's width, 0 hides the column.
inline constexpr int kLargurasColunas = 41;
extern int Larguras[kLargurasColunas];

class TFrmLoc : public QDialog {
    Q_OBJECT
public:
    explicit TFrmLoc(QWidget *parent = nullptr);
    ~TFrmLoc() override;

    QString Consulta;
    bool MultiSelecao = false;
    QString Campo;
    QString Tabela;
    int IdSelecionado = 0;
    QStringList Valores;
    QString MensagemVazia;
    QString TextoInicial;

    QLabel *Label1;          // header
    QGroupBox *GroupBox1;    // " Localizar / Filtrar: "
    QLineEdit *Edit1;        // search box
    QRadioButton *RadioFiltrar;
    QRadioButton *RadioLocalizar;
    QTableView *DBGrid1;
    QLabel *LabelCtrl;       // multiple-selection hint
    QPushButton *xpButton1;  // "Confirma"
    QPushButton *xpButton2;  // "Cancela"

    // The dialog's query while it is showing, else null.
    db::Dataset *Query() const { return m_query.get(); }

    void Confirma();
    void Cancela();
    // The filter text the search builds for that column and text.
    static QString TextoFiltro(const db::Field &campo, const QString &texto);

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Abre();
    void Pesquisa(const QString &texto);
    void TituloClick(int coluna);
    void TrocaModo();
    void AtualizaGrupo();
    void LigaGrade();
    void SincronizaLinha();
    QString caminhoIni() const;

    std::unique_ptr<db::Dataset> m_query;
    db::DatasetModel *m_model = nullptr;
    QList<int> m_marcadas; // marked rows, in the order of marking
    bool m_sincronizando = false;
};

extern TFrmLoc *FrmLoc;
