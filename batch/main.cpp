// SPDX-License-Identifier: MIT
#include "batchtool.h"
#include "filenamecodec.h"

#include <QCoreApplication>

#include <cstdio>
#include <memory>

int main(int argc, char **argv)
{
    // File names that are not UTF-8 are taken as the system gives them.
    installFileNameCodec();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    // Drawing needs an X display and a GL context; the statistics need neither.
    const std::unique_ptr<QCoreApplication> app =
        batchApplication(argc, argv, arguments.contains(QStringLiteral("--image")));
    QCoreApplication::setApplicationName(QStringLiteral("plotloom-batch"));

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
