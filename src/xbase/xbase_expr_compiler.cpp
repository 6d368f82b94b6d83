// dBASE expression compiler: scanner, operator-precedence parser with the type rules of the
// language, and code generation into a postfix code list.
#include "xbase/xbase_expr_compiler.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>
#include <new>

#include "xbase/work_areas.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_expr_eval.h"

std::uint8_t DefaultDecimals = 2;
std::uint16_t MemoPoolSize = 256;
bool BlankValuesAtEof = false;

namespace {

// Token codes besides single characters.
constexpr int kTokEnd = 0;
constexpr int kTokFieldC = 321;  // 321..325 C N L D M of the current area
constexpr int kTokAliasC = 326;  // 326..330 of a named area
constexpr int kTokString = 331;
constexpr int kTokNumber = 332;
constexpr int kTokUnknown = 336;
constexpr int kTokFalse = 337;
constexpr int kTokTrue = 338;
constexpr int kTokNot = 339;
constexpr int kTokOr = 340;
constexpr int kTokAnd = 341;
constexpr int kTokNe = 342;
constexpr int kTokLe = 343;
constexpr int kTokGe = 344;
constexpr int kTokExactEq = 345;
constexpr int kTokDollar = 346;

constexpr int kSourceSize = 256;
constexpr int kConstBufferSize = 512;
constexpr int kMaxNameLength = 80;
constexpr int kUnsetDecimals = 19;
constexpr int kParserStackSize = 150;

struct TKeyword {
  const char* name;
  int code;
  int poolBytes;
};

const TKeyword kKeywords[] = {
    {"ABS", 257, 0},       {"ASC", 259, 0},           {"AT", 261, 0},
    {"CDOW", 264, 15},     {"CHR", 266, 2},           {"CMON", 267, 15},
    {"CMONT", 267, 15},    {"CMONTH", 267, 15},       {"CTOD", 269, 0},
    {"DATE", 270, 0},      {"DAY", 271, 0},           {"DELE", 272, 0},
    {"DELET", 272, 0},     {"DELETE", 272, 0},        {"DELETED", 272, 0},
    {"DOW", 274, 0},       {"DTOC", 275, 11},         {"DTOS", 277, 9},
    {"IIF", 283, 256},     {"INT", 284, 0},           {"LEFT", 288, 0},
    {"LEN", 289, 0},       {"LOWE", 292, 0},          {"LOWER", 292, 0},
    {"LTRI", 293, 0},      {"LTRIM", 293, 0},         {"MAX", 294, 0},
    {"MIN", 295, 0},       {"MOD", 296, 0},           {"MONT", 297, 0},
    {"MONTH", 297, 0},     {"RECN", 300, 0},          {"RECNO", 300, 0},
    {"REPL", 301, 256},    {"REPLI", 301, 256},       {"REPLIC", 301, 256},
    {"REPLICA", 301, 256}, {"REPLICAT", 301, 256},    {"REPLICATE", 301, 256},
    {"RIGH", 302, 0},      {"RIGHT", 302, 0},         {"ROUN", 303, 0},
    {"ROUND", 303, 0},     {"RTRI", 305, 0},          {"RTRIM", 305, 0},
    {"SOUN", 308, 15},     {"SOUND", 308, 15},        {"SOUNDE", 308, 15},
    {"SOUNDEX", 308, 15},  {"SPAC", 310, 256},        {"SPACE", 310, 256},
    {"STR", 311, 256},     {"STUF", 312, 0},          {"STUFF", 312, 0},
    {"SUBS", 313, 0},      {"SUBST", 313, 0},         {"SUBSTR", 313, 0},
    {"TRIM", 316, 0},      {"UPPE", 318, 0},          {"UPPER", 318, 0},
    {"VAL", 319, 0},       {"YEAR", 320, 0},          {".F.", kTokFalse, 0},
    {".T.", kTokTrue, 0},  {".NOT.", kTokNot, 0},     {".OR.", kTokOr, 0},
    {".AND.", kTokAnd, 0}, {"$EOT$", kTokUnknown, 0},
};

// Argument types of a function: C N L D, 'X' for "N or D (both alike)".
struct TFunction {
  int code;
  const char* name;
  const char* args;  // one letter per argument
  char result;       // 'X': the type of the arguments
};

const TFunction kFunctions[] = {
    {257, "ABS", "N", 'N'},        {259, "ASC", "C", 'N'},      {261, "AT", "CC", 'N'},
    {264, "CDOW", "D", 'C'},       {266, "CHR", "N", 'C'},      {267, "CMONTH", "D", 'C'},
    {269, "CTOD", "C", 'D'},       {270, "DATE", "", 'D'},      {271, "DAY", "D", 'N'},
    {272, "DELETED", "", 'L'},     {274, "DOW", "D", 'N'},      {275, "DTOC", "D", 'C'},
    {277, "DTOS", "D", 'C'},       {283, "IIF", "LCC", 'C'},    {284, "INT", "N", 'N'},
    {288, "LEFT", "CN", 'C'},      {289, "LEN", "C", 'N'},      {292, "LOWER", "C", 'C'},
    {293, "LTRIM", "C", 'C'},      {294, "MAX", "XX", 'X'},     {295, "MIN", "XX", 'X'},
    {296, "MOD", "NN", 'N'},       {297, "MONTH", "D", 'N'},    {300, "RECNO", "", 'N'},
    {301, "REPLICATE", "CN", 'C'}, {302, "RIGHT", "CN", 'C'},   {303, "ROUND", "NN", 'N'},
    {305, "RTRIM", "C", 'C'},      {308, "SOUNDEX", "C", 'C'},  {310, "SPACE", "N", 'C'},
    {311, "STR", "NNN", 'C'},      {312, "STUFF", "CNNC", 'C'}, {313, "SUBSTR", "CNN", 'C'},
    {316, "TRIM", "C", 'C'},       {318, "UPPER", "C", 'C'},    {319, "VAL", "C", 'N'},
    {320, "YEAR", "D", 'N'},
};

const TFunction* FindFunction(int code) {
  for (const TFunction& f : kFunctions)
    if (f.code == code) return &f;
  return nullptr;
}

int TypeCodeOf(char letter) {
  switch (letter) {
    case 'C':
      return kExprChar;
    case 'N':
      return kExprNumeric;
    case 'L':
      return kExprLogical;
    case 'D':
      return kExprDate;
    default:
      return kExprMemo;
  }
}

// Every live compiled expression; handles are the addresses of their nodes.
std::list<std::unique_ptr<CompiledExpr>>& ExprList() {
  static std::list<std::unique_ptr<CompiledExpr>> list;
  return list;
}

// Compiler state of the one compilation that runs at a time.
struct TCompilerState {
  char source[kSourceSize + 1] = {};
  int sourceLength = 0;
  int position = 0;
  int constBufferUsed = 0;
  int lastWidth = 0;
  int lastDecimals = kUnsetDecimals;
  int poolSize = 0;
  int fieldNumber = 0;
  int fieldArea = 0;
  double lastNumber = 0;
  const char* lastString = nullptr;
  CompiledExpr* expr = nullptr;
  int token = kTokEnd;
  int stackDepth = 0;
  bool failed = false;
};

TCompilerState S;

char ReadChar() {
  if (S.position >= kSourceSize || S.position >= S.sourceLength) {
    ++S.position;
    return 0;
  }
  return S.source[S.position++];
}

char PeekChar() {
  if (S.position >= kSourceSize || S.position >= S.sourceLength) return 0;
  return S.source[S.position];
}

char UpperChar(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}
bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int ScanNumber() {
  std::string text;
  bool point = false;
  for (;;) {
    char c = UpperChar(PeekChar());
    if (IsDigit(c) || c == 'E') {
      text += c;
    } else if (c == '.' && !point) {
      point = true;
      text += c;
    } else {
      break;
    }
    ++S.position;
  }
  if (text.size() > kMaxNameLength) text.resize(kMaxNameLength);
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  S.lastNumber = value;
  S.lastWidth = 0;
  S.lastDecimals = DefaultDecimals;
  return kTokNumber;
}

int ScanString(char quote) {
  std::string text;
  for (;;) {
    if (PeekChar() == 0) {
      ++S.position;
      return kTokEnd;  // unclosed: the end mark
    }
    char c = S.source[S.position++];
    if (c == quote) break;
    if (S.constBufferUsed < kConstBufferSize) {
      text += c;
      ++S.constBufferUsed;
      ++S.poolSize;
    }
  }
  if (S.constBufferUsed < kConstBufferSize) ++S.constBufferUsed;
  ++S.poolSize;  // the terminating zero
  S.expr->Constants.push_back(text);
  S.lastString = S.expr->Constants.back().c_str();
  S.lastWidth = 0;
  S.lastDecimals = DefaultDecimals;
  return kTokString;
}

std::string UpperText(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperChar(c);
  return out;
}

// The name a table is known by in qualified field names: its file name without directory and
// extension, upper case.
std::string AliasOfArea(const WorkAreaRecord& rec) {
  std::string name = rec.tableName;
  std::size_t slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  if (name.size() > 10) name.resize(10);
  return UpperText(name);
}

// Looks a name up as a field; the token (321..330) or 0.
int LookupFieldName(const std::string& name, bool qualified) {
  int area = CurrentArea;
  std::string fieldName = name;
  if (qualified) {
    std::size_t dot = name.find("->");
    std::string alias = name.substr(0, dot);
    fieldName = name.substr(dot + 2);
    if (alias.size() > 10) alias.resize(10);
    area = 0;
    for (int a = 1; a <= 32 && area == 0; ++a) {
      if (WorkAreas[a] != nullptr && AliasOfArea(*WorkAreas[a]) == alias) area = a;
    }
    if (area == 0) return 0;
  }
  WorkAreaRecord* rec = WorkAreaAt(area);
  if (rec == nullptr) return 0;
  for (int i = 1; i <= rec->fieldCount; ++i) {
    const FieldDescriptor& fd = rec->fields[i - 1];
    if (UpperText(std::string(fd.name, strnlen(fd.name, sizeof fd.name))) != fieldName) continue;
    int offset;
    switch (fd.type) {
      case 'C':
        offset = 0;
        break;
      case 'N':
      case 'F':
        offset = 1;
        break;
      case 'L':
        offset = 2;
        break;
      case 'D':
        offset = 3;
        break;
      case 'M':
        offset = 4;
        break;
      default:
        return 0;
    }
    S.fieldNumber = i;
    S.fieldArea = area;
    return (qualified ? kTokAliasC : kTokFieldC) + offset;
  }
  return 0;
}

int NextToken() {
  char c;
  do {
    c = ReadChar();
  } while (c == ' ' || c == '\t');
  if (c == 0) return kTokEnd;
  c = UpperChar(c);
  if (IsDigit(c)) {
    --S.position;
    return ScanNumber();
  }
  if (c == '\'' || c == '"') return ScanString(c);
  switch (c) {
    case '=':
      if (PeekChar() == '=') {
        ++S.position;
        return kTokExactEq;
      }
      return '=';
    case '*':
      if (PeekChar() == '*') {
        ++S.position;
        return '^';
      }
      return '*';
    case '#':
      return kTokNe;
    case '$':
      return kTokDollar;
    case '>':
      if (PeekChar() == '=') {
        ++S.position;
        return kTokGe;
      }
      return '>';
    case '<':
      if (PeekChar() == '=') {
        ++S.position;
        return kTokLe;
      }
      if (PeekChar() == '>') {
        ++S.position;
        return kTokNe;
      }
      return '<';
    default:
      break;
  }
  if (!(IsLetter(c) || c == '.' || c == '_')) return static_cast<unsigned char>(c);

  std::string name(1, c);
  for (;;) {
    char n = UpperChar(PeekChar());
    if (!(IsLetter(n) || IsDigit(n) || n == '.' || n == '_')) break;
    name += n;
    ++S.position;
  }
  bool qualified = false;
  if (PeekChar() == '-' && S.position + 1 < S.sourceLength && S.source[S.position + 1] == '>') {
    S.position += 2;
    qualified = true;
    name += "->";
    for (;;) {
      char n = UpperChar(PeekChar());
      if (!(IsLetter(n) || IsDigit(n) || n == '_')) break;
      name += n;
      ++S.position;
    }
  }
  if (name.size() > kMaxNameLength) name.resize(kMaxNameLength);

  // A name followed by "(" is a function name even when a field has it.
  int save = S.position;
  char next;
  do {
    next = ReadChar();
  } while (next == ' ' || next == '\t');
  S.position = save;
  if (next != '(') {
    int fieldToken = LookupFieldName(name, qualified);
    if (fieldToken != 0) {
      const FieldDescriptor& fd = WorkAreas[S.fieldArea]->fields[S.fieldNumber - 1];
      if (fd.type == 'C') S.poolSize += fd.length + 1;
      S.lastWidth = fd.length;
      if (fd.type == 'N' || fd.type == 'F')
        S.lastDecimals = S.lastDecimals == kUnsetDecimals ? fd.decimals : DefaultDecimals;
      return fieldToken;
    }
  }
  S.lastWidth = 0;
  S.lastDecimals = DefaultDecimals;
  if (qualified) return kTokUnknown;
  for (const TKeyword& k : kKeywords) {
    if (name == k.name || k.code == kTokUnknown) {
      S.poolSize += k.poolBytes;
      return k.code;
    }
  }
  return kTokUnknown;
}

void Advance() {
  S.token = NextToken();
}

void Fail(const std::string& reason) {
  if (!S.failed) ExprSyntaxError(reason);
  S.failed = true;
}

void Emit(int op, int argCount) {
  CodeItem item;
  item.Op = op;
  item.ArgCount = argCount;
  S.expr->Code.push_back(item);
}

void EmitPush(int type, TExprValue value) {
  CodeItem item;
  item.Op = kOpPush;
  item.ValueType = type;
  item.Value = value;
  S.expr->Code.push_back(item);
}

void TypeMismatch(const char* prefix, const std::string& name) {
  Fail(std::string("PARSER:Type mismatch in ") + prefix + " \"" + name + "\"");
}

// The operator row that takes these operand types; 0 when none does.
struct TBinaryRow {
  int token;
  int left, right, result, op;
};

const TBinaryRow kBinaryRows[] = {
    {'+', kExprNumeric, kExprNumeric, kExprNumeric, kOpAddNN},
    {'+', kExprNumeric, kExprDate, kExprDate, kOpAddND},
    {'+', kExprDate, kExprNumeric, kExprDate, kOpAddDN},
    {'+', kExprChar, kExprChar, kExprChar, kOpAddCC},
    {'-', kExprNumeric, kExprNumeric, kExprNumeric, kOpSubNN},
    {'-', kExprDate, kExprNumeric, kExprDate, kOpSubDN},
    {'-', kExprDate, kExprDate, kExprNumeric, kOpSubDD},
    {'-', kExprChar, kExprChar, kExprChar, kOpSubCC},
    {'*', kExprNumeric, kExprNumeric, kExprNumeric, kOpMul},
    {'/', kExprNumeric, kExprNumeric, kExprNumeric, kOpDiv},
    {'^', kExprNumeric, kExprNumeric, kExprNumeric, kOpPow},
    {'=', kExprNumeric, kExprNumeric, kExprLogical, kOpEqNN},
    {'=', kExprDate, kExprDate, kExprLogical, kOpEqDD},
    {'=', kExprChar, kExprChar, kExprLogical, kOpEqCC},
    {'=', kExprLogical, kExprLogical, kExprLogical, kOpEqLL},
    {kTokExactEq, kExprChar, kExprChar, kExprLogical, kOpExactEq},
    {kTokDollar, kExprChar, kExprChar, kExprLogical, kOpContains},
    {'>', kExprNumeric, kExprNumeric, kExprLogical, kOpGtNN},
    {'>', kExprDate, kExprDate, kExprLogical, kOpGtDD},
    {'>', kExprChar, kExprChar, kExprLogical, kOpGtCC},
    {'<', kExprNumeric, kExprNumeric, kExprLogical, kOpLtNN},
    {'<', kExprDate, kExprDate, kExprLogical, kOpLtDD},
    {'<', kExprChar, kExprChar, kExprLogical, kOpLtCC},
    {kTokNe, kExprNumeric, kExprNumeric, kExprLogical, kOpNeNN},
    {kTokNe, kExprDate, kExprDate, kExprLogical, kOpNeDD},
    {kTokNe, kExprChar, kExprChar, kExprLogical, kOpNeCC},
    {kTokNe, kExprLogical, kExprLogical, kExprLogical, kOpNeLL},
    {kTokLe, kExprNumeric, kExprNumeric, kExprLogical, kOpLeNN},
    {kTokLe, kExprDate, kExprDate, kExprLogical, kOpLeDD},
    {kTokLe, kExprChar, kExprChar, kExprLogical, kOpLeCC},
    {kTokGe, kExprNumeric, kExprNumeric, kExprLogical, kOpGeNN},
    {kTokGe, kExprDate, kExprDate, kExprLogical, kOpGeDD},
    {kTokGe, kExprChar, kExprChar, kExprLogical, kOpGeCC},
    {kTokOr, kExprLogical, kExprLogical, kExprLogical, kOpOr},
    {kTokAnd, kExprLogical, kExprLogical, kExprLogical, kOpAnd},
};

const char* OperatorText(int token) {
  switch (token) {
    case '^':
      return "** or ^";
    case kTokExactEq:
      return "==";
    case kTokDollar:
      return "$";
    case kTokNe:
      return "<>";
    case kTokLe:
      return "<=";
    case kTokGe:
      return ">=";
    case kTokOr:
      return ".OR.";
    case kTokAnd:
      return ".AND.";
    case '+':
      return "+";
    case '-':
      return "-";
    case '*':
      return "*";
    case '/':
      return "/";
    case '=':
      return "=";
    case '>':
      return ">";
    case '<':
      return "<";
    default:
      return "?";
  }
}

// Binding strength of a binary operator token (0: not a binary operator).
int Precedence(int token) {
  switch (token) {
    case kTokOr:
      return 1;
    case kTokAnd:
      return 2;
    case '=':
    case kTokNe:
      return 3;
    case kTokExactEq:
    case kTokDollar:
      return 4;
    case '<':
    case '>':
    case kTokLe:
    case kTokGe:
      return 5;
    case '+':
    case '-':
      return 6;
    case '*':
    case '/':
      return 7;
    case '^':
      return 8;
    default:
      return 0;
  }
}

int ParseExpr(int minPrecedence);

bool Push() {
  if (++S.stackDepth >= kParserStackSize) {
    Fail("Parser_stack_overflow");
    return false;
  }
  return true;
}

void Expect(int token) {
  if (S.failed) return;
  if (S.token != token) {
    Fail("Syntax error");
    return;
  }
  Advance();
}

int ParseFunction(int code) {
  const TFunction* f = FindFunction(code);
  Advance();
  Expect('(');
  if (S.failed) return 0;
  int maxArgs = static_cast<int>(std::strlen(f->args));
  int minArgs = code == kOpStr ? 1 : maxArgs;
  std::vector<int> types;
  int depth = S.stackDepth;
  if (maxArgs > 0) {
    for (;;) {
      if (!Push()) return 0;
      types.push_back(ParseExpr(1));
      if (S.failed) return 0;
      if (static_cast<int>(types.size()) < maxArgs &&
          (S.token == ',' || static_cast<int>(types.size()) < minArgs)) {
        Expect(',');
        if (S.failed) return 0;
        continue;
      }
      break;
    }
  }
  Expect(')');
  S.stackDepth = depth;
  if (S.failed) return 0;
  int result = TypeCodeOf(f->result);
  bool ok = true;
  if (f->result == 'X') {
    // MIN and MAX: two numbers or two dates.
    ok = (types[0] == kExprNumeric && types[1] == kExprNumeric) ||
         (types[0] == kExprDate && types[1] == kExprDate);
    result = types[0];
  } else {
    for (std::size_t i = 0; i < types.size(); ++i)
      if (types[i] != TypeCodeOf(f->args[i])) ok = false;
  }
  if (!ok) {
    TypeMismatch("function", f->name);
    return 0;
  }
  Emit(code, static_cast<int>(types.size()));
  S.expr->Code.back().ValueType = result;  // MIN and MAX keep dates as dates
  return result;
}

int ParsePrimary() {
  if (S.failed) return 0;
  int t = S.token;
  TExprValue v{};
  if (t == '(') {
    Advance();
    if (!Push()) return 0;
    int type = ParseExpr(1);
    --S.stackDepth;
    Expect(')');
    return S.failed ? 0 : type;
  }
  if (t == kTokString) {
    v.text = S.lastString;
    EmitPush(kExprChar, v);
    Advance();
    return kExprChar;
  }
  if (t == kTokNumber) {
    v.number = S.lastNumber;
    EmitPush(kExprNumeric, v);
    Advance();
    return kExprNumeric;
  }
  if (t == kTokTrue || t == kTokFalse) {
    v.integer = t == kTokTrue ? 1 : 0;
    EmitPush(kExprLogical, v);
    Advance();
    return kExprLogical;
  }
  if (t >= kTokFieldC && t <= kTokFieldC + 9) {
    bool alias = t >= kTokAliasC;
    v.number = S.fieldNumber;
    EmitPush(kExprNumeric, v);
    if (alias) {
      v.number = S.fieldArea;
      EmitPush(kExprNumeric, v);
    }
    Emit(t, alias ? 2 : 1);
    Advance();
    return kExprChar + (t - (alias ? kTokAliasC : kTokFieldC));
  }
  if (FindFunction(t) != nullptr) return ParseFunction(t);
  Fail("Syntax error");
  return 0;
}

int ParseUnary() {
  if (S.failed) return 0;
  int t = S.token;
  if (t == kTokNot || t == '-' || t == '+') {
    Advance();
    if (!Push()) return 0;
    int type = ParseUnary();
    --S.stackDepth;
    if (S.failed) return 0;
    if (t == kTokNot) {
      if (type != kExprLogical) {
        TypeMismatch("expression", ".NOT.");
        return 0;
      }
      Emit(kOpNot, 1);
      return kExprLogical;
    }
    if (type != kExprNumeric) {
      TypeMismatch("expression", t == '-' ? "Unary -" : "Unary +");
      return 0;
    }
    if (t == '-') Emit(kOpNegate, 1);
    return kExprNumeric;
  }
  return ParsePrimary();
}

int ParseExpr(int minPrecedence) {
  int left = ParseUnary();
  while (!S.failed) {
    int op = S.token;
    int prec = Precedence(op);
    if (prec == 0 || prec < minPrecedence) break;
    Advance();
    S.stackDepth += 2;
    if (S.stackDepth >= kParserStackSize) {
      Fail("Parser_stack_overflow");
      return 0;
    }
    int right = ParseExpr(prec + 1);  // left-associative
    S.stackDepth -= 2;
    if (S.failed) return 0;
    const TBinaryRow* row = nullptr;
    for (const TBinaryRow& r : kBinaryRows)
      if (r.token == op && r.left == left && r.right == right) row = &r;
    if (row == nullptr) {
      TypeMismatch("expression", OperatorText(op));
      return 0;
    }
    Emit(row->op, 2);
    left = row->result;
  }
  return left;
}

// Parses the whole source text; the result's type code, 0 on failure.
int ParseAll() {
  Advance();
  int type = ParseExpr(1);
  if (!S.failed && S.token != kTokEnd) Fail("Syntax error");
  if (S.failed) return 0;
  CodeItem end;
  end.Op = kOpEnd;
  S.expr->Code.push_back(end);
  return type;
}

void DestroyExpr(CompiledExpr* expr) {
  auto& list = ExprList();
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (it->get() == expr) {
      if (CurrentExpr == expr) CurrentExpr = nullptr;
      list.erase(it);
      return;
    }
  }
}

}  // namespace

