// SPDX-License-Identifier: MIT
#include "screenplayanalysis.h"

#include <QFile>
#include <QTextStream>

void ScreenplayAnalysis::readFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        lines.append(QStringLiteral("file not found\n"));
        return;
    }
    QTextStream in(&file);
    const QString indent(16, QLatin1Char(' '));
    QString line;
    while (in.readLineInto(&line)) {
        // A speaker element becomes its bare name, indented deeper than any action line.
        if (line.startsWith(QLatin1String("<speaker"))) {
            const QString inner = line.split(QStringLiteral("<center><b>")).last();
            line = indent + inner.split(QStringLiteral("</b></center>")).first();
        }
        line.replace(QLatin1Char('\t'), QLatin1String("    "));
        // A blank after every tag makes the text that follows it a word of its own.
        line.replace(QLatin1Char('>'), QLatin1String("> "));
        // Neutralise the page's own font and heading styling so the view's styles apply.
        line.replace(QLatin1String("<font"), QLatin1String("<nofont"));
        line.replace(QLatin1String("</font>"), QLatin1String("</nofont>"));
        line.replace(QLatin1String("<h2"), QLatin1String("<noh2"));
        line.replace(QLatin1String("</h2>"), QLatin1String("</noh2>"));
        line.replace(QLatin1String("font-size"), QLatin1String("no-font-size"));
        lines.append(line);
    }
    titleChanged(QStringLiteral("Yarnwise : ") + fileName.mid(fileName.lastIndexOf('/') + 1));
}
