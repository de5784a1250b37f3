// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>
#include <QStringList>

#include <functional>

// Opens a settings file or screenplay for reading as text; an empty name (a cancelled file
// dialog) fails quietly like a missing file.
bool openForReading(QFile &file);

// The lines of a text: CR, LF and CR LF each end a line, mixed as they come, and are not part of
// it; the text after the last line end is a line when it is not empty.
QStringList splitTextLines(const QString &text);

// Reads the lines of an open device as splitTextLines splits them, decoded with the locale's
// encoding, or the Unicode encoding a byte-order mark names (the mark left out).
QStringList readTextLines(QIODevice &device);

// Reads a settings file into its lines as splitTextLines splits them:
// as UTF-8 when the bytes are valid UTF-8, otherwise as Latin-1, so that files written by older
// versions in Latin-1 still load. False when the file cannot be opened.
bool readSettingsLines(const QString &path, QStringList *lines);

// Every file the program writes goes through these, so that a failed or interrupted write leaves
// the previous file intact. Each failure prints one line on standard output and, unless the name
// is empty (a cancelled file dialog), is passed to the not-written handler.

// Receives the path and the reason of every file that was not written; the window shows them.
using NotWrittenHandler = std::function<void(const QString &path, const QString &reason)>;
// Replaces the handler; an empty one (the default) receives nothing.
void setNotWrittenHandler(NotWrittenHandler handler);
// Reports a file that was not written: line on standard output, then path and reason to the
// handler.
void reportNotWritten(const QString &path, const QString &reason, const QString &line);

// Opens file for writing; on failure prints failureLine, or a line naming the file.
bool openWholeFile(QSaveFile &file, const QString &failureLine = QString());
// Writes data and replaces the target with it; on failure prints a line naming the file.
bool commitWholeFile(QSaveFile &file, const QByteArray &data);
// Both steps at once.
bool saveWholeFile(const QString &path, const QByteArray &data,
                   const QString &failureLine = QString());
