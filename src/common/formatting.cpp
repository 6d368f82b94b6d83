// Numbers to text and back, units, dates and the shared text helpers.
//
// All number texts are built from the shortest round-trip decimal digits of the value
// (std::to_chars), rounded half away from zero on those digits, so that 2.675 shows as 2.68
// as a user expects and no C locale setting can change a digit or the separator.
#include "common/formatting.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

#include "common/program_state.h"

namespace {

// A finite non-negative value as 0.DIGITS x 10^pointPos; digits holds no leading zero (empty
// for zero).
struct DecimalDigits {
  std::string digits;
  int pointPos = 0;
};

DecimalDigits ShortestDigits(long double a) {
  DecimalDigits d;
  if (a == 0.0L) return d;
  char buf[128];
  auto res = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific);
  std::string_view s(buf, static_cast<std::size_t>(res.ptr - buf));
  std::size_t ePos = s.find('e');
  std::string_view mant = s.substr(0, ePos);
  int exponent = 0;
  std::string_view expText = s.substr(ePos + 1);
  if (!expText.empty() && expText.front() == '+') expText.remove_prefix(1);
  std::from_chars(expText.data(), expText.data() + expText.size(), exponent);
  for (char c : mant) {
    if (c != '.') d.digits.push_back(c);
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  d.pointPos = exponent + 1;
  return d;
}

// Keeps the first keep digits, rounding half away from zero; a carry may add a leading digit.
void RoundDigits(DecimalDigits& d, int keep) {
  if (d.digits.empty()) return;
  if (keep >= static_cast<int>(d.digits.size())) return;
  if (keep < 0) {
    d.digits.clear();
    return;
  }
  bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
  d.digits.resize(static_cast<std::size_t>(keep));
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') {
      d.digits[static_cast<std::size_t>(i)] = '0';
      --i;
    }
    if (i >= 0) {
      ++d.digits[static_cast<std::size_t>(i)];
    } else {
      d.digits.insert(d.digits.begin(), '1');
      ++d.pointPos;
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
}

// Fixed-point text with exactly `decimals` decimals; never scientific, never "-0".
std::string FixedText(long double x, int decimals) {
  if (std::isnan(x)) return "NAN";
  if (std::isinf(x)) return x < 0 ? "-INF" : "INF";
  decimals = std::clamp(decimals, 0, 60);
  DecimalDigits d = ShortestDigits(std::fabs(x));
  RoundDigits(d, d.pointPos + decimals);
  std::string out;
  if (x < 0 && !d.digits.empty()) out.push_back('-');
  auto digitAt = [&d](int i) {  // i-th digit after the virtual "0." start
    return (i >= 0 && i < static_cast<int>(d.digits.size())) ? d.digits[static_cast<std::size_t>(i)]
                                                             : '0';
  };
  if (d.digits.empty() || d.pointPos <= 0) {
    out.push_back('0');
  } else {
    for (int i = 0; i < d.pointPos; ++i) out.push_back(digitAt(i));
  }
  if (decimals > 0) {
    out.push_back('.');
    for (int i = 0; i < decimals; ++i) out.push_back(digitAt(d.pointPos + i));
  }
  return out;
}

int FloatDigitsSetting() {
  return ProgramSettings.FloatDigits;
}

bool Imperial() {
  return ConfigVariables.UnitSystem == 1;
}

constexpr long double kMmPerInch = 25.4L;

bool IsTrimmed(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

std::string_view TrimView(std::string_view text) {
  while (!text.empty() && IsTrimmed(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsTrimmed(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<long double> ParseReal(std::string_view text) {
  std::string s(TrimView(text));
  std::size_t comma = s.find(',');
  if (comma != std::string::npos) s[comma] = '.';
  std::string_view v(s);
  bool negative = false;
  if (!v.empty() && (v.front() == '+' || v.front() == '-')) {
    negative = v.front() == '-';
    v.remove_prefix(1);
  }
  if (v.empty()) return std::nullopt;
  bool startsWithDigit = v.front() >= '0' && v.front() <= '9';
  bool startsWithPointDigit = v.size() >= 2 && v[0] == '.' && v[1] >= '0' && v[1] <= '9';
  if (!startsWithDigit && !startsWithPointDigit) return std::nullopt;
  long double value = 0.0L;
  auto res = std::from_chars(v.data(), v.data() + v.size(), value, std::chars_format::general);
  if (res.ec != std::errc() || res.ptr != v.data() + v.size()) return std::nullopt;
  if (!std::isfinite(value)) return std::nullopt;
  if (value == 0.0L) return 0.0L;
  return negative ? -value : value;
}

std::optional<std::int32_t> ParseInteger(std::string_view text) {
  std::string_view v = TrimView(text);
  bool negative = false;
  if (!v.empty() && (v.front() == '+' || v.front() == '-')) {
    negative = v.front() == '-';
    v.remove_prefix(1);
  }
  if (v.empty() || v.front() < '0' || v.front() > '9') return std::nullopt;
  long long value = 0;
  auto res = std::from_chars(v.data(), v.data() + v.size(), value);
  if (res.ec != std::errc() || res.ptr != v.data() + v.size()) return std::nullopt;
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::optional<std::vector<std::string>> gCommandLineParameters;

std::vector<std::string> ProcessParameters() {
  std::vector<std::string> params;
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::size_t start = 0;
  bool first = true;
  while (start < all.size()) {
    std::size_t end = all.find('\0', start);
    if (end == std::string::npos) end = all.size();
    if (!first) params.emplace_back(all.substr(start, end - start));
    first = false;
    start = end + 1;
  }
  return params;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Numbers to text

void SignificantDigits(int& intDigits, int& decimals, int n, long double x) {
  if (n < 1) n = 1;
  if (!std::isfinite(x)) {
    intDigits = 1;
    decimals = 0;
    return;
  }
  if (x == 0.0L) x = 0.5L;
  DecimalDigits d = ShortestDigits(std::fabs(x));
  RoundDigits(d, n);
  int e = d.pointPos - 1;  // decimal exponent of the rounded value
  if (n <= e) {
    intDigits = e + 1;
    decimals = 0;
    return;
  }
  intDigits = e >= 0 ? e + 1 : 0;
  // Digits after the point among the n significant ones, without trailing zeros.
  int significantAfterPoint = static_cast<int>(d.digits.size()) - d.pointPos;
  decimals = std::max(significantAfterPoint, 0);
}

void RealStrW(int intDigits, int decimals, std::string& text, long double x) {
  if (std::fabs(x) < 1e-8L) x = 0.0L;
  int floatDigits = FloatDigitsSetting();
  if (floatDigits != 3) decimals = std::clamp(decimals + floatDigits - 3, 0, 10);
  decimals = std::clamp(decimals, 0, 60);  // never a negative count of decimals
  std::string s = FixedText(x, decimals);
  int width = std::min(decimals < 1 ? intDigits : intDigits + decimals + 1, 1024);
  if (static_cast<int>(s.size()) < width)
    s.insert(0, static_cast<std::size_t>(width) - s.size(), ' ');
  text = std::move(s);
}

std::string RealStrW(int intDigits, int decimals, long double x) {
  std::string s;
  RealStrW(intDigits, decimals, s, x);
  return s;
}

void RealStrSig(int k, std::string& text, long double x) {
  if (std::fabs(x) < 1e-5L) {
    text = "0";
    return;
  }
  int intDigits = 0;
  int decimals = 0;
  SignificantDigits(intDigits, decimals, 3 - k, x);
  RealStrW(intDigits, decimals, text, x);
}

std::string RealStrSig(int k, long double x) {
  std::string s;
  RealStrSig(k, s, x);
  return s;
}

void RealStr(std::string& text, long double x) {
  RealStrSig(0, text, x);
}

std::string RealStr(long double x) {
  return RealStrSig(0, x);
}

void RealStr6(std::string& text, long double x) {
  RealStrSig(-3, text, x);
}

std::string RealStr6(long double x) {
  return RealStrSig(-3, x);
}

void RealStrN(int n, std::string& text, long double x) {
  int intDigits = 0;
  int decimals = 0;
  SignificantDigits(intDigits, decimals, 3, x);
  RealStrW(intDigits, n, text, x);
}

std::string RealStrN(int n, long double x) {
  std::string s;
  RealStrN(n, s, x);
  return s;
}

void SignedRealStr(int n, std::string& text, long double x) {
  if (x == 0.0L) {
    text.clear();
  } else if (x < 0.0L) {
    RealStrN(n, text, x);
  } else {
    std::string s;
    RealStrN(n, s, x);
    text = "+" + s;
  }
}

std::string SignedRealStr(int n, long double x) {
  std::string s;
  SignedRealStr(n, s, x);
  return s;
}

std::string StoredRealStr(int decimals, long double x) {
  if (!std::isfinite(x)) return "0";  // the readers take no other text for it
  std::string fixed = FixedText(x, decimals);
  if (ParseReal(fixed) == x) return fixed;
  char buf[128];
  auto res = std::to_chars(buf, buf + sizeof buf, x);
  if (res.ec != std::errc()) return fixed;
  return std::string(buf, res.ptr);
}

void IntStr(long long n, std::string& text) {
  char buf[32];
  auto res = std::to_chars(buf, buf + sizeof buf, n);
  text.assign(buf, res.ptr);
}

std::string IntStr(long long n) {
  std::string s;
  IntStr(n, s);
  return s;
}

void IntStrZ(long long n, int width, std::string& text) {
  std::string s = IntStr(n);
  // Zeros go between the sign and the digits, so -5 at width 3 reads "-05".
  std::size_t signLen = (!s.empty() && s.front() == '-') ? 1 : 0;
  if (static_cast<int>(s.size()) < width) {
    s.insert(signLen, static_cast<std::size_t>(width) - s.size(), '0');
  }
  text = std::move(s);
}

std::string IntStrZ(long long n, int width) {
  std::string s;
  IntStrZ(n, width, s);
  return s;
}

void IntStrW(long long n, int width, std::string& text) {
  std::string s = IntStr(n);
  if (static_cast<int>(s.size()) < width)
    s.insert(0, static_cast<std::size_t>(width) - s.size(), ' ');
  text = std::move(s);
}

std::string IntStrW(long long n, int width) {
  std::string s;
  IntStrW(n, width, s);
  return s;
}

// ---------------------------------------------------------------------------------------------
// Text to numbers

long double StrToReal(std::string_view text) {
  return ParseReal(text).value_or(0.0L);
}

bool ReadsAsReal(std::string_view text) {
  return ParseReal(text).has_value();
}

std::int32_t StrToInteger(std::string_view text) {
  return ParseInteger(text).value_or(0);
}

long double ValReal(std::string_view text) {
  return StrToReal(text);
}

std::int32_t ValInteger(std::string_view text) {
  return StrToInteger(text);
}

// ---------------------------------------------------------------------------------------------
// Texts

void UpperStr(std::string_view text, std::string& out) {
  std::string s(text);
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  out = std::move(s);
}

std::string UpperStr(std::string_view text) {
  std::string s;
  UpperStr(text, s);
  return s;
}

void LowerStr(std::string_view text, std::string& out) {
  std::string s(text);
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  out = std::move(s);
}

std::string LowerStr(std::string_view text) {
  std::string s;
  LowerStr(text, s);
  return s;
}

void PadRight(std::string_view text, int width, std::string& out) {
  std::size_t w = static_cast<std::size_t>(std::max(width, 0));
  std::string s(text.substr(0, w));
  s.resize(w, ' ');
  out = std::move(s);
}

std::string PadRight(std::string_view text, int width) {
  std::string s;
  PadRight(text, width, s);
  return s;
}

void PadLeft(std::string_view text, int width, std::string& out) {
  std::size_t w = static_cast<std::size_t>(std::max(width, 0));
  std::string_view t = TrimView(text);
  std::string s;
  if (t.size() >= w) {
    s.assign(t.substr(0, w));
  } else {
    s.assign(w - t.size(), ' ');
    s.append(t);
  }
  out = std::move(s);
}

std::string PadLeft(std::string_view text, int width) {
  std::string s;
  PadLeft(text, width, s);
  return s;
}

void LeftStr(std::string_view text, int n, std::string& out) {
  out = std::string(text.substr(0, static_cast<std::size_t>(std::max(n, 0))));
}

std::string LeftStr(std::string_view text, int n) {
  std::string s;
  LeftStr(text, n, s);
  return s;
}

void RightStr(std::string_view text, int n, std::string& out) {
  std::size_t k = std::min(static_cast<std::size_t>(std::max(n, 0)), text.size());
  out = std::string(text.substr(text.size() - k));
}

std::string RightStr(std::string_view text, int n) {
  std::string s;
  RightStr(text, n, s);
  return s;
}

void TrimStr(std::string_view text, std::string& out) {
  out = std::string(TrimView(text));
}

std::string TrimStr(std::string_view text) {
  return std::string(TrimView(text));
}

void DelBlanks(std::string_view text, std::string& out) {
  std::string s;
  s.reserve(text.size());
  for (char c : text) {
    if (c != ' ') s.push_back(c);
  }
  out = std::move(s);
}

std::string DelBlanks(std::string_view text) {
  std::string s;
  DelBlanks(text, s);
  return s;
}

void DelBlanksVar(std::string& text) {
  std::erase(text, ' ');
}

void ReplaceChar(char oldChar, char newChar, std::string& text) {
  std::replace(text.begin(), text.end(), oldChar, newChar);
}

void PointToComma(std::string_view text, std::string& out) {
  std::string s(text);
  std::replace(s.begin(), s.end(), '.', ',');
  out = std::move(s);
}

std::string PointToComma(std::string_view text) {
  std::string s;
  PointToComma(text, s);
  return s;
}

void CommaToPoint(std::string_view text, std::string& out) {
  std::string s(text);
  std::replace(s.begin(), s.end(), ',', '.');
  out = std::move(s);
}

std::string CommaToPoint(std::string_view text) {
  std::string s;
  CommaToPoint(text, s);
  return s;
}

char UserDecimalSign() {
  // Asked of the environment, not of the process's C locale, which the toolkit changes and the
  // program sets back to "C" for its numbers.
  const locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
  if (user == static_cast<locale_t>(0)) return '.';
  const char* radix = nl_langinfo_l(RADIXCHAR, user);
  const char sign = radix != nullptr && radix[0] == ',' ? ',' : '.';
  freelocale(user);
  return sign;
}

int LastPos(std::string_view sub, std::string_view text) {
  if (sub.empty()) return 0;
  std::size_t p = text.rfind(sub);
  return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

void PutStr(std::string_view sub, std::string& text, int pos) {
  if (pos <= 0) return;
  std::size_t start = static_cast<std::size_t>(pos - 1);
  if (start + sub.size() > text.size()) return;
  text.replace(start, sub.size(), sub);
}

void CopyBoxBars(std::string_view text, std::string& out) {
  out = std::string(text);
}

void WrapText(std::string_view text, char breakChar, int width, int& widest, int& count) {
  if (width < 1) width = 1;
  std::size_t w = static_cast<std::size_t>(width);
  widest = 1;
  count = 0;
  while (!text.empty() && count < kTextPieceCount) {
    ++count;
    std::size_t pieceLen = text.size();
    if (text.size() > w) {
      pieceLen = w;
      // 1-based positions width - 1 down to 1 are indices width - 2 down to 0.
      for (std::size_t i = w - 1; i >= 1; --i) {
        if (text[i - 1] == breakChar) {
          pieceLen = i;
          break;
        }
      }
    }
    widest = std::max(widest, static_cast<int>(pieceLen));
    TextPieces[count] = std::string(text.substr(0, pieceLen));
    text.remove_prefix(pieceLen);
  }
}

bool HasParam(std::string_view text) {
  std::string wanted = UpperStr(text);
  const std::vector<std::string> params =
      gCommandLineParameters ? *gCommandLineParameters : ProcessParameters();
  return std::any_of(params.begin(), params.end(),
                     [&wanted](const std::string& p) { return UpperStr(p) == wanted; });
}

void SetCommandLineParameters(const std::vector<std::string>& params) {
  gCommandLineParameters = params;
}

// ---------------------------------------------------------------------------------------------
// Units

void LengthStr(std::string& text, long double mm) {
  if (Imperial()) {
    RealStrN(4, text, mm / kMmPerInch);
  } else {
    RealStr(text, mm);
  }
}

std::string LengthStr(long double mm) {
  std::string s;
  LengthStr(s, mm);
  return s;
}

void LengthStrN(int n, std::string& text, long double mm) {
  if (Imperial()) {
    RealStrN(n + 1, text, mm / kMmPerInch);
  } else {
    RealStrN(n, text, mm);
  }
}

std::string LengthStrN(int n, long double mm) {
  std::string s;
  LengthStrN(n, s, mm);
  return s;
}

void LengthStr6(std::string& text, long double mm) {
  if (Imperial()) {
    RealStrN(5, text, mm / kMmPerInch);
  } else {
    RealStr6(text, mm);
  }
}

std::string LengthStr6(long double mm) {
  std::string s;
  LengthStr6(s, mm);
  return s;
}

void LengthStrW(int intDigits, int decimals, std::string& text, long double mm) {
  if (Imperial()) {
    RealStrW(std::max(intDigits - 1, 1), decimals + 1, text, mm / kMmPerInch);
  } else {
    RealStrW(intDigits, decimals, text, mm);
  }
}

std::string LengthStrW(int intDigits, int decimals, long double mm) {
  std::string s;
  LengthStrW(intDigits, decimals, s, mm);
  return s;
}

long double LengthValue(std::string_view text) {
  long double v = StrToReal(text);
  return Imperial() ? v * kMmPerInch : v;
}

long double LengthToUnit(long double mm) {
  return Imperial() ? mm / kMmPerInch : mm;
}

void LengthUnitStr(std::string& text) {
  text = Imperial() ? "in" : "mm";
}

std::string LengthUnitStr() {
  return Imperial() ? "in" : "mm";
}

void AngleUnitStr(std::string& text) {
  text = AngleUnitStr();
}

std::string AngleUnitStr() {
  return ConfigVariables.CharMode == 1 ? std::string("deg") : std::string(1, '\xF8');
}

// ---------------------------------------------------------------------------------------------
// Dates

void FormatDateStyle(int year, int month, int day, std::string& text) {
  std::string y = IntStr(year);
  std::string m = IntStrZ(month, 2);
  std::string d = IntStrZ(day, 2);
  switch (ConfigVariables.DateStyle) {
    case 1:
      text = d + "." + m + "." + y;
      break;
    case 2:
      text = m + "/" + d + "/" + y;
      break;
    case 4:
      text = d + "/" + m + "/" + y;
      break;
    default:  // 3 and any other style
      text = y + "/" + m + "/" + d;
      break;
  }
}

std::string FormatDateStyle(int year, int month, int day) {
  std::string s;
  FormatDateStyle(year, month, day, s);
  return s;
}
