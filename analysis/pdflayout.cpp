// SPDX-License-Identifier: MIT
#include "pdflayout.h"

#include <QMap>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

using Layout = ScreenplayLayout;

// 12-point Courier, ten characters and six lines to the inch: what a page without measurable
// words is taken to be set in.
constexpr qreal kTypewriterAdvance = 7.2;
constexpr qreal kTypewriterLineSpacing = 12.0;
// Words whose bottoms lie closer than this (in points) share a line.
constexpr qreal kSameLine = 3.0;
// Bounds that keep a damaged or hostile file from asking for lines of millions of blanks: the
// narrowest advance taken, the farthest column and the most empty lines one gap gives.
constexpr qreal kNarrowestAdvance = 1.0;
constexpr int kFarthestColumn = 250;
constexpr int kMostBlankLines = 66;

// The element columns, counted from the action margin.
constexpr int kDialogueColumn = Layout::dialogueIndent - Layout::actionIndent;
constexpr int kParentheticalColumn = Layout::parentheticalIndent - Layout::actionIndent;
constexpr int kCueColumn = Layout::cueIndent - Layout::actionIndent;
constexpr int kElementColumns[] = {0, kDialogueColumn, kParentheticalColumn, kCueColumn};
// A line this close to an element's column stands in it.
constexpr int kColumnSlack = 1;
// Screenplay programs set cues and speeches a few columns away from the typewriter's; these
// bands take them all in.
constexpr int kSpeechFirstColumn = 8;
constexpr int kSpeechLastColumn = 17;
constexpr int kCueFirstColumn = 18;
constexpr int kCueLastColumn = 26;
// The action margin is sought from this many of a page's most common left edges.
constexpr int kTriedEdges = 8;
// A scene number stands at least this many blank columns away from the text it numbers.
constexpr int kSceneNumberGap = 3;

struct Line {
    QVector<PdfWord> words; // by left edge
    qreal bottom = 0;
    bool numbered = false; // scene numbers stood beside it
};

struct Row {
    enum class Kind { PageMark, Blank, Text };
    Kind kind = Kind::Blank;
    int page = 0;
    int column = 0; // of the first word, from the action margin
    QString text;   // the words, apart as their columns are
    bool numbered = false;
};

// The advance of one character: the median of the words' widths per character.
qreal measuredAdvance(const QVector<PdfPage> &pages)
{
    std::vector<qreal> advances;
    for (const PdfPage &page : pages)
        for (const PdfWord &word : page)
            if (!word.text.isEmpty() && word.width > 0)
                advances.push_back(word.width / qreal(word.text.size()));
    if (advances.empty())
        return kTypewriterAdvance;
    const auto middle = advances.begin() + std::ptrdiff_t(advances.size() / 2);
    std::nth_element(advances.begin(), middle, advances.end());
    return std::max(kNarrowestAdvance, *middle);
}

// The words of a page grouped into lines, top to bottom.
QVector<Line> linesOf(PdfPage words)
{
    std::stable_sort(words.begin(), words.end(),
                     [](const PdfWord &a, const PdfWord &b) { return a.bottom < b.bottom; });
    QVector<Line> lines;
    for (const PdfWord &word : qAsConst(words)) {
        if (lines.isEmpty() || word.bottom - lines.last().bottom > kSameLine)
            lines.append(Line{{}, word.bottom});
        lines.last().words.append(word);
    }
    for (Line &line : lines)
        std::sort(line.words.begin(), line.words.end(),
                  [](const PdfWord &a, const PdfWord &b) { return a.left < b.left; });
    return lines;
}

// The most common distance between neighbouring lines, in whole points.
qreal measuredLineSpacing(const QVector<QVector<Line>> &pages)
{
    QMap<int, int> counts;
    for (const QVector<Line> &lines : pages)
        for (int i = 1; i < lines.size(); ++i)
            ++counts[qRound(lines.at(i).bottom - lines.at(i - 1).bottom)];
    int spacing = 0;
    int best = 0;
    for (auto count = counts.cbegin(); count != counts.cend(); ++count) {
        if (count.key() > 0 && count.value() > best) {
            best = count.value();
            spacing = count.key();
        }
    }
    return spacing > 0 ? qreal(spacing) : kTypewriterLineSpacing;
}

QString joined(const Line &line)
{
    QStringList words;
    for (const PdfWord &word : line.words)
        words.append(word.text);
    return words.join(QLatin1Char(' '));
}

