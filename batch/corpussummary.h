// SPDX-License-Identifier: MIT
#pragma once

#include "fileerror.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QVector>

class ScreenplayAnalysis;

// The figures of many screenplays added up per character name, for plotloom-batch --summary.
class CorpusSummary {
public:
    struct Role {
        QString name;
        int instances = 0;
        int scenes = 0;
    };
    // What one parsed screenplay adds.
    struct Screenplay {
        QString name;
        int characters = 0;
        int scenes = 0;
        int lines = 0;
        // The characters with at least one speaker line or cue, and the number of those lines.
        int speakers = 0;
        int speeches = 0;
        QVector<Role> cast;
    };

    static Screenplay figuresOf(const QString &name, const ScreenplayAnalysis &analysis);
    // The figures as worker processes hand them to the parent, and back.
    static QJsonObject toJson(const Screenplay &screenplay);
    static Screenplay fromJson(const QJsonObject &object);

    // One row per character name, in the order of first appearance: the screenplays it appears
    // in, its total instances and scenes, the first and the last of those screenplays.
    QByteArray totals() const;
    // One row per screenplay: characters, scenes, lines, speakers, speeches.
    QByteArray files() const;
    // The name of the per-screenplay file beside a summary: totals.csv gives totals-files.csv.
    static QString filesName(const QString &summaryName);
    // Writes the totals to path and the per-screenplay figures beside it; returns each failure.
    QVector<FileError> write(const QString &path) const;

    // In the order the screenplays were given.
    QVector<Screenplay> screenplays;
};
