// Error state of the table library: code texts, the three roads of the handler (hook,
// exception, fatal box and halt), and the message fetched once.
#include "xbase/xbase_errors.h"

#include <gtest/gtest.h>

#include <string>

#include "common/dialog_host.h"
#include "common/scripted_dialog_host.h"

namespace {

struct CodeCase {
  std::uint16_t code;
  const char* text;
};

class ErrorsTest : public ::testing::Test {
 protected:
  void SetUp() override { InitXbaseErrors(); }
  void TearDown() override {
    InitXbaseErrors();
    InstallDialogHost(nullptr);
  }
};

TEST_F(ErrorsTest, CodeTextsFollowTheTable) {
  // Texts as the error-code table lists them; gaps give "Undefined error".
  const CodeCase cases[] = {
      {2, "Error # 2 (File not found)"},
      {33, "Error # 33 (File lock violation)"},
      {101, "Error # 101 (Disk write error (probable cause: Disk Full).)"},
      {162, "Error # 162 (File sharing violation)"},
      {215, "Error # 215 (No database in use)"},
      {227, "Error # 227 (Insufficient disk space )"},
      {1103, "Error # 1103 (Invalid Operation )"},
      {1203, "Error # 1203 (Network Error)"},
      {1250, "Error # 1250 (Network Error)"},
      {1299, "Error # 1299 (Network Error)"},
      {1300, "Error # 1300 (File format not supported)"},
  };
  for (const CodeCase& c : cases) EXPECT_EQ(ErrorCodeText(c.code), c.text) << c.code;
  EXPECT_EQ(ErrorCodeText(0), "");
  for (int code :
       {7,   37,  49,   61,   99,   107,  149,  163,  199,  232,  238,  244,  253,  255,
        265, 267, 1002, 1006, 1008, 1011, 1013, 1016, 1020, 1099, 1104, 1199, 1301, 65535})
    EXPECT_EQ(ErrorCodeMeaning(static_cast<std::uint16_t>(code)), "Undefined error") << code;
}

TEST_F(ErrorsTest, WithHandlingOffAnErrorIsOnlyRecordedAndFetchedOnce) {
  EXPECT_TRUE(SetErrorHandling(false));
  SetError(212, "Invalid record number = 9 [GO]");
  EXPECT_EQ(XbaseErrorCode, 212);
  EXPECT_EQ(LastErrorMessage(),
            "Error # 212 (Request beyond range)\r\nInvalid record number = 9 [GO]");
  EXPECT_EQ(LastErrorMessage(), "");
  EXPECT_EQ(XbaseErrorCode, 212);  // the code stays for callers that test it
  EXPECT_FALSE(SetErrorHandling(true));
}

TEST_F(ErrorsTest, RaiseSettingThrowsTheComposedText) {
  RaiseOnError = true;
  try {
    SetError(215, "No database in use [GoTop]  WorkArea = 3");
    FAIL() << "no exception";
  } catch (const EXbaseError& e) {
    EXPECT_STREQ(e.what(),
                 "Error # 215 (No database in use)\r\nNo database in use [GoTop]  WorkArea = 3");
  }
  EXPECT_EQ(XbaseErrorCode, 215);
  EXPECT_EQ(PendingErrorCode, 0);
}

int hookCalls = 0;
TEST_F(ErrorsTest, HookReplacesTheLibrarysHandling) {
  hookCalls = 0;
  XbaseErrorHook = [] { ++hookCalls; };
  RaiseOnError = true;
  EXPECT_NO_THROW(SetError(5, "x"));
  EXPECT_EQ(hookCalls, 1);
  EXPECT_EQ(PendingErrorCode, 5);
}

int haltCode = -1;
TEST_F(ErrorsTest, DefaultRoadShowsTheStopBoxHaltsAndIgnoresLaterErrors) {
  ScriptedDialogHost host;
  InstallDialogHost(&host);
  haltCode = -1;
  XbaseHaltProc = [](int code) { haltCode = code; };
  SetError(213, "File:  t.dbf  [GetDbfRecord]");
  EXPECT_EQ(haltCode, 213);
  EXPECT_TRUE(HaltInProgress);
  ASSERT_EQ(host.RecordsOf(TDialogKind::Message).size(), 1u);
  EXPECT_EQ(host.RecordsOf(TDialogKind::Message)[0].caption, "Program halted.");
  EXPECT_EQ(host.RecordsOf(TDialogKind::Message)[0].prompt,
            "Error # 213 (End of file found unexpectedly)\r\nFile:  t.dbf  [GetDbfRecord]");
  haltCode = -1;
  SetError(2, "second");
  EXPECT_EQ(haltCode, -1);
  EXPECT_EQ(host.RecordsOf(TDialogKind::Message).size(), 1u);
}

TEST_F(ErrorsTest, FreeingANullPointerReportsCode9) {
  SetErrorHandling(false);
  void* p = nullptr;
  FreeMem(p, 10);
  EXPECT_EQ(XbaseErrorCode, 9);
  EXPECT_EQ(XbaseErrorMessage, "Attempt to free NIL pointer [FreeMem()]");
  GetMem(p, 16);
  ASSERT_NE(p, nullptr);
  FreeMem(p, 16);
  EXPECT_EQ(p, nullptr);
}

}  // namespace
