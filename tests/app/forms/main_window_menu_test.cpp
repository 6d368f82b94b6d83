// The main window's menu driven item by item: each enabled item runs its command (a picture in
// the graphics window, a CAD code question, a listing, a dialog), the recent-file items follow
// the list, and the session written when the window goes lists the files opened.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "app/command_line.h"
#include "app/documentation_commands.h"
#include "app/documentation_records.h"
#include "app/forms/main_window.h"
#include "app/startup.h"
#include "common/config_file.h"
#include "common/file_utils.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "common/session_file.h"
#include "graphics/display_list.h"
#include "graphics/graphics_facade.h"
#include "platform/spreadsheet.h"
#include "platform/temp_dir.h"

namespace {

using app_test::ReadBytes;
using app_test::ScratchDir;
using app_test::WriteBytes;

// Closes every modal dialog a command opens (OK when accepting, else Cancel) and notes its
// class.
class ModalCloser {
 public:
  explicit ModalCloser(bool accept = false) {
    QObject::connect(&timer_, &QTimer::timeout, [this, accept] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        shown_.insert(modal->metaObject()->className());
        if (auto* dialog = qobject_cast<QDialog*>(modal))
          accept ? dialog->accept() : dialog->reject();
      }
    });
    timer_.start(5);
  }
  const std::set<std::string>& Shown() const { return shown_; }

 private:
  QTimer timer_;
  std::set<std::string> shown_;
};

class ThhMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", dir_.Make("xdg").c_str(), 1);
    maker_ = dir_.Make("xdg/tarveno");
    data_ = dir_.Make("data");
    const std::string misc = dir_.Make("misc");
    InitModules();
    SetProgramIdentity();
    ConfigVariables.ConfigDirectory = maker_ + "/";
    ConfigVariables.DefaultDataDirectory = data_;
    ProgramSettings.pltDirectory = dir_.Make("plt");
    ProgramSettings.tempDirectory = misc;
    ProgramSettings.dbfDirectory = misc;
    ProgramSettings.ediDirectory = misc;
    ProgramSettings.cadDirectory = misc;
    AbortFlag = false;
    WriteConfig();
    ConfigVariables.RecentFiles[1] = data_ + "/one.vuk";
    ConfigVariables.RecentFiles[2] = data_ + "/two.vuk";
    WriteSession();
    // The shipped example is the template and the two recent files.
    const std::string example = ReadBytes(std::string(VUKO_DATA_DIR) + "/example_x.vuk");
    ASSERT_FALSE(example.empty());
    for (const char* name : {"null.vuk", "one.vuk", "two.vuk"})
      WriteBytes(data_ + "/" + name, example);
    InitModules();
    ConfigVariables.ConfigDirectory = dir_.Make("empty") + "/";
    SetProgramArguments({});
    window_ = std::make_unique<Thh>();
    window_->show();
  }
  void TearDown() override { window_.reset(); }

  QAction* Item(const char* name) { return window_->MenuItem(QString::fromLatin1(name)); }
  std::string Text(const char* name) { return Item(name)->text().toStdString(); }
  // A recent-file item names its file: the whole path, or "/.../" and the name when the path is
  // long (as a deep temporary folder makes it).
  static bool NamesFile(const std::string& text, int n, const std::string& path) {
    const std::string number = "&" + std::to_string(n) + " ";
    const std::string name = path.substr(path.rfind('/') + 1);
    return text == number + path || text == number + "/.../" + name;
  }

  ScratchDir dir_;
  ScriptedDialogHost host_;
  // Sheets the spreadsheet link kept beside the data files; they are removed before each
  // command, so that a sheet seen afterwards was written by it.
  int WorkbookFiles() const {
    int n = 0;
    for (const auto& f : std::filesystem::directory_iterator(data_)) {
      n += f.path().extension() == ".csv";
    }
    return n;
  }
  void RemoveWorkbookFiles() const {
    for (const auto& f : std::filesystem::directory_iterator(data_)) {
      if (f.path().extension() == ".csv") std::filesystem::remove(f.path());
    }
  }

  std::string maker_, data_;
  std::unique_ptr<Thh> window_;
};

