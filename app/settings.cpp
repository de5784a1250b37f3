// SPDX-License-Identifier: MIT
#include "plotloom.h"

#include "option.h"
#include "ui_optionsdialog.h"

#include <QCoreApplication>
#include <QDialog>
#include <QHash>

namespace {

// What each parse setting changes, and which way, for a user who meets its name for the first time.
QString optionToolTip(const QString &name)
{
    static const QHash<QString, const char *> tips{
        {QStringLiteral("Find the Characters in the Text"),
         QT_TRANSLATE_NOOP("OptionsDialog",
                           "When ticked, opening a screenplay finds its speakers; untick it to use "
                           "only the characters of characters.txt.")},
        {QStringLiteral("looseMatch"),
         QT_TRANSLATE_NOOP("OptionsDialog",
                           "When ticked, a name also matches inside longer words (JOHN in JOHNSON) "
                           "and aliases ignore punctuation; unticked, only whole words match.")},
        {QStringLiteral("CaseSensitivity"),
         QT_TRANSLATE_NOOP(
             "OptionsDialog",
             "When ticked, a name matches only in the case it is written in (ANN, not "
             "Ann); unticked, case is ignored.")},
        {QStringLiteral("MinCharacterSpaces"),
         QT_TRANSLATE_NOOP(
             "OptionsDialog",
             "A plain-text line must be indented by more than this many blanks to name "
             "a speaker; raise it when action lines are taken for names.")},
        {QStringLiteral("MinNumberOfCharacterInstances"),
         QT_TRANSLATE_NOOP(
             "OptionsDialog",
             "Characters found this many times or fewer are left out; raise it to drop "
             "minor speakers.")},
        {QStringLiteral("NumberSteps"),
         QT_TRANSLATE_NOOP("OptionsDialog",
                           "How many points down the text each thread is drawn through, from 1 to "
                           "1000; more follows the text more closely but draws more slowly.")},
        {QStringLiteral("MergeCueExtensions"),
         QT_TRANSLATE_NOOP(
             "OptionsDialog",
             "When ticked, JOHN (V.O.) and JOHN (CONT'D) count as JOHN; unticked, each "
             "extension makes another character.")},
    };
    const char *tip = tips.value(name);
    return tip ? QCoreApplication::translate("OptionsDialog", tip) : QString();
}

QVector<ConfigEntry *> entries(const std::vector<std::unique_ptr<Option>> &options)
{
    QVector<ConfigEntry *> result;
    for (const auto &option : options)
        result.append(option.get());
    return result;
}

} // namespace

bool Plotloom::loadConfig()
{
    options.clear();
    for (const ConfigEntry &entry : analysis.configEntries()) {
        options.push_back(std::make_unique<Option>(entry));
        options.back()->toolTip = optionToolTip(entry.name);
        if (entry.intValue == &analysis.numberSteps) {
            options.back()->minimum = ScreenplayAnalysis::minimumNumberSteps;
            options.back()->maximum = ScreenplayAnalysis::maximumNumberSteps;
        }
    }
    return ScreenplayAnalysis::readConfig(QStringLiteral("config.txt"), entries(options));
}

bool Plotloom::saveConfig()
{
    // A file that cannot be written leaves the settings as they were.
    struct Saved {
        int intValue;
        bool boolValue;
    };
    std::vector<Saved> saved;
    for (const auto &option : options) {
        saved.push_back({option->intValue ? *option->intValue : 0,
                         option->boolValue ? *option->boolValue : false});
        option->takeWidgetValue();
    }
    const FileError error =
        ScreenplayAnalysis::writeConfig(QStringLiteral("config.txt"), entries(options));
    if (error.isNull()) {
        reportSaved(error, QStringLiteral("config.txt"));
        return true;
    }
    showError(error);
    for (size_t i = 0; i < options.size(); ++i) {
        if (options[i]->intValue)
            *options[i]->intValue = saved[i].intValue;
        if (options[i]->boolValue)
            *options[i]->boolValue = saved[i].boolValue;
    }
    return false;
}

void Plotloom::optionsmenuTrigger(QAction *action)
{
    if (action->text() != QLatin1String("Parsing"))
        return;
    QDialog dialog;
    Ui_OptionsDialog form;
    form.setupUi(&dialog);
    for (const auto &option : options)
        option->makeWindowItem(form.verticalLayoutWidget, form.verticalLayout);
    for (const auto &option : options)
        option->showName(QStringLiteral("OptionsDialog"));
    if (dialog.exec() == QDialog::Accepted)
        saveConfig();
    for (const auto &option : options)
        option->widget = nullptr;
}
