// SPDX-License-Identifier: MIT
#include "sceneheading.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>

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

} // namespace

SceneHeading SceneHeading::parse(const QString &heading)
{
    static const QRegularExpression both(
        QStringLiteral(
            "^(INT\\.?\\s*/\\s*EXT|EXT\\.?\\s*/\\s*INT|I\\s*/\\s*E|E\\s*/\\s*I)[.:]?(\\s|$)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression interior(QStringLiteral("^INT(ERIOR)?[.:]?(\\s|$)"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression exterior(QStringLiteral("^EXT(ERIOR)?[.:]?(\\s|$)"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression establishing(QStringLiteral("^EST[.:]?(\\s|$)"),
                                                 QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression separator(
        QStringLiteral("\\s+[-\u2013\u2014]{1,2}\\s+|\\s*--\\s*"));
    static const QRegularExpression qualifiers(QStringLiteral("(\\s*\\([^()]*\\))+$"));
    static const QRegularExpression leadingDashes(QStringLiteral("^[-\\s]+"));

    SceneHeading result;
    QString rest = heading.trimmed();
    const std::pair<const QRegularExpression *, QString> prefixes[] = {
        {&both, QStringLiteral("INT/EXT")},
        {&interior, QStringLiteral("INT")},
        {&exterior, QStringLiteral("EXT")},
        // An establishing shot says nothing of inside or outside.
        {&establishing, QString()}};
    for (const auto &[pattern, setting] : prefixes) {
        const QRegularExpressionMatch prefix = pattern->match(rest);
        if (prefix.hasMatch()) {
            result.setting = setting;
            rest = rest.mid(prefix.capturedLength()).remove(leadingDashes);
            break;
        }
    }

    QRegularExpressionMatch last;
    for (auto it = separator.globalMatch(rest); it.hasNext();)
        last = it.next();
    if (last.hasMatch()) {
        // A qualifier after the time, as in NIGHT (JEFF), belongs to the place.
        QString time = rest.mid(last.capturedEnd());
        const QRegularExpressionMatch qualifier = qualifiers.match(time);
        const QString kept = qualifier.hasMatch() ? qualifier.captured() : QString();
        time.chop(kept.size());
        if (namesTime(time)) {
            result.timeOfDay = time.trimmed().remove(trailingPunctuation());
            rest = rest.left(last.capturedStart()) + kept;
        }
    }
    result.location = rest.trimmed();
    return result;
}
