// Table file layer against the dBASE III+ layout: header, field descriptors, record bytes and
// end-of-file byte of tables we write; the conversions between stored text and the typed field
// buffer; the header of a dBASE II table; new memo files.
#include "xbase/dbf_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <ctime>

#include "core_test_support.h"
#include "xbase/locking.h"
#include "xbase/xbase_dates.h"
#include "xbase/xbase_utils.h"

namespace {

using namespace core_test;

void Today(int& y, int& m, int& d) {
  const std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  y = t.tm_year + 1900;
  m = t.tm_mon + 1;
  d = t.tm_mday;
}

class DbfFileTest : public CoreFixture {};

TEST_F(DbfFileTest, NewTableWithTwoRecordsHasTheDbaseIIIPlusLayout) {
  CenturyOn = true;
  SetDateMode(2);
  MakeSample("sample.dbf");
  const char* names[2] = {"Alpha", "Bravo"};
  for (int i = 0; i < 2; ++i) {
    ClearRecord();
    SetFieldText(1, names[i]);
    SetFieldNumber(2, 7 * (i + 1));
    SetFieldNumber(3, 12.5 + i);
    SetFieldLogical(4, i == 0);
    SetFieldText(5, i == 0 ? "24/12/2025" : "");
    SetRecordDeleted(i == 1);
    Append();
    ASSERT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
  }
  CloseArea();
  const std::string b = ReadBytes(Path("sample.dbf"));
  int y, m, d;
  Today(y, m, d);
  // Header: version, date of the last update, count, header and record length.
  EXPECT_EQ(Byte(b, 0), 0x03u);
  EXPECT_EQ(Byte(b, 1), unsigned(y - 1900));  // 126 in the year 2026
  EXPECT_EQ(Byte(b, 2), unsigned(m));
  EXPECT_EQ(Byte(b, 3), unsigned(d));
  EXPECT_EQ(Le32(b, 4), 2u);
  EXPECT_EQ(Le16(b, 8), 32u + 5 * 32 + 1);
  EXPECT_EQ(Le16(b, 10), 1u + 10 + 5 + 8 + 1 + 8);
  // Field descriptors: name zero-padded to 11, type, length at 16, decimals at 17.
  struct Desc {
    const char* name;
    char type;
    unsigned length, decimals;
  } desc[] = {{"NAME", 'C', 10, 0},
              {"QTY", 'N', 5, 0},
              {"PRICE", 'N', 8, 2},
              {"DONE", 'L', 1, 0},
              {"BORN", 'D', 8, 0}};
  for (int i = 0; i < 5; ++i) {
    const std::size_t at = 32 + 32 * i;
    std::string name(desc[i].name);
    name.resize(11, '\0');
    EXPECT_EQ(b.substr(at, 11), name);
    EXPECT_EQ(b[at + 11], desc[i].type);
    EXPECT_EQ(Byte(b, at + 16), desc[i].length);
    EXPECT_EQ(Byte(b, at + 17), desc[i].decimals);
  }
  EXPECT_EQ(Byte(b, 192), 0x0Du);
  // Records as text, deletion flag first; then one end-of-file byte.
  EXPECT_EQ(b.substr(193, 33), " Alpha         7   12.50T20251224");
  EXPECT_EQ(b.substr(226, 33), "*Bravo        14   13.50F        ");
  EXPECT_EQ(b.size(), 260u);
  EXPECT_EQ(Byte(b, 259), 0x1Au);
}

TEST_F(DbfFileTest, ClosingATableThatWasOnlyReadWritesNothing) {
  MakeSample("read.dbf");
  AppendNamed({"one", "two"});
  CloseArea();
  // An old date in the header shows whether anything rewrote it.
  std::string before = ReadBytes(Path("read.dbf"));
  before[1] = 80;
  WriteBytes(Path("read.dbf"), before);
  ASSERT_TRUE(UseDbf(Path("read.dbf"), false));
  Go(2);
  Skip(-1);
  EXPECT_EQ(FieldAsText(1), "one       ");
  CloseArea();
  EXPECT_EQ(ReadBytes(Path("read.dbf")), before);
}

TEST_F(DbfFileTest, HeaderWriteKeepsWhatAnotherProgramStoredInBytes16To27) {
  MakeSample("shared.dbf", false);
  ASSERT_TRUE(ALock());
  AppendNamed({"a"});
  const int fd = ::open(Path("shared.dbf").c_str(), O_RDWR);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::pwrite(fd, "OTHERPROGRAM", 12, 16), 12);
  ::close(fd);
  AppendNamed({"b"});
  CloseArea();
  const std::string b = ReadBytes(Path("shared.dbf"));
  EXPECT_EQ(b.substr(16, 12), "OTHERPROGRAM");
  EXPECT_EQ(Le32(b, 4), 2u);
}

