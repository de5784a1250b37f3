// SPDX-License-Identifier: MIT
#pragma once

#include <QDir>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// The folder of real screenplays, from PLOTLOOM_CORPUS (CTest sets it from the CMake cache), so
// that the same binaries run with the corpus present or absent.
inline QString corpusDir()
{
    return qEnvironmentVariable("PLOTLOOM_CORPUS");
}

// Whether the corpus is there. A _data function adds its corpus rows only then, and otherwise one
// row that skips, so that the reason is given once.
inline bool hasCorpus()
{
    return !corpusDir().isEmpty() && QDir(corpusDir()).exists();
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

// Skips the calling test function (or, from a _data function, all its rows) when the corpus is
// missing, saying where it was looked for.
#define REQUIRE_CORPUS()                                                                           \
    do {                                                                                           \
        if (!hasCorpus())                                                                          \
            QSKIP(qPrintable(QStringLiteral("the screenplay corpus is not at \"%1\": configure "   \
                                            "with PLOTLOOM_CORPUS_DIR, or run the test with "      \
                                            "PLOTLOOM_CORPUS, set to its folder")                  \
                                 .arg(corpusDir())));                                              \
    } while (false)
