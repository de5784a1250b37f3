// SPDX-License-Identifier: MIT
#pragma once

#include "pdflines.h"

#include <QString>
#include <QVector>

// The columns of a screenplay PDF, learned from the whole document: each page's action margin
// and, from it, the dialogue, parenthetical and cue columns, in advances. A cue is a name in
// capitals whose next line starts further left: those pairs give the dialogue column of each
// page, the most common distance between it and the action lines gives the action margin of
// every page that has speech, and a page without speech takes the margin that puts most of its
// lines into the learned columns, the document's usual margin on a tie. Cues may stand at one
// column or be centred; both positions are learned.
class PdfColumns {
public:
    explicit PdfColumns(const PdfLines &lines);

    // A line this close (in advances) to a column stands in it.
    static constexpr qreal slack = 1.0;
    // A line at most this many line spacings below another goes on its element.
    static constexpr qreal speechGap = 1.6;
    // The two cues of a dual dialogue stand at least this many advances apart.
    static constexpr qreal dualGap = 4.0;
    static constexpr int farthestColumn = 250;

    // Starts with INT, EXT, EST, INT./EXT. or I/E, in any case.
    static bool isHeadingText(const QString &text);
    // A name in capitals with extensions in parentheses, short, that is neither a heading nor a
    // transition.
    static bool isCueText(const QString &text);

    // Whether a line can be a cue over the next one, wherever it stands: a cue's text, after an
    // empty line or at the top of the page (`before` null), and the next line close below,
    // starting left of the cue's middle.
    static bool isCueOver(const PdfLine *before, const PdfLine &cue, const PdfLine &next,
                          qreal advance, qreal lineSpacing);

    // The column of a left edge on a page, counted from its action margin.
    qreal column(int page, qreal left) const;
    bool isSpeechColumn(qreal column) const;
    bool isCueColumn(int page, qreal left, qreal right) const;

    // Whether any page says "(MORE)" under a speech that a page break cuts.
    bool more = false;

private:
    qreal m_advance;
    QVector<qreal> m_margins;
    qreal m_dialogue;
    qreal m_parenthetical;
    qreal m_cueCentre;
};
