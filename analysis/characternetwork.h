// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QVector>

class CharacterList;
class Character;

// Who shares scenes with whom: a node per character, an undirected edge between two characters
// present in the same scene, weighted by the number of scenes they share.
class CharacterNetwork {
public:
    struct Node {
        const Character *character = nullptr;
        // The scenes the character is present in.
        int scenes = 0;
        int degree = 0;
        // The sum of the weights of the node's edges.
        int weightedDegree = 0;
        // Unweighted betweenness, normalised by the (n-1)(n-2)/2 pairs of the other nodes.
        double betweenness = 0.0;
    };
    struct Edge {
        // Node indices, source < target.
        int source = 0;
        int target = 0;
        int scenes = 0;
        // How often one of the two spoke right after the other within a scene they share.
        int exchanges = 0;
    };

    // The network of a parsed model: presence comes from the scenes' mention counts; speeches
    // holds, per scene, the speakers' indices into the list's characters in text order.
    CharacterNetwork(const CharacterList &list, const QVector<QVector<int>> &speeches);
    // A network without nodes, for when nothing is parsed.
    CharacterNetwork() = default;

    // The network as GraphML, keys declared with their types.
    QByteArray graphml() const;
    // The edges as CSV: source,target,scenes,exchanges with the characters' names.
    QByteArray edgeList() const;

    QVector<Node> nodes;
    // Ordered by source, then target.
    QVector<Edge> edges;

private:
    void computeBetweenness();
};
