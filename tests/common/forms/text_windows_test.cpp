// The text screen and the text-file viewer: what they show, the export of the shown text, and
// the viewer's position kept between openings.
#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <algorithm>
#include <vector>

#include "common/forms/gui_test_support.h"
#include "common/forms/text_screen.h"
#include "common/forms/text_viewer.h"
#include "common/graphics_settings.h"
#include "common/output_router.h"
#include "platform/temp_dir.h"

using namespace gui_test;

namespace {

class TextWindowTest : public QtHostTest {
 protected:
  void SetUp() override {
    QtHostTest::SetUp();
    InitGraphicsSettings();
  }
  void TearDown() override {
    SetTextEditorLauncher(nullptr);
    QtHostTest::TearDown();
  }
};

TEST_F(TextWindowTest, TextScreenShowsTheFirst22ScreenLines) {
  for (int i = 1; i <= 30; ++i) ScreenLines[i] = "Zeile " + std::to_string(i);
  ScreenLines[2] =
      "Gr\x94\xE1"
      "e";  // CP850: o-umlaut, sharp s
  std::string caption, shown;
  std::vector<qreal> advances;  // of every shown character, where the window's layout puts it
  ModalDriver driver;
  driver.Then([&](QWidget* w) {
    caption = w->windowTitle().toStdString();
    auto* memo = Child<QPlainTextEdit>(w, "Memo1");
    shown = memo->toPlainText().toStdString();
    QTextDocument* document = memo->document();
    for (QTextBlock line = document->begin(); line.isValid(); line = line.next()) {
      document->documentLayout()->blockBoundingRect(line);
      const QTextLine drawn = line.layout()->lineAt(0);
      for (int i = 0; i < line.text().size(); ++i)
        advances.push_back(drawn.cursorToX(i + 1) - drawn.cursorToX(i));
    }
    Click(w, "Button_ok");
  });
  ShowScreen();
  EXPECT_EQ(caption, "VUKO");
  std::string expected = "Zeile 1\nGr\u00f6\u00dfe";
  for (int i = 3; i <= 22; ++i) expected += "\nZeile " + std::to_string(i);
  EXPECT_EQ(shown, expected);
  // Drawn in columns: "i", "Z", "ß" and the blank advance alike on every line.
  ASSERT_EQ(advances.size(), QString::fromStdString(expected).remove(QLatin1Char('\n')).size());
  const auto [narrowest, widest] = std::minmax_element(advances.begin(), advances.end());
  EXPECT_GT(*narrowest, 0);
  EXPECT_NEAR(*narrowest, *widest, 0.01);
}

// The viewer shows the run's temporary copy; its title names the data file the listing is of.
TEST_F(TextWindowTest, ViewerShowsTheDisplayCopyTitledWithTheDataFile) {
  const std::string display = dir_ / "outwin.txt";
  io_test::WriteBytes(display, "Result listing\nm = 2,5 \u00b0\n");
  const struct {
    const char* name;
    std::string currentFile;
    bool fromCommandLine;
    std::string title;
  } cases[] = {
      {"no data file yet", "", false, "VUKO"},
      {"opened in the data directory", "joint", false, "VUKO    " + dir_.Path() + "/joint.vuk"},
      {"from the command line", dir_ / "sub dir/Welle \u00e4.vuk", true,
       "VUKO    " + dir_.Path() + "/sub dir/Welle \u00e4.vuk"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CurrentFileName = c.currentFile;
    ProgramSettings.FileFromCommandLine = c.fromCommandLine;
    TForm_showtextfile viewer;
    viewer.SetDisplayFile(display);
    viewer.show();
    EXPECT_EQ(Child<QPlainTextEdit>(&viewer, "Memo1")->toPlainText().toStdString(),
              "Result listing\nm = 2,5 \u00b0");
    EXPECT_EQ(viewer.windowTitle().toStdString(), c.title);
    viewer.close();
  }
}

// A box around CJK text keeps its right side in one column on the screen too: each wide
// character takes two cells (the side's place as the text layout puts it).
TEST_F(TextWindowTest, WideCharactersTakeTwoColumnsOfTheBox) {
  const std::string display = dir_ / "outwin.txt";
  // The last line's first characters lie beyond the 16-bit plane (CJK Extension B).
  io_test::WriteBytes(display,
                      "|  abcdefgh   |\n|  日本語が   |\n|  a日b本c    |\n|  ｶﾅ Ａ      |\n"
                      "|  𠀋𠀋a日b   |\n");
  TForm_showtextfile viewer;
  viewer.SetDisplayFile(display);
  viewer.show();
  auto* memo = Child<QPlainTextEdit>(&viewer, "Memo1");
  std::vector<int> sides;
  for (QTextBlock line = memo->document()->begin(); line.isValid(); line = line.next()) {
    QTextCursor side(line);
    side.setPosition(line.position() + line.text().lastIndexOf(QLatin1Char('|')));
    sides.push_back(memo->cursorRect(side).left());
  }
  ASSERT_EQ(sides.size(), 5u);
  for (int side : sides) EXPECT_NEAR(side, sides[0], 1);
}

TEST_F(TextWindowTest, ViewerReportsAMissingDisplayFile) {
  const std::string display = dir_ / "outwin.txt";
  Seen seen;
  ModalDriver driver;
  driver.Then(Note(seen));
  TForm_showtextfile viewer;
  viewer.SetDisplayFile(display);
  viewer.FormShow();
  EXPECT_EQ(seen.text, display + " not found !");
}

// Export writes what the window shows (edits included) and opens that file in the editor.
TEST_F(TextWindowTest, ExportWritesTheShownTextAndStartsTheEditor) {
  const std::string display = dir_ / "outwin.txt";
  io_test::WriteBytes(display, "line 1\nline 2\n");
  std::vector<std::string> opened;
  SetTextEditorLauncher([&](const std::string& name) {
    opened.push_back(name);
    return true;
  });
  TForm_showtextfile viewer;
  viewer.SetDisplayFile(display);
  viewer.show();
  auto* memo = Child<QPlainTextEdit>(&viewer, "Memo1");
  memo->moveCursor(QTextCursor::End);
  memo->insertPlainText(QString::fromUtf8("\nnote: \u00e4nderung"));
  viewer.mi_exportnotepadClick();
  EXPECT_EQ(io_test::ReadBytes(display), "line 1\nline 2\nnote: \u00e4nderung\n");
  EXPECT_EQ(opened, std::vector<std::string>{display});
  EXPECT_FALSE(AbortFlag);
  viewer.close();
}

// The viewer's own copy lies in the run's private directory; the editor gets a copy that stays
// when the run ends.
TEST_F(TextWindowTest, ExportFromTheRunsOwnCopyOutlivesTheRun) {
  setenv("XDG_CACHE_HOME", (dir_ / "cache").c_str(), 1);
  const std::string display = OutputTempDirectory() + "outwin.txt";
  io_test::WriteBytes(display, "line 1\n");
  std::vector<std::string> opened;
  SetTextEditorLauncher([&](const std::string& name) {
    opened.push_back(name);
    return true;
  });
  TForm_showtextfile viewer;
  viewer.SetDisplayFile(display);
  viewer.show();
  viewer.mi_exportnotepadClick();
  viewer.close();
  platform::RemovePrivateTempDirectory();  // the run ends
  unsetenv("XDG_CACHE_HOME");
  const std::string kept = dir_ / "cache/vuko/outwin.txt";
  EXPECT_EQ(opened, std::vector<std::string>{kept});
  EXPECT_EQ(io_test::ReadBytes(kept), "line 1\n");
}

TEST_F(TextWindowTest, ExportToAnUnwritablePlaceIsAFailure) {
  const std::string display = dir_ / "gone/outwin.txt";
  bool started = false;
  SetTextEditorLauncher([&](const std::string&) { return started = true; });
  Seen seen;
  ModalDriver driver;
  driver.Then(Note(seen)).Then(Note(seen));
  TForm_showtextfile viewer;
  viewer.SetDisplayFile(display);
  viewer.FormShow();  // the missing-file message
  viewer.mi_exportnotepadClick();
  EXPECT_TRUE(AbortFlag);
  EXPECT_FALSE(started);
  EXPECT_NE(seen.text.find(display), std::string::npos) << seen.text;
}

TEST_F(TextWindowTest, ViewerOpensWhereItWasLastClosed) {
  const std::string display = dir_ / "outwin.txt";
  io_test::WriteBytes(display, "x\n");
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  const QRect chosen(screen.left() + 30, screen.top() + 40, 420, 300);
  {
    TForm_showtextfile viewer;
    viewer.SetDisplayFile(display);
    viewer.show();
    viewer.setGeometry(chosen);
    viewer.mi_exitClick();
  }
  EXPECT_EQ(PrintSettings.TextWindowRect.left, chosen.left());
  EXPECT_EQ(PrintSettings.TextWindowRect.width, chosen.width());
  TForm_showtextfile again;
  EXPECT_EQ(again.geometry(), chosen);
}

// A stored place outside the screen (a configuration from a larger desktop) is moved back on.
TEST_F(TextWindowTest, StoredPlaceOutsideTheScreenIsBroughtBack) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  PrintSettings.TextWindowRect = {screen.right() + 500, screen.bottom() + 500, 400, 300};
  TForm_showtextfile viewer;
  EXPECT_TRUE(screen.contains(viewer.geometry())) << viewer.geometry().x();
  EXPECT_EQ(viewer.size(), QSize(400, 300));
}

}  // namespace
