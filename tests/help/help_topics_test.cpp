#include "help_topics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace {

// The help window's list, in its order; texts are Windows-1252.
const std::vector<std::string> ExpectedNames {
    "Additional Data Input",
    "Analytical Method Detection Limit",
    "Analytical Technique",
    "Analyzer Output Reading",
    "Analyzer Response Format",
    "Average Material Thickness (mm)",
    "Average Permeation Rate",
    "Average Permeation Rate Closed-Loop Continuous Sampling Calculation",
    "Average Permeation Rate Closed-Loop Discrete Sampling with replacement Calculation",
    "Average Permeation Rate Closed-Loop Discrete Sampling without replacement Calculation",
    "Breakthrough Detection Time (BDT)",
    "Chemicals",
    "Choice of Variable",
    "Closed Loop System (CL)",
    "Collection Medium",
    "Column Headers",
    "Comments",
    "Constant Flow rate of fresh collection medium",
    "Continuous Sampling",
    "Correlation Factor (R\xB2)",
    "Cumulative Amount Permeated Closed-Loop Continuous Sampling Calculation",
    "Cumulative Amount Permeated Closed-Loop Discrete Sampling with replacement Calculation",
    "Cumulative Amount Permeated Closed-Loop Discrete Sampling without replacement Calculation",
    "Cumulative Permeation",
    "Cumulative Permeation Mass",
    "Cumulative Permeation Mass Target",
    "Data File Requirements",
    "Data Filename",
    "Data Input",
    "Data Sampling Interval (seconds)",
    "Discrete Sampling",
    "Elapsed Time for Cumulative Mass",
    "Equation for Converting Output Reading",
    "Excel 2002 Workbook ",
    "Excel 2003 Workbook ",
    "Excel 97-2003 & 5.0/95 Workbook",
    "Excel File Format",
    "Exposure Area",
    "GC",
    "GC peak area",
    "GC peak height",
    "Headers",
    "Import Data",
    "Instrument ID Number",
    "Instrument Settings",
    "Instrument Type",
    "Keywords",
    "Manually Select Data Columns",
    "Material Type (Manufacturer/Product)",
    "Maximum Number of Data Points",
    "Maximum Permeation Rate",
    "Minimum Breakthrough Detection Time",
    "Minimum Detectable Mass Permeated",
    "Minimum Detectable Permeation Rate",
    "Modify Settings",
    "Nominal Test Temperature",
    "Normalization Permeation Mass",
    "Normalization Permeation Rate",
    "Normalized Breakthrough Time",
    "Open Data File ",
    "Open Loop System (OL)",
    "Operating Systems",
    "Operator",
    "Option 1: Use Concentration (in \xB5g/L)",
    "Option 2: Use Concentration (in ppm)",
    "Option 3: Use Other Analyzer Output Reading",
    "Parts per Million (ppm)",
    "Permeation Mass",
    "Permeation Rate",
    "Permeation Rate Open-Loop Calculation",
    "Physical State",
    "Plot",
    "Print",
    "Pump ID Number",
    "Renaming Data File",
    "Sample Volume is NOT replaced, enter Volume Removed (Vs in ASTM F 739)",
    "Sample Volume IS replaced, enter Volume Replaced (Vs in ASTM F 739)",
    "Save as an Excel File",
    "Save as Text File",
    "Select the data file",
    "Sheet1",
    "Significant Figures",
    "Specimen Weight",
    "Standardized Breakthrough Time",
    "Steady-State Permeation Rate (SSPR)",
    "Steady-State Permeation was not Established",
    "Swatch Exposure Size (A in ASTM F 739)",
    "Temperature Range",
    "Test Chemical",
    "Test Duration",
    "Time Format",
    "Total Volume of the Collection Medium (Vt in ASTM F 739)",
    "Unit for Concentration",
    "Variable Flow Rate",
    "View Graph",
    "Weight per Unit Area of Specimen",
};

const std::string SharedWorkbookText
    = "The data must be present on a worksheet named either 'Sheet1' or named the same as the data "
      "file\x92s name. If the data file\x92s name is changed, you must rename the worksheet consistently "
      "to be the same as the new data file\x92s name, or simply rename the worksheet as 'Sheet1'. "
      " Otherwise the program will not run.   ";

