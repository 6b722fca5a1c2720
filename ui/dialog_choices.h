#pragma once

// Radio buttons of the settings dialogs: each choice stored as a small integer is one
// exclusive group whose button ids are the stored values.

#include "qt_text.h"

#include <QButtonGroup>
#include <QRadioButton>

inline QRadioButton *AddChoice(QButtonGroup *group, const char *windows1252Caption, int value)
{
    auto *radio = new QRadioButton(QtText(windows1252Caption));
    group->addButton(radio, value);
    return radio;
}

inline void ShowChoice(QButtonGroup *group, int value)
{
    if (QAbstractButton *radio = group->button(value)) {
        radio->setChecked(true);
    }
}
