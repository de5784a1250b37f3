// SPDX-License-Identifier: MIT
#include "fountain.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

using Layout = ScreenplayLayout;
constexpr int kFirstPage = 1;
// Inside dialogue, a line of at least this many blanks is an empty line of the speech.
constexpr int kDialogueBlankLine = 2;
constexpr QChar kByteOrderMark(0xFEFF);

bool isBlank(const QString &line)
{
    return line.trimmed().isEmpty();
}

// The end of the boneyard or note that opens at pos, or pos when none does. A boneyard may run to
// the end of the file; a note ends before the next empty line. An opener that is never closed is
// kept as text.
int removedRegionEnd(const QString &text, int pos)
{
    if (text.midRef(pos, 2) == QLatin1String("/*")) {
        const int close = text.indexOf(QLatin1String("*/"), pos + 2);
        return close < 0 ? pos : close + 2;
    }
    if (text.midRef(pos, 2) == QLatin1String("[[")) {
        const int close = text.indexOf(QLatin1String("]]"), pos + 2);
        const int emptyLine = text.indexOf(QLatin1String("\n\n"), pos + 2);
        const bool closed = close >= 0 && (emptyLine < 0 || close < emptyLine);
        return closed ? close + 2 : pos;
    }
    return pos;
}

// The lines with boneyard and notes cut out. A line that held only removed text is left out
// altogether, so that a note between a cue and its dialogue does not part them.
QStringList withoutBoneyardAndNotes(const QStringList &source)
{
    QStringList result;
    if (source.isEmpty())
        return result;
    const QString text = source.join(QLatin1Char('\n'));
    QString line;
    bool cut = false; // part of the current line was removed
    const auto endLine = [&]() {
        if (!cut || !isBlank(line))
            result.append(line);
        line.clear();
        cut = false;
    };
    int pos = 0;
    while (pos < text.size()) {
        const int end = removedRegionEnd(text, pos);
        if (end > pos) {
            cut = true;
            for (; pos < end; ++pos) {
                if (text.at(pos) == QLatin1Char('\n')) {
                    endLine();
                    cut = true;
                }
            }
            continue;
        }
        if (text.at(pos) == QLatin1Char('\n'))
            endLine();
        else
            line += text.at(pos);
        ++pos;
    }
    endLine();
    return result;
}

// Fountain's title-page keys. Any other "word:" opening a file is screenplay text, so that an
// action line or "FADE IN:" is never taken for a title page.
bool isTitleKey(const QString &line)
{
    static const QRegularExpression key(
        QStringLiteral("^(title|credit|authors?|source|draft date|date|contact|copyright|"
                       "notes|revision)\\s*:"),
        QRegularExpression::CaseInsensitiveOption);
    return key.match(line).hasMatch();
}

// The index of the first line after the title page, 0 when there is none. The page runs from a
// title key on the first non-blank line to the next empty line; values continue on indented and
// blank-only lines.
int bodyStart(const QStringList &lines)
{
    int i = 0;
    while (i < lines.size() && isBlank(lines.at(i)))
        ++i;
    if (i == lines.size() || !isTitleKey(lines.at(i)))
        return 0;
    while (i < lines.size() && !lines.at(i).isEmpty())
        ++i;
    return i;
}

bool isPageBreak(const QString &trimmed)
{
    static const QRegularExpression rule(QStringLiteral("^={3,}$"));
    return rule.match(trimmed).hasMatch();
}

bool isSectionOrSynopsis(const QString &trimmed)
{
    return trimmed.startsWith(QLatin1Char('#')) ||
           (trimmed.startsWith(QLatin1Char('=')) && !isPageBreak(trimmed));
}

bool isSceneHeading(const QString &trimmed)
{
    static const QRegularExpression prefix(QStringLiteral("^(int|ext|est|int/ext|i/e)[. ]"),
                                           QRegularExpression::CaseInsensitiveOption);
    return prefix.match(trimmed).hasMatch();
}

// A heading without its scene number ("#12A#" at the end), which is no part of the place.
QString withoutSceneNumber(QString heading)
{
    static const QRegularExpression number(QStringLiteral("\\s*#[\\w.-]+#$"));
    return heading.remove(number);
}

bool isUpperCase(const QString &text)
{
    return text == text.toUpper() &&
           std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
}

// A cue names the speaker in capitals and may end in extensions in parentheses, which may be in
// any case. Text after an extension makes the line action: "BOSS, 40 (or any age), an ageless".
bool isCueName(const QString &cue)
{
    static const QRegularExpression extensions(QStringLiteral("^(\\([^()]*\\)\\s*)+$"));
    const int extension = cue.indexOf(QLatin1Char('('));
    if (extension < 0)
        return isUpperCase(cue);
    return isUpperCase(cue.left(extension)) && extensions.match(cue.midRef(extension)).hasMatch();
}

// A cue without the dual-dialogue caret; the speeches are laid out one after the other.
QString withoutCaret(const QString &cue)
{
    return cue.endsWith(QLatin1Char('^')) ? cue.chopped(1).trimmed() : cue;
}

