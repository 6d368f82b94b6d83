// The text-file channel against files on disk: line ends, typed conversions, the failure
// convention, atomic replacement and real write failures (/dev/full, a file-size limit).
#include "common/text_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "common/dialog_host.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "io_test_support.h"

namespace {

using io_test::ReadBytes;
using io_test::WriteBytes;

class TextFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    AbortFlag = false;
  }
  void TearDown() override {
    GlobalTextFile.Abandon();
    AbortFlag = false;
  }
  void OpenForReading(const std::string& bytes) {
    WriteBytes(dir / "in.txt", bytes);
    AssignText(GlobalTextFile, dir / "in.txt");
    ASSERT_EQ(ResetText(GlobalTextFile), kIoOk);
  }
  io_test::ScratchDir dir;
  ScriptedDialogHost host;
};

// ------------------------------------------------------------------------------------------
// Line ends: the same content written by DOS, Unix and old Mac programs reads the same.

struct LineEndCase {
  const char* name;
  const char* eol;
};

class LineEndTest : public TextFileTest, public ::testing::WithParamInterface<LineEndCase> {};

TEST_P(LineEndTest, TypedReadersGiveTheSameValues) {
  const std::string e = GetParam().eol;
  OpenForReading("text line" + e + "42" + e + "1,25" + e + "TRUE" + e + "a|b|c|d|" + e + "" + e +
                 "last");
  std::string s, f1, f2, f3, f4, empty, last;
  std::int32_t i = 0;
  long double r = 0;
  bool b = false;
  ReadLineStr(s);
  ReadLineInt(i);
  ReadLineReal(r);
  ReadLineBoolTrue(b);
  ReadFields4(f1, f2, f3, f4);
  ReadLineStr(empty);
  ReadLineStr(last);
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(s, "text line");
  EXPECT_EQ(i, 42);
  EXPECT_EQ(r, 1.25L);
  EXPECT_TRUE(b);
  EXPECT_EQ(f1 + f2 + f3 + f4, "abcd");
  EXPECT_EQ(empty, "");
  EXPECT_EQ(last, "last");  // no line end after the last line
  EXPECT_TRUE(GlobalTextFile.Eof());
  CloseText(GlobalTextFile);
}

