// The documentation dialogs driven by their named controls: each shows the records (DOS code
// page shown as UTF-8), OK stores what was typed, Cancel and Escape set AbortFlag and leave the
// records alone. One run goes through the installed forms and the changes menu.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <ctime>
#include <functional>
#include <memory>

#include "app/app_test_support.h"
#include "app/documentation_commands.h"
#include "app/documentation_records.h"
#include "app/forms/change_record_dialog.h"
#include "app/forms/document_slots_dialog.h"
#include "app/forms/documentation_forms.h"
#include "app/forms/drawing_info_dialog.h"
#include "app/forms/drawing_texts_dialog.h"
#include "calc/toothing_data.h"
#include "common/formatting.h"
#include "common/forms/error_list_window.h"
#include "common/forms/text_viewer.h"
#include "common/output_router.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "common/system_info.h"
#include "drawings/drawing_documentation.h"
#include "gui_environment.h"
#include "validator_support.h"

namespace {

// "Prüfung" in the DOS code page 850 (u umlaut is 0x81) and as the dialog shows it.
const std::string kDosWord = "Pr\201fung";
const QString kShownWord = QString::fromUtf8("Pr\u00fcfung");
constexpr char kToday[] = "11/14/2023";

template <typename T>
T* Find(QWidget& form, const char* name) {
  T* w = form.findChild<T*>(name);
  EXPECT_NE(w, nullptr) << name;
  return w;
}

QString Text(QWidget& form, const char* edit) {
  return Find<QLineEdit>(form, edit)->text();
}

void Type(QWidget& form, const char* edit, const QString& text) {
  Find<QLineEdit>(form, edit)->setText(text);
}

void Click(QWidget& form, const char* button) {
  Find<QPushButton>(form, button)->click();
}

QString Cell(QWidget& form, const char* grid, int row, int column) {
  QTableWidgetItem* item = Find<QTableWidget>(form, grid)->item(row, column);
  return item != nullptr ? item->text() : QString();
}

void SetCell(QWidget& form, const char* grid, int row, int column, const QString& text) {
  auto* g = Find<QTableWidget>(form, grid);
  if (g->item(row, column) == nullptr) g->setItem(row, column, new QTableWidgetItem);
  g->item(row, column)->setText(text);
}

class DocumentationDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    SetProgramIdentity();
    InitOutputState();
    setenv("TZ", "UTC", 1);
    tzset();
    SetClockForTests(1700000000);
    InitChangeRecords();
    InitDocumentSlots();
    PartNames = TPartNames{};
    AbortFlag = false;
  }
  void TearDown() override { SetClockForTests(0); }
};

// ---------------------------------------------------------------------------------------------
// One change

TEST_F(DocumentationDialogsTest, ChangeDialogShowsAndStoresTheRecord) {
  ChangeRecords.changes[2] = {kDosWord, "01.02.2023", "Mey", "line 1\r\nline 2"};
  TForm_EinAend form(2);
  EXPECT_EQ(form.windowTitle(), "Modification 2");
  EXPECT_EQ(Find<QPushButton>(form, "Button_datum")->text(), QString("<") + kToday);
  EXPECT_EQ(Text(form, "Edit_aenderung"), kShownWord);
  EXPECT_EQ(Text(form, "Edit_datum"), "01.02.2023");
  auto* memo = Find<QPlainTextEdit>(form, "Memo_beschreibung");
  EXPECT_EQ(memo->toPlainText(), "line 1\nline 2");

  Type(form, "Edit_aenderung", kShownWord + " 2");
  Click(form, "Button_datum");
  Type(form, "Edit_bearbeiter", "Kim");
  memo->setPlainText(QString::fromUtf8("\u00fcber\nzwei\nZeilen"));
  AbortFlag = true;
  Click(form, "Button_ok");
  EXPECT_FALSE(AbortFlag);
  const TChangeRecord& r = ChangeRecords.changes[2];
  EXPECT_EQ(r.modification, kDosWord + " 2");
  EXPECT_EQ(r.date, kToday);
  EXPECT_EQ(r.editor, "Kim");
  // Line breaks are held as CR LF, as the data file expects them.
  EXPECT_EQ(r.description, "\201ber\r\nzwei\r\nZeilen");
}

