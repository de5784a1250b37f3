// SPDX-License-Identifier: MIT
#pragma once

#include "screenplaylayout.h"

#include <QByteArray>
#include <QString>

// Lays out a Final Draft document (the XML of an .fdx file) in the typewriter columns that
// discovery and the markup read. The screenplay is the Paragraph elements of FinalDraft/Content in
// document order; each paragraph's Text runs are joined and its white space collapsed to single
// blanks, as the paragraph flows on the page. By the paragraph's Type:
// - "Scene Heading" is a heading at the action margin (15 blanks), on one line;
// - "Shot" stands at the action margin on one line too, but is no heading;
// - "Character" is a cue at 37 blanks in capitals, as Final Draft shows it, its speaker the text
//   before the first "(";
// - "Dialogue" stands at 25 blanks wrapped at 35 columns, "Parenthetical" at 30 wrapped at 25;
// - "Transition" stands at 55 blanks;
// - "New Act" and "End of Act" are centred on the action line;
// - "Action", "General", "Cast List", any other type and none are action: 15 blanks, wrapped at 60.
// An empty line comes before every paragraph except the dialogue and parentheticals that go on
// a speech; a paragraph without text gives no line. A DualDialogue element inside a paragraph
// holds paragraphs of its own, laid out after that paragraph one after the other. The title page,
// headers and footers, scene properties and settings are not screenplay text.
//
// The bytes are decoded by their byte-order mark (UTF-8, UTF-16, UTF-32), by the look of UTF-16
// without one, or else by the XML encoding declaration (ISO-8859-1, windows-1252...), UTF-8 when
// there is none. Entities are never expanded: XML's five named ones and character references
// are decoded, any other "&name;" stays as written, and nothing outside the document is read.
// When the bytes are not a well-formed Final Draft document, or are in an encoding that is not
// known, the layout is empty and error says why.
ScreenplayLayout finalDraftLayout(const QByteArray &document, QString *error);
