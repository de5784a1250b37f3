// SPDX-License-Identifier: MIT
#include "screenplayanalysis.h"
#include "words.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The number of blanks that begin a line split at single blanks: its leading empty words.
int leadingBlanks(const QStringList &words)
{
    int s = 0;
    while (s < words.size() && words.at(s).isEmpty())
        ++s;
    return s;
}

} // namespace

void ScreenplayAnalysis::findCharacters()
{
    findCharactersPlainText();
}

void ScreenplayAnalysis::findCharactersPlainText()
{
    const Qt::CaseSensitivity cs = matchCase();
    for (int i = 0; i < lines.size(); ++i) {
        if (progressCanceled())
            break;
        setProgressValue(i);
        setProgressTitle(QStringLiteral("Finding characters: ") +
                         QString::number(characters.size()));

        const QStringList words = splitAtBlanks(lines.at(i));
        const int s = leadingBlanks(words);

        // A speaker line: indented deeper than action text, its upper-case words name the speaker.
        if (s > minCharacterSpaces && s < words.size()) {
            QStringList name;
            for (int w = s; w < words.size(); ++w) {
                const QString &word = words.at(w);
                if (!word.isEmpty() && word == word.toUpper())
                    name.append(word);
            }
            if (!name.isEmpty()) {
                Character *c = addCharacter(name);
                ++c->numInstances;
                c->spaces = s;
            }
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
                    Character *c = addCharacter(best->names);
                    ++c->numInstances;
                    c->spaces = s;
                }
            }
        }
    }

    const int minInstances = minNumberOfCharacterInstances;
    characters.erase(std::remove_if(characters.begin(), characters.end(),
                                    [minInstances](const Character *c) {
                                        return c->numInstances <= minInstances;
                                    }),
                     characters.end());

    // Speaker indentation: the value shared by the most characters, the deeper one on a tie;
    // 0 when no two characters share one.
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

    std::stable_sort(characters.begin(), characters.end(), CharacterSort());
    colorCharacters();
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
