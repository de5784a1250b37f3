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
    bool bold = false; // set in a bold face
};

using PdfPage = QVector<PdfWord>;

// Lays out the words of a screenplay PDF, page by page, in the typewriter columns of the other
// structured readers, with its cues and headings, whatever program printed it. Words sharing a
// baseline form a line; page furniture is left out (page numbers, running headers and footers,
// "(MORE)", "CONTINUED" markers, scene numbers beside a line, a title page); the columns are
// learned from the whole document (see PdfColumns), so that pages whose margins shift, cues
// set at a column or centred, Letter or A4 pages and any face read alike. A line in capitals
// in the cue columns whose next line is speech is a cue; a line at the action margin that
// starts with INT, EXT, EST, INT./EXT. or I/E, or has scene numbers beside it, is a heading. A
// speech that a page break cuts is one speech: the cue repeated over its rest goes. Two
// speeches side by side are laid out left then right. Vertical gaps become empty lines, and
// every page starts with the mark "[n]" (n its number, from 1). A document without a cue is
// marked unstructured.
ScreenplayLayout pdfLayout(const QVector<PdfPage> &pages);
