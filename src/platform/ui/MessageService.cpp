#include "platform/ui/MessageService.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

namespace ui {

Button DialogMessageService::show(const Message &m, QWidget *parent)
{
    QMessageBox box(parent ? parent : QApplication::activeWindow());
    box.setWindowTitle(m.caption);
    box.setText(m.text);
    switch (m.icon) {
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::None: break;
    }
    struct Choice {
        Button b;
        const char *text;
        QMessageBox::ButtonRole role;
    };
    static const Choice choices[] = {
        {Button::Yes, "&Sim", QMessageBox::YesRole},
        {Button::No, "&Não", QMessageBox::NoRole},
        {Button::Ok, "OK", QMessageBox::AcceptRole},
        {Button::Cancel, "Cancelar", QMessageBox::RejectRole},
    };
    QList<QPair<QAbstractButton *, Button>> made;
    for (const Choice &c : choices) {
        if (m.buttons & int(c.b)) {
            QPushButton *pb = box.addButton(QString::fromUtf8(c.text), c.role);
            made.append({pb, c.b});
            if (made.size() == 1)
                box.setDefaultButton(pb);
        }
    }
    if (m.buttons & int(Button::Cancel))
        box.setEscapeButton(made.last().first);
    else if (m.buttons & int(Button::No))
        for (auto &p : made)
            if (p.second == Button::No)
                box.setEscapeButton(p.first);
    box.exec();
    for (auto &p : made)
        if (box.clickedButton() == p.first)
            return p.second;
    return (m.buttons & int(Button::Cancel)) ? Button::Cancel : (m.buttons & int(Button::No)) ? Button::No : Button::Ok;
}

Button ScriptedResponder::show(const Message &m, QWidget *)
{
    m_shown.append(m);
    if (!m_queue.isEmpty() && m.text.contains(m_queue.first().textPart)) {
        const Button b = m_queue.takeFirst().answer;
        return b;
    }
    m_unexpected.append(m.caption + QStringLiteral(": ") + m.text);
    for (Button b : {Button::Ok, Button::Yes, Button::No, Button::Cancel})
        if (m.buttons & int(b))
            return b;
    return Button::Ok;
}

namespace {
DialogMessageService g_dialogs;
MessageService *g_service = &g_dialogs;
} // namespace

MessageService &messages() { return *g_service; }
void setMessageService(MessageService *s) { g_service = s ? s : &g_dialogs; }

void informacao(const QString &text, QWidget *parent)
{
    messages().show({QStringLiteral("Informação"), text, Icon::Information, int(Button::Ok)}, parent);
}

bool confirmacao(const QString &text, QWidget *parent)
{
    return messages().show({QStringLiteral("Confirmação"), text, Icon::Question, int(Button::Yes) | int(Button::No)}, parent) == Button::Yes;
}

void atencao(const QString &text, QWidget *parent)
{
    messages().show({QStringLiteral("Atenção"), text, Icon::Warning, int(Button::Ok)}, parent);
}

void erro(const QString &text, QWidget *parent)
{
    messages().show({QStringLiteral("Erro"), text, Icon::Critical, int(Button::Ok)}, parent);
}

} // namespace ui
