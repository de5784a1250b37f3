// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QStringList>

class CharacterList;
class StorylineLayout;

// The storyline chart as a table: a header, then one row per scene and line drawn there, scenes
// in order (numbered from 1, as in the scene breakdown) and lines from the top:
// Scene,Character,Lane,InScene, where InScene is 1 for the characters present in the scene.
QByteArray storylineCsv(const StorylineLayout &layout, const CharacterList &list);

// The storyline chart as an SVG drawing: a band per scene titled with its heading (headings[k]
// for scene k; "Scene N" where it has none), a path per character carrying its name in
// data-character, and each name written at the start of its line.
QByteArray storylineSvg(const StorylineLayout &layout, const CharacterList &list,
                        const QStringList &headings);
