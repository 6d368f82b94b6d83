// Dates of the table library against independent calendars: the C++ civil calendar
// (std::chrono) for Julian day numbers and weekdays, published Julian day numbers, and the
// DOS code pages (iconv) for the name tables.
#include "xbase/xbase_dates.h"

#include <gtest/gtest.h>
#include <iconv.h>
#include <locale.h>
#include <stdlib.h>

#include <chrono>
#include <clocale>
#include <cstdlib>
#include <optional>
#include <string>

#include "validator_support.h"

namespace {

using namespace std::chrono;

// Julian day number of a civil date: days since 1970-01-01 plus the JDN of that day.
long JdnOf(int y, unsigned m, unsigned d) {
  return sys_days{year{y} / month{m} / day{d}}.time_since_epoch().count() + 2440588L;
}

std::string FromCodePage(const std::string& bytes, const char* codePage) {
  iconv_t cd = iconv_open("UTF-8", codePage);
  std::string in = bytes;
  std::string out(bytes.size() * 4, '\0');
  char* pin = in.data();
  char* pout = out.data();
  size_t inLeft = in.size(), outLeft = out.size();
  iconv(cd, &pin, &inLeft, &pout, &outLeft);
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

class DatesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CenturyOn = false;
    BaseYear = 1956;
    SetDateMode(0);
  }
  void TearDown() override {
    CenturyOn = false;
    SetDateMode(0);
  }
};

TEST_F(DatesTest, PublishedJulianDayNumbers) {
  EXPECT_EQ(DateToJulian(2000, 1, 1), 2451545);    // J2000 epoch day
  EXPECT_EQ(DateToJulian(1970, 1, 1), 2440588);    // Unix epoch
  EXPECT_EQ(DateToJulian(1858, 11, 17), 2400001);  // modified Julian day 0
  EXPECT_EQ(DateToJulian(9999, 12, 31), 5373484);
  EXPECT_EQ(JulianToDtos(5373484), "99991231");
  EXPECT_EQ(JulianToDtos(5373485), "        ");
  EXPECT_EQ(JulianToDtos(1721425), "        ");
  EXPECT_EQ(DateToJulian(1900, 2, 29), 0);
  EXPECT_EQ(DateToJulian(2001, 4, 31), 0);
  EXPECT_EQ(DateToJulian(2001, 13, 1), 0);
  EXPECT_EQ(DtosToJulian("        "), 0);
}

TEST_F(DatesTest, JulianNumbersAgreeWithTheCivilCalendarFromYear1To9999) {
  for (long jd = JdnOf(1, 1, 1); jd <= 5373484; jd += 97) {
    const year_month_day ymd{sys_days{days{jd - 2440588L}}};
    char expected[9];
    std::snprintf(expected, sizeof expected, "%04d%02u%02u", int(ymd.year()), unsigned(ymd.month()),
                  unsigned(ymd.day()));
    ASSERT_EQ(JulianToDtos(double(jd)), expected) << jd;
    ASSERT_EQ(DtosToJulian(expected), double(jd)) << expected;
  }
  // Around leap days the sweep above might step over.
  for (int y : {1600, 1700, 1900, 2000, 2024, 2100})
    for (unsigned m : {2u, 3u})
      for (unsigned d = 1; d <= 29; ++d) {
        if (!year_month_day{year{y} / month{m} / day{d}}.ok()) continue;
        EXPECT_EQ(DateToJulian(y, int(m), int(d)), double(JdnOf(y, m, d))) << y << m << d;
      }
}

TEST_F(DatesTest, DayOfWeekAgreesWithTheCivilCalendar) {
  CenturyOn = true;
  SetDateMode(0);
  for (long jd = JdnOf(1901, 1, 1); jd < JdnOf(2099, 12, 31); jd += 37) {
    const sys_days sd{days{jd - 2440588L}};
    const year_month_day ymd{sd};
    char text[11];
    std::snprintf(text, sizeof text, "%02u/%02u/%04d", unsigned(ymd.month()), unsigned(ymd.day()),
                  int(ymd.year()));
    ASSERT_EQ(DayOfWeekNum(text), int(weekday{sd}.c_encoding()) + 1) << text;
  }
  EXPECT_EQ(DayOfWeekNum("01/01/2000"), 7);  // a Saturday
}

TEST_F(DatesTest, TwoDigitYearsMapIntoTheWindowFromTheBaseYear) {
  EXPECT_EQ(CenturyOf("56"), 1900);
  EXPECT_EQ(CenturyOf("55"), 2000);
  EXPECT_EQ(CenturyOf("00"), 2000);
  EXPECT_EQ(CenturyText("99"), "19");
}

TEST_F(DatesTest, ValidDateFollowsTheCalendar) {
  SetDateMode(2);
  struct Case {
    const char* text;
    bool valid;
    const char* normalised;
  } cases[] = {
      {"31/04/99", false, ""},         // April has 30 days
      {"29/02/00", true, "29/02/00"},  // 2000 is a leap year
      {"29/02/1900", false, ""},       // 1900 is not
      {"1/2/99", true, "01/02/99"},
      {"24-12-2025", true, "24/12/25"},  // any separator; century dropped while it is off
      {"  /  /  ", true, "  /  /  "},
      {"32/01/99", false, ""},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(ValidDate(text), c.valid) << c.text;
    if (c.valid) EXPECT_EQ(text, c.normalised) << c.text;
  }
}

