#include "shell/TForm1.h"

#include "data/Funcoes.h"
#include "data/TDM.h"
#include "platform/os/Clock.h"
#include "platform/ui/MessageService.h"
#include "shell/Acesso.h"
#include "shell/BackupAutomatico.h"
#include "shell/Encerramento.h"
#include "shell/Startup.h"
#include "shell/TFrmSenha.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

TForm1 *Form1 = nullptr;

namespace {
const QString kForm1 = QStringLiteral("Form1");
constexpr int kPrimeiroUsuario = 2; // users menu: logoff, separator, then the users

// A login shown literally: "&" would otherwise mark a mnemonic.
QString textoLiteral(QString texto) { return texto.replace(QLatin1Char('&'), QStringLiteral("&&")); }
} // namespace

TForm1::TForm1(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(kForm1);
    setWindowTitle(shell::TituloAplicacao());
    criaMenus();
    criaBarra();
    criaFundo();

    auto *barra = statusBar();
    barra->setObjectName(QStringLiteral("StatusBar1"));
    barra->setSizeGripEnabled(false);
    const int larguras[4] = {260, 80, 60, 0};
    for (int i = 0; i < 4; ++i) {
        m_paineis[i] = new QLabel(barra);
        m_paineis[i]->setObjectName(QStringLiteral("Painel%1").arg(i));
        m_paineis[i]->setFrameShape(QFrame::StyledPanel);
        m_paineis[i]->setFrameShadow(QFrame::Sunken);
        m_paineis[i]->setContentsMargins(6, 1, 6, 1);
        if (larguras[i] > 0)
            m_paineis[i]->setFixedWidth(larguras[i]);
        barra->addWidget(m_paineis[i], i == 3 ? 1 : 0);
    }
    m_paineis[1]->setContentsMargins(1, 1, 1, 1); // "dd/mm/yyyy" in its 80 pixels
    m_paineis[1]->setAlignment(Qt::AlignCenter);
    m_paineis[2]->setAlignment(Qt::AlignCenter);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(10000);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    Timer1->start();
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(250);
    connect(Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);

    // Every key reaches the window first, whatever has the focus.
    using shell::LigaComando;
    LigaComando(this, [this] { executa(Responsveis1, Responsveis1, kForm1); }, ToolButton2, Responsveis1, QKeySequence(Qt::Key_F2));
    LigaComando(this, [this] { executa(Fichas1, Fichas1, kForm1); }, ToolButton3, Fichas1, QKeySequence(Qt::Key_F3));
    LigaComando(this, [this] { executa(Atendimentos1, Atendimentos1, kForm1); }, ToolButton4, Atendimentos1, QKeySequence(Qt::Key_F4));
    LigaComando(this, [this] { executa(Doaes1, Doaes1, kForm1); }, ToolButton5, Doaes1, QKeySequence(Qt::Key_F5));
    auto abreSob = [](QToolButton *botao, QMenu *menu) {
        if (botao->isEnabled())
            menu->popup(botao->mapToGlobal(QPoint(0, botao->height())));
    };
    LigaComando(this, [=, this] { abreSob(ToolButton1, MenuUsuarios); }, nullptr, nullptr, QKeySequence(Qt::Key_F1));
    LigaComando(this, [=, this] { abreSob(ToolButton6, MenuRelatorios); }, nullptr, nullptr, QKeySequence(Qt::Key_F6));
    LigaComando(this, [this] { close(); }, ToolButton7, Sair1);
    // ESC closes in every state; a running backup refuses in closeEvent.
    LigaComando(this, [this] { close(); }, nullptr, nullptr, QKeySequence(Qt::Key_Escape));

    CopiaSeguranca = [this](const QStringList &arquivos, const QString &destino) {
        Back.setMaxVolumeSize(0);
        return Back.backup(arquivos, destino);
    };

    if (!Form1)
        Form1 = this;
}

