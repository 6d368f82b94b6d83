// dBASE expressions: compiling, types and errors, and values of known expressions as the
// dBASE language documents them, evaluated against records of work areas.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "xbase/memo_ops.h"
#include "xbase/work_areas.h"
#include "xbase/xbase_dates.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_expr_compiler.h"
#include "xbase/xbase_expr_eval.h"

namespace {

struct TField {
  const char* name;
  char type;
  int length;
  int decimals;
};

// Table PEOPLE: NAME C10, BORN D8, PRICE N8.3, QTY N5, OK L1, YEAR N4, NOTES M10.
const std::vector<TField> kPeople = {
    {"NAME", 'C', 10, 0}, {"BORN", 'D', 8, 0}, {"PRICE", 'N', 8, 3}, {"QTY", 'N', 5, 0},
    {"OK", 'L', 1, 0},    {"YEAR", 'N', 4, 0}, {"NOTES", 'M', 10, 0}};

// Builds a table in an area the way the core keeps it: field table and a raw record.
WorkAreaRecord& MakeArea(int area, const std::string& tableName,
                         const std::vector<TField>& fields) {
  auto rec = std::make_unique<WorkAreaRecord>();
  rec->tableName = tableName;
  std::uint16_t offset = 1;
  for (const TField& f : fields) {
    FieldDescriptor fd{};
    std::strncpy(fd.name, f.name, sizeof fd.name - 1);
    fd.type = f.type;
    fd.length = static_cast<std::uint8_t>(f.length);
    fd.decimals = static_cast<std::uint8_t>(f.decimals);
    fd.offset = offset;
    offset = static_cast<std::uint16_t>(offset + f.length);
    rec->fields.push_back(fd);
  }
  rec->fieldCount = static_cast<std::uint8_t>(fields.size());
  rec->recordLength = offset;
  rec->recordBuffer.assign(offset, ' ');
  rec->recordCount = 1;
  rec->recordNumber = 1;
  rec->state = kAreaClean;
  WorkAreas[area] = std::move(rec);
  return *WorkAreas[area];
}

// Writes a field's stored text into the raw record.
void Put(WorkAreaRecord& rec, const char* field, const std::string& text) {
  for (const FieldDescriptor& fd : rec.fields) {
    if (std::string(fd.name) != field) continue;
    std::string padded = text;
    padded.resize(fd.length, ' ');
    std::memcpy(rec.recordBuffer.data() + fd.offset, padded.data(), fd.length);
    return;
  }
  FAIL() << "no field " << field;
}

class ExprTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitXbaseErrors();
    SetErrorHandling(false);
    for (auto& a : WorkAreas) a.reset();
    CurrentArea = 1;
    InstallParserHooks();
    ResetExprUnit();
    SetDateMode(0);
    CenturyOn = false;
    BaseYear = 1950;
    WorkAreaRecord& p = MakeArea(1, "PEOPLE.DBF", kPeople);
    Put(p, "NAME", "Smith");
    Put(p, "BORN", "19650412");
    Put(p, "PRICE", "   1.250");
    Put(p, "QTY", "    4");
    Put(p, "OK", "T");
    Put(p, "YEAR", "1999");
  }
  void TearDown() override {
    ResetExprUnit();
    for (auto& a : WorkAreas) a.reset();
  }
  WorkAreaRecord& People() { return *WorkAreas[1]; }

  CompiledExpr* Compile(const std::string& text) {
    CompiledExpr* e = AssignExpr(text);
    EXPECT_NE(e, nullptr) << text << ": " << XbaseErrorMessage;
    return e;
  }
  std::string Text(const std::string& text) {
    CompiledExpr* e = Compile(text);
    if (e == nullptr) return "<fail>";
    EXPECT_EQ(e->ResultType, 'C') << text;
    EvaluateExpr(e);
    return ExprString(e);
  }
  double Number(const std::string& text) {
    CompiledExpr* e = Compile(text);
    if (e == nullptr) return -999;
    EvaluateExpr(e);
    return ExprNumber(e);
  }
  bool Logical(const std::string& text) {
    CompiledExpr* e = Compile(text);
    if (e == nullptr) return false;
    EXPECT_EQ(e->ResultType, 'L') << text;
    EvaluateExpr(e);
    return ExprLogical(e);
  }
};

