// SPDX-License-Identifier: MIT
#include "csvrecord.h"
#include "fileio.h"
#include "htmlnames.h"
#include "screenplayanalysis.h"

#include <cmath>
#include <limits>
#include <vector>

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

// The bytes of a statistics file: Latin-1, or UTF-8 after a byte-order mark when the text holds
// a character Latin-1 cannot hold, so that a spreadsheet reads such a name right. U+FFFD, the
// mark of bytes that could not be decoded (and a lone surrogate, which is no character either),
// is written "?" in both and asks for no UTF-8.
QByteArray statsBytes(QString text)
{
    bool wide = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() <= 0xFF)
            continue;
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            wide = true;
            ++i;
        } else if (c.isSurrogate() || c.unicode() == 0xFFFD) {
            text[i] = QLatin1Char('?');
        } else {
            wide = true;
        }
    }
    return wide ? "\xEF\xBB\xBF" + text.toUtf8() : text.toLatin1();
}

} // namespace

QByteArray ScreenplayAnalysis::sceneStats() const
{
    QString text = QStringLiteral("SceneNumber,Type,NumCharacters,Start,Stop,Length,NumLines,"
                                  "startPage,endPage,Characters,\n");
    if (!characterList)
        return statsBytes(text);
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
        text += QString::number(n) + comma + csvCell(s->type) + comma + QString::number(present) +
                comma + number(s->start) + comma + number(s->stop) + comma + number(length) +
                comma + QString::number(truncated(length * lineCount)) + comma +
                QString::number(s->pages.isEmpty() ? 0 : s->pages.first()) + comma +
                QString::number(s->pages.isEmpty() ? 0 : s->pages.last()) + comma + csvCell(names) +
                comma + QLatin1Char('\n');
    }
    return statsBytes(text);
}

QByteArray ScreenplayAnalysis::characterStats()
{
    QString text = QStringLiteral(
        "characters,NumScenes,NumDialogueLines,NumInstances,PerInvolved,Start,Stop,\n");
    if (!characterList)
        return statsBytes(text);
    const QVector<TimeIndex *> &scenes = characterList->timeIndices;
    const QVector<Character *> &cast = characterList->characters;
    // The statistics of each entry of the cast, gathered scene by scene: the counts of one scene
    // lie together, so a model of many scenes and many characters is read in the order it is
    // stored.
    struct Figures {
        int numScenes = 0;
        int numDialogueLines = 0;
        float perInvolved = 0.0f;
        float start = -1.0f;
        float stop = -1.0f;
        bool inRun = false;
    };
    std::vector<Figures> figures(size_t(cast.size()));
    for (const TimeIndex *s : scenes) {
        for (int i = 0; i < cast.size(); ++i) {
            Figures &f = figures[size_t(i)];
            const int k = i < s->counts.size() ? s->counts.at(i) : 0;
            f.numDialogueLines += k;
            if (k != 0) {
                ++f.numScenes;
                f.perInvolved += s->stop - s->start;
                if (!f.inRun) {
                    f.inRun = true;
                    if (f.start < 0)
                        f.start = s->start;
                }
            } else if (f.inRun) {
                f.stop = s->start;
                f.inRun = false;
            }
        }
    }
    const QChar comma = QLatin1Char(',');
    for (int i = 0; i < cast.size(); ++i) {
        const Figures &f = figures[size_t(i)];
        Character *c = cast.at(i);
        c->numScenes = f.numScenes;
        c->numDialogueLines = f.numDialogueLines;
        c->perInvolved = f.perInvolved;
        c->start = f.start;
        c->stop = f.inRun ? scenes.last()->stop : f.stop;
        text += csvCell(nameField(c)) + comma + QString::number(c->numScenes) + comma +
                QString::number(c->numDialogueLines) + comma + QString::number(c->numInstances) +
                comma + number(c->perInvolved) + comma + number(c->start) + comma +
                number(c->stop) + comma + QLatin1Char('\n');
    }
    return statsBytes(text);
}

FileError ScreenplayAnalysis::writeSceneStats(const QString &fname)
{
    return saveOutput(fname, sceneStats(), QStringLiteral("file not found"));
}

FileError ScreenplayAnalysis::writeCharacterStats(const QString &fname)
{
    return saveOutput(fname, characterStats(), QStringLiteral("file not found"));
}

FileError ScreenplayAnalysis::writeMarkup(const QString &fname)
{
    return saveOutput(fname, markupDocument(), QStringLiteral("file not found"));
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
