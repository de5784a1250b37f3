// SPDX-License-Identifier: MIT
#include "sceneheading.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QVector>

#include <algorithm>

namespace {

// The words that make the last part of a heading a time of day: at least one of these...
const QSet<QString> &timeWords()
{
    static const QSet<QString> words{
        QStringLiteral("DAY"),       QStringLiteral("NIGHT"),      QStringLiteral("MORNING"),
        QStringLiteral("AFTERNOON"), QStringLiteral("EVENING"),    QStringLiteral("DUSK"),
        QStringLiteral("DAWN"),      QStringLiteral("SUNRISE"),    QStringLiteral("SUNSET"),
        QStringLiteral("NOON"),      QStringLiteral("MIDDAY"),     QStringLiteral("MIDNIGHT"),
        QStringLiteral("TWILIGHT"),  QStringLiteral("DAYTIME"),    QStringLiteral("NIGHTTIME"),
        QStringLiteral("PRE-DAWN"),  QStringLiteral("CONTINUOUS"), QStringLiteral("CONTINUING"),
        QStringLiteral("LATER"),     QStringLiteral("SAME"),       QStringLiteral("HOUR")};
    return words;
}

// ...and otherwise only these, as in MOMENTS LATER, EARLY EVENING or THE NEXT DAY.
const QSet<QString> &timeModifiers()
{
    static const QSet<QString> words{
        QStringLiteral("EARLY"),   QStringLiteral("LATE"),   QStringLiteral("MAGIC"),
        QStringLiteral("MOMENTS"), QStringLiteral("MOMENT"), QStringLiteral("SECONDS"),
        QStringLiteral("MINUTES"), QStringLiteral("HOURS"),  QStringLiteral("DAYS"),
        QStringLiteral("WEEKS"),   QStringLiteral("MONTHS"), QStringLiteral("YEARS"),
        QStringLiteral("A"),       QStringLiteral("FEW"),    QStringLiteral("THE"),
        QStringLiteral("NEXT"),    QStringLiteral("THAT"),   QStringLiteral("TIME"),
        QStringLiteral("SHORTLY"), QStringLiteral("AFTER"),  QStringLiteral("BEFORE"),
        QStringLiteral("STILL")};
    return words;
}

const QRegularExpression &trailingPunctuation()
{
    static const QRegularExpression punctuation(QStringLiteral("[.,;:]+$"));
    return punctuation;
}

bool namesTime(const QString &text)
{
    bool core = false;
    for (QString word : text.toUpper().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        word.remove(trailingPunctuation());
        bool number = false;
        word.toInt(&number);
        if (timeWords().contains(word))
            core = true;
        else if (!number && !timeModifiers().contains(word))
            return false;
    }
    return core;
}

bool isDash(QChar c)
{
    return c == QLatin1Char('-') || c == QChar(0x2013) || c == QChar(0x2014);
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// A separator of the heading's parts: a run of dashes (hyphen, en dash, em dash) with the blanks
// around it, from start up to end.
struct Separator {
    int start;
    int end;
};

// The separators of text, in order.
QVector<Separator> separators(const QString &text)
{
    QVector<Separator> result;
    for (int i = 0; i < text.size(); ++i) {
        if (!isDash(text.at(i)))
            continue;
        Separator s{i, i};
        while (s.start > 0 && isBlank(text.at(s.start - 1)))
            --s.start;
        while (s.end < text.size() && isDash(text.at(s.end)))
            ++s.end;
        while (s.end < text.size() && isBlank(text.at(s.end)))
            ++s.end;
        result.append(s);
        i = s.end - 1;
    }
    return result;
}

// Where the qualifiers in parentheses that end text begin ("NIGHT (JEFF) (V.O.)" gives 5), the
// blanks before them included; text.size() when it ends in none.
int qualifiersStart(const QString &text)
{
    int start = text.size();
    while (start > 0 && text.at(start - 1) == QLatin1Char(')')) {
        const int open = text.lastIndexOf(QLatin1Char('('), start - 1);
        if (open < 0 || text.lastIndexOf(QLatin1Char(')'), start - 2) > open)
            break;
        start = open;
        while (start > 0 && text.at(start - 1).isSpace())
            --start;
    }
    return start;
}

} // namespace

SceneHeading SceneHeading::parse(const QString &heading)
{
    // A prefix ends at a blank, the end or a dash: "INT.- HALL".
    static const QRegularExpression both(
        QStringLiteral("^(INT\\.?\\s*/\\s*EXT|EXT\\.?\\s*/\\s*INT|I\\s*/\\s*E|E\\s*/\\s*I)[.:]?"
                       "(\\s|$|(?=[-\u2013\u2014]))"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression interior(
        QStringLiteral("^INT(ERIOR)?[.:]?(\\s|$|(?=[-\u2013\u2014]))"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression exterior(
        QStringLiteral("^EXT(ERIOR)?[.:]?(\\s|$|(?=[-\u2013\u2014]))"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression establishing(
        QStringLiteral("^EST[.:]?(\\s|$|(?=[-\u2013\u2014]))"),
        QRegularExpression::CaseInsensitiveOption);
    // No time of day is longer; a longer last part is never read as one, so that a heading of
    // many dashes is not read again for every one of them.
    constexpr int longestTime = 64;

    SceneHeading result;
    QString rest = heading.trimmed();
    const std::pair<const QRegularExpression *, QString> prefixes[] = {
        {&both, QStringLiteral("INT/EXT")},
        {&interior, QStringLiteral("INT")},
        {&exterior, QStringLiteral("EXT")},
        // An establishing shot says nothing of inside or outside.
        {&establishing, QString()}};
    bool prefixed = false;
    for (const auto &[pattern, setting] : prefixes) {
        const QRegularExpressionMatch prefix = pattern->match(rest);
        if (prefix.hasMatch()) {
            result.setting = setting;
            rest = rest.mid(prefix.capturedLength()).trimmed();
            prefixed = true;
            break;
        }
    }

    // Qualifiers after the time, as in NIGHT (JEFF), belong to the place.
    const int qualified = qualifiersStart(rest);
    const QString kept = rest.mid(qualified);
    const QString core = rest.left(qualified);
    const QVector<Separator> parts = separators(core);
    // A dash right after the prefix parts it from what follows: EXT. - NIGHT is a night with
    // no place named.
    const int place =
        prefixed && !parts.isEmpty() && parts.first().start == 0 ? parts.first().end : 0;
    // The time of day is the part after the first separator whose rest names a time, so that
    // both CAR - MOVING - DAY and FIELD - PRE-DAWN end in theirs.
    for (const Separator &s : parts) {
        if (core.size() - s.end > longestTime)
            continue;
        const QString time = core.mid(s.end);
        if (!namesTime(time))
            continue;
        result.timeOfDay = time.trimmed().remove(trailingPunctuation());
        result.location = (core.mid(place, std::max(0, s.start - place)) + kept).trimmed();
        return result;
    }
    // Otherwise a time in the first parenthesis of the end: INT. HALL (NIGHT).
    const int close = kept.indexOf(QLatin1Char(')'));
    const QString inner = kept.left(close).trimmed().mid(1);
    if (close >= 0 && inner.size() <= longestTime && namesTime(inner)) {
        result.timeOfDay = inner.trimmed().remove(trailingPunctuation());
        result.location = (core.mid(place) + kept.mid(close + 1)).trimmed();
        return result;
    }
    result.location = rest.mid(place).trimmed();
    return result;
}