struct TTextCase {
  const char* expr;
  const char* expected;
  const char* source;
};

TEST_F(ExprTest, CharacterFunctionsGiveTheDbaseResults) {
  const TTextCase cases[] = {
      {"STR(123.456, 8, 2)", "  123.46", "dBASE STR: right-aligned, rounded to the decimals"},
      {"STR(3.14159, 6, 2)", "  3.14", "dBASE STR"},
      {"STR(42)", "        42", "dBASE STR default width 10, no decimals"},
      {"STR(2.5)", "         3", "dBASE STR rounds halves away from zero"},
      {"STR(-1.25, 6, 1)", "  -1.3", "dBASE STR rounds halves away from zero"},
      {"STR(123456, 3)", "***", "dBASE STR: too narrow gives asterisks"},
      {"UPPER('abc')+LOWER('DEF')", "ABCdef", "dBASE UPPER/LOWER"},
      {"SUBSTR('HELLO WORLD', 7, 5)", "WORLD", "dBASE SUBSTR"},
      {"SUBSTR('HELLO', 4, 10)", "LO", "dBASE SUBSTR past the end"},
      {"SUBSTR('HELLO', 9, 2)", "", "dBASE SUBSTR beyond the text"},
      {"LEFT('HELLO', 2)", "HE", "dBASE LEFT"},
      {"LEFT('HELLO', 0)", "", "dBASE LEFT of 0"},
      {"RIGHT('HELLO', 3)", "LLO", "dBASE RIGHT"},
      {"RIGHT('HI', 5)", "HI", "dBASE RIGHT longer than the text"},
      {"TRIM('AB  ')+'|'", "AB|", "dBASE TRIM"},
      {"RTRIM('AB  ')+'|'", "AB|", "dBASE RTRIM"},
      {"LTRIM('  AB')", "AB", "dBASE LTRIM"},
      {"'ABC ' - 'DEF'", "ABCDEF ", "dBASE string minus moves trailing blanks"},
      {"IIF(1 > 2, 'yes', 'no')", "no", "dBASE IIF"},
      {"REPLICATE('AB', 3)", "ABABAB", "dBASE REPLICATE"},
      {"SPACE(3) + 'X'", "   X", "dBASE SPACE"},
      {"STUFF('ABCDEF', 2, 3, 'xy')", "AxyEF", "dBASE STUFF"},
      {"CHR(65)", "A", "ASCII 65"},
      {"SOUNDEX('Robert')", "R163", "American Soundex"},
      {"SOUNDEX('Tymczak')", "T522", "American Soundex"},
      {"DTOS(CTOD('12/25/99'))", "19991225", "dBASE DTOS: YYYYMMDD"},
      {"DTOC(CTOD('01/02/2003'))", "01/02/03", "dBASE DTOC, American mode, no century"},
      {"CDOW(CTOD('01/01/2000'))", "Saturday ", "1 Jan 2000 was a Saturday"},
      {"CMONTH(CTOD('01/01/2000'))", "January  ", "month name"},
      {"DTOS(MIN(CTOD('03/01/2000'), CTOD('02/01/2000')))", "20000201", "MIN of dates"},
      {"DTOS(CTOD('12/31/1999') + 1)", "20000101", "date plus days"},
  };
  for (const TTextCase& c : cases)
    EXPECT_EQ(Text(c.expr), c.expected) << c.expr << " (" << c.source << ")";
}

struct TNumberCase {
  const char* expr;
  double expected;
  const char* source;
};

