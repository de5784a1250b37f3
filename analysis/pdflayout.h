// SPDX-License-Identifier: MIT
#pragma once

#include "screenplaylayout.h"

#include <QString>
#include <QVector>

// One word of a PDF page's text layer, in points from the page's top left corner. The bottom of
// the word's box stands for its baseline: the words of one printed line share it.
struct PdfWord {
    QString text;
    qreal left = 0;
    qreal bottom = 0;
    qreal width = 0;
};

using PdfPage = QVector<PdfWord>;

// Lays out the words of a screenplay PDF, page by page, in the typewriter columns of the other
// structured readers. A screenplay PDF is set in a monospaced face, so a word's column follows
// from its left edge: words sharing a baseline form a line, and each line is laid out at its
// column from the page's action margin, which stands at 15 blanks. The action margin is the left
// edge that puts the most lines of the page into the screenplay's columns (action, dialogue,
// parentheticals, cues), the smallest common left edge on an ordinary page; a page of dialogue
// alone keeps the previous page's margin. The advance of a character and the line spacing are
// measured from the words. Vertical gaps become empty lines.
//
// Every page starts with the mark "[n]" (n its number, from 1). Page furniture is left out: the
// page number at the top, "(MORE)", "(CONTINUED)" and "CONTINUED:" lines, scene numbers beside a
// line, and the cue repeated with "(CONT'D)" at the top of a page whose speech goes on from the
// page before. A line in capitals in the cue columns whose next line is dialogue or a
// parenthetical is a cue; a line at the action margin that starts with INT, EXT, EST, INT./EXT.
// or I/E is a scene heading.
ScreenplayLayout pdfLayout(const QVector<PdfPage> &pages);
