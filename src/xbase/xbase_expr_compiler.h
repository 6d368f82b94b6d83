// dBASE expressions of filters and index keys: the scanner, the grammar with its type rules and
// the compiled form (a postfix code list that the evaluator runs against the current record).
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <string>
#include <vector>

// Type codes of values inside compiled expressions (type letters outside: C, N, L, D, M).
constexpr std::int32_t kExprChar = 331;
constexpr std::int32_t kExprNumeric = 332;
constexpr std::int32_t kExprLogical = 333;
constexpr std::int32_t kExprDate = 334;
constexpr std::int32_t kExprMemo = 335;

// Operation codes of the code list besides the function codes 257..320 and field codes 321..330.
constexpr std::int32_t kOpPush = 0;
constexpr std::int32_t kOpEnd = -1;

// Function and operator codes, as the code list carries them.
enum ExprOpCode : std::int32_t {
  kOpAbs = 257,
  kOpAsc = 259,
  kOpAt = 261,
  kOpCdow = 264,
  kOpChr = 266,
  kOpCmonth = 267,
  kOpCtod = 269,
  kOpDate = 270,
  kOpDay = 271,
  kOpDeleted = 272,
  kOpDow = 274,
  kOpDtoc = 275,
  kOpDtos = 277,
  kOpIif = 283,
  kOpInt = 284,
  kOpLeft = 288,
  kOpLen = 289,
  kOpLower = 292,
  kOpLtrim = 293,
  kOpMax = 294,
  kOpMin = 295,
  kOpMod = 296,
  kOpMonth = 297,
  kOpRecno = 300,
  kOpReplicate = 301,
  kOpRight = 302,
  kOpRound = 303,
  kOpRtrim = 305,
  kOpSoundex = 308,
  kOpSpace = 310,
  kOpStr = 311,
  kOpStuff = 312,
  kOpSubstr = 313,
  kOpTrim = 316,
  kOpUpper = 318,
  kOpVal = 319,
  kOpYear = 320,
  kOpFieldC = 321,  // 321..325: field of the current area, C N L D M
  kOpFieldM = 325,
  kOpAliasFieldC = 326,  // 326..330: field of a named area, C N L D M
  kOpAliasFieldM = 330,
  kOpAddNN = 347,
  kOpAddND = 348,
  kOpAddDN = 349,
  kOpAddCC = 350,
  kOpSubNN = 351,
  kOpSubDN = 352,
  kOpSubDD = 353,
  kOpSubCC = 354,
  kOpMul = 355,
  kOpDiv = 356,
  kOpPow = 357,
  kOpEqNN = 358,
  kOpEqDD = 359,
  kOpEqCC = 360,
  kOpEqLL = 361,
  kOpExactEq = 362,
  kOpContains = 363,
  kOpGtNN = 364,
  kOpGtDD = 365,
  kOpGtCC = 366,
  kOpLtNN = 367,
  kOpLtDD = 368,
  kOpLtCC = 369,
  kOpNeNN = 370,
  kOpNeDD = 371,
  kOpNeCC = 372,
  kOpNeLL = 373,
  kOpLeNN = 374,
  kOpLeDD = 375,
  kOpLeCC = 376,
  kOpGeNN = 377,
  kOpGeDD = 378,
  kOpGeCC = 379,
  kOpOr = 380,
  kOpAnd = 381,
  kOpNot = 382,
  kOpNegate = 383,
};

// A value on the code list or the work stack: a number (numeric, date), a logical or integer,
// or a zero-terminated text (a constant's node, or a place in the working pool).
union TExprValue {
  double number;
  std::int32_t integer;
  const char* text;
};

struct CodeItem {
  std::int32_t Op = kOpPush;  // 0 push, -1 end, else an operation code
  std::int32_t ArgCount = 0;
  std::int32_t ValueType = 0;  // for pushes
  TExprValue Value{};
};

struct WorkItem {
  std::int32_t ValueType = 0;
  TExprValue Value{};
};

// One compiled expression; callers keep a pointer to it as their handle.
struct CompiledExpr {
  std::string Text;  // the source text
  // Result descriptor (copied by the index layer).
  char ResultType = 'C';
  std::uint16_t ResultWidth = 0;
  std::uint8_t ResultDecimals = 0;
  void* Result = nullptr;  // numeric/date: double, logical: int32, C/M: text

  std::list<std::string> Constants;  // string constants; code items point into them
  std::vector<CodeItem> Code;        // the code list, ends with kOpEnd
  std::size_t CodeCursor = 0;
  std::vector<WorkItem> Work;  // work stack; grows to the deepest stack, kept between runs
  std::size_t WorkCursor = 0;  // top of the stack
  bool workEmpty = true;

  std::uint16_t PoolSize = 0;  // bytes of the working pool for character values
  std::vector<char> pool;
  char* PoolBase = nullptr;
  char* PoolNext = nullptr;

  // Where numeric, date and logical results are left.
  union {
    double number;
    std::int32_t logical;
  } resultStore{};
};

using ExprHandle = CompiledExpr*;

// Settings of the expression unit.
extern std::uint8_t DefaultDecimals;  // decimals of numeric results [2]
extern std::uint16_t MemoPoolSize;    // working pool of a memo expression [256]
extern bool BlankValuesAtEof;         // fields give blank values at end of file [off]

// Compiles the text; nil on failure after SetError (351 syntax/type, 217 memory).
CompiledExpr* AssignExpr(const std::string& text);
// Frees a compiled expression of this unit and sets the handle to nil; other handles stay.
void FreeExpr(CompiledExpr*& handle);
// The expression's source text.
void ExprText(CompiledExpr*& handle, std::string& text);
// Compile slot of the core's expression hooks.
CompiledExpr* CompileExprHook(std::string& text);
// True when the handle is one of the live compiled expressions.
bool IsCompiledExpr(const CompiledExpr* handle);

// Type letter of a type code (blank for an unknown code).
char ExprTypeLetter(std::int32_t typeCode);

// Reports a syntax or type error of the text being compiled (error 351).
void ExprSyntaxError(const std::string& reason);

// Fills the core's expression hooks and fast-evaluation slot, sets the parser-present flag,
// and gives the settings their defaults. Call once at start-up.
void InstallParserHooks();
// Settings to their defaults and every compiled expression freed (for tests).
void ResetExprUnit();
