// The input routines through the scripted and batch hosts: what a person is shown (texts,
// captions, ranges, help numbers), what an answer does to the caller's variable, and the abort
// convention; the file dialogs and the overwrite guard against files on disk.
#include "common/dialog_host.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/batch_dialog_host.h"
#include "common/codepage.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "io_test_support.h"

namespace {

using io_test::ReadBytes;
using io_test::WriteBytes;

class DialogHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    SetProgramIdentity();
    AbortFlag = false;
  }
  void TearDown() override { AbortFlag = false; }
  ScriptedDialogHost host;
};

// ------------------------------------------------------------------------------------------
// Choices

TEST_F(DialogHostTest, ChoiceDialogKindFollowsTheNumberOfEntries) {
  for (int i = 1; i <= 8; ++i) ScreenLines[i] = "entry " + std::to_string(i);
  int choice = 2;
  host.AnswerChoice(3);
  InputCode("Pick", 7, choice);
  host.AnswerChoice(8);
  InputCode("Pick", 8, choice);
  const auto records = host.RecordsOf(TDialogKind::Choice);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].entries.size(), 7u);
  TChoiceRequest seven, eight;
  seven.entries = records[0].entries;
  eight.entries = records[1].entries;
  EXPECT_FALSE(seven.UsesListDialog());  // radio dialog
  EXPECT_TRUE(eight.UsesListDialog());   // list dialog
  EXPECT_EQ(records[0].entries[0], "entry 1");
  EXPECT_EQ(records[0].selected, 1);  // choice 2 offered
  EXPECT_EQ(records[0].caption, "Select");
  EXPECT_EQ(choice, 8);
  EXPECT_FALSE(AbortFlag);
}

TEST_F(DialogHostTest, ChoiceOutsideTheListIsShownAsTheFirstEntry) {
  int zero = 0, above = 9;
  host.AnswerCancel();
  host.AnswerCancel();
  InputCode("Pick", 8, zero);
  InputCode("Pick", 8, above);
  EXPECT_EQ(host.Records()[0].selected, 0);
  EXPECT_EQ(host.Records()[1].selected, 0);
  EXPECT_TRUE(AbortFlag);
}

TEST_F(DialogHostTest, CancelledChoiceKeepsTheVariable) {
  int choice = 2;
  host.AnswerCancel();
  InputCode("Pick", 3, choice);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(choice, 2);
}

TEST_F(DialogHostTest, TextsAreShownInUtf8AndTypedTextStoredInTheDosCodePage) {
  ScreenLines[1] =
      "Gr\x94\xE1"
      "e";                    // "Größe" in CP850
  ScreenLines[2] = "Ma\xE1";  // "Maß"
  int choice = 1;
  host.AnswerChoice(2);
  InputCode("W\x84hle", 2, choice);  // "Wähle"
  EXPECT_EQ(host.Records()[0].prompt, "W\xC3\xA4hle");
  EXPECT_EQ(host.Records()[0].entries[0],
            "Gr\xC3\xB6\xC3\x9F"
            "e");
  std::string text = "alt";
  host.AnswerText(
      "\xC3\x9C"
      "bersetzung");  // "Übersetzung" typed
  InputText("Text", 40, text);
  EXPECT_EQ(text,
            "\x9A"
            "bersetzung");  // CP850 Ü = 0x9A
  EXPECT_EQ(host.Records()[1].maxLength, 40);
  EXPECT_EQ(host.Records()[1].offeredText, "alt");
  // A folder's name is offered and taken as the file system spells it.
  std::string folder = "/home/Größe ä/";
  host.AnswerText("/home/łukasz 日本/");
  InputName("temporary directory", 60, folder);
  EXPECT_EQ(host.Records()[2].offeredText, "/home/Größe ä/");
  EXPECT_EQ(folder, "/home/łukasz 日本/");
  // Beyond the limit a name is refused and asked again, never cut; characters count, not bytes.
  host.AnswerText("/12345678901234567890");
  host.AnswerText("/123456789012345678日");
  InputName("temporary directory", 20, folder);
  EXPECT_EQ(folder, "/123456789012345678日");
  EXPECT_EQ(host.Messages(), (std::vector<std::string>{"name too long: at most 20 characters !"}));
}

