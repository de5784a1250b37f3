// SPDX-License-Identifier: MIT
#include "htmlnames.h"
#include "mentionindex.h"
#include "screenplayanalysis.h"
#include "words.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cstdio>
#include <limits>

const QVector<int> &ScreenplayAnalysis::mentionCandidates(QStringView word)
{
    return m_mentionIndex->candidates(characters, matchCase(), looseMatch, word);
}

bool ScreenplayAnalysis::markupLeavesAsIs(const QString &line, const QStringList &sceneOpeners)
{
    if (!m_blankWordsInert || !includeCharacters.isEmpty())
        return false;
    return everyWord(line, [this, &sceneOpeners](QStringView word) {
        if (word.front() == QLatin1Char('[') && word.back() == QLatin1Char(']'))
            return false;
        for (const QString &b : sceneOpeners)
            if (isBreakString(word, b))
                return false;
        return !m_mentionIndex->mayMatch(characters, matchCase(), looseMatch, word);
    });
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
    // Most lines are copied with a blank and a line break; the tags come on top. A string holds
    // at most about 2^30 characters.
    constexpr qsizetype longestString = (std::numeric_limits<int>::max() - 64) / 2;
    qsizetype copied = 0;
    for (const QString &line : qAsConst(lines))
        copied += line.size() + 5;
    result.reserve(int(std::min(copied + copied / 4, longestString)));
    auto heading = headingLines.cbegin();
    for (int i = 0; i < n; ++i) {
        if (progressCanceled())
            break;
        setProgressValue(i);
        const bool isHeading = heading != headingLines.cend() && *heading == i;
        if (isHeading)
            ++heading;
        appendMarkUp(result, lines.at(i), static_cast<float>(i) / static_cast<float>(n), isHeading);
    }
    m_blankWordsInert = false;
    if (!characterList->timeIndices.isEmpty())
        characterList->timeIndices.last()->stop = 1.0f;
    result += QLatin1String("</div>");
    return result;
}

QString ScreenplayAnalysis::headingType(const QString &line) const
{
    QString type;
    everyWord(line, [this, &type](QStringView word) {
        const auto b =
            std::find_if(breakStrings.cbegin(), breakStrings.cend(), [word](const QString &b) {
                return word.compare(b, Qt::CaseInsensitive) == 0;
            });
        type = b == breakStrings.cend() ? word.toString() : *b;
        return false;
    });
    return type;
}

QString ScreenplayAnalysis::makeMarkUP(const QString &line, float position, bool heading)
{
    QString out;
    appendMarkUp(out, line, position, heading);
    return out;
}

void ScreenplayAnalysis::appendMarkUp(QString &out, const QString &line, float position,
                                      bool heading)
{
    const auto appendSceneBreak = [this, &out]() {
        out += QLatin1String("</div><div class='");
        out += sceneClass;
        out += QLatin1String("'>");
    };
    // The text of a structured screenplay is no HTML: "<", ">" and "&" show as typed.
    const bool escaped = structured;
    const auto appendText = [&out, escaped](QStringView text) {
        if (escaped)
            appendHtmlEscaped(out, text);
        else
            out.append(text.data(), int(text.size()));
    };
    const auto appendWord = [&appendText, &out](QStringView word) {
        appendText(word);
        out += QLatin1Char(' ');
    };

    for (const float p : qAsConst(userBreaks)) {
        if (lastPosition < p && p <= position) {
            characterList->openScene(position, QStringLiteral("USER_SET"));
            appendSceneBreak();
        }
    }
    lastPosition = position;

    // In a structured screenplay only its headings open scenes, never a break-string word.
    const QStringList none;
    const QStringList &sceneOpeners = structured ? none : breakStrings;
    // Most lines mention no one and open nothing; their markup is the words each followed by a
    // blank, which is the line and one blank.
    if (!heading && markupLeavesAsIs(line, sceneOpeners)) {
        appendText(line);
        out += QLatin1String(" <br>");
        return;
    }

    // The words of the line, split at every single blank, as views into it.
    QVarLengthArray<QStringView, 96> words;
    const QChar *const end = line.constData() + line.size();
    for (const QChar *start = line.constData();;) {
        const QChar *const blank = std::find(start, end, QLatin1Char(' '));
        words.append(QStringView(start, blank - start));
        if (blank == end)
            break;
        start = blank + 1;
    }
    // A heading of a structured screenplay opens one scene; its words, mentions included, form
    // the heading span.
    if (heading)
        characterList->openScene(position, headingType(line));
    bool inHeading = false;

    const Qt::CaseSensitivity cs = matchCase();
    int w = 0;
    while (w < words.size()) {
        if (heading && !inHeading && !words.at(w).isEmpty()) {
            appendSceneBreak();
            out += QLatin1String("<span class='") + breakStringClass + QLatin1String("'>");
            inHeading = true;
        }
        if (m_blankWordsInert && words.at(w).isEmpty()) {
            // A run of empty words is written as a run of blanks, one each.
            const int run = w;
            while (w < words.size() && words.at(w).isEmpty())
                ++w;
            out.resize(out.size() + (w - run), QLatin1Char(' '));
            continue;
        }
        // The character with the longest match wins; the earliest one on a tie. Its place in
        // `characters` is where the count goes.
        QStringList mention;
        int k = m_mentionIndex->longestMatch(characters, cs, looseMatch, words.constData() + w,
                                             words.size() - w, &mention);
        Character *winner = k < 0 ? nullptr : characters.at(k);
        if (!winner) {
            for (Character *c : qAsConst(includeCharacters)) {
                const QStringList r =
                    c->match(words.constData() + w, words.size() - w, cs, looseMatch);
                if (r.isEmpty())
                    continue;
                characters.append(c);
                if (r.size() > mention.size()) {
                    winner = c;
                    k = characters.size() - 1;
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
            if (!isBreakString(words.at(w), b))
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
            const QStringView word = words.at(w);
            if (word.startsWith(QLatin1Char('[')) && word.endsWith(QLatin1Char(']'))) {
                QString number = word.toString();
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
}
