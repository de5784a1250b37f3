// SPDX-License-Identifier: MIT
#include "fileio.h"

#include <QTextCodec>

#include <cstdio>

namespace {

void printLine(const QString &line)
{
    std::puts(line.toLocal8Bit().constData());
    std::fflush(stdout);
}

NotWrittenHandler &notWrittenHandler()
{
    static NotWrittenHandler handler;
    return handler;
}

} // namespace

void setNotWrittenHandler(NotWrittenHandler handler)
{
    notWrittenHandler() = std::move(handler);
}

void reportNotWritten(const QString &path, const QString &reason, const QString &line)
{
    printLine(line);
    if (!path.isEmpty() && notWrittenHandler())
        notWrittenHandler()(path, reason);
}

bool openForReading(QFile &file)
{
    return !file.fileName().isEmpty() && file.open(QIODevice::ReadOnly | QIODevice::Text);
}

bool readSettingsLines(const QString &path, QStringList *lines)
{
    QFile file(path);
    if (!openForReading(file))
        return false;
    // Text mode drops every CR, as a text stream would, so CR LF ends a line like LF.
    const QByteArray bytes = file.readAll();
    QTextCodec::ConverterState state;
    QString text =
        QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars > 0 || state.remainingChars > 0)
        text = QString::fromLatin1(bytes);
    *lines = text.split(QLatin1Char('\n'));
    // The final line feed ends the last line rather than opening an empty one.
    if (lines->last().isEmpty())
        lines->removeLast();
    return true;
}

bool openWholeFile(QSaveFile &file, const QString &failureLine)
{
    // An empty name (a cancelled file dialog) would otherwise open and fail only at commit.
    if (!file.fileName().isEmpty() && file.open(QIODevice::WriteOnly))
        return true;
    reportNotWritten(file.fileName(), file.errorString(),
                     failureLine.isEmpty() ? QStringLiteral("could not write ") + file.fileName()
                                           : failureLine);
    return false;
}

bool commitWholeFile(QSaveFile &file, const QByteArray &data)
{
    if (file.write(data) == data.size() && file.commit())
        return true;
    const QString reason = file.errorString();
    file.cancelWriting();
    reportNotWritten(file.fileName(), reason, QStringLiteral("could not write ") + file.fileName());
    return false;
}

bool saveWholeFile(const QString &path, const QByteArray &data, const QString &failureLine)
{
    QSaveFile file(path);
    return openWholeFile(file, failureLine) && commitWholeFile(file, data);
}
