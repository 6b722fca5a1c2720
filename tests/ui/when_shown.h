#pragma once

// Acting on a modal dialog from a test: the action runs once the dialog's own event loop
// does, that is once the call that opened it is waiting for the operator.

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

template<typename Dialog>
void WhenShown(std::function<void(Dialog &)> act)
{
    QTimer::singleShot(0, [act] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
    });
}
