// SPDX-License-Identifier: MIT
#include "filenamecodec.h"
#include "glutsupport.h"
#include "plotloom.h"

#include <QApplication>

int main(int argc, char **argv)
{
    // File names that are not UTF-8 are listed and opened as the system gives them.
    installFileNameCodec();
    QApplication app(argc, argv);
    // The window's size and layout are remembered under these names.
    QCoreApplication::setOrganizationName(QStringLiteral("Plotloom"));
    QCoreApplication::setApplicationName(QStringLiteral("plotloom"));
    ensureGlutInitialized();
    Plotloom window;
    window.show();
    return app.exec();
}