bool isPageNumber(const Line &line)
{
    static const QRegularExpression number(QStringLiteral("^\\d+\\.?$"));
    return line.words.size() == 1 && number.match(line.words.first().text).hasMatch();
}

bool isFurniture(const QString &text)
{
    static const QRegularExpression furniture(
        QStringLiteral("^(\\(MORE\\)|\\(CONTINUED\\)|CONTINUED:(\\s*\\(\\d+\\))?)$"));
    return furniture.match(text).hasMatch();
}

bool isSceneNumber(const QString &word)
{
    static const QRegularExpression number(QStringLiteral("^[A-Z]?\\d+[A-Z]?\\.?$"));
    return number.match(word).hasMatch();
}

// Removes the scene numbers printed beside a line, left and right of its text.
void dropSceneNumbers(Line &line, qreal advance)
{
    const auto apart = [advance](const PdfWord &a, const PdfWord &b) {
        return b.left - (a.left + a.width) >= kSceneNumberGap * advance;
    };
    QVector<PdfWord> &w = line.words;
    if (w.size() >= 2 && isSceneNumber(w.first().text) && apart(w.at(0), w.at(1))) {
        w.removeFirst();
        line.numbered = true;
    }
    if (w.size() >= 2 && isSceneNumber(w.last().text) && apart(w.at(w.size() - 2), w.last())) {
        w.removeLast();
        line.numbered = true;
    }
}

int columnOf(qreal left, qreal margin, qreal advance)
{
    const qreal column = std::round((left - margin) / advance);
    return int(std::clamp(column, qreal(-kFarthestColumn), qreal(kFarthestColumn)));
}

bool inElementColumn(int column)
{
    return std::any_of(std::begin(kElementColumns), std::end(kElementColumns),
                       [column](int e) { return std::abs(column - e) <= kColumnSlack; });
}

struct Candidate {
    qreal margin = 0;
    int score = -1;      // lines in element columns
    bool isEdge = false; // a line's own left edge taken as action
};

// Of two margins that place as many lines, the one nearer the previous page's margin is
// better, then one that is a line's own edge, then the leftmost.
bool isBetter(const Candidate &a, const Candidate &b, qreal advance, const qreal *previous)
{
    if (a.score != b.score)
        return a.score > b.score;
    if (previous) {
        const qreal nearer = std::abs(b.margin - *previous) - std::abs(a.margin - *previous);
        if (std::abs(nearer) > advance / 2)
            return nearer > 0;
    }
    if (a.isEdge != b.isEdge)
        return a.isEdge;
    return a.margin < b.margin;
}

// The left edges at which lines start, one per column, with the number of lines at each.
struct Edge {
    qreal left = 0;
    int lines = 0;
};

// The action margin that puts the most of the lines starting at these left edges into element
// columns. The most common edges are each tried as action, dialogue, parenthetical and cue.
qreal actionMargin(const QVector<qreal> &starts, qreal advance, const qreal *previous)
{
    QMap<int, Edge> byColumn;
    for (const qreal start : starts) {
        Edge &edge = byColumn[columnOf(start, 0, advance)];
        if (edge.lines++ == 0)
            edge.left = start;
    }
    QVector<Edge> edges = byColumn.values().toVector();
    std::stable_sort(edges.begin(), edges.end(),
                     [](const Edge &a, const Edge &b) { return a.lines > b.lines; });
    Candidate best;
    for (int e = 0; e < std::min(int(edges.size()), kTriedEdges); ++e) {
        for (const int element : kElementColumns) {
            Candidate c;
            c.margin = edges.at(e).left - element * advance;
            c.isEdge = element == 0;
            c.score = 0;
            for (const Edge &edge : qAsConst(edges))
                if (inElementColumn(columnOf(edge.left, c.margin, advance)))
                    c.score += edge.lines;
            if (isBetter(c, best, advance, previous))
                best = c;
        }
    }
    return best.margin;
}

// The words of a line as text, each at its column from the first.
QString spacedText(const Line &line, qreal advance)
{
    QString text;
    const qreal origin = line.words.first().left;
    for (const PdfWord &word : line.words) {
        if (!text.isEmpty()) {
            const int column = columnOf(word.left, origin, advance);
            text += QString(std::max(1, column - int(text.size())), QLatin1Char(' '));
        }
        text += word.text;
    }
    return text;
}

