// SPDX-License-Identifier: MIT
#include "apptest.h"
#include "datatable.h"
#include "htmlnames.h"
#include "screenplayanalysis.h"
#include "webtextview.h"

#include <QTcpServer>
#include <QWebView>

// An HTML screenplay is shown as its markup, whatever the file holds: nothing on the page runs,
// fetches or takes the view elsewhere.
class TestWebTextView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void staysOnScreenplay_data();
    void staysOnScreenplay();

private:
    // Counts the connections made to it; every address on the hostile pages points here.
    QTcpServer m_server;
    int m_connections = 0;
};

void TestWebTextView::initTestCase()
{
    QVERIFY(m_server.listen(QHostAddress::LocalHost));
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (m_server.hasPendingConnections()) {
            m_server.nextPendingConnection()->deleteLater();
            ++m_connections;
        }
    });
}

// Each row adds a line to the screenplay (every hazard on one line, so that the markup keeps its
// tags whole), names the element the test clicks, if any, and says how many navigations the page
// must try, and be refused, before it is checked. "%1" is the local server's address.
using Rows = DataTable<QString, QString, int>;

void TestWebTextView::staysOnScreenplay_data()
{
    Rows::columns();
    const auto row = &Rows::row;
    row("refresh at once", "<meta http-equiv=\"refresh\" content=\"0;url=%1/refresh\">", "", 1);
    row("refresh after 1 s", "<meta http-equiv=\"refresh\" content=\"1;url=%1/refresh\">", "", 1);
    row("link", "<a id=\"go\" href=\"%1/link\">next page</a>", "#go", 1);
    row("form",
        "<form action=\"%1/form\" method=\"post\"><input type=\"text\" name=\"q\"><input "
        "id=\"go\" type=\"submit\" value=\"Send\"></form>",
        "#go", 1);
    row("base href", "<base href=\"%1/\"><a id=\"go\" href=\"#end\">to the end</a>", "#go", 1);
    // The object without a plugin is a frame too: two frames the page would fill.
    row("sub-resources",
        "<img src=\"%1/img\"><link rel=\"stylesheet\" href=\"%1/css\"><object "
        "data=\"%1/object\"></object><iframe src=\"%1/frame\"></iframe>",
        "", 2);
    row("scripts",
        "<script src=\"%1/script\"></script><script>document.title = 'by script'; "
        "fetch('%1/fetch'); location = '%1/script';</script><body onload=\"document.title = "
        "'on load'\">",
        "", 0);
}

void TestWebTextView::staysOnScreenplay()
{
    const auto [line, click, attempts] = Rows::fetch();
    WorkingFolder folder;
    const QString server = QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
    ScreenplayAnalysis analysis;
    analysis.breakStrings = ScreenplayAnalysis::sampleBreakStrings();
    analysis.openScreenplay(folder.write(
        "hostile.html", "<html><head><title>Original</title></head><body><pre>\n" +
                            line.arg(server).toUtf8() + '\n' +
                            screenplay("0 INT. OFFICE - DAY|37 JOHN|25 Hello.|37 MARY|25 Hi.|"
                                       "37 JOHN|25 Goodbye.|37 MARY|25 Bye.") +
                            "<p id=\"end\">The end.</p></pre></body></html>\n"));
    analysis.buildModel();
    QCOMPARE(analysis.characters.size(), 2);

    QWebView view;
    WebTextView text(&view);
    view.resize(800, 600);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view, 30000));
    QSignalSpy loads(&view, &QWebView::loadStarted);
    QSignalSpy loaded(&view, &QWebView::loadFinished);
    text.setHtml(analysis.markup);
    // Once the page is loaded, every sub-resource has been asked for and answered.
    QTRY_COMPARE(loaded.count(), 1);
    loads.clear();
    if (!click.isEmpty()) {
        const QWebElement target = view.page()->mainFrame()->findFirstElement(click);
        QVERIFY(!target.isNull());
        QTest::mouseClick(&view, Qt::LeftButton, {}, target.geometry().center());
    }
    // Waits until the page has tried to leave (the refresh's timer has run out, the click has
    // landed), so that the checks below see what followed the attempt.
    QTRY_COMPARE(text.refusedNavigations(), attempts);

    QCOMPARE(loads.count(), 0);
    const QWebFrame *page = view.page()->mainFrame();
    for (const Character *c : analysis.characters)
        QCOMPARE(page->findAllElements(classSelector("span", c->className())).count(), 2);
    // Frames the page holds stay empty rather than showing an error.
    for (const QWebFrame *frame : page->childFrames())
        QCOMPARE(frame->toPlainText(), QString());
    QCOMPARE(text.title(), QStringLiteral("Original"));
    QCOMPARE(m_connections, 0);
}

QTEST_MAIN(TestWebTextView)
#include "tst_webtextview.moc"