// A bare work area with one field of each kind for the conversion tests.
struct ConversionArea {
  WorkAreaRecord area;
  std::vector<unsigned char> typed;
  explicit ConversionArea(std::vector<FieldDescriptor> fields) {
    std::uint16_t offset = 1;
    for (FieldDescriptor& f : fields) {
      f.offset = offset;
      offset = static_cast<std::uint16_t>(offset + f.length);
    }
    area.fields = fields;
    area.fieldCount = static_cast<std::uint8_t>(fields.size());
    area.recordLength = offset;
    area.recordBuffer.assign(offset, ' ');
    typed.assign(TypedBufferSize(fields), 0);
  }
  std::string Raw() const {
    return std::string(area.recordBuffer.begin(), area.recordBuffer.end());
  }
};

FieldDescriptor Field(char type, int length, int decimals = 0) {
  FieldDescriptor f{};
  std::strcpy(f.name, "F");
  f.type = type;
  f.length = static_cast<std::uint8_t>(length);
  f.decimals = static_cast<std::uint8_t>(decimals);
  return f;
}

TEST_F(DbfFileTest, NumbersLogicalsAndMemoBlocksAsStoredText) {
  struct Case {
    const char* name;
    FieldDescriptor field;
    double value;
    const char* stored;
  } cases[] = {
      {"does not fit 5.2", Field('N', 5, 2), 1234.5, "*****"},
      {"negative 5.2", Field('N', 5, 2), -1.5, "-1.50"},
      {"integer", Field('N', 5), 42, "   42"},
      {"integer too wide", Field('N', 3), 1234, "***"},
      {"float type", Field('F', 10, 3), 3.14159, "     3.142"},
      {"no memo: blanks, as dBASE writes it", Field('M', 10), 0, "          "},
      {"memo block", Field('M', 10), 123, "       123"},
      {"logical true", Field('L', 1), 1, "T"},
      {"logical false", Field('L', 1), 0, "F"},
      {"20 digits", Field('N', 20), -4e18, "-4000000000000000000"},
      {"beyond 64 bits into 20 digits", Field('N', 20), 1e30, "********************"},
      {"NaN into 20 digits", Field('N', 20), std::nan(""), "********************"},
      {"NaN into 5", Field('N', 5), std::nan(""), "*****"},
  };
  for (const Case& c : cases) {
    ConversionArea t({c.field});
    unsigned char* slot = t.typed.data() + 1;
    if (c.field.type == 'L') {
      slot[0] = c.value != 0;
    } else if (c.field.decimals > 0) {
      std::memcpy(slot, &c.value, 8);
    } else {
      PutSlotInteger(c.field, slot, SlotIntegerOf(c.value));
    }
    FieldsToRecord(t.area, t.typed.data());
    EXPECT_EQ(t.Raw(), std::string(" ") + c.stored) << c.name;
  }
}

