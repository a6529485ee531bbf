#include "platform/db/FieldFormat.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cmath>

namespace db {

QString formatFloat(const QString &mask, double value)
{
    // Split the mask into the literal prefix, the numeric picture and a literal suffix.
    int start = 0;
    while (start < mask.size() && !QStringLiteral("#0,.").contains(mask.at(start)))
        ++start;
    int end = start;
    while (end < mask.size() && QStringLiteral("#0,.").contains(mask.at(end)))
        ++end;
    const QString prefix = mask.left(start);
    const QString picture = mask.mid(start, end - start);
    const QString suffix = mask.mid(end);
    if (picture.isEmpty())
        return mask;

    const bool thousands = picture.contains(QLatin1Char(','));
    const int dot = int(picture.indexOf(QLatin1Char('.')));
    const QString intPart = dot >= 0 ? picture.left(dot) : picture;
    const QString decPart = dot >= 0 ? picture.mid(dot + 1) : QString();
    const int decimals = int(decPart.count(QLatin1Char('0')) + decPart.count(QLatin1Char('#')));
    const int minDecimals = int(decPart.count(QLatin1Char('0')));
    const int minInt = int(intPart.count(QLatin1Char('0')));

    const bool negative = value < 0;
    const double scaled = std::round(std::fabs(value) * std::pow(10.0, decimals));
    QString digits = QString::number(scaled, 'f', 0);
    while (digits.size() <= decimals)
        digits.prepend(QLatin1Char('0'));
    QString ip = digits.left(digits.size() - decimals);
    QString dp = digits.right(decimals);
    while (dp.size() > minDecimals && dp.endsWith(QLatin1Char('0')))
        dp.chop(1);
    while (ip.size() > 1 && ip.startsWith(QLatin1Char('0')) && ip.size() > minInt)
        ip.remove(0, 1);
    if (minInt == 0 && ip == QLatin1String("0") && !dp.isEmpty())
        ip.clear();
    while (ip.size() < minInt)
        ip.prepend(QLatin1Char('0'));
    if (thousands) {
        for (int i = int(ip.size()) - 3; i > 0; i -= 3)
            ip.insert(i, QLatin1Char('.'));
    }
    QString out = ip;
    if (!dp.isEmpty())
        out += QLatin1Char(',') + dp;
    if (negative && scaled != 0)
        out.prepend(QLatin1Char('-'));
    return prefix + out + suffix;
}

QString displayText(const QVariant &value, FieldType type, const QString &mask)
{
    if (!value.isValid() || value.isNull())
        return QString();
    if (!mask.isEmpty() && (type == FieldType::Currency || type == FieldType::Double || type == FieldType::Integer || type == FieldType::SmallInt))
        return formatFloat(mask, value.toDouble());
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("HH:mm"));
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        return dt.time() == QTime(0, 0) ? dt.date().toString(QStringLiteral("dd/MM/yyyy")) : dt.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    }
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("Sim") : QStringLiteral("Não");
    case QMetaType::QByteArray:
        return QStringLiteral("(binário)");
    default:
        break;
    }
    if (type == FieldType::Currency)
        return formatFloat(QStringLiteral(",0.00"), value.toDouble());
    if (type == FieldType::Double && value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'g', 15).replace(QLatin1Char('.'), QLatin1Char(','));
    if (type == FieldType::Memo) {
        // Grids show a memo on one line.
        QString s = value.toString();
        s.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
        return s;
    }
    return value.toString();
}

} // namespace db
