// SPDX-License-Identifier: MIT
#include "plotloom.h"

#include "ui_aboutdialog.h"

#include <QDialog>
#include <QUrl>
#include <QWebView>

namespace {

// The version pages live under this address; the version and ".html" complete it.
const char versionPagePrefix[] = "https://plotloom.org/about/";

QString credits()
{
    return QStringLiteral(
        "<p style='font-family: sans-serif'><b>Plotloom</b> was written by the Plotloom "
        "developers to show the structure of screenplays: who speaks, where the scenes fall and "
        "how the characters' threads run through the story. This application is under "
        "development and is meant for educational and evaluation purposes only. "
        "&copy; 2026 The Plotloom developers. Released under the MIT licence; all other rights "
        "reserved by their holders.</p>");
}

} // namespace

void Plotloom::About()
{
    QDialog dialog;
    Ui_AboutDialog form;
    form.setupUi(&dialog);
    connect(form.pushButton, &QPushButton::clicked, &dialog, &QDialog::accept);
    const QString text = credits();
    form.webView->setHtml(text, QUrl());
    // The version page replaces the credits once it loads; without network the credits stay.
    connect(form.webView, &QWebView::loadFinished, &dialog, [view = form.webView, text](bool ok) {
        if (!ok)
            view->setHtml(text, QUrl());
    });
    form.webView->load(QUrl(QLatin1String(versionPagePrefix) + QString::number(majorVersion) +
                            QLatin1Char('-') + QString::number(minorVersion) +
                            QLatin1String(".html")));
    dialog.setWindowTitle(
        QStringLiteral("About Yarnwise Version: %1.%2").arg(majorVersion).arg(minorVersion));
    dialog.exec();
}
