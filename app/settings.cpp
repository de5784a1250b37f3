// SPDX-License-Identifier: MIT
#include "plotloom.h"

#include "option.h"
#include "ui_optionsdialog.h"

#include <QDialog>

namespace {

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
    if (error.isNull())
        return true;
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