// A number field holding no number reads as 0, is named, and keeps its bytes when written back.
TEST_F(DbfFileTest, NumberTextsThatAreNoNumberReadAsZeroAndAreNamed) {
  const struct {
    std::string stored;
    int decimals;
    double value;  // NaN: no number
  } cases[] = {{"    -42", 0, -42}, {"  12.50", 2, 12.5}, {"   12ab", 0, NAN},
               {" 12ab.5", 2, NAN}, {"  1.2.3", 0, NAN},  {"*******", 2, NAN},
               {"    inf", 2, NAN}, {"    nan", 0, NAN},  {"   -inf", 0, NAN}};
  for (const auto& c : cases) {
    ConversionArea t({Field('N', int(c.stored.size()), c.decimals)});
    std::memcpy(t.area.recordBuffer.data() + 1, c.stored.data(), c.stored.size());
    t.area.unreadableField = "G holds \"x\"";  // what an earlier record left behind
    RecordToFields(t.area, t.typed.data());
    double value = double(GetSlotInteger(t.area.fields[0], t.typed.data() + 1));
    if (c.decimals > 0) std::memcpy(&value, t.typed.data() + 1, 8);
    const bool readable = !std::isnan(c.value);
    EXPECT_EQ(value, readable ? c.value : 0) << c.stored;
    EXPECT_EQ(t.area.unreadableField, readable ? "" : "F holds \"" + AllTrim(c.stored) + "\"");
    FieldsToRecord(t.area, t.typed.data());
    EXPECT_EQ(t.Raw().substr(1), c.stored);
  }
}

TEST_F(DbfFileTest, StoredTextIntoTheTypedBuffer) {
  ConversionArea t({Field('N', 8, 2), Field('N', 5), Field('L', 1), Field('M', 10), Field('C', 4)});
  const std::string raw = "*  -12.50  +17y      4711abcd";  // a sign some writers store
  std::memcpy(t.area.recordBuffer.data(), raw.data(), raw.size());
  RecordToFields(t.area, t.typed.data());
  const unsigned char* p = t.typed.data();
  double price;
  std::int32_t qty, block;
  std::memcpy(&price, p + 1, 8);
  std::memcpy(&qty, p + 9, 4);
  std::memcpy(&block, p + 14, 4);
  EXPECT_EQ(p[0], 1);
  EXPECT_DOUBLE_EQ(price, -12.5);
  EXPECT_EQ(qty, 17);
  EXPECT_EQ(p[13], 1);
  EXPECT_EQ(block, 4711);
  EXPECT_EQ(p[18], 4);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(p + 19), 4), "abcd");
  EXPECT_EQ(t.area.unreadableField, "");
  // Only a blank flags a live record and "*" a deleted one; any other byte reads as deleted
  // (other readers skip such records), is reported, and stays in the file while deleted.
  for (const char flag : {' ', '*', 'X', '\0', 'D'}) {
    const bool strange = flag != ' ' && flag != '*';
    t.area.recordBuffer[0] = static_cast<unsigned char>(flag);
    RecordToFields(t.area, t.typed.data());
    EXPECT_EQ(t.typed[0], flag != ' ') << int(flag);
    EXPECT_EQ(t.area.unreadableCode, strange ? 13 : 0) << int(flag);
    FieldsToRecord(t.area, t.typed.data());
    EXPECT_EQ(t.area.recordBuffer[0], static_cast<unsigned char>(flag));
    t.typed[0] = 0;  // recalled
    FieldsToRecord(t.area, t.typed.data());
    EXPECT_EQ(t.area.recordBuffer[0], ' ');
  }
}