TForm1::~TForm1()
{
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::criaMenus()
{
    auto entrada = [this](QMenu *menu, const char *nome, const QString &texto) {
        QAction *a = menu->addAction(texto);
        a->setObjectName(QString::fromLatin1(nome));
        m_entradasProprias << a;
        return a;
    };
    auto submenu = [this](QMenu *pai, const char *nome, const QString &texto) {
        QMenu *m = pai ? pai->addMenu(texto) : menuBar()->addMenu(texto);
        m->setObjectName(QString::fromLatin1(nome));
        m->menuAction()->setObjectName(QString::fromLatin1(nome));
        m_entradasProprias << m->menuAction();
        return m;
    };
    // Entries that open a window of their own and have no key here.
    auto livre = [this](QAction *a) { connect(a, &QAction::triggered, this, [this, a] { executa(a, nullptr, QString()); }); };
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));

    Cadastro1 = submenu(nullptr, "Cadastro1", QStringLiteral("&Cadastro"));
    Atendimentos1 = entrada(Cadastro1, "Atendimentos1", QStringLiteral("Atendimentos"));
    Doaes1 = entrada(Cadastro1, "Doaes1", QStringLiteral("Doações"));
    Fichas1 = entrada(Cadastro1, "Fichas1", QStringLiteral("Fichas (Cadastros sociais)"));
    Responsveis1 = entrada(Cadastro1, "Responsveis1", QStringLiteral("Profissionais"));
    Usurios1 = entrada(Cadastro1, "Usurios1", QStringLiteral("Usuários"));
    connect(Usurios1, &QAction::triggered, this, [this] { executa(Usurios1, Usurios1, kForm1); });
    TabelasOperacionais1 = submenu(Cadastro1, "TabelasOperacionais1", QStringLiteral("Tabelas operacionais"));
    TiposDeDoacao1 = entrada(TabelasOperacionais1, "TiposDeDoacao1", QStringLiteral("Tipos de doação"));
    TiposDeNaturalidade1 = entrada(TabelasOperacionais1, "TiposDeNaturalidade1", QStringLiteral("Tipos de naturalidade"));
    TiposDeProfissao1 = entrada(TabelasOperacionais1, "TiposDeProfissao1", QStringLiteral("Tipos de profissão"));
    TiposDeProfissional1 = entrada(TabelasOperacionais1, "TiposDeProfissional1", QStringLiteral("Tipos de profissional"));
    TiposDeRenda1 = entrada(TabelasOperacionais1, "TiposDeRenda1", QStringLiteral("Tipos de renda"));
    for (QAction *a : {TiposDeDoacao1, TiposDeNaturalidade1, TiposDeProfissao1, TiposDeProfissional1, TiposDeRenda1})
        livre(a);
    m_entradasProprias << Cadastro1->addSeparator();
    Sair1 = entrada(Cadastro1, "Sair1", QStringLiteral("Sair"));

    Ferramentas1 = submenu(nullptr, "Ferramentas1", QStringLiteral("&Ferramentas"));
    Backup1 = entrada(Ferramentas1, "Backup1", QStringLiteral("Backup"));
    connect(Backup1, &QAction::triggered, this, [this] { executa(Backup1, this, QStringLiteral("GeraBackup")); });
    RestaurarBackup1 = entrada(Ferramentas1, "RestaurarBackup1", QStringLiteral("Restaurar backup"));
    connect(RestaurarBackup1, &QAction::triggered, this, [this] { executa(RestaurarBackup1, this, QStringLiteral("RestauraBackup")); });
    CompactarBanco1 = entrada(Ferramentas1, "CompactarBanco1", QStringLiteral("Compactar banco de dados"));
    livre(CompactarBanco1);
    m_entradasProprias << Ferramentas1->addSeparator();
    Setup1 = entrada(Ferramentas1, "Setup1", QStringLiteral("Setup"));
    connect(Setup1, &QAction::triggered, this, [this] { executa(Setup1, Setup1, kForm1); });

    // Built-in reports check their key when printed, not here.
    Relatorios1 = submenu(nullptr, "Relatorios1", QStringLiteral("&Relatórios"));
    GeradorDeRelatorios1 = entrada(Relatorios1, "GeradorDeRelatorios1", QStringLiteral("Gerador de relatórios"));
    Acessos1 = entrada(Relatorios1, "Acessos1", QStringLiteral("Acessos"));
    m_entradasProprias << Relatorios1->addSeparator();
    RelDoacoes1 = submenu(Relatorios1, "RelDoacoes1", QStringLiteral("Doações"));
    DoacoesPorFamilia1 = entrada(RelDoacoes1, "DoacoesPorFamilia1", QStringLiteral("Por família"));
    DoacoesPorMorador1 = entrada(RelDoacoes1, "DoacoesPorMorador1", QStringLiteral("Por morador"));
    RelDoacoesPorTipo1 = submenu(RelDoacoes1, "RelDoacoesPorTipo1", QStringLiteral("Por tipo"));
    DoacoesAnalitico1 = entrada(RelDoacoesPorTipo1, "DoacoesAnalitico1", QStringLiteral("Analítico"));
    DoacoesSintetico1 = entrada(RelDoacoesPorTipo1, "DoacoesSintetico1", QStringLiteral("Sintético"));
    RelCadastros1 = submenu(Relatorios1, "RelCadastros1", QStringLiteral("Cadastros sociais"));
    FichaFamiliar1 = entrada(RelCadastros1, "FichaFamiliar1", QStringLiteral("Ficha familiar"));
    RelParaPreenchimento1 = submenu(RelCadastros1, "RelParaPreenchimento1", QStringLiteral("Para preenchimento"));
    PreenchimentoFrente1 = entrada(RelParaPreenchimento1, "PreenchimentoFrente1", QStringLiteral("Frente"));
    PreenchimentoVerso1 = entrada(RelParaPreenchimento1, "PreenchimentoVerso1", QStringLiteral("Verso"));
    PreenchimentoFrenteVerso1 = entrada(RelParaPreenchimento1, "PreenchimentoFrenteVerso1", QStringLiteral("Frente / Verso"));
    RelMoradores1 = submenu(Relatorios1, "RelMoradores1", QStringLiteral("Moradores"));
    DadosPessoais1 = entrada(RelMoradores1, "DadosPessoais1", QStringLiteral("Dados pessoais"));
    ListaMoradoresSimples1 = entrada(RelMoradores1, "ListaMoradoresSimples1", QStringLiteral("Lista de moradores simples"));
    ListaMoradoresFinanceiros1 = entrada(RelMoradores1, "ListaMoradoresFinanceiros1", QStringLiteral("Lista de moradores - dados financeiros"));
    RelRendas1 = submenu(Relatorios1, "RelRendas1", QStringLiteral("Rendas"));
    RendasPorFamilia1 = entrada(RelRendas1, "RendasPorFamilia1", QStringLiteral("Por família"));
    RendasPorMorador1 = entrada(RelRendas1, "RendasPorMorador1", QStringLiteral("Por morador"));
    RendasPorTipo1 = entrada(RelRendas1, "RendasPorTipo1", QStringLiteral("Por tipo"));
    Resumo1 = entrada(Relatorios1, "Resumo1", QStringLiteral("Resumo"));
    m_entradasProprias << Relatorios1->addSeparator();
    MenuPrincipal = submenu(Relatorios1, "MenuPrincipal", QStringLiteral("Outros"));
    for (QAction *a : {GeradorDeRelatorios1, Acessos1, DoacoesPorFamilia1, DoacoesPorMorador1, DoacoesAnalitico1,
                       DoacoesSintetico1, FichaFamiliar1, PreenchimentoFrente1, PreenchimentoVerso1,
                       PreenchimentoFrenteVerso1, DadosPessoais1, ListaMoradoresSimples1, ListaMoradoresFinanceiros1,
                       RendasPorFamilia1, RendasPorMorador1, RendasPorTipo1, Resumo1})
        livre(a);

    Ajuda1 = submenu(nullptr, "Ajuda1", QStringLiteral("A&juda"));
    EnviarBanco1 = entrada(Ajuda1, "EnviarBanco1", QStringLiteral("Enviar banco de dados ao servidor"));
    VerificarVersoes1 = entrada(Ajuda1, "VerificarVersoes1", QStringLiteral("Verificar novas versões"));
    m_entradasProprias << Ajuda1->addSeparator();
    Sobre1 = entrada(Ajuda1, "Sobre1", QStringLiteral("Sobre"));
    for (QAction *a : {EnviarBanco1, VerificarVersoes1, Sobre1})
        livre(a);

    MenuUsuarios = new QMenu(this);
    MenuUsuarios->setObjectName(QStringLiteral("MenuUsuarios"));
    Efetuarlogoff1 = entrada(MenuUsuarios, "Efetuarlogoff1", QStringLiteral("Efetuar logoff ..."));
    connect(Efetuarlogoff1, &QAction::triggered, this, &TForm1::Efetuarlogoff1Click);
    N1 = MenuUsuarios->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    m_entradasProprias << N1;

    MenuRelatorios = new QMenu(this);
    MenuRelatorios->setObjectName(QStringLiteral("MenuRelatorios"));
}

