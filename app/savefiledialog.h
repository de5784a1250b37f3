// SPDX-License-Identifier: MIT
#pragma once

#include <QFileDialog>

// A save dialog that completes a typed name without a suffix with the suffix of the chosen
// filter, before it asks whether to replace an existing file, so that "scenes" with the CSV
// filter writes scenes.csv and the question is asked about scenes.csv.
class SaveFileDialog : public QFileDialog {
    Q_OBJECT
public:
    SaveFileDialog(QWidget *parent, const QString &caption, const QString &filter);

    // Asks for a name to save under, starting in the working folder; empty when cancelled.
    static QString ask(QWidget *parent, const QString &caption, const QString &filter);

public slots:
    void accept() override;
};
