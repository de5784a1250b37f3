// SPDX-License-Identifier: MIT
#pragma once

#include "fileerror.h"

#include <QString>
#include <QVector>

class ScreenplayAnalysis;

// The exports a screenplay can have written beside it.
struct ExportChoice {
    bool sceneStats = false;
    bool characterStats = false;
    bool markup = false;
    bool breakdown = false;
    bool network = false;
};

// One screenplay in, its exports out: the window's Automate and plotloom-batch both run it with
// the settings of the working folder. Each export is named after a base path (the screenplay's own
// path, or the same name in another folder) with its suffix.
class ScreenplayJob {
public:
    explicit ScreenplayJob(ScreenplayAnalysis &analysis) : m_analysis(analysis) {}

    // Opens, reads and discovers the screenplay as Open File does once the file is chosen. A file
    // that is no screenplay at all (see checkScreenplayFile) is refused before anything changes.
    FileError open(const QString &path);
    // Whether the last open replaced the screenplay in the analysis, even with an error (a
    // Final Draft file that is not well formed, say).
    bool opened() const { return m_opened; }
    // Builds the model with "config.txt" read again, as Parse does.
    void parse();
    // Writes the chosen exports of the parsed screenplay; returns every failure, in order.
    QVector<FileError> writeExports(const QString &base, const ExportChoice &choice);

    static QString sceneStatsName(const QString &base)
    {
        return base + QStringLiteral("-scene.csv");
    }
    static QString characterStatsName(const QString &base)
    {
        return base + QStringLiteral("-character.csv");
    }
    static QString markupName(const QString &base) { return base + QStringLiteral(".html"); }
    static QString breakdownName(const QString &base)
    {
        return base + QStringLiteral("-breakdown.csv");
    }
    static QString networkName(const QString &base) { return base + QStringLiteral(".graphml"); }
    static QString imageName(const QString &base) { return base + QStringLiteral(".png"); }
    // Every file writeExports may write for base, in its order.
    static QStringList exportNames(const QString &base, const ExportChoice &choice);

private:
    ScreenplayAnalysis &m_analysis;
    bool m_opened = false;
};
