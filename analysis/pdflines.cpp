// SPDX-License-Identifier: MIT
#include "pdflines.h"

#include <QHash>
#include <QMap>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// 12-point Courier, ten characters and six lines to the inch: what a page without measurable
// words is taken to be set in, and the ratio of advance to line spacing of a typewriter page.
constexpr qreal kTypewriterAdvance = 7.2;
constexpr qreal kTypewriterLineSpacing = 12.0;
constexpr qreal kAdvancePerLineSpacing = kTypewriterAdvance / kTypewriterLineSpacing;
// The narrowest advance taken, so that a damaged file cannot ask for millions of columns.
constexpr qreal kNarrowestAdvance = 1.0;
// The farthest column a word is set at, so that a damaged file cannot ask for lines of
// millions of blanks.
constexpr qreal kFarthestColumn = 250;
// Words closer than this share of an advance are parts of one word (drawn in two pieces).
constexpr qreal kTouching = 0.25;
// Words whose bottoms lie closer than this (in points) share a line.
constexpr qreal kSameLine = 3.0;
// Words of a monospaced face all measure one advance per character; a spread of the middle
// half wider than this share of the median is a proportional face.
constexpr qreal kProportionalSpread = 0.15;
// A word drawn twice within this share of an advance is one word printed bold by overstriking.
constexpr qreal kOverstrike = 0.5;
// Lines of a monospaced face stand at most this many times its own spacing apart.
constexpr qreal kWidestSpacing = 1.5;
// A distance between lines at least this share as common as the most common one is common.
constexpr qreal kCommonSpacing = 0.25;
// Gaps, in advances, that part the segments of a line, and a scene number from its line.
constexpr qreal kSegmentGap = 2.5;
constexpr qreal kSceneNumberGap = 1.5;
// Running headers and footers are sought among the first and last lines of each page, and are
// text at one place (within this many points) on at least this share of the pages, and at
// least on this many.
constexpr int kTopLines = 3;
constexpr int kBottomLines = 2;
constexpr qreal kSamePlace = 3.0;
constexpr qreal kRepeatedShare = 0.4;
constexpr int kRepeatedPages = 3;
// Page numbers are sought in this many lines at the top and at the bottom of a page.
constexpr int kPageNumberLines = 2;

QString foldedUpper(const QString &text)
{
    return ScreenplayLayout::foldedQuotes(text).toUpper();
}

bool isPageNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral(
        "^(\\(?(PAGE\\s*)?\\d{1,5}[A-Z]{0,2}\\.?\\)?|-\\s*\\d{1,5}\\s*-|(PAGE\\s*)?\\d{1,5}\\s*(/|OF)"
        "\\s*\\d{1,5})$"));
    return number.match(foldedUpper(text)).hasMatch();
}

bool isSceneNumber(const QString &word)
{
    static const QRegularExpression number(QStringLiteral("^[A-Z]{0,2}\\d{1,4}[A-Z]{0,3}\\.?$"));
    constexpr int longest = 10;
    return word.size() <= longest &&
           std::any_of(word.begin(), word.end(), [](QChar c) { return c.isDigit(); }) &&
           number.match(word).hasMatch();
}

// "(MORE)", and the markers of a scene or speech that goes on: "CONTINUED:", "(CONTINUED)",
// "CONTINUED: (2)", "(CONT'D)".
bool isMore(const QString &text)
{
    static const QRegularExpression more(QStringLiteral("^\\(\\s*MORE\\s*\\)$"));
    return more.match(foldedUpper(text)).hasMatch();
}

bool isContinuedMarker(const QString &text)
{
    static const QRegularExpression marker(
        QStringLiteral("^\\(?\\s*(CONTINUED|CONT'?D\\.?)(\\s+ON NEXT PAGE)?\\s*\\)?\\s*:?"
                       "(\\s*\\(\\s*\\d+\\s*\\))?$"));
    return marker.match(foldedUpper(text)).hasMatch();
}

