// SPDX-License-Identifier: MIT
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

// A screenplay of a structured format (Fountain) laid out in the columns of a typewritten page,
// with what its reader knows about the lines: which lines are character cues and which are scene
// headings. Discovery takes the cast from the cues and the markup opens a scene at every heading.
class ScreenplayLayout {
public:
    // The leading blanks of each element, the columns of a typewriter screenplay.
    static constexpr int actionIndent = 15;
    static constexpr int dialogueIndent = 25;
    static constexpr int parentheticalIndent = 30;
    static constexpr int cueIndent = 37;
    static constexpr int transitionIndent = 55;
    // The widths that action, dialogue and parentheticals wrap at, as on a typewriter page;
    // centred text is centred on the width of an action line.
    static constexpr int actionWidth = 60;
    static constexpr int dialogueWidth = 35;
    static constexpr int parentheticalWidth = 25;

    // Appends text at an indentation. Given a width, the text is wrapped at blanks as on a
    // typewriter page (a longer word keeps a line of its own), so that a long paragraph takes the
    // share of the text, and of the time axis, that it takes on paper. Empty text gives one empty
    // line.
    void append(int indent, const QString &text, int width = 0);
    // Appends text centred on the action line.
    void appendCentred(const QString &text);
    // Appends a cue at the cue column; it counts as a cue only when it opens dialogue and names
    // someone.
    void appendCue(const QString &cue, bool opensDialogue);
    // Appends a scene heading at the action margin.
    void appendHeading(const QString &heading);

    // The speaker a cue names: the cue without its extensions, which start at the first "(" (also
    // when no blank comes before it, as in "BRIANNA(O.S.)"), its quotes folded.
    static QString speakerOf(const QString &cue);
    // The text with typographic apostrophes and quotes (’ ‘ ” ″ and the like) in their ASCII
    // forms, so that O’NEIL and O'NEIL name one person in every format.
    static QString foldedQuotes(QString text);

    QStringList lines;
    // The speaker each cue line names: the cue without its extensions, "@" and "^", in the case
    // written. Keyed by line index.
    QMap<int, QString> cues;
    // The indices of the scene heading lines, ascending.
    QVector<int> headings;
    // Set by a reader that recovered no screenplay structure (no cue anywhere): the lines are
    // then to be read by the rules of typewritten text.
    bool unstructured = false;
};
