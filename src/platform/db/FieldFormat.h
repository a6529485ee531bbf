#pragma once
// Display formats of the program: money ",0.00" / "#,##0.00" with Brazilian separators, dates
// "dd/mm/yyyy".

#include "platform/db/Connection.h"

#include <QString>
#include <QVariant>

namespace db {

// Formats a number with a Delphi-style mask: ",0.00", "#,##0.00", "0.00", "000000", "R$,0.00".
// The comma asks for thousands separators; output uses '.' for thousands and ',' for decimals.
QString formatFloat(const QString &mask, double value);

// Text a grid shows for a stored value of the given kind ("" for null).
QString displayText(const QVariant &value, FieldType type, const QString &mask = QString());

} // namespace db
