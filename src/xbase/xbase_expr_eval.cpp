// Evaluator of compiled dBASE expressions: runs the postfix code list on a work stack whose
// character values live in the expression's working pool.
#include "xbase/xbase_expr_eval.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

#include "xbase/dbf_file.h"
#include "xbase/memo_ops.h"
#include "xbase/xbase_dates.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_utils.h"

namespace {

constexpr std::size_t kMaxText = 255;
constexpr double kDivideByZeroValue = 1E250;

CompiledExpr& E() {
  return *CurrentExpr;
}

WorkItem& PushSlot() {
  CompiledExpr& e = E();
  if (e.workEmpty) {
    if (e.Work.empty()) e.Work.emplace_back();
    e.WorkCursor = 0;
    e.workEmpty = false;
  } else {
    ++e.WorkCursor;
    if (e.WorkCursor == e.Work.size()) e.Work.emplace_back();
  }
  return e.Work[e.WorkCursor];
}

WorkItem PopSlot() {
  CompiledExpr& e = E();
  WorkItem item = e.Work[e.WorkCursor];
  if (e.WorkCursor == 0)
    e.workEmpty = true;
  else
    --e.WorkCursor;
  return item;
}

void PushText(std::string_view text) {
  if (text.size() > kMaxText) text = text.substr(0, kMaxText);
  PushWD(kExprChar, text.data(), static_cast<int>(text.size()));
}

void PushNumber(double v) {
  PushWD(kExprNumeric, &v, 0);
}
void PushDate(double v) {
  PushWD(kExprDate, &v, 0);
}
void PushLogical(bool b) {
  std::int32_t v = b ? 1 : 0;
  PushWD(kExprLogical, &v, 0);
}

double PopNumber() {
  WorkItem w = PopSlot();
  return w.Value.number;
}
bool PopLogical() {
  return PopSlot().Value.integer != 0;
}
std::string PopText() {
  WorkItem w = PopSlot();
  if (w.Value.text == nullptr) return std::string();
  // The text's bytes are free again; the copy keeps them.
  E().PoolNext = const_cast<char*>(w.Value.text);
  std::string s(w.Value.text, strnlen(w.Value.text, kMaxText));
  return s;
}

// Decimal text of a value rounded half away from zero to the decimals (decimals >= 0).
std::string RoundedDecimal(double value, int decimals) {
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed);
  std::string digits(buf, r.ptr);
  std::size_t point = digits.find('.');
  if (point == std::string::npos) {
    point = digits.size();
    digits += '.';
  }
  std::size_t want = point + 1 + static_cast<std::size_t>(decimals);
  bool roundUp = digits.size() > want && digits[want] >= '5';
  if (digits.size() < want)
    digits.append(want - digits.size(), '0');
  else
    digits.resize(want);
  if (roundUp) {
    int i = static_cast<int>(digits.size()) - 1;
    for (; i >= 0; --i) {
      if (digits[i] == '.') continue;
      if (digits[i] == '9') {
        digits[i] = '0';
      } else {
        ++digits[i];
        break;
      }
    }
    if (i < 0) digits.insert(digits.begin(), '1');
  }
  if (decimals == 0) digits.pop_back();  // the point
  bool zero = digits.find_first_not_of("0.") == std::string::npos;
  if (value < 0 && !zero) digits.insert(digits.begin(), '-');
  return digits;
}

double ParseDecimal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  double v = 0;
  std::from_chars(text.data() + i, text.data() + text.size(), v, std::chars_format::fixed);
  return negative ? -v : v;
}

double RoundTo(double value, int decimals) {
  if (decimals >= 0) {
    double v = 0;
    std::string t = RoundedDecimal(value, std::min(decimals, 300));
    std::from_chars(t.data(), t.data() + t.size(), v);
    return v;
  }
  double scale = std::pow(10.0, -decimals);
  return std::round(value / scale) * scale;
}

