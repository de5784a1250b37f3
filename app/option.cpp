// SPDX-License-Identifier: MIT
#include "option.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

Option::Option(const QString &name, int *intValue, bool *boolValue)
    : ConfigEntry{name, intValue, boolValue, QString()}
{
}

Option::Option(const ConfigEntry &entry) : ConfigEntry(entry)
{
}

QObject *Option::makeWindowItem(QWidget *parent, QVBoxLayout *layout)
{
    if (boolValue) {
        auto *box = new QCheckBox(parent);
        box->setChecked(*boolValue);
        box->setObjectName(name);
        box->setToolTip(toolTip);
        layout->addWidget(box);
        widget = box;
    } else if (intValue) {
        auto *row = new QHBoxLayout;
        row->setSpacing(2);
        row->setObjectName(name);
        auto *label = new QLabel(parent);
        label->setObjectName(name + QLatin1String("label"));
        label->setSizePolicy(QSizePolicy::Fixed, label->sizePolicy().verticalPolicy());
        label->setToolTip(toolTip);
        auto *spin = new QSpinBox(parent);
        spin->setObjectName(name + QLatin1String("spinBox"));
        // Fixed at its size hint, which fits the longest value of the range.
        spin->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        spin->setRange(minimum, maximum);
        spin->setToolTip(toolTip);
        spin->setValue(*intValue);
        row->addWidget(label);
        row->addWidget(spin);
        layout->addLayout(row);
        widget = row;
    } else {
        widget = nullptr;
    }
    return widget;
}

void Option::showName(const QString &context)
{
    const QString &shown = label.isEmpty() ? name : label;
    const QString text =
        QCoreApplication::translate(context.toLatin1().constData(), shown.toLatin1().constData());
    if (auto *box = qobject_cast<QCheckBox *>(widget)) {
        box->setText(text);
    } else if (auto *row = qobject_cast<QHBoxLayout *>(widget)) {
        if (row->count() > 0)
            if (auto *label = qobject_cast<QLabel *>(row->itemAt(0)->widget()))
                label->setText(text);
    }
}

void Option::takeWidgetValue()
{
    if (boolValue) {
        if (auto *box = qobject_cast<QCheckBox *>(widget))
            *boolValue = box->isChecked();
    } else if (intValue) {
        auto *row = qobject_cast<QHBoxLayout *>(widget);
        if (row && row->count() > 1)
            if (auto *spin = qobject_cast<QSpinBox *>(row->itemAt(1)->widget()))
                *intValue = spin->value();
    }
}