TEST_F(DocumentationDialogsTest, CancelAndEscapeSetAbortFlagAndStoreNothing) {
  const TDocumentSlots savedSlots = DocumentSlots;
  const std::function<QDialog*()> makers[] = {
      [] { return new TForm_EinAend(1); }, [] { return new TForm_zeichInfo; },
      [] { return new TForm_confDoku; }, [] { return new TForm_qmeingabetext; }};
  for (const auto& make : makers) {
    for (bool escape : {false, true}) {
      std::unique_ptr<QDialog> form(make());
      for (QLineEdit* e : form->findChildren<QLineEdit*>()) e->setText("changed");
      AbortFlag = false;
      if (escape) {
        form->reject();
      } else {
        Click(*form, "Button_cancel");
      }
      EXPECT_TRUE(AbortFlag) << form->objectName().toStdString();
    }
  }
  EXPECT_EQ(ChangeRecords.changes[1].modification, "");
  EXPECT_EQ(ChangeRecords.drawingInfo[kReplacementFor], "");
  EXPECT_EQ(DocumentSlots, savedSlots);
  EXPECT_EQ(DrawingTexts[1], "");
  EXPECT_EQ(PartNames.partName[1], "");
}

TEST_F(DocumentationDialogsTest, ChangeFieldsAreLimitedButLongerRecordsStayWhole) {
  {
    TForm_EinAend form(1);
    auto* memo = Find<QPlainTextEdit>(form, "Memo_beschreibung");
    // 100 lines of two characters: each line break counts as CR LF.
    QString text;
    for (int i = 0; i < 100; ++i) text += "ab\n";
    memo->insertPlainText(text);
    Click(form, "Button_ok");
    EXPECT_LE(ChangeRecords.changes[1].description.size(), 255u);
    EXPECT_GE(ChangeRecords.changes[1].description.size(), 253u);
    EXPECT_EQ(ChangeRecords.changes[1].description.substr(0, 8), "ab\r\nab\r\n");
  }
  // A data file may hold longer texts than the fields take; OK must not cut them.
  const std::string longMod(30, 'm');
  const std::string longDescription(300, 'd');
  ChangeRecords.changes[3] = {longMod, "01.02.2023", "Schmidt", longDescription};
  TForm_EinAend form(3);
  Click(form, "Button_ok");
  EXPECT_EQ(ChangeRecords.changes[3].modification, longMod);
  EXPECT_EQ(ChangeRecords.changes[3].description, longDescription);
}