double Truncated(double v) {
  return std::trunc(v);
}

int IntArg(double v) {
  if (!(v > -1e9)) return -1000000000;
  if (v > 1e9) return 1000000000;
  return static_cast<int>(std::trunc(v));
}

// Runs a date routine that reads a date text with the century shown, so that two-digit years
// never go through the year window.
template <typename F>
auto WithCentury(double jd, F f) {
  bool saved = CenturyOn;
  CenturyOn = true;
  auto result = f(JulianToDateText(jd));
  CenturyOn = saved;
  return result;
}

std::string Str(double value, int width, int decimals) {
  if (width <= 0) return std::string();
  width = std::min(width, static_cast<int>(kMaxText));  // texts hold at most 255 characters
  decimals = std::clamp(decimals, 0, 255);
  std::string t = RoundedDecimal(value, decimals);
  if (static_cast<int>(t.size()) > width) return std::string(static_cast<std::size_t>(width), '*');
  return std::string(static_cast<std::size_t>(width) - t.size(), ' ') + t;
}

void Compare(double a, double b, int op) {
  switch (op) {
    case 0:
      PushLogical(a == b);
      break;
    case 1:
      PushLogical(a > b);
      break;
    case 2:
      PushLogical(a < b);
      break;
    case 3:
      PushLogical(a != b);
      break;
    case 4:
      PushLogical(a <= b);
      break;
    default:
      PushLogical(a >= b);
      break;
  }
}

