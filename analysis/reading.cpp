// SPDX-License-Identifier: MIT
#include "fileio.h"
#include "finaldraft.h"
#include "fountain.h"
#include "pdftext.h"
#include "screenplayanalysis.h"

#include <QFile>
#include <QFileInfo>
#include <QTextCodec>

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

// How much of a text file is looked at to tell text from other data.
constexpr qint64 textSample = 64 * 1024;

// Why the first bytes of a file are not a text screenplay: there are none, or they hold a NUL
// byte or mostly control characters (a program, an image, an archive). Text in UTF-16 or UTF-32,
// which holds NUL bytes, starts with its byte-order mark.
FileError textProblem(const QString &fileName, const QByteArray &head)
{
    if (head.isEmpty())
        return {fileName, QStringLiteral("is empty"), QString()};
    if (QTextCodec::codecForUtfText(head, nullptr))
        return {};
    int control = 0;
    for (const char c : head) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0)
            return {fileName, QStringLiteral("is not a text screenplay"), QString()};
        if ((byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r' && byte != '\f') ||
            byte == 0x7f)
            ++control;
    }
    // Text has a few stray control characters at most (page feeds, escape sequences).
    constexpr int mostlyControl = 10; // a tenth
    if (control * mostlyControl > head.size())
        return {fileName, QStringLiteral("is not a text screenplay"), QString()};
    return {};
}

// Final Draft and PDF files are read by their own parsers; every other file is text.
bool isText(const QString &fileName)
{
    return !hasSuffix(fileName, QStringLiteral("fdx")) &&
           !hasSuffix(fileName, QStringLiteral("pdf"));
}

} // namespace

FileError ScreenplayAnalysis::checkScreenplayFile(const QString &fileName)
{
    QFile file(fileName);
    if (const FileError error = openForReading(file); !error.isNull())
        return error;
    return isText(fileName) ? textProblem(fileName, file.peek(textSample)) : FileError();
}

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

FileError ScreenplayAnalysis::readFile(const QString &fileName)
{
    QFile file(fileName);
    if (const FileError error = openForReading(file); !error.isNull()) {
        lines.append(QStringLiteral("file not found\n"));
        return error;
    }
    // A structured file that is not of its format gives no line, and so no one and no scene.
    const auto appendOrFail = [this, &fileName](const ScreenplayLayout &layout,
                                                const QString &error) {
        if (!error.isEmpty())
            return FileError::notRead(fileName, error);
        appendLayout(layout);
        return FileError();
    };
    if (hasSuffix(fileName, QStringLiteral("fdx"))) {
        // Final Draft is XML, decoded from the file's bytes as they are: text mode would drop
        // the carriage returns of UTF-16 characters.
        file.setTextModeEnabled(false);
        QString error;
        const ScreenplayLayout layout = finalDraftLayout(file.readAll(), &error);
        return appendOrFail(layout, error);
    }
    if (hasSuffix(fileName, QStringLiteral("pdf"))) {
        const PdfText pdf = readPdfText(fileName);
        if (!pdf.error.isEmpty())
            return FileError::notRead(fileName, pdf.error);
        const ScreenplayLayout layout = pdfLayout(pdf.pages);
        if (!layout.unstructured) {
            appendLayout(layout);
            return {};
        }
        // Without a cue the PDF is read as typewritten text, and says so.
        notice = {fileName, QStringLiteral("gives no screenplay structure"),
                  QStringLiteral("no character cues were found, so it is read as plain text")};
        for (QString line : layout.lines) {
            rewriteLine(line);
            lines.append(line);
        }
        return {};
    }
    if (isText(fileName)) {
        if (const FileError error = textProblem(fileName, file.peek(textSample)); !error.isNull())
            return error;
    }
    if (hasSuffix(fileName, QStringLiteral("fountain"))) {
        // Fountain is laid out in typewriter columns first, then rewritten like any text.
        appendLayout(fountainLayout(readTextLines(file)));
    } else {
        QStringList read = readTextLines(file);
        for (QString &line : read)
            rewriteLine(line);
        lines += read;
    }
    return {};
}
