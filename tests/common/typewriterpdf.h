// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// Screenplay PDFs made for the tests and benchmarks, as a screenplay program prints them: pages
// of typewriter columns in Courier 12 pt, ten characters to the inch and one line per 12 points.

// The action margin of a US Letter screenplay page, in points.
constexpr qreal kPrintedActionMargin = 108;

struct PdfDrawing {
    // The action margin of each page, in points; missing pages use kPrintedActionMargin.
    QVector<qreal> margins;
    // Draws every word by itself, right to left, instead of each line in one piece.
    bool wordByWord = false;
};

// Draws pages of typewriter lines into a PDF; the action column (15 blanks) stands at the page's
// margin. False when the file cannot be written or no monospaced face stands in for Courier.
bool drawTypewriterPdf(const QString &path, const QVector<QStringList> &pages,
                       const PdfDrawing &drawing = PdfDrawing());

// Prints a screenplay file as a PDF: a Fountain file (suffix "fountain") as the Fountain reader
// lays it out, anything else as typewritten text with its cues found as a reader of such text
// finds them (a line at the cue column over dialogue or a parenthetical; tabs count four blanks).
// The pages hold at most 55 lines and the furniture a screenplay program prints: from page 2 on
// the page number at the top right; "(MORE)" under a speech a page break cuts and its cue with
// "(CONT'D)" over the rest; "(CONTINUED)" and "CONTINUED:" where a break falls inside a scene;
// and each scene heading numbered on both sides. No page ends with a cue or heading, and none
// starts with an empty line. Returns the number of pages, 0 when the file cannot be read or the
// PDF not drawn.
int printAsPdf(const QString &screenplay, const QString &pdf);
