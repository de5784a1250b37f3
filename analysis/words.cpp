// SPDX-License-Identifier: MIT
#include "words.h"

QStringList splitAtBlanks(const QString &line)
{
    QStringList words;
    words.reserve(line.count(QLatin1Char(' ')) + 1);
    const QString empty = QLatin1String("");
    const QChar *begin = line.constData();
    const QChar *end = begin + line.size();
    const QChar *start = begin;
    for (const QChar *p = begin;; ++p) {
        if (p == end || *p == QLatin1Char(' ')) {
            words.append(p == start ? empty : QString(start, int(p - start)));
            if (p == end)
                break;
            start = p + 1;
        }
    }
    return words;
}
