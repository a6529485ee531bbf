#pragma once
// The permission check every guarded command makes when it is chosen, and the wiring that lets a
// toolbar button, its menu entry, its key and a double-click share one handler and so one key.

#include <QKeySequence>
#include <QString>
#include <functional>

class QAbstractButton;
class QAction;
class QObject;
class QWidget;

// True when the logged-in user holds the key (formulario, control's objectName). A refusal, or a
// missing control, shows "Você não tem acesso a esta função!" and answers false. Runs on DM->QAux1,
// so whatever a caller had open there is closed. A database error reaches the caller.
bool TemAcesso(QObject *control, const QString &formulario);

namespace shell {

// The same question without the message, for callers that word their own refusal.
bool PossuiAcesso(const QString &controle, const QString &formulario);

// Connects every way of starting one command to its handler. Any of botao, entrada, tecla may be
// empty; the key works anywhere in janela but only while botao (when given) is enabled.
void LigaComando(QWidget *janela, const std::function<void()> &handler, QAbstractButton *botao,
                 QAction *entrada = nullptr, const QKeySequence &tecla = {});

} // namespace shell