TEST_F(ExprTest, NumericOperatorsAndFunctions) {
  const TNumberCase cases[] = {
      {"1+2*3", 7, "* binds tighter than +"},
      {"10-4-3", 3, "left to right"},
      {"2^3^2", 64, "left to right"},
      {"-2^2", 4, "unary minus binds tightest"},
      {"5 ** 2", 25, "** is ^"},
      {"7/2", 3.5, "division"},
      {"(1+2)*3", 9, "parentheses"},
      {"INT(-2.5)", -2, "dBASE INT truncates"},
      {"ABS(-3)", 3, "ABS"},
      {"MOD(7, 3)", 1, "remainder"},
      {"ROUND(2.679, 2)", 2.68, "dBASE ROUND rounds"},
      {"ROUND(-2.679, 2)", -2.68, "dBASE ROUND rounds"},
      {"ROUND(2.5, 0)", 3, "dBASE ROUND: halves away from zero"},
      {"ROUND(1234, -2)", 1200, "dBASE ROUND to hundreds"},
      {"AT('LO', 'HELLO')", 4, "dBASE AT"},
      {"AT('', 'HELLO')", 0, "dBASE AT of an empty text"},
      {"LEN('HELLO')", 5, "LEN"},
      {"ASC('a')", 97, "ASCII of a"},
      {"VAL('  12.5  ')", 12.5, "VAL"},
      {"VAL('12abc')", 12, "dBASE VAL reads the leading number"},
      {"MAX(3, 5)", 5, "MAX"},
      {"CTOD('01/01/2000')", 2451545, "Julian day number of 1 Jan 2000"},
      {"CTOD('03/01/2000') - CTOD('02/01/2000')", 29, "February of a leap year"},
      {"DOW(CTOD('01/01/2000'))", 7, "Saturday is day 7"},
      {"YEAR(CTOD('01/01/1999'))", 1999, "dBASE YEAR gives four digits"},
      {"MONTH(CTOD('07/04/1999'))", 7, "MONTH"},
      {"DAY(CTOD('07/04/1999'))", 4, "DAY"},
      {"DOW(CTOD('01/01/1850'))", 3, "1 Jan 1850 was a Tuesday (outside the two-digit years)"},
      {"YEAR(CTOD('01/01/1850'))", 1850, "dBASE YEAR gives four digits"},
  };
  for (const TNumberCase& c : cases)
    EXPECT_NEAR(Number(c.expr), c.expected, 1e-9) << c.expr << " (" << c.source << ")";
}

TEST_F(ExprTest, LogicalOperatorsAndComparisons) {
  const struct {
    const char* expr;
    bool expected;
  } cases[] = {
      {"'AB' $ 'XABY'", true},
      {"'' $ 'X'", false},
      {"'abc' = 'ab'", true},
      {"'ab' = 'abc'", false},
      {"'abc' = ''", false},
      {"'abc' == 'ab'", false},
      {"'ab' == 'ab'", true},
      {"'a' < 'b'", true},
      {"'b' <= 'a'", false},
      {"3 # 4", true},
      {"3 <> 3", false},
      {"2 >= 2", true},
      {".NOT. .T. .OR. .T.", true},
      {".T. .AND. .F.", false},
      {"1 = 1 .AND. 2 > 1", true},
      {".T. = .T.", true},
      {".T. <> .F.", true},
      {"CTOD('12/31/1999') < CTOD('01/01/2000')", true},
  };
  for (const auto& c : cases) EXPECT_EQ(Logical(c.expr), c.expected) << c.expr;
}

TEST_F(ExprTest, FieldsOfTheCurrentRecord) {
  EXPECT_EQ(Text("UPPER(NAME)+DTOS(BORN)"), "SMITH     19650412");
  EXPECT_NEAR(Number("PRICE*QTY"), 5.0, 1e-12);
  EXPECT_TRUE(Logical("OK"));
  // A name that is both a field and a function: the function when "(" follows.
  EXPECT_NEAR(Number("YEAR"), 1999, 0);
  EXPECT_NEAR(Number("YEAR(BORN)"), 1965, 0);
  // Prefix comparison, exact comparison and inequality on one record.
  EXPECT_TRUE(Logical("NAME = 'Sm'"));
  EXPECT_FALSE(Logical("NAME == 'Sm'"));
  EXPECT_TRUE(Logical("NAME <> 'Sm'"));
  EXPECT_TRUE(Logical("name = 'Smith'"));  // field names are case-insensitive

  Put(People(), "OK", "y");
  EXPECT_TRUE(Logical("OK"));
  Put(People(), "OK", "F");
  EXPECT_FALSE(Logical("OK"));

  EXPECT_FALSE(Logical("DELETED()"));
  People().recordBuffer[0] = '*';
  EXPECT_TRUE(Logical("DELETED()"));

  People().recordNumber = 7;
  People().recordCount = 9;
  EXPECT_EQ(Number("RECNO()"), 7);

  // A blank date is Julian 0 and gives eight blanks back.
  Put(People(), "BORN", "");
  EXPECT_EQ(Number("BORN"), 0);
  EXPECT_EQ(Text("DTOS(BORN)"), "        ");

  // At end of file with blank values on, every field is blank.
  People().eof = true;
  BlankValuesAtEof = true;
  EXPECT_EQ(Text("NAME"), "          ");
  EXPECT_EQ(Number("QTY"), 0);
  BlankValuesAtEof = false;
  EXPECT_EQ(Text("NAME"), "Smith     ");
}

