// SPDX-License-Identifier: MIT
#include "typewriterpdf.h"
#include "fountain.h"

#include <QFile>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

#include <algorithm>

namespace {

using Layout = ScreenplayLayout;

constexpr qreal kPointSize = 12;
constexpr qreal kLineSpacing = 12;
// The baseline of a page's first line, half an inch and a line from the top.
constexpr qreal kFirstBaseline = 48;
constexpr int kPageNumberIndent = 72;
constexpr int kContinuedIndent = 62;
constexpr int kLeftSceneNumberIndent = Layout::actionIndent - 7;
constexpr int kRightSceneNumberIndent = 77;

int indentOf(const QString &line)
{
    int blanks = 0;
    while (blanks < line.size() && line.at(blanks) == QLatin1Char(' '))
        ++blanks;
    return blanks;
}

bool isSpeech(const QString &line)
{
    const int indent = indentOf(line);
    return indent < line.size() &&
           (indent == Layout::dialogueIndent || indent == Layout::parentheticalIndent);
}

QString at(int indent, const QString &text)
{
    return QString(indent, QLatin1Char(' ')) + text;
}

QString numberedHeading(const QString &heading, int number)
{
    const QString n = QString::number(number);
    QString line = at(kLeftSceneNumberIndent, n);
    line += QString(Layout::actionIndent - line.size(), QLatin1Char(' ')) + heading.trimmed();
    const int right = std::max(kRightSceneNumberIndent, int(line.size()) + 4);
    return line + QString(right - line.size(), QLatin1Char(' ')) + n;
}

// A typewritten screenplay with its cues.
ScreenplayLayout typewrittenLayout(const QStringList &lines)
{
    ScreenplayLayout layout;
    for (const QString &line : lines)
        layout.lines.append(QString(line).replace(QLatin1Char('\t'), QLatin1String("    ")));
    for (int i = 0; i + 1 < layout.lines.size(); ++i) {
        const QString &line = layout.lines.at(i);
        if (indentOf(line) == Layout::cueIndent && isSpeech(layout.lines.at(i + 1)))
            layout.cues.insert(i, Layout::speakerOf(line));
    }
    return layout;
}

// Cuts a laid-out screenplay into pages with their furniture; page marks "[n]" of the layout are
// left out.
QVector<QStringList> printedPages(const ScreenplayLayout &layout, int bodyLines = 55)
{
    static const QRegularExpression pageMark(QStringLiteral("^\\s*\\[\\d+\\]$"));
    QVector<QStringList> pages(1);
    int body = 0;
    int scene = 0;
    QString speaker; // whose speech the last line belongs to
    for (int i = 0; i < layout.lines.size(); ++i) {
        const QString &line = layout.lines.at(i);
        if (pageMark.match(line).hasMatch())
            continue;
        const bool keepsWithNext = layout.cues.contains(i) || layout.headings.contains(i);
        if (body >= bodyLines || (keepsWithNext && body >= bodyLines - 1)) {
            const bool inSpeech = !speaker.isEmpty() && isSpeech(line);
            const bool inScene = scene > 0 && !layout.headings.contains(i);
            if (inSpeech)
                pages.last().append(at(Layout::cueIndent, QStringLiteral("(MORE)")));
            if (inScene)
                pages.last().append(at(kContinuedIndent, QStringLiteral("(CONTINUED)")));
            pages.append(QStringList{at(kPageNumberIndent, QString::number(pages.size() + 1) + '.'),
                                     QString()});
            if (inScene)
                pages.last() << at(Layout::actionIndent, QStringLiteral("CONTINUED:")) << QString();
            if (inSpeech)
                pages.last().append(at(Layout::cueIndent, speaker + QStringLiteral(" (CONT'D)")));
            body = 0;
        }
        if (body == 0 && line.trimmed().isEmpty())
            continue;
        if (layout.headings.contains(i)) {
            pages.last().append(numberedHeading(line, ++scene));
        } else {
            pages.last().append(line);
        }
        ++body;
        if (layout.cues.contains(i))
            speaker = layout.cues.value(i);
        else if (!isSpeech(line))
            speaker.clear();
    }
    return pages;
}

} // namespace

bool drawTypewriterPdf(const QString &path, const QVector<QStringList> &pages,
                       const PdfDrawing &drawing)
{
    QPdfWriter writer(path);
    writer.setResolution(72); // one unit per point
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    QFont courier(QStringLiteral("Courier"));
    courier.setStyleHint(QFont::TypeWriter);
    courier.setFixedPitch(true);
    courier.setPointSizeF(kPointSize);
    painter.setFont(courier);
    if (!QFontInfo(painter.font()).fixedPitch())
        return false;
    const qreal advance =
        QFontMetricsF(painter.font(), &writer).horizontalAdvance(QLatin1Char(' '));
    for (int p = 0; p < pages.size(); ++p) {
        if (p > 0)
            writer.newPage();
        const qreal margin = drawing.margins.value(p, kPrintedActionMargin);
        const auto x = [&](int column) {
            return margin + (column - Layout::actionIndent) * advance;
        };
        for (int k = 0; k < pages.at(p).size(); ++k) {
            const QString &line = pages.at(p).at(k);
            const qreal baseline = kFirstBaseline + k * kLineSpacing;
            if (!drawing.wordByWord) {
                const int indent = indentOf(line);
                painter.drawText(QPointF(x(indent), baseline), line.mid(indent));
                continue;
            }
            static const QRegularExpression word(QStringLiteral("\\S+"));
            QVector<QRegularExpressionMatch> words;
            for (auto it = word.globalMatch(line); it.hasNext();)
                words.prepend(it.next());
            for (const QRegularExpressionMatch &w : qAsConst(words))
                painter.drawText(QPointF(x(w.capturedStart()), baseline), w.captured());
        }
    }
    return painter.end();
}

int printAsPdf(const QString &screenplay, const QString &pdf)
{
    QFile file(screenplay);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QStringList text = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    const bool fountain = screenplay.endsWith(QLatin1String(".fountain"));
    const QVector<QStringList> pages =
        printedPages(fountain ? fountainLayout(text) : typewrittenLayout(text));
    return drawTypewriterPdf(pdf, pages) ? int(pages.size()) : 0;
}
