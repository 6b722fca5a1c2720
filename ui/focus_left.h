#pragma once

// The settings dialogs warn when the operator leaves a field with a doubtful entry. Moving
// the focus to another window or into a menu is not leaving the field, so it never warns.

#include <QEvent>
#include <QFocusEvent>

inline bool FocusLeftWithinDialog(const QEvent *event)
{
    if (event->type() != QEvent::FocusOut) {
        return false;
    }
    const Qt::FocusReason reason = static_cast<const QFocusEvent *>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}
