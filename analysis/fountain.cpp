// SPDX-License-Identifier: MIT
#include "fountain.h"

#include "words.h"

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

// The first place of a needle at or after a position, for positions that never decrease: a
// search that found nothing, or found a place not yet passed, answers the later questions too,
// so every opener that is never closed costs no new search to the end of the text.
class ForwardSearch {
public:
    explicit ForwardSearch(QLatin1String needle) : m_needle(needle) {}

    int from(const QString &text, int pos)
    {
        if (m_searchedFrom < 0 || m_searchedFrom > pos || (m_found >= 0 && m_found < pos)) {
            m_searchedFrom = pos;
            m_found = text.indexOf(m_needle, pos);
        }
        return m_found;
    }

private:
    QLatin1String m_needle;
    int m_searchedFrom = -1;
    int m_found = -1;
};

// The boneyard and notes of one text, found from the start to the end.
class RemovedRegions {
public:
    explicit RemovedRegions(const QString &text) : m_text(text) {}

    // The end of the boneyard or note that opens at pos, or pos when none does. A boneyard may
    // run to the end of the file; a note ends before the next empty line. An opener that is never
    // closed is kept as text.
    int endOf(int pos)
    {
        if (m_text.midRef(pos, 2) == QLatin1String("/*")) {
            const int close = m_boneyardEnd.from(m_text, pos + 2);
            return close < 0 ? pos : close + 2;
        }
        if (m_text.midRef(pos, 2) == QLatin1String("[[")) {
            const int close = m_noteEnd.from(m_text, pos + 2);
            const int emptyLine = m_emptyLine.from(m_text, pos + 2);
            const bool closed = close >= 0 && (emptyLine < 0 || close < emptyLine);
            return closed ? close + 2 : pos;
        }
        return pos;
    }

private:
    const QString &m_text;
    ForwardSearch m_boneyardEnd{QLatin1String("*/")};
    ForwardSearch m_noteEnd{QLatin1String("]]")};
    ForwardSearch m_emptyLine{QLatin1String("\n\n")};
};

// The lines with boneyard and notes cut out. A line that held only removed text is left out
// altogether, so that a note between a cue and its dialogue does not part them.
QStringList withoutBoneyardAndNotes(const QStringList &source)
{
    QStringList result;
    if (source.isEmpty())
        return result;
    const QString text = source.join(QLatin1Char('\n'));
    RemovedRegions regions(text);
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
        const int end = regions.endOf(pos);
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

// A period forces a heading only when a letter or digit follows it directly: "..." and ". Again"
// are action.
bool forcesHeading(const QString &trimmed)
{
    if (trimmed.size() < 2)
        return false;
    uint next = trimmed.at(1).unicode();
    if (QChar::isHighSurrogate(next) && trimmed.size() > 2 && trimmed.at(2).isLowSurrogate())
        next = QChar::surrogateToUcs4(trimmed.at(1), trimmed.at(2));
    return QChar::isLetter(next) || QChar::isDigit(next);
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

// A heading without its scene number ("#12A#" at the end, letters, digits, ".", "-" and "_"
// between the signs), which is no part of the place; the blanks before it go with it.
QString withoutSceneNumber(QString heading)
{
    const auto numberChar = [](QChar c) {
        const ushort u = c.unicode();
        return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
               u == '_' || u == '.' || u == '-';
    };
    const int close = heading.size() - 1;
    if (close < 2 || heading.at(close) != QLatin1Char('#'))
        return heading;
    int open = close - 1;
    while (open >= 0 && numberChar(heading.at(open)))
        --open;
    if (open < 0 || open == close - 1 || heading.at(open) != QLatin1Char('#'))
        return heading;
    while (open > 0 && QStringLiteral(" \t\n\v\f\r").contains(heading.at(open - 1)))
        --open;
    heading.truncate(open);
    return heading;
}

// A cue names the speaker in capitals and may end in extensions in parentheses, which may be in
// any case. Text after an extension makes the line action: "BOSS, 40 (or any age), an ageless".
bool isCueName(const QString &cue)
{
    static const QRegularExpression extensions(QStringLiteral("^(\\([^()]*\\)\\s*)+$"));
    const int extension = cue.indexOf(QLatin1Char('('));
    if (extension < 0)
        return isCapitals(cue);
    return isCapitals(cue.left(extension)) && extensions.match(cue.midRef(extension)).hasMatch();
}

// A cue without the dual-dialogue caret; the speeches are laid out one after the other.
QString withoutCaret(const QString &cue)
{
    return cue.endsWith(QLatin1Char('^')) ? cue.chopped(1).trimmed() : cue;
}

// An emphasis marker and where it may open (at the start of a word) and close (at the end of
// one); a marker after a backslash is literal.
struct Marker {
    explicit Marker(const char *text)
        : size(int(qstrlen(text))),
          opener(QStringLiteral("(?<![\\\\\\w*])%1(?=\\S)")
                     .arg(QRegularExpression::escape(QLatin1String(text))),
                 QRegularExpression::UseUnicodePropertiesOption),
          closer(QStringLiteral("(?<=[^\\s\\\\])%1(?![\\w*])")
                     .arg(QRegularExpression::escape(QLatin1String(text))),
                 QRegularExpression::UseUnicodePropertiesOption)
    {
    }

    int size;
    QRegularExpression opener;
    QRegularExpression closer;
};

// The text without the emphasis of one marker: an opener and the first closer after it on the
// same line, with at least one character between them, give way to what they hold, and the text
// goes on after that closer. Openers and closers are each found once, so openers that are never
// closed cost no search to the end of the line.
QString withoutMarker(const QString &text, const Marker &marker)
{
    QVector<int> closers;
    for (auto it = marker.closer.globalMatch(text); it.hasNext();)
        closers.append(it.next().capturedStart());
    if (closers.isEmpty())
        return text;
    QString result;
    int copied = 0;
    auto closer = closers.cbegin();
    for (auto it = marker.opener.globalMatch(text); it.hasNext();) {
        const int open = it.next().capturedStart();
        if (open < copied)
            continue;
        while (closer != closers.cend() && *closer <= open + marker.size)
            ++closer;
        // Later openers have no closer either.
        if (closer == closers.cend())
            break;
        result += text.midRef(copied, open - copied);
        result += text.midRef(open + marker.size, *closer - open - marker.size);
        copied = *closer + marker.size;
    }
    result += text.midRef(copied);
    return result;
}

// The text without its emphasis markers, escaped markers made literal. The markers go because
// the markup compares whole words: "*Brianna*" would not be a mention of BRIANNA.
QString withoutEmphasis(QString text)
{
    if (!text.contains(QLatin1Char('*')) && !text.contains(QLatin1Char('_')))
        return text;
    static const Marker markers[] = {Marker("***"), Marker("**"), Marker("*"), Marker("_")};
    for (const Marker &marker : markers)
        text = withoutMarker(text, marker);
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
    } else if (first == QLatin1Char('.') && forcesHeading(trimmed)) {
        out.appendHeading(withoutEmphasis(withoutSceneNumber(rest)));
    } else if (first == QLatin1Char('!') || first == QLatin1Char('~')) {
        layOut(out, Layout::actionIndent, rest, Layout::actionWidth);
    } else if (first == QLatin1Char('@')) {
        opensDialogue = !beforeEmpty;
        out.appendCue(withoutEmphasis(withoutCaret(rest)), opensDialogue);
    } else if (afterEmpty && isSceneHeading(trimmed)) {
        out.appendHeading(withoutEmphasis(withoutSceneNumber(trimmed)));
    } else if (afterEmpty && beforeEmpty && isCapitals(trimmed) &&
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