TEST_F(ExprTest, QualifiedFieldsReadTheirOwnArea) {
  WorkAreaRecord& other = MakeArea(2, "/data/parts.dbf", {{"NAME", 'C', 6, 0}});
  Put(other, "NAME", "Gear");
  EXPECT_EQ(Text("PARTS->NAME + '|' + NAME"), "Gear  |Smith     ");
  EXPECT_EQ(Text("parts->name"), "Gear  ");
  CompiledExpr* e = AssignExpr("NOSUCH->NAME");
  EXPECT_EQ(e, nullptr);
  EXPECT_EQ(XbaseErrorCode, 351);
  // Evaluated while another area is current, unqualified fields read that area.
  CompiledExpr* name = Compile("NAME");
  CurrentArea = 2;
  EvaluateExpr(name);
  EXPECT_STREQ(ExprString(name), "Gear  ");
  // A longer field there than the pool was made for: error 354 and an empty text, no overrun.
  WorkAreaRecord& wide = MakeArea(3, "WIDE", {{"NAME", 'C', 40, 0}});
  Put(wide, "NAME", std::string(40, 'W'));
  CurrentArea = 3;
  XbaseErrorCode = 0;
  EvaluateExpr(name);
  EXPECT_EQ(XbaseErrorCode, 354);
  EXPECT_EQ(XbaseErrorMessage, "Working pool overflow [PARSER/Allocate]");
  EXPECT_STREQ(ExprString(name), "");
}

TEST_F(ExprTest, ResultDescriptors) {
  const struct {
    const char* expr;
    char type;
    int width;
    int decimals;
  } cases[] = {
      {"NAME", 'C', 10, 0}, {"UPPER(NAME)", 'C', 10, 0}, {"'ABC'", 'C', 0, 0},
      {"PRICE", 'N', 8, 3}, {"PRICE*2", 'N', 13, 2},     {"1+1", 'N', 13, 2},
      {"BORN", 'D', 8, 0},  {"OK", 'L', 1, 0},           {"DTOS(BORN)", 'C', 8, 0},
  };
  for (const auto& c : cases) {
    CompiledExpr* e = Compile(c.expr);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->ResultType, c.type) << c.expr;
    EXPECT_EQ(e->ResultWidth, c.width) << c.expr;
    EXPECT_EQ(e->ResultDecimals, c.decimals) << c.expr;
  }
  EXPECT_EQ(Compile("'ABC'")->PoolSize, 4);
}

TEST_F(ExprTest, CodeListIsPostfix) {
  CompiledExpr* e = Compile("1+2*3");
  ASSERT_NE(e, nullptr);
  std::vector<int> ops;
  for (const CodeItem& c : e->Code) ops.push_back(c.Op);
  EXPECT_EQ(ops, (std::vector<int>{0, 0, 0, 355, 347, -1}));
  // A=B>C compares B>C first: the > comes before the =.
  e = AssignExpr("1 = 2 > 3");
  EXPECT_EQ(e, nullptr);  // N = L is a type error, which shows the grouping
  EXPECT_NE(XbaseErrorMessage.find("\"=\""), std::string::npos);
}

