// SPDX-License-Identifier: MIT
#include "screenplayanalysis.h"

#include <QFile>

#include <tinyxml2.h>

#include <cstdio>

void ScreenplayAnalysis::findCharactersXML()
{
    tinyxml2::XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
    // The path in the file system's own encoding, so that any file name opens. A file that is
    // missing or not well formed counts as a document without elements, even where the parser
    // kept the elements it had read before the error.
    const bool loaded =
        document.LoadFile(QFile::encodeName(fileName).constData()) == tinyxml2::XML_SUCCESS;
    for (const tinyxml2::XMLElement *div = loaded ? document.FirstChildElement("div") : nullptr;
         div; div = div->NextSiblingElement("div")) {
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