INSTANTIATE_TEST_SUITE_P(AllLineEnds, LineEndTest,
                         ::testing::Values(LineEndCase{"CRLF", "\r\n"}, LineEndCase{"LF", "\n"},
                                           LineEndCase{"CR", "\r"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TextFileTest, EmptyLinesBetweenCarriageReturnsAreKept) {
  OpenForReading("a\r\rb\r\n\r\nc\n");
  std::string l1, l2, l3, l4, l5;
  ReadLineStr(l1);
  ReadLineStr(l2);
  ReadLineStr(l3);
  ReadLineStr(l4);
  ReadLineStr(l5);
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(l1, "a");
  EXPECT_EQ(l2, "");
  EXPECT_EQ(l3, "b");
  EXPECT_EQ(l4, "");
  EXPECT_EQ(l5, "c");
  EXPECT_TRUE(GlobalTextFile.Eof());
}

// ------------------------------------------------------------------------------------------
// Conversions and the failure convention

TEST_F(TextFileTest, NumberThatDoesNotConvertReadsAsZeroWithoutAbort) {
  OpenForReading("7x\nabc\n1,5,0\n 12 \n");
  std::int32_t i = 99;
  long double r = 99;
  double d = 99;
  std::int32_t spaced = 0;
  ReadLineInt(i);
  ReadLineReal(r);
  ReadLineDouble(d);
  ReadLineInt(spaced);
  EXPECT_EQ(i, 0);
  EXPECT_EQ(r, 0.0L);
  EXPECT_EQ(d, 0.0);  // every comma becomes a point: "1.5.0" is no number
  EXPECT_EQ(spaced, 12);
  EXPECT_FALSE(AbortFlag);
}

TEST_F(TextFileTest, ReadingBeyondTheEndSetsAbortAndReadsZero) {
  OpenForReading("5\n");
  std::int32_t first = 0, second = 77;
  std::string text = "old";
  ReadLineInt(first);
  EXPECT_FALSE(AbortFlag);
  ReadLineInt(second);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(first, 5);
  EXPECT_EQ(second, 0);
  ReadLineStr(text);
  EXPECT_EQ(text, "");
}

TEST_F(TextFileTest, ReadingAMissingFileFails) {
  AssignText(GlobalTextFile, dir / "missing.txt");
  EXPECT_EQ(ResetText(GlobalTextFile), kIoFileNotFound);
  EXPECT_TRUE(AbortFlag);
  AbortFlag = false;
  AssignText(GlobalTextFile, dir.Path());  // a directory is no text file
  EXPECT_NE(ResetText(GlobalTextFile), kIoOk);
  EXPECT_TRUE(AbortFlag);
}

TEST_F(TextFileTest, BooleanReaders) {
  struct Case {
    const char* line;
    bool boolTrue;   // ReadLineBoolTrue
    bool boolFalse;  // ReadLineBoolFalse
  };
  const Case cases[] = {
      {"TRUE", true, true}, {"true", true, true},    {"yes", false, true},
      {"no", false, true},  {"FALSE", false, false}, {"False", false, false},
  };
  std::string content;
  for (const Case& c : cases) content += std::string(c.line) + "\n" + c.line + "\n";
  OpenForReading(content);
  for (const Case& c : cases) {
    bool t = !c.boolTrue, f = !c.boolFalse;
    ReadLineBoolTrue(t);
    ReadLineBoolFalse(f);
    EXPECT_EQ(t, c.boolTrue) << c.line;
    EXPECT_EQ(f, c.boolFalse) << c.line;
  }
  EXPECT_FALSE(AbortFlag);
  // After a failed read the target keeps its value.
  bool kept = true;
  ReadLineBoolTrue(kept);
  EXPECT_TRUE(AbortFlag);
  EXPECT_TRUE(kept);
}

TEST_F(TextFileTest, WordCharAndFields) {
  OpenForReading("70000\n-1\n\nJa\none|two|three|four|five|\na|b\n");
  std::uint16_t big = 0, minus = 0;
  char none = 'x', first = 'x';
  std::string f1, f2, f3, f4;
  ReadLineWord(big);
  ReadLineWord(minus);
  ReadLineChar(none);
  ReadLineChar(first);
  EXPECT_EQ(big, 70000 - 65536);  // kept in 16 bits
  EXPECT_EQ(minus, 65535);
  EXPECT_EQ(none, '\0');
  EXPECT_EQ(first, 'J');
  ReadFields4(f1, f2, f3, f4);
  EXPECT_EQ(f1, "one");
  EXPECT_EQ(f2, "two");
  EXPECT_EQ(f3, "three");
  EXPECT_EQ(f4, "four");
  ReadFields4(f1, f2, f3, f4);
  EXPECT_EQ(f1, "a");
  EXPECT_EQ(f2, "");  // no separator after "b"
  EXPECT_EQ(f3, "");
  EXPECT_EQ(f4, "");
  EXPECT_FALSE(AbortFlag);
}

// ------------------------------------------------------------------------------------------
// Writers: byte layout of the file

TEST_F(TextFileTest, WritersProduceLfLinesInTheDocumentedForms) {
  AssignText(GlobalTextFile, dir / "out.txt");
  RewriteChecked(GlobalTextFile);
  ASSERT_FALSE(AbortFlag);
  WriteLineStr("text");
  WriteStrPart("part");
  WriteLineStr2("-rest");
  WriteLineInt(-42);
  WriteLineBool(true);
  WriteLineBool(false);
  WriteLineReal(3);     // not below 1: 7 decimals
  WriteLineReal(0);     // an integer below 1: free form
  WriteLineReal(0.5L);  // not an integer: 7 decimals
  WriteLineReal(-2);    // an integer below 1
  WriteLineReal(12.25L);
  WriteFields("1", "2", "3", "4");
  WriteFields6("a", "b", "c", "d", "e", "f");
  WriteFields8("1", "", "3", "", "5", "", "7", "");
  CloseText(GlobalTextFile);
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(ReadBytes(dir / "out.txt"),
            "text\npart-rest\n-42\nTRUE\nFALSE\n3.0000000\n0\n0.5000000\n-2\n12.2500000\n"
            "1|2|3|4|\na|b|c|d|e|f|\n1||3||5||7||\n");
}

// Reals come back exactly whatever the display digits: values that seven decimals (or, at
// digits 1, five) would round are written with every digit they need.
TEST_F(TextFileTest, WrittenValuesReadBack) {
  ProgramSettings.FloatDigits = 1;
  const long double exact[] = {0.123456789L, 1.0L / 3, -2e-11L, 25.4L / 6.5L, 1e-30L, 1e20L / 3};
  AssignText(GlobalTextFile, dir / "round.txt");
  RewriteChecked(GlobalTextFile);
  WriteLineReal(-123.4567891L);
  WriteLineInt(2147483647);
  WriteLineBool(false);
  for (long double v : exact) WriteLineReal(v);
  CloseText(GlobalTextFile);
  AssignText(GlobalTextFile, dir / "round.txt");
  ResetText(GlobalTextFile);
  long double r = 0;
  std::int32_t i = 0;
  bool b = true;
  ReadLineReal(r);
  ReadLineInt(i);
  ReadLineBoolTrue(b);
  for (long double v : exact) {
    long double back = 0;
    ReadLineReal(back);
    EXPECT_EQ(back, v) << static_cast<double>(v);
  }
  CloseText(GlobalTextFile);
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(r, -123.4567891L);
  EXPECT_EQ(i, 2147483647);
  EXPECT_FALSE(b);
}

TEST_F(TextFileTest, AppendAddsAtTheEnd) {
  WriteBytes(dir / "list.dbh", "first\n");
  AssignText(GlobalTextFile, dir / "list.dbh");
  ASSERT_EQ(AppendText(GlobalTextFile), kIoOk);
  WriteLineStr("second");
  CloseText(GlobalTextFile);
  EXPECT_EQ(ReadBytes(dir / "list.dbh"), "first\nsecond\n");
}

TEST_F(TextFileTest, FileHeaderBlock) {
  SetProgramIdentity();
  DrawingTexts[1] = "Shaft";
  DrawingTexts[2] = "";
  DrawingTexts[3] = "Drawing";
  AssignText(GlobalTextFile, dir / "head.vuk");
  RewriteChecked(GlobalTextFile);
  WriteFileHeader();
  CloseText(GlobalTextFile);
  const std::string rule(65, '-');
  EXPECT_EQ(ReadBytes(dir / "head.vuk"), rule + "\nVUKO   involute spline   V 1.0\nVersion 1.0\n" +
                                             rule + "\nShaft\n\nDrawing\n");
}

// ------------------------------------------------------------------------------------------
// Replacing files: the old file survives until the new one is complete.

TEST_F(TextFileTest, OldFileStaysUntilCloseAndNoTemporaryIsLeft) {
  WriteBytes(dir / "data.vuk", "old content\n");
  AssignText(GlobalTextFile, dir / "data.vuk");
  RewriteChecked(GlobalTextFile);
  WriteLineStr("new content");
  EXPECT_EQ(ReadBytes(dir / "data.vuk"), "old content\n");
  CloseText(GlobalTextFile);
  EXPECT_EQ(ReadBytes(dir / "data.vuk"), "new content\n");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"data.vuk"});
}

