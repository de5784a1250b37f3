// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

// Every file the program writes goes through these, so that a failed or interrupted write leaves
// the previous file intact. Each failure prints one line on standard output.

// Opens file for writing; on failure prints failureLine, or a line naming the file.
bool openWholeFile(QSaveFile &file, const QString &failureLine = QString());
// Writes data and replaces the target with it; on failure prints a line naming the file.
bool commitWholeFile(QSaveFile &file, const QByteArray &data);
// Both steps at once.
bool saveWholeFile(const QString &path, const QByteArray &data,
                   const QString &failureLine = QString());
