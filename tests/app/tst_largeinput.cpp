// SPDX-License-Identifier: MIT
#include "apptest.h"
#include "corpus.h"
#include "glutsupport.h"

#include <QElapsedTimer>
#include <QProgressDialog>

namespace {

// Peak resident memory of the process, in bytes.
qint64 peakResident()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    return 0;
}

qint64 resident()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    return 0;
}

// Presses "Abort" on the scan once its progress dialog has advanced three times, and on the parse
// at once, recording what the dialogs showed.
class AbortingWindow : public TestWindow {
public:
    QList<int> values;
    QElapsedTimer sinceAbort;

protected:
    void setProgressValue(int value) override
    {
        TestWindow::setProgressValue(value);
        QProgressDialog *dialog = progress.get();
        if (!dialog || dialog->wasCanceled())
            return;
        if (dialog->labelText() == QLatin1String("Parsing Text")) {
            dialog->cancel();
        } else if (dialog->value() > 0 && (values.isEmpty() || values.last() != dialog->value())) {
            values.append(dialog->value());
            if (values.size() == 3) {
                sinceAbort.start();
                dialog->cancel();
            }
        }
    }
};

} // namespace

class TestLargeInput : public QObject {
    Q_OBJECT
private slots:
    void fiftyMegabyteScreenplay();
};

// A 50 MB screenplay opens under a progress dialog that advances; "Abort" ends the scan within a
// second, and memory stays within a few times the file's size.
void TestLargeInput::fiftyMegabyteScreenplay()
{
    REQUIRE_CORPUS();
    WorkingFolder folder;
    QFile source(corpusFile(QStringLiteral("his-girl-friday-1940.txt")));
    QVERIFY(source.open(QIODevice::ReadOnly));
    const QByteArray text = source.readAll();
    const qint64 size = 50 * 1024 * 1024;
    {
        QFile big(folder.path("big.txt"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        while (big.size() < size)
            big.write(text);
    }
    ModalAnswers answers;
    answers.accept();
    AbortingWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const qint64 before = resident();

    window.openScreenplay(folder.path("big.txt"));
    const qint64 scanEnded = window.sinceAbort.isValid() ? window.sinceAbort.elapsed() : -1;
    window.Parse();
    const QList<int> &values = window.values;

    QVERIFY2(values.size() >= 3, "the progress dialog did not advance");
    QVERIFY(values.at(0) < values.at(2));
    QVERIFY(values.at(2) < window.lines.size());
    QVERIFY2(scanEnded >= 0 && scanEnded < 1000, qPrintable(QString::number(scanEnded)));
    QVERIFY(window.lines.size() > 1000000);
    QVERIFY(window.characterList->timeIndices.last()->stop == 1.0f);
    const qint64 grown = peakResident() - before;
    qInfo("peak memory grew by %lld MB for a %lld MB file", grown >> 20, size >> 20);
#ifndef __SANITIZE_ADDRESS__ // the sanitizer's own bookkeeping doubles the footprint
    QVERIFY2(grown < 5 * size, qPrintable(QStringLiteral("grew by %1 MB").arg(grown >> 20)));
#endif
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ensureGlutInitialized();
    TestLargeInput test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_largeinput.moc"
