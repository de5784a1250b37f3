// SPDX-License-Identifier: MIT
#include "fileerror.h"

#include <QFileInfo>

QString FileError::message(bool nameOnly) const
{
    const QString name = nameOnly ? QFileInfo(path).fileName() : path;
    return name + QLatin1Char(' ') + withoutPath();
}

QString FileError::withoutPath() const
{
    return reason.isEmpty() ? problem : problem + QStringLiteral(": ") + reason;
}

FileError FileError::notRead(const QString &path, const QString &reason)
{
    return {path, QStringLiteral("cannot be read"), reason};
}

FileError FileError::notWritten(const QString &path, const QString &reason)
{
    return {path, QStringLiteral("cannot be written"), reason};
}
