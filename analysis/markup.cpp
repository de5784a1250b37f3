// SPDX-License-Identifier: MIT
#include "htmlnames.h"
#include "mentionindex.h"
#include "screenplayanalysis.h"
#include "words.h"

#include <algorithm>
#include <cstdio>

const QVector<int> &ScreenplayAnalysis::mentionCandidates(const QStringList &words, int w)
{
    if (!m_mentionIndex)
        m_mentionIndex = std::make_unique<MentionIndex>();
    return m_mentionIndex->candidates(characters, matchCase(), looseMatch, words.at(w));
}

QString ScreenplayAnalysis::createMarkUp()
{
    if (fileType == QLatin1String("xml"))
        return createMarkUpXML();
    if (fileType == QLatin1String("csv"))
        return createMarkUpCSV();
    return createMarkUpPlainText();
}

QString ScreenplayAnalysis::createMarkUpPlainText()
{
    QString result;
    // The blanks that indent a typewritten page are most of its words. Unless a name, an alias
    // or a break string starts with an empty word, none of them can be a mention or a heading.
    const auto startsEmpty = [](const Character *c) {
        return (!c->names.isEmpty() && c->names.first().isEmpty()) ||
               std::any_of(c->aliases.begin(), c->aliases.end(), [](const QStringList &a) {
                   return !a.isEmpty() && a.first().isEmpty();
               });
    };
    m_blankWordsInert =
        std::none_of(characters.begin(), characters.end(), startsEmpty) &&
        std::none_of(includeCharacters.begin(), includeCharacters.end(), startsEmpty) &&
        !breakStrings.contains(QString());
    characterList->openScene(0.0f, QStringLiteral("START"));
    result += QLatin1String("<div class='") + sceneClass + QLatin1String("'>");
    const int n = lines.size();
    auto heading = headingLines.cbegin();
    for (int i = 0; i < n; ++i) {
        if (progressCanceled())
            break;
        setProgressValue(i);
        const bool isHeading = heading != headingLines.cend() && *heading == i;
        if (isHeading)
            ++heading;
        result += makeMarkUP(lines.at(i), static_cast<float>(i) / static_cast<float>(n), isHeading);
    }
    m_blankWordsInert = false;
    if (!characterList->timeIndices.isEmpty())
        characterList->timeIndices.last()->stop = 1.0f;
    result += QLatin1String("</div>");
    return result;
}

QString ScreenplayAnalysis::headingType(const QStringList &words) const
{
    for (const QString &word : words) {
        if (word.isEmpty())
            continue;
        for (const QString &b : breakStrings)
            if (word.compare(b, Qt::CaseInsensitive) == 0)
                return b;
        return word;
    }
    return QString();
}

QString ScreenplayAnalysis::makeMarkUP(const QString &line, float position, bool heading)
{
    const QStringList words = splitAtBlanks(line);
    QString out;
    // A line's markup is its text and a few tags; most lines fit without a reallocation.
    out.reserve(2 * line.size() + 16);
    const auto appendSceneBreak = [this, &out]() {
        out += QLatin1String("</div><div class='");
        out += sceneClass;
        out += QLatin1String("'>");
    };
    const auto appendWord = [&out](const QString &word) {
        out += word;
        out += QLatin1Char(' ');
    };

    for (const float p : qAsConst(userBreaks)) {
        if (lastPosition < p && p <= position) {
            characterList->openScene(position, QStringLiteral("USER_SET"));
            appendSceneBreak();
        }
    }
    lastPosition = position;

    // A heading of a structured screenplay opens one scene; its words, mentions included, form
    // the heading span.
    if (heading)
        characterList->openScene(position, headingType(words));
    bool inHeading = false;
    // In a structured screenplay only its headings open scenes, never a break-string word.
    const QStringList none;
    const QStringList &sceneOpeners = structured ? none : breakStrings;

    const Qt::CaseSensitivity cs = matchCase();
    int w = 0;
    while (w < words.size()) {
        if (heading && !inHeading && !words.at(w).isEmpty()) {
            appendSceneBreak();
            out += QLatin1String("<span class='") + breakStringClass + QLatin1String("'>");
            inHeading = true;
        }
        if (m_blankWordsInert && words.at(w).isEmpty()) {
            out += QLatin1Char(' ');
            ++w;
            continue;
        }
        // The candidate with the longest result wins; the earliest one on a tie.
        Character *winner = nullptr;
        QStringList mention;
        for (const int i : mentionCandidates(words, w)) {
            Character *c = characters.at(i);
            const QStringList r = c->match(words, w, cs, looseMatch);
            if (r.size() > mention.size()) {
                winner = c;
                mention = r;
            }
        }
        if (!winner) {
            for (Character *c : qAsConst(includeCharacters)) {
                const QStringList r = c->match(words, w, cs, looseMatch);
                if (r.isEmpty())
                    continue;
                characters.append(c);
                if (r.size() > mention.size()) {
                    winner = c;
                    mention = r;
                }
            }
        }

        if (winner) {
            out += QLatin1String("<span class='") + htmlAttributeEscaped(winner->className()) +
                   QLatin1String("'>");
            for (const QString &word : qAsConst(mention))
                appendWord(word);
            out += QLatin1String("</span>");
            w += mention.size();
            const int k = characters.indexOf(winner);
            if (characterList->timeIndices.isEmpty()) {
                std::puts("warning: TimeIndexVector is 0 at inc value");
            } else {
                TimeIndex *scene = characterList->timeIndices.last();
                // A character appended during this parse has no counter yet.
                if (k < scene->counts.size())
                    ++scene->counts[k];
            }
            continue;
        }

        for (const QString &b : sceneOpeners) {
            if (w >= words.size())
                break;
            // Case-insensitive equality needs equal lengths; most words fail that test.
            if (words.at(w).size() != b.size() || words.at(w).compare(b, Qt::CaseInsensitive) != 0)
                continue;
            appendSceneBreak();
            out += QLatin1String("<span class='") + breakStringClass + QLatin1String("'>");
            // The heading holds every word but the last, which is written as an ordinary word.
            for (; w < words.size() - 1; ++w)
                appendWord(words.at(w));
            out += QLatin1String("</span>");
            characterList->openScene(position, b);
        }

        if (w < words.size()) {
            const QString &word = words.at(w);
            if (word.startsWith(QLatin1Char('[')) && word.endsWith(QLatin1Char(']'))) {
                QString number = word;
                number.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
                if (!characterList->timeIndices.isEmpty())
                    characterList->timeIndices.last()->pages.append(number.toInt(nullptr, 10));
            }
            if (word.isEmpty())
                out += QLatin1Char(' ');
            else
                appendWord(word);
        }
        ++w;
    }
    if (inHeading)
        out += QLatin1String("</span>");
    out += QLatin1String("<br>");
    return out;
}
