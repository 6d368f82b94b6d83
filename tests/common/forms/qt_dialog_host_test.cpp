// Message boxes, questions, help buttons, cursor and title of the Qt dialog host, driven through
// the core's routines.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/forms/gui_test_support.h"
#include "common/text_file.h"

using namespace gui_test;

namespace {

class HostTest : public QtHostTest {};

// The caption of an OK box is chosen by its kind.
struct BoxCase {
  const char* name;
  std::function<void()> show;
  const char* caption;
};

TEST_F(HostTest, MessageBoxCaptionsByKind) {
  const BoxCase cases[] = {
      {"ErrorMessage", [] { ErrorMessage("a < b & c"); }, "Error  : "},
      {"kind 12", [] { ShowMessageBox("a < b & c", 12); }, "Error  : "},
      {"kind 3", [] { ShowMessageBox("a < b & c", 3); }, "Help"},
      {"NoteMessage", [] { NoteMessage("a < b & c"); }, "Message:"},
      {"InfoMessage", [] { InfoMessage("a < b & c"); }, "Message:"},
      {"kind 7", [] { ShowMessageBox("a < b & c", 7); }, "Message:"},
      {"caller's caption", [] { ShowMessageCaption("Error Message", "a < b & c"); },
       "Error Message"},
  };
  for (const BoxCase& c : cases) {
    Seen seen;
    bool plain = false;
    ModalDriver driver;
    driver.Then([&](QWidget* w) {
      plain = qobject_cast<QMessageBox*>(w)->textFormat() == Qt::PlainText;
      Note(seen)(w);
    });
    c.show();
    EXPECT_EQ(seen.title, c.caption) << c.name;
    // Shown as typed, not read as markup.
    EXPECT_EQ(seen.text, "a < b & c") << c.name;
    EXPECT_TRUE(plain) << c.name;
    EXPECT_FALSE(AbortFlag) << c.name;
  }
}

TEST_F(HostTest, ErrorMessageIfEnabledIsSilentWhileMessagesAreOff) {
  MessagesEnabled = false;
  {
    ModalDriver driver;
    ErrorMessageIfEnabled("hidden");
    EXPECT_TRUE(driver.Unexpected().empty());
  }
  MessagesEnabled = true;
  Seen seen;
  ModalDriver driver;
  driver.Then(Note(seen));
  ErrorMessageIfEnabled("shown");
  EXPECT_EQ(seen.text, "shown");
  EXPECT_EQ(seen.title, "Error  : ");
}

TEST_F(HostTest, MessageTextComesFromTheDosCodePage) {
  Seen seen;
  ModalDriver driver;
  driver.Then(Note(seen));
  InfoMessage(
      "Zahnbreite \x81"
      "ber Grenze");  // CP850 0x81 is u-umlaut
  EXPECT_EQ(seen.text, "Zahnbreite \u00fcber Grenze");
}

// AskYesNo: Yes true; No false without abort; Cancel and Escape false with AbortFlag.
TEST_F(HostTest, QuestionAnswers) {
  struct Case {
    const char* name;
    std::function<void(QWidget*)> act;
    bool result;
    bool abort;
  };
  const Case cases[] = {
      {"Yes", Press(QMessageBox::Yes), true, false},
      {"No", Press(QMessageBox::No), false, false},
      {"Cancel", Press(QMessageBox::Cancel), false, true},
      {"Escape", [](QWidget* w) { Key(w, Qt::Key_Escape); }, false, true},
  };
  for (const Case& c : cases) {
    AbortFlag = false;
    std::string title;
    bool question = false;
    ModalDriver driver;
    driver.Then([&](QWidget* w) {
      title = w->windowTitle().toStdString();
      question = qobject_cast<QMessageBox*>(w)->icon() == QMessageBox::Question;
      c.act(w);
    });
    EXPECT_EQ(AskYesNo("Overwrite ?"), c.result) << c.name;
    EXPECT_EQ(AbortFlag, c.abort) << c.name;
    EXPECT_EQ(title, "VUKO   involute spline") << c.name;
    EXPECT_TRUE(question) << c.name;
  }
}

// A file that cannot be opened is offered again with Retry until the user cancels.
TEST_F(HostTest, RetryAndCancelOnAFileThatCannotBeWritten) {
  TTextFile file;
  const std::string name = dir_ / "missing-dir/listing.txt";
  file.Assign(name);
  Seen first;
  ModalDriver driver;
  driver.Then(Note(first, QMessageBox::Retry)).Then(Press(QMessageBox::Cancel));
  RewriteChecked(file);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(driver.Remaining(), 0);
  EXPECT_EQ(first.title, "Error  : ");
  EXPECT_NE(first.text.find(name), std::string::npos) << first.text;
  EXPECT_FALSE(io_test::Exists(name));
}

TEST_F(HostTest, LongTextScrollsInAWindowOfItsOwn) {
  std::string text;
  for (int i = 1; i <= 100; ++i) text += "line " + std::to_string(i) + "\n";
  std::string shown;
  std::string kind;
  {
    ModalDriver driver;
    driver.Then([&](QWidget* w) {
      kind = w->objectName().toStdString();
      shown = Child<QPlainTextEdit>(w, "Memo1")->toPlainText().toStdString();
      Key(w, Qt::Key_Escape);
    });
    ShowLongText(text);
  }
  EXPECT_EQ(kind, "LongText");
  EXPECT_EQ(shown, text);

  {
    // A long error keeps its caption in the scrolling window.
    std::string caption;
    ModalDriver driver;
    driver.Then([&](QWidget* w) {
      caption = w->windowTitle().toStdString();
      Key(w, Qt::Key_Escape);
    });
    ErrorMessage(text);
    EXPECT_EQ(caption, "Error  : ");
  }
  Seen seen;
  ModalDriver driver;
  driver.Then(Note(seen));
  ShowLongText("short text");
  EXPECT_EQ(seen.text, "short text");
  EXPECT_EQ(seen.title, "VUKO");
}

TEST_F(HostTest, WaitCursorIsSetOnceAndRestoredByArrow) {
  CursorWait();
  CursorWait();
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  CursorArrow();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(HostTest, WindowTitleGoesToTheMainWindow) {
  QWidget main;
  SetDialogMainWindow(&main);
  CurrentFileName = "welle";
  std::string title;
  SetWindowTitle(title);
  EXPECT_EQ(main.windowTitle().toStdString(), DosToWin(title));
  EXPECT_EQ(DosToWin(title), "VUKO   involute spline  -  welle.vuk");
}

// ---------------------------------------------------------------------------------------------
// Help buttons

class HelpButtonTest : public QtHostTest {
 protected:
  void SetUp() override {
    QtHostTest::SetUp();
    io_test::WriteBytes(dir_ / "vuko.hlp",
                        "4000\n"
                        "Entry without picture\n"
                        "4005:gear\n"
                        "Help line one\n"
                        "4006\n"
                        "Help line two\n"
                        "4010\n"
                        "Next entry\n");
  }
};

TEST_F(HelpButtonTest, HelpTextShowsTheNumberedEntryAndTheDialogGoesOn) {
  SetInputHelpNumber(4005);
  Seen help;
  std::string text = "x";
  ModalDriver driver;
  driver
      .Then([](QWidget* w) {
        Click(w, "Button_hilfetext");
        Type(Child<QLineEdit>(w, "EditEinText"), "after help");
        Click(w, "Button_ok");
      })
      .Then(Note(help));
  InputText("Name", 20, text);
  EXPECT_EQ(help.title, "HELP TEXT No.4005");
  // The five lines of the entry, each followed by a blank.
  EXPECT_EQ(help.text, "Help line one Help line two    ");
  EXPECT_EQ(text, "after help");
  EXPECT_FALSE(AbortFlag);
}

// Whatever the help does with AbortFlag stays inside the help, in both directions.
TEST_F(HelpButtonTest, HelpLeavesAbortFlagAsItWas) {
  for (const bool before : {false, true}) {
    for (const int number : {4005, 4100 /* missing entry */}) {
      SetInputHelpNumber(number);
      for (int n : {3, 9}) {
        for (int i = 1; i <= n; ++i) ScreenLines[i] = "e";
        AbortFlag = before;
        int choice = 1;
        Seen help;
        ModalDriver driver;
        driver
            .Then([n](QWidget* w) {
              Click(w, "Button_hilfetext");
              Click(w, n >= 8 ? "button_ok" : "Button_ok");
            })
            .Then(Note(help));
        InputCode("Pick", n, choice);
        EXPECT_EQ(AbortFlag, before) << number << " n=" << n;
        EXPECT_EQ(help.title, "HELP TEXT No." + std::to_string(number));
        if (number == 4100)
          EXPECT_EQ(help.text.rfind("help text No 4100: No help available.", 0), 0u);
      }
    }
  }
}

TEST_F(HelpButtonTest, AuxImageGoesToTheHandlerWithThePictureFile) {
  std::vector<std::pair<int, std::string>> drawn;
  SetHelpImageHandler([&](int number, const std::string& plt) { drawn.emplace_back(number, plt); });
  for (const int number : {4005, 4000}) {
    SetInputHelpNumber(number);
    char answer = 'J';
    ModalDriver driver;
    driver.Then([](QWidget* w) {
      Click(w, "Button_hilfebild");
      Click(w, "Button_ok");
    });
    InputYesNo("Go ?", answer);
    EXPECT_TRUE(driver.Unexpected().empty());
  }
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_EQ(drawn[0], std::make_pair(4005, dir_ / "gear.plt"));
  EXPECT_EQ(drawn[1], std::make_pair(4000, std::string()));  // number line without ":"
}

TEST_F(HelpButtonTest, AuxImageWithoutHandlerNamesThePicture) {
  // A folder named beyond ASCII (holding the help file, too) is shown as the file system gives
  // its name.
  ProgramSettings.pltDirectory = dir_ / "Bilder äü";
  std::filesystem::create_directory(ProgramSettings.pltDirectory);
  std::filesystem::copy_file(dir_ / "vuko.hlp", dir_ / "Bilder äü/vuko.hlp");
  SetInputHelpNumber(4005);
  char answer = 'J';
  Seen seen;
  ModalDriver driver;
  driver
      .Then([](QWidget* w) {
        Click(w, "Button_hilfebild");
        Click(w, "Button_ok");
      })
      .Then(Note(seen));
  InputYesNo("Go ?", answer);
  EXPECT_EQ(seen.text, dir_ / "Bilder äü/gear.plt");
  EXPECT_EQ(answer, 'J');
}

}  // namespace
