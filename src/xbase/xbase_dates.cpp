// Date modes, date texts, the two-digit-year window and Julian day numbers of the dBASE table
// library.
#include "xbase/xbase_dates.h"

#include <array>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>

#include "common/formatting.h"
#include "xbase/xbase_platform.h"
#include "xbase/xbase_utils.h"

int DateMode = 0;
int LocaleMode = 0;
bool CenturyOn = false;
std::uint16_t BaseYear = 1956;
char DecimalPoint = '.';
char ThousandsSeparator = ',';
std::string ShortDateFormat = "MM/dd/yy";
char DateSeparator = '/';
char DecimalSeparator = '.';
char ThousandSeparator = ',';

namespace {

// One language's names, blank-padded to their widths, in the DOS code page.
struct TNameTable {
  int dayWidth;
  std::array<const char*, 7> days;
  int monthWidth;
  std::array<const char*, 12> months;
};

// Latin names in code page 437 (\x82 e acute, \x84 a umlaut, \x96 u circumflex).
const TNameTable kEnglish = {
    9,
    {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"},
    9,
    {"January", "February", "March", "April", "May", "June", "July", "August", "September",
     "October", "November", "December"}};
const TNameTable kItalian = {
    9,
    {"Domenica", "Lunedi", "Martedi", "Mercoledi", "Giovedi", "Venerdi", "Sabato"},
    9,
    {"Gennaio", "Febbraio", "Marzo", "Aprile", "Maggio", "Giugno", "Luglio", "Agosto", "Settembre",
     "Ottobre", "Novembre", "Dicembre"}};
const TNameTable kFrench = {
    8,
    {"Dimanche", "Lundi", "Mardi", "Mercredi", "Jeudi", "Vendredi", "Samedi"},
    9,
    {"Janvier", "F\x82vrier", "Mars", "Avril", "Mai", "Juin", "Juillet", "Ao\x96t", "Septembre",
     "Octobre", "Novembre",
     "D\x82"
     "cembre"}};
const TNameTable kGerman = {
    10,
    {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"},
    9,
    {"Januar", "Februar", "M\x84rz", "April", "Mai", "Juni", "Juli", "August", "September",
     "Oktober", "November", "Dezember"}};
const TNameTable kSpanish = {
    9,
    {"Domingo", "Lunes", "Martes", "Miercoles", "Jueves", "Viernes", "Sabado"},
    10,
    {"Enero", "Febrero", "Marzo", "Abril", "Mayo", "Junio", "Julio", "Agosto", "Septiembre",
     "Octubre", "Noviembre", "Diciembre"}};
// Russian names in code page 866.
const TNameTable kRussian = {
    11,
    {"\x82\xae\xe1\xaa\xe0\xa5\xe1\xa5\xad\xec\xa5", "\x8f\xae\xad\xa5\xa4\xa5\xab\xec\xad\xa8\xaa",
     "\x82\xe2\xae\xe0\xad\xa8\xaa", "\x91\xe0\xa5\xa4\xa0", "\x97\xa5\xe2\xa2\xa5\xe0\xa3",
     "\x8f\xef\xe2\xad\xa8\xe6\xa0", "\x91\xe3\xa1\xa1\xae\xe2\xa0"},
    8,
    {"\x9f\xad\xa2\xa0\xe0\xec", "\x94\xa5\xa2\xe0\xa0\xab\xec", "\x8c\xa0\xe0\xe2",
     "\x80\xaf\xe0\xa5\xab\xec", "\x8c\xa0\xa9", "\x88\xee\xad\xec", "\x88\xee\xab\xec",
     "\x80\xa2\xa3\xe3\xe1\xe2", "\x91\xa5\xad\xe2\xef\xa1\xe0\xec", "\x8e\xaa\xe2\xef\xa1\xe0\xec",
     "\x8d\xae\xef\xa1\xe0\xec", "\x84\xa5\xaa\xa0\xa1\xe0\xec"}};

const TNameTable& NamesOfMode(int mode) {
  switch (mode) {
    case 3:
      return kItalian;
    case 4:
    case 7:
      return kFrench;
    case 5:
      return kGerman;
    case 6:
      return kSpanish;
    case 8:
      return kRussian;
    default:
      return kEnglish;
  }
}

std::string PaddedTo(std::string text, int width) {
  if (static_cast<int>(text.size()) < width) text.append(width - text.size(), ' ');
  return text;
}

std::string Trim(std::string_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return std::string(text.substr(first, last - first));
}

std::string PadZero2(std::string part) {
  while (part.size() < 2) part.insert(part.begin(), '0');
  return part;
}

// The whole text as a non-negative number; false when it is empty or has a non-digit.
bool ParseNumber(std::string_view text, int& value) {
  if (text.empty()) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > 1000000) return false;
  }
  return true;
}

int YearBlanks() {
  return CenturyOn ? 4 : 2;
}

std::string AmericanTemplate() {
  return "  /  /" + std::string(YearBlanks(), ' ');
}

constexpr int kCumulativeDays[13] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};