TEST_F(TextFileTest, AbandonedRewriteKeepsTheOldFile) {
  WriteBytes(dir / "data.vuk", "old content\n");
  AssignText(GlobalTextFile, dir / "data.vuk");
  RewriteChecked(GlobalTextFile);
  WriteLineStr("half");
  AbandonText(GlobalTextFile);
  EXPECT_EQ(ReadBytes(dir / "data.vuk"), "old content\n");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"data.vuk"});
}

TEST_F(TextFileTest, ReplacementKeepsModeAndLink) {
  WriteBytes(dir / "target.cfg", "old\n");
  ASSERT_EQ(chmod((dir / "target.cfg").c_str(), 0640), 0);
  ASSERT_EQ(symlink((dir / "target.cfg").c_str(), (dir / "link.cfg").c_str()), 0);
  AssignText(GlobalTextFile, dir / "link.cfg");
  RewriteChecked(GlobalTextFile);
  WriteLineStr("new");
  CloseText(GlobalTextFile);
  struct stat st {};
  ASSERT_EQ(lstat((dir / "link.cfg").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat((dir / "target.cfg").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(ReadBytes(dir / "target.cfg"), "new\n");
}

// A pipe is refused at once (a writer that waited meets the alarm); a character device is written.
TEST_F(TextFileTest, WritersRefuseAPipeWithoutWaiting) {
  const std::string fifo = dir / "a.txt";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  alarm(20);
  for (int k = 0; k < 8; ++k) {  // a pipe or a character device, rewritten or appended, read
    const std::string name = k & 4 ? "/dev/null" : fifo;
    const bool append = k & 2, reader = k & 1;
    SCOPED_TRACE(name + (append ? " append" : " rewrite") + (reader ? " read" : ""));
    const int in = reader ? open(name.c_str(), O_RDONLY | O_NONBLOCK) : -1;
    GlobalTextFile.Assign(name);
    const int code = append ? GlobalTextFile.Append() : GlobalTextFile.Rewrite();
    EXPECT_EQ(code, name == fifo ? kIoAccessDenied : kIoOk);
    if (code == kIoOk) EXPECT_EQ(GlobalTextFile.WriteLine("x"), kIoOk);
    GlobalTextFile.Abandon();
    char byte;
    if (name == fifo && in >= 0) EXPECT_LE(read(in, &byte, 1), 0);  // nothing went in
    if (in >= 0) close(in);
  }
  alarm(0);
  host.SetInteractive(false);
  AssignText(GlobalTextFile, fifo);
  CheckWriteResult(GlobalTextFile);
  EXPECT_TRUE(AbortFlag);
  EXPECT_TRUE(host.Messages().size() == 1 && host.Messages()[0].find(fifo) != std::string::npos);
  // A save meeting the pipe says what failed, with the name.
  RewriteChecked(GlobalTextFile);
  ASSERT_EQ(host.Messages().size(), 2u);
  EXPECT_EQ(host.Messages()[1],
            "I/O-Error 5 \"" + fifo + "\": no regular file (a pipe or a socket)");
  struct stat st {};
  EXPECT_TRUE(stat(fifo.c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
}

// ------------------------------------------------------------------------------------------
// Real write failures

TEST_F(TextFileTest, WritingToAFullDeviceSetsAbortAndNamesTheFile) {
  AssignText(GlobalTextFile, "/dev/full");
  RewriteChecked(GlobalTextFile);
  ASSERT_FALSE(AbortFlag);  // the device opens
  for (int i = 0; i < 100; ++i) WriteLineStr(std::string(100, 'x'));
  CloseText(GlobalTextFile);
  EXPECT_TRUE(AbortFlag);
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0], "disk full \"/dev/full\" !");
}

TEST_F(TextFileTest, ShortWriteLeavesTheOldFileWhole) {
  const std::string old = "old content that must survive\n";
  WriteBytes(dir / "data.vuk", old);
  // A file-size limit makes the kernel refuse the writes past it, as a full disk would.
  struct rlimit saved {};
  getrlimit(RLIMIT_FSIZE, &saved);
  auto previous = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  AssignText(GlobalTextFile, dir / "data.vuk");
  RewriteChecked(GlobalTextFile);
  for (int i = 0; i < 2000; ++i) WriteLineStr("0123456789012345678901234567890123456789");
  CloseText(GlobalTextFile);
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, previous);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(ReadBytes(dir / "data.vuk"), old);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"data.vuk"});
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0], "disk full \"" + (dir / "data.vuk") + "\" !");
}