// The texts that must read exactly as written here, byte for byte.
const std::vector<std::pair<std::string, std::string>> QuotedTexts {
    {"Column Headers",
        "The data fields can be assigned manually; otherwise the program will search for the data "
        "based on the column headers. The headers for the time column must be \x91time\x92 or "
        "\x91timestamp\x92. "
        "The headers for the data column must be \x91"
        "analyzer output\x92,  \x91"
        "concentration\x92, "
        "\x91voltage\x92, \x91volt\x92, \x91GC peak height\x92, or \x91GC peak area\x92.  The headers "
        "for a variable flowrate column must be \x91"
        "flowrate\x92 or \x91"
        "flow rate\x92. The headers "
        "for the columns are not case sensitive.  The above keywords must be located at the top of "
        "the appropriate column. Ensure that there are no spaces or symbols appearing before the keywords. "
        " The unit for concentration must be \xB5g/L, or ppm. The time format can be in minutes, YYYY/MM/DD "
        "HH:MM:SS, or MM/DD/YYYY HH:MM:SS ##."},
    {"Excel 2002 Workbook ", SharedWorkbookText},
    {"Excel 2003 Workbook ", SharedWorkbookText},
    {"Excel 97-2003 & 5.0/95 Workbook", SharedWorkbookText},
    {"Manually Select Data Columns",
        "This button on the Choice of Variable screen allows the user to manually enter excel column "
        "headers (by letter) from which they wish to extract data from their data files.  The program "
        "will accept either upper or lower case letters, and can handle multi-letter columns (AA, "
        "AB, etc.)  If the user has manually selected any data columns, the text of the button on "
        "the Choice of Variable screen will change from 'Manually Select Data Columns' to 'Manual "
        "Data Columns Selected'. If all column selections are cleared, the text of the button will "
        "revert to 'Manually Select Data Columns'.\r\n\r\n NOTE: Currently, this feature will only "
        "work correctly if there is some text entered in Column A of the Excel file."},
    {"Maximum Number of Data Points", "The number of data points must be less than 5000. "},
    {"Maximum Permeation Rate",
        "The highest permeation rate determined during the entire permeation test.  The program calculates "
        "maximum permeation rate for open loop testing only, since steady-state permeation rate is "
        "the maximum permeation rate for closed loop testing.  Refer to Section 12.10 in ASTM F 739-12 "
        "and Section 9 in ISO 6529:2001."},
    {"Minimum Breakthrough Detection Time",
        "The time in minutes measured from the start of the test to the sampling time that immediately "
        "precedes the sampling time at which the permeation rate reaches 0.01 \xB5g/cm2/min.  Refer "
        "to ASTM D 6978-05 (Reapproved 2013)"},
    {"Normalized Breakthrough Time",
        "Based on CEN Method 374 (used in Europe), it is the elapsed time at which the permeation "
        "rate reaches 1.0 \xB5g/ cm2/min."},
    {"Save as Text File",
        "The results are saved in a comma separated value format. If the selected file name already "
        "exists, the program will overwrite the data in the existing file. The previous data will "
        "be lost."},
    {"Significant Figures",
        "The number of significant figures used for the input data will affect the number of significant "
        "figures reported for the permeation parameters. Therefore, appropriate significant figures "
        "should be used when inputting the data."},
    {"Standardized Breakthrough Time", "The time at which the permeation rate reaches 0.1\xB5g/cm2/min."},
    {"Steady-State Permeation was not Established",
        "The check box alerts the program that the test did not reach steady-state. The program lets "
        "the user make the justification by viewing the data graph. If the box is checked, the program "
        "will report maximum permeation rate only."},
    {"View Graph",
        "Same as \x91View Results Graph\x92. This function generates a graph of the test data. It "
        "is a plot of cumulative permeation (\xB5g/cm2) versus time (minutes) for closed-loop systems, "
        "and permeation rate (\xB5g/cm2*min) versus time (minutes) for open-loop systems. This function "
        "becomes active once the test results screen appears."},
};

const HelpTopic *FindTopic(const std::string &name)
{
    const auto &topics = HelpTopics();
    const auto found = std::find_if(
        topics.begin(), topics.end(), [&name](const HelpTopic &topic) { return topic.Name == name; });
    return found == topics.end() ? nullptr : &*found;
}

std::string TextOf(const std::string &name)
{
    const HelpTopic *topic = FindTopic(name);
    return topic ? topic->Text : "<missing topic " + name + ">";
}

