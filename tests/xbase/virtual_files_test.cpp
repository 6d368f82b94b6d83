// Virtual files: record lists in memory behind a work area, driven through the dispatcher as
// the table core drives them (append, go to, replace, remove, pack, POP, sorted orders).
#include "xbase/virtual_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "xbase/dbf_file.h"
#include "xbase/work_areas.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_expr_compiler.h"
#include "xbase/xbase_expr_eval.h"

namespace {

// Typed record: deletion mark, then C10 (length byte + 10), then N8 without decimals (int32).
constexpr std::uint16_t kRecordLength = 1 + 11 + 4;

class VFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitXbaseErrors();
    SetErrorHandling(false);
    for (auto& a : WorkAreas) a.reset();
    CurrentArea = 1;
    InstallVFileDispatch();
    auto rec = std::make_unique<WorkAreaRecord>();
    rec->tableName = "MEMLIST";
    rec->vfile.isVirtual = true;
    rec->recordLength = kRecordLength;
    rec->recordBuffer.assign(kRecordLength, 0);
    FieldDescriptor name{};
    std::strcpy(name.name, "NAME");
    name.type = 'C';
    name.length = 10;
    FieldDescriptor qty{};
    std::strcpy(qty.name, "QTY");
    qty.type = 'N';
    qty.length = 8;
    rec->fields = {name, qty};
    rec->fieldCount = 2;
    WorkAreas[1] = std::move(rec);
    Request(kVFileInit);
  }
  void TearDown() override {
    Request(kVFileClose);
    for (auto& a : WorkAreas) a.reset();
  }
  WorkAreaRecord& A() { return *WorkAreas[1]; }
  void Request(std::uint8_t code, std::int32_t target = 0) {
    A().vfile.VFileRequest = code;
    A().vfile.VFileTarget = target;
    VFileDispatcher(A());
  }
  void Fill(const std::string& name, std::int32_t qty, bool deleted = false) {
    auto& b = A().recordBuffer;
    std::fill(b.begin(), b.end(), 0);
    b[0] = deleted ? 1 : 0;
    b[1] = 10;
    std::string padded = name;
    padded.resize(10, ' ');
    std::memcpy(&b[2], padded.data(), 10);
    std::memcpy(&b[12], &qty, 4);
  }
  void Add(const std::string& name, std::int32_t qty = 0, bool deleted = false) {
    Fill(name, qty, deleted);
    Request(kVFileAppendRecord);
  }
  std::string NameInBuffer() {
    std::string s(reinterpret_cast<const char*>(&A().recordBuffer[2]), 10);
    return s.substr(0, s.find_last_not_of(' ') + 1);
  }
  // The names from record 1 to the last, read through goto.
  std::string Names() {
    std::string all;
    for (std::int32_t r = 1; r <= A().recordCount; ++r) {
      Request(kVFileGoto, r);
      all += (all.empty() ? "" : ",") + NameInBuffer();
    }
    return all;
  }
};

// Key maker: the record's name, trimmed.
void NameKey(std::int32_t arg, std::string& key) {
  (void)arg;
  const auto& b = WorkAreas[1]->recordBuffer;
  std::string s(reinterpret_cast<const char*>(&b[2]), 10);
  key = s.substr(0, s.find_last_not_of(' ') + 1);
}

TEST_F(VFileTest, AppendAndGoTo) {
  Add("A");
  Add("B");
  Add("C");
  EXPECT_EQ(A().recordCount, 3);
  EXPECT_EQ(A().recordNumber, 3);
  EXPECT_FALSE(A().eof);
  EXPECT_EQ(Names(), "A,B,C");

  Fill("junk", 99);
  Request(kVFileGoto, 2);
  EXPECT_EQ(NameInBuffer(), "B");
  EXPECT_EQ(A().recordNumber, 2);

  for (std::int32_t bad : {0, 4}) {
    XbaseErrorCode = 0;
    Request(kVFileGoto, bad);
    EXPECT_EQ(XbaseErrorCode, 212);
    EXPECT_EQ(XbaseErrorMessage, "Attempted to position to record number " + std::to_string(bad) +
                                     "  Database record count is 3MEMLIST [VFiles]");
  }
}

TEST_F(VFileTest, StackAndQueueWithPop) {
  A().vfile.VFileMode = kVFilePush;
  Add("1");
  Add("2");
  Add("3");
  std::string popped;
  for (int i = 0; i < 3; ++i) {
    Request(kVFilePop);
    popped += NameInBuffer();
  }
  EXPECT_EQ(popped, "321");  // last in, first out
  EXPECT_TRUE(A().eof && A().bof);
  Request(kVFilePop);
  EXPECT_EQ(XbaseErrorCode, 1100);
  EXPECT_EQ(XbaseErrorMessage,
            "Virtual file empty - no more records to POP from MEMLIST [(PopRec) VFiles]");

  A().vfile.VFileMode = kVFileAppend;
  Add("1");
  Add("2");
  Add("3");
  popped.clear();
  for (int i = 0; i < 3; ++i) {
    Request(kVFilePop);
    popped += NameInBuffer();
  }
  EXPECT_EQ(popped, "123");  // first in, first out

  A().vfile.VFileMode = kVFileInsert;
  Add("x");
  Request(kVFilePop);
  EXPECT_EQ(XbaseErrorMessage,
            "Cannot POP a record in INSERTION mode from MEMLIST [(PopRec) VFiles]");
}

