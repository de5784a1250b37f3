// SPDX-License-Identifier: MIT
#include "fileio.h"

#include <QTextCodec>

#include <algorithm>
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

namespace {

// Appends the lines of text that a line end closes, looking for line ends from searchFrom on,
// and returns where the text after the last of them starts. CR, LF and CR LF each end a line. A
// CR that ends the text may be the first half of a CR LF whose LF is still to come, so unless the
// text is all there is it stays for the next call.
int appendEndedLines(const QString &text, int searchFrom, bool atEnd, QStringList *lines)
{
    const QChar *const begin = text.constData();
    const QChar *const end = begin + text.size();
    const QChar *start = begin;
    for (const QChar *p = begin + searchFrom; p != end; ++p) {
        const ushort u = p->unicode();
        if (u != '\n' && u != '\r')
            continue;
        if (u == '\r' && p + 1 == end && !atEnd)
            break;
        lines->append(QString(start, int(p - start)));
        if (u == '\r' && p + 1 != end && p[1] == QLatin1Char('\n'))
            ++p;
        start = p + 1;
    }
    return int(start - begin);
}

} // namespace

QStringList splitTextLines(const QString &text)
{
    QStringList lines;
    const int rest = appendEndedLines(text, 0, true, &lines);
    if (rest < text.size())
        lines.append(text.mid(rest));
    return lines;
}

QStringList readTextLines(QIODevice &device)
{
    constexpr qint64 chunkSize = 1 << 18;
    // Line ends are found after decoding: a 0x0D or 0x0A byte inside a UTF-16 unit or a broken
    // UTF-8 sequence ends no line. Text mode would drop carriage returns that end lines.
    const bool textMode = device.isTextModeEnabled();
    device.setTextModeEnabled(false);
    QStringList lines;
    QByteArray bytes;
    std::unique_ptr<QTextDecoder> decoder;
    // The text after the last line end read so far.
    QString text;
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
        // The kept text holds no line end but perhaps a last CR; the search starts there.
        const int searched = std::max(0, int(text.size()) - 1);
        text += decoder->toUnicode(bytes);
        text.remove(0, appendEndedLines(text, searched, false, &lines));
    }
    lines += splitTextLines(text);
    device.setTextModeEnabled(textMode);
    return lines;
}

bool readSettingsLines(const QString &path, QStringList *lines)
{
    QFile file(path);
    if (!openForReading(file))
        return false;
    file.setTextModeEnabled(false);
    const QByteArray bytes = file.readAll();
    QTextCodec::ConverterState state;
    const QString text =
        QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    *lines = splitTextLines(
        state.invalidChars > 0 || state.remainingChars > 0 ? QString::fromLatin1(bytes) : text);
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