// Ctrl+V in the listing window, the Description and a message's remedy: with no program owning
// the clipboard nothing changes and the program goes on; a text is pasted. Only a real X server
// hands a paste a clipboard nobody owns, so the test runs again in a child on an Xvfb of its own
// (which picks a free display and tells it once ready).
TEST_F(DocumentationDialogsTest, PasteTakesWhatTheClipboardOffers) {
  if (QGuiApplication::platformName() != "xcb") {
    const QString xvfb = QStandardPaths::findExecutable("Xvfb");
    REQUIRE_OR_SKIP(!xvfb.isEmpty(), "Xvfb is missing", "Xvfb is missing");
    QProcess server, child;
    server.start(xvfb, {"-displayfd", "1"});
    QByteArray display;
    while (!display.contains('\n') && server.waitForReadyRead(30000))
      display += server.readAllStandardOutput();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("DISPLAY", ":" + QString::fromLatin1(display.trimmed()));
    environment.remove("XAUTHORITY");
    environment.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");  // no session bus to leak on
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=DocumentationDialogsTest.PasteTakesWhatTheClipboardOffers"});
    child.waitForFinished(300000);
    const QString output = child.readAll();
    server.terminate();
    server.waitForFinished();
    EXPECT_TRUE(child.exitStatus() == QProcess::NormalExit &&
                output.contains("[  PASSED  ] 1 test."))
        << output.toStdString();
    return;
  }
  const std::pair<std::function<QDialog*()>, const char*> boxes[] = {
      {[] { return new TForm_showtextfile; }, "Memo1"},
      {[] { return new TForm_EinAend(1); }, "Memo_beschreibung"},
      {[] { return new Thelperr; }, "Memo_abhilfe"}};
  for (const auto& [make, name] : boxes) {
    for (const QString offered : {QString(), QStringLiteral("pasted")}) {
      std::unique_ptr<QDialog> form(make());
      auto* memo = Find<QPlainTextEdit>(*form, name);
      memo->setPlainText("kept ");
      memo->moveCursor(QTextCursor::End);
      offered.isEmpty() ? QGuiApplication::clipboard()->clear()
                        : QGuiApplication::clipboard()->setText(offered);
      QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
      EXPECT_EQ(memo->toPlainText(), "kept " + offered) << name;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Drawing information

TEST_F(DocumentationDialogsTest, DrawingInformationShowsAndStoresTheApprovalRows) {
  PlotSettings.ReleaseRowLabel = "Release";
  auto& info = ChangeRecords.drawingInfo;
  info[kComplName] = "Mey";
  info[kReleaseName] = kDosWord;
  info[kReplacementFor] = "A-100";
  TForm_zeichInfo form;
  EXPECT_EQ(form.windowTitle(), "Info drawing");
  EXPECT_EQ(Find<QTableWidget>(form, "StringGrid1")->verticalHeaderItem(3)->text(), "Release");
  EXPECT_EQ(Cell(form, "StringGrid1", 0, 1), "Mey");
  EXPECT_EQ(Cell(form, "StringGrid1", 3, 1), kShownWord);
  EXPECT_EQ(Text(form, "Edit_ersatzfuer"), "A-100");
  EXPECT_EQ(Find<QPushButton>(form, "Button2")->text(), QString("< ") + kToday);

  Click(form, "Button2");
  SetCell(form, "StringGrid1", 2, 1, "Kim");
  SetCell(form, "StringGrid1", 3, 0, "02.02.2022");
  Type(form, "Edit_ersetztdurch", kShownWord);
  Click(form, "Button_ok");
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(info[kCheckDate], kToday);
  EXPECT_EQ(info[kStandName], "Kim");
  EXPECT_EQ(info[kReleaseDate], "02.02.2022");
  EXPECT_EQ(info[kReleaseName], kDosWord);
  EXPECT_EQ(info[kReplacedBy], kDosWord);
}

TEST_F(DocumentationDialogsTest, DrawingTextsAreTakenUpToTheFirstEmptyText) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, QString>> texts;  // grid row (0-based) and its text
    int count;
    QString firstY = {};  // typed into row 1's y
    int shown = 0;        // records the dialog opens with (row 1 zero, its text empty)
  };
  const Case cases[] = {
      {"an empty grid adds no record", {}, 0},
      {"an empty record shown and left alone goes", {}, 0, {}, 1},
      {"a gap ends the texts", {{0, "A"}, {1, "B"}, {3, "D"}}, 2},
      {"blanks only count as empty", {{0, "A"}, {1, "   "}, {2, "C"}}, 1},
      {"row 1 is taken without text when row 2 follows", {{1, "B"}}, 2},
      {"row 1 is taken without text when a number was typed", {}, 1, "12"},
      {"a text of blanks in row 1 alone is nothing", {{0, "  "}}, 0},
  };
  for (const Case& c : cases) {
    ChangeRecords.textCount = static_cast<std::uint16_t>(c.shown);
    ChangeRecords.texts[1] = c.shown ? TDrawingTextRecord{} : TDrawingTextRecord{9, 9, 9, 9, "old"};
    TForm_zeichInfo form;
    for (const auto& [row, text] : c.texts) SetCell(form, "StringGrid2", row, 4, text);
    if (!c.firstY.isEmpty()) SetCell(form, "StringGrid2", 0, 1, c.firstY);
    Click(form, "Button_ok");
    EXPECT_EQ(ChangeRecords.textCount, c.count) << c.name;
    if (!c.firstY.isEmpty()) EXPECT_EQ(ChangeRecords.texts[1].y, 12.0L) << c.name;
  }
}

TEST_F(DocumentationDialogsTest, DrawingTextNumbersKeepTheirDigitsUnlessEdited) {
  ChangeRecords.textCount = 2;
  ChangeRecords.texts[1] = {123.456789L, 7.25L, 3.5L, 90.0L, kDosWord};
  ChangeRecords.texts[2] = {10.0L, 20.0L, 2.5L, 0.0L, "two"};
  TForm_zeichInfo form;
  EXPECT_EQ(Cell(form, "StringGrid2", 0, 1), "7.25");

  SetCell(form, "StringGrid2", 1, 0, "12,5");  // a comma counts as the decimal point
  SetCell(form, "StringGrid2", 1, 1, "abc");   // no number: 0
  SetCell(form, "StringGrid2", 2, 4, "three");
  SetCell(form, "StringGrid2", 2, 2, "4");
  Click(form, "Button_ok");
  ASSERT_EQ(ChangeRecords.textCount, 3);
  // Shown with fewer digits and left alone: the value as it was.
  EXPECT_EQ(ChangeRecords.texts[1].x, 123.456789L);
  EXPECT_EQ(ChangeRecords.texts[2].x, 12.5L);
  EXPECT_EQ(ChangeRecords.texts[2].y, 0.0L);
  EXPECT_EQ(ChangeRecords.texts[3].height, 4.0L);
  EXPECT_EQ(ChangeRecords.texts[3].text, "three");
}

// ---------------------------------------------------------------------------------------------
// Document slots

TEST_F(DocumentationDialogsTest, DocumentSetupStoresTypedAndChosenNames) {
  ScriptedDialogHost host;
  DocumentSlots[2].file = "/home/u/notes.txt";
  TForm_confDoku form;
  EXPECT_EQ(Text(form, "Edit_prog3"), "mspaint.exe");
  EXPECT_EQ(Text(form, "Edit_file2"), "/home/u/notes.txt");
  Type(form, "Edit_file5", "/home/u/sheet one.ods");
  host.AnswerFile("/usr/bin/gedit");
  Click(form, "Button_prog5");
  host.AnswerCancel();  // a cancelled choice leaves the field
  Click(form, "Button_file2");
  Click(form, "Button_ok");
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(DocumentSlots[5], (TDocumentSlot{"/usr/bin/gedit", "/home/u/sheet one.ods"}));
  EXPECT_EQ(DocumentSlots[2].file, "/home/u/notes.txt");
}

// ---------------------------------------------------------------------------------------------
// Part names and drawing texts

TEST_F(DocumentationDialogsTest, DrawingTextDialogEditsPartNamesAndTwoTexts) {
  PartNames.partName[2] = kDosWord;
  DrawingTexts[1] = "one";
  DrawingTexts[3] = "header";
  TForm_qmeingabetext form;
  EXPECT_EQ(form.windowTitle(), "VUKO   involute spline");
  EXPECT_EQ(Text(form, "Edit_zeichname2"), kShownWord);

  struct Field {
    const char* edit;
    std::string* value;
  };
  const Field fields[] = {{"Edit_zeichnr1", &PartNames.drawingNumber[1]},
                          {"Edit_zeichname1", &PartNames.partName[1]},
                          {"Edit_zeichname21", &PartNames.secondName[1]},
                          {"Edit_zeichnr2", &PartNames.drawingNumber[2]},
                          {"Edit_zeichname2", &PartNames.partName[2]},
                          {"Edit_zeichname22", &PartNames.secondName[2]},
                          {"Edit_info1", &DrawingTexts[1]},
                          {"Edit_info2", &DrawingTexts[2]}};
  for (const Field& f : fields) Type(form, f.edit, QString(f.edit) + kShownWord);
  Click(form, "Button_ok");
  EXPECT_FALSE(AbortFlag);
  for (const Field& f : fields) EXPECT_EQ(*f.value, std::string(f.edit) + kDosWord) << f.edit;
  EXPECT_EQ(DrawingTexts[3], "header");

  // The dialog takes no more than the listing's header line shows whole: name, a blank, the
  // drawing number.
  TForm_qmeingabetext again;
  Type(again, "Edit_zeichname1", QString(50, 'N'));
  Type(again, "Edit_zeichnr1", QString(30, '7'));
  Click(again, "Button_ok");
  const std::string line = FormatNumberedTitle(PartNames.partName[1], PartNames.drawingNumber[1]);
  EXPECT_EQ(TrimStr(line), PartNames.partName[1] + " No.: " + PartNames.drawingNumber[1]);
}

// ---------------------------------------------------------------------------------------------
// Through the installed forms

// Presses the buttons of the next modal dialog once it is up.
void WhenModal(std::function<void(QWidget&)> act) {
  auto* timer = new QTimer(gui_test::TestScope().data());
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    if (QWidget* w = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      act(*w);
    }
  });
  timer->start(0);
}

