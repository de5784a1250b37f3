// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <algorithm>

// Splits a line at every single blank, keeping empty parts, as QString::split does with
// Qt::KeepEmptyParts; faster on the long runs of blanks that indent screenplay lines.
QStringList splitAtBlanks(const QString &line);

// Whether text equals its own upper-case form: it holds no lower-case letter. Told without
// building that form for ASCII.
bool isUpperCase(QStringView text);
// Whether text is written in capitals: upper case with at least one letter, as cues and headings
// are.
bool isCapitals(QStringView text);

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

// Whether a word equals a break string ignoring case. Words of another length, or whose first
// letters differ as ASCII, are told apart without the full comparison; most words are.
inline bool isBreakString(QStringView word, QStringView breakString)
{
    if (word.size() != breakString.size())
        return false;
    if (word.isEmpty())
        return true;
    const ushort a = word.front().unicode();
    const ushort b = breakString.front().unicode();
    const auto lower = [](ushort u) { return u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u; };
    if (a < 0x80 && b < 0x80 && lower(a) != lower(b))
        return false;
    return word.compare(breakString, Qt::CaseInsensitive) == 0;
}
