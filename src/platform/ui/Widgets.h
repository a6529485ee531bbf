#pragma once
// Small pieces every dialog of the program shares, so they look alike.

#include <QString>

class QDateEdit;
class QLabel;
class QWidget;

namespace ui {

// The blue title band at the top of a dialog (component name "Label1" unless told otherwise).
QLabel *criaTitulo(const QString &texto, QWidget *parent, const QString &nome = QStringLiteral("Label1"));

// A date field shown "dd/mm/yyyy" with a calendar.
QDateEdit *criaCampoData(const QString &nome, QWidget *parent);

} // namespace ui
