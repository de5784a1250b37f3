// SPDX-License-Identifier: MIT
#include "pdflayout.h"

#include "pdfcolumns.h"
#include "pdflines.h"
#include "words.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

using Layout = ScreenplayLayout;

// The most empty lines one gap gives.
constexpr int kMostBlankLines = 66;

// Headings are bold, or stand after two empty lines (more than this many line spacings below the
// line before), where at least this many, and this share of those with a break string, do.
constexpr qreal kSpacedGap = 2.5;
constexpr int kMarkedHeadings = 2;
constexpr qreal kMarkedShare = 0.8;

// A title page is a first page of centred lines: at least this share of them centred within
// this many advances of their median centre.
constexpr qreal kTitleCentred = 1.0 / 3;
constexpr qreal kTitleCentreSlack = 2.0;

// Whether a cue carries the "(CONT'D)" of a speech that goes on.
bool isContinued(const QString &cue)
{
    const int extension = cue.indexOf(QLatin1Char('('));
    return extension >= 0 &&
           cue.midRef(extension).contains(QLatin1String("CONT"), Qt::CaseInsensitive);
}

class Reader {
public:
    Reader(const PdfLines &lines, const PdfColumns &columns) : m_lines(lines), m_columns(columns)
    {
    }

    Layout read()
    {
        learnHeadings();
        const int title = titlePage();
        QString continuing; // whose speech went on past the end of the page before
        for (int p = 0; p < m_lines.pages.size(); ++p) {
            m_layout.append(Layout::actionIndent,
                            QLatin1Char('[') + QString::number(p + 1) + QLatin1Char(']'));
            if (p != title)
                readPage(p, continuing);
            // A speech goes on overleaf where the page says "(MORE)" or, in a document that
            // never does, wherever a page ends in speech.
            const bool goesOn = m_lines.pages.at(p).more || !m_columns.more;
            continuing = goesOn ? m_speaking : QString();
        }
        m_layout.unstructured = m_layout.cues.isEmpty();
        return m_layout;
    }

private:
    qreal column(int page, const PdfLine &line) const
    {
        return m_columns.column(page, line.left());
    }

    // The index of a title page, or -1: the first page with text, followed by others, with
    // neither a heading nor a cue, a third of its lines centred.
    int titlePage() const
    {
        int first = 0;
        while (first < m_lines.pages.size() && m_lines.pages.at(first).lines.isEmpty())
            ++first;
        if (first + 1 >= m_lines.pages.size())
            return -1;
        const QVector<PdfLine> &lines = m_lines.pages.at(first).lines;
        std::vector<qreal> centres;
        for (int i = 0; i < lines.size(); ++i) {
            if (isHeading(first, i) || cueAt(first, i) || isDual(first, i))
                return -1;
            centres.push_back((lines.at(i).left() + lines.at(i).right()) / 2);
        }
        const auto middle = centres.begin() + std::ptrdiff_t(centres.size() / 2);
        std::nth_element(centres.begin(), middle, centres.end());
        const qreal centre = *middle;
        const auto centred = std::count_if(lines.begin(), lines.end(), [&](const PdfLine &l) {
            return std::abs((l.left() + l.right()) / 2 - centre) <=
                   kTitleCentreSlack * m_lines.advance;
        });
        return qreal(centred) >= kTitleCentred * qreal(lines.size()) ? first : -1;
    }

    // Whether line i is a heading: at the action margin, with scene numbers beside it or,
    // after an empty line (not inside a paragraph of action), starting with a break string.
    bool isHeading(int page, int i) const
    {
        const QVector<PdfLine> &lines = m_lines.pages.at(page).lines;
        const PdfLine &line = lines.at(i);
        const bool afterEmpty = i == 0 || line.bottom - lines.at(i - 1).bottom >
                                              PdfColumns::speechGap * m_lines.lineSpacing;
        return std::abs(column(page, line)) <= PdfColumns::slack &&
               (line.numbered || (afterEmpty && PdfColumns::isHeadingText(line.spaced)));
    }

    qreal gapAbove(int page, int i) const
    {
        const QVector<PdfLine> &lines = m_lines.pages.at(page).lines;
        return i == 0 ? 0 : lines.at(i).bottom - lines.at(i - 1).bottom;
    }

    // Whether line i, at the action margin without a break string, is a heading all the same:
    // a line alone in capitals, not a transition ("FADE IN:"), in bold where the document's
    // headings are bold, or after two empty lines where its headings stand so far apart and its
    // action does not (at the top of a page nothing tells).
    bool isMarkedHeading(int page, int i) const
    {
        const QVector<PdfLine> &lines = m_lines.pages.at(page).lines;
        const PdfLine &line = lines.at(i);
        const qreal apart = PdfColumns::speechGap * m_lines.lineSpacing;
        const bool marked = (m_boldHeadings && isBold(line)) ||
                            (m_spacedHeadings && gapAbove(page, i) > kSpacedGap * m_lines.lineSpacing);
        return marked && std::abs(column(page, line)) <= PdfColumns::slack &&
               (i == 0 || gapAbove(page, i) > apart) &&
               (i + 1 == lines.size() || gapAbove(page, i + 1) > apart) &&
               isCapitals(line.spaced) && !line.spaced.endsWith(QLatin1Char(':'));
    }

