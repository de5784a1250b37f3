// SPDX-License-Identifier: MIT
#include "savefiledialog.h"

#include <QDir>
#include <QRegularExpression>

namespace {

// The suffix a name filter stands for: "csv" for "CSV (*.csv)", nothing for "All (*.*)".
QString filterSuffix(const QString &filter)
{
    static const QRegularExpression firstPattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)\\b"));
    return firstPattern.match(filter).captured(1).toLower();
}

} // namespace

SaveFileDialog::SaveFileDialog(QWidget *parent, const QString &caption, const QString &filter)
    : QFileDialog(parent, caption, QDir::currentPath(), filter)
{
    setAcceptMode(QFileDialog::AcceptSave);
}

QString SaveFileDialog::ask(QWidget *parent, const QString &caption, const QString &filter)
{
    SaveFileDialog dialog(parent, caption, filter);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

void SaveFileDialog::accept()
{
    // Taken from the filter chosen last, whichever way it was chosen.
    setDefaultSuffix(filterSuffix(selectedNameFilter()));
    QFileDialog::accept();
}
