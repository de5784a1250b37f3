// SPDX-License-Identifier: MIT
#include "pdfcolumns.h"

#include "words.h"

#include <QMap>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using Layout = ScreenplayLayout;

// The columns of a typewriter page, taken where the document shows none of its own.
constexpr qreal kDialogueColumn = Layout::dialogueIndent - Layout::actionIndent;
constexpr qreal kParentheticalColumn = Layout::parentheticalIndent - Layout::actionIndent;
// A speech line stands this close to the dialogue or parenthetical column (a parenthetical's
// second line one further in).
constexpr qreal kSpeechSlack = 1.5;
constexpr qreal kParentheticalSlack = 2.5;
// A cue starts at least this far right of the parenthetical column, or is centred within this
// many advances of where the document centres its cues; and starts left of this column.
constexpr qreal kCueRightOfParenthetical = 2.0;
constexpr qreal kCueCentreSlack = 2.0;
constexpr qreal kLastCueColumn = 40.0;
// A cue's next line starts this many advances left of it to be its speech; action stands at
// least this many left of the dialogue.
constexpr qreal kSpeechLeftOfCue = 1.5;
constexpr qreal kActionLeftOfDialogue = 3.0;
constexpr int kLongestCue = 40;
// The margin of a page without speech is sought from this many of its most common left edges.
constexpr int kTriedEdges = 8;

// Counts of values binned by whole advances, each bin remembering its first value.
class Votes {
public:
    explicit Votes(qreal unit) : m_unit(unit) {}

    void add(qreal value)
    {
        const qreal bin = std::clamp(std::round(value / m_unit), qreal(-1e6), qreal(1e6));
        Bin &b = m_bins[int(bin)];
        if (b.count++ == 0)
            b.first = value;
    }
    bool isEmpty() const { return m_bins.isEmpty(); }
    // The first value of the fullest bin (the leftmost on a tie), or `none`.
    qreal mode(qreal none) const
    {
        int best = 0;
        qreal value = none;
        for (const Bin &b : m_bins) {
            if (b.count > best) {
                best = b.count;
                value = b.first;
            }
        }
        return value;
    }
    // The first values of the fullest bins, fullest first.
    QVector<qreal> modes(int most) const
    {
        QVector<Bin> bins = m_bins.values().toVector();
        std::stable_sort(bins.begin(), bins.end(),
                         [](const Bin &a, const Bin &b) { return a.count > b.count; });
        QVector<qreal> values;
        for (int i = 0; i < std::min(most, int(bins.size())); ++i)
            values.append(bins.at(i).first);
        return values;
    }

private:
    struct Bin {
        int count = 0;
        qreal first = 0;
    };
    qreal m_unit;
    QMap<int, Bin> m_bins;
};

// A cue over the line below it, in points, and the left edges of the lines of dialogue
// under it (not those of a parenthetical, nor a line ending one that began overleaf).
struct Pair {
    qreal cueLeft;
    qreal cueCentre;
    qreal speechLeft;
    bool parenthetical;
    QVector<qreal> dialogue;
};

bool hasWideGap(const PdfLine &line, qreal gap)
{
    for (int w = 1; w < line.words.size(); ++w) {
        const PdfWord &before = line.words.at(w - 1);
        if (line.words.at(w).left - (before.left + before.width) >= gap)
            return true;
    }
    return false;
}

} // namespace

bool PdfColumns::isHeadingText(const QString &text)
{
    static const QRegularExpression prefix(QStringLiteral("^(INT|EXT|EST|INT\\.?/EXT|I/E)[. ]"),
                                           QRegularExpression::CaseInsensitiveOption);
    return prefix.match(text).hasMatch();
}

bool PdfColumns::isCueText(const QString &text)
{
    static const QRegularExpression extensions(QStringLiteral("^(\\([^()]*\\)\\s*)+$"));
    if (text.size() > kLongestCue || text.startsWith(QLatin1Char('(')) ||
        text.endsWith(QLatin1Char(':')) || isHeadingText(text))
        return false;
    const int extension = text.indexOf(QLatin1Char('('));
    if (extension < 0 ? text.contains(QLatin1Char(')'))
                      : !extensions.match(text.midRef(extension)).hasMatch())
        return false;
    return isCapitals(Layout::speakerOf(text));
}

bool PdfColumns::isCueOver(const PdfLine *before, const PdfLine &cue, const PdfLine &next,
                           qreal advance, qreal lineSpacing)
{
    const qreal below = next.bottom - cue.bottom;
    const qreal middle = (cue.left() + cue.right()) / 2;
    return (!before || cue.bottom - before->bottom > speechGap * lineSpacing) && below > 0 &&
           below <= speechGap * lineSpacing &&
           next.left() < middle - kSpeechLeftOfCue * advance &&
           !hasWideGap(cue, dualGap * advance) && isCueText(cue.spaced);
}