    static bool isBold(const PdfLine &line)
    {
        return std::all_of(line.words.begin(), line.words.end(),
                           [](const PdfWord &w) { return w.bold; });
    }

    // Whether most headings that start with a break string are bold, and whether they, unlike
    // the action, stand after two empty lines.
    void learnHeadings()
    {
        const qreal apart = PdfColumns::speechGap * m_lines.lineSpacing;
        const qreal spaced = kSpacedGap * m_lines.lineSpacing;
        int headings = 0;
        int bold = 0;
        int headingsBelow = 0; // below another line of their page
        int spacedHeadings = 0;
        int action = 0;
        int spacedAction = 0;
        for (int p = 0; p < m_lines.pages.size(); ++p) {
            const QVector<PdfLine> &lines = m_lines.pages.at(p).lines;
            for (int i = 0; i < lines.size(); ++i) {
                if (std::abs(column(p, lines.at(i))) > PdfColumns::slack)
                    continue;
                const bool heading = PdfColumns::isHeadingText(lines.at(i).spaced);
                headings += heading;
                bold += heading && isBold(lines.at(i));
                if (i == 0 || gapAbove(p, i) <= apart)
                    continue;
                headingsBelow += heading;
                spacedHeadings += heading && gapAbove(p, i) > spaced;
                action += !heading;
                spacedAction += !heading && gapAbove(p, i) > spaced;
            }
        }
        const bool enough = headings >= kMarkedHeadings;
        m_boldHeadings = enough && bold >= kMarkedShare * headings;
        m_spacedHeadings = headingsBelow >= kMarkedHeadings &&
                           spacedHeadings >= kMarkedShare * headingsBelow &&
                           spacedAction <= (1 - kMarkedShare) * action;
    }

    // Whether line i of the page is a cue: a name in capitals in the cue columns, or centred
    // where cues are, after an empty line and over a line of speech.
    bool cueAt(int page, int i) const
    {
        const QVector<PdfLine> &lines = m_lines.pages.at(page).lines;
        if (i + 1 >= lines.size())
            return false;
        const PdfLine &line = lines.at(i);
        const PdfLine &next = lines.at(i + 1);
        return PdfColumns::isCueOver(i > 0 ? &lines.at(i - 1) : nullptr, line, next,
                                     m_lines.advance, m_lines.lineSpacing) &&
               m_columns.isSpeechColumn(column(page, next)) &&
               m_columns.isCueColumn(page, line.left(), line.right());
    }

    bool closeBelow(const PdfLine &above, const PdfLine &below) const
    {
        const qreal gap = below.bottom - above.bottom;
        return gap > 0 && gap <= PdfColumns::speechGap * m_lines.lineSpacing;
    }

    // The words of line i split at the widest gap into two cues side by side, or false.
    bool splitDualCue(int page, int i, PdfLine *left, PdfLine *right) const
    {
        const QVector<PdfLine> &lines = m_lines.pages.at(page).lines;
        const PdfLine &line = lines.at(i);
        if (i + 1 >= lines.size() || !closeBelow(line, lines.at(i + 1)) || line.words.size() < 2)
            return false;
        int widest = 1;
        qreal widestGap = 0;
        for (int w = 1; w < line.words.size(); ++w) {
            const PdfWord &before = line.words.at(w - 1);
            const qreal gap = line.words.at(w).left - (before.left + before.width);
            if (gap > widestGap) {
                widestGap = gap;
                widest = w;
            }
        }
        if (widestGap < PdfColumns::dualGap * m_lines.advance)
            return false;
        *left = PdfLine{line.words.mid(0, widest), line.bottom, false, {}};
        *right = PdfLine{line.words.mid(widest), line.bottom, false, {}};
        return PdfColumns::isCueText(left->text(m_lines.advance)) &&
               PdfColumns::isCueText(right->text(m_lines.advance));
    }

    bool isDual(int page, int i) const
    {
        PdfLine left;
        PdfLine right;
        return splitDualCue(page, i, &left, &right);
    }

    void appendBlanks(const PdfLine &line)
    {
        if (m_previousBottom < 0)
            return;
        const qreal gap = line.bottom - m_previousBottom;
        const int blanks = int(std::clamp(std::round(gap / m_lines.lineSpacing) - 1, qreal(0),
                                          qreal(kMostBlankLines)));
        for (int b = 0; b < blanks; ++b)
            m_layout.append(0, QString());
        if (blanks > 0)
            m_speaking.clear();
    }

    void appendCue(const QString &text)
    {
        const QString speaker = Layout::speakerOf(text);
        m_layout.append(Layout::cueIndent, Layout::foldedQuotes(text));
        m_layout.cues.insert(m_layout.lines.size() - 1, speaker);
        m_speaking = speaker;
        m_inParenthetical = false;
    }

