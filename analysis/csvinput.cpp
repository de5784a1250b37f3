// SPDX-License-Identifier: MIT
#include "screenplayanalysis.h"

#include <QtMath>

#include <algorithm>

namespace {

// The names of a row's quoted character list; no list unless the row holds exactly two quotes.
QStringList rowNames(const QString &row)
{
    const QStringList parts = row.split(QLatin1Char('"'), Qt::KeepEmptyParts);
    if (parts.size() != 3)
        return {};
    QString list = parts.at(1);
    for (const QChar c : {QLatin1Char('"'), QLatin1Char('['), QLatin1Char(']'), QLatin1Char('\''),
                          QLatin1Char(' ')})
        list.remove(c);
    return list.split(QLatin1Char(','), Qt::KeepEmptyParts);
}

bool hasNames(const QString &row)
{
    return row.count(QLatin1Char('"')) == 2;
}

// A time field; anything that is not a finite number reads as 0.
float timeField(const QStringList &fields, int index)
{
    bool ok = false;
    const float value = fields.value(index).toFloat(&ok);
    return ok && qIsFinite(value) ? value : 0.0f;
}

} // namespace

void ScreenplayAnalysis::findCharactersCSV()
{
    const auto met = characterAdder();
    for (int i = 0; i < lines.size(); ++i) {
        if (progressCanceled())
            break;
        setProgressValue(i);
        setProgressTitle(QStringLiteral("Finding characters: ") +
                         QString::number(characters.size()));
        if (!hasNames(lines.at(i)))
            continue;
        for (const QString &name : rowNames(lines.at(i))) {
            Character *c = met({name});
            ++c->numInstances;
            for (const Character *included : qAsConst(includeCharacters)) {
                if (included->names == c->names) {
                    c->color = included->color;
                    c->colorSet = true;
                }
            }
        }
    }
    dropRareCharacters();
    std::stable_sort(characters.begin(), characters.end(), CharacterSort());
    colorCharacters();
}

QString ScreenplayAnalysis::createMarkUpCSV()
{
    QString result;
    const Qt::CaseSensitivity cs = matchCase();
    float start = 0.0f;
    float end = 0.0f;
    for (int i = 0; i < lines.size(); ++i) {
        if (progressCanceled())
            break;
        setProgressValue(i);
        const QString &row = lines.at(i);
        if (row.contains(QLatin1String("BREAK")))
            continue;
        const QStringList fields =
            row.section(QLatin1Char('"'), 0, 0).split(QLatin1Char(','), Qt::KeepEmptyParts);
        start = timeField(fields, 0);
        end = start + timeField(fields, 1);

        TimeIndex *fight = characterList->openScene(start, QStringLiteral("fight"));
        if (hasNames(row)) {
            for (const QString &name : rowNames(row)) {
                // The last character the name matches; only those the index offers can.
                int j = -1;
                for (const int k : mentionCandidates(name))
                    if (!characters.at(k)->match({name}, 0, cs, looseMatch).isEmpty())
                        j = k;
                if (j >= 0 && j < fight->counts.size())
                    ++fight->counts[j];
            }
        }
        characterList->openScene(end, QStringLiteral("break"));
        result += row + QLatin1String("<br>");
    }
    characterList->openScene(end, QStringLiteral("end"))->stop = end;

    // Positions become fractions of the timeline; a timeline without a finite range keeps its
    // times rather than dividing by zero.
    const QVector<TimeIndex *> &scenes = characterList->timeIndices;
    const float first = scenes.first()->start;
    const float range = scenes.last()->stop - first;
    if (range != 0.0f && qIsFinite(range)) {
        for (TimeIndex *s : scenes) {
            s->start = (s->start - first) / range;
            s->stop = (s->stop - first) / range;
        }
    }
    return result;
}