int MonthLength(int year, int month) {
  static constexpr int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && IsLeapYear(year)) return 29;
  return kLengths[month - 1];
}

long long DaysBeforeYear(long long year) {
  const long long y = year - 1;
  if (y < 1) return 0;
  return y * 365 + y / 4 - y / 100 + y / 400;
}

int YearLength(long long year) {
  return IsLeapYear(static_cast<int>(year)) ? 366 : 365;
}

constexpr double kJulianOffset = 1721425;
constexpr double kLastJulian = 5373484;  // 31 December 9999

// Year, month and day of a Julian day number inside the defined range.
bool SplitJulian(double jd, int& year, int& month, int& day) {
  if (!(jd > kJulianOffset && jd <= kLastJulian)) return false;
  const long long days = static_cast<long long>(jd) - static_cast<long long>(kJulianOffset);
  long long y = days / 366 + 1;
  long long rest = days - DaysBeforeYear(y);
  while (rest > YearLength(y)) {
    rest -= YearLength(y);
    ++y;
  }
  const bool leap = IsLeapYear(static_cast<int>(y));
  int m = 1;
  while (m < 12) {
    const int before = kCumulativeDays[m] + ((leap && m >= 2) ? 1 : 0);
    if (rest <= before) break;
    ++m;
  }
  const int before = kCumulativeDays[m - 1] + ((leap && m > 2) ? 1 : 0);
  year = static_cast<int>(y);
  month = m;
  day = static_cast<int>(rest - before);
  return true;
}

std::string Digits(int value, int width) {
  std::string text = std::to_string(value);
  while (static_cast<int>(text.size()) < width) text.insert(text.begin(), '0');
  return text;
}

// Month, day and year parts joined in the current mode.
std::string JoinInMode(const std::string& month, const std::string& day, const std::string& year) {
  std::string text;
  switch (DateMode) {
    case 0:
      text = month + "/" + day + "/" + year;
      break;
    case 1:
      text = year + "." + month + "." + day;
      break;
    default: {
      const char sep = DateModeSeparator(DateMode);
      text = day + sep + month + sep + year;
      break;
    }
  }
  if (text.size() > 10) text.resize(10);
  return text;
}

// Splits at the first two separators; a missing part is empty.
void SplitDate(std::string_view text, char sep, std::string& a, std::string& b, std::string& c) {
  const std::size_t p1 = text.find(sep);
  if (p1 == std::string_view::npos) {
    a = std::string(text);
    b.clear();
    c.clear();
    return;
  }
  a = std::string(text.substr(0, p1));
  const std::size_t p2 = text.find(sep, p1 + 1);
  if (p2 == std::string_view::npos) {
    b = std::string(text.substr(p1 + 1));
    c.clear();
    return;
  }
  b = std::string(text.substr(p1 + 1, p2 - p1 - 1));
  c = std::string(text.substr(p2 + 1));
}

bool IsEmptyDateText(std::string_view text) {
  for (char c : text)
    if (c != ' ' && c != '/' && c != '-' && c != '.' && c != '\0') return false;
  return true;
}

// Full year of an American date's year part (2 digits get their century).
bool AmericanParts(std::string_view american, int& month, int& day, int& year) {
  if (american.size() < 8) return false;
  if (!ParseNumber(american.substr(0, 2), month)) return false;
  if (!ParseNumber(american.substr(3, 2), day)) return false;
  const std::string_view yearText = american.substr(6);
  if (!ParseNumber(yearText, year)) return false;
  if (yearText.size() == 2) year += CenturyOf(yearText);
  return true;
}

}  // namespace

