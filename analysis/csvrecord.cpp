// SPDX-License-Identifier: MIT
#include "csvrecord.h"

#include <QRegularExpression>

namespace {

// Whether a spreadsheet could take the cell for a formula.
bool startsFormula(const QString &field)
{
    if (field.isEmpty())
        return false;
    const QChar first = field.at(0);
    if (first == QLatin1Char('=') || first == QLatin1Char('@') || first == QLatin1Char('\t') ||
        first == QLatin1Char('\r'))
        return true;
    if ((first != QLatin1Char('+') && first != QLatin1Char('-')) || field.size() < 2 ||
        field.at(1) == QLatin1Char(' '))
        return false;
    static const QRegularExpression number(
        QStringLiteral("^[+-](\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    return !number.match(field).hasMatch();
}

} // namespace

QString csvCell(const QString &field)
{
    static const QRegularExpression special(QStringLiteral("[,\"\r\n]"));
    const QString cell = startsFormula(field) ? QLatin1Char('\'') + field : field;
    if (!cell.contains(special))
        return cell;
    return QLatin1Char('"') + QString(cell).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

QString csvRecord(const QStringList &fields)
{
    QString record;
    for (int i = 0; i < fields.size(); ++i) {
        if (i > 0)
            record += QLatin1Char(',');
        record += csvCell(fields.at(i));
    }
    return record + QLatin1String("\r\n");
}