TEST_F(ExprTest, SyntaxAndTypeErrors) {
  const struct {
    const char* expr;
    const char* reason;
  } cases[] = {
      {"1 + 'A'", "PARSER:Type mismatch in expression \"+\""},
      {"IIF(.T., 1, 2)", "PARSER:Type mismatch in function \"IIF\""},
      {"-'A'", "PARSER:Type mismatch in expression \"Unary -\""},
      {".NOT. 1", "PARSER:Type mismatch in expression \".NOT.\""},
      {"MAX(1, CTOD('01/01/00'))", "PARSER:Type mismatch in function \"MAX\""},
      {"NOTES + 'x'", "PARSER:Type mismatch in expression \"+\""},
      {"SUBSTR('A', 1)", "Syntax error"},
      {"PRICE>1.AND.QTY<2", "Syntax error"},
      {"'abc", "Syntax error"},
      {".5", "Syntax error"},
      {"NOSUCH", "Syntax error"},
      {"1 +", "Syntax error"},
      {"A.AND.B", "Syntax error"},
      {"---------------------------------------------------------------------------------------"
       "---------------------------------------------------------------------------------------1",
       "Parser_stack_overflow"},
  };
  for (const auto& c : cases) {
    XbaseErrorCode = 0;
    EXPECT_EQ(AssignExpr(c.expr), nullptr) << c.expr;
    EXPECT_EQ(XbaseErrorCode, 351) << c.expr;
    EXPECT_EQ(XbaseErrorMessage.rfind(std::string("Error in expression : ") + c.reason + "\r\n", 0),
              0u)
        << c.expr << ": " << XbaseErrorMessage;
  }
  EXPECT_NE(AssignExpr("PRICE>1 .AND. QTY<2"), nullptr);
  AssignExpr("SUBSTR('A', 1)");
  EXPECT_EQ(XbaseErrorMessage,
            "Error in expression : Syntax error\r\n[SUBSTR('A', 1)]\r\n [AssignExpr]");
  // A failed compilation leaves no expression behind; the next one clears the parser's code.
  EXPECT_NE(AssignExpr("1"), nullptr);
  EXPECT_EQ(XbaseErrorCode, 0);
}

TEST_F(ExprTest, DivisionByZeroReportsAndGoesOn) {
  CompiledExpr* e = Compile("10/0 + 1");
  EvaluateExpr(e);
  EXPECT_EQ(XbaseErrorCode, 358);
  EXPECT_EQ(XbaseErrorMessage, "Error during evaluation: Divide by 0 [Evaluate/Engine]");
  EXPECT_DOUBLE_EQ(ExprNumber(e), 1E250 + 1);
}

TEST_F(ExprTest, HooksAndHandles) {
  InstallParserHooks();
  ASSERT_NE(ExprHooks.compile, nullptr);
  ASSERT_TRUE(ParserPresent);
  std::string text = "QTY > 3";
  CompiledExpr* e = ExprHooks.compile(text);
  ASSERT_NE(e, nullptr);
  auto* result = static_cast<unsigned char*>(ExprHooks.evaluate(e));
  EXPECT_EQ(result[0], 1);  // the first byte is the boolean
  std::string back;
  ExprHooks.text(e, back);
  EXPECT_EQ(back, text);
  // The fast path runs the expression made current last; a second run allocates nothing new.
  CompiledExpr* key = Compile("UPPER(NAME)");
  EvaluateExpr(key);
  std::size_t depth = key->Work.size();
  EXPECT_STREQ(static_cast<const char*>(FastEvaluate()), "SMITH     ");
  EXPECT_EQ(key->Work.size(), depth);

  CompiledExpr foreign;
  CompiledExpr* f = &foreign;
  ExprHooks.free(f);
  EXPECT_EQ(f, &foreign);  // not ours: left as it is
  ExprHooks.free(e);
  EXPECT_EQ(e, nullptr);
  EXPECT_EQ(EvaluateExpr(e), nullptr);
}

TEST_F(ExprTest, LongTextsStayWithinTheirLimit) {
  EXPECT_EQ(Text("REPLICATE('AB', 200)").size(), 255u);
  EXPECT_EQ(Text("SPACE(300) + 'X'").size(), 255u);
  EXPECT_EQ(Number("LEN(STR(1, 100000))"), 255);
  std::string tooLong(300, '1');
  EXPECT_EQ(AssignExpr(tooLong), nullptr);
  EXPECT_EQ(XbaseErrorCode, 351);
}

}  // namespace

