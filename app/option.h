// SPDX-License-Identifier: MIT
#pragma once

#include "screenplayanalysis.h"

#include <QObject>

class QVBoxLayout;
class QWidget;

// One setting with the widget that edits it: a check box for a bool setting, a labelled spin box
// for an int setting.
class Option : public QObject, public ConfigEntry {
    Q_OBJECT
public:
    Option(const QString &name, int *intValue, bool *boolValue);
    explicit Option(const ConfigEntry &entry);

    // Builds the editing widget as a child of parent, appends it to layout and returns it (the
    // check box, or the row layout of label and spin box); null for an option with no value.
    QObject *makeWindowItem(QWidget *parent, QVBoxLayout *layout);
    // Labels the widget with the option's name: the check box text, or the row's label.
    void showName(const QString &context);
    // Takes the value shown by the widget into the member.
    void takeWidgetValue();

    QObject *widget = nullptr;
    // What the setting changes and which way, shown over its widget.
    QString toolTip;
    // The values the spin box of an int option offers; by default every value a setting may hold.
    static constexpr int anyMinimum = -1;
    static constexpr int anyMaximum = 99999999;
    int minimum = anyMinimum;
    int maximum = anyMaximum;
};