TEST_F(VFileTest, InsertionTakesTheCurrentPlace) {
  Add("A");
  Add("B");
  Add("C");
  A().vfile.VFileMode = kVFileInsert;
  Request(kVFileGoto, 1);
  Add("first");
  EXPECT_EQ(A().recordNumber, 1);
  Request(kVFileGoto, 3);
  Add("mid");
  EXPECT_EQ(A().recordNumber, 3);
  EXPECT_EQ(Names(), "first,A,mid,B,C");
}

TEST_F(VFileTest, SortedFilesKeepKeyOrder) {
  A().vfile.VFileMode = kVFileAscending;
  Add("x");  // the first record needs no key
  Request(kVFileFreeAll);
  EXPECT_EQ(A().recordCount, 0);
  Add("10");
  XbaseErrorCode = 0;
  Add("9");
  EXPECT_EQ(XbaseErrorCode, 1100);  // no key maker
  EXPECT_EQ(XbaseErrorMessage,
            "MEMLIST is a \"Sorted\" virtual file with no keymaker function. "
            "[Append/InsertRec/PushRec]");
  EXPECT_EQ(A().recordCount, 1);  // nothing linked

  A().vfile.KeyMaker = NameKey;
  for (const char* k : {"9", "100", "9", "2", "50"}) Add(k, 0);
  // Numbers sort as numbers: 9 before 10 before 100.
  EXPECT_EQ(Names(), "2,9,9,10,50,100");

  // Equal keys stay in the order they were added.
  Request(kVFileFreeAll);
  for (std::int32_t i = 1; i <= 5; ++i) Add(i % 2 ? "b" : "a", i);
  std::string order;
  for (std::int32_t r = 1; r <= 5; ++r) {
    Request(kVFileGoto, r);
    std::int32_t q;
    std::memcpy(&q, &A().recordBuffer[12], 4);
    order += NameInBuffer() + std::to_string(q);
  }
  EXPECT_EQ(order, "a2a4b1b3b5");

  // A key that is not wholly numeric sorts as text against every other key.
  Request(kVFileFreeAll);
  for (const char* k : {"9", "10", "9x"}) Add(k);
  EXPECT_EQ(Names(), "9,10,9x");  // 9 < 10 as numbers; "9x" > "9" and > "10" as texts

  Request(kVFileFreeAll);
  A().vfile.VFileMode = kVFileDescending;
  for (const char* k : {"3", "1", "2", "5", "4"}) Add(k);
  EXPECT_EQ(Names(), "5,4,3,2,1");
}

TEST_F(VFileTest, SortedReplaceMovesTheRecord) {
  A().vfile.VFileMode = kVFileAscending;
  A().vfile.KeyMaker = NameKey;
  for (const char* k : {"10", "20", "30", "40"}) Add(k);
  Fill("35", 0);
  Request(kVFileReplace, 1);
  EXPECT_EQ(Names(), "20,30,35,40");
  Fill("5", 0);
  Request(kVFileReplace, 4);
  EXPECT_EQ(Names(), "5,20,30,35");
  EXPECT_EQ(A().recordCount, 4);
}

TEST_F(VFileTest, ReplaceRemoveAndPack) {
  Add("A");
  Add("B", 0, true);
  Add("C", 0, true);
  Add("D");
  Fill("b2", 7);
  Request(kVFileReplace, 2);
  EXPECT_EQ(Names(), "A,b2,C,D");

  Request(kVFileGoto, 4);
  Request(kVFileRemove);  // the last record: its predecessor becomes current
  EXPECT_EQ(A().recordNumber, 3);
  EXPECT_EQ(A().recordCount, 3);

  Request(kVFileGoto, 3);  // C, marked deleted
  Request(kVFileRecall);
  EXPECT_EQ(A().recordBuffer[0], 0);
  Request(kVFileGoto, 1);
  Request(kVFileDelete);
  EXPECT_EQ(A().recordBuffer[0], 1);
  Request(kVFilePack);
  EXPECT_EQ(Names(), "b2,C");

  Request(kVFileGoto, 1);
  Request(kVFileDelete);
  Request(kVFileGoto, 2);
  Request(kVFileDelete);
  Request(kVFilePack);
  EXPECT_EQ(A().recordCount, 0);
  EXPECT_EQ(A().recordNumber, 0);
  EXPECT_TRUE(A().eof);
  EXPECT_TRUE(A().bof);
}