// ------------------------------------------------------------------------------------------
// The checked open: Retry/Cancel with a person, a single try without one.

TEST_F(TextFileTest, CheckedOpenOffersRetryAndCancel) {
  const std::string name = dir / "no-such-dir/file.cfg";
  AssignText(GlobalTextFile, name);
  host.AnswerYes();     // Retry
  host.AnswerCancel();  // then give up
  RewriteChecked(GlobalTextFile);
  EXPECT_TRUE(AbortFlag);
  const auto retries = host.RecordsOf(TDialogKind::Retry);
  ASSERT_EQ(retries.size(), 2u);
  EXPECT_EQ(retries[0].prompt, "I/O-Error 2 \"" + name + "\": its folder does not exist");
  host.Clear();
  host.AnswerCancel();
  AssignText(GlobalTextFile, dir.Path());
  RewriteChecked(GlobalTextFile);
  ASSERT_EQ(host.RecordsOf(TDialogKind::Retry).size(), 1u);
  EXPECT_EQ(host.RecordsOf(TDialogKind::Retry)[0].prompt,
            "I/O-Error 5 \"" + dir.Path() + "\": a folder of that name is in the way");
  EXPECT_FALSE(GlobalTextFile.IsOpen());
  // The I/O code folds a name too long into a missing path; the message tells it apart.
  const std::string tooLong = dir / (std::string(252, 'n') + ".vuk");
  host.Clear();
  host.AnswerCancel();
  AssignText(GlobalTextFile, tooLong);
  RewriteChecked(GlobalTextFile);
  EXPECT_EQ(host.RecordsOf(TDialogKind::Retry).at(0).prompt,
            "I/O-Error 3 \"" + tooLong + "\": its name is too long");
}

TEST_F(TextFileTest, CheckedOpenTriesOnceWithoutAPerson) {
  AssignText(GlobalTextFile, dir / "no-such-dir/file.cfg");
  host.SetInteractive(false);
  RewriteChecked(GlobalTextFile);
  EXPECT_TRUE(AbortFlag);
  EXPECT_TRUE(host.RecordsOf(TDialogKind::Retry).empty());
  EXPECT_EQ(host.Messages().size(), 1u);

  host.Clear();
  host.SetInteractive(true);
  MessagesEnabled = false;
  RewriteChecked(GlobalTextFile);
  EXPECT_TRUE(host.Records().empty());  // silent, and no endless loop
}

TEST_F(TextFileTest, CheckedWriteAndCloseReportOnce) {
  AssignText(GlobalTextFile, "/dev/full");
  CheckWriteResult(GlobalTextFile);
  ASSERT_FALSE(AbortFlag);
  for (int i = 0; i < 2000; ++i) WriteLineChecked(GlobalTextFile, std::string(60, 'y'));
  CloseChecked(GlobalTextFile);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(host.Messages().size(), 1u);

  host.Clear();
  AbortFlag = false;
  AssignText(GlobalTextFile, dir / "missing/out.txt");
  CheckWriteResult(GlobalTextFile);
  EXPECT_TRUE(AbortFlag);
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0], "file write error \"" + (dir / "missing/out.txt") + "\" !");
}

}  // namespace
