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
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "app/command_line.h"
#include "app/documentation_commands.h"
#include "app/documentation_records.h"
#include "app/forms/thh.h"
#include "app/startup.h"
#include "calc/toothing_data.h"
#include "common/config_file.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "common/session_file.h"
#include "graphics/display_list.h"
#include "graphics/graphics_facade.h"

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
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
          if (accept) {
            dialog->accept();
          } else {
            dialog->reject();
          }
        }
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

  ScratchDir dir_;
  ScriptedDialogHost host_;
  std::string maker_, data_;
  std::unique_ptr<Thh> window_;
};

// What an item's command shows.
enum class Effect {
  Picture,   // a picture in the graphics window, nothing asked
  CadCode,   // the CAD code question (cancelled here)
  LongText,  // a listing in the text window
  Choice,    // a choice list
  OpenFile,  // the open dialog (cancelled)
  SaveFile,  // the save dialog (cancelled)
  Dialog,    // a modal form of the named class (cancelled)
  Closes,    // the window closes
  Started,   // the document program started with its file
  Language,  // the menu speaks another language
};

struct ItemCase {
  const char* item;
  Effect effect;
  const char* dialogClass = "";
  int language = 0;
};

const ItemCase kItems[] = {
    {"mi_fileNew", Effect::Dialog, "TForm_qmeingabetext"},  // the first of its two dialogs
    {"mi_fileOpen", Effect::OpenFile},
    {"mi_FileSave", Effect::SaveFile},  // the template has no name yet
    {"mi_FileSaveAs", Effect::SaveFile},
    {"mi_fileprint", Effect::Dialog, "TForm_printconf"},
    {"mi_fileprintersetup", Effect::Dialog, "TForm_printconf"},
    {"mi_file1", Effect::Picture},
    {"mi_file2", Effect::Picture},
    {"mi_fileexit", Effect::Closes},
    {"mi_EditText", Effect::Dialog, "TForm_qmeingabetext"},
    {"mi_editabmessungen", Effect::Dialog, "TForm_vukogeo"},
    {"mi_viewausdruck", Effect::LongText},
    {"mi_viewQuick3", Effect::Picture},
    {"mi_ViewQuick", Effect::Picture},
    {"mi_viewfertigungszeichnungwellenabe", Effect::Picture},
    {"mi_viewfertigungszeichnungwelle", Effect::Picture},
    {"mi_viewfertigungszeichnungnabe", Effect::Picture},
    {"mi_viewzahnprofilwellenabe", Effect::Picture},
    {"mi_viewzahnprofilwelle", Effect::Picture},
    {"mi_viewzahnprofilnabe", Effect::Picture},
    {"mi_viewzahn1", Effect::Picture},
    {"mi_viewzahn2", Effect::Picture},
    {"mi_viewwerkzeugwelle", Effect::Picture},
    {"mi_viewwerkzeugnabe", Effect::Picture},
    {"mi_viewzahneingriff", Effect::Picture},
    {"mi_viewErrorMessages", Effect::LongText},
    {"mi_cadquick3", Effect::CadCode},
    {"mi_cadquick", Effect::CadCode},
    {"mi_cadfertigungszeichnung1", Effect::CadCode},
    {"mi_cadfertigungszeichnung2", Effect::CadCode},
    {"mi_cadbezugsprofil1", Effect::CadCode},
    {"mi_cadbezugsprofil2", Effect::CadCode},
    {"mi_cadzahnprofil12", Effect::CadCode},
    {"mi_docdrawinginfo", Effect::Dialog, "TForm_zeichInfo"},
    {"mi_docuShowChanges1", Effect::LongText},
    {"mi_docuPrintChanges", Effect::LongText},
    {"mi_docuNewChange", Effect::Dialog, "TForm_EinAend"},
    {"mi_docuModifyChanges", Effect::LongText},  // no change yet: the protocol only
    {"mi_docudeleteChange", Effect::LongText},
    {"mi_Document1", Effect::Started},
    {"mi_Document2", Effect::Started},
    {"mi_Document3", Effect::Started},
    {"mi_Document4", Effect::Started},
    {"mi_Document5", Effect::Started},
    {"mi_DocumentSetup", Effect::Dialog, "TForm_confDoku"},
    {"mi_HelpHilfebild", Effect::OpenFile},  // no image list yet: the picture file is asked for
    {"mi_helpErrorMessages", Effect::Choice},
    {"mi_helpSystemInfo", Effect::Dialog, "TSysinfo"},
    {"mi_HelpAbout", Effect::Dialog, "TAboutBox"},
    {"mi_helplanguageDeutsch", Effect::Language, "", 1},
    {"mi_helplanguageRoman", Effect::Language, "", 7},
    {"mi_helplanguageKorea", Effect::Language, "", 8},
    {"mi_helplanguageChinese", Effect::Language, "", 12},
    {"mi_helplanguageEnglish", Effect::Language, "", 2},
};