// Text with each run of digits as one "#", so that "9." and "10." or a dated header repeat.
QString repeatedKey(const QString &text)
{
    QString key;
    for (const QChar c : text.simplified())
        if (!c.isDigit() || !key.endsWith(QLatin1Char('#')))
            key += c.isDigit() ? QLatin1Char('#') : c;
    return key;
}

qreal median(std::vector<qreal> &values, double share = 0.5)
{
    const auto at = values.begin() + std::ptrdiff_t(double(values.size() - 1) * share);
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

// The words of a page grouped into lines, top to bottom; a word struck twice is kept once, bold.
QVector<PdfLine> linesOf(const PdfPage &words, qreal advance)
{
    std::vector<int> order;
    order.reserve(size_t(words.size()));
    for (int i = 0; i < words.size(); ++i)
        if (!words.at(i).text.trimmed().isEmpty())
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(),
                     [&words](int a, int b) { return words.at(a).bottom < words.at(b).bottom; });
    QVector<PdfLine> lines;
    for (size_t first = 0; first < order.size();) {
        const qreal bottom = words.at(order.at(first)).bottom;
        size_t end = first + 1;
        while (end < order.size() && words.at(order.at(end)).bottom - bottom <= kSameLine)
            ++end;
        PdfLine line{{}, bottom, false, {}};
        line.words.reserve(int(end - first));
        for (size_t k = first; k < end; ++k)
            line.words.append(words.at(order.at(k)));
        lines.append(line);
        first = end;
    }
    for (PdfLine &line : lines) {
        QVector<PdfWord> &w = line.words;
        std::stable_sort(w.begin(), w.end(),
                         [](const PdfWord &a, const PdfWord &b) { return a.left < b.left; });
        // In place: w[0, kept) holds the words kept so far.
        int kept = 0;
        for (int i = 0; i < w.size(); ++i) {
            int struck = kept - 1;
            while (struck >= std::max(0, kept - 2) &&
                   (w.at(struck).text != w.at(i).text ||
                    std::abs(w.at(struck).left - w.at(i).left) >= kOverstrike * advance))
                --struck;
            if (struck >= std::max(0, kept - 2))
                w[struck].bold = true;
            else if (kept++ != i)
                w[kept - 1] = w.at(i);
        }
        w.resize(kept);
    }
    return lines;
}

// The advance of the face: the median width per character, or a tenth of an inch at 12 points
// scaled to the line spacing where the widths show a proportional face.
void measureAdvance(const QVector<PdfPage> &pages, PdfLines &result)
{
    std::vector<qreal> advances;
    for (const PdfPage &page : pages)
        for (const PdfWord &word : page)
            if (word.text.size() >= 2 && word.width > 0 && std::isfinite(word.width))
                advances.push_back(word.width / qreal(word.text.size()));
    result.advance = kTypewriterAdvance;
    if (advances.empty())
        return;
    const qreal middle = std::max(kNarrowestAdvance, median(advances));
    const qreal spread = median(advances, 0.75) - median(advances, 0.25);
    result.advance = middle;
    result.proportional = spread > kProportionalSpread * middle;
}

// The distance between neighbouring lines of a paragraph, in whole points: the smallest of the
// common distances (a page of one-line paragraphs has more lines two apart than one apart).
qreal measuredLineSpacing(const QVector<PdfPageLines> &pages)
{
    QMap<int, int> counts;
    for (const PdfPageLines &page : pages)
        for (int i = 1; i < page.lines.size(); ++i)
            ++counts[qRound(page.lines.at(i).bottom - page.lines.at(i - 1).bottom)];
    int most = 0;
    for (auto count = counts.cbegin(); count != counts.cend(); ++count)
        if (count.key() > 0)
            most = std::max(most, count.value());
    for (auto count = counts.cbegin(); count != counts.cend(); ++count)
        if (count.key() > 0 && count.value() >= kCommonSpacing * most)
            return qreal(count.key());
    return kTypewriterLineSpacing;
}

PdfLine joined(const QVector<PdfLine> &segments, const PdfLine &line)
{
    PdfLine result{{}, line.bottom, line.numbered, {}};
    for (const PdfLine &segment : segments)
        result.words += segment.words;
    return result;
}

