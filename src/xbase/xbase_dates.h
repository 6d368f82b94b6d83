// Dates of the dBASE table library: the nine national date modes with and without century, the
// conversions between a date text in the current mode, the American form MM/DD/YY(YY), the
// stored form YYYYMMDD and Julian day numbers, the two-digit-year window, validation, the day
// of the week and the day and month names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Settings of the library.
extern int DateMode;            // 0..8
extern int LocaleMode;          // the mode found at start-up
extern bool CenturyOn;          // years shown with 4 digits
extern std::uint16_t BaseYear;  // two-digit years map into BaseYear .. BaseYear + 99
extern char DecimalPoint;       // shown in numbers as text
extern char ThousandsSeparator;

// The program's own format settings (what the class library kept): the short date format and
// date separator that SetDateMode sets, and the separators DateModeFromFormat takes over.
extern std::string ShortDateFormat;
extern char DateSeparator;
extern char DecimalSeparator;
extern char ThousandSeparator;

// Date settings at start-up: locale mode, separators, base year = this year - 70.
void InitXbaseDates();

void SetDateMode(int mode);
// Mode of the user's language (LC_ALL, LC_TIME, LANG such as "de_DE.UTF-8").
int LocaleDateMode();
// Mode of a language and country code pair ("fr", "CA" gives 7).
int LocaleDateModeFor(std::string_view language, std::string_view country);
void SetLocaleDateMode();
void DateModeFromFormat();

// Empty date text of a mode ("  /  /  ", "  .  .    ", ...).
std::string DateTemplate(int mode);
// Separator character of a mode.
char DateModeSeparator(int mode);

std::uint16_t CenturyOf(std::string_view twoDigitYear);
std::string CenturyText(std::string_view twoDigitYear);
std::string ExpandYear(std::string_view year);
std::string ToAmericanDate(std::string_view text);
std::string FromAmericanDate(std::string_view text);
bool ValidDate(std::string& text);
bool IsLeapYear(int year);
int DayOfWeekNum(std::string_view dateText);
std::string CDow(std::string_view dateText);
std::string CMonth(std::string_view dateText);
int Month(std::string_view dateText);
int Day(std::string_view dateText);
int Year(std::string_view dateText);

double DateToJulian(int year, int month, int day);
double DtosToJulian(std::string_view dtos);
std::string JulianToDtos(double jd);
std::string JulianToDateText(double jd);
double DateTextToJulian(std::string_view text);
std::string DateTextToDtos(std::string_view text);

// A stored YYYYMMDD text as a date text in the current mode (and back); empty dates give the
// mode's template or eight blanks.
std::string DtosToDateText(std::string_view dtos);

void GetDate(int& year, int& month, int& day, int& dayOfWeek);
void UnpackFileTime(std::int64_t fileTime, int& year, int& month, int& day, int& hour, int& minute,
                    int& second);
std::uint32_t Seconds();
