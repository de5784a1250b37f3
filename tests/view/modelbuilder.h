// SPDX-License-Identifier: MIT
#pragma once

#include "characterlist.h"

#include <memory>
#include <vector>

// A hand-built model. Characters are given by their names (words separated by single spaces),
// scenes by a layout such as "0 0.5 ANNA BOB | 0.5 1 BOB": start, stop and the class names of
// the characters who occur once in the scene.
class ModelBuilder {
public:
    explicit ModelBuilder(const QStringList &names, const QString &layout = QString())
    {
        for (const QString &name : names) {
            owned.push_back(std::make_unique<Character>(name.split(QLatin1Char(' '))));
            list.characters.append(owned.back().get());
        }
        for (const QString &scene : layout.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
            const QStringList words = scene.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            auto *index = new TimeIndex{};
            index->start = words.at(0).toFloat();
            index->stop = words.at(1).toFloat();
            for (const Character *character : list.characters)
                index->counts.append(words.mid(2).contains(character->className()) ? 1 : 0);
            list.timeIndices.append(index);
        }
    }

    std::vector<std::unique_ptr<Character>> owned;
    CharacterList list;
};
