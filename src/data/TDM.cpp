#include "data/TDM.h"
#include "platform/os/Clock.h"
#include "platform/os/IniFile.h"
#include "platform/ui/MessageService.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QMenu>

TDM *DM = nullptr;

namespace {
const QString kConfig = QStringLiteral("Config");

QString semAceleradores(QString caption)
{
    caption.remove(QLatin1Char('&'));
    return caption.trimmed();
}
} // namespace

TDM::TDM(QObject *parent)
    : QObject(parent),
      QFichas(QStringLiteral("QFichas")), QMoradores(QStringLiteral("QMoradores")), QRendas(QStringLiteral("QRendas")),
      QDoacoes(QStringLiteral("QDoacoes")), QResponsaveis(QStringLiteral("QResponsaveis")),
      QAtendimentos(QStringLiteral("QAtendimentos")), TAtendimento(QStringLiteral("TAtendimento")),
      QDoacoesPadrao(QStringLiteral("QDoacoesPadrao")), TDoacoesPadrao(QStringLiteral("TDoacoesPadrao")),
      TFichas(QStringLiteral("TFichas")), TMoradores(QStringLiteral("TMoradores")), TRendas(QStringLiteral("TRendas")),
      TDoacoes(QStringLiteral("TDoacoes")), TResponsaveis(QStringLiteral("TResponsaveis")),
      TTipoDoacao(QStringLiteral("TTipoDoacao")), TTipoRenda(QStringLiteral("TTipoRenda")),
      TTipoProfissional(QStringLiteral("TTipoProfissional")), QTipoMorador(QStringLiteral("QTipoMorador")),
      QTipoEstadoCivil(QStringLiteral("QTipoEstadoCivil")), QTipoMoradia(QStringLiteral("QTipoMoradia")),
      QTipoBanheiro(QStringLiteral("QTipoBanheiro")), QTipoEstadoImovel(QStringLiteral("QTipoEstadoImovel")),
      TBConfiguracoes(QStringLiteral("TBConfiguracoes")), TBUsuarios(QStringLiteral("TBUsuarios")),
      TRelatorios(QStringLiteral("TRelatorios")), TAtributos(QStringLiteral("TAtributos")), QObjetos(QStringLiteral("QObjetos")),
      TObjetos(QStringLiteral("TObjetos")), QPropriedades(QStringLiteral("QPropriedades")),
      TPropriedades(QStringLiteral("TPropriedades")), QConsulta(QStringLiteral("QConsulta"))
{
    setObjectName(QStringLiteral("DM"));
    // Design-time statements; the windows replace most of them.
    QFichas.setSql(QStringLiteral("select * from cfichas"));
    QMoradores.setSql(QStringLiteral("select * from cmoradores"));
    QRendas.setSql(QStringLiteral("select * from crendas"));
    QDoacoes.setSql(QStringLiteral("select * from cdoacoes"));
    TFichas.setSql(QStringLiteral("select * from fichas"));
    TMoradores.setSql(QStringLiteral("select * from moradores"));
    TRendas.setSql(QStringLiteral("select * from rendas"));
    TDoacoes.setSql(QStringLiteral("select * from doacoes"));
    TResponsaveis.setSql(QStringLiteral("select * from responsaveis"));
    TTipoDoacao.setSql(QStringLiteral("select * from tipodoacao"));
    TTipoRenda.setSql(QStringLiteral("select * from tiporenda"));
    QTipoMorador.setSql(QStringLiteral("select * from tipomorador"));
    QTipoEstadoCivil.setSql(QStringLiteral("select * from tipoestadocivil"));
    QTipoMoradia.setSql(QStringLiteral("select * from tipomoradia"));
    QTipoBanheiro.setSql(QStringLiteral("select * from tipobanheiro"));
    QTipoEstadoImovel.setSql(QStringLiteral("select * from tipoestadoimovel"));
    TBConfiguracoes.setTableName(QStringLiteral("configuracoes"));
    TBUsuarios.setTableName(QStringLiteral("usuarios"));
    if (!DM)
        DM = this;
}

TDM::~TDM()
{
    for (db::Dataset *d : datasets())
        d->close();
    if (DM == this)
        DM = nullptr;
}

QList<db::Dataset *> TDM::datasets() const
{
    auto *self = const_cast<TDM *>(this);
    QList<db::Dataset *> all = {&self->QFichas, &self->QMoradores, &self->QRendas, &self->QDoacoes, &self->QResponsaveis,
                                &self->QAtendimentos, &self->TAtendimento, &self->QDoacoesPadrao, &self->TDoacoesPadrao,
                                &self->TFichas, &self->TMoradores, &self->TRendas, &self->TDoacoes, &self->TResponsaveis,
                                &self->TTipoDoacao, &self->TTipoRenda, &self->TTipoProfissional, &self->QTipoMorador,
                                &self->QTipoEstadoCivil, &self->QTipoMoradia, &self->QTipoBanheiro, &self->QTipoEstadoImovel,
                                &self->TBConfiguracoes, &self->TBUsuarios, &self->TRelatorios, &self->TAtributos,
                                &self->QObjetos, &self->TObjetos, &self->QPropriedades, &self->TPropriedades, &self->QConsulta};
    for (const auto &d : m_runtime)
        all.append(d.get());
    return all;
}

QString TDM::caminhoIni() const { return CaminhoSistema + QLatin1String(data::kNomeIni); }

