#pragma once

// The entries every imported file starts from, and the defaults the Data Input and
// Additional Data Input dialogs fill on their first showing for a file.

#include <string>

struct ExperimentRecord;

struct CalendarDate
{
    int Year = 0;
    int Month = 0; // 1 to 12
    int Day = 0;
};

CalendarDate LocalToday();

// "%i/%i/%i" as month, day and four-digit year, no leading zeros: 3/5/2014.
std::string TestDateText(const CalendarDate &date);
std::string TodayAsTestDate();

// Before the settings sequence of each file: forgets the entries tied to the previous file
// (volumes, flow rate, sizes, column letters, the reference flow rate) and keeps the
// radio-button choices, the calibration equation and the molecular weight. `sourceName`
// is the file's name without folder, in Windows-1252, as the reports show it.
void ResetForImport(ExperimentRecord &record, const std::string &sourcePath, const std::string &sourceName,
    const std::string &testDate);

// Before Data Input shows: on its first showing for a file, Ti-1 and Ti span the data and
// the texts typed for the previous file are gone.
void PrepareDataInput(ExperimentRecord &record);

// Before Additional Data Input shows: on its first showing for a file, every text but the
// test date is emptied.
void PrepareAdditionalDataInput(ExperimentRecord &record);
