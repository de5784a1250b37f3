// SPDX-License-Identifier: MIT
#include "characterlist.h"

CharacterList::~CharacterList()
{
    qDeleteAll(timeIndices);
}

TimeIndex *CharacterList::openScene(float position, const QString &type)
{
    TimeIndex *previous = timeIndices.isEmpty() ? nullptr : timeIndices.last();
    if (previous)
        previous->stop = position;

    auto *scene = new TimeIndex;
    scene->start = position;
    scene->stop = 0.0f;
    scene->type = type;
    timeIndices.append(scene);
    if (previous && !previous->pages.isEmpty())
        scene->pages.append(previous->pages.last());
    scene->counts.fill(0, characters.size());
    return scene;
}
