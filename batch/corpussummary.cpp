// SPDX-License-Identifier: MIT
#include "corpussummary.h"

#include "csvrecord.h"
#include "fileio.h"
#include "screenplayanalysis.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QSet>

CorpusSummary::Screenplay CorpusSummary::figuresOf(const QString &name,
                                                   const ScreenplayAnalysis &analysis)
{
    Screenplay s;
    s.name = name;
    s.lines = analysis.lines.size();
    if (!analysis.characterList)
        return s;
    const CharacterList &list = *analysis.characterList;
    s.characters = list.characters.size();
    s.scenes = list.timeIndices.size();
    QSet<int> speaking;
    for (const SceneText &scene : analysis.sceneTexts()) {
        for (const int i : scene.speeches)
            speaking.insert(i);
        s.speeches += scene.speeches.size();
    }
    s.speakers = speaking.size();
    for (int i = 0; i < list.characters.size(); ++i) {
        Role role;
        role.name = list.characters.at(i)->names.join(QLatin1Char(' '));
        role.instances = list.characters.at(i)->numInstances;
        for (const TimeIndex *scene : list.timeIndices)
            role.scenes += scene->counts.value(i) != 0;
        s.cast.append(role);
    }
    return s;
}

QJsonObject CorpusSummary::toJson(const Screenplay &s)
{
    QJsonArray cast;
    for (const Role &role : s.cast)
        cast.append(QJsonArray{role.name, role.instances, role.scenes});
    return QJsonObject{{QStringLiteral("name"), s.name},
                       {QStringLiteral("characters"), s.characters},
                       {QStringLiteral("scenes"), s.scenes},
                       {QStringLiteral("lines"), s.lines},
                       {QStringLiteral("speakers"), s.speakers},
                       {QStringLiteral("speeches"), s.speeches},
                       {QStringLiteral("cast"), cast}};
}

CorpusSummary::Screenplay CorpusSummary::fromJson(const QJsonObject &o)
{
    Screenplay s;
    s.name = o.value(QStringLiteral("name")).toString();
    s.characters = o.value(QStringLiteral("characters")).toInt();
    s.scenes = o.value(QStringLiteral("scenes")).toInt();
    s.lines = o.value(QStringLiteral("lines")).toInt();
    s.speakers = o.value(QStringLiteral("speakers")).toInt();
    s.speeches = o.value(QStringLiteral("speeches")).toInt();
    for (const QJsonValue &entry : o.value(QStringLiteral("cast")).toArray()) {
        const QJsonArray fields = entry.toArray();
        s.cast.append({fields.at(0).toString(), fields.at(1).toInt(), fields.at(2).toInt()});
    }
    return s;
}

QByteArray CorpusSummary::totals() const
{
    struct Total {
        int screenplays = 0;
        int instances = 0;
        int scenes = 0;
        QString first;
        QString last;
    };
    QStringList order;
    QHash<QString, Total> totals;
    for (const Screenplay &s : screenplays) {
        for (const Role &role : s.cast) {
            auto found = totals.find(role.name);
            if (found == totals.end()) {
                order.append(role.name);
                found = totals.insert(role.name, Total());
                found->first = s.name;
            }
            // Names are unique within a screenplay, so each role is one more screenplay.
            ++found->screenplays;
            found->instances += role.instances;
            found->scenes += role.scenes;
            found->last = s.name;
        }
    }
    QString text = csvRecord({QStringLiteral("Character"), QStringLiteral("Screenplays"),
                              QStringLiteral("Instances"), QStringLiteral("Scenes"),
                              QStringLiteral("First"), QStringLiteral("Last")});
    for (const QString &name : qAsConst(order)) {
        const Total &t = totals[name];
        text += csvRecord({name, QString::number(t.screenplays), QString::number(t.instances),
                           QString::number(t.scenes), t.first, t.last});
    }
    return text.toUtf8();
}

QByteArray CorpusSummary::files() const
{
    QString text = csvRecord({QStringLiteral("Screenplay"), QStringLiteral("Characters"),
                              QStringLiteral("Scenes"), QStringLiteral("Lines"),
                              QStringLiteral("Speakers"), QStringLiteral("Speeches")});
    for (const Screenplay &s : screenplays)
        text += csvRecord({s.name, QString::number(s.characters), QString::number(s.scenes),
                           QString::number(s.lines), QString::number(s.speakers),
                           QString::number(s.speeches)});
    return text.toUtf8();
}

QString CorpusSummary::filesName(const QString &summaryName)
{
    QString base = summaryName;
    if (base.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        base.chop(int(qstrlen(".csv")));
    return base + QStringLiteral("-files.csv");
}

QVector<FileError> CorpusSummary::write(const QString &path) const
{
    QVector<FileError> errors;
    for (const FileError &error :
         {saveWholeFile(path, totals()), saveWholeFile(filesName(path), files())})
        if (!error.isNull())
            errors.append(error);
    return errors;
}