// ------------------------------------------------------------------------------------------
// Yes/no

TEST_F(DialogHostTest, YesNoDialog) {
  char answer = 'N';
  host.AnswerYes();
  InputYesNo("Go on ?", answer);
  EXPECT_EQ(answer, 'J');
  EXPECT_FALSE(host.Records()[0].yesOffered);  // starts on "&No"
  host.AnswerNo();
  InputYesNo("Go on ?", answer);
  EXPECT_EQ(answer, 'N');
  EXPECT_TRUE(host.Records()[1].yesOffered);
  bool flag = false;
  host.AnswerYes();
  InputBoolean("Flag ?", flag);
  EXPECT_TRUE(flag);
  EXPECT_FALSE(AbortFlag);
  host.AnswerCancel();
  InputYesNo("Go on ?", answer);
  EXPECT_EQ(answer, 'N');
  EXPECT_TRUE(AbortFlag);
}

TEST_F(DialogHostTest, QuestionBox) {
  SetInputHelpNumber(3055);
  host.AnswerYes();
  host.AnswerNo();
  host.AnswerCancel();
  EXPECT_TRUE(AskYesNo("Delete ?"));
  EXPECT_FALSE(AskYesNo("Delete ?"));
  EXPECT_FALSE(AbortFlag);  // No leaves the flag alone
  EXPECT_EQ(AskYesNoInt("Delete ?"), 0);
  EXPECT_TRUE(AbortFlag);  // Cancel sets it
  EXPECT_EQ(host.Records()[0].caption, "VUKO   involute spline");
  EXPECT_EQ(host.Records()[0].helpNumber, 3055);
}

TEST_F(DialogHostTest, RoutinesNeverClearAbortFlag) {
  AbortFlag = true;
  std::string text;
  host.AnswerText("x");
  InputText("Text", 10, text);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(text, "x");
  host.AnswerYes();
  EXPECT_TRUE(AskYesNo("?"));
  EXPECT_TRUE(AbortFlag);
}

// ------------------------------------------------------------------------------------------
// Messages

TEST_F(DialogHostTest, MessageCaptionsByKind) {
  ShowMessageBox("a", 12);
  ShowMessageBox("b", 3);
  ShowMessageBox("c", 0);
  NoteMessage("d");
  ErrorMessage("e");
  InfoMessage("f");
  ShowMessageCaption("Own", "g");
  MessagesEnabled = false;
  ErrorMessageIfEnabled("not shown");
  MessagesEnabled = true;
  ErrorMessageIfEnabled("shown");
  ShowLongText("long");
  const char* captions[] = {
      "Error  : ", "Help", "Message:", "Message:", "Error  : ", "Message:", "Own", "Error  : "};
  const auto messages = host.RecordsOf(TDialogKind::Message);
  ASSERT_EQ(messages.size(), 8u);
  for (std::size_t i = 0; i < messages.size(); ++i) EXPECT_EQ(messages[i].caption, captions[i]);
  EXPECT_EQ(host.Messages(),
            (std::vector<std::string>{"a", "b", "c", "d", "e", "f", "g", "shown", "long"}));
  EXPECT_EQ(host.PendingAnswers(), 0u);
}

// ------------------------------------------------------------------------------------------
// Numbers

TEST_F(DialogHostTest, RealWithCommaAndUnchangedAnswer) {
  long double value = 2;
  host.AnswerText("1,5");
  InputReal("x", value, 0, 10);
  EXPECT_EQ(value, 1.5L);
  EXPECT_EQ(host.Records()[0].offeredText, "2");
  EXPECT_EQ(host.Records()[0].maxLength, 30);
  // An unchanged answer keeps every digit of the value, not the three shown.
  value = 1.23456L;
  host.AnswerText("1.23");
  InputReal("x", value, 0, 10);
  EXPECT_EQ(value, 1.23456L);
  EXPECT_FALSE(AbortFlag);
}

