// SPDX-License-Identifier: MIT
#include "plotloom.h"

#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>

namespace {

constexpr char exampleName[] = "the-night-ferry.txt";

// Where the example screenplay is: the working folder (the run script starts there), or the
// examples folder of the sources the program was built in.
QString exampleScreenplay()
{
    const QString here = QDir::current().absoluteFilePath(QLatin1String(exampleName));
    if (QFileInfo(here).isFile())
        return here;
    const QString built =
        QDir(QCoreApplication::applicationDirPath())
            .absoluteFilePath(QStringLiteral("../../examples/") + QLatin1String(exampleName));
    return QFileInfo(built).isFile() ? QFileInfo(built).canonicalFilePath() : QString();
}

} // namespace

QString Plotloom::welcomePage() const
{
    QString page = QStringLiteral(
        "<body style=\"white-space: normal; font-family: sans-serif; font-size: 13px; "
        "color: #707070; margin: 24px\">");
    if (analysis.fileName.isEmpty()) {
        page += tr("<p style=\"font-size: 16px\">No screenplay is open.</p>"
                   "<p>Open one with File &gt; Open File (Ctrl+O), or drop a screenplay file on "
                   "this window.</p>"
                   "<p>Plotloom reads plain-text and HTML screenplays, Fountain (.fountain), Final "
                   "Draft (.fdx) and PDF screenplays, CSV timelines (.csv) and XML files "
                   "(.xml).</p>");
        const QString example = exampleScreenplay();
        page += example.isEmpty()
                    ? tr("<p>The examples folder of Plotloom's sources holds a short screenplay to "
                         "try, %1.</p>")
                          .arg(QLatin1String(exampleName))
                    : tr("<p>A short screenplay to try: %1</p>")
                          .arg(QDir::toNativeSeparators(example).toHtmlEscaped());
    } else {
        page += tr("<p>%1 gave no text to show; the message above says why.</p>")
                    .arg(QFileInfo(analysis.fileName).fileName().toHtmlEscaped());
    }
    return page + QStringLiteral("</body>");
}

QStringList Plotloom::droppedFiles(const QMimeData *data)
{
    QStringList files;
    if (data)
        for (const QUrl &url : data->urls())
            if (url.isLocalFile())
                files.append(url.toLocalFile());
    return files;
}

void Plotloom::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Plotloom::dropEvent(QDropEvent *event)
{
    const QStringList files = droppedFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    // From the event loop, so that the application that dragged the file is not kept waiting.
    QTimer::singleShot(0, this, [this, files] {
        whenIdle([this, files] {
            if (openAndParse(files.first()) && files.size() > 1)
                statusBar()->showMessage(tr("One screenplay is open at a time: the first file "
                                            "dropped is open, the other %1 are not.")
                                             .arg(files.size() - 1),
                                         messageTimeout);
        });
    });
}
