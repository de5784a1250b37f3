// SPDX-License-Identifier: MIT
#include "apptest.h"

#include <QProgressDialog>
#include <QRegularExpression>

namespace {

// A memory figure of this process in bytes: "VmRSS" now, "VmHWM" at its peak.
qint64 memory(const QString &key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    const QString text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
    return QRegularExpression(key + ":\\s*(\\d+)").match(text).captured(1).toLongLong() * 1024;
}

} // namespace

class TestLargeInput : public QObject {
    Q_OBJECT
private slots:
    void fiftyMegabyteScreenplay();
};

// The progress dialog advances, "Abort" ends the scan at once, and memory stays within a few
// times the file's size.
void TestLargeInput::fiftyMegabyteScreenplay()
{
    WorkingFolder folder;
    QFile source(QStringLiteral(PLOTLOOM_TEST_DATA "/exports/two-rooms.txt"));
    QVERIFY(source.open(QIODevice::ReadOnly));
    const qint64 size = 50 * 1024 * 1024;
    const QString big =
        folder.write("big.txt", source.readAll().repeated(int(size / source.size()) + 1));
    auto window = makeWindow();
    // Records the values the scan's progress dialog shows and presses "Abort" at the third, then
    // counts the lines the scan still reports; presses it on the parse at once.
    QList<int> values;
    int linesAfterAbort = 0;
    ProgressTap tap(*window, [&](int) {
        const auto &progress = window->progress;
        if (!progress || progress->labelText() == "Parsing Text") {
            if (progress)
                progress->cancel();
        } else if (progress->wasCanceled()) {
            ++linesAfterAbort;
        } else if (progress->value() > 0 && !values.contains(progress->value())) {
            values.append(progress->value());
            if (values.size() == 3)
                progress->cancel();
        }
    });
    const qint64 before = memory("VmRSS");

    openInWindow(*window, big);
    QCOMPARE(values.size(), 3); // three values shown before the end
    QVERIFY(values.at(0) < values.at(2));
    QVERIFY(values.at(2) < window->analysis.lines.size());
    // The final value, and at most a few lines scanned after the press.
    QVERIFY2(linesAfterAbort < 100, qPrintable(QString::number(linesAfterAbort)));
    QCOMPARE(window->analysis.characterList->timeIndices.last()->stop, 1.0f);
    const qint64 grown = memory("VmHWM") - before;
    qInfo("peak memory grew by %lld MB for a %lld MB file", grown >> 20, size >> 20);
#ifndef __SANITIZE_ADDRESS__ // the sanitizer's own bookkeeping doubles the footprint
    QVERIFY2(grown < 5 * size, qPrintable(QStringLiteral("grew by %1 MB").arg(grown >> 20)));
#endif
}

QTEST_MAIN(TestLargeInput)
#include "tst_largeinput.moc"