TEST_F(DialogHostTest, RealIsAskedAgainUntilItFits) {
  long double value = 4;
  host.AnswerText("abc");
  host.AnswerText("11");
  host.AnswerText("1e5000");  // a number beyond any value: a range error too
  host.AnswerText("0");
  InputReal("x", value, 0, 10);
  EXPECT_EQ(value, 0.0L);
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(host.Messages(),
            (std::vector<std::string>{"Invalid Input \"abc\" !", "Valid Data are: 0 .. 10 !",
                                      "Valid Data are: 0 .. 10 !"}));
  const auto asked = host.RecordsOf(TDialogKind::Text);
  ASSERT_EQ(asked.size(), 4u);
  EXPECT_EQ(asked[1].offeredText, "4");   // after a non-number: the value passed in
  EXPECT_EQ(asked[2].offeredText, "11");  // after a range error: the rejected value
  EXPECT_EQ(host.Beeps(), 3);
}

TEST_F(DialogHostTest, CancelledRealKeepsTheValue) {
  long double value = 4;
  host.AnswerText("99");
  host.AnswerCancel();
  InputReal("x", value, 0, 10);
  EXPECT_EQ(value, 4.0L);
  EXPECT_TRUE(AbortFlag);
}

TEST_F(DialogHostTest, IntegerWithSwappedLimits) {
  std::int32_t value = 3;
  host.AnswerText("11");
  host.AnswerText("7x");
  host.AnswerText("99999999999");
  host.AnswerText("-2147483649");
  host.AnswerText("5");
  InputInteger("n", value, 10, 1);
  EXPECT_EQ(value, 5);
  EXPECT_EQ(host.Messages(),
            (std::vector<std::string>{"Valid Data are: 1 .. 10 !", "Invalid Input \"7x\" !",
                                      "Valid Data are: 1 .. 10 !", "Valid Data are: 1 .. 10 !"}));
  EXPECT_EQ(host.Records()[0].maxLength, 12);
  std::uint16_t word = 1;
  host.AnswerText("65535");
  InputWord("w", word, 0, 65535);
  EXPECT_EQ(word, 65535);
}

TEST_F(DialogHostTest, LengthInImperialUnits) {
  ConfigVariables.UnitSystem = 1;
  long double mm = 50.8L;  // 2 in
  host.AnswerText("1");
  InputLength("d", mm, 0, 254);
  EXPECT_NEAR(static_cast<double>(mm), 25.4, 1e-12);
  EXPECT_EQ(host.Records()[0].prompt, "d [inch]");
  EXPECT_EQ(host.Records()[0].offeredText, "2");
  host.AnswerText("11");  // 279.4 mm > 254 mm
  host.AnswerCancel();
  InputLength("d", mm, 0, 254);
  EXPECT_EQ(host.Messages().back(), "Valid Data are: 0 .. 10 !");
  ConfigVariables.UnitSystem = 0;
  host.AnswerText("3");
  InputLength("d", mm, 0, 254);
  EXPECT_EQ(host.Records().back().prompt, "d [mm]");
  EXPECT_EQ(mm, 3.0L);
}

// ------------------------------------------------------------------------------------------
// Title, cursor, hosts

TEST_F(DialogHostTest, WindowTitle) {
  std::string title;
  CurrentFileName = "shaft1";
  SetWindowTitle(title);
  EXPECT_EQ(DosToWin(title), "VUKO   involute spline  -  shaft1.vuk");
  EXPECT_EQ(host.Title(), DosToWin(title));
  CurrentFileName = "/data/a.vuk";  // a command-line file, held with its folder
  SetWindowTitle(title);
  EXPECT_EQ(DosToWin(title), "VUKO   involute spline  -  a.vuk");
  CurrentFileName = "/data/Preis € 日本.vuk";  // a name in any script, shown as it is
  SetWindowTitle(title);
  EXPECT_EQ(host.Title(), "VUKO   involute spline  -  Preis € 日本.vuk");
  CurrentFileName = "";
  CursorWait();
  EXPECT_EQ(host.Cursor(), TCursorShape::Wait);
  SetWindowTitle(title);
  EXPECT_EQ(DosToWin(title), "VUKO   involute spline");
  EXPECT_EQ(host.Cursor(), TCursorShape::Arrow);
}

TEST_F(DialogHostTest, EmptyQueueAndWrongAnswersCancel) {
  std::string text = "keep";
  InputText("t", 10, text);
  EXPECT_TRUE(AbortFlag);
  EXPECT_TRUE(host.Records()[0].unanswered);
  AbortFlag = false;
  host.AnswerYes();  // a yes for a text dialog
  InputText("t", 10, text);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(text, "keep");
  EXPECT_EQ(host.Mismatches(), 1);
}

