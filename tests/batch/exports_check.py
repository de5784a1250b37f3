#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Checks of plotloom-batch's exports over the corpus, read with the tools people use on them.

network: the GraphML of his-girl-friday-1940.txt, read by NetworkX, has the nodes of the
  character statistics and the edges and weights of the CSV edge list, and its degrees and
  betweenness are NetworkX's own on the same unweighted graph.
summary: --summary gives the same files with one job as with two, and its figures are the sums
  of the screenplays' character statistics (which write U+FFFD as "?").

Usage: exports_check.py network|summary PLOTLOOM_BATCH CORPUS_DIR; exits 77 (skipped) without
the corpus."""
import csv
import glob
import io
import os
import subprocess
import sys
import tempfile

check, tool, corpus = sys.argv[1], os.path.abspath(sys.argv[2]), sys.argv[3]
if not os.path.isdir(corpus):
    print(f'the screenplay corpus is not at "{corpus}": configure with PLOTLOOM_CORPUS_DIR set '
          'to its folder')
    sys.exit(77)


def run(*arguments):
    subprocess.run([tool, "--output-dir", out, *arguments], cwd=out, check=True,
                   stderr=subprocess.DEVNULL)


def rows(name):
    with open(os.path.join(out, name), newline="", encoding="utf-8") as f:
        return list(csv.reader(f))


def character_stats(screenplay):
    """name, scenes, instances of each line of SCREENPLAY-character.csv."""
    with open(os.path.join(out, os.path.basename(screenplay) + "-character.csv"), "rb") as f:
        data = f.read()
    # Latin-1, or UTF-8 after a byte-order mark; every name ends in a blank.
    text = data[3:].decode("utf-8") if data.startswith(b"\xef\xbb\xbf") else data.decode("latin-1")
    return [(f[0][:-1], int(f[1]), int(f[3])) for f in list(csv.reader(io.StringIO(text)))[1:]]


def network():
    import networkx as nx

    screenplay = os.path.join(corpus, "his-girl-friday-1940.txt")
    run("--network", "--character-stats", screenplay)
    graph = nx.read_graphml(os.path.join(out, "his-girl-friday-1940.txt.graphml"))
    name = nx.get_node_attributes(graph, "name")
    edges = rows("his-girl-friday-1940.txt-edges.csv")
    assert edges[0] == ["source", "target", "scenes", "exchanges"], edges[0]
    weights = {frozenset((s, t)): (int(w), int(x)) for s, t, w, x in edges[1:]}
    assert len(weights) == len(edges) - 1, "an edge listed twice"
    assert sorted(name.values()) == sorted(c for c, _, _ in character_stats(screenplay))
    assert {frozenset((name[u], name[v])): (d["weight"], d["exchanges"])
            for u, v, d in graph.edges(data=True)} == weights, "edges or weights differ"
    assert len(weights) > 100 and any(x > 0 for _, x in weights.values())

    expected = nx.betweenness_centrality(graph)
    for node, data in graph.nodes(data=True):
        assert data["degree"] == graph.degree(node), name[node]
        assert data["weighted_degree"] == graph.degree(node, weight="weight"), name[node]
        assert abs(data["betweenness"] - expected[node]) <= 1e-9, name[node]
    assert max(expected.values()) > 0.05


def summary():
    plays = sorted(p for p in glob.glob(os.path.join(corpus, "*")) if not p.endswith(".md"))
    run("--summary", "one.csv", "--character-stats", *plays)
    run("--summary", "two.csv", "--jobs", "2", *plays)
    for name in ("one.csv", "one-files.csv"):
        assert rows(name) == rows(name.replace("one", "two")), name

    # Without included characters every instance is a speaker line or cue.
    files = rows("one-files.csv")
    assert [row[0] for row in files[1:]] == plays
    expected = {}
    for play, row in zip(plays, files[1:]):
        stats = character_stats(play)
        speeches = sum(instances for _, _, instances in stats)
        assert [row[1], row[5]] == [str(len(stats)), str(speeches)], row
        for name, scenes, instances in stats:
            total = expected.setdefault(name, [0, 0, 0, play, play])
            total[:3] = [total[0] + 1, total[1] + instances, total[2] + scenes]
            total[4] = play
    totals = {}
    for name, screenplays, instances, scenes, first, last in rows("one.csv")[1:]:
        figures = [int(screenplays), int(instances), int(scenes)]
        key = name.replace("\ufffd", "?")
        if key in totals:  # names that only differ in undecodable bytes
            figures = [a + b for a, b in zip(totals[key][:3], figures)]
            first = totals[key][3]
        totals[key] = figures + [first, last]
    assert totals == expected


with tempfile.TemporaryDirectory() as out:
    {"network": network, "summary": summary}[check]()