TEST_F(DocumentationDialogsTest, TheChangesMenuRunsTheInstalledChangeDialog) {
  InstallDocumentationForms();
  int shown = 0;
  InstallShowTextFileHook([&shown](const std::string&, const std::string&) { ++shown; });
  const app_test::ScratchDir temp;
  ProgramSettings.tempDirectory = temp.Path();

  WhenModal([](QWidget& w) {
    EXPECT_EQ(w.objectName(), "TForm_EinAend");
    EXPECT_EQ(Text(w, "Edit_datum"), kToday);
    Type(w, "Edit_aenderung", "new hub bore");
    Click(w, "Button_ok");
  });
  ChangeCommand(kChangeNew);
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(ChangeRecords.count, 1);
  EXPECT_EQ(ChangeRecords.changes[1].modification, "new hub bore");
  EXPECT_EQ(shown, 1);

  WhenModal([](QWidget& w) { Click(w, "Button_cancel"); });
  EditDrawingTexts();
  EXPECT_TRUE(AbortFlag);

  InstallShowTextFileHook({});
  InstallDocumentationDialogs({});
}

// A separator typed into a field is taken out, and a message names the field.
TEST_F(DocumentationDialogsTest, SeparatorsAreRefusedAsTheyAreTyped) {
  const std::string why = " cannot be stored there, it separates the fields of the data file";
  ScriptedDialogHost host;
  TForm_EinAend change(1);
  Find<QLineEdit>(change, "Edit_bearbeiter")->insert("A\nB");
  TForm_zeichInfo info;
  SetCell(info, "StringGrid1", 1, 1, "A|B");
  EXPECT_EQ(Text(change, "Edit_bearbeiter") + Cell(info, "StringGrid1", 1, 1), "ABAB");
  EXPECT_EQ(host.Messages(), (std::vector<std::string>{"responsible: a line break" + why,
                                                       "Info drawing, Check name: \"|\"" + why}));
}

