// The files a user keeps from one data file, "Größe ä.vuk" in a folder with a blank in its
// name, opened once from the command line (typed relative to another working folder) and once
// with File -> Open: the TXT export, the spreadsheet file, the printed picture and listing (PDF)
// and the HTML page all lie beside the data file as "<folder>/<base name>" + suffix. Their
// contents are read back by other programs: pdftotext and pdfinfo (poppler), html5lib under the
// system python3; the texts are compared with the names the file system holds (UTF-8).
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTimer>
#include <algorithm>
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
#include "common/dialog_host.h"
#include "common/file_utils.h"
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

using app_test::ReadBytes;
using app_test::ScratchDir;

const std::string kBase =
    "Gr\xC3\xB6\xC3\x9F"
    "e \xC3\xA4";  // "Größe ä" as the file system holds it

enum class Route { CommandLine, FileOpen };

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (char c : text) {
    if (c == '\n') {
      lines.emplace_back();
    } else if (c != '\r') {
      lines.back() += c;
    }
  }
  return lines;
}

bool ValidUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<int>(text.size())).toUtf8() ==
         QByteArray(text.data(), static_cast<int>(text.size()));
}

std::string Tool(const std::string& command) {
  return validator_support::Execute(command).output;
}

class KeptFilesTest : public ::testing::TestWithParam<Route> {
 protected:
  void SetUp() override {
    home_ = dir_.Make("home");
    setenv("HOME", home_.c_str(), 1);
    setenv("XDG_CACHE_HOME", dir_.Make("cache").c_str(), 1);
    folder_ = dir_.Make("my data");
    data_ = folder_ + "/" + kBase + ".vuk";
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
    ProgramSettings.ScreenWidth = 640;
    ProgramSettings.ScreenHeight = 480;
    facade_ = std::make_unique<TGraphicsFacade>();
    window_ = std::make_unique<TFtarvgra>();
    window_->resize(640, 480);
    window_->Canvas()->resize(640, 480);
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

  void Open(Route route) {
    if (route == Route::CommandLine) {
      // Typed relative to the working folder, which changes afterwards.
      const std::string before = std::filesystem::current_path().string();
      ASSERT_EQ(chdir(dir_.Path().c_str()), 0);
      SetProgramArguments({"my data/" + kBase + ".vuk"});
      const TStartUpOutcome outcome = EvaluateCommandLine();
      ASSERT_EQ(chdir(before.c_str()), 0);
      ASSERT_FALSE(outcome.endProgram);
      ASSERT_TRUE(ProgramSettings.FileFromCommandLine);
    } else {
      host_.AnswerFile(data_);
      FileOpen({});
      ShowResultPicture();  // what the window does after an open
    }
    ASSERT_FALSE(AbortFlag);
  }

  // The message of the host that said where a file went (the host has it in UTF-8).
  std::string LastMessage() const {
    const auto messages = host_.Messages();
    return messages.empty() ? std::string() : messages.back();
  }

  // Runs the result listing on a device.
  void Listing(int device) {
    ConfigVariables.OutputDevice = static_cast<std::uint16_t>(device);
    AbortFlag = false;
    ResultPrintout();
    ASSERT_FALSE(AbortFlag);
  }

  ScratchDir dir_;
  std::string home_, folder_, data_;
  ScriptedDialogHost host_;
  std::unique_ptr<TGraphicsFacade> facade_;
  std::unique_ptr<TFtarvgra> window_;
};

TEST_P(KeptFilesTest, EveryKeptFileLiesBesideTheDataFileNamedAfterIt) {
  Open(GetParam());
  const std::string stem = folder_ + "/" + kBase;
  EXPECT_EQ(KeptFileStem(), stem);
  EXPECT_EQ(DataFileFullPath(), data_);
  std::string title;
  SetWindowTitle(title);
  EXPECT_EQ(host_.Title(), "VUKO   involute spline  -  " + kBase + ".vuk");

  // TXT export: the whole path is told; the listing names the data file, in UTF-8.
  Listing(kDeviceTxtFile);
  const std::string txt = stem + ".txt";
  EXPECT_EQ(LastMessage(), "saved as " + txt);
  const std::string txtText = ReadBytes(txt);
  EXPECT_TRUE(ValidUtf8(txtText));
  ASSERT_GT(Lines(txtText).size(), 10u);
  EXPECT_EQ(Lines(txtText)[1], data_);

  // Printout -> Excel: the sheet names the data file, not the scratch listing behind it.
  PrintoutToExcel();
  ASSERT_FALSE(AbortFlag);
  const std::string csvText = ReadBytes(stem + ".csv");
  EXPECT_TRUE(ValidUtf8(csvText));
  ASSERT_GT(Lines(csvText).size(), 10u);
  EXPECT_EQ(Lines(csvText)[1], data_);

  // HTML page: the save dialog proposes the kept name; the page holds no machine path.
  host_.AnswerFile(stem + ".htm");
  Listing(kDeviceHtml);
  const auto saves = host_.RecordsOf(TDialogKind::SaveFile);
  ASSERT_FALSE(saves.empty());
  EXPECT_EQ(AddBackslash(saves.back().fileRequest.directory), folder_ + "/");
  EXPECT_EQ(saves.back().fileRequest.fileName, kBase);
  const std::string html = ReadBytes(stem + ".htm");
  EXPECT_EQ(html.rfind("<!DOCTYPE html>\n", 0), 0u) << html.substr(0, 80);
  EXPECT_EQ(html.find(dir_.Path()), std::string::npos);
  if (validator_support::HavePythonModule("html5lib")) {
    const std::string seen =
        Tool(SYSTEM_PYTHON3 " " VUKO_SOURCE_DIR "/tests/common/validator/html_check.py " +
             validator_support::Quote(stem + ".htm"));
    EXPECT_NE(seen.find("ENC utf-8"), std::string::npos) << seen;
    EXPECT_EQ(seen.find("ERR"), std::string::npos) << seen;
  }

  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed";
  const bool poppler = !Tool("command -v pdftotext pdfinfo").empty();

  // The listing printed: the print dialog offers the kept name, the PDF lands there.
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->accept();
  });
  Listing(kDevicePrinter);
  const std::string listingPdf = stem + "_listing.pdf";
  EXPECT_EQ(LastMessage(), "saved as " + listingPdf);
  if (poppler) {
    const std::string text =
        Tool("pdftotext -layout " + validator_support::Quote(listingPdf) + " -");
    EXPECT_NE(text.find(kBase + ".vuk"), std::string::npos) << text.substr(0, 800);
  }

  // File -> Print of the picture.
  EXPECT_EQ(PrintPdfFileName(), stem + "_picture.pdf");
  {
    TForm_printconf form;
    form.FormActivate();
    form.Button_okClick();
  }
  const std::string picturePdf = stem + "_picture.pdf";
  ASSERT_TRUE(app_test::Exists(picturePdf));
  if (poppler) {
    const std::string info = Tool("pdfinfo " + validator_support::Quote(picturePdf));
    // The job is named after the data file: its base name in UTF-8, as the PDF title.
    const std::size_t at = info.find("Title:");
    ASSERT_NE(at, std::string::npos) << info;
    const std::size_t from = info.find_first_not_of(' ', at + 6);
    EXPECT_EQ(info.substr(from, info.find('\n', from) - from), kBase) << info;
    // The picture's footer names the data file whole, however it was opened.
    const std::string text = Tool("pdftotext " + validator_support::Quote(picturePdf) + " -");
    EXPECT_NE(text.find(data_), std::string::npos) << text;
  }

  // Nothing else anywhere: no doubled extensions, no partial files, nothing in the home folder.
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder_))
    names.insert(e.path().filename().string());
  const std::set<std::string> expected = {kBase + ".vuk",         kBase + ".txt",
                                          kBase + ".csv",         kBase + ".htm",
                                          kBase + "_listing.pdf", kBase + "_picture.pdf"};
  EXPECT_EQ(names, expected);
  std::vector<std::string> inHome;
  for (const auto& e : std::filesystem::recursive_directory_iterator(home_))
    inHome.push_back(e.path().string());
  EXPECT_TRUE(inHome.empty()) << inHome.front();
}

INSTANTIATE_TEST_SUITE_P(Routes, KeptFilesTest,
                         ::testing::Values(Route::CommandLine, Route::FileOpen),
                         [](const ::testing::TestParamInfo<Route>& info) {
                           return info.param == Route::CommandLine ? "CommandLine" : "FileOpen";
                         });

}  // namespace
