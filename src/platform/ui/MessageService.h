#pragma once
// Every message box and question of the program goes through here. The program shows real modal
// boxes; tests install a ScriptedResponder that answers from a queue and records what was said.

#include <QList>
#include <QString>

class QWidget;

namespace ui {

enum class Icon { None, Information, Question, Warning, Critical };
enum class Button { None = 0, Ok = 1, Yes = 2, No = 4, Cancel = 8 };
using Buttons = int; // an OR of Button values

struct Message {
    QString caption;
    QString text;
    Icon icon = Icon::Information;
    Buttons buttons = int(Button::Ok);
};

class MessageService {
public:
    virtual ~MessageService() = default;
    virtual Button show(const Message &message, QWidget *parent = nullptr) = 0;
};

// Real modal boxes with Portuguese buttons.
class DialogMessageService : public MessageService {
public:
    Button show(const Message &message, QWidget *parent = nullptr) override;
};

// Answers from a queue. Each expected message gives the text (or a part of it) and the answer;
// a message nobody expected is recorded as unexpected and answered with the first button offered.
class ScriptedResponder : public MessageService {
public:
    struct Expectation {
        QString textPart;
        Button answer;
    };
    void expect(const QString &textPart, Button answer = Button::Ok) { m_queue.append({textPart, answer}); }
    Button show(const Message &message, QWidget *parent = nullptr) override;

    const QList<Message> &shown() const { return m_shown; }
    const QStringList &unexpected() const { return m_unexpected; }
    bool allAnswered() const { return m_queue.isEmpty(); }
    int pending() const { return int(m_queue.size()); }
    void clear()
    {
        m_queue.clear();
        m_shown.clear();
        m_unexpected.clear();
    }

private:
    QList<Expectation> m_queue;
    QList<Message> m_shown;
    QStringList m_unexpected;
};

// The service in use; never null. setMessageService(nullptr) restores the real boxes.
MessageService &messages();
void setMessageService(MessageService *service);

// The conventions of the program's boxes.
void informacao(const QString &text, QWidget *parent = nullptr);          // "Informação", OK
bool confirmacao(const QString &text, QWidget *parent = nullptr);         // "Confirmação", Yes/No -> Yes
void atencao(const QString &text, QWidget *parent = nullptr);             // "Atenção", warning
void erro(const QString &text, QWidget *parent = nullptr);                // "Erro", critical

} // namespace ui
