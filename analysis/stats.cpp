// SPDX-License-Identifier: MIT
#include "fileio.h"
#include "htmlnames.h"
#include "screenplayanalysis.h"

#include <cmath>
#include <limits>

namespace {

QString number(float value)
{
    return QString::number(static_cast<double>(value), 'g', 6);
}

// Truncates toward zero; values beyond the int range (possible for unnormalised timelines)
// saturate instead of overflowing.
int truncated(float value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<float>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= static_cast<float>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

QString nameField(const Character *c)
{
    QString field;
    for (const QString &word : c->names)
        field += word + QLatin1Char(' ');
    return field;
}

} // namespace

QByteArray ScreenplayAnalysis::sceneStats() const
{
    QString text = QStringLiteral("SceneNumber,Type,NumCharacters,Start,Stop,Length,NumLines,"
                                  "startPage,endPage,Characters,\n");
    if (!characterList)
        return text.toLatin1();
    const float lineCount = static_cast<float>(lines.size());
    const QVector<TimeIndex *> &scenes = characterList->timeIndices;
    const QVector<Character *> &cast = characterList->characters;
    for (int n = 0; n < scenes.size(); ++n) {
        const TimeIndex *s = scenes.at(n);
        int present = 0;
        QString names;
        for (int i = 0; i < s->counts.size(); ++i) {
            if (s->counts.at(i) <= 0)
                continue;
            ++present;
            if (i < cast.size())
                names += nameField(cast.at(i)) + QLatin1Char(';');
        }
        const float length = s->stop - s->start;
        const QChar comma = QLatin1Char(',');
        text += QString::number(n) + comma + s->type + comma + QString::number(present) + comma +
                number(s->start) + comma + number(s->stop) + comma + number(length) + comma +
                QString::number(truncated(length * lineCount)) + comma +
                QString::number(s->pages.isEmpty() ? 0 : s->pages.first()) + comma +
                QString::number(s->pages.isEmpty() ? 0 : s->pages.last()) + comma + names + comma +
                QLatin1Char('\n');
    }
    return text.toLatin1();
}

QByteArray ScreenplayAnalysis::characterStats()
{
    QString text = QStringLiteral(
        "characters,NumScenes,NumDialogueLines,NumInstances,PerInvolved,Start,Stop,\n");
    if (!characterList)
        return text.toLatin1();
    const QVector<TimeIndex *> &scenes = characterList->timeIndices;
    const QVector<Character *> &cast = characterList->characters;
    for (int i = 0; i < cast.size(); ++i) {
        Character *c = cast.at(i);
        c->numScenes = 0;
        c->numDialogueLines = 0;
        c->perInvolved = 0.0f;
        c->start = -1.0f;
        c->stop = -1.0f;
        bool inRun = false;
        for (const TimeIndex *s : scenes) {
            const int k = i < s->counts.size() ? s->counts.at(i) : 0;
            c->numDialogueLines += k;
            if (k != 0) {
                ++c->numScenes;
                c->perInvolved += s->stop - s->start;
                if (!inRun) {
                    inRun = true;
                    if (c->start < 0)
                        c->start = s->start;
                }
            } else if (inRun) {
                c->stop = s->start;
                inRun = false;
            }
        }
        if (inRun)
            c->stop = scenes.last()->stop;

        const QChar comma = QLatin1Char(',');
        text += nameField(c) + comma + QString::number(c->numScenes) + comma +
                QString::number(c->numDialogueLines) + comma + QString::number(c->numInstances) +
                comma + number(c->perInvolved) + comma + number(c->start) + comma +
                number(c->stop) + comma + QLatin1Char('\n');
    }
    return text.toLatin1();
}

void ScreenplayAnalysis::writeSceneStats(const QString &fname)
{
    QSaveFile file(fname);
    if (openWholeFile(file, QStringLiteral("file not found")))
        commitWholeFile(file, sceneStats());
}

void ScreenplayAnalysis::writeCharacterStats(const QString &fname)
{
    QSaveFile file(fname);
    if (openWholeFile(file, QStringLiteral("file not found")))
        commitWholeFile(file, characterStats());
}

QByteArray ScreenplayAnalysis::markupDocument() const
{
    QString text = QStringLiteral("<head><style type='text/css'>");
    if (characterList) {
        for (const Character *c : characterList->characters)
            text += classSelector(QStringLiteral("span"), c->className()) +
                    QLatin1String("{ color: ") + c->color.name() + QLatin1String(" } ");
    }
    text += classSelector(QStringLiteral("span"), breakStringClass) +
            QLatin1String("{ color: purple; font-weight: bold; font-style: italic;}") +
            QLatin1String("</style></head>") + markup;
    return latin1WithReferences(text);
}
