// SPDX-License-Identifier: MIT
#pragma once

#include "analysisprogress.h"

#include <QElapsedTimer>
#include <QProgressDialog>

#include <memory>

// Shows each stage of the analysis in a window-modal progress dialog with an "Abort" button, kept
// in the window's `progress` member while the stage runs.
class ProgressDialogs : public AnalysisProgress {
public:
    ProgressDialogs(QWidget *window, std::unique_ptr<QProgressDialog> &dialog)
        : m_window(window), m_dialog(dialog)
    {
    }

    void started(const QString &label, int maximum) override;
    void setValue(int value) override;
    void setTitle(const QString &title) override;
    bool canceled() const override;
    void finished() override;

private:
    QWidget *m_window;
    std::unique_ptr<QProgressDialog> &m_dialog;
    QElapsedTimer m_updated;
    QString m_title;
};
