#include "platform/ui/Widgets.h"

#include <QDateEdit>
#include <QLabel>

namespace ui {

QLabel *criaTitulo(const QString &texto, QWidget *parent, const QString &nome)
{
    auto *label = new QLabel(texto, parent);
    label->setObjectName(nome);
    QFont fonte = label->font();
    fonte.setBold(true);
    fonte.setPointSizeF(fonte.pointSizeF() + 4);
    label->setFont(fonte);
    label->setStyleSheet(QStringLiteral("background:#1d4f91; color:white; padding:10px 12px;"));
    return label;
}

QDateEdit *criaCampoData(const QString &nome, QWidget *parent)
{
    auto *campo = new QDateEdit(parent);
    campo->setObjectName(nome);
    campo->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    campo->setCalendarPopup(true);
    campo->setMinimumWidth(130);
    return campo;
}

} // namespace ui
