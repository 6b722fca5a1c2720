#include "date_serial.h"

namespace DataFile {

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date.
long DaysFromCivil(long year, int month, int day)
{
    year -= month <= 2;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const long yearOfEra = year - era * 400;
    const long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

} // namespace

bool IsCalendarDate(int year, int month, int day)
{
    constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1) {
        return false;
    }
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= (month == 2 && leap ? 29 : Days[month - 1]);
}

long SerialDay(int year, int month, int day, bool dates1904)
{
    const long days = DaysFromCivil(year, month, day);
    if (dates1904) {
        return days - DaysFromCivil(1904, 1, 1);
    }
    const long serial = days - DaysFromCivil(1899, 12, 30);
    return serial > 0 && serial <= 60 ? serial - 1 : serial;
}

} // namespace DataFile
