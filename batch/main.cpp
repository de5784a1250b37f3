// SPDX-License-Identifier: MIT
#include "batchtool.h"
#include "glutsupport.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdio>
#include <memory>

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    // Drawing needs a display and a GL context; the statistics need neither, so a graphical
    // application is made only when images are asked for and a display is there.
    std::unique_ptr<QCoreApplication> app;
    const bool draw = arguments.contains(QStringLiteral("--image")) &&
                      (!qEnvironmentVariableIsEmpty("DISPLAY") ||
                       !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"));
    if (draw)
        app = std::make_unique<QApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("plotloom-batch"));
    if (draw)
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
