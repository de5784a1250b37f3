// SPDX-License-Identifier: MIT
#pragma once

#include <QPageSize>
#include <QString>
#include <QStringList>
#include <QVector>

// Screenplay PDFs made for the tests and benchmarks, as screenplay programs print them: pages
// of typewriter columns in Courier 12 pt, ten characters to the inch and one line per 12 points.

// The action margin of a screenplay page, in points.
constexpr qreal kPrintedActionMargin = 108;

// How the pages are printed. The defaults are a US Letter page with scene numbers on both
// sides, "(CONTINUED)" and "CONTINUED:" where a break falls inside a scene, and the cue at the
// typewriter's column.
struct PrintStyle {
    QPageSize::PageSizeId paper = QPageSize::Letter;
    // Lines of screenplay text on a page; 0 fills the paper.
    int pageLines = 0;
    // The action margin of each page, in points; missing pages use kPrintedActionMargin.
    QVector<qreal> margins;
    // Every word drawn by itself in pieces of four letters at most, right to left, instead of
    // each line in one piece.
    bool wordByWord = false;
    // A proportional face at the same positions instead of a monospaced one.
    bool proportional = false;
    // The /Rotate of every page, as a viewer saves a turned page.
    int rotate = 0;
    // The text drawn a quarter turn clockwise on a landscape page, without a /Rotate.
    bool drawnTurned = false;
    bool leftSceneNumbers = true;
    bool rightSceneNumbers = true;
    bool continued = true;
    // Printed at the action margin on the page number's line of every page.
    QString header;
    // Cues centred over the dialogue instead of at a column; the columns of cues and
    // parentheticals.
    bool centredCues = false;
    int cueColumn = 37;
    int parentheticalColumn = 30;
    // Fountain's dual dialogue (a cue ending in "^") side by side instead of one after the other.
    bool sideBySide = true;
    // A title page first, its lines centred.
    QStringList titlePage;
    // Headings printed bold by striking them twice, a fraction of a point apart; headings after
    // two empty lines.
    bool boldHeadings = false;
    bool spacedHeadings = false;
};

// Draws pages of typewriter lines into a PDF; the action column (15 blanks) stands at the page's
// margin. False when the file cannot be written or no monospaced face stands in for Courier.
bool drawTypewriterPdf(const QString &path, const QVector<QStringList> &pages,
                       const PrintStyle &style = PrintStyle());

// Prints a screenplay file as a PDF: a Fountain file (suffix "fountain") as the Fountain reader
// lays it out, anything else as typewritten text with its cues found as a reader of such text
// finds them (a line at the cue column over dialogue or a parenthetical; tabs count four blanks).
// The pages hold at most 55 lines on Letter, 59 on A4, and the furniture a screenplay program
// prints: from page 2 on the page number at the top right; "(MORE)" under a speech a page break
// cuts and its cue with "(CONT'D)" over the rest; "(CONTINUED)" and "CONTINUED: (n)" where a
// break falls inside a scene; scene numbers beside each heading. No page ends with a cue or
// heading, none starts with an empty line, and two speeches side by side stay on one page.
// Returns the number of pages, 0 when the file cannot be read or the PDF not drawn.
int printAsPdf(const QString &screenplay, const QString &pdf, const PrintStyle &style = PrintStyle());