void TForm1::criaBarra()
{
    ToolBar1 = addToolBar(QStringLiteral("Barra"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);

    struct Botao {
        QToolButton **alvo;
        const char *nome;
        const char *texto;
        QStyle::StandardPixmap icone;
    };
    const Botao botoes[] = {
        {&ToolButton1, "ToolButton1", "Login [F1]", QStyle::SP_DialogApplyButton},
        {&ToolButton2, "ToolButton2", "  Profissionais [F2]  ", QStyle::SP_FileDialogContentsView},
        {&ToolButton3, "ToolButton3", "  Fichas [F3]  ", QStyle::SP_FileDialogDetailedView},
        {&ToolButton4, "ToolButton4", "Atendimentos [F4]", QStyle::SP_FileDialogInfoView},
        {&ToolButton5, "ToolButton5", "Doações [F5]", QStyle::SP_DialogSaveButton},
        {&ToolButton6, "ToolButton6", "Relatórios [F6]", QStyle::SP_FileIcon},
        {&ToolButton7, "ToolButton7", "Sair [ESC]", QStyle::SP_DialogCloseButton},
    };
    QFont fonte = font();
    fonte.setPointSizeF(fonte.pointSizeF() + 1);
    for (const Botao &b : botoes) {
        auto *botao = new QToolButton(ToolBar1);
        botao->setObjectName(QString::fromLatin1(b.nome));
        botao->setText(QString::fromUtf8(b.texto));
        botao->setIcon(style()->standardIcon(b.icone));
        botao->setIconSize(QSize(32, 32));
        botao->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        botao->setFont(fonte);
        botao->setMinimumWidth(112);
        botao->setFocusPolicy(Qt::NoFocus);
        if (b.alvo == &ToolButton7)
            ToolBar1->addSeparator();
        ToolBar1->addWidget(botao);
        *b.alvo = botao;
        m_botoes << botao;
    }
    ToolButton1->setMenu(MenuUsuarios);
    ToolButton1->setPopupMode(QToolButton::InstantPopup);
    ToolButton6->setMenu(MenuRelatorios);
    ToolButton6->setPopupMode(QToolButton::InstantPopup);
}

void TForm1::criaFundo()
{
    auto *fundo = new QWidget(this);
    fundo->setObjectName(QStringLiteral("Fundo"));
    fundo->setAutoFillBackground(true);
    QPalette cor = fundo->palette();
    cor.setColor(QPalette::Window, QColor(0xdf, 0xe6, 0xef));
    fundo->setPalette(cor);
    setCentralWidget(fundo);

    Image1 = new QLabel(fundo);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->hide();

    Panel1 = new QFrame(fundo);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setFrameShadow(QFrame::Raised);
    Panel1->setAutoFillBackground(true);
    Panel1->setFixedSize(600, 150);
    auto *texto = new QLabel(QStringLiteral("Executando Backup..."), Panel1);
    texto->setObjectName(QStringLiteral("Label1"));
    QFont f = texto->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() + 3);
    texto->setFont(f);
    texto->setAlignment(Qt::AlignCenter);
    texto->setGeometry(0, 12, 600, 30);
    auto figura = [this](const char *nome, QStyle::StandardPixmap icone, int x, int tamanho) {
        auto *l = new QLabel(Panel1);
        l->setObjectName(QString::fromLatin1(nome));
        l->setPixmap(style()->standardIcon(icone).pixmap(tamanho, tamanho));
        l->setGeometry(x, 70 - tamanho / 2 + 20, tamanho, tamanho);
        return l;
    };
    Image2 = figura("Image2", QStyle::SP_DriveHDIcon, 170, 48);
    Image3 = figura("Image3", QStyle::SP_DialogSaveButton, 370, 48);
    Image4 = figura("Image4", QStyle::SP_FileIcon, 250, 32);
    Panel1->hide();
}

