// SPDX-License-Identifier: MIT
#include "characternetwork.h"

#include "character.h"
#include "characterlist.h"
#include "csvrecord.h"

#include <QXmlStreamWriter>

#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/betweenness_centrality.hpp>

#include <map>
#include <utility>
#include <vector>

namespace {

QString nameOf(const Character *c)
{
    return c->names.join(QLatin1Char(' '));
}

// The text with the characters XML 1.0 cannot hold left out.
QString xmlText(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            kept += c;
            kept += text.at(++i);
        } else if ((c.unicode() >= 0x20 || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
                    c == QLatin1Char('\r')) &&
                   !c.isSurrogate() && c.unicode() < 0xFFFE) {
            kept += c;
        }
    }
    return kept;
}

// Enough digits that a reader gets the computed value back to well within 1e-12.
QString real(double value)
{
    return QString::number(value, 'g', 15);
}

} // namespace

CharacterNetwork::CharacterNetwork(const CharacterList &list, const QVector<QVector<int>> &speeches)
{
    const int n = list.characters.size();
    nodes.resize(n);
    for (int i = 0; i < n; ++i)
        nodes[i].character = list.characters.at(i);

    std::map<std::pair<int, int>, Edge> shared;
    const QVector<TimeIndex *> &scenes = list.timeIndices;
    for (int s = 0; s < scenes.size(); ++s) {
        const QVector<int> &counts = scenes.at(s)->counts;
        QVector<bool> here(n, false);
        QVector<int> present;
        for (int i = 0; i < std::min(n, int(counts.size())); ++i) {
            if (counts.at(i) > 0) {
                here[i] = true;
                present.append(i);
                ++nodes[i].scenes;
            }
        }
        for (int a = 0; a < present.size(); ++a) {
            for (int b = a + 1; b < present.size(); ++b) {
                Edge &e = shared[{present.at(a), present.at(b)}];
                e.source = present.at(a);
                e.target = present.at(b);
                ++e.scenes;
            }
        }
        // An exchange joins two speakers who are both present in the scene, so it always falls
        // on an edge.
        const QVector<int> &said = speeches.value(s);
        for (int t = 1; t < said.size(); ++t) {
            const int a = std::min(said.at(t - 1), said.at(t));
            const int b = std::max(said.at(t - 1), said.at(t));
            if (a != b && a >= 0 && b < n && here.at(a) && here.at(b))
                ++shared[{a, b}].exchanges;
        }
    }
    for (const auto &entry : shared) {
        const Edge &e = entry.second;
        edges.append(e);
        for (const int end : {e.source, e.target}) {
            ++nodes[end].degree;
            nodes[end].weightedDegree += e.scenes;
        }
    }
    computeBetweenness();
}

void CharacterNetwork::computeBetweenness()
{
    using Graph = boost::adjacency_list<boost::vecS, boost::vecS, boost::undirectedS>;
    const int n = nodes.size();
    Graph graph(static_cast<Graph::vertices_size_type>(n));
    for (const Edge &e : qAsConst(edges))
        boost::add_edge(static_cast<Graph::vertex_descriptor>(e.source),
                        static_cast<Graph::vertex_descriptor>(e.target), graph);
    std::vector<double> centrality(static_cast<size_t>(n), 0.0);
    const auto map = boost::make_iterator_property_map(centrality.begin(),
                                                       boost::get(boost::vertex_index, graph));
    // Boost halves the counts of an undirected graph, so each pair counts once; the relative
    // form then divides by the (n-1)(n-2)/2 pairs, which needs three nodes.
    boost::brandes_betweenness_centrality(graph, map);
    if (n > 2)
        boost::relative_betweenness_centrality(graph, map);
    for (int i = 0; i < n; ++i)
        nodes[i].betweenness = centrality.at(static_cast<size_t>(i));
}

QByteArray CharacterNetwork::graphml() const
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("graphml"));
    xml.writeDefaultNamespace(QStringLiteral("http://graphml.graphdrawing.org/xmlns"));
    xml.writeNamespace(QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"),
                       QStringLiteral("xsi"));
    xml.writeAttribute(QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"),
                       QStringLiteral("schemaLocation"),
                       QStringLiteral("http://graphml.graphdrawing.org/xmlns "
                                      "http://graphml.graphdrawing.org/xmlns/1.0/graphml.xsd"));
    struct Key {
        const char *id;
        const char *domain;
        const char *type;
    };
    // The key ids are the attribute names; "weight" is the name graph tools look for.
    const Key keys[] = {{"name", "node", "string"},        {"color", "node", "string"},
                        {"instances", "node", "int"},      {"scenes", "node", "int"},
                        {"degree", "node", "int"},         {"weighted_degree", "node", "int"},
                        {"betweenness", "node", "double"}, {"weight", "edge", "int"},
                        {"exchanges", "edge", "int"}};
    for (const Key &key : keys) {
        xml.writeEmptyElement(QStringLiteral("key"));
        xml.writeAttribute(QStringLiteral("id"), QLatin1String(key.id));
        xml.writeAttribute(QStringLiteral("for"), QLatin1String(key.domain));
        xml.writeAttribute(QStringLiteral("attr.name"), QLatin1String(key.id));
        xml.writeAttribute(QStringLiteral("attr.type"), QLatin1String(key.type));
    }
    xml.writeStartElement(QStringLiteral("graph"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("characters"));
    xml.writeAttribute(QStringLiteral("edgedefault"), QStringLiteral("undirected"));
    const auto data = [&xml](const char *key, const QString &value) {
        xml.writeStartElement(QStringLiteral("data"));
        xml.writeAttribute(QStringLiteral("key"), QLatin1String(key));
        xml.writeCharacters(xmlText(value));
        xml.writeEndElement();
    };
    for (int i = 0; i < nodes.size(); ++i) {
        const Node &node = nodes.at(i);
        xml.writeStartElement(QStringLiteral("node"));
        xml.writeAttribute(QStringLiteral("id"), QLatin1Char('n') + QString::number(i));
        data("name", nameOf(node.character));
        data("color", node.character->color.name());
        data("instances", QString::number(node.character->numInstances));
        data("scenes", QString::number(node.scenes));
        data("degree", QString::number(node.degree));
        data("weighted_degree", QString::number(node.weightedDegree));
        data("betweenness", real(node.betweenness));
        xml.writeEndElement();
    }
    for (const Edge &e : edges) {
        xml.writeStartElement(QStringLiteral("edge"));
        xml.writeAttribute(QStringLiteral("source"), QLatin1Char('n') + QString::number(e.source));
        xml.writeAttribute(QStringLiteral("target"), QLatin1Char('n') + QString::number(e.target));
        data("weight", QString::number(e.scenes));
        data("exchanges", QString::number(e.exchanges));
        xml.writeEndElement();
    }
    xml.writeEndDocument();
    return bytes;
}

QByteArray CharacterNetwork::edgeList() const
{
    QString text = csvRecord({QStringLiteral("source"), QStringLiteral("target"),
                              QStringLiteral("scenes"), QStringLiteral("exchanges")});
    for (const Edge &e : edges)
        text +=
            csvRecord({nameOf(nodes.at(e.source).character), nameOf(nodes.at(e.target).character),
                       QString::number(e.scenes), QString::number(e.exchanges)});
    return text.toUtf8();
}
