#pragma once

// A record filled as the desktop's import fills it: an examples/ workbook read with its
// settings file standing in for the three dialogs.

#include "example_workbook.h"

#include <gtest/gtest.h>

#include <string>

class FailingMessages : public MessageSink
{
public:
    void Show(const std::string &caption, const std::string &text) override
    {
        ADD_FAILURE() << caption << ": " << text;
    }
};

inline void ImportExample(const std::string &name, ExperimentRecord &record, AnalysisObserver &observer)
{
    FailingMessages messages;
    ASSERT_TRUE(ReadExampleWorkbook(std::string(ORVANE_EXAMPLES) + "/" + name, record, messages, observer));
}
