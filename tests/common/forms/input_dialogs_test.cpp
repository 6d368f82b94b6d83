// The choice, yes/no and text dialogs through the core's input routines with the Qt host: the
// dialogs are found by their component names, answered like a person would, and the answer,
// the caller's variable and AbortFlag are checked.
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "common/dialog_host.h"
#include "common/forms/gui_test_support.h"

using namespace gui_test;

namespace {

class InputDialogTest : public QtHostTest {};

void FillEntries(int n) {
  for (int i = 1; i <= n; ++i) ScreenLines[i] = "Entry " + std::to_string(i);
}

QList<QRadioButton*> Radios(QWidget* dialog, const char* group) {
  QGroupBox* box = Child<QGroupBox>(dialog, group);
  return box != nullptr ? box->findChildren<QRadioButton*>() : QList<QRadioButton*>();
}

// The list dialog from 8 entries up, the radio dialog below: the two forms of the choice.
struct ChoiceCase {
  const char* name;
  int n;
  bool list;
};

class ChoiceFormTest : public InputDialogTest, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(ChoiceFormTest, FormByCountAndChosenEntry) {
  const ChoiceCase c = GetParam();
  FillEntries(c.n);
  int choice = 1;
  std::string form;
  int shown = 0;
  ModalDriver driver;
  driver.Then([&](QWidget* w) {
    form = w->objectName().toStdString();
    if (c.list) {
      auto* list = Child<QListWidget>(w, "ListBox1");
      shown = list->count();
      list->setCurrentRow(c.n - 1);
      Click(w, "button_ok");
    } else {
      const auto radios = Radios(w, "RadioGroup1");
      shown = static_cast<int>(radios.size());
      radios.back()->setChecked(true);
      Click(w, "Button_ok");
    }
  });
  InputCode("Pick", c.n, choice);
  EXPECT_EQ(form, c.list ? "Tin_codedialog" : "Tin_radiodialog");
  EXPECT_EQ(shown, c.n);
  EXPECT_EQ(choice, c.n);
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(driver.Remaining(), 0);
  EXPECT_TRUE(driver.Unexpected().empty());
}

INSTANTIATE_TEST_SUITE_P(ByCount, ChoiceFormTest,
                         ::testing::Values(ChoiceCase{"one_entry_radio", 1, false},
                                           ChoiceCase{"seven_entries_radio", 7, false},
                                           ChoiceCase{"eight_entries_list", 8, true},
                                           ChoiceCase{"twenty_entries_list", 20, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// A choice of 0 or above n opens on entry 1, in both forms.
TEST_F(InputDialogTest, OutOfRangeChoiceOpensOnFirstEntry) {
  for (const int n : {5, 12}) {
    for (const int start : {0, n + 1, -3}) {
      FillEntries(n);
      int choice = start;
      int opened = -1;
      ModalDriver driver;
      driver.Then([&](QWidget* w) {
        if (n >= 8) {
          opened = Child<QListWidget>(w, "ListBox1")->currentRow();
        } else {
          const auto radios = Radios(w, "RadioGroup1");
          for (int i = 0; i < radios.size(); ++i) {
            if (radios[i]->isChecked()) opened = i;
          }
        }
        Key(w, Qt::Key_Return);
      });
      InputCode("Pick", n, choice);
      EXPECT_EQ(opened, 0) << "n=" << n << " start=" << start;
      EXPECT_EQ(choice, 1) << "n=" << n << " start=" << start;
    }
  }
}

// Cancel and Escape set AbortFlag and leave the caller's choice; the dialogs themselves never
// clear the flag.
TEST_F(InputDialogTest, CancelAndEscapeAbortWithoutChangingTheChoice) {
  struct Way {
    const char* name;
    int n;
    std::function<void(QWidget*)> act;
  };
  const Way ways[] = {
      {"list Cancel", 10, [](QWidget* w) { Click(w, "button_cancel"); }},
      {"list Escape", 10, [](QWidget* w) { Key(w, Qt::Key_Escape); }},
      {"radio Cancel", 3, [](QWidget* w) { Click(w, "button_cancel"); }},
      {"radio Escape", 3, [](QWidget* w) { Key(w, Qt::Key_Escape); }},
      {"radio close", 3, [](QWidget* w) { w->close(); }},
      // Enter on the focused Cancel button cancels (it is not taken as OK).
      {"radio Enter on Cancel", 3,
       [](QWidget* w) {
         auto* cancel = Child<QPushButton>(w, "button_cancel");
         cancel->setFocus();
         Key(cancel, Qt::Key_Return);
       }},
  };
  for (const Way& way : ways) {
    FillEntries(way.n);
    AbortFlag = false;
    int choice = 2;
    ModalDriver driver;
    driver.Then([&](QWidget* w) {
      if (way.n >= 8) {
        Child<QListWidget>(w, "ListBox1")->setCurrentRow(5);
      } else {
        Radios(w, "RadioGroup1")[2]->setChecked(true);
      }
      way.act(w);
    });
    InputCode("Pick", way.n, choice);
    EXPECT_TRUE(AbortFlag) << way.name;
    EXPECT_EQ(choice, 2) << way.name;
  }
}

// Taking an answer (OK, or Enter anywhere in the list dialog) leaves an abort recorded before
// the dialog standing.
TEST_F(InputDialogTest, AnswerLeavesAnEarlierAbortStanding) {
  for (const int n : {3, 9}) {
    FillEntries(n);
    AbortFlag = true;
    int choice = 1;
    ModalDriver driver;
    driver.Then([n](QWidget* w) {
      if (n >= 8) {
        Child<QListWidget>(w, "ListBox1")->setCurrentRow(1);
        Key(w, Qt::Key_Return);
      } else {
        Radios(w, "RadioGroup1")[1]->setChecked(true);
        Click(w, "Button_ok");
      }
    });
    InputCode("Pick", n, choice);
    EXPECT_EQ(choice, 2) << n;
    EXPECT_TRUE(AbortFlag) << n;
  }
}

// A double click (item activation) and Enter in the list take the entry under the cursor.
TEST_F(InputDialogTest, ListTakesEntryOnActivationAndEnter) {
  FillEntries(9);
  int choice = 1;
  {
    ModalDriver driver;
    driver.Then([](QWidget* w) {
      auto* list = Child<QListWidget>(w, "ListBox1");
      list->setCurrentRow(6);
      emit list->itemActivated(list->item(6));
    });
    InputCode("Pick", 9, choice);
    EXPECT_EQ(choice, 7);
  }
  ModalDriver second;
  second.Then([](QWidget* w) {
    auto* list = Child<QListWidget>(w, "ListBox1");
    list->setCurrentRow(3);
    Key(list, Qt::Key_Return);
  });
  InputCode("Pick", 9, choice);
  EXPECT_EQ(choice, 4);
  EXPECT_FALSE(AbortFlag);
}

TEST_F(InputDialogTest, ChoiceShowsPromptAndEntriesFromTheDosCodePage) {
  ScreenLines[1] = "Stahl";
  ScreenLines[2] =
      "Gu\xE1"
      "eisen";  // CP850 0xE1 is the sharp s
  std::string label, caption, second;
  int choice = 1;
  ModalDriver driver;
  driver.Then([&](QWidget* w) {
    caption = w->windowTitle().toStdString();
    label = Child<QLabel>(w, "Label1")->text().toStdString();
    second = Radios(w, "RadioGroup1")[1]->text().toStdString();
    Click(w, "button_cancel");
  });
  InputCode("Werkstoff w\x84hlen", 2, choice);  // CP850 0x84 is a-umlaut
  EXPECT_EQ(caption, "Select");
  EXPECT_EQ(label, "Werkstoff w\u00e4hlen");
  EXPECT_EQ(second, "Gu\u00dfeisen");
}

// ---------------------------------------------------------------------------------------------

TEST_F(InputDialogTest, YesNoStartsOnTheGivenAnswerAndReturnsTheNewOne) {
  char answer = 'n';
  bool startedOnNo = false;
  std::string caption, title;
  {
    ModalDriver driver;
    driver.Then([&](QWidget* w) {
      caption = w->windowTitle().toStdString();
      auto* box = Child<QGroupBox>(w, "RadioGroup_janein");
      title = box->title().toStdString();
      const auto radios = box->findChildren<QRadioButton*>();
      ASSERT_EQ(radios.size(), 2);
      EXPECT_EQ(radios[0]->text(), "&Yes");
      EXPECT_EQ(radios[1]->text(), "&No");
      startedOnNo = radios[1]->isChecked();
      radios[0]->setChecked(true);
      Click(w, "Button_ok");
    });
    InputYesNo("Continue ?", answer);
    EXPECT_TRUE(driver.Unexpected().empty());
  }
  EXPECT_FALSE(AbortFlag);
  EXPECT_TRUE(startedOnNo);
  EXPECT_EQ(caption, "Input");
  EXPECT_EQ(title, "Select");
  EXPECT_EQ(answer, 'J');

  ModalDriver escape;
  escape.Then([](QWidget* w) {
    Child<QGroupBox>(w, "RadioGroup_janein")->findChildren<QRadioButton*>()[1]->setChecked(true);
    Key(w, Qt::Key_Escape);
  });
  InputYesNo("Continue ?", answer);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(answer, 'J');
}

TEST_F(InputDialogTest, BooleanIsFalseOnlyForNo) {
  bool flag = true;
  ModalDriver driver;
  driver.Then([](QWidget* w) {
    Child<QGroupBox>(w, "RadioGroup_janein")->findChildren<QRadioButton*>()[1]->setChecked(true);
    Key(w, Qt::Key_Return);
  });
  InputBoolean("Flag ?", flag);
  EXPECT_FALSE(flag);
  EXPECT_FALSE(AbortFlag);
}

// ---------------------------------------------------------------------------------------------

TEST_F(InputDialogTest, TextIsTypedWithinItsLengthAndReturnedInTheDosCodePage) {
  std::string text = "alt";
  std::string offered, label, caption;
  {
    ModalDriver driver;
    driver.Then([&](QWidget* w) {
      caption = w->windowTitle().toStdString();
      label = Child<QLabel>(w, "Label1")->text().toStdString();
      auto* edit = Child<QLineEdit>(w, "EditEinText");
      offered = edit->text().toStdString();
      Type(edit, QString::fromUtf8("Ma\u00dfe 1234567"));
      Key(edit, Qt::Key_Return);
    });
    InputText("Name", 6, text);
  }
  EXPECT_EQ(caption, "Input");
  EXPECT_EQ(label, "Name");
  EXPECT_EQ(offered, "alt");
  // Six characters typed fit; the sharp s comes back as CP850 0xE1.
  EXPECT_EQ(text,
            "Ma\xE1"
            "e 1");
  EXPECT_FALSE(AbortFlag);

  ModalDriver cancel;
  cancel.Then([](QWidget* w) {
    Type(Child<QLineEdit>(w, "EditEinText"), "other");
    Click(w, "Button_Cancel");
  });
  InputText("Name", 6, text);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(text,
            "Ma\xE1"
            "e 1");
}

// ---------------------------------------------------------------------------------------------
// Numbers: out-of-range and non-numeric input is reported and asked again.

TEST_F(InputDialogTest, RealOutOfRangeIsReportedAndAskedAgain) {
  long double value = 5;
  Seen range;
  std::string reoffered;
  ModalDriver driver;
  driver
      .Then([](QWidget* w) {
        Type(Child<QLineEdit>(w, "EditEinText"), "11");
        Click(w, "Button_ok");
      })
      .Then(Note(range))
      .Then([&](QWidget* w) {
        auto* edit = Child<QLineEdit>(w, "EditEinText");
        reoffered = edit->text().toStdString();
        Type(edit, "2,5");
        Click(w, "Button_ok");
      });
  InputReal("Module", value, 1, 10);
  EXPECT_EQ(range.title, "Error  : ");
  EXPECT_EQ(range.text, "Valid Data are: 1 .. 10 !");
  EXPECT_EQ(reoffered, "11");  // the rejected value is offered again
  EXPECT_EQ(value, 2.5L);      // "," counts as the decimal point
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(driver.Remaining(), 0);
}

TEST_F(InputDialogTest, RealThatIsNoNumberIsReported) {
  long double value = 5;
  Seen invalid;
  ModalDriver driver;
  driver
      .Then([](QWidget* w) {
        Type(Child<QLineEdit>(w, "EditEinText"), "abc");
        Click(w, "Button_ok");
      })
      .Then(Note(invalid))
      .Then([](QWidget* w) { Click(w, "Button_Cancel"); });
  InputReal("Module", value, 1, 10);
  EXPECT_EQ(invalid.text, "Invalid Input \"abc\" !");
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(value, 5.0L);
}

TEST_F(InputDialogTest, IntegerWithSwappedBoundsAcceptsInsideAndReportsTheRange) {
  std::int32_t value = 3;
  Seen range;
  ModalDriver driver;
  driver
      .Then([](QWidget* w) {
        Type(Child<QLineEdit>(w, "EditEinText"), "11");
        Click(w, "Button_ok");
      })
      .Then(Note(range))
      .Then([](QWidget* w) {
        Type(Child<QLineEdit>(w, "EditEinText"), "5");
        Key(Child<QLineEdit>(w, "EditEinText"), Qt::Key_Return);
      });
  InputInteger("Teeth", value, 10, 1);
  EXPECT_EQ(range.text, "Valid Data are: 1 .. 10 !");
  EXPECT_EQ(value, 5);
}

TEST_F(InputDialogTest, LengthInImperialUnitsAsksInInchAndReturnsMillimetres) {
  ConfigVariables.UnitSystem = 1;
  long double value = 50.8L;  // 2 inch
  std::string label, offered;
  ModalDriver driver;
  driver.Then([&](QWidget* w) {
    label = Child<QLabel>(w, "Label1")->text().toStdString();
    auto* edit = Child<QLineEdit>(w, "EditEinText");
    offered = edit->text().toStdString();
    Type(edit, "1.5");
    Click(w, "Button_ok");
  });
  InputLength("Width", value, 0, 100);
  EXPECT_EQ(label, "Width [inch]");
  EXPECT_EQ(offered, "2");
  EXPECT_NEAR(static_cast<double>(value), 38.1, 1e-9);  // 1.5 x 25.4 mm
}

}  // namespace
