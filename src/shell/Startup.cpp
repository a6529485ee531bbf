#include "shell/Startup.h"

#include "data/TDM.h"
#include "platform/ui/MessageService.h"
#include "shell/Encerramento.h"
#include "shell/TForm1.h"
#include "shell/TFrmEvolucao.h"
#include "shell/TFrmInicial.h"
#include "shell/TFrmSenha.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QProgressBar>

namespace shell {

QString TituloAplicacao() { return QStringLiteral("KOVA - Kovalume"); }

const QStringList &OrdemCriacao()
{
    static const QStringList ordem = {
        QStringLiteral("TFrmEvolucao"),    QStringLiteral("TDM"),              QStringLiteral("TForm1"),
        QStringLiteral("TFrmRelatorios"),  QStringLiteral("TFrmAuditoria"),    QStringLiteral("TFrmSenha"),
        QStringLiteral("TFrmSetup"),       QStringLiteral("TFrmSobre"),        QStringLiteral("TFrmUsuarios"),
        QStringLiteral("TFrmAlteraBanco"), QStringLiteral("TFrmCoringa"),      QStringLiteral("TFrmCadCoringa"),
        QStringLiteral("TFrmCadFicha"),    QStringLiteral("TFrmFichas"),       QStringLiteral("TFrmCadMorador"),
        QStringLiteral("TFrmRendas"),      QStringLiteral("TFrmCadRendas"),    QStringLiteral("TFrmDoacoes"),
        QStringLiteral("TFrmCadResponsaveis"), QStringLiteral("TFrmResponsaveis"), QStringLiteral("TFrmCadDoacao"),
        QStringLiteral("TFrmPeriodo"),     QStringLiteral("TFrmTiposRenda"),   QStringLiteral("TFrmCadTiposRenda"),
        QStringLiteral("TFrmCoringa2"),    QStringLiteral("TFrmCadCoringa2"),  QStringLiteral("TFrmExibeDados"),
        QStringLiteral("TFrmData"),        QStringLiteral("TFrmLoc"),          QStringLiteral("TFrmEditor"),
        QStringLiteral("TFrmValPropriedade"), QStringLiteral("TFrmListaRelatorios"), QStringLiteral("TFrmCadRelatorio"),
        QStringLiteral("TFrmSQL"),         QStringLiteral("TFrmMasterDetail"), QStringLiteral("TFrmCadAtendimento"),
        QStringLiteral("TFrmAtendimentos"), QStringLiteral("TFrmLocReg"),      QStringLiteral("TFrmCadUsuario"),
    };
    return ordem;
}

QString InstanciaUnica::caminhoTrava(const QString &pastaPrograma)
{
    // Named after the folder, not kept in it: the program folder may be read-only.
    const QString pasta = QDir::cleanPath(QDir(pastaPrograma).absolutePath());
    const QByteArray hash = QCryptographicHash::hash(pasta.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QDir::tempPath() + QStringLiteral("/kova-") + QString::fromLatin1(hash) + QStringLiteral(".lock");
}

InstanciaUnica::InstanciaUnica(const QString &pastaPrograma)
    : m_trava(std::make_unique<QLockFile>(caminhoTrava(pastaPrograma)))
{
    // A copy may run for days: only a lock whose process is gone counts as stale.
    m_trava->setStaleLockTime(0);
    m_primeira = m_trava->tryLock(0);
}

Sistema::Sistema(QString pastaPrograma) : m_pasta(std::move(pastaPrograma))
{
    if (m_pasta.isEmpty())
        m_pasta = QCoreApplication::applicationDirPath();
    m_pasta = QDir::cleanPath(QDir(m_pasta).absolutePath());

    Registra(QStringLiteral("TFrmEvolucao"), [] { return new TFrmEvolucao; });
    Registra(QStringLiteral("TDM"), [this]() -> QObject * {
        auto *dm = new TDM;
        if (PreparaDM)
            PreparaDM(*dm);
        try {
            dm->DataModuleCreate(m_pasta);
        } catch (const db::DbError &e) {
            ui::erro(QStringLiteral("Não foi possível abrir o banco de dados:\n") + e.message());
            FinalizaPrograma(1);
        }
        return dm;
    });
    Registra(QStringLiteral("TForm1"), [this]() -> QObject * {
        auto *form = new TForm1;
        if (PreparaForm1)
            PreparaForm1(*form);
        form->FormCreate();
        return form;
    });
    Registra(QStringLiteral("TFrmSenha"), [] { return new TFrmSenha; });
}

Sistema::~Sistema()
{
    for (auto it = m_objetos.rbegin(); it != m_objetos.rend(); ++it)
        delete it->data();
}

void Sistema::Registra(const QString &classe, std::function<QObject *()> cria) { m_fabricas.insert(classe, std::move(cria)); }

bool Sistema::Cria()
{
    ReiniciaFinalizacao();
    m_splash = std::make_unique<TFrmInicial>();
    m_instancia = std::make_unique<InstanciaUnica>(m_pasta);
    if (!m_instancia->primeira()) {
        ui::informacao(QStringLiteral("O sistema já esta em execução!"));
        FinalizaPrograma(0);
        return false;
    }
    m_splash->setWindowTitle(TituloAplicacao());
    QDir::setCurrent(m_pasta);

    m_splash->Barra->setMaximum(40);
    m_splash->show();
    QCoreApplication::processEvents();

    for (const QString &classe : OrdemCriacao()) {
        const auto fabrica = m_fabricas.constFind(classe);
        if (fabrica == m_fabricas.constEnd())
            continue;
        m_splash->CriaForm([&] { m_objetos.emplace_back((*fabrica)()); });
        m_criadas << classe;
        if (Finalizando())
            return false;
    }
    return true;
}

void Sistema::Mostra()
{
    if (m_splash)
        m_splash->hide();
    if (Form1)
        Form1->show();
}

} // namespace shell
