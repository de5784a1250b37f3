// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <algorithm>

// Splits a line at every single blank, keeping empty parts, as QString::split does with
// Qt::KeepEmptyParts; faster on the long runs of blanks that indent screenplay lines.
QStringList splitAtBlanks(const QString &line);

// Calls visit(word) with every non-empty word of text split at single blanks, in order, as views
// into text, while visit returns true; returns whether it did for every word.
template <typename Visit> bool everyWord(QStringView text, Visit visit)
{
    const QChar *p = text.data();
    const QChar *const end = p + text.size();
    while (p != end) {
        if (*p == QLatin1Char(' ')) {
            ++p;
            continue;
        }
        const QChar *const wordEnd = std::find(p, end, QLatin1Char(' '));
        if (!visit(QStringView(p, wordEnd - p)))
            return false;
        p = wordEnd;
    }
    return true;
}
