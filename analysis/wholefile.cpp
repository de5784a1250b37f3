// SPDX-License-Identifier: MIT
#include "wholefile.h"

#include <cstdio>

namespace {

void printLine(const QString &line)
{
    std::puts(line.toLocal8Bit().constData());
    std::fflush(stdout);
}

} // namespace

bool openWholeFile(QSaveFile &file, const QString &failureLine)
{
    if (file.open(QIODevice::WriteOnly))
        return true;
    printLine(failureLine.isEmpty() ? QStringLiteral("could not write ") + file.fileName()
                                    : failureLine);
    return false;
}

bool commitWholeFile(QSaveFile &file, const QByteArray &data)
{
    if (file.write(data) == data.size() && file.commit())
        return true;
    file.cancelWriting();
    printLine(QStringLiteral("could not write ") + file.fileName());
    return false;
}

bool saveWholeFile(const QString &path, const QByteArray &data, const QString &failureLine)
{
    QSaveFile file(path);
    return openWholeFile(file, failureLine) && commitWholeFile(file, data);
}
