// SPDX-License-Identifier: MIT
#include "fileio.h"
#include "fountain.h"
#include "pdftext.h"
#include "screenplayanalysis.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace {

// A PDF laid out like the other structured screenplays. One that cannot be read gives the reason
// on standard error and as its only line, which names no one.
ScreenplayLayout readPdf(const QString &fileName)
{
    const PdfText pdf = readPdfText(fileName);
    if (pdf.error.isEmpty())
        return pdfLayout(pdf.pages);
    std::fprintf(stderr, "%s: %s\n", qPrintable(fileName), qPrintable(pdf.error));
    std::fflush(stderr);
    ScreenplayLayout unread;
    unread.lines.append(pdf.error);
    return unread;
}

// Rewrites one line of a plain-text or HTML screenplay so that later stages treat both alike.
void rewriteLine(QString &line)
{
    // A speaker element becomes its bare name, indented deeper than any action line.
    if (line.startsWith(QLatin1String("<speaker"))) {
        const QString inner = line.split(QStringLiteral("<center><b>")).last();
        line = QString(16, QLatin1Char(' ')) + inner.split(QStringLiteral("</b></center>")).first();
    }
    line.replace(QLatin1Char('\t'), QLatin1String("    "));
    // A blank after every tag makes the text that follows it a word of its own.
    line.replace(QLatin1Char('>'), QLatin1String("> "));
    // Neutralise the page's own font and heading styling so the view's styles apply.
    line.replace(QLatin1String("<font"), QLatin1String("<nofont"));
    line.replace(QLatin1String("</font>"), QLatin1String("</nofont>"));
    line.replace(QLatin1String("<h2"), QLatin1String("<noh2"));
    line.replace(QLatin1String("</h2>"), QLatin1String("</noh2>"));
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
    for (QString line : layout.lines) {
        rewriteLine(line);
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
    QTextStream in(&file);
    QString line;
    if (QFileInfo(fileName).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0) {
        appendLayout(readPdf(fileName));
    } else if (QFileInfo(fileName).suffix().compare(QLatin1String("fountain"),
                                                    Qt::CaseInsensitive) == 0) {
        // Fountain is laid out in typewriter columns first, then rewritten like any text.
        QStringList source;
        while (in.readLineInto(&line))
            source.append(line);
        appendLayout(fountainLayout(source));
    } else {
        while (in.readLineInto(&line)) {
            rewriteLine(line);
            lines.append(line);
        }
    }
    titleChanged(QStringLiteral("Yarnwise : ") + fileName.mid(fileName.lastIndexOf('/') + 1));
}
