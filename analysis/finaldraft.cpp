// SPDX-License-Identifier: MIT
#include "finaldraft.h"

#include <tinyxml2.h>

#include <cstring>

namespace {

using Layout = ScreenplayLayout;
using tinyxml2::XMLElement;

enum class Kind { Heading, Shot, Action, Cue, Dialogue, Parenthetical, Transition, Centred };

Kind kindOf(const char *type)
{
    struct Named {
        const char *type;
        Kind kind;
    };
    static constexpr Named kinds[] = {{"Scene Heading", Kind::Heading},
                                      {"Shot", Kind::Shot},
                                      {"Character", Kind::Cue},
                                      {"Dialogue", Kind::Dialogue},
                                      {"Parenthetical", Kind::Parenthetical},
                                      {"Transition", Kind::Transition},
                                      {"New Act", Kind::Centred},
                                      {"End of Act", Kind::Centred}};
    for (const Named &named : kinds)
        if (type && std::strcmp(type, named.type) == 0)
            return named.kind;
    return Kind::Action;
}

// The text of a paragraph: its Text runs joined, white space collapsed. Only the paragraph's own
// runs count; those of its dual dialogue belong to the paragraphs inside it.
QString paragraphText(const XMLElement *paragraph)
{
    QByteArray text;
    for (const XMLElement *run = paragraph->FirstChildElement("Text"); run;
         run = run->NextSiblingElement("Text"))
        for (const tinyxml2::XMLNode *node = run->FirstChild(); node; node = node->NextSibling())
            if (node->ToText())
                text += node->Value();
    return QString::fromUtf8(text).simplified();
}

class Reader {
public:
    Layout layout;

    void readParagraph(const XMLElement *paragraph)
    {
        const QString text = paragraphText(paragraph);
        if (!text.isEmpty())
            layOut(kindOf(paragraph->Attribute("Type")), text);
        // Nesting is bounded by the parser's depth limit.
        for (const XMLElement *dual = paragraph->FirstChildElement("DualDialogue"); dual;
             dual = dual->NextSiblingElement("DualDialogue"))
            for (const XMLElement *inner = dual->FirstChildElement("Paragraph"); inner;
                 inner = inner->NextSiblingElement("Paragraph"))
                readParagraph(inner);
    }

private:
    void layOut(Kind kind, const QString &text)
    {
        const bool goesOnSpeech =
            m_inSpeech && (kind == Kind::Dialogue || kind == Kind::Parenthetical);
        if (!goesOnSpeech && !layout.lines.isEmpty())
            layout.lines.append(QString());
        m_inSpeech = kind == Kind::Cue || kind == Kind::Dialogue || kind == Kind::Parenthetical;
        switch (kind) {
        case Kind::Heading:
            layout.appendHeading(text);
            break;
        case Kind::Shot:
            layout.append(Layout::actionIndent, text);
            break;
        case Kind::Cue:
            layout.appendCue(text, true);
            break;
        case Kind::Dialogue:
            layout.append(Layout::dialogueIndent, text, Layout::dialogueWidth);
            break;
        case Kind::Parenthetical:
            layout.append(Layout::parentheticalIndent, text, Layout::parentheticalWidth);
            break;
        case Kind::Transition:
            layout.append(Layout::transitionIndent, text);
            break;
        case Kind::Centred:
            layout.appendCentred(text);
            break;
        case Kind::Action:
            layout.append(Layout::actionIndent, text, Layout::actionWidth);
            break;
        }
    }

    bool m_inSpeech = false;
};

} // namespace

ScreenplayLayout finalDraftLayout(const QByteArray &document, QString *error)
{
    error->clear();
    // Entity processing decodes only XML's own entities and character references.
    tinyxml2::XMLDocument xml(true, tinyxml2::PRESERVE_WHITESPACE);
    const tinyxml2::XMLError parsed = xml.Parse(document.constData(), size_t(document.size()));
    const XMLElement *root = xml.RootElement();
    if (parsed == tinyxml2::XML_ERROR_EMPTY_DOCUMENT) {
        *error = QStringLiteral("not a Final Draft document: the file is empty");
        return Layout();
    }
    if (parsed != tinyxml2::XML_SUCCESS) {
        *error = QStringLiteral("not a Final Draft document: XML error at line %1")
                     .arg(xml.ErrorLineNum());
        return Layout();
    }
    if (!root || std::strcmp(root->Name(), "FinalDraft") != 0) {
        *error = QStringLiteral("not a Final Draft document");
        return Layout();
    }
    Reader reader;
    if (const XMLElement *content = root->FirstChildElement("Content"))
        for (const XMLElement *p = content->FirstChildElement("Paragraph"); p;
             p = p->NextSiblingElement("Paragraph"))
            reader.readParagraph(p);
    return reader.layout;
}