// What the items' commands show, as Observed() names it.
const std::vector<std::pair<std::string, std::vector<std::string>>> kItemEffects = {
    {"save dialog", {"mi_FileSave", "mi_FileSaveAs"}},  // first, while the template is unnamed
    {"picture",
     {"mi_file1", "mi_file2", "mi_viewQuick3", "mi_ViewQuick",
      "mi_viewfertigungszeichnungwellenabe", "mi_viewfertigungszeichnungwelle",
      "mi_viewfertigungszeichnungnabe", "mi_viewzahnprofilwellenabe", "mi_viewzahnprofilwelle",
      "mi_viewzahnprofilnabe", "mi_viewzahn1", "mi_viewzahn2", "mi_viewwerkzeugwelle",
      "mi_viewwerkzeugnabe", "mi_viewzahneingriff"}},
    // With a current file from here on.
    {"spreadsheet started", {"mi_OleStartExcel"}},
    {"workbook shown", {"mi_OleExportExcel", "mi_OlePrintoutExcel"}},
    {"choice CAD Code",
     {"mi_cadquick3", "mi_cadquick", "mi_cadfertigungszeichnung1", "mi_cadfertigungszeichnung2",
      "mi_cadbezugsprofil1", "mi_cadbezugsprofil2", "mi_cadzahnprofil12"}},
    // Listings in the text window; with no change yet, modify and delete show the protocol.
    {"listing",
     {"mi_viewausdruck", "mi_viewErrorMessages", "mi_docuShowChanges1", "mi_docuPrintChanges",
      "mi_docuModifyChanges", "mi_docudeleteChange"}},
    {"open dialog", {"mi_fileOpen", "mi_HelpHilfebild"}},  // no image list: a picture file
    {"choice Calculation done. Select message for more info or continue.",
     {"mi_helpErrorMessages"}},
    {"form TForm_qmeingabetext", {"mi_fileNew", "mi_EditText"}},  // New: the first of two
    {"form TForm_vukogeo", {"mi_editabmessungen"}},
    {"form TForm_preview", {"mi_fileOpenTable"}},
    {"form Tconfig", {"mi_fileConfig"}},
    {"form TForm_qm2config", {"mi_cadZahnprofilWelle", "mi_cadZahnprofilNabe"}},
    {"form TForm_tovpconf", {"mi_cadsetup"}},
    {"form TForm_printconf", {"mi_fileprint", "mi_fileprintersetup"}},
    {"form TForm_zeichInfo", {"mi_docdrawinginfo"}},
    {"form TForm_EinAend", {"mi_docuNewChange"}},
    {"form TForm_confDoku", {"mi_DocumentSetup"}},
    {"form TSysinfo", {"mi_helpSystemInfo"}},
    {"form TAboutBox", {"mi_HelpAbout"}},
    {"started", {"mi_Document1", "mi_Document2", "mi_Document3", "mi_Document4", "mi_Document5"}},
    {"language 1", {"mi_helplanguageDeutsch"}},
    {"language 7", {"mi_helplanguageRoman"}},
    {"language 8", {"mi_helplanguageKorea"}},
    {"language 12", {"mi_helplanguageChinese"}},
    {"language 2", {"mi_helplanguageEnglish"}},
    {"tour", {"mi_helpDemo"}},
    {"closed", {"mi_fileexit"}},
};

TEST_F(ThhMenuTest, EveryEnabledItemRunsItsCommand) {
  std::map<std::string, std::string> expected;
  for (const auto& [effect, items] : kItemEffects) {
    for (const std::string& item : items) expected[item] = effect;
  }
  for (QAction* action : window_->findChildren<QAction*>()) {
    const std::string name = action->objectName().toStdString();
    if (name.rfind("mi_", 0) != 0 || action->isSeparator() || action->menu()) continue;
    if (action->isEnabled() && (action->isVisible() || name.rfind("mi_file", 0) == 0)) {
      EXPECT_TRUE(expected.contains(name)) << "enabled item without a known command: " << name;
    }
  }
  platform::SetSpreadsheetOpener({"/bin/true"});
  std::string started;
  InstallProgramStarter([&started](const std::vector<std::string>& argv) {
    started = argv.back();
    return 0;
  });
  for (const auto& [effect, items] : kItemEffects) {
    for (const std::string& item : items) {
      SCOPED_TRACE(item);
      QAction* action = Item(item.c_str());
      if (action == window_->mi_viewErrorMessages) {
        AddError("Warning: test message");  // makes the item usable
        SetErrorMessageItemCaption(*window_);
      }
      ASSERT_TRUE(action->isEnabled());
      // The slots travel with the data files opened before.
      const int slot = item.back() - '0';
      if (effect == "started") DocumentSlots[slot] = {"/bin/true", "doc.txt"};
      window_->show();
      host_.Clear();
      // Programs a data file named start once the user agrees.
      if (effect == "started") host_.AnswerYes();
      started.clear();
      GraphicsFacade->GrClear();
      const int language = ConfigVariables.LanguageCode;
      RemoveWorkbookFiles();
      const int workbooks = WorkbookFiles();
      ModalCloser closer;
      action->trigger();
      QApplication::processEvents();

      std::string observed = DisplayList->Count() > 0 ? "picture" : "nothing";
      const auto& records = host_.Records();
      const auto questions = host_.RecordsOf(TDialogKind::Question);
      if (!window_->isVisible()) {
        observed = "closed";
      } else if (!questions.empty() && questions[0].prompt == "Quit demo mode ?") {
        observed = "tour";  // its commands went on as each was cancelled
      } else if (!closer.Shown().empty()) {
        observed = "form " + *closer.Shown().begin();
      } else if (!started.empty()) {
        observed = started == "doc.txt" ? "started" : started;
      } else if (item == "mi_OleStartExcel" && Item("mi_OleExportExcel")->isEnabled()) {
        observed = "spreadsheet started";
      } else if (WorkbookFiles() > workbooks) {
        observed = "workbook shown";
      } else if (ConfigVariables.LanguageCode != language) {
        observed = "language " + std::to_string(ConfigVariables.LanguageCode);
      } else if (!records.empty()) {
        const std::map<TDialogKind, std::string> kinds = {
            {TDialogKind::Choice, "choice " + records[0].prompt},
            {TDialogKind::LongText, "listing"},
            {TDialogKind::OpenFile, "open dialog"},
            {TDialogKind::SaveFile, "save dialog"}};
        observed = kinds.contains(records[0].kind) ? kinds.at(records[0].kind) : records[0].prompt;
      }
      EXPECT_EQ(observed, effect);
    }
  }
  InstallProgramStarter(nullptr);
  platform::SetSpreadsheetOpener({"xdg-open"});
}

