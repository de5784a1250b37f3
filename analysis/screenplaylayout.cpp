// SPDX-License-Identifier: MIT
#include "screenplaylayout.h"

#include <algorithm>
#include <iterator>

namespace {

// The text broken at blanks into lines of at most width characters; a word longer than that
// keeps a line of its own. The rest of the text is told by where it starts and ends, never
// copied, so a long paragraph costs no more per line than a short one.
QStringList wrapped(const QString &text, int width)
{
    QStringList pieces;
    int from = 0;
    int to = text.size();
    while (to - from > width) {
        int cut = from + width;
        while (cut > from && text.at(cut) != QLatin1Char(' '))
            --cut;
        if (cut == from) {
            cut = text.indexOf(QLatin1Char(' '), from + width);
            if (cut < 0 || cut >= to)
                break;
        }
        pieces.append(text.mid(from, cut - from).trimmed());
        from = cut;
        while (from < to && text.at(from).isSpace())
            ++from;
        while (to > from && text.at(to - 1).isSpace())
            --to;
    }
    pieces.append(text.mid(from, to - from));
    return pieces;
}

} // namespace

void ScreenplayLayout::append(int indent, const QString &text, int width)
{
    if (text.isEmpty()) {
        lines.append(QString());
        return;
    }
    const QString margin(indent, QLatin1Char(' '));
    for (const QString &piece : width > 0 ? wrapped(text, width) : QStringList{text})
        lines.append(margin + piece);
}

void ScreenplayLayout::appendCentred(const QString &text)
{
    append(actionIndent + std::max(0, (actionWidth - int(text.size())) / 2), text);
}

void ScreenplayLayout::appendCue(const QString &cue, bool opensDialogue)
{
    append(cueIndent, foldedQuotes(cue));
    const QString speaker = speakerOf(lines.last());
    if (opensDialogue && !speaker.isEmpty())
        cues.insert(lines.size() - 1, speaker);
}

void ScreenplayLayout::appendHeading(const QString &heading)
{
    append(actionIndent, heading);
    if (!lines.last().isEmpty())
        headings.append(lines.size() - 1);
}

QString ScreenplayLayout::speakerOf(const QString &cue)
{
    return foldedQuotes(cue.left(cue.indexOf(QLatin1Char('('))).trimmed());
}

QString ScreenplayLayout::foldedQuotes(QString text)
{
    // Apostrophes, single quotes and primes; then double quotes and double primes.
    static constexpr char16_t single[] = {0x2018, 0x2019, 0x201A, 0x201B, 0x2032,
                                          0x2035, 0x02BC, 0xFF07};
    static constexpr char16_t double_[] = {0x201C, 0x201D, 0x201E, 0x201F,
                                           0x2033, 0x2036, 0xFF02};
    for (QChar &c : text) {
        if (c.unicode() < 0x80)
            continue;
        if (std::find(std::begin(single), std::end(single), c.unicode()) != std::end(single))
            c = QLatin1Char('\'');
        else if (std::find(std::begin(double_), std::end(double_), c.unicode()) !=
                 std::end(double_))
            c = QLatin1Char('"');
    }
    return text;
}
