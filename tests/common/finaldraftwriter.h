// SPDX-License-Identifier: MIT
#pragma once

#include "screenplaylayout.h"

#include <tinyxml2.h>

#include <QByteArray>

// A laid-out screenplay written as a Final Draft document: each element a paragraph of the type
// its column and the layout's cues and headings give, consecutive lines of one column joined
// into one paragraph. Every paragraph holds two runs, its first word and the rest, so that a
// reader must join runs to get names and headings right. Fixtures are made from screenplays we
// hold with it.
inline QByteArray finalDraftOf(const ScreenplayLayout &layout)
{
    tinyxml2::XMLPrinter out;
    out.PushHeader(false, true);
    out.OpenElement("FinalDraft");
    out.PushAttribute("DocumentType", "Script");
    out.OpenElement("Content");
    const auto indentOf = [](const QString &line) {
        return int(line.size() - line.trimmed().size());
    };
    const auto single = [&layout](int i) {
        return layout.headings.contains(i) || layout.cues.contains(i);
    };
    for (int i = 0; i < layout.lines.size(); ++i) {
        const QString &line = layout.lines.at(i);
        if (line.isEmpty())
            continue;
        const int indent = indentOf(line);
        QString text = line.trimmed();
        while (!single(i) && i + 1 < layout.lines.size() && !single(i + 1) &&
               !layout.lines.at(i + 1).isEmpty() && indentOf(layout.lines.at(i + 1)) == indent)
            text += ' ' + layout.lines.at(++i).trimmed();
        const char *type = layout.headings.contains(i)            ? "Scene Heading"
                           : layout.cues.contains(i)              ? "Character"
                           : indent == layout.dialogueIndent      ? "Dialogue"
                           : indent == layout.parentheticalIndent ? "Parenthetical"
                           : indent == layout.transitionIndent    ? "Transition"
                           : indent == layout.actionIndent        ? "Action"
                                                                  : "General";
        out.OpenElement("Paragraph");
        out.PushAttribute("Type", type);
        const int blank = text.indexOf(' ');
        for (const QString &run : {text.left(blank), blank < 0 ? QString() : text.mid(blank)}) {
            out.OpenElement("Text");
            out.PushAttribute("Style", "Bold");
            out.PushText(run.toUtf8().constData());
            out.CloseElement();
        }
        out.CloseElement();
    }
    out.CloseElement();
    out.CloseElement();
    return QByteArray(out.CStr());
}
