// SPDX-License-Identifier: MIT
#include "modules.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>

QFunctionPointer moduleFunction(const char *module, const char *function)
{
    // The program's folder, also before the application object exists.
    const QString program = QCoreApplication::instance()
                                ? QCoreApplication::applicationFilePath()
                                : QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    // Only the folder that goes with the program, never one named at build time or by the
    // environment, which someone else may control.
    if (program.isEmpty())
        return nullptr;
    QLibrary library(QFileInfo(program).absolutePath() +
                     QStringLiteral("/../" PLOTLOOM_LIBDIR "/plotloom/") + QLatin1String(module));
    return library.resolve(function);
}
