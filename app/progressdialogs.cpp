// SPDX-License-Identifier: MIT
#include "progressdialogs.h"

namespace {

// How often the dialog's value is shown; setting it runs the event loop, which is far slower than
// a line of analysis, while cancelling is still polled at every line.
constexpr qint64 progressIntervalMs = 30;

} // namespace

void ProgressDialogs::started(const QString &label, int maximum)
{
    m_dialog = std::make_unique<QProgressDialog>(label, QObject::tr("Abort"), 0, maximum, m_window);
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->show();
    m_title.clear();
    m_updated.start();
}

bool ProgressDialogs::canceled() const
{
    return m_dialog && m_dialog->wasCanceled();
}

void ProgressDialogs::setValue(int value)
{
    if (!m_dialog)
        return;
    if (value < m_dialog->maximum() && m_updated.isValid() &&
        m_updated.elapsed() < progressIntervalMs)
        return;
    m_dialog->setValue(value);
    m_updated.start();
}

void ProgressDialogs::finished()
{
    // A dialog that was never shown keeps a timer that would show it later; it goes instead.
    m_dialog.reset();
}

void ProgressDialogs::setTitle(const QString &title)
{
    if (!m_dialog || title == m_title)
        return;
    m_title = title;
    m_dialog->setWindowTitle(title);
}