// One page's rows: its mark, then its lines without furniture, with empty lines for the gaps.
void appendPage(QVector<Row> &rows, int page, QVector<Line> lines, qreal advance, qreal lineSpacing,
                qreal *margin, bool *hasMargin)
{
    rows.append(Row{Row::Kind::PageMark, page, 0, QString(), false});
    if (!lines.isEmpty() && isPageNumber(lines.first()))
        lines.removeFirst();
    QVector<Line> kept;
    for (Line &line : lines) {
        dropSceneNumbers(line, advance);
        if (!isFurniture(joined(line)))
            kept.append(line);
    }
    if (kept.isEmpty())
        return;
    QVector<qreal> starts;
    for (const Line &line : qAsConst(kept))
        starts.append(line.words.first().left);
    *margin = actionMargin(starts, advance, *hasMargin ? margin : nullptr);
    *hasMargin = true;
    for (int i = 0; i < kept.size(); ++i) {
        if (i > 0) {
            const qreal gap = kept.at(i).bottom - kept.at(i - 1).bottom;
            const int blanks = int(
                std::clamp(std::round(gap / lineSpacing) - 1, qreal(0), qreal(kMostBlankLines)));
            for (int b = 0; b < blanks; ++b)
                rows.append(Row{Row::Kind::Blank, page, 0, QString(), false});
        }
        rows.append(Row{Row::Kind::Text, page, columnOf(starts.at(i), *margin, advance),
                        spacedText(kept.at(i), advance), kept.at(i).numbered});
    }
}

bool inSpeechColumns(const Row &row)
{
    return row.kind == Row::Kind::Text && row.column >= kSpeechFirstColumn &&
           row.column <= kSpeechLastColumn;
}

bool isCapitals(const QString &text)
{
    return text == text.toUpper() &&
           std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
}

// A heading stands at the action margin and starts with a break string, or has scene numbers
// beside it, as only headings have.
bool isHeading(const Row &row)
{
    static const QRegularExpression prefix(QStringLiteral("^(INT|EXT|EST|INT\\.?/EXT|I/E)[. ]"));
    return std::abs(row.column) <= kColumnSlack &&
           (row.numbered || prefix.match(row.text).hasMatch());
}

// Whether a cue carries the "(CONT'D)" of a speech that goes on.
bool isContinued(const QString &cue)
{
    const int extension = cue.indexOf(QLatin1Char('('));
    return extension >= 0 &&
           cue.midRef(extension).contains(QLatin1String("CONT"), Qt::CaseInsensitive);
}

} // namespace

ScreenplayLayout pdfLayout(const QVector<PdfPage> &pages)
{
    const qreal advance = measuredAdvance(pages);
    QVector<QVector<Line>> pageLines;
    pageLines.reserve(pages.size());
    for (const PdfPage &page : pages)
        pageLines.append(linesOf(page));
    const qreal lineSpacing = measuredLineSpacing(pageLines);

    QVector<Row> rows;
    qreal margin = 0;
    bool hasMargin = false;
    for (int p = 0; p < pageLines.size(); ++p)
        appendPage(rows, p + 1, pageLines.at(p), advance, lineSpacing, &margin, &hasMargin);

    Layout layout;
    layout.lines.reserve(rows.size());
    QString speaking; // whose speech the rows so far belong to
    bool pageTop = false;
    for (int i = 0; i < rows.size(); ++i) {
        const Row &row = rows.at(i);
        if (row.kind == Row::Kind::PageMark) {
            layout.append(Layout::actionIndent,
                          QLatin1Char('[') + QString::number(row.page) + QLatin1Char(']'));
            pageTop = true;
            continue;
        }
        const bool atPageTop = std::exchange(pageTop, false);
        if (row.kind == Row::Kind::Blank) {
            layout.append(0, QString());
            speaking.clear();
            continue;
        }
        int next = i + 1;
        while (next < rows.size() && rows.at(next).kind == Row::Kind::PageMark)
            ++next;
        const QString speaker = Layout::speakerOf(row.text);
        if (row.column >= kCueFirstColumn && row.column <= kCueLastColumn && isCapitals(speaker) &&
            next < rows.size() && inSpeechColumns(rows.at(next))) {
            // The cue repeated over a speech that a page break cuts is no new speech.
            if (atPageTop && speaker == speaking && isContinued(row.text))
                continue;
            layout.append(Layout::actionIndent + row.column, row.text);
            layout.cues.insert(layout.lines.size() - 1, speaker);
            speaking = speaker;
        } else if (isHeading(row)) {
            layout.appendHeading(row.text);
            speaking.clear();
        } else {
            layout.append(std::max(0, Layout::actionIndent + row.column), row.text);
            if (!inSpeechColumns(row))
                speaking.clear();
        }
    }
    return layout;
}
