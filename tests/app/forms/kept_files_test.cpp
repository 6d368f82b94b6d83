// The files kept from "Größe ä.vuk" in a folder with a blank, opened from the command line and by
// File -> Open: each lies beside the data file as "<folder>/<base name><suffix>" and names the
// data file in UTF-8; the PDFs are read back with pdftotext (poppler).
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "app/command_line.h"
#include "app/excel_link.h"
#include "app/file_commands.h"
#include "app/forms/print_setup.h"
#include "app/startup.h"
#include "calc/result_printout.h"
#include "common/forms/text_printing.h"
#include "common/output_router.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "drawings/production_drawing.h"
#include "graphics/forms/graphics_window_form.h"
#include "graphics/graphics_facade.h"
#include "graphics/view_control.h"
#include "platform/spreadsheet.h"
#include "validator_support.h"

namespace {

const std::string kBase =
    "Gr\xC3\xB6\xC3\x9F"
    "e \xC3\xA4";  // "Größe ä" in UTF-8

class KeptFilesTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    setenv("HOME", dir_.Make("home").c_str(), 1);
    std::filesystem::copy_file(VUKO_DATA_DIR "/example_x.vuk", data_);
    InitModules();
    SetProgramIdentity();
    SetProgramArguments({});
    ConfigVariables.AskOutputDevice = false;
    ConfigVariables.HtmlBrowserPath.clear();   // the page is saved where the user says
    platform::SetSpreadsheetOpener({"true"});  // a spreadsheet that opens nothing
    InstallPrintTextFileHook(PrintTextFile);
    ResetPrinterObject();
    InitViewState();
    facade_ = std::make_unique<TGraphicsFacade>();
    window_ = std::make_unique<TFtarvgra>();
    window_->resize(640, 480);
    GraphicsWindowInstance = window_.get();
  }
  void TearDown() override {
    GraphicsWindowInstance = nullptr;
    window_.reset();
    facade_.reset();
    InstallPrintTextFileHook(nullptr);
    platform::SetSpreadsheetOpener({"xdg-open"});
    ResetPrinterObject();
    SetProgramArguments({});
  }

  app_test::ScratchDir dir_;
  const std::string folder_ = dir_.Make("my data");
  const std::string data_ = folder_ + "/" + kBase + ".vuk", stem_ = folder_ + "/" + kBase;
  ScriptedDialogHost host_;
  std::unique_ptr<TGraphicsFacade> facade_;
  std::unique_ptr<TFtarvgra> window_;
};

void Listing(int device) {
  ConfigVariables.OutputDevice = static_cast<std::uint16_t>(device);
  ResultPrintout();
}

TEST_P(KeptFilesTest, EveryKeptFileLiesBesideTheDataFileNamedAfterIt) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed";
  if (GetParam()) {  // the command line, relative to a working folder left afterwards
    const std::string before = std::filesystem::current_path().string();
    ASSERT_EQ(chdir(dir_.Path().c_str()), 0);
    SetProgramArguments({"my data/" + kBase + ".vuk"});
    ASSERT_FALSE(EvaluateCommandLine().endProgram);
    ASSERT_EQ(chdir(before.c_str()), 0);
  } else {  // File -> Open
    host_.AnswerFile(data_);
    FileOpen({});
    ShowResultPicture();  // what the window does after an open
  }
  ASSERT_FALSE(AbortFlag);

  Listing(kDeviceTxtFile);
  PrintoutToExcel();
  host_.AnswerFile(stem_ + ".htm");
  Listing(kDeviceHtml);
  QTimer::singleShot(
      0, [] { qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())->accept(); });
  Listing(kDevicePrinter);
  TForm_printconf form;  // File -> Print of the picture
  form.FormActivate();
  form.Button_okClick();
  ASSERT_FALSE(AbortFlag);
  // The page's save dialog proposed the kept name; the user is told where files went.
  ASSERT_EQ(host_.RecordsOf(TDialogKind::SaveFile).size(), 1u);
  EXPECT_EQ(host_.RecordsOf(TDialogKind::SaveFile)[0].fileRequest.fileName, kBase);
  EXPECT_EQ(host_.Messages(), (std::vector<std::string>{"saved as " + stem_ + ".txt",
                                                        "saved as " + stem_ + "_listing.pdf",
                                                        "saved as " + stem_ + "_picture.pdf"}));

  const bool poppler = !validator_support::Execute("command -v pdftotext").output.empty();
  const struct {
    std::string suffix, names;  // names: how the file's text names the data file
    bool pdf;
  } kept[] = {{".txt", data_, false},
              {".csv", data_, false},
              {".htm", "", false},  // the page names no file
              {"_listing.pdf", kBase + ".vuk", true},
              {"_picture.pdf", data_, true}};
  std::set<std::string> expected = {kBase + ".vuk"};
  for (const auto& k : kept) {
    SCOPED_TRACE(k.suffix);
    expected.insert(kBase + k.suffix);
    const std::string file = validator_support::Quote(stem_ + k.suffix);
    if (k.pdf && !poppler) continue;
    const std::string text = k.pdf ? validator_support::Execute("pdftotext " + file + " -").output
                                   : app_test::ReadBytes(stem_ + k.suffix);
    EXPECT_EQ(QString::fromUtf8(text).toStdString(), text);  // valid UTF-8
    EXPECT_NE(text.find(k.names), std::string::npos) << text.substr(0, 600);
  }
  const std::string html = app_test::ReadBytes(stem_ + ".htm");
  EXPECT_EQ(html.rfind("<!DOCTYPE html>\n", 0), 0u) << html.substr(0, 80);
  EXPECT_EQ(html.find(dir_.Path()), std::string::npos);  // no machine path in a page to share

  std::set<std::string> names;  // nothing else: no doubled extension, no partial file
  for (const auto& e : std::filesystem::directory_iterator(folder_))
    names.insert(e.path().filename().string());
  EXPECT_EQ(names, expected);
}

INSTANTIATE_TEST_SUITE_P(Routes, KeptFilesTest, ::testing::Bool());

}  // namespace