int OrdinalCompare(const std::string& a, const std::string& b) {
  int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
  if (c != 0) return c;
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

void CompareTexts(int op) {
  std::string b = PopText();
  std::string a = PopText();
  int c = OrdinalCompare(a, b);
  Compare(c, 0, op);
}

void RunOperation(const CodeItem& item) {
  const int op = item.Op;
  switch (op) {
    case kOpAbs:
      PushNumber(std::fabs(PopNumber()));
      break;
    case kOpAsc: {
      std::string s = PopText();
      PushNumber(s.empty() ? 0 : static_cast<unsigned char>(s[0]));
      break;
    }
    case kOpAt: {
      std::string text = PopText();
      std::string sub = PopText();
      std::size_t p = sub.empty() ? std::string::npos : text.find(sub);
      PushNumber(p == std::string::npos ? 0 : static_cast<double>(p + 1));
      break;
    }
    case kOpCdow: {
      double jd = PopNumber();
      PushText(WithCentury(jd, [](const std::string& t) { return CDow(t); }));
      break;
    }
    case kOpCmonth: {
      double jd = PopNumber();
      PushText(WithCentury(jd, [](const std::string& t) { return CMonth(t); }));
      break;
    }
    case kOpChr: {
      int code = static_cast<int>(static_cast<long long>(Truncated(PopNumber())) & 0xFF);
      PushText(code == 0 ? std::string() : std::string(1, static_cast<char>(code)));
      break;
    }
    case kOpCtod: {
      std::string s = PopText();
      PushDate(
          DateTextToJulian(std::string_view(s).substr(0, std::min<std::size_t>(10, s.size()))));
      break;
    }
    case kOpDate: {
      int y, m, d, w;
      GetDate(y, m, d, w);
      PushDate(DateToJulian(y, m, d));
      break;
    }
    case kOpDay:
      PushNumber(WithCentury(PopNumber(), [](const std::string& t) { return Day(t); }));
      break;
    case kOpMonth:
      PushNumber(WithCentury(PopNumber(), [](const std::string& t) { return Month(t); }));
      break;
    case kOpYear:
      PushNumber(WithCentury(PopNumber(), [](const std::string& t) { return Year(t); }));
      break;
    case kOpDow: {
      double jd = PopNumber();
      PushNumber(jd <= 0 ? 0
                         : WithCentury(jd, [](const std::string& t) { return DayOfWeekNum(t); }));
      break;
    }
    case kOpDeleted: {
      WorkAreaRecord* rec = CurrentWorkArea();
      bool deleted = false;
      if (rec != nullptr) {
        if (rec->vfile.isVirtual) {
          std::size_t at = rec->recordLength == 0 ? 2 : 0;
          deleted = rec->recordBuffer.size() > at && rec->recordBuffer[at] != 0;
        } else {
          deleted = !rec->recordBuffer.empty() && rec->recordBuffer[0] == '*';
        }
      }
      PushLogical(deleted);
      break;
    }
    case kOpDtoc:
      PushText(JulianToDateText(PopNumber()));
      break;
    case kOpDtos:
      PushText(JulianToDtos(PopNumber()));
      break;
    case kOpIif: {
      std::string no = PopText();
      std::string yes = PopText();
      PushText(PopLogical() ? yes : no);
      break;
    }
    case kOpInt:
      PushNumber(Truncated(PopNumber()));
      break;
    case kOpLeft: {
      int n = IntArg(PopNumber());
      std::string s = PopText();
      if (n < 0) n = 0;
      if (static_cast<int>(s.size()) > n) s.resize(static_cast<std::size_t>(n));
      PushText(s);
      break;
    }
    case kOpLen:
      PushNumber(static_cast<double>(PopText().size()));
      break;
    case kOpLower: {
      std::string s = PopText();
      for (char& c : s) c = CharLower(c);
      PushText(s);
      break;
    }
    case kOpUpper: {
      std::string s = PopText();
      for (char& c : s) c = CharUpper(c);
      PushText(s);
      break;
    }
    case kOpLtrim: {
      std::string s = PopText();
      s.erase(0, std::min(s.size(), s.find_first_not_of(' ')));
      PushText(s);
      break;
    }
    case kOpRtrim:
    case kOpTrim: {
      std::string s = PopText();
      std::size_t last = s.find_last_not_of(' ');
      s.resize(last == std::string::npos ? 0 : last + 1);
      PushText(s);
      break;
    }
    case kOpMax:
    case kOpMin: {
      double b = PopNumber();
      double a = PopNumber();
      double v = op == kOpMax ? std::max(a, b) : std::min(a, b);
      // MIN and MAX keep the type of their operands (numbers or dates).
      PushWD(item.ValueType == kExprDate ? kExprDate : kExprNumeric, &v, 0);
      break;
    }
    case kOpMod: {
      double b = Truncated(PopNumber());
      double a = Truncated(PopNumber());
      PushNumber(b == 0 ? a : std::fmod(a, b));
      break;
    }
    case kOpRecno:
      PushNumber(RecNo());
      break;
    case kOpReplicate:
    case kOpSpace: {
      int n = IntArg(PopNumber());
      std::string unit = op == kOpSpace ? std::string(" ") : PopText();
      std::string s;
      if (!unit.empty())
        for (int i = 0; i < n && s.size() < kMaxText; ++i) s += unit;
      PushText(s);
      break;
    }
    case kOpRight: {
      int n = IntArg(PopNumber());
      std::string s = PopText();
      if (n <= 0)
        s.clear();
      else if (static_cast<int>(s.size()) > n)
        s.erase(0, s.size() - static_cast<std::size_t>(n));
      PushText(s);
      break;
    }
    case kOpRound: {
      int d = IntArg(PopNumber());
      PushNumber(RoundTo(PopNumber(), d));
      break;
    }
    case kOpSoundex:
      PushText(Soundex(PopText()));
      break;
    case kOpStr: {
      int width = 10, decimals = 0;
      if (item.ArgCount == 3) decimals = IntArg(PopNumber());
      if (item.ArgCount >= 2) width = IntArg(PopNumber());
      PushText(Str(PopNumber(), width, decimals));
      break;
    }
    case kOpStuff: {
      std::string insert = PopText();
      int count = IntArg(PopNumber());
      int start = IntArg(PopNumber());
      std::string s = PopText();
      int len = static_cast<int>(s.size());
      if (start >= 1 && start <= len && count > 0)
        s.erase(static_cast<std::size_t>(start - 1),
                static_cast<std::size_t>(std::min(count, len - start + 1)));
      int at = std::clamp(start, 1, static_cast<int>(s.size()) + 1);
      s.insert(static_cast<std::size_t>(at - 1), insert);
      PushText(s);
      break;
    }
    case kOpSubstr: {
      int count = IntArg(PopNumber());
      int start = IntArg(PopNumber());
      std::string s = PopText();
      if (start < 1) start = 1;
      std::string r;
      if (count > 0 && start <= static_cast<int>(s.size()))
        r = s.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count));
      PushText(r);
      break;
    }
    case kOpVal: {
      std::string s = PopText();
      std::size_t last = s.find_last_not_of(' ');
      s.resize(last == std::string::npos ? 0 : last + 1);
      PushNumber(ParseDecimal(s));
      break;
    }
    case kOpAddNN: {
      double b = PopNumber();
      PushNumber(PopNumber() + b);
      break;
    }
    case kOpAddND: {
      double d = PopNumber();
      PushDate(PopNumber() + d);
      break;
    }
    case kOpAddDN: {
      double n = PopNumber();
      PushDate(PopNumber() + n);
      break;
    }
    case kOpAddCC: {
      std::string b = PopText();
      std::string a = PopText();
      PushText(a + b);
      break;
    }
    case kOpSubNN: {
      double b = PopNumber();
      PushNumber(PopNumber() - b);
      break;
    }
    case kOpSubDN: {
      double n = PopNumber();
      PushDate(PopNumber() - n);
      break;
    }
    case kOpSubDD: {
      double b = PopNumber();
      PushNumber(PopNumber() - b);
      break;
    }
    case kOpSubCC: {
      std::string b = PopText();
      std::string a = PopText();
      std::size_t last = a.find_last_not_of(' ');
      std::size_t keep = last == std::string::npos ? 0 : last + 1;
      PushText(a.substr(0, keep) + b + a.substr(keep));
      break;
    }
    case kOpMul: {
      double b = PopNumber();
      PushNumber(PopNumber() * b);
      break;
    }
    case kOpDiv: {
      double b = PopNumber();
      double a = PopNumber();
      if (b == 0) {
        PushNumber(kDivideByZeroValue);
        SetError(358, "Error during evaluation: Divide by 0 [Evaluate/Engine]");
      } else {
        PushNumber(a / b);
      }
      break;
    }
    case kOpPow: {
      double b = PopNumber();
      double a = PopNumber();
      double v = std::pow(a, b);
      PushNumber(std::isnan(v) ? 0 : v);
      break;
    }
    case kOpEqNN:
    case kOpEqDD: {
      double b = PopNumber();
      Compare(PopNumber(), b, 0);
      break;
    }
    case kOpEqCC: {
      std::string b = PopText();
      std::string a = PopText();
      PushLogical(!b.empty() && a.compare(0, b.size(), b) == 0);
      break;
    }
    case kOpEqLL:
    case kOpNeLL: {
      bool b = PopLogical();
      bool a = PopLogical();
      PushLogical(op == kOpEqLL ? a == b : a != b);
      break;
    }
    case kOpExactEq:
      CompareTexts(0);
      break;
    case kOpContains: {
      std::string b = PopText();
      std::string a = PopText();
      PushLogical(!a.empty() && b.find(a) != std::string::npos);
      break;
    }
    case kOpGtNN:
    case kOpGtDD:
    case kOpLtNN:
    case kOpLtDD:
    case kOpNeNN:
    case kOpNeDD:
    case kOpLeNN:
    case kOpLeDD:
    case kOpGeNN:
    case kOpGeDD: {
      int relation = op <= kOpGtDD   ? 1
                     : op <= kOpLtDD ? 2
                     : op <= kOpNeDD ? 3
                     : op <= kOpLeDD ? 4
                                     : 5;
      double b = PopNumber();
      Compare(PopNumber(), b, relation);
      break;
    }
    case kOpGtCC:
      CompareTexts(1);
      break;
    case kOpLtCC:
      CompareTexts(2);
      break;
    case kOpNeCC:
      CompareTexts(3);
      break;
    case kOpLeCC:
      CompareTexts(4);
      break;
    case kOpGeCC:
      CompareTexts(5);
      break;
    case kOpOr: {
      bool b = PopLogical();
      bool a = PopLogical();
      PushLogical(a || b);
      break;
    }
    case kOpAnd: {
      bool b = PopLogical();
      bool a = PopLogical();
      PushLogical(a && b);
      break;
    }
    case kOpNot:
      PushLogical(!PopLogical());
      break;
    case kOpNegate:
      PushNumber(-PopNumber());
      break;
    default:
      if (op >= kOpFieldC && op <= kOpAliasFieldM) {
        bool alias = op >= kOpAliasFieldC;
        int area = alias ? static_cast<int>(PopNumber()) : kUserAreaCount;
        int field = static_cast<int>(PopNumber());
        FieldToParserValue(field, area, kExprChar + (op - (alias ? kOpAliasFieldC : kOpFieldC)));
      }
      break;  // operation codes without a routine are skipped
  }
}

