#pragma once

// Keeps what the import would have shown the operator, in order.

#include "messages.h"

#include <string>
#include <vector>

class RecordedMessages : public MessageSink
{
public:
    void Show(const std::string &caption, const std::string &text) override
    {
        Shown.push_back({caption, text});
    }
    void ShowExclamation(const std::string &caption, const std::string &text) override
    {
        Shown.push_back({caption, text, true});
    }

    std::vector<Refusal> Shown;
};

inline bool operator==(const Refusal &a, const Refusal &b)
{
    return a.Caption == b.Caption && a.Text == b.Text && a.Exclamation == b.Exclamation;
}
