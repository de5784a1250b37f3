// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QVector>

// One scene: a section of the text between two scene breaks, with positions from 0 to 1.
class TimeIndex {
public:
    // One mention counter per character of the CharacterList when the scene opened.
    QVector<int> counts;
    float start = 0.0f;
    float stop = 0.0f;
    // What opened the scene: "START", the matching break string, "USER_SET", or the CSV kinds.
    QString type;
    // Page numbers: the previous scene's last page, then every page mark met in the scene.
    QVector<int> pages;
};
