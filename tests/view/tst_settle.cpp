// SPDX-License-Identifier: MIT
#include "corpus.h"
#include "node.h"
#include "screenplayanalysis.h"
#include "threadgraph.h"

#include <QTemporaryDir>
#include <QtTest>

// The layout of a real screenplay comes to rest as the views step it frame by frame.
class TestSettle : public QObject {
    Q_OBJECT
private slots:
    void settles();
};

void TestSettle::settles()
{
    REQUIRE_CORPUS();
    QTemporaryDir dir;
    QVERIFY(QDir::setCurrent(dir.path()));
    ScreenplayAnalysis analysis;
    analysis.breakStrings = QStringList{"int.", "ext.", "INTERIOR", "EXTERIOR", "INT", "EXT"};
    analysis.openScreenplay(corpusFile(QStringLiteral("his-girl-friday-1940.txt")));
    analysis.buildModel();
    std::srand(1);
    ThreadGraph graph;
    graph.init(analysis.characterList, 1.0f / 100);
    QVERIFY(graph.nodes.size() > 1000);

    const auto totalSpeed = [&graph] {
        double sum = 0;
        for (const Node *node : graph.nodes)
            sum += double(node->velocity.length());
        return sum;
    };
    double early = 0;
    for (int frame = 1; frame <= 600; ++frame) {
        graph.simulate(0.016f);
        if (frame == 10)
            early = totalSpeed();
    }
    // Measured over several shuffles: about 0.036 of the early speed is left.
    QVERIFY(early > 0);
    QVERIFY2(totalSpeed() < 0.1 * early, qPrintable(QString::number(totalSpeed() / early)));
}

QTEST_MAIN(TestSettle)
#include "tst_settle.moc"
