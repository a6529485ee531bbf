#pragma once
// The main window: menus, toolbar, function keys, status bar, clock, the users and reports menus,
// the logged-out, logged-in and busy states, and closing with the automatic backup.

#include "platform/archive/BackupArchive.h"

#include <QHash>
#include <QMainWindow>
#include <functional>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QTimer;
class QToolBar;
class QToolButton;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // The creation steps that need the database: size, logged-out state, the first user, the users
    // menu and the reports menu copy. Run once, after the seams below are filled.
    void FormCreate();

    void DesabilitaTudo();
    void AbilitaTudo();
    // Rebuilds the user items of the users menu from TBUsuarios (the user list does it on close).
    void CarregaUsuarios();
    void CarregarUsuario();
    void VerUsuario(QAction *item);
    void Efetuarlogoff1Click();

    // What a menu command does once its key is granted, by the entry's objectName ("Fichas1",
    // "Backup1", "TiposDeRenda1" ...). The windows that come later fill these.
    void DefineComando(const QString &entrada, std::function<void()> acao);
    // Asks for the first user when usuarios is empty; the user editor fills it.
    std::function<void()> CadastraPrimeiroUsuario;
    // The backup archive component, and how the automatic backup uses it (tests replace this).
    archive::BackupArchive Back;
    std::function<bool(const QStringList &arquivos, const QString &destino)> CopiaSeguranca;

    // Writes today's date and the time into the status bar.
    void Timer1Timer();
    QLabel *Painel(int indice) const { return m_paineis[indice]; }

    // Main menu.
    QMenu *Cadastro1, *TabelasOperacionais1, *Ferramentas1, *Relatorios1, *Ajuda1;
    QMenu *RelDoacoes1, *RelDoacoesPorTipo1, *RelCadastros1, *RelParaPreenchimento1, *RelMoradores1, *RelRendas1;
    QMenu *MenuPrincipal; // "Outros": the user-defined reports (CarregaMenu)
    QAction *Atendimentos1, *Doaes1, *Fichas1, *Responsveis1, *Usurios1;
    QAction *TiposDeDoacao1, *TiposDeNaturalidade1, *TiposDeProfissao1, *TiposDeProfissional1, *TiposDeRenda1;
    QAction *Sair1;
    QAction *Backup1, *RestaurarBackup1, *CompactarBanco1, *Setup1;
    QAction *GeradorDeRelatorios1, *Acessos1;
    QAction *DoacoesPorFamilia1, *DoacoesPorMorador1, *DoacoesAnalitico1, *DoacoesSintetico1;
    QAction *FichaFamiliar1, *PreenchimentoFrente1, *PreenchimentoVerso1, *PreenchimentoFrenteVerso1;
    QAction *DadosPessoais1, *ListaMoradoresSimples1, *ListaMoradoresFinanceiros1;
    QAction *RendasPorFamilia1, *RendasPorMorador1, *RendasPorTipo1, *Resumo1;
    QAction *EnviarBanco1, *VerificarVersoes1, *Sobre1;

    // Toolbar: Login, Profissionais, Fichas, Atendimentos, Doações, Relatórios, Sair.
    QToolBar *ToolBar1;
    QToolButton *ToolButton1, *ToolButton2, *ToolButton3, *ToolButton4, *ToolButton5, *ToolButton6, *ToolButton7;

    // Users menu: item 0 logoff, item 1 a separator, then one item per user.
    QMenu *MenuUsuarios;
    QAction *Efetuarlogoff1, *N1;
    QMenu *MenuRelatorios; // the copy of "Relatórios" behind "Relatórios [F6]"

    QLabel *Image1;  // background picture
    QFrame *Panel1;  // shown during backups and restores
    QLabel *Image2, *Image3, *Image4; // source, target, moving picture
    QTimer *Timer1, *Timer2;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void criaMenus();
    void criaBarra();
    void criaFundo();
    void executa(QAction *entrada, QObject *chave, const QString &formulario);
    void centraFundo();
    void backupAoSair();
    void Timer2Timer();

    QLabel *m_paineis[4] = {};
    QList<QAction *> m_entradasProprias; // the window's own entries, not those added at run time
    QList<QToolButton *> m_botoes;
    QHash<QString, std::function<void()>> m_comandos;
};

extern TForm1 *Form1;
