#pragma once

// Acting on a modal dialog from a test: the action runs once the dialog's own event loop
// does, that is once the call that opened it is waiting for the operator.

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
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

// Acts on the modal dialogs of one command as they come up, each step on the dialog with
// its window title. Anything else that comes up modally (a message box) fails the test and
// is closed, and a script that stalls closes the dialog it waits on, so a fault ends the
// command instead of hanging the test.
class ModalScript
{
public:
    struct Step
    {
        QString Title;
        std::function<void(QDialog &)> Act;
    };

    explicit ModalScript(std::deque<Step> steps)
        : steps(std::move(steps))
    {
        QObject::connect(&timer, &QTimer::timeout, [this] { Poll(); });
        timer.start(10);
        running.start();
    }

    bool Done() const { return steps.empty(); }

private:
    void Poll()
    {
        QWidget *shown = QApplication::activeModalWidget();
        if (shown == nullptr) {
            return;
        }
        if (auto *box = qobject_cast<QMessageBox *>(shown)) {
            ADD_FAILURE() << "unexpected message: " << box->text().toStdString();
            box->accept();
            return;
        }
        auto *dialog = qobject_cast<QDialog *>(shown);
        if (dialog != nullptr && dialog != actedOn && !steps.empty()
            && dialog->windowTitle() == steps.front().Title) {
            actedOn = dialog;
            running.restart();
            // Acted on after this poll returns: a message box the step brings up runs a
            // nested event loop, and this timer does not fire again while it is polling.
            QTimer::singleShot(0, dialog, [dialog, act = std::move(steps.front().Act)] { act(*dialog); });
            steps.pop_front();
        } else if (dialog != nullptr && running.hasExpired(10000)) {
            ADD_FAILURE() << "no step for " << dialog->windowTitle().toStdString();
            dialog->reject();
        }
    }

    std::deque<Step> steps;
    QTimer timer;
    QElapsedTimer running;
    QWidget *actedOn = nullptr;
};