TEST(BatchHostTest, DeclinesQuestionsAndWritesMessages) {
  ResetProgramStateForTests();
  std::FILE* stream = std::tmpfile();
  ASSERT_NE(stream, nullptr);
  BatchDialogHost batch(stream);
  InstallDialogHost(&batch);
  AbortFlag = false;
  std::string text = "keep";
  InputText("temporary directory", 60, text);
  const bool cancelledText = AbortFlag;
  AbortFlag = false;
  const bool yes = AskYesNo("overwrite ?");
  const bool cancelledQuestion = AbortFlag;
  ErrorMessage("invalid CAD Directory configured");
  InstallDialogHost(nullptr);
  EXPECT_EQ(&CurrentDialogHost(), &DefaultBatchDialogHost());
  EXPECT_TRUE(cancelledText);
  EXPECT_EQ(text, "keep");
  EXPECT_FALSE(yes);
  EXPECT_TRUE(cancelledQuestion);
  EXPECT_FALSE(batch.IsInteractive());
  std::rewind(stream);
  std::string written;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, stream) != nullptr) written += buffer;
  std::fclose(stream);
  EXPECT_NE(written.find("Error  : invalid CAD Directory configured\n"), std::string::npos);
  EXPECT_NE(written.find("temporary directory"), std::string::npos);
  AbortFlag = false;
}

TEST(DialogFilterTest, Pairs) {
  using P = std::pair<std::string, std::string>;
  EXPECT_EQ(ParseDialogFilter("*.dxf|*.dxf|*.*|*.*"),
            (std::vector<P>{{"*.dxf", "*.dxf"}, {"*.*", "*.*"}}));
  EXPECT_EQ(ParseDialogFilter("*.plt"), (std::vector<P>{{"*.plt", "*.plt"}}));
}

// ------------------------------------------------------------------------------------------
// File dialogs and the overwrite guard

class FileDialogTest : public DialogHostTest {
 protected:
  io_test::ScratchDir dir;
};

TEST_F(FileDialogTest, OpenFileNameCancelledGivesTheMask) {
  std::string name;
  host.AnswerCancel();
  OpenFileName(dir / "*.plt", "*.plt", name);
  EXPECT_EQ(name, dir / "*.plt");
  EXPECT_TRUE(AbortFlag);
  const auto r = host.Records()[0].fileRequest;
  EXPECT_EQ(r.filter, "*.plt|*.plt");
  EXPECT_EQ(r.directory, dir.Path());

  AbortFlag = false;
  host.AnswerFile(dir / "help.plt");
  OpenFileName(dir / "*.plt", "*.plt", name);
  EXPECT_EQ(name, dir / "help.plt");
  EXPECT_FALSE(AbortFlag);
}

TEST_F(FileDialogTest, OpenFileNameFilterModes) {
  std::string d = dir.Path() + "/", name;
  host.AnswerFile("/x/y/part.dat");
  OpenFileNameFilter(5, d, "*.dat", name);
  EXPECT_EQ(d, "/x/y/");
  EXPECT_EQ(name, "/x/y/part.dat");
  host.AnswerFile("/x/z/part2.abc");
  OpenFileNameFilter(4, d, "*.abc", name);
  EXPECT_EQ(name, "part2");
  EXPECT_EQ(ProgramIdentity.shortName, "abc");
  host.AnswerCancel();
  OpenFileNameFilter(1, d, "*.abc", name);
  EXPECT_EQ(name, "");
  EXPECT_TRUE(AbortFlag);
}

TEST_F(FileDialogTest, SaveAsCompletesNames) {
  DataDirectory = dir.Path();
  std::string full;
  SaveAsFileName("shaft", full);
  EXPECT_EQ(full, dir / "shaft.vuk");
  SaveAsFileName(dir / "list.txt", full);
  EXPECT_EQ(full, dir / "list.txt");
  EXPECT_FALSE(AbortFlag);
  EXPECT_TRUE(host.Records().empty());                 // nothing existed, nothing asked
  EXPECT_EQ(dir.Names(), std::vector<std::string>{});  // the write test leaves nothing
}