PdfColumns::PdfColumns(const PdfLines &lines)
    : m_advance(lines.advance),
      m_margins(lines.pages.size(), 0),
      m_dialogue(kDialogueColumn),
      m_parenthetical(kParentheticalColumn),
      m_cueCentre(std::numeric_limits<qreal>::quiet_NaN())
{
    const qreal advance = m_advance;
    const int pageCount = lines.pages.size();
    QVector<QVector<Pair>> pairs(pageCount);
    for (int p = 0; p < pageCount; ++p) {
        const QVector<PdfLine> &page = lines.pages.at(p).lines;
        more = more || lines.pages.at(p).more;
        for (int i = 0; i + 1 < page.size(); ++i) {
            const PdfLine &cue = page.at(i);
            const PdfLine &speech = page.at(i + 1);
            if (!isCueOver(i > 0 ? &page.at(i - 1) : nullptr, cue, speech, advance,
                           lines.lineSpacing))
                continue;
            Pair pair{cue.left(), (cue.left() + cue.right()) / 2, speech.left(),
                      speech.words.first().text.startsWith(QLatin1Char('(')), {}};
            bool inParenthetical = false;
            for (int k = i + 1; k < page.size(); ++k) {
                const PdfLine &line = page.at(k);
                if (line.bottom - page.at(k - 1).bottom > speechGap * lines.lineSpacing)
                    break;
                inParenthetical = inParenthetical || line.words.first().text.startsWith(QLatin1Char('('));
                if (!inParenthetical && !line.words.last().text.endsWith(QLatin1Char(')')))
                    pair.dialogue.append(line.left());
                if (line.words.last().text.endsWith(QLatin1Char(')')))
                    inParenthetical = false;
            }
            pairs[p].append(pair);
        }
    }

    // The dialogue column of each page with speech, and its distance from the action lines.
    constexpr qreal unknown = std::numeric_limits<qreal>::quiet_NaN();
    QVector<qreal> dialogue(pageCount, unknown);
    QVector<qreal> action(pageCount, unknown);
    Votes distance(advance);
    for (int p = 0; p < pageCount; ++p) {
        Votes speech(advance);
        for (const Pair &pair : pairs.at(p))
            for (const qreal left : pair.dialogue)
                speech.add(left);
        dialogue[p] = speech.mode(unknown);
        if (std::isnan(dialogue.at(p)))
            continue;
        Votes starts(advance);
        for (const PdfLine &line : lines.pages.at(p).lines)
            if (line.left() < dialogue.at(p) - kActionLeftOfDialogue * advance)
                starts.add(line.left());
        action[p] = starts.mode(unknown);
        if (!std::isnan(action.at(p)))
            distance.add(dialogue.at(p) - action.at(p));
    }
    const qreal dialogueDistance = distance.mode(kDialogueColumn * advance);
    m_dialogue = std::round(dialogueDistance / advance);

    // The margin of each page with speech; the usual one among them.
    Votes usual(advance);
    QVector<bool> known(pageCount, false);
    for (int p = 0; p < pageCount; ++p) {
        if (std::isnan(dialogue.at(p)))
            continue;
        // Where the page's action disagrees, its margin is sought like that of a page without
        // speech.
        const qreal fromDialogue = dialogue.at(p) - dialogueDistance;
        const bool noAction = std::isnan(action.at(p));
        if (!noAction && std::abs(action.at(p) - fromDialogue) > slack * advance)
            continue;
        m_margins[p] = noAction ? fromDialogue : action.at(p);
        known[p] = true;
        usual.add(m_margins.at(p));
    }
    if (usual.isEmpty())
        for (const PdfPageLines &page : lines.pages)
            for (const PdfLine &line : page.lines)
                usual.add(line.left());
    const qreal usualMargin = usual.mode(0);

    // The parenthetical column and where cues stand, from the pairs.
    Votes parenthetical(1);
    Votes centres(1);
    for (int p = 0; p < pageCount; ++p) {
        if (!known.at(p))
            continue;
        for (const Pair &pair : pairs.at(p)) {
            if (pair.parenthetical)
                parenthetical.add(column(p, pair.speechLeft));
            else
                centres.add(column(p, pair.cueCentre));
        }
    }
    m_parenthetical = parenthetical.mode(m_dialogue + kParentheticalColumn - kDialogueColumn);
    m_cueCentre = centres.mode(m_cueCentre);

    // A page without speech: the margin that puts most lines into the columns.
    const qreal elements[] = {0, m_dialogue, m_parenthetical};
    for (int p = 0; p < pageCount; ++p) {
        if (known.at(p))
            continue;
        const QVector<PdfLine> &page = lines.pages.at(p).lines;
        Votes starts(advance);
        for (const PdfLine &line : page)
            starts.add(line.left());
        QVector<qreal> candidates{usualMargin};
        for (const qreal start : starts.modes(kTriedEdges))
            for (const qreal element : elements)
                candidates.append(start - element * advance);
        int bestScore = -1;
        qreal best = usualMargin;
        for (const qreal margin : qAsConst(candidates)) {
            int score = 0;
            for (const PdfLine &line : page) {
                const qreal c = (line.left() - margin) / advance;
                score += std::any_of(std::begin(elements), std::end(elements),
                                     [c](qreal e) { return std::abs(c - e) <= slack; });
            }
            if (score > bestScore ||
                (score == bestScore && std::abs(margin - usualMargin) < std::abs(best - usualMargin))) {
                bestScore = score;
                best = margin;
            }
        }
        m_margins[p] = best;
    }
}

qreal PdfColumns::column(int page, qreal left) const
{
    return std::clamp((left - m_margins.value(page)) / m_advance, qreal(-farthestColumn),
                      qreal(farthestColumn));
}

bool PdfColumns::isSpeechColumn(qreal column) const
{
    return std::abs(column - m_dialogue) <= kSpeechSlack ||
           std::abs(column - m_parenthetical) <= kParentheticalSlack;
}

bool PdfColumns::isCueColumn(int page, qreal left, qreal right) const
{
    const qreal start = column(page, left);
    const bool centred = std::abs(column(page, (left + right) / 2) - m_cueCentre) <= kCueCentreSlack;
    return start <= kLastCueColumn &&
           (start >= m_parenthetical + kCueRightOfParenthetical || centred);
}
