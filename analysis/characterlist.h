// SPDX-License-Identifier: MIT
#pragma once

#include "character.h"
#include "timeindex.h"

#include <QVector>

// The model handed to the views: the characters in force (not owned) and the scenes in text
// order (owned).
class CharacterList {
public:
    CharacterList() = default;
    explicit CharacterList(const QVector<Character *> &characters) : characters(characters) {}
    ~CharacterList();
    CharacterList(const CharacterList &) = delete;
    CharacterList &operator=(const CharacterList &) = delete;

    // Closes the last scene at position and appends a new scene of the given type, carrying
    // over the last page seen and sized to the current characters.
    TimeIndex *openScene(float position, const QString &type);

    QVector<Character *> characters;
    QVector<TimeIndex *> timeIndices;
};