void TDM::DataModuleCreate(const QString &programFolder)
{
    NomeSistema = QStringLiteral("KOVA");
    // Dates are day/month/year everywhere.
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    VersaoSistema = QStringLiteral("Versão ") + QStringLiteral(": ") + data::versaoPrograma();
    QString folder = programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder;
    folder = QDir::cleanPath(QDir(folder).absolutePath());
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    CaminhoSistema = folder;
    QDir::setCurrent(CaminhoSistema);
    lerConfiguracao();

    const char *names[] = {"QAux1", "QAux2", "QAux3", "QAux4", "QAcesso"};
    m_runtime.clear();
    for (const char *n : names)
        m_runtime.push_back(std::make_unique<db::Dataset>(QString::fromLatin1(n)));
    QAux1 = m_runtime[0].get();
    QAux2 = m_runtime[1].get();
    QAux3 = m_runtime[2].get();
    QAux4 = m_runtime[3].get();
    QAcesso = m_runtime[4].get();

    Conectar();
    if (importaPacotes)
        importaPacotes();
}

void TDM::lerConfiguracao()
{
    CaminhoBanco = CaminhoSistema + QLatin1String(data::kNomeBanco);
    CaminhoBackup = data::caminhoBackupPadrao();
    BackupAutomatico = true;
    CaminhoBackupAutomatico = CaminhoSistema + QStringLiteral("Backup/");

    os::IniFile ini(caminhoIni());
    CaminhoBanco = ini.readString(kConfig, QStringLiteral("CaminhoBanco"), CaminhoBanco);
    ini.writeString(kConfig, QStringLiteral("CaminhoBanco"), CaminhoBanco);
    CaminhoBackup = ini.readString(kConfig, QStringLiteral("CaminhoBackup"), CaminhoBackup);
    BackupAutomatico = ini.readBool(kConfig, QStringLiteral("BackupAutomatico"), BackupAutomatico);
    CaminhoBackupAutomatico = ini.readString(kConfig, QStringLiteral("CaminhoBackupAutomatico"), CaminhoBackupAutomatico);
}

void TDM::Desconectar()
{
    for (db::Dataset *d : datasets())
        d->setConnection(nullptr);
    m_conn.reset();
}

void TDM::Conectar()
{
    if (!QFile::exists(CaminhoBanco)) {
        ui::informacao(QStringLiteral("O arquivo de banco de dados não foi encontrado!"));
        Cancelado = 0;
        if (abrirSetup) {
            abrirSetup();
            // Setup's locate command connects by itself once a file is chosen.
            if (m_conn && m_conn->path() == CaminhoBanco)
                return;
        }
    }
    StringConexao = QStringLiteral("Data Source=") + CaminhoBanco;
    Desconectar();
    m_conn = db::Connection::open(CaminhoBanco);
    for (db::Dataset *d : datasets())
        d->setConnection(m_conn.get());

    TBConfiguracoes.open();
    if (TBConfiguracoes.isEmpty()) {
        ui::informacao(QStringLiteral("O sistema ainda não foi configurado! É necessário sua configuração antes do uso!"));
        Cancelado = 0;
        CaminhoBackup = data::caminhoBackupPadrao();
        TBConfiguracoes.append();
        if (abrirSetup)
            abrirSetup();
        if (TBConfiguracoes.state() == db::Dataset::State::Insert)
            TBConfiguracoes.cancel();
    }
}

void TDM::GravaAcesso(const QString &descricao)
{
    if (!m_conn)
        return;
    try {
        // One INSERT whatever the size of the log; the values are bound, never spliced into the text.
        const QDateTime agora = os::clock().now();
        m_conn->execute(QStringLiteral("insert into acessos (Usuario, Data, Hora, Descricao) values (?1, ?2, ?3, ?4)"),
                        {UsuarioLogado, agora.date(), QTime(agora.time().hour(), agora.time().minute()), descricao});
    } catch (...) {
        // The action that asked goes on as if the row had been written.
    }
}

void TDM::CarregaMenu(QMenu *menu)
{
    if (!menu || !m_conn)
        return;
    menu->clear();
    QAux1->open(QStringLiteral("select id, titulo, menu, submenu from relatorios where menu=") + db::quoted(menu->objectName()) +
                QStringLiteral(" order by submenu, menu"));
    for (QAux1->first(); !QAux1->eof() && !QAux1->isEmpty(); QAux1->next()) {
        const QString sub = QAux1->field(QStringLiteral("submenu")).asString().trimmed();
        QMenu *target = menu;
        if (!sub.isEmpty()) {
            target = nullptr;
            for (QAction *a : menu->actions()) {
                if (a->menu() && semAceleradores(a->text()).compare(semAceleradores(sub), Qt::CaseInsensitive) == 0) {
                    target = a->menu();
                    break;
                }
            }
            if (!target) {
                target = menu->addMenu(sub);
                target->menuAction()->setData(-1);
            }
        }
        QAction *item = target->addAction(QAux1->field(QStringLiteral("titulo")).asString());
        item->setData(int(QAux1->field(QStringLiteral("id")).asInteger()));
        connect(item, &QAction::triggered, this, [this, item] { MenuClick(item); });
    }
    QAux1->close();
}

void TDM::MenuClick(QAction *item)
{
    if (esquecePeriodo)
        esquecePeriodo();
    if (!item)
        return;
    const int tag = item->data().toInt();
    if (tag <= 0)
        return;
    QString nome;
    for (QChar c : item->text())
        if ((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
            (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            nome += c;
    if (geraRelatorio)
        geraRelatorio(tag, nome);
}