void RunEngine() {
  CompiledExpr& e = E();
  for (e.CodeCursor = 0; e.CodeCursor < e.Code.size(); ++e.CodeCursor) {
    const CodeItem& item = e.Code[e.CodeCursor];
    if (item.Op == kOpEnd) break;
    if (item.Op == kOpPush) {
      if (item.ValueType == kExprChar)
        PushWD(kExprChar, item.Value.text, -1);
      else
        PushWD(item.ValueType, &item.Value, 0);
    } else {
      RunOperation(item);
    }
  }
  if (e.workEmpty || e.Work.empty()) return;
  const WorkItem& bottom = e.Work[0];
  switch (e.ResultType) {
    case 'N':
    case 'D':
      e.resultStore.number = bottom.Value.number;
      break;
    case 'L':
      e.resultStore.logical = bottom.Value.integer != 0 ? 1 : 0;
      break;
    default:
      // A value lost to a full pool leaves an empty text rather than stale bytes.
      if (bottom.Value.text == nullptr && e.PoolBase != nullptr) e.PoolBase[0] = '\0';
      break;
  }
}

}  // namespace

void SelectExpr(CompiledExpr* expr) {
  CurrentExpr = expr;
  expr->CodeCursor = 0;
  expr->WorkCursor = 0;
  expr->workEmpty = true;
  expr->PoolNext = expr->PoolBase;
}

