// SPDX-License-Identifier: MIT
#include "batchtool.h"
#include "glutsupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLoggingCategory>

#include <cstdio>
#include <memory>

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    // Drawing needs an X display and a GL context; the statistics need neither. Images are drawn
    // on the X display that DISPLAY names, whatever platform the environment asks for. When that
    // display cannot be reached, Qt falls back to the offscreen platform instead of ending the
    // process, and the tool says that no images are written and writes the rest.
    std::unique_ptr<QCoreApplication> app;
    if (arguments.contains(QStringLiteral("--image")) && !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb;offscreen");
        // The tool's own message replaces what Qt says about the failed connection.
        QLoggingCategory::setFilterRules(QStringLiteral("qt.qpa.*=false"));
        app = std::make_unique<QApplication>(argc, argv);
        QLoggingCategory::setFilterRules(QString());
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("plotloom-batch"));
    if (batchCanDraw())
        ensureGlutInitialized();

    BatchOptions options;
    QString message;
    BatchStatus status = BatchOk;
    if (!parseBatchArguments(arguments, &options, &message, &status)) {
        if (status == BatchOk) {
            std::printf("%s\n", qPrintable(message));
            return BatchOk;
        }
        std::fprintf(stderr, "plotloom-batch: %s\nTry 'plotloom-batch --help'.\n",
                     qPrintable(message));
        return status;
    }
    return runBatch(options, QCoreApplication::applicationFilePath());
}