TEST_F(DbfFileTest, DateSlotsInEveryModeAndTheirBlankTemplates) {
  BaseYear = 1956;
  struct Case {
    int mode;
    bool century;
    const char* slot;
    const char* stored;
  } cases[] = {
      {0, false, "12/24/25", "20251224"},  {0, true, "12/24/1999", "19991224"},
      {1, true, "2025.12.24", "20251224"}, {1, false, "25.12.24", "20251224"},
      {2, false, "24/12/56", "19561224"},  {3, false, "24-12-55", "20551224"},
      {5, true, "24.12.2025", "20251224"}, {2, false, "1/2/99", "19990201"},
      {2, false, "31/4/99", "        "},   {2, false, "  /  /  ", "        "},
      {3, false, "  -  -  ", "        "},  {5, false, "  .  .  ", "        "},
      {2, false, "", "        "},          {2, false, "        ", "        "},
  };
  for (const Case& c : cases) {
    CenturyOn = c.century;
    SetDateMode(c.mode);
    ConversionArea t({Field('D', 8)});
    t.typed[1] = static_cast<unsigned char>(std::strlen(c.slot));
    std::memcpy(t.typed.data() + 2, c.slot, std::strlen(c.slot));
    FieldsToRecord(t.area, t.typed.data());
    EXPECT_EQ(t.Raw(), std::string(" ") + c.stored) << c.mode << " " << c.slot;
  }
  // Back from the stored form into the slot text of the mode.
  struct Back {
    int mode;
    bool century;
    const char* text;
  } back[] = {{0, false, "12/24/25"},
              {1, true, "2025.12.24"},
              {3, false, "24-12-25"},
              {5, false, "24.12.25"},
              {2, true, "24/12/2025"}};
  for (const Back& c : back) {
    CenturyOn = c.century;
    SetDateMode(c.mode);
    ConversionArea t({Field('D', 8)});
    std::memcpy(t.area.recordBuffer.data() + 1, "20251224", 8);
    RecordToFields(t.area, t.typed.data());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(t.typed.data() + 2), t.typed[1]), c.text);
  }
  // Two dates that are none, stored or typed: read as blank (as a stored blank reads), the
  // first one named, and a rewrite keeps their bytes; typed ones are refused naming the first.
  SetDateMode(2);
  ConversionArea t({Field('D', 8), Field('D', 8)});
  std::strcpy(t.area.fields[0].name, "A");
  std::strcpy(t.area.fields[1].name, "B");
  RecordToFields(t.area, t.typed.data());
  const std::vector<unsigned char> blank = t.typed;
  for (const char* stored :
       {"2020AB9920201399", "2021022919990431", "20:0123120201232", "00000000        "}) {
    std::memcpy(t.area.recordBuffer.data() + 1, stored, 16);
    RecordToFields(t.area, t.typed.data());
    EXPECT_TRUE(t.typed == blank) << stored;
    EXPECT_EQ(t.area.unreadableField,
              stored[0] == '0' ? "" : "A holds \"" + std::string(stored, 8) + "\"");
    EXPECT_EQ(t.area.unreadableCode, stored[0] == '0' ? 0 : 13) << stored;
    FieldsToRecord(t.area, t.typed.data());
    EXPECT_EQ(t.Raw().substr(1), stored);
  }
  for (int f : {0, 1}) std::memcpy(t.typed.data() + 1 + 11 * f, "\b31/04/99", 9);
  FieldsToRecord(t.area, t.typed.data());
  EXPECT_EQ(t.area.unfitField, "A");
  CenturyOn = false;
  SetDateMode(0);
}

TEST_F(DbfFileTest, OemTablesHoldTheDosCodePage) {
  MakeSample("oem.dbf");
  CurrentWorkArea()->oem = true;
  ClearRecord();
  SetFieldText(1, "M\xFCller");  // u umlaut in the Windows code page
  Append();
  CloseArea();
  const std::string b = ReadBytes(Path("oem.dbf"));
  EXPECT_EQ(b.substr(194, 6), "M\x81ller");  // u umlaut in code page 850
  ASSERT_TRUE(UseDbf(Path("oem.dbf"), true));
  CurrentWorkArea()->oem = true;
  Go(1);
  EXPECT_EQ(FieldAsText(1), "M\xFCller    ");
  // A character the DOS code page lacks (the euro sign) is stored as "?", but the record in
  // memory keeps what the caller put there.
  SetFieldText(1, "\x80 5");
  Append();
  EXPECT_EQ(FieldAsText(1), "\x80 5       ");
  EXPECT_EQ(ReadBytes(Path("oem.dbf")).substr(194 + 33, 3), "? 5");
}

