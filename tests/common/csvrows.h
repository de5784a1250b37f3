// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// The records of an RFC 4180 file (UTF-8, CR LF), each a list of its fields; an empty list marks
// a record that is not well formed, such as one that ends without CR LF.
inline QVector<QStringList> csvRows(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes);
    const auto next = [&text](int i) { return i + 1 < text.size() ? text.at(i + 1) : QChar(); };
    QVector<QStringList> rows;
    QStringList fields;
    QString field;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == '"' && next(i) == '"')
                field += text.at(++i);
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.append(field);
            field.clear();
        } else if (c == '\r' && next(i) == '\n') {
            fields.append(field);
            rows.append(fields);
            fields.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !fields.isEmpty() || quoted)
        rows.append(QStringList());
    return rows;
}
