// SPDX-License-Identifier: MIT
#include "glutsupport.h"
#include "plotloom.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ensureGlutInitialized();
    Plotloom window;
    window.show();
    return app.exec();
}
