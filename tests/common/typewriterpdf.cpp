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
#include <cctype>

namespace {

using Layout = ScreenplayLayout;

constexpr qreal kPointSize = 12;
constexpr qreal kLineSpacing = 12;
constexpr qreal kColumnWidth = 7.2; // a tenth of an inch
// The baseline of a page's first line, half an inch and a line from the top.
constexpr qreal kFirstBaseline = 48;
constexpr int kLetterLines = 55;
constexpr int kA4Lines = 59;
constexpr int kPageNumberColumn = 72;
constexpr int kContinuedColumn = 62;
constexpr int kLeftSceneNumberColumn = Layout::actionIndent - 7;
constexpr int kRightSceneNumberColumn = 74;
// The centre of the dialogue, where centred cues stand; a dual dialogue's two columns, their
// cues and their width.
constexpr qreal kDialogueCentre = 42.5;
constexpr int kDualColumns[2] = {15, 47};
constexpr int kDualCueOffset = 10;
constexpr int kDualWidth = 28;
constexpr qreal kOverstrike = 0.4;

// A piece of a printed line: text at a column, counted as on a typewriter page.
struct Piece {
    qreal column;
    QString text;
    bool bold = false;
};
using Line = QVector<Piece>;

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

Line piece(qreal column, const QString &text, bool bold = false)
{
    return Line{Piece{column, text, bold}};
}

Line piecesOf(const QString &line)
{
    const int indent = indentOf(line);
    return indent < line.size() ? piece(indent, line.mid(indent)) : Line();
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

// A unit of the printed body: one line, or the lines of two speeches side by side, which a
// page break does not part.
struct Block {
    QVector<Line> lines;
    bool cue = false;
    bool heading = false;
    bool speech = false;
    QString speaker; // of the speech the block belongs to
    QString headingText;
};

class Printer {
public:
    explicit Printer(const PrintStyle &style) : m_style(style) {}

    QVector<QVector<Line>> pages(const ScreenplayLayout &layout)
    {
        blocksOf(layout);
        const int bodyLines = m_style.pageLines > 0                ? m_style.pageLines
                              : m_style.paper == QPageSize::A4 ? kA4Lines
                                                               : kLetterLines;
        QVector<QVector<Line>> pages;
        if (!m_style.titlePage.isEmpty()) {
            pages.append(QVector<Line>());
            for (const QString &text : m_style.titlePage)
                pages.last() << Line() << piece(kDialogueCentre - text.size() / 2.0 - 5, text);
        }
        pages.append(QVector<Line>());
        const int firstBody = pages.size() - 1;
        int body = 0;
        int scene = 0;
        int continuation = 1;
        QString speaker;
        for (int b = 0; b < m_blocks.size(); ++b) {
            const Block &block = m_blocks.at(b);
            const bool keepsWithNext = block.cue || block.heading;
            const int size = block.lines.size();
            if (body + size > bodyLines || (keepsWithNext && body + size >= bodyLines)) {
                const bool inSpeech = !speaker.isEmpty() && block.speech;
                const bool inScene = m_style.continued && scene > 0 && !block.heading;
                if (inSpeech)
                    pages.last().append(cueLine(QStringLiteral("(MORE)")));
                if (inScene)
                    pages.last().append(piece(kContinuedColumn, QStringLiteral("(CONTINUED)")));
                pages.append(QVector<Line>());
                const int number = pages.size() - firstBody;
                Line top = piece(kPageNumberColumn, QString::number(number) + '.');
                if (!m_style.header.isEmpty())
                    top.prepend(Piece{Layout::actionIndent, m_style.header});
                pages.last() << top << Line();
                if (inScene) {
                    pages.last() << numbered(QStringLiteral("CONTINUED: (%1)").arg(++continuation),
                                             scene, false)
                                 << Line();
                }
                if (inSpeech)
                    pages.last().append(cueLine(speaker + QStringLiteral(" (CONT'D)")));
                body = 0;
            }
            if (body == 0 && !block.heading && size == 1 && block.lines.first().isEmpty())
                continue;
            if (block.heading) {
                pages.last().append(numbered(block.headingText, ++scene, m_style.boldHeadings));
                continuation = 1;
            } else {
                pages.last() += block.lines;
            }
            body += size;
            speaker = block.speaker;
        }
        return pages;
    }

private:
    Line cueLine(const QString &cue) const
    {
        const qreal column = m_style.centredCues ? kDialogueCentre - cue.size() / 2.0
                                                 : qreal(m_style.cueColumn);
        return piece(column, cue);
    }

    Line numbered(const QString &text, int scene, bool bold) const
    {
        Line line = piece(Layout::actionIndent, text.trimmed(), bold);
        const QString n = QString::number(scene);
        if (m_style.leftSceneNumbers)
            line.prepend(Piece{kLeftSceneNumberColumn, n});
        if (m_style.rightSceneNumbers)
            line.append(Piece{qreal(std::max(kRightSceneNumberColumn,
                                             Layout::actionIndent + int(text.trimmed().size()) + 4)),
                              n});
        return line;
    }

    // One speech as lines of a dual dialogue's column, each line of the layout wrapped anew.
    QVector<Line> dualColumn(const QStringList &speech, int side) const
    {
        const int left = kDualColumns[side];
        QVector<Line> lines{piece(left + kDualCueOffset, speech.first())};
        for (int i = 1; i < speech.size(); ++i) {
            const bool parenthetical = indentOf(speech.at(i)) == Layout::parentheticalIndent;
            lines += wrappedLines(parenthetical ? left + 3 : left, speech.at(i).trimmed());
        }
        return lines;
    }

    static QVector<Line> wrappedLines(int column, const QString &text)
    {
        QVector<Line> lines;
        QString rest = text;
        while (rest.size() > kDualWidth) {
            int cut = rest.lastIndexOf(' ', kDualWidth);
            if (cut <= 0)
                cut = rest.indexOf(' ', kDualWidth);
            if (cut < 0)
                break;
            lines.append(piece(column, rest.left(cut)));
            rest = rest.mid(cut + 1);
        }
        lines.append(piece(column, rest));
        return lines;
    }

    // The speech from line i on: the cue and the lines of speech under it.
    static QStringList speechAt(const ScreenplayLayout &layout, int i)
    {
        QStringList speech{layout.lines.at(i).trimmed()};
        for (int k = i + 1; k < layout.lines.size() && isSpeech(layout.lines.at(k)); ++k)
            speech.append(layout.lines.at(k));
        return speech;
    }

    void blocksOf(const ScreenplayLayout &layout)
    {
        static const QRegularExpression pageMark(QStringLiteral("^\\s*\\[\\d+\\]$"));
        static const QRegularExpression dual(QStringLiteral("\\s*\\(DUAL\\)"));
        QString speaker;
        for (int i = 0; i < layout.lines.size(); ++i) {
            const QString &line = layout.lines.at(i);
            if (pageMark.match(line).hasMatch())
                continue;
            Block block;
            if (layout.cues.contains(i) && line.contains(dual) && m_style.sideBySide &&
                m_lastSpeech >= 0) {
                // The speech before and this one, side by side, in place of the one before.
                QStringList right = speechAt(layout, i);
                right.first().remove(dual);
                const QVector<Line> columns[2] = {dualColumn(speechAt(layout, m_lastSpeech), 0),
                                                  dualColumn(right, 1)};
                m_blocks.resize(m_lastBlock);
                Block both;
                for (int k = 0; k < std::max(columns[0].size(), columns[1].size()); ++k)
                    both.lines.append(columns[0].value(k) + columns[1].value(k));
                m_blocks.append(both);
                i += right.size() - 1;
                m_lastSpeech = -1;
                speaker.clear();
                continue;
            }
            if (layout.cues.contains(i)) {
                m_lastSpeech = i;
                m_lastBlock = m_blocks.size();
                block.cue = true;
                block.lines.append(cueLine(QString(line.trimmed()).remove(dual)));
                speaker = layout.cues.value(i);
            } else if (layout.headings.contains(i)) {
                if (m_style.spacedHeadings)
                    m_blocks.append(Block{{Line()}, false, false, false, {}, {}});
                block.heading = true;
                block.headingText = line;
                block.lines.append(Line());
                speaker.clear();
            } else if (!speaker.isEmpty() && isSpeech(line)) {
                block.speech = true;
                const int indent = indentOf(line);
                block.lines.append(piece(indent == Layout::parentheticalIndent
                                             ? m_style.parentheticalColumn
                                             : indent,
                                         line.mid(indent)));
            } else {
                block.lines.append(piecesOf(line));
                speaker.clear();
                if (!line.trimmed().isEmpty())
                    m_lastSpeech = -1;
            }
            block.speaker = speaker;
            m_blocks.append(block);
        }
    }

    const PrintStyle &m_style;
    QVector<Block> m_blocks;
    int m_lastSpeech = -1; // the line of the last cue whose speech a dual one may join
    int m_lastBlock = 0;
};

// The PDF with every page dictionary given a /Rotate, and the cross-reference table made anew.
QByteArray rotated(const QByteArray &pdf, int degrees)
{
    QByteArray body = pdf.left(pdf.lastIndexOf("\nxref") + 1);
    body.replace("/Type /Page\n", "/Type /Page\n/Rotate " + QByteArray::number(degrees) + '\n');
    QMap<int, int> offsets;
    for (int at = body.indexOf(" 0 obj\n"); at >= 0; at = body.indexOf(" 0 obj\n", at + 1)) {
        int start = at;
        while (start > 0 && std::isdigit(static_cast<unsigned char>(body.at(start - 1))))
            --start;
        if (start > 0 && body.at(start - 1) == '\n')
            offsets.insert(body.mid(start, at - start).toInt(), start);
    }
    const int size = offsets.isEmpty() ? 1 : offsets.lastKey() + 1;
    QByteArray xref = "xref\n0 " + QByteArray::number(size) + "\n0000000000 65535 f \n";
    for (int i = 1; i < size; ++i)
        xref += QByteArray::number(offsets.value(i)).rightJustified(10, '0') +
                (offsets.contains(i) ? " 00000 n \n" : " 00000 f \n");
    const int trailer = pdf.lastIndexOf("trailer");
    const int startxref = pdf.lastIndexOf("startxref");
    return body + xref + pdf.mid(trailer, startxref - trailer) + "startxref\n" +
           QByteArray::number(body.size()) + "\n%%EOF\n";
}

bool drawPages(const QString &path, const QVector<QVector<Line>> &pages, const PrintStyle &style)
{
    {
        QPdfWriter writer(path);
        writer.setResolution(72); // one unit per point
        const QPageSize paper(style.paper);
        writer.setPageLayout(QPageLayout(
            paper, style.drawnTurned ? QPageLayout::Landscape : QPageLayout::Portrait,
            QMarginsF()));
        QPainter painter;
        if (!painter.begin(&writer))
            return false;
        QFont font(style.proportional ? QStringLiteral("DejaVu Sans") : QStringLiteral("Courier"));
        font.setStyleHint(style.proportional ? QFont::SansSerif : QFont::TypeWriter);
        font.setFixedPitch(!style.proportional);
        font.setPointSizeF(kPointSize);
        painter.setFont(font);
        if (QFontInfo(painter.font()).fixedPitch() == style.proportional)
            return false;
        const qreal space = QFontMetricsF(painter.font(), &writer).horizontalAdvance(' ');
        for (int p = 0; p < pages.size(); ++p) {
            if (p > 0)
                writer.newPage();
            if (style.drawnTurned) {
                painter.resetTransform();
                painter.translate(paper.sizePoints().height(), 0);
                painter.rotate(90);
            }
            const qreal margin = style.margins.value(p, kPrintedActionMargin);
            const auto x = [&](qreal column) {
                return margin + (column - Layout::actionIndent) * kColumnWidth;
            };
            for (int k = 0; k < pages.at(p).size(); ++k) {
                const qreal baseline = kFirstBaseline + k * kLineSpacing;
                for (const Piece &piece : pages.at(p).at(k)) {
                    const int strikes = piece.bold ? 2 : 1;
                    for (int s = 0; s < strikes; ++s) {
                        const QPointF at(x(piece.column) + s * kOverstrike, baseline);
                        if (!style.wordByWord) {
                            painter.drawText(at, piece.text);
                            continue;
                        }
                        // Halves of words, so that a word also comes in two touching pieces.
                        static const QRegularExpression half(QStringLiteral("\\S{1,4}"));
                        QVector<QRegularExpressionMatch> halves;
                        for (auto it = half.globalMatch(piece.text); it.hasNext();)
                            halves.prepend(it.next());
                        for (const QRegularExpressionMatch &h : qAsConst(halves))
                            painter.drawText(at + QPointF(h.capturedStart() * space, 0),
                                             h.captured());
                    }
                }
            }
        }
        if (!painter.end())
            return false;
    }
    if (style.rotate == 0)
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    const QByteArray turned = rotated(file.readAll(), style.rotate);
    file.resize(0);
    return file.write(turned) == turned.size();
}

} // namespace

bool drawTypewriterPdf(const QString &path, const QVector<QStringList> &pages,
                       const PrintStyle &style)
{
    QVector<QVector<Line>> lines;
    for (const QStringList &page : pages) {
        lines.append(QVector<Line>());
        for (const QString &line : page)
            lines.last().append(piecesOf(line));
    }
    return drawPages(path, lines, style);
}

int printAsPdf(const QString &screenplay, const QString &pdf, const PrintStyle &style)
{
    QFile file(screenplay);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    QStringList text = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    const bool fountain = screenplay.endsWith(QLatin1String(".fountain"));
    // A dual dialogue's second cue keeps a mark through the layout.
    static const QRegularExpression caret(QStringLiteral("\\s*\\^\\s*$"));
    if (fountain)
        text.replaceInStrings(caret, QStringLiteral(" (DUAL)"));
    const QVector<QVector<Line>> pages =
        Printer(style).pages(fountain ? fountainLayout(text) : typewrittenLayout(text));
    return drawPages(pdf, pages, style) ? int(pages.size()) : 0;
}