// Emphasis that opens at the start of a word and closes at the end of one on the same line;
// a marker after a backslash is literal.
QRegularExpression emphasis(const QString &marker)
{
    return QRegularExpression(
        QStringLiteral("(?<![\\\\\\w*])%1(?=\\S)(.+?)(?<=[^\\s\\\\])%1(?![\\w*])").arg(marker),
        QRegularExpression::UseUnicodePropertiesOption);
}

// The text without its emphasis markers, escaped markers made literal. The markers go because
// the markup compares whole words: "*Brianna*" would not be a mention of BRIANNA.
QString withoutEmphasis(QString text)
{
    if (!text.contains(QLatin1Char('*')) && !text.contains(QLatin1Char('_')))
        return text;
    static const QRegularExpression markers[] = {
        emphasis(QStringLiteral("\\*\\*\\*")), emphasis(QStringLiteral("\\*\\*")),
        emphasis(QStringLiteral("\\*")), emphasis(QStringLiteral("_"))};
    for (const QRegularExpression &marker : markers)
        text.replace(marker, QStringLiteral("\\1"));
    text.replace(QLatin1String("\\*"), QLatin1String("*"));
    text.replace(QLatin1String("\\_"), QLatin1String("_"));
    return text;
}

// Lays out an element's text without its emphasis markers.
void layOut(Layout &out, int indent, const QString &text, int width = 0)
{
    out.append(indent, withoutEmphasis(text), width);
}

// Lays out one line of the dialogue that follows a cue.
void layOutSpeech(Layout &out, const QString &trimmed)
{
    if (trimmed.startsWith(QLatin1Char('(')))
        layOut(out, Layout::parentheticalIndent, trimmed, Layout::parentheticalWidth);
    else if (trimmed.startsWith(QLatin1Char('~')))
        layOut(out, Layout::dialogueIndent, trimmed.mid(1).trimmed(), Layout::dialogueWidth);
    else
        layOut(out, Layout::dialogueIndent, trimmed, Layout::dialogueWidth);
}

// Lays out one line outside dialogue; afterEmpty and beforeEmpty say whether the lines around it
// are blank (or missing), which Fountain's unmarked elements depend on. Sets opensDialogue when
// the line is a cue.
void layOutElement(Layout &out, const QString &trimmed, bool afterEmpty, bool beforeEmpty,
                   bool &opensDialogue)
{
    const QChar first = trimmed.at(0);
    const QString rest = trimmed.mid(1).trimmed();
    if (first == QLatin1Char('>')) {
        if (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('<')))
            out.appendCentred(withoutEmphasis(trimmed.mid(1, trimmed.size() - 2).trimmed()));
        else
            layOut(out, Layout::transitionIndent, rest);
    } else if (first == QLatin1Char('.') && !trimmed.startsWith(QLatin1String(".."))) {
        out.appendHeading(withoutEmphasis(withoutSceneNumber(rest)));
    } else if (first == QLatin1Char('!') || first == QLatin1Char('~')) {
        layOut(out, Layout::actionIndent, rest, Layout::actionWidth);
    } else if (first == QLatin1Char('@')) {
        opensDialogue = !beforeEmpty;
        out.appendCue(withoutEmphasis(withoutCaret(rest)), opensDialogue);
    } else if (afterEmpty && isSceneHeading(trimmed)) {
        out.appendHeading(withoutEmphasis(withoutSceneNumber(trimmed)));
    } else if (afterEmpty && beforeEmpty && isUpperCase(trimmed) &&
               trimmed.endsWith(QLatin1String("TO:"))) {
        layOut(out, Layout::transitionIndent, trimmed);
    } else if (afterEmpty && !beforeEmpty && isCueName(withoutCaret(trimmed))) {
        opensDialogue = true;
        out.appendCue(withoutEmphasis(withoutCaret(trimmed)), opensDialogue);
    } else {
        layOut(out, Layout::actionIndent, trimmed, Layout::actionWidth);
    }
}

} // namespace

ScreenplayLayout fountainLayout(const QStringList &sourceLines)
{
    QStringList source = sourceLines;
    if (!source.isEmpty() && source.first().startsWith(kByteOrderMark))
        source.first().remove(0, 1);
    QStringList body = withoutBoneyardAndNotes(source);
    body.erase(body.begin(), body.begin() + bodyStart(body));
    body.erase(std::remove_if(body.begin(), body.end(),
                              [](const QString &l) { return isSectionOrSynopsis(l.trimmed()); }),
               body.end());

    const int n = body.size();
    const auto blankAt = [&body, n](int i) { return i < 0 || i >= n || isBlank(body.at(i)); };
    Layout result;
    result.lines.reserve(n);
    int page = kFirstPage;
    bool inDialogue = false;
    for (int i = 0; i < n; ++i) {
        const QString &line = body.at(i);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty()) {
            inDialogue = inDialogue && line.size() >= kDialogueBlankLine &&
                         line.count(QLatin1Char(' ')) == line.size();
            result.lines.append(QString());
        } else if (isPageBreak(trimmed)) {
            inDialogue = false;
            ++page;
            layOut(result, Layout::actionIndent,
                   QLatin1Char('[') + QString::number(page) + QLatin1Char(']'));
        } else if (inDialogue) {
            layOutSpeech(result, trimmed);
        } else {
            layOutElement(result, trimmed, blankAt(i - 1), blankAt(i + 1), inDialogue);
        }
    }
    return result;
}
