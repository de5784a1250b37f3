// SPDX-License-Identifier: MIT
#pragma once

#include "characterlist.h"

#include <QStringList>

#include <memory>
#include <vector>

// A hand-built model for the graph tests. Characters are given by their names (words separated
// by single spaces); scenes by a layout such as "0 0.5 ANNA BOB | 0.5 1 BOB", every scene being
// its start, its stop and the class names of the characters who occur in it once.
class ModelBuilder {
public:
    explicit ModelBuilder(const QStringList &names, const QString &layout = QString())
    {
        for (const QString &name : names) {
            owned.push_back(std::make_unique<Character>(name.split(QLatin1Char(' '))));
            list.characters.append(owned.back().get());
        }
        const QStringList scenes = layout.split(QLatin1Char('|'), Qt::SkipEmptyParts);
        for (const QString &scene : scenes) {
            const QStringList words = scene.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            auto *index = new TimeIndex;
            index->start = words.at(0).toFloat();
            index->stop = words.at(1).toFloat();
            index->counts.fill(0, list.characters.size());
            for (int w = 2; w < words.size(); ++w) {
                for (int c = 0; c < list.characters.size(); ++c) {
                    if (list.characters.at(c)->className() == words.at(w))
                        index->counts[c] = 1;
                }
            }
            list.timeIndices.append(index);
        }
    }

    std::vector<std::unique_ptr<Character>> owned;
    CharacterList list;
};
