#pragma once

// What the program has to tell the operator. The desktop program shows a modal message box,
// the batch tool prints "CAPTION: TEXT" on standard error; the import itself never shows or
// prints anything, so it can be driven and checked without a window.

#include <string>

// A message for the operator, or an entry refused by a check (caption "Invalid Entry" for
// the dialogs' validation). Texts are Windows-1252.
struct Refusal
{
    std::string Caption;
    std::string Text;
    bool Exclamation = false; // shown with the exclamation icon
};

class MessageSink
{
public:
    virtual ~MessageSink() = default;
    // Returns once the operator has seen the message; the caller then goes on. The caption
    // may be empty.
    virtual void Show(const std::string &caption, const std::string &text) = 0;
    // The same with the exclamation icon, for a failure that ends a command. Where there
    // are no icons it reads like any other message.
    virtual void ShowExclamation(const std::string &caption, const std::string &text) { Show(caption, text); }
};

// Shows a message with the icon it asks for.
inline void ShowRefusal(MessageSink &messages, const Refusal &refusal)
{
    if (refusal.Exclamation) {
        messages.ShowExclamation(refusal.Caption, refusal.Text);
    } else {
        messages.Show(refusal.Caption, refusal.Text);
    }
}