TEST_F(DatesTest, DateTextsInEveryMode) {
  CenturyOn = true;
  const double jd = DateToJulian(2025, 12, 24);
  const char* expected[9] = {"12/24/2025", "2025.12.24", "24/12/2025", "24-12-2025", "24.12.2025",
                             "24.12.2025", "24.12.2025", "24.12.2025", "24.12.2025"};
  for (int mode = 0; mode <= 8; ++mode) {
    SetDateMode(mode);
    EXPECT_EQ(JulianToDateText(jd), expected[mode]) << mode;
    EXPECT_EQ(ToAmericanDate(expected[mode]), "12/24/2025") << mode;
    EXPECT_EQ(FromAmericanDate("12/24/2025"), expected[mode]) << mode;
    EXPECT_EQ(DateTextToDtos(expected[mode]), "20251224") << mode;
    EXPECT_EQ(DateTextToJulian(expected[mode]), jd) << mode;
  }
  SetDateMode(9);
  EXPECT_EQ(DateMode, 0);
  CenturyOn = false;
  SetDateMode(4);
  EXPECT_EQ(DateTemplate(4), "  .  .  ");
  EXPECT_EQ(JulianToDateText(0), "  .  .  ");
  EXPECT_EQ(DateTextToDtos("  .  .  "), "        ");
}

TEST_F(DatesTest, DayAndMonthNamesInTheirCodePagesAndWidths) {
  CenturyOn = true;
  SetDateMode(5);
  EXPECT_EQ(CDow("01.01.2000"), "Samstag   ");
  EXPECT_EQ(FromCodePage(CMonth("01.03.2000"), "CP437"), "März     ");
  SetDateMode(4);
  EXPECT_EQ(FromCodePage(CMonth("01.08.2000"), "CP437"), "Août     ");
  EXPECT_EQ(FromCodePage(CDow("01.01.2000"), "CP437"), "Samedi  ");
  SetDateMode(8);
  EXPECT_EQ(FromCodePage(CDow("02.01.2000"), "CP866"), "Воскресенье");
  EXPECT_EQ(FromCodePage(CMonth("02.05.2000"), "CP866"), "Май     ");
  SetDateMode(0);
  EXPECT_EQ(CDow("01/05/2000"), "Wednesday");
  EXPECT_EQ(CDow("  /  /    "), std::string(10, ' '));
  EXPECT_EQ(CMonth(""), std::string(9, ' '));
}

TEST_F(DatesTest, ModesOfTheUsersLanguage) {
  EXPECT_EQ(LocaleDateModeFor("fr", "CA"), 7);
  EXPECT_EQ(LocaleDateModeFor("en", "GB"), 2);
  EXPECT_EQ(LocaleDateModeFor("en", "US"), 0);
  EXPECT_EQ(LocaleDateModeFor("nl", "NL"), 0);
  EXPECT_EQ(LocaleDateModeFor("de", "AT"), 5);
  EXPECT_EQ(LocaleDateModeFor("ru", "RU"), 8);
  // Either case, folded alike in every locale.
  EXPECT_EQ(LocaleDateModeFor("IT", ""), 3);
  EXPECT_EQ(LocaleDateModeFor("Fr", "ca"), 7);
  EXPECT_EQ(LocaleDateModeFor("EN", "us"), 0);
  EXPECT_EQ(LocaleDateModeFor("es", "ES"), 6);
  EXPECT_EQ(LocaleDateModeFor("fr", "FR"), 4);
  ShortDateFormat = "dd.MM.yyyy";
  DateSeparator = '.';
  DateModeFromFormat();
  EXPECT_EQ(DateMode, 5);
  EXPECT_TRUE(CenturyOn);
  // Names are folded alike in every locale: under a Turkish one "I" is no upper-case "i".
  const std::string before = std::setlocale(LC_ALL, nullptr);
  const bool turkish = std::setlocale(LC_ALL, "tr_TR.UTF-8") != nullptr;
  if (turkish) {
    EXPECT_EQ(LocaleDateModeFor("IT", "it"), 3);
    ShortDateFormat = "dd/mm/yyyy";
    DateModeFromFormat();
    EXPECT_TRUE(CenturyOn);
  }
  std::setlocale(LC_ALL, before.c_str());
  REQUIRE_OR_SKIP(turkish, "tr_TR.UTF-8 is not installed", "tr_TR.UTF-8 is not installed");
}

// Numbers in tables show the decimal sign the whole program shows the user, the thousands
// separator the other sign (a blank in Russian).
TEST_F(DatesTest, SeparatorsFollowTheUsersDecimalSign) {
  const char* all = std::getenv("LC_ALL");
  const std::optional<std::string> saved = all ? std::optional<std::string>(all) : std::nullopt;
  const struct {
    const char* locale;
    char point, thousands;
  } cases[] = {{"C", '.', ','},
               {"de_DE.UTF-8", ',', '.'},
               {"tr_TR.UTF-8", ',', '.'},
               {"ru_XX.UTF-8", '.', ' '}};  // Russian, but no locale of this machine
  std::string missing;
  for (const auto& c : cases) {
    if (c.point != '.' && validator_support::MissingLocale(c.locale, missing)) continue;
    setenv("LC_ALL", c.locale, 1);
    SetLocaleDateMode();
    EXPECT_EQ(DecimalPoint, c.point) << c.locale;
    EXPECT_EQ(ThousandsSeparator, c.thousands) << c.locale;
  }
  saved ? setenv("LC_ALL", saved->c_str(), 1) : unsetenv("LC_ALL");
  SetLocaleDateMode();
  SKIP_MISSING_ROWS(missing);
}

}  // namespace
