// SPDX-License-Identifier: MIT
#include "screenplayanalysis.h"
#include "words.h"

#include <algorithm>
#include <cstdlib>

namespace {

// A word that is one whole markup tag, such as <b> or </b>.
bool isWholeTag(const QString &word)
{
    if (word.size() < 3 || word.front() != QLatin1Char('<') || word.back() != QLatin1Char('>'))
        return false;
    const QChar first = word.at(1) == QLatin1Char('/') ? word.at(2) : word.at(1);
    return first.isLetter() && word.indexOf(QLatin1Char('<'), 1) < 0 &&
           word.indexOf(QLatin1Char('>')) == word.size() - 1;
}

// The indentation of a line split at single blanks: the number of its leading empty words, and
// the index of its first text word (the number of words when there is none). Archive pages put
// a tag such as <b> before a cue's indentation; whole tags before the first text word neither
// count nor end the count.
struct Indentation {
    int blanks = 0;
    int firstWord = 0;
};

Indentation indentation(const QStringList &words)
{
    Indentation result;
    for (; result.firstWord < words.size(); ++result.firstWord) {
        const QString &word = words.at(result.firstWord);
        if (word.isEmpty())
            ++result.blanks;
        else if (!isWholeTag(word))
            break;
    }
    return result;
}

// The name a speaker line gives: the upper-case words of its text from the first text word on.
// With extensions merged, everything from the line's first "(" on is left out.
QStringList speakerName(QStringView text, bool mergeExtensions)
{
    QStringList name;
    everyWord(text, [&name, mergeExtensions](QStringView word) {
        const qsizetype extension = mergeExtensions ? word.indexOf(QLatin1Char('(')) : -1;
        const QStringView kept = extension < 0 ? word : word.left(extension);
        if (!kept.isEmpty() && isUpperCase(kept))
            name.append(kept.toString());
        return extension < 0;
    });
    return name;
}

} // namespace

void ScreenplayAnalysis::findCharacters()
{
    if (fileType == QLatin1String("xml"))
        findCharactersXML();
    else if (fileType == QLatin1String("csv"))
        findCharactersCSV();
    else
        findCharactersPlainText();
}

void ScreenplayAnalysis::findCharactersPlainText()
{
    const Qt::CaseSensitivity cs = matchCase();
    speakerLines.clear();
    // Included characters are counted at every mention, so then every line is read in words.
    const bool everyLine = structured || !includeCharacters.isEmpty();
    // The character of a name, added at its first instance.
    const auto met = characterAdder();
    int titleCount = -1;
    for (int i = 0; i < lines.size(); ++i) {
        if (progressCanceled())
            break;
        setProgressValue(i);
        if (titleCount != characters.size()) {
            titleCount = characters.size();
            setProgressTitle(QStringLiteral("Finding characters: ") + QString::number(titleCount));
        }
        const QString &line = lines.at(i);
        QStringList name;
        int s = 0;
        QStringList words;
        if (!everyLine && !line.contains(QLatin1Char('<'))) {
            // A line without tags is indented by its leading blanks. Only a line indented deeper
            // than action text can be a speaker line; unless included characters are counted at
            // every mention, the others need not be read further.
            while (s < line.size() && line.at(s) == QLatin1Char(' '))
                ++s;
            if (s == line.size() || s <= minCharacterSpaces)
                continue;
            name = speakerName(QStringView(line).mid(s), mergeCueExtensions);
        } else {
            words = splitAtBlanks(line);
            const Indentation indent = indentation(words);
            s = indent.blanks;
            // A speaker line: a cue of a structured screenplay, or a line indented deeper than
            // action text whose upper-case words name the speaker.
            if (structured) {
                name = cues.value(i).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            } else if (s > minCharacterSpaces && indent.firstWord < words.size()) {
                // The words from the first text word on, as they stand in the line.
                int offset = indent.firstWord;
                for (int w = 0; w < indent.firstWord; ++w)
                    offset += words.at(w).size();
                name = speakerName(QStringView(line).mid(offset), mergeCueExtensions);
            }
        }
        if (!name.isEmpty()) {
            if (!structured)
                speakerLines.insert(i, name);
            Character *c = met(name);
            ++c->numInstances;
            c->spaces = s;
        }

        // Included characters count at every mention anywhere in the text.
        if (!includeCharacters.isEmpty()) {
            for (int w = 0; w < words.size(); ++w) {
                Character *best = nullptr;
                for (Character *c : qAsConst(includeCharacters)) {
                    if (!c->match(words, w, cs, looseMatch).isEmpty() &&
                        (!best || c->names.size() > best->names.size()))
                        best = c;
                }
                if (best) {
                    Character *c = met(best->names);
                    ++c->numInstances;
                    c->spaces = s;
                }
            }
        }
    }

    dropRareCharacters();
    // The cues of a structured screenplay name its speakers; no vote is needed.
    if (!structured)
        keepSpeakerIndentation();
    std::stable_sort(characters.begin(), characters.end(), CharacterSort());
    colorCharacters();
}

void ScreenplayAnalysis::keepSpeakerIndentation()
{
    // The value shared by the most characters, the deeper one on a tie; 0 when no two characters
    // share one.
    std::stable_sort(characters.begin(), characters.end(), SpacesSort());
    int previous = 0;
    int run = 0;
    int bestRun = 0;
    int chosen = 0;
    for (const Character *c : qAsConst(characters)) {
        if (c->spaces == previous) {
            ++run;
            if (run > bestRun) {
                bestRun = run;
                chosen = c->spaces;
            }
        } else {
            run = 0;
        }
        previous = c->spaces;
    }
    characterSpaces = chosen;
    characters.erase(std::remove_if(characters.begin(), characters.end(),
                                    [chosen](const Character *c) { return c->spaces != chosen; }),
                     characters.end());
}

void ScreenplayAnalysis::dropRareCharacters()
{
    const int minInstances = minNumberOfCharacterInstances;
    characters.erase(std::remove_if(characters.begin(), characters.end(),
                                    [minInstances](const Character *c) {
                                        return c->numInstances <= minInstances;
                                    }),
                     characters.end());
}

void ScreenplayAnalysis::colorCharacters()
{
    const int n = characters.size();
    for (int k = 0; k < n; ++k) {
        Character *c = characters.at(k);
        if (c->colorSet)
            continue;
        if (colors.isEmpty()) {
            const int r = std::rand();
            const float hue = static_cast<float>(k) / static_cast<float>(n);
            c->color.setHsvF(hue, 200.0 / 255.0, (r % 56 + 150) / 255.0, 1.0);
        } else {
            c->color = colors.at(std::min(k, colors.size() - 1));
        }
    }
}