bool isEdgeLine(int line, int lines)
{
    return line < kTopLines || line >= lines - kBottomLines;
}

// Whether a line may hold "(MORE)" or a "CONTINUED" marker, before it is cut into segments.
bool mayHoldMarker(const QString &text)
{
    return text.contains(QLatin1String("MORE"), Qt::CaseInsensitive) ||
           text.contains(QLatin1String("CONT"), Qt::CaseInsensitive);
}

// Where one segment of an edge line stands.
struct Spot {
    int page;
    int line;
    int segment;
    qreal bottom;
};

// Marks the segments of the first and last lines of the pages whose text repeats at one place
// on many pages: running headers and footers, and page numbers where they always stand.
void markRepeated(const QVector<QVector<QVector<PdfLine>>> &segments,
                  QVector<QVector<QVector<bool>>> &drop)
{
    QHash<QString, QVector<Spot>> spots;
    int pagesWithText = 0;
    for (int p = 0; p < segments.size(); ++p) {
        const int n = segments.at(p).size();
        pagesWithText += n > 0;
        for (int l = 0; l < n; ++l) {
            if (!isEdgeLine(l, n))
                continue;
            for (int s = 0; s < segments.at(p).at(l).size(); ++s) {
                // Scene numbers repeat where headings do; they go with their own rule.
                const PdfLine &segment = segments.at(p).at(l).at(s);
                const QString text = segment.text(1);
                if (!isSceneNumber(text))
                    spots[repeatedKey(text)].append(Spot{p, l, s, segment.bottom});
            }
        }
    }
    const int needed =
        std::max(kRepeatedPages, int(std::ceil(kRepeatedShare * qreal(pagesWithText))));
    for (QVector<Spot> &same : spots) {
        if (same.size() < needed)
            continue;
        std::sort(same.begin(), same.end(),
                  [](const Spot &a, const Spot &b) { return a.bottom < b.bottom; });
        // Each spot counts the spots of the same text within kSamePlace of it.
        int low = 0;
        int high = 0;
        for (int i = 0; i < same.size(); ++i) {
            while (same.at(low).bottom < same.at(i).bottom - kSamePlace)
                ++low;
            while (high < same.size() && same.at(high).bottom <= same.at(i).bottom + kSamePlace)
                ++high;
            if (high - low >= needed)
                drop[same.at(i).page][same.at(i).line][same.at(i).segment] = true;
        }
    }
}

// Takes off the page numbers that stand alone on one of the first or last lines of a page.
void dropPageNumbers(QVector<PdfLine> &lines)
{
    for (int k = 0; k < kPageNumberLines && !lines.isEmpty(); ++k) {
        if (isPageNumber(lines.first().text(1)))
            lines.removeFirst();
        else
            break;
    }
    for (int k = 0; k < kPageNumberLines && !lines.isEmpty(); ++k) {
        if (isPageNumber(lines.last().text(1)))
            lines.removeLast();
        else
            break;
    }
}

// Removes the scene numbers printed beside a line, left and right of its text.
void dropSceneNumbers(PdfLine &line, qreal advance)
{
    QVector<PdfWord> &w = line.words;
    const auto apart = [advance](const PdfWord &a, const PdfWord &b) {
        return b.left - (a.left + a.width) > kSceneNumberGap * advance;
    };
    if (w.size() >= 2 && isSceneNumber(w.first().text) && apart(w.at(0), w.at(1))) {
        w.removeFirst();
        line.numbered = true;
    }
    // A line of scene numbers alone, a "CONTINUED" between them gone, goes whole.
    const bool alone = line.numbered && w.size() == 1;
    if (!w.isEmpty() && isSceneNumber(w.last().text) &&
        (alone || (w.size() >= 2 && apart(w.at(w.size() - 2), w.last())))) {
        w.removeLast();
        line.numbered = true;
    }
}

} // namespace

