// SPDX-License-Identifier: MIT
#include "htmlnames.h"
#include "mentionindex.h"
#include "screenplayanalysis.h"
#include "words.h"

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
    const QString sceneBreak =
        QLatin1String("</div><div class='") + sceneClass + QLatin1String("'>");
    QString out;

    for (const float p : qAsConst(userBreaks)) {
        if (lastPosition < p && p <= position) {
            characterList->openScene(position, QStringLiteral("USER_SET"));
            out += sceneBreak;
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
            out += sceneBreak + QLatin1String("<span class='") + breakStringClass +
                   QLatin1String("'>");
            inHeading = true;
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
                out += word + QLatin1Char(' ');
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
            out += sceneBreak + QLatin1String("<span class='") + breakStringClass +
                   QLatin1String("'>");
            // The heading holds every word but the last, which is written as an ordinary word.
            for (; w < words.size() - 1; ++w)
                out += words.at(w) + QLatin1Char(' ');
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
                out += word + QLatin1Char(' ');
        }
        ++w;
    }
    if (inHeading)
        out += QLatin1String("</span>");
    out += QLatin1String("<br>");
    return out;
}
