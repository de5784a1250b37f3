// SPDX-License-Identifier: MIT
#include "screenplayjob.h"

#include "screenplayanalysis.h"

FileError ScreenplayJob::open(const QString &path)
{
    m_opened = false;
    if (const FileError error = ScreenplayAnalysis::checkScreenplayFile(path); !error.isNull())
        return error;
    m_opened = true;
    return m_analysis.openScreenplay(path);
}

void ScreenplayJob::parse()
{
    m_analysis.loadSettings();
    m_analysis.buildModel();
}

QVector<FileError> ScreenplayJob::writeExports(const QString &base, const ExportChoice &choice)
{
    QVector<FileError> errors;
    const auto check = [&errors](const FileError &error) {
        if (!error.isNull())
            errors.append(error);
    };
    if (choice.sceneStats)
        check(m_analysis.writeSceneStats(sceneStatsName(base)));
    if (choice.characterStats)
        check(m_analysis.writeCharacterStats(characterStatsName(base)));
    if (choice.markup)
        check(m_analysis.writeMarkup(markupName(base)));
    if (choice.breakdown)
        check(m_analysis.writeSceneBreakdown(breakdownName(base)));
    if (choice.network)
        check(m_analysis.writeCharacterNetwork(networkName(base)));
    return errors;
}

QStringList ScreenplayJob::exportNames(const QString &base, const ExportChoice &choice)
{
    QStringList names;
    if (choice.sceneStats)
        names.append(sceneStatsName(base));
    if (choice.characterStats)
        names.append(characterStatsName(base));
    if (choice.markup)
        names.append(markupName(base));
    if (choice.breakdown)
        names.append(breakdownName(base));
    if (choice.network)
        names << networkName(base) << ScreenplayAnalysis::edgeListName(networkName(base));
    return names;
}
