// SPDX-License-Identifier: MIT
#include "screenplayanalysis.h"

#include <QFile>

#include <tinyxml2.h>

#include <cstdio>

void ScreenplayAnalysis::findCharactersXML()
{
    tinyxml2::XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
    // The path in the file system's own encoding, so that any file name opens. A file that is
    // missing or not well formed leaves the document without elements.
    document.LoadFile(QFile::encodeName(fileName).constData());
    for (const tinyxml2::XMLElement *div = document.FirstChildElement("div"); div;
         div = div->NextSiblingElement("div")) {
        const char *style = div->Attribute("style");
        std::printf("found %s\n", style ? style : "");
    }
    std::puts("we're out");
    std::fflush(stdout);
}

QString ScreenplayAnalysis::createMarkUpXML()
{
    return QString();
}
