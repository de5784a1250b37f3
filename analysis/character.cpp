// SPDX-License-Identifier: MIT
#include "character.h"

#include <cstdlib>

namespace {

// Characters removed from a text word before a loose alias comparison.
const QString &loosePunctuation()
{
    static const QString set = QStringLiteral("-~!#$%^&*()_+=|:;`@<>,.?/{}'\"\\[]") +
                               QChar(0x2014) + QChar(0x00AB) + QChar(0x00BB);
    return set;
}

QString withoutPunctuation(QString word)
{
    for (const QChar c : loosePunctuation())
        word.remove(c);
    return word;
}

} // namespace

Character::Character(const QStringList &names) : names(names), color(defaultColor(names))
{
}

QColor Character::defaultColor(const QStringList &names)
{
    // The seed sums the 8-bit codes as signed chars: characters outside Latin-1 convert to 0.
    qint32 seed = 0;
    for (const QString &word : names)
        for (const QChar c : word)
            seed += static_cast<signed char>(c.toLatin1());
    std::srand(static_cast<unsigned>(seed));
    const int r1 = std::rand();
    const int r2 = std::rand();
    return QColor::fromHsv(r2 % 360, 200, r1 % 56 + 150, 255);
}

QStringList Character::match(const QStringList &words, int index, Qt::CaseSensitivity cs,
                             bool loose) const
{
    const int n = names.size();
    int matched = 0;
    int leadingRun = 0;
    for (int j = 0; j < n && index + j < words.size(); ++j) {
        const QString &text = words.at(index + j);
        const bool hit = loose ? text.indexOf(names.at(j), 0, cs) != -1
                               : QString::compare(names.at(j), text, cs) == 0;
        if (!hit)
            continue;
        ++matched;
        if (leadingRun == j)
            ++leadingRun;
    }
    // A partial match counts only as the unbroken run of name words from index on, so the
    // result always stands for the text's words starting at index.
    const QStringList run = words.mid(index, leadingRun);
    if (matched == n)
        return run;

    for (const QStringList &alias : aliases) {
        if (alias.isEmpty() || index + alias.size() > words.size())
            continue;
        bool all = true;
        for (int j = 0; j < alias.size() && all; ++j) {
            const QString text =
                loose ? withoutPunctuation(words.at(index + j)) : words.at(index + j);
            all = QString::compare(alias.at(j), text, cs) == 0;
        }
        if (all)
            return alias;
    }
    return run;
}
