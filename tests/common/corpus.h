// SPDX-License-Identifier: MIT
#pragma once

#include <QDir>
#include <QString>
#include <QStringList>

// The folder of real screenplays beside the repository, and the files in it.
inline QString corpusDir()
{
    return QStringLiteral(PLOTLOOM_CORPUS);
}

inline QString corpusFile(const QString &name)
{
    return corpusDir() + QLatin1Char('/') + name;
}

inline QStringList corpusScreenplays()
{
    QStringList files;
    const QDir dir(corpusDir());
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name))
        if (!name.endsWith(QLatin1String(".md")))
            files.append(dir.filePath(name));
    return files;
}

// Skips the calling test when the corpus is not beside the repository.
#define REQUIRE_CORPUS()                                                                           \
    do {                                                                                           \
        if (!QDir(corpusDir()).exists())                                                           \
            QSKIP("the screenplay corpus is not available");                                       \
    } while (false)
