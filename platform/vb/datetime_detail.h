// Internal calendar helpers shared by the date functions and Format.
#pragma once

namespace vb::detail {

long long DaysFromCivil(long long y, unsigned m, unsigned d);
void CivilFromDays(long long z, int& year, int& month, int& day);
// Days since 1899-12-30.
long long SerialDay(int year, int month, int day);
// Serial of a day count and a time of day, negative days keeping the time
// counting forward.
double MakeSerial(long long days, long long secondsOfDay);
// A calendar date within 100..9999.
bool ValidDate(int year, int month, int day);

}  // namespace vb::detail