void InitXbaseDates() {
  CenturyOn = false;
  SetLocaleDateMode();
  int year = 0, month = 0, day = 0, dow = 0;
  GetDate(year, month, day, dow);
  BaseYear = static_cast<std::uint16_t>(year - 70);
}

char DateModeSeparator(int mode) {
  switch (mode) {
    case 0:
    case 2:
      return '/';
    case 3:
      return '-';
    case 1:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
      return '.';
    default:
      return '/';
  }
}

void SetDateMode(int mode) {
  if (mode >= 9 || mode < 0) mode = 0;
  DateMode = mode;
  const std::string year = CenturyOn ? "yyyy" : "yy";
  switch (mode) {
    case 0:
      ShortDateFormat = "MM/dd/" + year;
      break;
    case 1:
      ShortDateFormat = year + ".MM.dd";
      break;
    case 2:
      ShortDateFormat = "dd/MM/" + year;
      break;
    case 3:
      ShortDateFormat = "dd-MM-" + year;
      break;
    default:
      ShortDateFormat = "dd.MM." + year;
      break;
  }
  DateSeparator = DateModeSeparator(mode);
}

int LocaleDateModeFor(std::string_view language, std::string_view country) {
  // ASCII folding, the same in every locale (under tr_TR "i" does not rise to "I").
  const std::string lang = UpperAscii(language), ctry = UpperAscii(country);
  if (lang == "DE") return 5;
  if (lang == "EN") return (ctry.empty() || ctry == "US") ? 0 : 2;
  if (lang == "ES") return 6;
  if (lang == "FR") return ctry == "CA" ? 7 : 4;
  if (lang == "IT") return 3;
  if (lang == "RU") return 8;
  return 0;
}

int LocaleDateMode() {
  const char* names[] = {"LC_ALL", "LC_TIME", "LANG"};
  std::string locale;
  for (const char* name : names) {
    const char* value = std::getenv(name);
    if (value && *value) {
      locale = value;
      break;
    }
  }
  // "de_DE.UTF-8@euro": language before "_", country up to "." or "@".
  const std::size_t end = locale.find_first_of(".@");
  if (end != std::string::npos) locale.resize(end);
  const std::size_t underscore = locale.find('_');
  if (underscore == std::string::npos) return LocaleDateModeFor(locale, "");
  return LocaleDateModeFor(locale.substr(0, underscore), locale.substr(underscore + 1));
}

void SetLocaleDateMode() {
  LocaleMode = LocaleDateMode();
  SetDateMode(LocaleMode);
  // Numbers show the decimal sign the rest of the program shows this user.
  DecimalPoint = UserDecimalSign();
  if (LocaleMode == 8) {
    ThousandsSeparator = ' ';
  } else {
    ThousandsSeparator = DecimalPoint == ',' ? '.' : ',';
  }
  DecimalSeparator = DecimalPoint;
  ThousandSeparator = ThousandsSeparator;
}

void DateModeFromFormat() {
  DecimalPoint = DecimalSeparator;
  ThousandsSeparator = ThousandSeparator;
  const std::string upper = UpperAscii(ShortDateFormat);
  CenturyOn = upper.find("YYYY") != std::string::npos;
  int mode = 0;
  const char first = ShortDateFormat.empty() ? ' ' : ShortDateFormat[0];
  if (first == 'D' || first == 'd') {
    mode = DateSeparator == '-' ? 3 : (DateSeparator == '.' ? 5 : 2);
  } else if (first == 'Y' || first == 'y') {
    mode = 1;
  }
  SetDateMode(mode);
}

std::string DateTemplate(int mode) {
  const std::string year(YearBlanks(), ' ');
  switch (mode) {
    case 1:
      return year + ".  .  ";
    case 3:
      return "  -  -" + year;
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
      return "  .  ." + year;
    default:
      return "  /  /" + year;
  }
}

std::uint16_t CenturyOf(std::string_view twoDigitYear) {
  int yy = 0;
  for (std::size_t i = 0; i < 2 && i < twoDigitYear.size(); ++i) {
    const char c = twoDigitYear[i];
    if (c >= '0' && c <= '9') yy = yy * 10 + (c - '0');
  }
  const int b = BaseYear;
  return static_cast<std::uint16_t>(b / 100 * 100 + (yy < b % 100 ? 100 : 0));
}

