// SPDX-License-Identifier: MIT
#pragma once

#include "screenplayanalysis.h"
#include "screenplaylayout.h"
#include "testfiles.h"

// Opens a screenplay with the sample break strings, as the file-open command does, and parses it.
inline void openAndParse(ScreenplayAnalysis &a, const QString &path)
{
    a.breakStrings = ScreenplayAnalysis::sampleBreakStrings();
    a.openScreenplay(path);
    a.buildModel();
}

// "NAME:instances" for each character, in order, separated by "|".
inline QString castSummary(const QVector<Character *> &characters)
{
    QStringList result;
    for (const Character *c : characters)
        result.append(c->names.join(' ') + ':' + QString::number(c->numInstances));
    return result.join('|');
}

// Every scene as "type start-stop counts", followed by " p" and the pages when it has any,
// separated by "|"; without positions and pages as "type:counts".
inline QString sceneSummary(const CharacterList *list, bool positions = true)
{
    QStringList result;
    for (const TimeIndex *s : list->timeIndices) {
        QString line = s->type;
        if (positions)
            line += ' ' + QString::number(s->start) + '-' + QString::number(s->stop);
        for (int i = 0; i < s->counts.size(); ++i)
            line += (i ? ',' : positions ? ' ' : ':') + QString::number(s->counts.at(i));
        for (int i = 0; positions && i < s->pages.size(); ++i)
            line += (i ? "," : " p") + QString::number(s->pages.at(i));
        result.append(line);
    }
    return result.join('|');
}

// The lines of text separated by "\n"; none for no text.
inline QStringList splitLines(const QString &text)
{
    return text.isEmpty() ? QStringList{} : text.split('\n');
}

// A layout from "indent text" pieces separated by "\n"; an empty piece stays empty. An indent
// followed by "h" marks a heading, by "c" a cue, whose speakers are given in order.
inline ScreenplayLayout laidOut(const QString &pieces, const QStringList &speakers = {})
{
    ScreenplayLayout layout;
    for (const QString &piece : splitLines(pieces)) {
        const int blank = piece.indexOf(' ');
        const QString indent = piece.left(blank);
        if (indent.endsWith('h'))
            layout.headings.append(layout.lines.size());
        if (indent.endsWith('c'))
            layout.cues.insert(layout.lines.size(), speakers.value(layout.cues.size()));
        const int columns = QString(indent).remove(QRegularExpression("[hc]$")).toInt();
        layout.lines.append(piece.isEmpty() ? piece : QString(columns, ' ') + piece.mid(blank + 1));
    }
    return layout;
}
