// SPDX-License-Identifier: MIT
#include "csvrecord.h"
#include "fileio.h"
#include "screenplayanalysis.h"

#include <QHash>

#include <algorithm>

namespace {

QString number(float value)
{
    return QString::number(static_cast<double>(value), 'g', 6);
}

// The first line at or after a position; lines sit at i / n, computed as the markup computes
// them, so a scene opened at a line finds that line exactly.
int lineAt(float position, int n)
{
    int low = 0;
    int high = n;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (static_cast<float>(mid) / static_cast<float>(n) < position)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

// The given characters' names, ";" between them, in the order of the indices.
QString nameList(const QVector<Character *> &cast, QVector<int> indices)
{
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    QStringList names;
    for (const int i : indices)
        names.append(cast.at(i)->names.join(QLatin1Char(' ')));
    return names.join(QLatin1Char(';'));
}

// The text without its markup tags, from each "<" to the next ">". Once a "<" finds no ">", no
// later one can, so the line is read once whatever it holds.
QString withoutTags(const QString &text)
{
    QString result;
    int copied = 0;
    for (int open = text.indexOf(QLatin1Char('<')); open >= 0;
         open = text.indexOf(QLatin1Char('<'), copied)) {
        const int close = text.indexOf(QLatin1Char('>'), open + 1);
        if (close < 0)
            break;
        result += text.midRef(copied, open - copied);
        copied = close + 1;
    }
    return result + text.midRef(copied);
}

} // namespace

QVector<SceneText> ScreenplayAnalysis::sceneTexts() const
{
    QVector<SceneText> result;
    if (!characterList)
        return result;
    const QVector<TimeIndex *> &scenes = characterList->timeIndices;
    const int n = lines.size();
    result.resize(scenes.size());
    for (int k = 0; k < scenes.size(); ++k)
        result[k].firstLine = n > 0 ? lineAt(scenes.at(k)->start, n) : 0;
    for (int k = 0; k < scenes.size(); ++k) {
        const int end = k + 1 < scenes.size() ? result.at(k + 1).firstLine : n;
        result[k].lineCount = std::max(0, end - result.at(k).firstLine);
    }
    // Timelines and XML files have rows, not lines of a screenplay.
    if (fileType == QLatin1String("csv") || fileType == QLatin1String("xml"))
        return result;

    for (int k = 0; k < scenes.size(); ++k) {
        const QString &type = scenes.at(k)->type;
        if (type == QLatin1String("START") || type == QLatin1String("USER_SET") ||
            result.at(k).firstLine >= n)
            continue;
        SceneText &scene = result[k];
        // The tags of an HTML screenplay are no part of its heading; a structured screenplay
        // has none, only text.
        scene.heading = structured ? lines.at(scene.firstLine).trimmed()
                                   : withoutTags(lines.at(scene.firstLine)).trimmed();
        // In plain text the break string may stand after other words (FADE IN: INT. ...); the
        // heading proper starts there.
        QStringList words = scene.heading.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (!structured) {
            const auto opener = std::find_if(words.begin(), words.end(), [&type](const QString &w) {
                return w.compare(type, Qt::CaseInsensitive) == 0;
            });
            if (opener != words.end())
                words.erase(words.begin(), opener);
        }
        scene.parts = SceneHeading::parse(words.join(QLatin1Char(' ')));
    }

    QHash<QString, int> index;
    const QVector<Character *> &cast = characterList->characters;
    for (int i = cast.size() - 1; i >= 0; --i)
        index.insert(cast.at(i)->names.join(QLatin1Char(' ')), i);
    QMap<int, QString> speakers;
    if (structured) {
        speakers = cues;
    } else {
        for (auto line = speakerLines.cbegin(); line != speakerLines.cend(); ++line)
            speakers.insert(line.key(), line.value().join(QLatin1Char(' ')));
    }
    for (auto line = speakers.cbegin(); line != speakers.cend(); ++line) {
        const auto who = index.constFind(
            line.value().split(QLatin1Char(' '), Qt::SkipEmptyParts).join(QLatin1Char(' ')));
        // A speaker line belongs to the last scene opened at or before it.
        const auto after =
            std::upper_bound(result.cbegin(), result.cend(), line.key(),
                             [](int l, const SceneText &scene) { return l < scene.firstLine; });
        if (who != index.cend() && after != result.cbegin())
            result[int(after - result.cbegin()) - 1].speeches.append(who.value());
    }
    return result;
}

QByteArray ScreenplayAnalysis::sceneBreakdown() const
{
    QString text =
        csvRecord({QStringLiteral("Scene"), QStringLiteral("Page"), QStringLiteral("Start"),
                   QStringLiteral("Stop"), QStringLiteral("Heading"), QStringLiteral("IntExt"),
                   QStringLiteral("Location"), QStringLiteral("TimeOfDay"), QStringLiteral("Lines"),
                   QStringLiteral("Speakers"), QStringLiteral("Present")});
    const QVector<SceneText> texts = sceneTexts();
    for (int k = 0; k < texts.size(); ++k) {
        const TimeIndex *s = characterList->timeIndices.at(k);
        const SceneText &scene = texts.at(k);
        const QVector<Character *> &cast = characterList->characters;
        QVector<int> present;
        for (int i = 0; i < std::min(int(s->counts.size()), int(cast.size())); ++i)
            if (s->counts.at(i) > 0)
                present.append(i);
        // The page a scene starts on is the last page mark before it; a mark within the scene
        // starts a later page.
        const TimeIndex *previous = k > 0 ? characterList->timeIndices.at(k - 1) : nullptr;
        const QString page = previous && !previous->pages.isEmpty()
                                 ? QString::number(previous->pages.last())
                                 : QString();
        text += csvRecord({QString::number(k + 1), page, number(s->start), number(s->stop),
                           scene.heading, scene.parts.setting, scene.parts.location,
                           scene.parts.timeOfDay, QString::number(scene.lineCount),
                           nameList(cast, scene.speeches), nameList(cast, present)});
    }
    return text.toUtf8();
}

FileError ScreenplayAnalysis::writeSceneBreakdown(const QString &fname)
{
    return saveOutput(fname, sceneBreakdown(), QStringLiteral("file not found"));
}

CharacterNetwork ScreenplayAnalysis::characterNetwork() const
{
    if (!characterList)
        return CharacterNetwork();
    QVector<QVector<int>> speeches;
    for (const SceneText &scene : sceneTexts())
        speeches.append(scene.speeches);
    return CharacterNetwork(*characterList, speeches);
}

QString ScreenplayAnalysis::edgeListName(const QString &graphmlName)
{
    QString base = graphmlName;
    if (base.endsWith(QLatin1String(".graphml"), Qt::CaseInsensitive))
        base.chop(int(qstrlen(".graphml")));
    return base + QStringLiteral("-edges.csv");
}

FileError ScreenplayAnalysis::writeCharacterNetwork(const QString &graphmlName)
{
    const CharacterNetwork network = characterNetwork();
    FileError error =
        saveOutput(graphmlName, network.graphml(), QStringLiteral("file not found"));
    if (error.isNull())
        error = saveOutput(edgeListName(graphmlName), network.edgeList(),
                              QStringLiteral("file not found"));
    return error;
}
