// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Why an operation on a file failed: the file, what went wrong, and the reason the system or the
// file's format gave. The analysis returns it and never shows it; the window puts it in its
// message area and plotloom-batch on standard error. A default value means nothing failed.
struct FileError {
    QString path;
    // What went wrong, as it reads after the file's name: "cannot be read", "is empty".
    QString problem;
    // "Permission denied", "No space left on device", "XML error at line 3"; may be empty.
    QString reason;

    bool isNull() const { return problem.isEmpty(); }
    // "PATH PROBLEM: REASON"; with nameOnly, the file's name stands for its path.
    QString message(bool nameOnly = false) const;
    // The problem and the reason without the file, for a line that names the file already.
    QString withoutPath() const;

    static FileError notRead(const QString &path, const QString &reason);
    static FileError notWritten(const QString &path, const QString &reason);
};
