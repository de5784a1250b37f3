// SPDX-License-Identifier: MIT
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

// A screenplay of a structured format (Fountain) laid out in typewriter columns, with what its
// reader knows about the lines: which lines are character cues and which are scene headings.
// Discovery takes the cast from the cues and the markup opens a scene at every heading.
struct ScreenplayLayout {
    QStringList lines;
    // The speaker each cue line names: the cue without its extensions, "@" and "^", in the case
    // written. Keyed by line index.
    QMap<int, QString> cues;
    // The indices of the scene heading lines, ascending.
    QVector<int> headings;
};