std::string CenturyText(std::string_view twoDigitYear) {
  return std::to_string(CenturyOf(twoDigitYear)).substr(0, 2);
}

std::string ExpandYear(std::string_view year) {
  if (!CenturyOn) return std::string(year);
  std::string text(year);
  if (text.size() == 2) text = CenturyText(text) + text;
  while (text.size() < 4) text.insert(text.begin(), '0');
  return text;
}

std::string ToAmericanDate(std::string_view text) {
  const std::size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  char sep = 0;
  if (text.find('/') != std::string_view::npos)
    sep = '/';
  else if (text.find('-') != std::string_view::npos)
    sep = '-';
  else if (text.find('.') != std::string_view::npos)
    sep = '.';
  else
    return std::string(text);
  std::string a, b, c;
  SplitDate(text, sep, a, b, c);
  a = Trim(a);
  b = Trim(b);
  c = Trim(c);
  if (a.empty() && b.empty() && c.empty()) return AmericanTemplate();
  std::string month, day, year;
  switch (DateMode) {
    case 0:
      month = a, day = b, year = c;
      break;
    case 1:
      year = a, month = b, day = c;
      break;
    default:
      day = a, month = b, year = c;
      break;
  }
  std::string result = PadZero2(month) + "/" + PadZero2(day) + "/" + ExpandYear(PadZero2(year));
  if (result.size() > 10) result.resize(10);
  return result;
}

std::string FromAmericanDate(std::string_view text) {
  std::string month, day, year;
  SplitDate(text, '/', month, day, year);
  month = Trim(month);
  day = Trim(day);
  year = Trim(year);
  if (month.empty() && day.empty() && year.empty()) return DateTemplate(DateMode);
  return JoinInMode(PadZero2(month), PadZero2(day), ExpandYear(PadZero2(year)));
}

bool ValidDate(std::string& text) {
  std::string trimmed = Trim(text);
  if (trimmed.size() > 10) trimmed.resize(10);
  std::string american = ToAmericanDate(trimmed);
  if (american == AmericanTemplate()) return true;
  if (american.size() != 8 && american.size() != 10) return false;
  if (american[2] != '/' || american[5] != '/') return false;
  int month = 0, day = 0, year = 0;
  if (!ParseNumber(american.substr(0, 2), month) || !ParseNumber(american.substr(3, 2), day) ||
      !ParseNumber(american.substr(6), year))
    return false;
  if (month < 1 || month > 12 || day < 1 || day > 31) return false;
  if (month == 2 && day > 29) return false;
  if (day == 31 && (month == 4 || month == 6 || month == 9 || month == 11)) return false;
  if (american.size() == 8) year += CenturyOf(american.substr(6));
  if (month == 2 && day == 29 && !IsLeapYear(year)) return false;
  if (american.size() == 10 && !CenturyOn) american.erase(6, 2);
  text = DateMode == 0 ? american : FromAmericanDate(american);
  return true;
}

bool IsLeapYear(int year) {
  return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
}

int DayOfWeekNum(std::string_view dateText) {
  const std::string american = ToAmericanDate(dateText);
  int month = 0, day = 0, year = 0;
  if (!AmericanParts(american, month, day, year)) return 0;
  if (month < 3) {
    month += 12;
    --year;
  }
  const int c = year / 100;
  const int y = year % 100;
  int h = (day + (month + 1) * 26 / 10 + y + y / 4 + c / 4 - 2 * c) % 7;
  if (h < 0) h += 7;
  return h == 0 ? 7 : h;
}

std::string CDow(std::string_view dateText) {
  if (IsEmptyDateText(dateText)) return std::string(10, ' ');
  const int dow = DayOfWeekNum(dateText);
  if (dow < 1) return std::string(10, ' ');
  const TNameTable& names = NamesOfMode(DateMode);
  return PaddedTo(names.days[dow - 1], names.dayWidth);
}

std::string CMonth(std::string_view dateText) {
  if (IsEmptyDateText(dateText)) return std::string(9, ' ');
  const int month = Month(dateText);
  if (month < 1 || month > 12) return std::string(9, ' ');
  const TNameTable& names = NamesOfMode(DateMode);
  return PaddedTo(names.months[month - 1], names.monthWidth);
}

