// SPDX-License-Identifier: MIT
// A text reads as the same lines whichever line ends it uses: the input with every line end made
// LF, CR and CR LF in turn gives the same lines, as a screenplay and as a settings file. A
// difference aborts.
#include "fileio.h"
#include "fuzzsupport.h"

#include <QBuffer>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString text = QString::fromLatin1(reinterpret_cast<const char *>(data), int(size));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList expected;
    for (const char *end : {"\n", "\r", "\r\n"}) {
        QByteArray bytes = QString(text).replace(QLatin1Char('\n'), QLatin1String(end)).toUtf8();
        QBuffer device(&bytes);
        device.open(QIODevice::ReadOnly | QIODevice::Text);
        const QStringList lines = readTextLines(device);
        QStringList settings;
        readSettingsLines(writeInput(QStringLiteral("settings.txt"),
                                     reinterpret_cast<const uint8_t *>(bytes.constData()),
                                     size_t(bytes.size())),
                          &settings);
        if (expected.isEmpty() && *end == '\n')
            expected = lines;
        if (lines != expected || settings != expected)
            std::abort();
    }
    return 0;
}
