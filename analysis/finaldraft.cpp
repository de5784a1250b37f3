// SPDX-License-Identifier: MIT
#include "finaldraft.h"

#include <QRegularExpression>
#include <QTextCodec>

#include <tinyxml2.h>

#include <cstring>

namespace {

using Layout = ScreenplayLayout;
using tinyxml2::XMLElement;

// The IANA number of UTF-8, whose documents go to the parser as they are.
constexpr int utf8Mib = 106;

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
            // Final Draft shows a cue in capitals whatever was typed, so Henry and HENRY are one
            // speaker.
            layout.appendCue(text.toUpper(), true);
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

// The encoding of an XML document: the one its byte-order mark names, or for UTF-16 without a
// mark the one its first "<?" shows; otherwise that of its encoding declaration, UTF-8 when it
// has none. Null, with the name in unknown, when the declaration names one we cannot decode.
QTextCodec *documentCodec(const QByteArray &document, QString *unknown)
{
    struct Signature {
        QByteArray bytes;
        const char *codec;
    };
    static const Signature signatures[] = {
        {QByteArray("\xFF\xFE\0\0", 4), "UTF-32LE"}, {QByteArray("\0\0\xFE\xFF", 4), "UTF-32BE"},
        {QByteArray("\xEF\xBB\xBF"), "UTF-8"},       {QByteArray("\xFF\xFE"), "UTF-16LE"},
        {QByteArray("\xFE\xFF"), "UTF-16BE"},        {QByteArray("<\0?\0", 4), "UTF-16LE"},
        {QByteArray("\0<\0?", 4), "UTF-16BE"}};
    for (const Signature &signature : signatures)
        if (document.startsWith(signature.bytes))
            return QTextCodec::codecForName(signature.codec);
    // The declaration is ASCII in every encoding that has no mark.
    static const QRegularExpression declaration(
        QStringLiteral("^\\s*<\\?xml\\s[^?>]*\\bencoding\\s*=\\s*[\"']([A-Za-z0-9._:-]+)[\"']"));
    constexpr int prologue = 256;
    const QRegularExpressionMatch named =
        declaration.match(QString::fromLatin1(document.left(prologue)));
    if (!named.hasMatch())
        return QTextCodec::codecForName("UTF-8");
    // A document whose declaration could be read byte by byte is not in UTF-16 or UTF-32,
    // whatever the declaration says.
    if (named.captured(1).startsWith(QLatin1String("UTF-16"), Qt::CaseInsensitive) ||
        named.captured(1).startsWith(QLatin1String("UTF-32"), Qt::CaseInsensitive))
        return QTextCodec::codecForName("UTF-8");
    QTextCodec *codec = QTextCodec::codecForName(named.captured(1).toLatin1());
    if (!codec)
        *unknown = named.captured(1);
    return codec;
}

} // namespace

ScreenplayLayout finalDraftLayout(const QByteArray &document, QString *error)
{
    error->clear();
    // The parser reads UTF-8 only; any other encoding is decoded first.
    QString unknown;
    QTextCodec *codec = documentCodec(document, &unknown);
    if (!codec) {
        *error = QStringLiteral("not a Final Draft document: unknown encoding \"%1\"").arg(unknown);
        return Layout();
    }
    const QByteArray utf8 =
        codec->mibEnum() == utf8Mib ? document : codec->toUnicode(document).toUtf8();
    // Entity processing decodes only XML's own entities and character references.
    tinyxml2::XMLDocument xml(true, tinyxml2::PRESERVE_WHITESPACE);
    const tinyxml2::XMLError parsed = xml.Parse(utf8.constData(), size_t(utf8.size()));
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
