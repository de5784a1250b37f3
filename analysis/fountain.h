// SPDX-License-Identifier: MIT
#pragma once

#include "screenplaylayout.h"

#include <QStringList>

// Lays out the decoded lines of a Fountain screenplay (without line ends) in the typewriter
// columns that discovery and the markup read: scene headings and action after 15 blanks,
// dialogue after 25, parentheticals after 30, character cues after 37, transitions after 55,
// and centred text centred on the 60 columns of an action line. Each element keeps its text
// as written, without the Fountain markers and the emphasis asterisks and underscores.
//
// Elements follow each other in source order, and every empty line stays an empty line. Action
// wraps at 60 columns, dialogue at 35 and parentheticals at 25, as on a typewriter page; headings,
// cues, transitions and centred text stay on one line. The title page, sections, synopses, and
// lines holding nothing but boneyard or notes give no line. A page break gives the mark "[n]" at
// the action margin, n being the number of the page it starts (the first page is 1). An
// unterminated "/*" or "[[" is kept as text, so a stray opener never hides the rest.
//
// The layout also names the cues that open dialogue (with their speakers) and the scene headings,
// forced ones included.
ScreenplayLayout fountainLayout(const QStringList &sourceLines);
