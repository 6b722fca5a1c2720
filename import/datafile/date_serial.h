#pragma once

// Date-time serial numbers as spreadsheet programs store them: days and fractions of a day
// since the start of the workbook's date system.

namespace DataFile {

// Whether the day exists in the (proleptic) Gregorian calendar.
bool IsCalendarDate(int year, int month, int day);

// The serial day a spreadsheet program gives a calendar date. In the 1900 system it counts
// from 1899-12-30, but one less before March 1900, since it counts a 29 February 1900 that
// never was; in the 1904 system it counts from 1904-01-01.
long SerialDay(int year, int month, int day, bool dates1904 = false);

} // namespace DataFile