TEST_F(DbfFileTest, DbaseIIHeaderIsWrittenAsEightBytes) {
  // dBASE II: version 2, count (16 bits), month, day, year, record length; 16-byte field
  // descriptors from byte 8, ended by 0x0D; records behind the 521-byte header.
  std::string file(521, '\0');
  file[0] = 0x02;
  file[1] = 1;
  file[3] = 1;
  file[4] = 1;
  file[5] = 80;
  file[6] = 6;
  std::memcpy(&file[8], "NAME", 4);
  file[19] = 'C';
  file[20] = 5;
  file[24] = 0x0D;
  file += " abcde";
  WriteBytes(Path("two.dbf"), file);
  ASSERT_TRUE(UseDbf(Path("two.dbf"), true)) << XbaseErrorMessage;
  EXPECT_EQ(RecCount(), 1);
  EXPECT_EQ(FieldAsText(1), "abcde");
  SetFieldText(1, "xyz");
  Append();
  CloseArea();
  const std::string b = ReadBytes(Path("two.dbf"));
  int y, m, d;
  Today(y, m, d);
  EXPECT_EQ(Le16(b, 1), 2u);
  EXPECT_EQ(Byte(b, 3), unsigned(m));
  EXPECT_EQ(Byte(b, 4), unsigned(d));
  EXPECT_EQ(Byte(b, 5), unsigned((y - 1900) % 256));
  EXPECT_EQ(b.substr(6, 26), file.substr(6, 26));  // nothing beyond byte 7 rewritten
  EXPECT_EQ(b.substr(521), " abcde xyz  \x1A");
}

// A dBASE II header counts records in 16 bits: the 65536th append is refused with 212.
TEST_F(DbfFileTest, DbaseIITablesStopAt65535Records) {
  for (const int records : {65534, 65535}) {
    std::string file(521, '\0');  // count, record length 2, field C of type C length 1, end
    const std::pair<int, int> bytes[] = {
        {0, 2},   {1, records & 0xFF}, {2, records >> 8}, {6, 2},
        {8, 'C'}, {19, 'C'},           {20, 1},           {24, 0x0D}};
    for (const auto& [at, byte] : bytes) file[at] = char(byte);
    for (int r = 0; r < records; ++r) file += " a";
    WriteBytes(Path("full.dbf"), file);
    const bool shared = records == 65535;  // the count then comes from the file's size
    ASSERT_TRUE(UseDbf(Path("full.dbf"), !shared)) << XbaseErrorMessage;
    if (shared) ASSERT_TRUE(ALock());
    SetFieldText(1, "z");
    Append();
    EXPECT_EQ(XbaseErrorCode, shared ? 212 : 0) << XbaseErrorMessage;
    EXPECT_EQ(RecCount(), 65535);
    CloseArea();
    const std::string b = ReadBytes(Path("full.dbf"));
    EXPECT_TRUE(shared ? b == file : Le16(b, 1) == 65535u && b.substr(file.size()) == " z\x1A");
  }
}

TEST_F(DbfFileTest, NewMemoFilesOfTheThreeLayouts) {
  MakeMemoFile(Path("three"), 0x83, 512, "test");
  const std::string iii = ReadBytes(Path("three.DBT"));
  ASSERT_EQ(iii.size(), 513u);
  EXPECT_EQ(Le32(iii, 0), 1u);
  EXPECT_EQ(iii.substr(4, 508), std::string(508, '\0'));
  EXPECT_EQ(Byte(iii, 512), 0x1Au);

  MakeMemoFile(Path("fox"), 0xF5, 64, "test");
  const std::string fox = ReadBytes(Path("fox.FPT"));
  ASSERT_EQ(fox.size(), 512u);
  EXPECT_EQ(fox.substr(0, 8), std::string("\0\0\0\x08\0\0\0\x40", 8));  // next free 8, block 64

  // dBASE IV: a whole 512-byte header block, as readers of the format expect.
  MakeMemoFile(Path("fourfile.txt"), 0x30, 512, "test");  // invalid version: dBASE IV layout
  const std::string iv = ReadBytes(Path("fourfile.txt"));
  ASSERT_EQ(iv.size(), 512u);
  EXPECT_EQ(Le32(iv, 0), 1u);
  EXPECT_EQ(iv.substr(8, 8), "fourfile");
  EXPECT_EQ(Byte(iv, 18), 2u);
  EXPECT_EQ(Byte(iv, 19), 1u);
  EXPECT_EQ(Le16(iv, 20), 512u);
  EXPECT_EQ(MemoFileExt(0xF5), "FPT");
  EXPECT_EQ(MemoFileExt(0x8B), "DBT");
  // Beside a table the memo file's name takes the case of the table's.
  ASSERT_TRUE(CreateDbf(Path("case.dbf"), {{"NOTES", 'M', 10, 0}}));
  EXPECT_TRUE(std::filesystem::exists(Path("case.dbt")));
  EXPECT_FALSE(std::filesystem::exists(Path("case.DBT")));
}

