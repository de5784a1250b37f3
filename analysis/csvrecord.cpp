// SPDX-License-Identifier: MIT
#include "csvrecord.h"

#include <QRegularExpression>

QString csvRecord(const QStringList &fields)
{
    static const QRegularExpression special(QStringLiteral("[,\"\r\n]"));
    QString record;
    for (int i = 0; i < fields.size(); ++i) {
        if (i > 0)
            record += QLatin1Char(',');
        const QString &field = fields.at(i);
        if (field.contains(special))
            record += QLatin1Char('"') +
                      QString(field).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
                      QLatin1Char('"');
        else
            record += field;
    }
    return record + QLatin1String("\r\n");
}