std::vector<HelpTopic> Parsed(std::string_view table)
{
    auto result = ParseHelpTopics(table);
    if (const auto *error = std::get_if<HelpTableError>(&result)) {
        ADD_FAILURE() << "line " << error->Line << ": " << error->Message;
        return {};
    }
    return std::get<std::vector<HelpTopic>>(std::move(result));
}

int ErrorLine(std::string_view table)
{
    const auto result = ParseHelpTopics(table);
    const auto *error = std::get_if<HelpTableError>(&result);
    return error ? error->Line : 0;
}

TEST(HelpTopics, NamesInTheListOrder)
{
    std::vector<std::string> names;
    for (const HelpTopic &topic : HelpTopics()) {
        names.push_back(topic.Name);
    }
    ASSERT_EQ(ExpectedNames.size(), 96u);
    EXPECT_EQ(names, ExpectedNames);
    for (const char *name : {"Excel 2002 Workbook ", "Excel 2003 Workbook ", "Open Data File "}) {
        EXPECT_NE(FindTopic(name), nullptr) << '"' << name << '"';
    }
}

TEST(HelpTopics, QuotedTextsByteForByte)
{
    for (const auto &[name, text] : QuotedTexts) {
        EXPECT_EQ(TextOf(name), text) << name;
    }
}

TEST(HelpTopics, PointerTopicsNameExistingTopics)
{
    EXPECT_EQ(TextOf("Headers"), "See Column Headers");
    EXPECT_EQ(TextOf("Keywords"), "See Column Headers");
    EXPECT_EQ(TextOf("Plot"), "See View Graph");
    for (const HelpTopic &topic : HelpTopics()) {
        if (topic.Text.starts_with("See ")) {
            EXPECT_NE(FindTopic(topic.Text.substr(4)), nullptr) << topic.Name << ": " << topic.Text;
        }
    }
}

// Every text is shown in a Windows text box: something to read, and line breaks only as CR LF.
TEST(HelpTopics, EveryTextIsFilledWithCrLfLineBreaks)
{
    for (const HelpTopic &topic : HelpTopics()) {
        EXPECT_FALSE(topic.Text.empty()) << topic.Name;
        for (std::size_t i = 0; i < topic.Text.size(); ++i) {
            const char c = topic.Text[i];
            const bool brokenLine = (c == '\r' && (i + 1 == topic.Text.size() || topic.Text[i + 1] != '\n'))
                || (c == '\n' && (i == 0 || topic.Text[i - 1] != '\r'));
            ASSERT_FALSE(brokenLine) << topic.Name << " at " << i;
        }
    }
}

TEST(HelpTableFormat, KeepsBlanksTabsAndLineBreaks)
{
    const auto topics = Parsed("# comment\r\n"
                               "\r\n"
                               "topic \"Name ending in a blank \"\r\n"
                               "|\\tIndented, \\\\ and \xC2\xB5g/cm\xC2\xB2  |\r\n"
                               "||\r\n"
                               "| a | b |\r\n"
                               "end\r\n"
                               "topic \"Second\"\n"
                               "|x|\n"
                               "end");
    ASSERT_EQ(topics.size(), 2u);
    EXPECT_EQ(topics[0].Name, "Name ending in a blank ");
    EXPECT_EQ(topics[0].Text, "\tIndented, \\ and \xB5g/cm\xB2  \r\n\r\n a | b ");
    EXPECT_EQ(topics[1].Name, "Second");
    EXPECT_EQ(topics[1].Text, "x");
}

TEST(HelpTableFormat, RefusesWhatItCannotReadWithItsLine)
{
    EXPECT_EQ(ErrorLine("topic \"A\"\n|text|\n"), 2) << "no end";
    EXPECT_EQ(ErrorLine("topic \"A\"\ntext\nend\n"), 2) << "text without bars";
    EXPECT_EQ(ErrorLine("topic \"A\"\n|text|  \nend\n"), 2) << "blanks after the closing bar";
    EXPECT_EQ(ErrorLine("topic \"A\"\n|a\\nb|\nend\n"), 2) << "unknown escape";
    EXPECT_EQ(ErrorLine("topic \"A\"\n|\xE2\x88\x92|\nend\n"), 3) << "no Windows-1252 byte";
    EXPECT_EQ(ErrorLine("topic A\n"), 1) << "name without quotes";
    EXPECT_EQ(ErrorLine("|text|\n"), 1) << "text outside a topic";
}

} // namespace
