// SPDX-License-Identifier: MIT
#pragma once

#include "pdflayout.h"

#include <QString>
#include <QVector>

// The words of a page that share a baseline, by left edge.
struct PdfLine {
    QVector<PdfWord> words;
    qreal bottom = 0;
    bool numbered = false; // scene numbers stood beside it
    QString spaced;        // text(), kept by pdfLines once the words are final

    qreal left() const { return words.first().left; }
    qreal right() const { return words.last().left + words.last().width; }
    // The words with the blanks between them as on the page: at least one, none between the
    // touching pieces of a word drawn in two.
    QString text(qreal advance) const;
    // The line cut where a gap wider than `gap` points parts two words (a scene number, a page
    // number beside a running header, the two speeches of a dual dialogue).
    QVector<PdfLine> segments(qreal gap) const;
};

struct PdfPageLines {
    QVector<PdfLine> lines; // top to bottom
    bool more = false;      // a "(MORE)" said that a speech goes on overleaf
};

struct PdfLines {
    QVector<PdfPageLines> pages;
    qreal advance = 0;     // of one character, in points
    qreal lineSpacing = 0; // in points
    bool proportional = false;
};

// The lines of every page without their furniture: page numbers, running headers and footers
// (text repeated at one place on many pages), "(MORE)", "CONTINUED" markers, and the scene
// numbers beside a line, which mark it numbered. The advance is that of the monospaced face the
// words are set in; for a proportional face, a tenth of an inch scaled to the line spacing, so
// that positions are compared in points.
PdfLines pdfLines(const QVector<PdfPage> &pages);