// A field name given twice is refused: other readers would keep only one of them.
TEST_F(DbfFileTest, DuplicateFieldNamesAreRefused) {
  EXPECT_FALSE(CreateDbf(Path("two.dbf"), {{"NAME", 'C', 10, 0}, {"name", 'N', 5, 0}}));
  EXPECT_EQ(XbaseErrorCode, 211);
  EXPECT_FALSE(std::filesystem::exists(Path("two.dbf")));
}

TEST_F(DbfFileTest, ATruncatedTableOpensWithTheRecordsItHolds) {
  MakeSample("short.dbf");
  AppendNamed({"a", "b", "c"});
  CloseArea();
  std::string b = ReadBytes(Path("short.dbf"));
  b.resize(193 + 2 * 33 + 10);  // header still says 3
  WriteBytes(Path("short.dbf"), b);
  ASSERT_TRUE(UseDbf(Path("short.dbf"), true));
  EXPECT_EQ(RecCount(), 2);
  // The loss stands over moves to the top until its message is fetched.
  GoTop();
  EXPECT_EQ(XbaseErrorCode, 213);
  XbaseErrorCode = 0;
  GoTop();
  EXPECT_EQ(XbaseErrorCode, 213);
  EXPECT_NE(LastErrorMessage().find("Header counts 3 records"), std::string::npos);
  GoTop();
  EXPECT_EQ(XbaseErrorCode, 0);
  GetDbfRecord(*CurrentWorkArea(), 3);
  EXPECT_EQ(XbaseErrorCode, 212);
  CloseArea();
  // A dBASE II header counting 300 records (16 bits) over a file of 290.
  std::string two(521, '\0');
  const std::pair<int, int> bytes[] = {{0, 2},   {1, 300 & 0xFF}, {2, 300 >> 8}, {6, 2},
                                       {8, 'C'}, {19, 'C'},       {20, 1},       {24, 0x0D}};
  for (const auto& [at, byte] : bytes) two[at] = char(byte);
  for (int r = 0; r < 290; ++r) two += " a";
  WriteBytes(Path("two.dbf"), two);
  EXPECT_TRUE(UseDbf(Path("two.dbf"), true));
  EXPECT_EQ(XbaseErrorCode, 213) << XbaseErrorMessage;
  EXPECT_EQ(RecCount(), 290);
}

TEST_F(DbfFileTest, AFailedAppendLeavesTheCountAlone) {
  MakeSample("ro.dbf");
  AppendNamed({"a"});
  CloseArea();
  ASSERT_TRUE(UseDbf(Path("ro.dbf"), true, true));
  AppendDbfRecord(*CurrentWorkArea());
  EXPECT_NE(XbaseErrorCode, 0);
  EXPECT_EQ(CurrentWorkArea()->recordCount, 1);
  CloseArea();
  EXPECT_EQ(Le32(ReadBytes(Path("ro.dbf")), 4), 1u);
}

