// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// What the thread view reads of the main window's text view: how far it is scrolled and what is
// selected. The main window implements it over its web view, so the view library does not
// depend on the web engine.
class TextViewState {
public:
    virtual ~TextViewState() = default;

    // Value and maximum of the vertical scroll bar of the page's main frame.
    virtual int scrollValue() const = 0;
    virtual int scrollMaximum() const = 0;
    virtual QString selectedText() const = 0;
};
