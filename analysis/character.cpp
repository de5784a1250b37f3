// SPDX-License-Identifier: MIT
#include "character.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Characters removed from a text word before a loose alias comparison.
const QString &loosePunctuation()
{
    static const QString set = QStringLiteral("-~!#$%^&*()_+=|:;`@<>,.?/{}'\"\\[]") +
                               QChar(0x2014) + QChar(0x00AB) + QChar(0x00BB);
    return set;
}

// Whether the first count name words are all articles. A partial match made only of them
// names no one: THE of THE REPORTERS is every "the" of the text.
bool onlyArticles(const QStringList &names, int count)
{
    static const QStringList articles = {QStringLiteral("THE"), QStringLiteral("A"),
                                         QStringLiteral("AN")};
    return std::all_of(names.begin(), names.begin() + count, [](const QString &word) {
        return articles.contains(word, Qt::CaseInsensitive);
    });
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
    // No match reads further than the longest of the name and the aliases, so only those words
    // are given, however long the line.
    int longest = names.size();
    for (const QStringList &alias : aliases)
        longest = std::max(longest, int(alias.size()));
    QVector<QStringView> views;
    const int end = int(std::min<qint64>(words.size(), qint64(index) + longest));
    views.reserve(std::max(0, end - index));
    for (int w = index; w < end; ++w)
        views.append(words.at(w));
    return match(views.constData(), views.size(), cs, loose);
}

QStringList Character::match(const QStringView *words, int count, Qt::CaseSensitivity cs,
                             bool loose) const
{
    const auto textWords = [words](int n) {
        QStringList result;
        for (int w = 0; w < n; ++w)
            result.append(words[w].toString());
        return result;
    };
    const int n = names.size();
    int matched = 0;
    int leadingRun = 0;
    for (int j = 0; j < n && j < count; ++j) {
        const QStringView text = words[j];
        const bool hit =
            loose ? text.indexOf(names.at(j), 0, cs) != -1 : text.compare(names.at(j), cs) == 0;
        if (!hit)
            continue;
        ++matched;
        if (leadingRun == j)
            ++leadingRun;
    }
    // A partial match counts only as the unbroken run of name words from the first on, so the
    // result always stands for the text's words starting there.
    if (matched == n)
        return textWords(leadingRun);
    const bool runNamesSomeone = !onlyArticles(names, leadingRun);

    for (const QStringList &alias : aliases) {
        if (alias.isEmpty() || alias.size() > count)
            continue;
        bool all = true;
        for (int j = 0; j < alias.size() && all; ++j) {
            const QString text = loose ? withoutPunctuation(words[j].toString()) : QString();
            all = loose ? QString::compare(alias.at(j), text, cs) == 0
                        : words[j].compare(alias.at(j), cs) == 0;
        }
        if (all)
            return alias;
    }
    return runNamesSomeone ? textWords(leadingRun) : QStringList();
}
