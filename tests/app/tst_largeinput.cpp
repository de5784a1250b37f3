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

// Records the values the scan's progress dialog shows and presses "Abort" at the third; presses
// it on the parse at once.
class AbortingWindow : public TestWindow {
public:
    QList<int> values;
    QElapsedTimer sinceAbort;

protected:
    void setProgressValue(int value) override
    {
        TestWindow::setProgressValue(value);
        if (!progress || progress->wasCanceled())
            return;
        const bool scan = progress->labelText() != "Parsing Text";
        if (scan && progress->value() > 0 && !values.contains(progress->value()))
            values.append(progress->value());
        if (!scan || values.size() == 3) {
            if (scan)
                sinceAbort.start();
            progress->cancel();
        }
    }
};

} // namespace

class TestLargeInput : public QObject {
    Q_OBJECT
private slots:
    void fiftyMegabyteScreenplay();
};

// The progress dialog advances, "Abort" ends the scan within a second, and memory stays within a
// few times the file's size.
void TestLargeInput::fiftyMegabyteScreenplay()
{
    REQUIRE_CORPUS();
    WorkingFolder folder;
    QFile source(corpusFile(QStringLiteral("his-girl-friday-1940.txt")));
    QVERIFY(source.open(QIODevice::ReadOnly));
    const qint64 size = 50 * 1024 * 1024;
    const QString big =
        folder.write("big.txt", source.readAll().repeated(int(size / source.size()) + 1));
    auto window = makeWindow<AbortingWindow>();
    const qint64 before = memory("VmRSS");

    window->openScreenplay(big);
    const qint64 scanEnded = window->sinceAbort.isValid() ? window->sinceAbort.elapsed() : -1;
    window->Parse();
    QCOMPARE(window->values.size(), 3); // three values shown before the end
    QVERIFY(window->values.at(0) < window->values.at(2));
    QVERIFY(window->values.at(2) < window->lines.size());
    QVERIFY2(scanEnded >= 0 && scanEnded < 1000, qPrintable(QString::number(scanEnded)));
    QCOMPARE(window->characterList->timeIndices.last()->stop, 1.0f);
    const qint64 grown = memory("VmHWM") - before;
    qInfo("peak memory grew by %lld MB for a %lld MB file", grown >> 20, size >> 20);
#ifndef __SANITIZE_ADDRESS__ // the sanitizer's own bookkeeping doubles the footprint
    QVERIFY2(grown < 5 * size, qPrintable(QStringLiteral("grew by %1 MB").arg(grown >> 20)));
#endif
}

QTEST_MAIN(TestLargeInput)
#include "tst_largeinput.moc"