int Month(std::string_view dateText) {
  const std::string american = ToAmericanDate(dateText);
  int value = 0;
  return ParseNumber(
             std::string_view(american).substr(0, std::min<std::size_t>(2, american.size())), value)
             ? value
             : 0;
}

int Day(std::string_view dateText) {
  const std::string american = ToAmericanDate(dateText);
  int value = 0;
  if (american.size() < 5) return 0;
  return ParseNumber(std::string_view(american).substr(3, 2), value) ? value : 0;
}

int Year(std::string_view dateText) {
  const std::string american = ToAmericanDate(dateText);
  int value = 0;
  if (american.size() < 7) return 0;
  return ParseNumber(std::string_view(american).substr(6), value) ? value : 0;
}

double DateToJulian(int year, int month, int day) {
  if (year < 0 || month < 1 || month > 12 || day < 1 || day > MonthLength(year, month)) return 0;
  const int dayOfYear =
      kCumulativeDays[month - 1] + ((month > 2 && IsLeapYear(year)) ? 1 : 0) + day;
  return static_cast<double>(DaysBeforeYear(year) + dayOfYear) + kJulianOffset;
}

double DtosToJulian(std::string_view dtos) {
  if (dtos.size() > 8) dtos = dtos.substr(0, 8);
  if (dtos.size() < 8) return 0;
  int year = 0, month = 0, day = 0;
  if (!ParseNumber(dtos.substr(0, 4), year) || !ParseNumber(dtos.substr(4, 2), month) ||
      !ParseNumber(dtos.substr(6, 2), day))
    return 0;
  return DateToJulian(year, month, day);
}

std::string JulianToDtos(double jd) {
  int year = 0, month = 0, day = 0;
  if (!SplitJulian(jd, year, month, day)) return std::string(8, ' ');
  return Digits(year, 4) + Digits(month, 2) + Digits(day, 2);
}

std::string JulianToDateText(double jd) {
  int year = 0, month = 0, day = 0;
  if (!SplitJulian(jd, year, month, day)) return DateTemplate(DateMode);
  std::string yearText = Digits(year, 4);
  if (!CenturyOn) yearText = yearText.substr(2);
  return JoinInMode(Digits(month, 2), Digits(day, 2), yearText);
}

double DateTextToJulian(std::string_view text) {
  const bool saved = CenturyOn;
  CenturyOn = true;
  const std::string american = ToAmericanDate(text);
  int month = 0, day = 0, year = 0;
  const bool ok = AmericanParts(american, month, day, year);
  CenturyOn = saved;
  return ok ? DateToJulian(year, month, day) : 0;
}

std::string DateTextToDtos(std::string_view text) {
  const bool saved = CenturyOn;
  CenturyOn = true;
  const std::string american = ToAmericanDate(text);
  int month = 0, day = 0, year = 0;
  if (!AmericanParts(american, month, day, year)) month = day = year = 0;
  CenturyOn = saved;
  const std::string dtos = Digits(year, 4) + Digits(month, 2) + Digits(day, 2);
  return dtos == "00000000" ? std::string(8, ' ') : dtos.substr(0, 8);
}

std::string DtosToDateText(std::string_view dtos) {
  std::string raw(dtos.substr(0, std::min<std::size_t>(8, dtos.size())));
  raw.resize(8, ' ');
  const std::string year = CenturyOn ? raw.substr(0, 4) : raw.substr(2, 2);
  return JoinInMode(raw.substr(4, 2), raw.substr(6, 2), year);
}

void GetDate(int& year, int& month, int& day, int& dayOfWeek) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  year = local.tm_year + 1900;
  month = local.tm_mon + 1;
  day = local.tm_mday;
  dayOfWeek = local.tm_wday + 1;
}

void UnpackFileTime(std::int64_t fileTime, int& year, int& month, int& day, int& hour, int& minute,
                    int& second) {
  const std::time_t stamp = static_cast<std::time_t>(fileTime);
  std::tm local{};
  localtime_r(&stamp, &local);
  year = local.tm_year + 1900;
  month = local.tm_mon + 1;
  day = local.tm_mday;
  hour = local.tm_hour;
  minute = local.tm_min;
  second = local.tm_sec;
}

std::uint32_t Seconds() {
  return TickCount() / 1000;
}
