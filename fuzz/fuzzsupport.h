// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

// Every target works in one temporary folder made current, so the settings files the analysis
// reads by relative name are the fuzzer's own.
inline QString fuzzFolder()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static QTemporaryDir dir;
    static const bool entered = QDir::setCurrent(dir.path());
    Q_UNUSED(entered);
    return dir.path();
}

// Writes the input as the named file in the fuzz folder and returns its path.
inline QString writeInput(const QString &name, const uint8_t *data, size_t size)
{
    const QString path = fuzzFolder() + QLatin1Char('/') + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    return path;
}
