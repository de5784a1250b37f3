// SPDX-License-Identifier: MIT
#include "fileio.h"
#include "finaldraft.h"
#include "fountain.h"
#include "pdftext.h"
#include "screenplayanalysis.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

bool hasSuffix(const QString &fileName, const QString &suffix)
{
    return QFileInfo(fileName).suffix().compare(suffix, Qt::CaseInsensitive) == 0;
}

// A tab stands for four blanks, so that indentation counts in blanks.
void expandTabs(QString &line)
{
    if (line.contains(QLatin1Char('\t')))
        line.replace(QLatin1Char('\t'), QLatin1String("    "));
}

// Rewrites one line of a plain-text or HTML screenplay so that later stages treat both alike.
void rewriteLine(QString &line)
{
    // Most lines hold no tab and no markup; they are left as they are without a copy.
    const bool open = line.contains(QLatin1Char('<'));
    const bool close = line.contains(QLatin1Char('>'));
    // A speaker element becomes its bare name, indented deeper than any action line.
    if (open && line.startsWith(QLatin1String("<speaker"))) {
        const QString inner = line.split(QStringLiteral("<center><b>")).last();
        line = QString(16, QLatin1Char(' ')) + inner.split(QStringLiteral("</b></center>")).first();
    }
    expandTabs(line);
    // A blank after every tag makes the text that follows it a word of its own.
    if (close)
        line.replace(QLatin1Char('>'), QLatin1String("> "));
    // Neutralise the page's own font and heading styling so the view's styles apply.
    if (open) {
        line.replace(QLatin1String("<font"), QLatin1String("<nofont"));
        line.replace(QLatin1String("</font>"), QLatin1String("</nofont>"));
        line.replace(QLatin1String("<h2"), QLatin1String("<noh2"));
        line.replace(QLatin1String("</h2>"), QLatin1String("</noh2>"));
    }
    if (line.contains(QLatin1Char('-')) && line.contains(QLatin1String("font-size")))
        line.replace(QLatin1String("font-size"), QLatin1String("no-font-size"));
}

} // namespace

void ScreenplayAnalysis::appendLayout(const ScreenplayLayout &layout)
{
    const int first = lines.size();
    structured = true;
    for (auto cue = layout.cues.cbegin(); cue != layout.cues.cend(); ++cue)
        cues.insert(first + cue.key(), cue.value());
    for (const int heading : layout.headings)
        headingLines.append(first + heading);
    // A structured screenplay's text is no HTML: the markup escapes it rather than rewriting it.
    for (QString line : layout.lines) {
        expandTabs(line);
        lines.append(line);
    }
}

void ScreenplayAnalysis::readFile(const QString &fileName)
{
    QFile file(fileName);
    if (!openForReading(file)) {
        lines.append(QStringLiteral("file not found\n"));
        return;
    }
    // A structured file that cannot be read shows the reason as its only line and, as a
    // structured screenplay, gives no one and no scene.
    const auto appendReadOrFailed = [this, &fileName](ScreenplayLayout layout,
                                                      const QString &error) {
        if (!error.isEmpty()) {
            readFailed(fileName, error);
            layout = ScreenplayLayout();
            layout.lines.append(error);
        }
        appendLayout(layout);
    };
    if (hasSuffix(fileName, QStringLiteral("fdx"))) {
        // Final Draft is XML, decoded from the file's bytes as they are: text mode would drop
        // the carriage returns of UTF-16 characters.
        file.setTextModeEnabled(false);
        QString error;
        const ScreenplayLayout layout = finalDraftLayout(file.readAll(), &error);
        appendReadOrFailed(layout, error);
    } else if (hasSuffix(fileName, QStringLiteral("pdf"))) {
        const PdfText pdf = readPdfText(fileName);
        appendReadOrFailed(pdf.error.isEmpty() ? pdfLayout(pdf.pages) : ScreenplayLayout(),
                           pdf.error);
    } else if (hasSuffix(fileName, QStringLiteral("fountain"))) {
        // Fountain is laid out in typewriter columns first, then rewritten like any text.
        appendLayout(fountainLayout(readTextLines(file)));
    } else {
        QStringList read = readTextLines(file);
        for (QString &line : read)
            rewriteLine(line);
        lines += read;
    }
    titleChanged(QStringLiteral("Yarnwise : ") + fileName.mid(fileName.lastIndexOf('/') + 1));
}

void ScreenplayAnalysis::readFailed(const QString &fileName, const QString &reason)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(fileName), qPrintable(reason));
    std::fflush(stderr);
}