char ExprTypeLetter(std::int32_t typeCode) {
  switch (typeCode) {
    case kExprChar:
      return 'C';
    case kExprNumeric:
      return 'N';
    case kExprLogical:
      return 'L';
    case kExprDate:
      return 'D';
    case kExprMemo:
      return 'M';
    default:
      return ' ';
  }
}

void ExprSyntaxError(const std::string& reason) {
  int p = S.position - 1;
  std::string s = reason + "\r\n";
  int start = 0;
  if (p < 50) {
    s += "[";
  } else {
    s += "[...";
    start = p - 50;
  }
  std::string_view text(S.source, static_cast<std::size_t>(S.sourceLength));
  if (start > static_cast<int>(text.size())) start = static_cast<int>(text.size());
  if (static_cast<int>(text.size()) - start <= 51)
    s += std::string(text.substr(start)) + "]";
  else
    s += std::string(text.substr(start, 51)) + "...]";
  s += "\r\n";
  SetError(351, "Error in expression : " + s + " [AssignExpr]");
}

CompiledExpr* AssignExpr(const std::string& text) {
  if (XbaseErrorCode >= 350 && XbaseErrorCode <= 363) XbaseErrorCode = 0;
  CompiledExpr* expr = nullptr;
  try {
    ExprList().push_back(std::make_unique<CompiledExpr>());
    expr = ExprList().back().get();
  } catch (const std::bad_alloc&) {
    SetError(217, " [AssignExpr]");
    return nullptr;
  }
  S = TCompilerState{};
  S.expr = expr;
  std::size_t n = std::min<std::size_t>(text.size(), kSourceSize);
  std::memcpy(S.source, text.data(), n);
  S.sourceLength = static_cast<int>(n);
  // A NUL ends the text as in a zero-terminated buffer.
  S.sourceLength = static_cast<int>(std::strlen(S.source));
  if (text.size() >= kSourceSize) {
    // Longer texts would be cut and silently mean something else.
    S.position = kSourceSize;
    Fail("Expression longer than 255 characters");
    DestroyExpr(expr);
    return nullptr;
  }

  int type = 0;
  try {
    type = ParseAll();
  } catch (const std::bad_alloc&) {
    SetError(217, " [PARSER/SStackCheck]");
    S.failed = true;
  }
  if (S.failed || type == 0) {
    DestroyExpr(expr);
    return nullptr;
  }
  expr->Text = text;
  int poolSize = type == kExprMemo ? MemoPoolSize : S.poolSize;
  // Character results always need room for at least the terminating zero.
  if ((type == kExprChar || type == kExprMemo) && poolSize == 0) poolSize = 1;
  poolSize = std::min(poolSize, 65535);
  try {
    expr->pool.assign(static_cast<std::size_t>(poolSize), '\0');
  } catch (const std::bad_alloc&) {
    DestroyExpr(expr);
    SetError(217, " [AssignExpr]");
    return nullptr;
  }
  expr->PoolSize = static_cast<std::uint16_t>(poolSize);
  expr->PoolBase = expr->pool.empty() ? nullptr : expr->pool.data();
  expr->PoolNext = expr->PoolBase;
  expr->ResultType = ExprTypeLetter(type);
  expr->ResultDecimals = 0;
  switch (type) {
    case kExprChar:
      expr->Result = expr->PoolBase;
      expr->ResultWidth =
          static_cast<std::uint16_t>(S.poolSize == S.lastWidth + 1 ? S.lastWidth : 0);
      break;
    case kExprDate:
      expr->ResultWidth = 8;
      expr->Result = &expr->resultStore.number;
      break;
    case kExprNumeric: {
      int decimals = S.lastDecimals < kUnsetDecimals ? S.lastDecimals : DefaultDecimals;
      expr->ResultDecimals = static_cast<std::uint8_t>(decimals);
      int width = S.lastWidth < decimals + 2 ? 0 : S.lastWidth;
      expr->ResultWidth = static_cast<std::uint16_t>(width != 0 ? width : decimals + 11);
      expr->Result = &expr->resultStore.number;
      break;
    }
    case kExprLogical:
      expr->ResultWidth = 1;
      expr->Result = &expr->resultStore.logical;
      break;
    default:
      expr->Result = expr->PoolBase;
      expr->ResultWidth = expr->PoolSize;
      break;
  }
  return expr;
}

bool IsCompiledExpr(const CompiledExpr* handle) {
  if (handle == nullptr) return false;
  for (const auto& e : ExprList())
    if (e.get() == handle) return true;
  return false;
}

void FreeExpr(CompiledExpr*& handle) {
  if (!IsCompiledExpr(handle)) return;
  DestroyExpr(handle);
  handle = nullptr;
}

void ExprText(CompiledExpr*& handle, std::string& text) {
  text = IsCompiledExpr(handle) ? handle->Text : std::string();
}

CompiledExpr* CompileExprHook(std::string& text) {
  return AssignExpr(text);
}

void InstallParserHooks() {
  DefaultDecimals = 2;
  MemoPoolSize = 256;
  BlankValuesAtEof = false;
  ExprHooks.compile = CompileExprHook;
  ExprHooks.free = FreeExpr;
  ExprHooks.evaluate = EvaluateExpr;
  ExprHooks.text = ExprText;
  FastEvaluate = EvaluateCurrentExpr;
  ParserPresent = true;
}

void ResetExprUnit() {
  DefaultDecimals = 2;
  MemoPoolSize = 256;
  BlankValuesAtEof = false;
  CurrentExpr = nullptr;
  ExprList().clear();
}
