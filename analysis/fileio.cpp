// SPDX-License-Identifier: MIT
#include "fileio.h"

#include <QTextCodec>

#include <cstdio>
#include <memory>

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

QStringList readTextLines(QIODevice &device)
{
    constexpr qint64 chunkSize = 1 << 18;
    // In text mode, carriage returns go after decoding, as a text stream drops them: a 0x0D byte
    // inside a UTF-16 unit or a broken UTF-8 sequence is not a carriage return.
    const bool textMode = device.isTextModeEnabled();
    device.setTextModeEnabled(false);
    QStringList lines;
    QByteArray bytes;
    std::unique_ptr<QTextDecoder> decoder;
    QString text;
    int from = 0;
    for (;;) {
        bytes.resize(int(chunkSize));
        const qint64 read = device.read(bytes.data(), chunkSize);
        if (read <= 0)
            break;
        bytes.resize(int(read));
        // The encoding is chosen once, from the first bytes, as a text stream chooses it.
        if (!decoder)
            decoder.reset(
                QTextCodec::codecForUtfText(bytes, QTextCodec::codecForLocale())->makeDecoder());
        // The text kept from the last block holds no line feed; the search goes on after it.
        text.remove(0, from);
        from = 0;
        const int searched = text.size();
        QString decoded = decoder->toUnicode(bytes);
        if (textMode)
            decoded.remove(QLatin1Char('\r'));
        text += decoded;
        for (int end, next = searched; (end = text.indexOf(QLatin1Char('\n'), next)) >= 0;
             from = next = end + 1) {
            const bool cr = end > from && text.at(end - 1) == QLatin1Char('\r');
            lines.append(text.mid(from, end - from - (cr ? 1 : 0)));
        }
    }
    if (from < text.size()) {
        const bool cr = text.endsWith(QLatin1Char('\r'));
        lines.append(text.mid(from, text.size() - from - (cr ? 1 : 0)));
    }
    device.setTextModeEnabled(textMode);
    return lines;
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
