#pragma once

// Finding a window's controls as an operator does: fields by name, buttons by caption, and
// form lines by the caption of their label. Captions are given in UTF-8.

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

template<typename Button>
Button *ButtonCaptioned(QWidget &window, const char *utf8Caption)
{
    for (Button *button : window.findChildren<Button *>()) {
        if (button->text() == QString::fromUtf8(utf8Caption)) {
            return button;
        }
    }
    return nullptr;
}

inline QLineEdit *FieldNamed(QWidget &dialog, const char *name)
{
    return dialog.findChild<QLineEdit *>(QString::fromLatin1(name));
}

template<typename Field>
Field *FieldLabelled(QWidget &dialog, const char *utf8Caption)
{
    for (QLabel *label : dialog.findChildren<QLabel *>()) {
        if (label->text() == QString::fromUtf8(utf8Caption)) {
            return qobject_cast<Field *>(label->buddy());
        }
    }
    return nullptr;
}

inline void Choose(QDialog &dialog, const char *utf8Caption)
{
    QRadioButton *radio = ButtonCaptioned<QRadioButton>(dialog, utf8Caption);
    ASSERT_NE(radio, nullptr) << utf8Caption;
    radio->click();
}