TEST_F(FileDialogTest, SaveAsWithDialog) {
  DataDirectory = dir.Path();
  CurrentFileName = "old";
  ASSERT_EQ(mkdir((dir / "sub").c_str(), 0755), 0);
  host.AnswerFile(dir / "sub/new.xyz");
  std::string full;
  SaveAsFileName("", full);
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(full, dir / "sub/new.vuk");
  EXPECT_EQ(DataDirectory, dir / "sub/");
  EXPECT_EQ(CurrentFileName, "new");
  const auto r = host.Records()[0].fileRequest;
  EXPECT_EQ(r.filter, "*.vuk|*.vuk");
  EXPECT_EQ(r.fileName, "old");
  EXPECT_EQ(r.directory, dir.Path());

  host.AnswerCancel();
  SaveAsFileName("", full);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(CurrentFileName, "new");
}

TEST_F(FileDialogTest, ArchiveModeRefusesANewName) {
  ProgramSettings.FileFromCommandLine = true;
  ProgramSettings.ArchiveFlag = true;
  std::string full;
  SaveAsFileName("other", full);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(host.Messages(), std::vector<std::string>{"Option is not available in archive mode."});
  AbortFlag = false;
  ProgramSettings.ArchiveFlag = false;
  DataDirectory = dir.Path();
  SaveAsFileName("other", full);
  EXPECT_FALSE(AbortFlag);
  EXPECT_FALSE(ProgramSettings.FileFromCommandLine);
}

TEST_F(FileDialogTest, OverwriteIsOnlyAskedAndNeverErases) {
  WriteBytes(dir / "data.vuk", "precious");
  host.AnswerNo();
  CheckOverwrite(dir / "data.vuk");
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(ReadBytes(dir / "data.vuk"), "precious");
  EXPECT_EQ(host.Records()[0].prompt, dir / "data.vuk" + " already exists.   overwrite ?");
  EXPECT_EQ(host.Records()[0].helpNumber, 3055);

  AbortFlag = false;
  host.AnswerYes();
  CheckOverwrite(dir / "data.vuk");
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(ReadBytes(dir / "data.vuk"), "precious");  // the save itself replaces it later

  // A name containing "actual" is not asked about.
  WriteBytes(dir / "actual.vuk", "x");
  host.Clear();
  CheckOverwrite(dir / "actual.vuk");
  EXPECT_FALSE(AbortFlag);
  EXPECT_TRUE(host.Records().empty());
}

TEST_F(FileDialogTest, InvalidNameIsReported) {
  std::filesystem::create_directory(dir / "folder");
  WriteBytes(dir / "data.vuk", "x");
  for (const auto& [leaf, cause] :
       {std::pair{"no-such-dir/x.vuk", "its folder does not exist"},
        std::pair{"folder", "a folder of that name is in the way"},
        std::pair{"data.vuk/x", "a file is in the way of its folder"}}) {
    const std::string bad = dir / leaf;
    host.Clear();
    AbortFlag = false;
    CheckOverwrite(bad);
    EXPECT_TRUE(AbortFlag);
    EXPECT_EQ(host.Messages(),
              std::vector<std::string>{"invalid file name \"" + bad + "\": " + cause + " !"});
  }
  EXPECT_FALSE(io_test::Exists(dir / "no-such-dir/x.vuk"));
}

TEST_F(FileDialogTest, CheckFileExists) {
  WriteBytes(dir / "there.txt", "x");
  CheckFileExists(dir / "there.txt");
  EXPECT_FALSE(AbortFlag);
  CheckFileExists(" " + (dir / "gone.txt") + " ");
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(host.Messages(),
            std::vector<std::string>{"file " + (dir / "gone.txt") + " not found or no access !"});
}

TEST_F(FileDialogTest, SelectDirectory) {
  std::string result;
  host.AnswerFile(dir / "pick.txt");
  SelectDirectory(dir.Path(), result);
  EXPECT_EQ(result, dir.Path() + "/");
  host.AnswerCancel();
  SelectDirectory("/start", result);
  EXPECT_EQ(result, "/start");
  EXPECT_FALSE(AbortFlag);
}

}  // namespace
