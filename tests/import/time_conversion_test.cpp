#include "time_conversion.h"

#include "experiment_record.h"
#include "recorded_messages.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const Refusal TimeFormatMessage {"Error with time format",
    "There was an error with time format. Please go back and check the time format."};

class TimeConversion : public ::testing::Test
{
protected:
    // Every entry from `skipped` on is a point.
    std::vector<double> Convert(int format, std::vector<std::string> texts, int skipped = 0)
    {
        record->Settings.TimeFormat = format;
        record->TimeTexts = std::move(texts);
        record->SkippedRows = skipped;
        record->PointCount = static_cast<int>(record->TimeTexts.size()) - skipped;
        ConvertTimes(*record, messages);
        std::vector<double> times;
        for (const auto &point : UsedPoints(*record)) {
            times.push_back(point.Time);
        }
        return times;
    }

    std::unique_ptr<ExperimentRecord> record = std::make_unique<ExperimentRecord>();
    RecordedMessages messages;
};

TEST_F(TimeConversion, MinutesAreReadAsTheyStand)
{
    EXPECT_EQ(Convert(TimeInMinutes, {"Time", "2.0", "0.5", "1.0", "12.5 min", "abc"}, 1),
        (std::vector<double> {2.0, 0.5, 1.0, 12.5, 0}));
    EXPECT_TRUE(messages.Shown.empty());
}

TEST_F(TimeConversion, TimeStampsCountWholeMinutesBetweenReadings)
{
    const auto times = Convert(TimeStampText,
        {"2013/05/01 12:00:05", "2013/05/01 12:00:15", "2013/05/01 12:00:58", "2013/05/01 12:01:03",
            "2013/05/01 12:02:03", "2013/05/01 12:07:03"});
    ASSERT_EQ(times.size(), 6u);
    EXPECT_DOUBLE_EQ(times[0], 0);
    EXPECT_DOUBLE_EQ(times[1], 10.0 / 60);
    EXPECT_DOUBLE_EQ(times[2], 53.0 / 60);
    EXPECT_DOUBLE_EQ(times[3], 58.0 / 60);
    EXPECT_DOUBLE_EQ(times[4] - times[3], 1); // 60 s apart
    EXPECT_DOUBLE_EQ(times[5] - times[4], 5); // 5 min apart
    EXPECT_TRUE(messages.Shown.empty());
}

TEST_F(TimeConversion, TimeStampsAcceptDashesDecimalSecondsAndCrossMidnightAndMonthEnds)
{
    const auto times = Convert(
        TimeStampText, {"2013-04-30 23:59:30", " 2013/05/01  00:00:15.5 ", "2013/05/02 00:00:15.5"});
    EXPECT_DOUBLE_EQ(times[1], 45.5 / 60);
    EXPECT_DOUBLE_EQ(times[2], 45.5 / 60 + 24 * 60);
}

TEST_F(TimeConversion, TimeOfDayWithoutDateRollsOverAtMidnight)
{
    const auto times = Convert(TimeStampText, {"23:58:00", "23:59:30", "00:00:30", "00:10:30", "00:05:30"});
    EXPECT_DOUBLE_EQ(times[1], 1.5);
    EXPECT_DOUBLE_EQ(times[2], 2.5);
    EXPECT_DOUBLE_EQ(times[3], 12.5);
    EXPECT_DOUBLE_EQ(times[4], 24 * 60 + 7.5); // backwards again: another day
}

// Leading zero readings are not points, but the test started at the first time stamp.
TEST_F(TimeConversion, ElapsedTimeCountsFromTheFirstTimeStampOfTheColumn)
{
    const auto stamps = Convert(
        TimeStampText, {"Timestamp", "2013/05/01 12:00:00", "2013/05/01 12:02:00", "2013/05/01 12:05:00"}, 2);
    EXPECT_EQ(stamps, (std::vector<double> {2, 5}));

    const auto clock = Convert(TimeStampText, {"Time", "23:59:00", "00:01:00"}, 2);
    EXPECT_EQ(clock, (std::vector<double> {2}));

    const auto days
        = Convert(TimeSpreadsheetSerial, {"Time", "41395.500000", "41395.502083", "41395.503472"}, 2);
    ASSERT_EQ(days.size(), 2u);
    EXPECT_NEAR(days[0], 2.99952, 1e-7);
    EXPECT_NEAR(days[1], 4.99968, 1e-7);

    const auto minutes = Convert(TimeInMinutes, {"Time", "1.0", "2.0", "3.0"}, 2);
    EXPECT_EQ(minutes, (std::vector<double> {2.0, 3.0}));
}

TEST_F(TimeConversion, SpreadsheetDaysResolveToMillionthsOfADay)
{
    const auto times = Convert(TimeSpreadsheetSerial, {"41395.500000", "41395.500694"});
    EXPECT_DOUBLE_EQ(times[0], 0);
    EXPECT_NEAR(times[1], 0.99936, 1e-7);
}

TEST_F(TimeConversion, UnreadableTimeStampIsReportedOnceAndLaterPointsKeepZero)
{
    const auto times = Convert(TimeStampText,
        {"Time", "2013/05/01 12:00:00", "2013/05/01 12:01:00", "41395.500000", "2013/05/01 12:03:00",
            "12:00"},
        1);
    EXPECT_EQ(times, (std::vector<double> {0, 1, 0, 0, 0}));
    ASSERT_EQ(messages.Shown.size(), 1u);
    EXPECT_EQ(messages.Shown[0], TimeFormatMessage);
}

TEST_F(TimeConversion, TextsThatOnlyLookLikeTimeStampsAreRefused)
{
    for (const char *text : {"2013/05/01", "12:61:00", "12:00:60", "2013/13/01 12:00:00",
             "2013/02/30 12:00:00", "12:00:05 PM", "a:b:c", ""}) {
        messages.Shown.clear();
        Convert(TimeStampText, {text});
        EXPECT_EQ(messages.Shown.size(), 1u) << text;
    }
}

TEST_F(TimeConversion, ShorterTimeListReadsAsEmptyCells)
{
    record->Settings.TimeFormat = TimeInMinutes;
    record->TimeTexts = {"1.5"};
    record->PointCount = 3;
    ConvertTimes(*record, messages);
    EXPECT_EQ(record->Points[0].Time, 1.5);
    EXPECT_EQ(record->Points[2].Time, 0);
}

} // namespace