void TForm1::FormCreate()
{
    // The whole work area; the desktop's own panels are already outside it.
    if (QScreen *tela = screen()) {
        const QRect area = tela->availableGeometry();
        move(area.topLeft());
        resize(area.size());
    }
    setWindowState(windowState() | Qt::WindowMaximized);
    DesabilitaTudo();
    if (width() < 800)
        ui::informacao(QStringLiteral("Este sistema foi desenvolvido para resulução mínima de 800 X 600!"), this);

    if (DM && DM->conexao()) {
        DM->TBUsuarios.open();
        if (DM->TBUsuarios.isEmpty()) {
            ui::informacao(QStringLiteral("Não existem usuarios cadastrados! Você deverá cadastra um usuário e uma "
                                          "senha para posterior acesso!"),
                           this);
            if (CadastraPrimeiroUsuario) {
                DM->TBUsuarios.append();
                CadastraPrimeiroUsuario();
                if (DM->TBUsuarios.state() != db::Dataset::State::Browse && DM->TBUsuarios.isOpen())
                    DM->TBUsuarios.cancel();
                DM->TBUsuarios.open();
            }
            if (DM->TBUsuarios.isEmpty()) {
                ui::erro(QStringLiteral("O sistema será finalizado!"), this);
                shell::FinalizaPrograma(1);
                return;
            }
        }
        CarregaUsuarios();
    }
    CopiaMenu(Relatorios1->menuAction(), MenuRelatorios);
    if (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

void TForm1::DesabilitaTudo()
{
    for (QToolButton *b : m_botoes)
        b->setEnabled(false);
    for (QAction *a : m_entradasProprias)
        a->setEnabled(false);
    ToolButton1->setEnabled(true);
}

void TForm1::AbilitaTudo()
{
    if (DM && DM->conexao() && !DM->TBConfiguracoes.isOpen())
        DM->TBConfiguracoes.open();
    setWindowTitle(shell::TituloAplicacao());
    for (QToolButton *b : m_botoes)
        b->setEnabled(true);
    for (QAction *a : m_entradasProprias)
        a->setEnabled(true);
    const QList<QAction *> itens = MenuUsuarios->actions();
    for (int i = kPrimeiroUsuario; i < itens.size(); ++i)
        itens[i]->setEnabled(false);
}

void TForm1::CarregaUsuarios()
{
    const QList<QAction *> itens = MenuUsuarios->actions();
    for (int i = kPrimeiroUsuario; i < itens.size(); ++i)
        delete itens[i];
    if (!DM)
        return;
    db::Dataset &usuarios = DM->TBUsuarios;
    if (!usuarios.isOpen())
        usuarios.open();
    for (usuarios.first(); !usuarios.eof(); usuarios.next())
        CarregarUsuario();
}

void TForm1::CarregarUsuario()
{
    const QString login = DM->TBUsuarios.field(QStringLiteral("nome")).asString();
    QAction *item = MenuUsuarios->addAction(textoLiteral(login));
    item->setData(login); // the login itself, whatever its caption shows
    connect(item, &QAction::triggered, this, [this, item] { VerUsuario(item); });
}

void TForm1::VerUsuario(QAction *item)
{
    if (item && FrmSenha)
        FrmSenha->Abre(item->data().toString());
}

void TForm1::Efetuarlogoff1Click()
{
    DesabilitaTudo();
    m_paineis[0]->setText(QStringLiteral("USUÁRIO:"));
    const QList<QAction *> itens = MenuUsuarios->actions();
    for (int i = kPrimeiroUsuario; i < itens.size(); ++i)
        itens[i]->setEnabled(true);
}

void TForm1::DefineComando(const QString &entrada, std::function<void()> acao) { m_comandos.insert(entrada, std::move(acao)); }

void TForm1::executa(QAction *entrada, QObject *chave, const QString &formulario)
{
    if (!formulario.isEmpty() && !TemAcesso(chave, formulario))
        return;
    if (const auto acao = m_comandos.value(entrada->objectName()))
        acao();
}

void TForm1::Timer1Timer()
{
    const QDateTime agora = os::clock().now();
    m_paineis[1]->setText(agora.date().toString(QStringLiteral("dd/MM/yyyy")));
    m_paineis[2]->setText(agora.time().toString(QStringLiteral("HH:mm")));
}

void TForm1::Timer2Timer()
{
    int x = Image4->x() + 10;
    if (x >= 300)
        x = 250;
    Image4->move(x, Image4->y());
    Panel1->repaint();
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    m_paineis[1]->setFixedWidth(80);
    Timer1Timer();
    if (DM && DM->conexao())
        DM->CarregaMenu(MenuPrincipal);
}

void TForm1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    centraFundo();
}

void TForm1::centraFundo()
{
    QWidget *fundo = centralWidget();
    const QString logo = CaminhoSistema + QStringLiteral("logo.jpg");
    if (QFile::exists(logo)) {
        const QPixmap figura(logo);
        Image1->setPixmap(figura);
        Image1->resize(figura.size());
        Image1->move(fundo->width() / 2 - figura.width() / 2, fundo->height() / 2 - figura.height() / 2);
        Image1->setVisible(!figura.isNull());
    }
    Panel1->move(fundo->width() / 2 - Panel1->width() / 2, fundo->height() / 2 - Panel1->height() / 2);
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // "Login [F1]" disabled: a backup or restore is running.
    if (!ToolButton1->isEnabled() || !ui::confirmacao(QStringLiteral("Confirma a saida do sistema?"), this)) {
        event->ignore();
        return;
    }
    if (DM)
        DM->GravaAcesso(QStringLiteral("Abandonou o sistema."));
    if (BackupAutomatico)
        backupAoSair();
    if (DM)
        DM->Desconectar();
    event->accept();
    shell::FinalizaPrograma(0);
}

void TForm1::backupAoSair()
{
    Panel1->show();
    Panel1->raise();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    repaint();
    QCoreApplication::processEvents();
    shell::ExecutaBackupAutomatico(CaminhoBanco, CaminhoBackupAutomatico, os::clock().today(), CopiaSeguranca);
    Panel1->hide();
    QGuiApplication::restoreOverrideCursor();
}
