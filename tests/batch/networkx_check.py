#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The character network of his-girl-friday-1940.txt, read back with NetworkX: the GraphML has
the nodes of the character statistics and the edges and weights of the CSV edge list, and its
degrees and betweenness are NetworkX's own on the same unweighted graph.

Usage: networkx_check.py PLOTLOOM_BATCH CORPUS_DIR; exits 77 (skipped) without the corpus."""
import csv
import os
import subprocess
import sys
import tempfile

import networkx as nx

tool, corpus = os.path.abspath(sys.argv[1]), sys.argv[2]
screenplay = os.path.join(corpus, "his-girl-friday-1940.txt")
if not os.path.exists(screenplay):
    sys.exit(77)

with tempfile.TemporaryDirectory() as out:
    subprocess.run([tool, "--network", "--character-stats", "--output-dir", out, screenplay],
                   cwd=out, check=True, stderr=subprocess.DEVNULL)
    base = os.path.join(out, os.path.basename(screenplay))
    graph = nx.read_graphml(base + ".graphml")
    with open(base + "-edges.csv", newline="", encoding="utf-8") as f:
        rows = list(csv.reader(f))
    with open(base + "-character.csv", encoding="latin-1") as f:
        characters = [line.split(",")[0].rstrip() for line in f.read().splitlines()[1:]]

name = nx.get_node_attributes(graph, "name")
assert rows[0] == ["source", "target", "scenes", "exchanges"], rows[0]
edges = {frozenset((s, t)): (int(w), int(x)) for s, t, w, x in rows[1:]}
assert len(edges) == len(rows) - 1, "an edge listed twice"
assert sorted(name.values()) == sorted(characters), "nodes differ from the characters"
assert {frozenset((name[u], name[v])): (d["weight"], d["exchanges"])
        for u, v, d in graph.edges(data=True)} == edges, "edges or weights differ"
assert len(edges) > 100 and any(x > 0 for _, x in edges.values())

expected = nx.betweenness_centrality(graph)
for node, data in graph.nodes(data=True):
    assert data["degree"] == graph.degree(node), name[node]
    assert data["weighted_degree"] == graph.degree(node, weight="weight"), name[node]
    assert abs(data["betweenness"] - expected[node]) <= 1e-9, (name[node], data["betweenness"])
assert max(expected.values()) > 0.05
print(f"{graph.number_of_nodes()} nodes, {graph.number_of_edges()} edges agree with NetworkX")
