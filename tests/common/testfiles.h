// SPDX-License-Identifier: MIT
#pragma once

#include <QFile>
#include <QtTest>

// Writes a file whole, replacing it; a failed write fails the test. Returns the path.
inline QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        QTest::qFail(qPrintable("cannot write " + path), __FILE__, __LINE__);
    return path;
}

// A file's bytes, or "<missing>" when it cannot be read.
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