TEST_F(ThhMenuTest, EveryEnabledItemRunsItsCommand) {
  // Messages make the message item usable.
  AddError("Warning: test message");
  SetErrorMessageItemCaption(*window_);
  std::vector<std::string> started;
  InstallProgramStarter([&started](const std::vector<std::string>& argv) {
    started.push_back(argv.back());
    return 0;
  });
  std::map<std::string, const ItemCase*> cases;
  for (const ItemCase& c : kItems) cases[c.item] = &c;

  for (QAction* action : window_->findChildren<QAction*>()) {
    const std::string name = action->objectName().toStdString();
    if (name.rfind("mi_", 0) != 0 || action->isSeparator() || action->menu()) continue;
    if (!action->isEnabled()) continue;
    if (!action->isVisible() && name.rfind("mi_file", 0) != 0) continue;
    const auto found = cases.find(name);
    ASSERT_NE(found, cases.end()) << "enabled item without a known command: " << name;
  }

  for (const ItemCase& c : kItems) {
    SCOPED_TRACE(c.item);
    QAction* action = Item(c.item);
    ASSERT_NE(action, nullptr);
    if (action == window_->mi_viewErrorMessages) {
      // Opening a file calculated again and may have emptied the list.
      AddError("Warning: test message");
      SetErrorMessageItemCaption(*window_);
    }
    ASSERT_TRUE(action->isEnabled());
    window_->show();
    host_.Clear();
    started.clear();
    const std::string fileMenuBefore = Text("mi_file");
    DataModified = false;
    GraphicsFacade->GrClear();
    if (c.effect == Effect::Started) {
      // The slots travel with the data files opened before.
      const int n = c.item[11] - '0';
      DocumentSlots[n] = {"/bin/true", "doc" + std::to_string(n) + ".txt"};
    }
    ModalCloser closer;
    action->trigger();
    QApplication::processEvents();
    const auto& records = host_.Records();
    switch (c.effect) {
      case Effect::Picture:
        EXPECT_GT(DisplayList->Count(), 0u);
        EXPECT_TRUE(records.empty()) << records.front().prompt;
        break;
      case Effect::CadCode:
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].prompt, "CAD Code");
        break;
      case Effect::LongText:
        EXPECT_EQ(host_.RecordsOf(TDialogKind::LongText).size(), 1u);
        break;
      case Effect::Choice:
        EXPECT_EQ(host_.RecordsOf(TDialogKind::Choice).size(), 1u);
        break;
      case Effect::OpenFile:
        EXPECT_EQ(host_.RecordsOf(TDialogKind::OpenFile).size(), 1u);
        break;
      case Effect::SaveFile:
        EXPECT_EQ(host_.RecordsOf(TDialogKind::SaveFile).size(), 1u);
        break;
      case Effect::Dialog:
        EXPECT_EQ(closer.Shown(), std::set<std::string>{c.dialogClass});
        break;
      case Effect::Closes:
        EXPECT_FALSE(window_->isVisible());
        break;
      case Effect::Started:
        EXPECT_EQ(started,
                  std::vector<std::string>{"doc" + std::string(c.item).substr(11) + ".txt"});
        break;
      case Effect::Language:
        EXPECT_EQ(ConfigVariables.LanguageCode, c.language);
        EXPECT_NE(Text("mi_file"), fileMenuBefore);
        break;
    }
  }
  InstallProgramStarter(nullptr);
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
  EXPECT_EQ(Text("mi_file1"), "&1 " + data_ + "/one.vuk");
}

TEST_F(ThhMenuTest, RecentFileItemsFollowTheList) {
  EXPECT_EQ(Text("mi_file1"), "&1 " + data_ + "/one.vuk");
  EXPECT_EQ(Text("mi_file2"), "&2 " + data_ + "/two.vuk");
  EXPECT_TRUE(Item("mi_file2")->isVisible());
  EXPECT_FALSE(Item("mi_file3")->isVisible());
  EXPECT_TRUE(Item("N13")->isVisible());

  // The second file opened moves to the top; the title names it.
  Item("mi_file2")->trigger();
  EXPECT_EQ(CurrentFileName, "two");
  EXPECT_EQ(window_->windowTitle().toStdString(), "VUKO   involute spline  -  two.vuk");
  EXPECT_EQ(Text("mi_file1"), "&1 " + data_ + "/two.vuk");
  EXPECT_EQ(Text("mi_file2"), "&2 " + data_ + "/one.vuk");

  // A file saved under a new name comes first; a long path is shortened in the item only.
  const std::string deep = dir_.Make("a/very/deep/directory/for/the/spline/joints") + "/new.vuk";
  ASSERT_GE(deep.size(), 50u);
  host_.AnswerFile(deep);
  Item("mi_FileSaveAs")->trigger();
  EXPECT_EQ(ConfigVariables.RecentFiles[1], deep);
  EXPECT_EQ(Text("mi_file1"), "&1 /.../new.vuk");
  EXPECT_TRUE(Item("mi_file3")->isVisible());
}

TEST_F(ThhMenuTest, SessionWrittenOnCloseListsTheFilesOpened) {
  Item("mi_file2")->trigger();
  ASSERT_FALSE(AbortFlag);
  host_.AnswerFile(data_ + "/one.vuk");
  Item("mi_fileOpen")->trigger();
  ASSERT_FALSE(AbortFlag);
  std::remove((maker_ + "/vuko.cff").c_str());
  EXPECT_TRUE(window_->close());
  window_.reset();
  const std::string session = ReadBytes(maker_ + "/vuko.cff");
  EXPECT_EQ(session,
            "vuko Session " + data_ + "/\n" + data_ + "/one.vuk\n" + data_ + "/two.vuk\n\n\n");
}

TEST_F(ThhMenuTest, CancellingTheSaveQuestionKeepsTheDataSet) {
  Item("mi_file1")->trigger();
  DataModified = true;
  ToothingData.z[1] = 19;
  host_.AnswerCancel();
  Item("mi_fileNew")->trigger();
  EXPECT_EQ(host_.RecordsOf(TDialogKind::Question).size(), 1u);
  EXPECT_EQ(ToothingData.z[1], 19);
  EXPECT_EQ(CurrentFileName, "one");
  EXPECT_TRUE(DataModified);
}

}  // namespace
