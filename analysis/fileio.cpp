// SPDX-License-Identifier: MIT
#include "fileio.h"

#include "filenamecodec.h"

#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QTextCodec>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

void printLine(const QString &line)
{
    std::puts(line.toLocal8Bit().constData());
    std::fflush(stdout);
}

FileError openForReading(QFile &file)
{
    const QString path = file.fileName();
    if (path.isEmpty())
        return FileError::notRead(path, QStringLiteral("no file name was given"));
    // Opened without blocking, so that a named pipe with no writer cannot hold the program, and
    // checked on the open descriptor, so that what is read is what was checked.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return FileError::notRead(path, QString::fromLocal8Bit(std::strerror(errno)));
    struct stat status {};
    FileError error;
    if (::fstat(fd, &status) != 0)
        error = FileError::notRead(path, QString::fromLocal8Bit(std::strerror(errno)));
    else if (S_ISDIR(status.st_mode))
        error = {path, QStringLiteral("is a folder"), QString()};
    else if (!S_ISREG(status.st_mode))
        error = {path, QStringLiteral("is not a regular file"),
                 QStringLiteral("pipes, devices and sockets are not read")};
    else if (status.st_size > maxReadBytes)
        error = {path, QStringLiteral("is too large"),
                 QStringLiteral("%1 MB, more than the %2 MB read at most")
                     .arg(status.st_size >> 20)
                     .arg(maxReadBytes >> 20)};
    else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 ||
             !file.open(fd, QIODevice::ReadOnly | QIODevice::Text, QFileDevice::AutoCloseHandle))
        error = FileError::notRead(path, file.errorString());
    else
        return {};
    ::close(fd);
    return error;
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
                QTextCodec::codecForUtfText(bytes, localeTextCodec())->makeDecoder());
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
    if (!openForReading(file).isNull())
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

namespace {

// Writes all of data, as often as the file takes only a part: a full disk first takes what fits
// without a word, and only the next write fails with the system's reason.
bool writeAll(QFileDevice &file, const QByteArray &data)
{
    for (qint64 done = 0; done < data.size();) {
        const qint64 written = file.write(data.constData() + done, data.size() - done);
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

// Why path cannot take a new file: a folder, a device, a pipe or a socket there (reached through
// links) would be replaced by one, or would block.
QString unwritableTarget(const QString &path)
{
    if (path.isEmpty())
        return QStringLiteral("no file name was given");
    const QFileInfo target(path);
    if (!target.exists() || target.isFile())
        return QString();
    return target.isDir() ? QStringLiteral("it is a folder")
                          : QStringLiteral("it is not a regular file");
}

// The path a file at path is written to: links resolved, and for a file that does not exist yet,
// its nearest existing folder resolved.
QString canonicalTarget(const QString &path)
{
    QFileInfo info(QFileInfo(path).absoluteFilePath());
    QString rest;
    while (!info.exists() && !info.isRoot() && !info.isSymLink()) {
        rest = QLatin1Char('/') + info.fileName() + rest;
        info = QFileInfo(info.absolutePath());
    }
    const QString canonical = info.canonicalFilePath();
    return (canonical.isEmpty() ? info.absoluteFilePath() : canonical) + rest;
}

} // namespace

QStringList findPathClash(const QStringList &inputs, const QStringList &outputs)
{
    QHash<QString, int> inputAt;
    for (int i = 0; i < inputs.size(); ++i)
        inputAt.insert(canonicalTarget(inputs.at(i)), i);
    QHash<QString, int> outputAt;
    for (int i = 0; i < outputs.size(); ++i) {
        const QString target = canonicalTarget(outputs.at(i));
        if (const auto input = inputAt.constFind(target); input != inputAt.cend())
            return {outputs.at(i), inputs.at(*input)};
        if (const auto other = outputAt.constFind(target); other != outputAt.cend())
            return {outputs.at(i), outputs.at(*other)};
        outputAt.insert(target, i);
    }
    return {};
}

FileError saveWholeFile(const QString &path, const QByteArray &data, const QString &failureLine)
{
    QString reason = unwritableTarget(path);
    if (reason.isEmpty()) {
        // Through a link, QSaveFile writes the file the link names and keeps the link.
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly) && writeAll(file, data) && file.commit())
            return {};
        reason = file.errorString();
        file.cancelWriting();
    }
    printLine(failureLine.isEmpty() ? QStringLiteral("could not write ") + path : failureLine);
    return FileError::notWritten(path, reason);
}
