// SPDX-License-Identifier: MIT
#include "words.h"

namespace {

// Lists of n empty words, shared: most screenplay lines start with the same few indentations, and
// copying a shared list costs nothing until it is appended to.
const QStringList &emptyWords(int n)
{
    constexpr int kept = 64;
    static const QVector<QStringList> lists = [] {
        QVector<QStringList> result(kept);
        for (int i = 1; i < kept; ++i)
            result[i] = result[i - 1] + QStringList{QLatin1String("")};
        return result;
    }();
    return lists.at(n);
}

} // namespace

QStringList splitAtBlanks(const QString &line)
{
    const QChar *begin = line.constData();
    const QChar *end = begin + line.size();
    const QChar *start = begin;
    while (start != end && *start == QLatin1Char(' '))
        ++start;
    const int leading = int(start - begin);
    if (leading == line.size() || leading >= 64)
        start = begin;
    QStringList words = start == begin ? QStringList() : emptyWords(leading);
    words.reserve(line.count(QLatin1Char(' ')) + 1);
    const QString empty = QLatin1String("");
    for (const QChar *p = start;; ++p) {
        if (p == end || *p == QLatin1Char(' ')) {
            words.append(p == start ? empty : QString(start, int(p - start)));
            if (p == end)
                break;
            start = p + 1;
        }
    }
    return words;
}

bool isUpperCase(QStringView text)
{
    bool ascii = true;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            ascii = false;
        else if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            return false;
    }
    if (ascii)
        return true;
    const QString whole = text.toString();
    return whole == whole.toUpper();
}

bool isCapitals(QStringView text)
{
    return isUpperCase(text) &&
           std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
}
