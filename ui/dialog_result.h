#pragma once

// The settings dialogs close with Next, Back or Cancel; QDialog knows only accepted and
// rejected, so Back travels as a code of its own.

#include "windowing_services.h"

#include <QDialog>

inline constexpr int BackCode = QDialog::Accepted + 1;

inline DialogResult DialogResultOf(int code)
{
    if (code == QDialog::Accepted) {
        return DialogResult::Next;
    }
    return code == BackCode ? DialogResult::Back : DialogResult::Cancel;
}
