// The explanation window of calculation messages: what it shows, saving edited explanations
// (read back from the file), and the message choice after a calculation.
#include "common/forms/error_list_window.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <sstream>

#include "common/error_explanations.h"
#include "common/forms/gui_test_support.h"

using namespace gui_test;

namespace {

const char* const kMessage1 = "Error  : mn too small for z";
const char* const kMessage2 = "Warning: x out of range";

class ErrorWindowTest : public QtHostTest {
 protected:
  void SetUp() override {
    QtHostTest::SetUp();
    file_ = dir_ / "vuko.err";
    io_test::WriteBytes(file_, std::string(kMessage1) + "\nold origin 1\nold remedy 1\n" +
                                   kMessage2 + "\norigin 2 with \x84\nremedy 2\n");
    AddError(kMessage1);
    AddError(kMessage2);
  }
  std::vector<std::string> FileLines() const {
    std::istringstream in(io_test::ReadBytes(file_));
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
  }
  std::string file_;
};

TEST_F(ErrorWindowTest, ShowsMessageOriginAndRemedy) {
  std::string caption, message, origin, remedy;
  bool readOnly = false;
  ModalDriver driver;
  driver.Then([&](QWidget* w) {
    caption = w->windowTitle().toStdString();
    auto* edit = Child<QLineEdit>(w, "Edit_meldung");
    message = edit->text().toStdString();
    readOnly = edit->isReadOnly();
    origin = Child<QPlainTextEdit>(w, "Memo_ursache")->toPlainText().toStdString();
    remedy = Child<QPlainTextEdit>(w, "Memo_abhilfe")->toPlainText().toStdString();
    Click(w, "Button_ok");
  });
  ShowErrorHelp(2);
  EXPECT_EQ(caption, "Error Message");
  EXPECT_EQ(message, kMessage2);
  EXPECT_TRUE(readOnly);
  EXPECT_EQ(origin, "origin 2 with \u00e4");  // CP850 0x84
  EXPECT_EQ(remedy, "remedy 2");
  EXPECT_TRUE(driver.Unexpected().empty());  // unchanged: no question
  EXPECT_FALSE(AbortFlag);
}

TEST_F(ErrorWindowTest, EditedExplanationIsSavedOnYes) {
  Seen question;
  ModalDriver driver;
  driver
      .Then([](QWidget* w) {
        Child<QPlainTextEdit>(w, "Memo_ursache")
            ->setPlainText(QString::fromUtf8("new \u00fcorigin"));
        Click(w, "Button_ok");
      })
      .Then(Note(question, QMessageBox::Yes));
  ShowErrorHelp(1);
  EXPECT_EQ(question.text, "Save Changes ?");
  const std::vector<std::string> expected{kMessage1, "new \x81origin",     "old remedy 1",
                                          kMessage2, "origin 2 with \x84", "remedy 2"};
  EXPECT_EQ(FileLines(), expected);
  EXPECT_FALSE(AbortFlag);
}

// Cancel on the question goes back to the window with the edits; No then closes without saving.
TEST_F(ErrorWindowTest, CancelOnTheQuestionKeepsTheEdits) {
  const std::string before = io_test::ReadBytes(file_);
  bool stillOpen = false;
  std::string kept;
  ModalDriver driver;
  driver
      .Then([&](QWidget* w) {
        Child<QPlainTextEdit>(w, "Memo_abhilfe")->setPlainText("typed remedy");
        Click(w, "Button_ok");  // the question is cancelled
        stillOpen = w->isVisible();
        kept = Child<QPlainTextEdit>(w, "Memo_abhilfe")->toPlainText().toStdString();
        Click(w, "Button_ok");  // asked again, answered No
      })
      .Then(Press(QMessageBox::Cancel))
      .Then(Press(QMessageBox::No));
  ShowErrorHelp(1);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(kept, "typed remedy");
  EXPECT_EQ(driver.Remaining(), 0);
  EXPECT_EQ(io_test::ReadBytes(file_), before);
  EXPECT_FALSE(AbortFlag);
}

// Escape with changes asks the same question as OK, so typed text is not dropped silently.
TEST_F(ErrorWindowTest, EscapeWithChangesAsks) {
  ModalDriver driver;
  driver
      .Then([](QWidget* w) {
        Child<QPlainTextEdit>(w, "Memo_abhilfe")->setPlainText("line one\nline two");
        Key(w, Qt::Key_Escape);
      })
      .Then(Press(QMessageBox::Yes));
  ShowErrorHelp(1);
  // The record stays three lines: the typed line break becomes a blank.
  const auto lines = FileLines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[2], "line one line two");
}

TEST_F(ErrorWindowTest, HelpButtonShowsEntry1970) {
  Seen help;
  ModalDriver driver;
  driver
      .Then([](QWidget* w) {
        Click(w, "Button_help");
        Click(w, "Button_ok");
      })
      .Then(Note(help));
  ShowErrorHelp(1);
  EXPECT_EQ(help.title, "HELP TEXT No.1970");
  EXPECT_FALSE(AbortFlag);
}

// The message choice: "Continue..." proposed first at help level 1; after a message is explained
// the next one is proposed.
TEST_F(ErrorWindowTest, MessageChoiceAfterACalculation) {
  ProgramSettings.HelpLevel = 1;
  std::vector<std::string> proposed;
  std::vector<std::string> explained;
  auto choose = [&](int index) {
    return [&, index](QWidget* w) {
      const auto radios = Child<QGroupBox>(w, "RadioGroup1")->findChildren<QRadioButton*>();
      ASSERT_EQ(radios.size(), 3);
      for (auto* r : radios) {
        if (r->isChecked()) proposed.push_back(r->text().toStdString());
      }
      radios[index]->setChecked(true);
      Click(w, "Button_ok");
    };
  };
  auto explain = [&](QWidget* w) {
    explained.push_back(Child<QLineEdit>(w, "Edit_meldung")->text().toStdString());
    Click(w, "Button_ok");
  };
  ModalDriver driver;
  driver.Then(choose(0)).Then(explain).Then(choose(2));
  ShowErrorList();
  EXPECT_EQ(proposed, (std::vector<std::string>{"Continue...", kMessage2}));
  EXPECT_EQ(explained, std::vector<std::string>{kMessage1});
  EXPECT_EQ(driver.Remaining(), 0);
  EXPECT_TRUE(driver.Unexpected().empty());
}

}  // namespace
