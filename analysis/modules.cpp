// SPDX-License-Identifier: MIT
#include "modules.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>

QFunctionPointer moduleFunction(const char *module, const char *function)
{
    // The program's folder, also before the application object exists.
    const QString program = QCoreApplication::instance()
                                ? QCoreApplication::applicationFilePath()
                                : QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    QStringList folders;
    if (!program.isEmpty())
        folders.append(QFileInfo(program).absolutePath() +
                       QStringLiteral("/../" PLOTLOOM_LIBDIR "/plotloom"));
    folders.append(QStringLiteral(PLOTLOOM_BUILD_MODULE_DIR));
    for (const QString &folder : qAsConst(folders)) {
        QLibrary library(folder + QLatin1Char('/') + QLatin1String(module));
        if (const QFunctionPointer found = library.resolve(function))
            return found;
    }
    return nullptr;
}