QString PdfLine::text(qreal advance) const
{
    // Each gap measured by itself, so that a proportional face's narrow blanks count one and
    // the pieces of a word drawn in two join.
    QString result;
    for (int i = 0; i < words.size(); ++i) {
        if (i > 0) {
            const PdfWord &before = words.at(i - 1);
            const qreal gap = (words.at(i).left - (before.left + before.width)) / advance;
            if (gap >= kTouching)
                result += QString(int(std::clamp(std::round(gap), qreal(1), kFarthestColumn)),
                                  QLatin1Char(' '));
        }
        result += words.at(i).text;
    }
    return result;
}

QVector<PdfLine> PdfLine::segments(qreal gap) const
{
    QVector<PdfLine> result;
    for (int i = 0; i < words.size(); ++i) {
        if (i == 0 || words.at(i).left - (words.at(i - 1).left + words.at(i - 1).width) > gap)
            result.append(PdfLine{{}, bottom, numbered, {}});
        result.last().words.append(words.at(i));
    }
    return result;
}


PdfLines pdfLines(const QVector<PdfPage> &pages)
{
    PdfLines result;
    measureAdvance(pages, result);
    result.pages.resize(pages.size());
    for (int p = 0; p < pages.size(); ++p)
        result.pages[p].lines = linesOf(pages.at(p), result.advance);
    // A page too short to show its spacing (a line, an empty line, a line) has a monospaced
    // face's own, six lines to the inch at ten characters.
    result.lineSpacing = measuredLineSpacing(result.pages);
    const qreal faceSpacing = result.advance / kAdvancePerLineSpacing;
    if (!result.proportional && result.lineSpacing > kWidestSpacing * faceSpacing)
        result.lineSpacing = faceSpacing;
    if (result.proportional)
        result.advance = kAdvancePerLineSpacing * result.lineSpacing;
    const qreal advance = result.advance;

    // Running headers and footers first, so that a page number beside one is alone after it.
    // Only the first and last lines of a page are cut into segments for them.
    QVector<QVector<QVector<PdfLine>>> segments(pages.size());
    QVector<QVector<QVector<bool>>> drop(pages.size());
    for (int p = 0; p < pages.size(); ++p) {
        const QVector<PdfLine> &lines = result.pages.at(p).lines;
        segments[p].resize(lines.size());
        drop[p].resize(lines.size());
        for (int l = 0; l < lines.size(); ++l) {
            if (isEdgeLine(l, lines.size())) {
                segments[p][l] = lines.at(l).segments(kSegmentGap * advance);
                drop[p][l].fill(false, segments[p][l].size());
            }
        }
    }
    markRepeated(segments, drop);

    for (int p = 0; p < pages.size(); ++p) {
        PdfPageLines &page = result.pages[p];
        QVector<PdfLine> lines;
        lines.reserve(page.lines.size());
        for (int l = 0; l < page.lines.size(); ++l) {
            if (!drop.at(p).at(l).contains(true)) {
                lines.append(page.lines.at(l));
                continue;
            }
            QVector<PdfLine> kept;
            for (int s = 0; s < segments.at(p).at(l).size(); ++s)
                if (!drop.at(p).at(l).at(s))
                    kept.append(segments.at(p).at(l).at(s));
            if (!kept.isEmpty())
                lines.append(joined(kept, page.lines.at(l)));
        }
        dropPageNumbers(lines);
        QVector<PdfLine> body;
        body.reserve(lines.size());
        for (PdfLine &line : lines) {
            dropSceneNumbers(line, advance);
            if (line.words.isEmpty())
                continue;
            line.spaced = line.text(advance);
            if (!mayHoldMarker(line.spaced)) {
                body.append(line);
                continue;
            }
            QVector<PdfLine> kept;
            for (const PdfLine &segment : line.segments(kSegmentGap * advance)) {
                const QString text = segment.text(advance);
                if (isMore(text))
                    page.more = true;
                else if (!isContinuedMarker(text))
                    kept.append(segment);
            }
            if (!kept.isEmpty()) {
                body.append(joined(kept, line));
                body.last().spaced = body.last().text(advance);
            }
        }
        page.lines = body;
    }
    return result;
}