// What a caller reads and writes back unchanged keeps its stored bytes: a date of another
// century with the century not shown, whole numbers of up to 19 digits, numbers laid out by
// another program. Changed values are written in full.
TEST_F(DbfFileTest, RewritesKeepDatesAndWholeNumbersAsStored) {
  CenturyOn = false;
  SetDateMode(0);
  ConversionArea t({Field('D', 8), Field('N', 15), Field('N', 19), Field('N', 8, 2), Field('M', 10),
                    Field('N', 5)});
  const std::string raw = std::string(" 18900501") + "-98765432109876" + "9223372036854775807" +
                          "1.5     " + "7         " + "42   ";
  ASSERT_EQ(raw.size(), t.area.recordLength);
  std::memcpy(t.area.recordBuffer.data(), raw.data(), raw.size());
  RecordToFields(t.area, t.typed.data());
  const unsigned char* p = t.typed.data() + 1;
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(p + 1), p[0]), "05/01/90");
  std::int64_t wide = 0;
  std::memcpy(&wide, p + 11, 8);
  EXPECT_EQ(wide, -98765432109876);
  std::memcpy(&wide, p + 19, 8);
  EXPECT_EQ(wide, 9223372036854775807);
  FieldsToRecord(t.area, t.typed.data());
  EXPECT_EQ(t.Raw(), raw);
  // New values: a 15-digit number in full, a two-digit year through the window.
  wide = 123456789012345;
  std::memcpy(t.typed.data() + 12, &wide, 8);
  std::memcpy(t.typed.data() + 2, "05/01/91", 8);
  FieldsToRecord(t.area, t.typed.data());
  EXPECT_EQ(t.Raw().substr(1, 23),
            std::to_string(CenturyOf("91") / 100) + "910501" + "123456789012345");
  CenturyOn = true;
}

// Damaged tables are refused with the header error, and reading them writes nothing.
TEST_F(DbfFileTest, DamagedHeadersAreRefusedAndLeftAlone) {
  MakeSample("good.dbf");
  AppendNamed({"a", "b"});
  CloseArea();
  const std::string good = ReadBytes(Path("good.dbf"));
  std::string garbage(700, '\0');
  for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = char((i * 7919 + 13) % 251);
  garbage[0] = 0x03;
  struct Case {
    const char* what;
    std::string bytes;
    bool opens;
  } cases[] = {
      {"cut inside the header", good.substr(0, 20), false},
      {"cut inside the fields", good.substr(0, 100), false},
      {"garbage behind a valid version byte", garbage, false},
      {"field of length 0", good, false},
      {"more decimals than digits", good, false},
      {"header length beyond the file", good, false},
      {"more records claimed than held", good, true},
      // Header, end mark, one byte per record: the flags alone.
      {"no fields",
       good.substr(0, 8) + std::string("\x21\x00\x01", 3) + good.substr(11, 21) + "\x0D  ", false},
  };
  cases[3].bytes[32 + 16] = 0;     // NAME C 0
  cases[4].bytes[64 + 17] = 6;     // QTY N 5.6
  cases[5].bytes[8] = char(0xFF);  // header length 0x..FF
  cases[5].bytes[9] = char(0x7F);
  cases[6].bytes[4] = char(0xFF);  // count 0x00FF00FF..., the file holds 2
  cases[6].bytes[6] = char(0xFF);
  for (const Case& c : cases) {
    WriteBytes(Path("bad.dbf"), c.bytes);
    XbaseErrorCode = 0;
    const bool opened = UseDbf(Path("bad.dbf"), true);
    EXPECT_EQ(opened, c.opens) << c.what;
    if (opened) {
      EXPECT_EQ(RecCount(), 2) << c.what;
      for (Go(1); !dEOF(); Skip(1)) {
      }
      CloseArea();
    } else {
      EXPECT_EQ(XbaseErrorCode, 210) << c.what;
    }
    EXPECT_TRUE(ReadBytes(Path("bad.dbf")) == c.bytes) << "written to: " << c.what;
  }
}

TEST_F(DbfFileTest, ByteOrderSwaps) {
  EXPECT_EQ(SwapLong(0x01020304u), 0x04030201u);
  EXPECT_EQ(SwapWord(0x0102), 0x0201);
  EXPECT_TRUE(IsValidDbfVersion(0x8C));
  EXPECT_FALSE(IsValidDbfVersion(0x30));
  ExtraDbfVersion1 = 0x30;
  EXPECT_TRUE(IsValidDbfVersion(0x30));
  ExtraDbfVersion1 = 0;
}

}  // namespace
