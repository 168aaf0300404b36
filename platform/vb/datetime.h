// Dates as VB keeps them: a double counting days since 1899-12-30; the
// fraction is the time of day.
#pragma once

#include <optional>
#include <string_view>

namespace vb {

struct DateParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
};

struct Date {
    double serial = 0.0;
    friend bool operator==(Date a, Date b) { return a.serial == b.serial; }
};

// Raises 5 for impossible values outside the year range 100..9999.
Date DateSerial(int year, int month, int day);
Date TimeSerial(int hour, int minute, int second);
DateParts Split(Date d);
Date Now();    // local date and time
Date Today();  // local date, midnight
int Year(Date d);
int Month(Date d);
int Day(Date d);
int Hour(Date d);
int Minute(Date d);
int Second(Date d);
int Weekday(Date d);  // 1 = Sunday .. 7 = Saturday

// Date text as CDate reads it with day/month/year settings: "05/03/2004",
// "5-3-04", "2004/03/05" (year first), an optional time "14:05[:09]" with an
// optional AM/PM, or a time alone. Nothing when the text is no date.
std::optional<Date> ParseDate(std::string_view text);

}  // namespace vb