TEST_F(VFileTest, TheFileLayerAppendsAndReads) {
  Add("A");
  Add("B");
  Request(kVFileGoto, 1);
  Fill("C", 0);
  AppendDbfRecord(A());  // counts the record first, then hands it over as a replace
  EXPECT_EQ(A().recordCount, 3);
  EXPECT_EQ(A().recordNumber, 3);
  EXPECT_EQ(Names(), "A,B,C");  // the current record A was not overwritten
  GetDbfRecord(A(), 2);
  EXPECT_EQ(NameInBuffer(), "B");
  Fill("b", 0);
  PutDbfRecord(A(), 2);
  EXPECT_EQ(Names(), "A,b,C");
}

TEST_F(VFileTest, VariableLengthRecords) {
  A().recordLength = 0;
  A().recordBuffer.assign(64, 0);
  auto put = [&](const std::string& text) {
    std::uint16_t len = static_cast<std::uint16_t>(1 + text.size());
    std::memcpy(&A().recordBuffer[0], &len, 2);
    A().recordBuffer[2] = 0;  // deletion mark
    std::memcpy(&A().recordBuffer[3], text.data(), text.size());
  };
  auto get = [&]() {
    std::uint16_t len;
    std::memcpy(&len, &A().recordBuffer[0], 2);
    return std::string(reinterpret_cast<const char*>(&A().recordBuffer[3]), len - 1u);
  };
  put("one");
  Request(kVFileAppendRecord);
  put("three");
  Request(kVFileAppendRecord);
  put("2");
  Request(kVFileReplace, 1);  // shorter: a new node in the old one's place
  EXPECT_EQ(A().recordCount, 2);
  EXPECT_EQ(A().recordNumber, 1);
  Request(kVFileGoto, 2);
  EXPECT_EQ(get(), "three");
  Request(kVFileGoto, 1);
  EXPECT_EQ(get(), "2");
}

TEST_F(VFileTest, LongWalksLandOnTheRightRecord) {
  for (int i = 1; i <= 40; ++i) Add(std::to_string(i), i);
  for (std::int32_t r : {1, 40, 20, 21, 5, 38, 2, 39, 17}) {
    Request(kVFileGoto, r);
    std::int32_t q;
    std::memcpy(&q, &A().recordBuffer[12], 4);
    EXPECT_EQ(q, r);
  }
}

TEST_F(VFileTest, ExpressionsReadTypedRecords) {
  InstallParserHooks();
  Add("Bolt", 12);
  Add("Nut", 3, true);
  CompiledExpr* e = AssignExpr("TRIM(NAME) + STR(QTY, 3)");
  ASSERT_NE(e, nullptr);
  Request(kVFileGoto, 1);
  EvaluateExpr(e);
  EXPECT_STREQ(ExprString(e), "Bolt 12");
  CompiledExpr* d = AssignExpr("DELETED()");
  EvaluateExpr(d);
  EXPECT_FALSE(ExprLogical(d));
  Request(kVFileGoto, 2);
  EvaluateExpr(d);
  EXPECT_TRUE(ExprLogical(d));
  ResetExprUnit();
}

// A record copy's length is held in 16 bits: 65534 bytes and more are refused with 266.
TEST_F(VFileTest, RecordsLongerThanTheLengthFieldAreRefused) {
  A().recordLength = 0;
  A().vfile.KeyMaker = [](std::int32_t, std::string& key) { key = "k"; };
  auto request = [&](std::uint8_t code, std::uint16_t length, char fill) {
    A().recordBuffer.assign(length + 2u, static_cast<unsigned char>(fill));
    std::memcpy(&A().recordBuffer[0], &length, 2);
    Request(code, 1);
  };
  // Record length, file order, request; the records held afterwards (a: the first, 3 bytes).
  const std::tuple<std::uint16_t, std::uint8_t, std::uint8_t, const char*> rows[] = {
      {65533, kVFileAppend, kVFileAppendRecord, "ab"},
      {65534, kVFileAppend, kVFileAppendRecord, "a"},
      {65535, kVFileAppend, kVFileReplace, "a"},
      {65534, kVFileAscending, kVFileReplace, "a"}};
  for (const auto& [length, mode, code, held] : rows) {
    SCOPED_TRACE(length);
    Request(kVFileFreeAll);
    A().vfile.VFileMode = mode;
    request(kVFileAppendRecord, 3, 'a');
    XbaseErrorCode = 0;
    request(code, length, 'b');
    EXPECT_EQ(XbaseErrorCode, std::string(held) == "a" ? 266 : 0);
    ASSERT_EQ(A().recordCount, std::int32_t(std::strlen(held)));
    Request(kVFileGoto, A().recordCount);  // the last record, whole
    std::uint16_t stored = 0;
    std::memcpy(&stored, A().recordBuffer.data(), 2);
    EXPECT_EQ(A().recordBuffer[stored + 1u], held[A().recordCount - 1]);
  }
}

}  // namespace
