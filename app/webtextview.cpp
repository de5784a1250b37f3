// SPDX-License-Identifier: MIT
#include "webtextview.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QStyle>
#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>
#include <QWebSettings>
#include <QWebView>

#include <algorithm>
#include <cmath>

namespace {

// The page's margin around the text, on each side, in pixels.
constexpr int pageMargin = 8;

// Answers every request with an error, so a screenplay's page loads nothing from anywhere.
class OfflineAccessManager : public QNetworkAccessManager {
public:
    using QNetworkAccessManager::QNetworkAccessManager;

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &, QIODevice *) override
    {
        return QNetworkAccessManager::createRequest(op, QNetworkRequest(QUrl()), nullptr);
    }
};

} // namespace

// Shows the markup it is given and nothing else. Every navigation is refused, whatever asks for
// it (a refresh, a link, a form, a frame, history), so the view never turns to an error page or
// another document; links still look like links, and clicking one does nothing. Showing html
// is not a navigation and is not asked about.
class WebTextView::Page : public QWebPage {
public:
    using QWebPage::QWebPage;

    int refused = 0;

protected:
    bool acceptNavigationRequest(QWebFrame *, const QNetworkRequest &, NavigationType) override
    {
        ++refused;
        return false;
    }
};

WebTextView::WebTextView(QWebView *view) : m_view(view), m_page(new Page(view))
{
    // Set first, so that the settings below are this page's.
    view->setPage(m_page);
    QWebSettings *settings = view->settings();
    settings->setAttribute(QWebSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebSettings::PluginsEnabled, false);
    settings->setAttribute(QWebSettings::JavaEnabled, false);
    settings->setAttribute(QWebSettings::AutoLoadImages, false);
    settings->setAttribute(QWebSettings::LocalContentCanAccessRemoteUrls, false);
    m_page->setNetworkAccessManager(new OfflineAccessManager(m_page));
    // Screenplays are laid out in typewriter columns: the markup keeps every blank, and a
    // fixed-width font shown with its blanks keeps speakers, dialogue and action apart. The rule
    // must be in force before the page is first laid out.
    settings->setFontFamily(
        QWebSettings::StandardFont,
        QFontInfo(QFontDatabase::systemFont(QFontDatabase::FixedFont)).family());
    settings->setUserStyleSheetUrl(
        QUrl(QStringLiteral("data:text/css;charset=utf-8;base64,") +
             QStringLiteral("body { white-space: pre-wrap; margin: %1px; }")
                 .arg(pageMargin)
                 .toLatin1()
                 .toBase64()));
}

void WebTextView::setHtml(const QString &html)
{
    m_view->setHtml(html, QUrl());
}

void WebTextView::setStyle(const QString &selector, const QString &property, const QString &value)
{
    for (QWebElement element : m_view->page()->mainFrame()->findAllElements(selector))
        element.setStyleProperty(property, value);
}

void WebTextView::setStyleAlternately(const QString &selector, const QString &property,
                                      const QString &even, const QString &odd)
{
    int i = 0;
    for (QWebElement element : m_view->page()->mainFrame()->findAllElements(selector))
        element.setStyleProperty(property, i++ % 2 == 0 ? even : odd);
}

void WebTextView::setDefaultFontSize(int points)
{
    m_view->settings()->setFontSize(QWebSettings::DefaultFontSize, points);
}

void WebTextView::setFont(const QFont &font)
{
    m_view->setFont(font);
    m_view->settings()->setFontFamily(QWebSettings::StandardFont, font.family());
    setDefaultFontSize(font.pointSize());
}

QString WebTextView::selectedText() const
{
    return m_view->selectedText();
}

int WebTextView::scrollValue() const
{
    return m_view->page()->mainFrame()->scrollBarValue(Qt::Vertical);
}

int WebTextView::scrollMaximum() const
{
    return m_view->page()->mainFrame()->scrollBarMaximum(Qt::Vertical);
}

void WebTextView::scrollToScene(int index, const QString &selector, float position)
{
    QWebFrame *frame = m_view->page()->mainFrame();
    const QWebElementCollection scenes = frame->findAllElements(selector);
    if (index >= 0 && index < scenes.count()) {
        frame->setScrollPosition(
            QPoint(frame->scrollPosition().x(), scenes.at(index).geometry().top()));
        return;
    }
    frame->setScrollBarValue(Qt::Vertical, qRound(std::clamp(position, 0.0f, 1.0f) *
                                                  float(frame->scrollBarMaximum(Qt::Vertical))));
}

int WebTextView::widthForColumns(int columns) const
{
    const QWebSettings *settings = m_view->settings();
    QFont font(settings->fontFamily(QWebSettings::StandardFont));
    // The page's font sizes are in pixels.
    font.setPixelSize(settings->fontSize(QWebSettings::DefaultFontSize));
    const qreal text = QFontMetricsF(font).horizontalAdvance(QString(columns, QLatin1Char('M')));
    const int scrollBar = m_view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_view);
    return int(std::ceil(text)) + 2 * pageMargin + scrollBar;
}

int WebTextView::contentHeight() const
{
    return m_view->page()->currentFrame()->contentsSize().height();
}

QString WebTextView::title() const
{
    return m_view->page()->mainFrame()->title();
}

int WebTextView::refusedNavigations() const
{
    return m_page->refused;
}
