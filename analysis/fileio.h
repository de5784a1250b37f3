// SPDX-License-Identifier: MIT
#pragma once

#include "fileerror.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

// Prints one diagnostic line on standard output, where the program's fixed messages go.
void printLine(const QString &line);

// The largest file read as a screenplay or settings file, far above any real screenplay (a long
// feature is under 1 MB as text, some 20 MB as a PDF), so that a runaway file is refused before
// it fills the memory.
constexpr qint64 maxReadBytes = qint64(256) << 20;

// Opens a settings file or screenplay for reading as text, and says why not: no name (a cancelled
// file dialog), a file the system will not open, anything but a regular file (a folder, or a pipe
// or device, which would block or never end) and a file over maxReadBytes. The file is opened
// without waiting, so a pipe is refused at once.
FileError openForReading(QFile &file);

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

// The first output of a run that would write over one of its inputs, or over another of its
// outputs, and the file it clashes with; empty when there is none. Paths are compared as the
// files they reach: links resolved, and an output that does not exist yet by its folder.
QStringList findPathClash(const QStringList &inputs, const QStringList &outputs);

// Writes data to path whole, through a QSaveFile, so that a failed or interrupted write leaves the
// previous file intact. On failure prints failureLine (or "could not write PATH") on standard
// output and returns why; an empty path (a cancelled file dialog) fails the same way. A path that
// is, or links to, anything but a regular file (a folder, a device, a pipe) is left alone.
FileError saveWholeFile(const QString &path, const QByteArray &data,
                        const QString &failureLine = QString());