TEST_F(ThhMenuTest, NewWithBothDialogsConfirmedStartsAnUnnamedModifiedDataSet) {
  Item("mi_file1")->trigger();
  ASSERT_EQ(CurrentFileName, "one");
  ModalCloser closer(true);
  Item("mi_fileNew")->trigger();
  EXPECT_EQ(closer.Shown(), (std::set<std::string>{"TForm_qmeingabetext", "TForm_vukogeo"}));
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(CurrentFileName, "");
  EXPECT_TRUE(DataModified);
  EXPECT_EQ(window_->windowTitle().toStdString(), "VUKO   involute spline");
  EXPECT_GT(DisplayList->Count(), 0u);  // the result picture
}

TEST_F(ThhMenuTest, CancelledDimensionDialogLeavesDataAndPicture) {
  const std::size_t picture = DisplayList->Count();
  ModalCloser closer;
  Item("mi_editabmessungen")->trigger();
  EXPECT_TRUE(AbortFlag);
  EXPECT_FALSE(DataModified);
  EXPECT_EQ(DisplayList->Count(), picture);
}

TEST_F(ThhMenuTest, LanguageSwitchKeepsTheMessageCountAndRecentFiles) {
  AddError("Warning: one");
  AddError("Warning: two");
  SetErrorMessageItemCaption(*window_);
  Item("mi_helplanguageDeutsch")->trigger();
  EXPECT_TRUE(Text("mi_viewErrorMessages").ends_with(" (2)")) << Text("mi_viewErrorMessages");
  EXPECT_TRUE(NamesFile(Text("mi_file1"), 1, data_ + "/one.vuk"));
}

TEST_F(ThhMenuTest, RecentFileItemsFollowTheListThatTheSessionKeeps) {
  EXPECT_TRUE(NamesFile(Text("mi_file1"), 1, data_ + "/one.vuk"));
  EXPECT_TRUE(NamesFile(Text("mi_file2"), 2, data_ + "/two.vuk"));
  EXPECT_TRUE(Item("mi_file2")->isVisible());
  EXPECT_FALSE(Item("mi_file3")->isVisible());
  EXPECT_TRUE(Item("N13")->isVisible());

  // The second file opened moves to the top; the title names it.
  Item("mi_file2")->trigger();
  EXPECT_EQ(CurrentFileName, "two");
  EXPECT_EQ(window_->windowTitle().toStdString(), "VUKO   involute spline  -  two.vuk");
  EXPECT_TRUE(NamesFile(Text("mi_file1"), 1, data_ + "/two.vuk"));
  EXPECT_TRUE(NamesFile(Text("mi_file2"), 2, data_ + "/one.vuk"));

  // A file saved under a new name comes first; a long path is shortened in the item only.
  const std::string deep = dir_.Make("a/very/deep/directory/for/the/spline/joints") + "/new.vuk";
  ASSERT_GE(deep.size(), 50u);
  host_.AnswerFile(deep);
  Item("mi_FileSaveAs")->trigger();
  EXPECT_EQ(ConfigVariables.RecentFiles[1], deep);
  EXPECT_EQ(Text("mi_file1"), "&1 /.../new.vuk");
  EXPECT_TRUE(Item("mi_file3")->isVisible());

  // Written anew when the window goes.
  std::remove((maker_ + "/vuko.cff").c_str());
  EXPECT_TRUE(window_->close());
  window_.reset();
  EXPECT_EQ(ReadBytes(maker_ + "/vuko.cff"), "vuko Session " + DirPart(deep) + "\n" + deep + "\n" +
                                                 data_ + "/two.vuk\n" + data_ + "/one.vuk\n\n");
}

}  // namespace