// A character code page 850 lacks is taken out as typed and told; document slot names take any.
TEST_F(DocumentationDialogsTest, CharactersTheCodePageLacksAreRefusedAsTheyAreTyped) {
  const std::string why =
      "\" cannot be stored there, the file holds only the characters of code page 850";
  TForm_EinAend change(1);
  TForm_zeichInfo info;
  TForm_qmeingabetext texts;
  TForm_confDoku documents;
  const struct {
    QWidget* form;
    const char* control;  // a line edit, the memo, or row 1's text in the grid
    std::string field;    // empty: the text is kept
  } fields[] = {
      {&change, "Edit_bearbeiter", "responsible"},
      {&change, "Memo_beschreibung", "Description"},
      {&info, "StringGrid2", "Drawing text 1"},
      {&texts, "Edit_zeichnr1", "Drawing number (part 1)"},
      {&documents, "Edit_prog1", ""},
  };
  for (const std::string typed : {"€", "ł", "日"}) {
    for (const auto& f : fields) {
      SCOPED_TRACE(typed + " " + f.control);
      ScriptedDialogHost host;
      const QString text = QString::fromStdString("A" + typed + "B");
      QString shown;
      if (auto* memo = f.form->findChild<QPlainTextEdit*>(f.control)) {
        memo->setPlainText(text);
        shown = memo->toPlainText();
      } else if (auto* edit = f.form->findChild<QLineEdit*>(f.control)) {
        edit->clear();
        edit->insert(text);
        shown = edit->text();
      } else {
        SetCell(*f.form, f.control, 0, 4, text);
        shown = Cell(*f.form, f.control, 0, 4);
      }
      std::string seen = shown.toStdString();
      for (const std::string& m : host.Messages()) seen += " | " + m;
      EXPECT_EQ(seen,
                f.field.empty() ? "A" + typed + "B" : "AB | " + f.field + ": \"" + typed + why);
    }
  }
}

}  // namespace