TExprResult EvaluateExpr(CompiledExpr*& handle) {
  if (handle == nullptr) return nullptr;
  SelectExpr(handle);
  RunEngine();
  return handle->Result;
}

TExprResult EvaluateCurrentExpr() {
  SelectExpr(CurrentExpr);
  RunEngine();
  return CurrentExpr->Result;
}

char* Allocate(const char* text, std::size_t size) {
  CompiledExpr& e = E();
  if (e.PoolBase == nullptr || e.PoolNext + size > e.PoolBase + e.PoolSize) {
    SetError(354, "Working pool overflow [PARSER/Allocate]");
    return nullptr;
  }
  char* at = e.PoolNext;
  std::memcpy(at, text, size);
  e.PoolNext += size;
  return at;
}

namespace {
std::string UnknownTypeMessage(const char* routine) {
  return std::string("Unknown data type (none of \"C\",\"N\",\"F\",\"L\",\"D\" or \"M\") [") +
         routine + "]";
}
}  // namespace

void PushWD(std::int32_t type, const void* value, int length) {
  if (type < kExprChar || type > kExprMemo) {
    SetError(356, UnknownTypeMessage("PARSER/PushWD"));
    return;
  }
  if (type == kExprChar || type == kExprMemo) {
    const char* text = static_cast<const char*>(value);
    std::size_t n = text == nullptr ? 0
                    : length >= 0   ? static_cast<std::size_t>(length)
                                    : strnlen(text, kMaxText);
    n = std::min(n, kMaxText);
    char* at = nullptr;
    char zero = '\0';
    CompiledExpr& e = E();
    if (e.PoolBase != nullptr && e.PoolNext + n + 1 <= e.PoolBase + e.PoolSize) {
      at = n > 0 ? Allocate(text, n) : e.PoolNext;
      Allocate(&zero, 1);
    } else {
      SetError(354, "Working pool overflow [PARSER/Allocate]");
    }
    WorkItem& w = PushSlot();
    w.ValueType = type;
    w.Value.text = at;
    return;
  }
  WorkItem& w = PushSlot();
  w.ValueType = type;
  if (type == kExprLogical)
    w.Value.integer = *static_cast<const std::int32_t*>(value);
  else
    w.Value.number = *static_cast<const double*>(value);
}

