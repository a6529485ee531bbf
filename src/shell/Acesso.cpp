#include "shell/Acesso.h"

#include "data/TDM.h"
#include "platform/ui/MessageService.h"

#include <QAbstractButton>
#include <QAction>
#include <QShortcut>
#include <QWidget>

namespace shell {

bool PossuiAcesso(const QString &controle, const QString &formulario)
{
    if (!DM || !DM->QAux1)
        return false;
    db::Dataset &q = *DM->QAux1;
    // Joining usuarios drops grants left behind by a deleted user.
    q.open(QStringLiteral("select niveisacesso.id from (niveisacesso inner join tiponivelacesso tn on "
                          "tn.id=niveisacesso.idnivelacesso) inner join usuarios u on u.id=niveisacesso.idusuario "
                          "where idusuario=") +
           QString::number(IDUsuarioLogado) + QStringLiteral(" and formulario=") + db::quoted(formulario) +
           QStringLiteral(" and controle=") + db::quoted(controle));
    const bool tem = !q.isEmpty();
    q.close();
    return tem;
}

void LigaComando(QWidget *janela, const std::function<void()> &handler, QAbstractButton *botao, QAction *entrada,
                 const QKeySequence &tecla)
{
    if (botao)
        QObject::connect(botao, &QAbstractButton::clicked, janela, [handler] { handler(); });
    if (entrada)
        QObject::connect(entrada, &QAction::triggered, janela, [handler] { handler(); });
    if (!tecla.isEmpty()) {
        auto *atalho = new QShortcut(tecla, janela);
        atalho->setContext(Qt::WindowShortcut);
        QObject::connect(atalho, &QShortcut::activated, janela, [handler, botao] {
            if (!botao || botao->isEnabled())
                handler();
        });
    }
}

} // namespace shell

bool TemAcesso(QObject *control, const QString &formulario)
{
    if (control && shell::PossuiAcesso(control->objectName(), formulario))
        return true;
    ui::informacao(QStringLiteral("Você não tem acesso a esta função!"));
    return false;
}