namespace {

// A table made and filled through the table API, filtered and read through expressions.
class ExprTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitXbaseCore();
    InstallParserHooks();
    SetErrorHandling(false);
    SetDateMode(0);
    CenturyOn = false;
    std::string pattern = (std::filesystem::temp_directory_path() / "vuko-expr-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    CloseAll();
    ResetExprUnit();
    std::filesystem::remove_all(dir_);
  }
  std::string dir_;
};

TEST_F(ExprTableTest, FilterAndKeysOverRecordsOfATable) {
  const std::vector<TFieldSpec> fields = {
      {"NAME", 'C', 12, 0}, {"BORN", 'D', 8, 0}, {"PRICE", 'N', 8, 2}, {"QTY", 'N', 4, 0}};
  ASSERT_TRUE(CreateDbf(dir_ + "/stock.dbf", fields)) << XbaseErrorMessage;
  const struct {
    const char* name;
    const char* born;  // date text of mode 0
    double price;
    double qty;
  } rows[] = {{"bolt", "04/12/65", 0.25, 400},
              {"Nut", "12/31/99", 0.1, 1000},
              {"Washer", "", 0.05, 2},
              {"Gear", "01/01/00", 120.5, 3}};
  for (const auto& r : rows) {
    ClearRecord();
    SetFieldText(1, r.name);
    SetFieldText(2, r.born);
    SetFieldNumber(3, r.price);
    SetFieldNumber(4, r.qty);
    Append();
    ASSERT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
  }
  ASSERT_EQ(RecCount(), 4);

  CompiledExpr* key = AssignExpr("UPPER(NAME)+DTOS(BORN)");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->ResultWidth, 0);  // DTOS adds pool bytes: no single-field width
  std::vector<std::string> keys;
  for (GoTop(); !dEOF(); Skip(1)) {
    EvaluateExpr(key);
    keys.push_back(ExprString(key));
  }
  EXPECT_EQ(keys, (std::vector<std::string>{"BOLT        19650412", "NUT         19991231",
                                            "WASHER              ", "GEAR        20000101"}));

  // The core filters through the expression hooks: only the records worth more than 20.
  WorkAreaRecord* area = CurrentWorkArea();
  area->filterExpr = AssignExpr("PRICE * QTY > 20 .AND. .NOT. DELETED()");
  ASSERT_NE(area->filterExpr, nullptr);
  std::vector<std::int32_t> visible;
  for (GoTop(); !dEOF(); Skip(1)) visible.push_back(RecNo());
  EXPECT_EQ(visible, (std::vector<std::int32_t>{1, 2, 4}));  // 100, 100, 361.5; not 0.1
}

}  // namespace

namespace {

TEST_F(ExprTableTest, MemoFieldsReadTheirTextThroughTheMemoUnit) {
  InitXbaseMemo();
  const std::vector<TFieldSpec> fields = {{"NAME", 'C', 10, 0}, {"NOTES", 'M', 10, 0}};
  ASSERT_TRUE(CreateDbf(dir_ + "/notes.dbf", fields, 0x83)) << XbaseErrorMessage;
  if (CurrentMemo() == nullptr) CreateAndOpenMemofile(dir_ + "/notes.dbf");
  ASSERT_NE(CurrentMemo(), nullptr) << XbaseErrorMessage;
  const std::int32_t shortMemo = AddMemo("first line\r\nsecond");
  const std::int32_t longMemo = AddMemo(std::string(300, 'x'));
  for (std::int32_t block : {shortMemo, longMemo, 0}) {
    ClearRecord();
    SetFieldText(1, "n");
    SetFieldMemo(2, block);
    Append();
    ASSERT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
  }
  CompiledExpr* notes = AssignExpr("NOTES");
  ASSERT_NE(notes, nullptr);
  EXPECT_EQ(notes->ResultType, 'M');
  EXPECT_EQ(notes->ResultWidth, MemoPoolSize);
  Go(1);
  EvaluateExpr(notes);
  EXPECT_STREQ(ExprString(notes), "first linesecond");  // lines joined without separators
  Go(2);
  EvaluateExpr(notes);
  EXPECT_EQ(std::string(ExprString(notes)), std::string(MemoPoolSize - 1, 'x'));  // cut to the pool
  Go(3);
  EvaluateExpr(notes);
  EXPECT_STREQ(ExprString(notes), "");
}

}  // namespace