const void* PopWD() {
  CompiledExpr& e = E();
  if (e.workEmpty) return nullptr;
  WorkItem& w = e.Work[e.WorkCursor];
  if (w.ValueType < kExprChar || w.ValueType > kExprMemo) {
    SetError(356, UnknownTypeMessage("PARSER/PopWD"));
    return nullptr;
  }
  const void* result = (w.ValueType == kExprChar || w.ValueType == kExprMemo)
                           ? static_cast<const void*>(w.Value.text)
                           : static_cast<const void*>(&w.Value);
  if ((w.ValueType == kExprChar || w.ValueType == kExprMemo) && w.Value.text != nullptr)
    e.PoolNext = const_cast<char*>(w.Value.text);
  if (e.WorkCursor == 0)
    e.workEmpty = true;
  else
    --e.WorkCursor;
  return result;
}

namespace {

void PushBlank(std::int32_t typeCode) {
  if (typeCode == kExprChar || typeCode == kExprMemo)
    PushText("");
  else if (typeCode == kExprLogical)
    PushLogical(false);
  else
    PushWD(typeCode, std::array<double, 1>{0.0}.data(), 0);
}

void PushMemo(int area, std::int32_t block) {
  CompiledExpr& e = E();
  std::size_t room =
      e.PoolBase == nullptr ? 0 : static_cast<std::size_t>(e.PoolBase + e.PoolSize - e.PoolNext);
  std::string text;
  if (block != 0 && MemoHooks.assignMemo != nullptr && room > 1) {
    // Without the memo unit a memo reads as the empty text.
    std::uint8_t saved = CurrentArea;
    CurrentArea = static_cast<std::uint8_t>(area);
    TMemoTextFile file;
    std::int32_t b = block;
    MemoHooks.assignMemo(file, b);
    MemoReset(file);
    std::string line;
    while (text.size() + 1 < room && MemoReadLn(file, line)) {
      if (line.size() > kMaxText) line.resize(kMaxText);
      text += line;
    }
    MemoClose(file);
    CurrentArea = saved;
  }
  if (room == 0) {
    PushText("");
    return;
  }
  // A memo is cut so that it and its zero fit in the pool.
  if (text.size() + 1 > room) text.resize(room - 1);
  char* at = e.PoolNext;
  std::memcpy(at, text.data(), text.size());
  at[text.size()] = '\0';
  e.PoolNext += text.size() + 1;
  WorkItem& w = PushSlot();
  w.ValueType = kExprMemo;
  w.Value.text = at;
}

}  // namespace

