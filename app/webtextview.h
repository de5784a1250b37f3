// SPDX-License-Identifier: MIT
#pragma once

#include "textviewstate.h"

#include <QString>

class QFont;

class QWebView;

// Every call that touches the text view's web page goes through this class, so that a port to
// another web view changes one file. The page it shows is untrusted input: it runs no script or
// plugin, fetches nothing and never leaves the markup it was given.
class WebTextView : public TextViewState {
public:
    explicit WebTextView(QWebView *view);

    QWebView *view() const { return m_view; }

    // Shows html with an empty base address.
    void setHtml(const QString &html);
    // Sets an inline style property on every element that matches selector.
    void setStyle(const QString &selector, const QString &property, const QString &value);
    // Sets a property on the matching elements alternately to even and odd values, first even.
    void setStyleAlternately(const QString &selector, const QString &property, const QString &even,
                             const QString &odd);
    void setDefaultFontSize(int points);
    // Shows the page's text in this font family and size.
    void setFont(const QFont &font);

    QString selectedText() const override;
    int scrollValue() const override;
    int scrollMaximum() const override;
    // Scrolls the text to the top of the index-th element that matches selector (a scene);
    // where the page has no such element, to position (0 to 1) of the scrollable range.
    void scrollToScene(int index, const QString &selector, float position);
    // The width the view needs to show that many columns of its text without wrapping them.
    int widthForColumns(int columns) const;
    // The height of the current frame's content in pixels.
    int contentHeight() const;
    // The page's title, as a script would change it.
    QString title() const;
    // How often the page tried to leave the markup (a refresh, a link, a form, a frame) and was
    // kept where it is.
    int refusedNavigations() const;

private:
    class Page;

    QWebView *m_view;
    Page *m_page;
};