    // A line of speech: a parenthetical from its "(" to its ")", dialogue otherwise.
    void appendSpeech(const QString &text)
    {
        m_inParenthetical = m_inParenthetical || text.startsWith(QLatin1Char('('));
        m_layout.append(m_inParenthetical ? Layout::parentheticalIndent : Layout::dialogueIndent,
                        text);
        if (m_inParenthetical && text.endsWith(QLatin1Char(')')))
            m_inParenthetical = false;
    }

    // Two speeches side by side from line i on, laid out left then right; returns the line
    // after them.
    int readDual(int page, int i, const PdfLine &leftCue, const PdfLine &rightCue)
    {
        const QVector<PdfLine> &lines = m_lines.pages.at(page).lines;
        const qreal advance = m_lines.advance;
        int end = i + 1;
        while (end < lines.size() && closeBelow(lines.at(end - 1), lines.at(end)))
            ++end;
        // The right speech starts where its cue does or, where its lines stand further left,
        // at the left edge of the second part of a line that has two.
        qreal split = rightCue.left();
        for (int k = i + 1; k < end; ++k) {
            for (const PdfLine &part : lines.at(k).segments(PdfColumns::dualGap / 2 * advance))
                if (part.left() > leftCue.left() + PdfColumns::dualGap * advance)
                    split = std::min(split, part.left());
        }
        QStringList sides[2];
        for (int k = i + 1; k < end; ++k) {
            PdfLine parts[2];
            for (const PdfWord &word : lines.at(k).words)
                parts[word.left >= split - advance / 2 ? 1 : 0].words.append(word);
            for (int s = 0; s < 2; ++s)
                if (!parts[s].words.isEmpty())
                    sides[s].append(parts[s].text(advance));
        }
        appendBlanks(lines.at(i));
        const PdfLine *cues[2] = {&leftCue, &rightCue};
        for (int s = 0; s < 2; ++s) {
            if (s == 1)
                m_layout.append(0, QString());
            appendCue(cues[s]->text(advance));
            for (const QString &text : qAsConst(sides[s]))
                appendSpeech(text);
        }
        m_previousBottom = lines.at(end - 1).bottom;
        return end;
    }

    // Whether the heading or cue at the top of a page only repeats what goes on from the page
    // before: the cue over a speech that a page break cuts, or the heading with "(CONT'D)" over
    // the rest of its scene.
    bool repeatsOverleaf(int page, int i, const QString &text, const QString &continuing) const
    {
        if (cueAt(page, i))
            return !continuing.isEmpty() && Layout::speakerOf(text) == continuing &&
                   (m_columns.more || isContinued(text));
        static const QRegularExpression goesOn(QStringLiteral("\\s*\\((CONT'?D|CONTINUED)\\)$"),
                                               QRegularExpression::CaseInsensitiveOption);
        const QString folded = Layout::foldedQuotes(text);
        return isHeading(page, i) &&
               QString(folded).remove(goesOn).size() < folded.size() &&
               QString(folded).remove(goesOn) == m_lastHeading;
    }

    void readPage(int page, const QString &continuing)
    {
        const QVector<PdfLine> &lines = m_lines.pages.at(page).lines;
        m_previousBottom = -1;
        bool atTop = true;
        for (int i = 0; i < lines.size(); ++i) {
            const PdfLine &line = lines.at(i);
            PdfLine leftCue;
            PdfLine rightCue;
            if (splitDualCue(page, i, &leftCue, &rightCue)) {
                i = readDual(page, i, leftCue, rightCue) - 1;
                m_speaking.clear();
                atTop = false;
                continue;
            }
            const QString &text = line.spaced;
            if (atTop && repeatsOverleaf(page, i, text, continuing))
                continue;
            atTop = false;
            appendBlanks(line);
            m_previousBottom = line.bottom;
            const qreal col = column(page, line);
            if (cueAt(page, i)) {
                appendCue(text);
            } else if (!m_speaking.isEmpty() && m_columns.isSpeechColumn(col)) {
                appendSpeech(text);
            } else if (isHeading(page, i) || isMarkedHeading(page, i)) {
                m_layout.appendHeading(text);
                m_lastHeading = Layout::foldedQuotes(text);
                m_speaking.clear();
            } else {
                const int indent = int(std::round(col)) + Layout::actionIndent;
                m_layout.append(std::clamp(indent, 0, PdfColumns::farthestColumn), text);
                m_speaking.clear();
            }
        }
    }

    const PdfLines &m_lines;
    const PdfColumns &m_columns;
    Layout m_layout;
    QString m_speaking; // whose speech the lines so far belong to
    bool m_inParenthetical = false;
    qreal m_previousBottom = -1;
    bool m_boldHeadings = false;
    bool m_spacedHeadings = false;
    QString m_lastHeading; // without a "(CONT'D)"
};

} // namespace

ScreenplayLayout pdfLayout(const QVector<PdfPage> &pages)
{
    const PdfLines lines = pdfLines(pages);
    const PdfColumns columns(lines);
    return Reader(lines, columns).read();
}