void FieldToParserValue(int fieldNumber, int area, std::int32_t typeCode) {
  int areaNumber = area >= kUserAreaCount ? CurrentArea : area;
  WorkAreaRecord* rec = WorkAreaAt(areaNumber);
  if (rec == nullptr || fieldNumber < 1 || fieldNumber > rec->fieldCount ||
      fieldNumber > static_cast<int>(rec->fields.size())) {
    PushBlank(typeCode);
    return;
  }
  const FieldDescriptor& fd = rec->fields[static_cast<std::size_t>(fieldNumber - 1)];
  bool present = rec->recordCount >= 1 && !(BlankValuesAtEof && rec->eof);
  const std::vector<unsigned char>& buf = rec->recordBuffer;
  const char type = fd.type;

  if (rec->vfile.isVirtual) {
    // Records of virtual areas are held in typed form.
    std::size_t at = (rec->recordLength == 0 ? 2 : 0) + 1;
    for (int i = 0; i < fieldNumber - 1; ++i)
      at += TypedSlotSize(rec->fields[static_cast<std::size_t>(i)]);
    if (!present || at + TypedSlotSize(fd) > buf.size()) present = false;
    const unsigned char* p = present ? buf.data() + at : nullptr;
    switch (type) {
      case 'C': {
        std::string s(fd.length, ' ');
        if (p != nullptr) {
          std::size_t n = std::min<std::size_t>(p[0], fd.length);
          std::memcpy(s.data(), p + 1, n);
        }
        PushWD(kExprChar, s.data(), static_cast<int>(s.size()));
        return;
      }
      case 'D': {
        double jd = 0;
        if (p != nullptr) {
          std::string t(reinterpret_cast<const char*>(p + 1),
                        std::min<std::size_t>(p[0], fd.length + 2u));
          jd = DtosToJulian(DateTextToDtos(t));
        }
        PushDate(jd);
        return;
      }
      case 'N':
      case 'F': {
        double v = 0;
        if (p != nullptr) {
          if (fd.decimals > 0) {
            std::memcpy(&v, p, 8);
          } else {
            v = static_cast<double>(GetSlotInteger(fd, p));
          }
        }
        PushNumber(v);
        return;
      }
      case 'L':
        PushLogical(p != nullptr && p[0] != 0);
        return;
      case 'M': {
        std::int32_t block = 0;
        if (p != nullptr) std::memcpy(&block, p, 4);
        PushMemo(areaNumber, block);
        return;
      }
      default:
        PushBlank(typeCode);
        return;
    }
  }

  if (fd.offset + static_cast<std::size_t>(fd.length) > buf.size()) present = false;
  std::string raw =
      present ? std::string(reinterpret_cast<const char*>(buf.data()) + fd.offset, fd.length)
              : std::string(fd.length, ' ');
  switch (type) {
    case 'C':
      PushWD(kExprChar, raw.data(), static_cast<int>(raw.size()));
      return;
    case 'D':
      raw.resize(8, ' ');
      PushDate(DtosToJulian(raw));
      return;
    case 'N':
    case 'F':
      PushNumber(ParseDecimal(raw));
      return;
    case 'L': {
      char c = raw.empty() ? ' ' : CharUpper(raw[0]);
      PushLogical(c == 'Y' || c == 'T');
      return;
    }
    case 'M':
      PushMemo(areaNumber, static_cast<std::int32_t>(ParseDecimal(raw)));
      return;
    default:
      PushBlank(typeCode);
      return;
  }
}

double ExprNumber(const CompiledExpr* expr) {
  return expr != nullptr && expr->Result != nullptr &&
                 (expr->ResultType == 'N' || expr->ResultType == 'D')
             ? *static_cast<const double*>(expr->Result)
             : 0;
}

bool ExprLogical(const CompiledExpr* expr) {
  return expr != nullptr && expr->Result != nullptr && expr->ResultType == 'L' &&
         *static_cast<const std::int32_t*>(expr->Result) != 0;
}

const char* ExprString(const CompiledExpr* expr) {
  if (expr == nullptr || expr->Result == nullptr ||
      (expr->ResultType != 'C' && expr->ResultType != 'M'))
    return "";
  return static_cast<const char*>(expr->Result);
}
