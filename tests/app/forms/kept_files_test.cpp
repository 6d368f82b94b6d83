// Files kept from a data file named in any script lie beside it named after it, and name it
// exactly.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <functional>

#include "app/app_test_support.h"
#include "app/command_line.h"
#include "app/data_file.h"
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
#include "gui_environment.h"
#include "platform/spreadsheet.h"
#include "validator_support.h"

const char* const kNames[] = {"Größe ä", "Preis € 日本", "łukasz Čeština"};
enum class TRoute { CommandLineAbsolute, CommandLineRelative, FileOpen };

class KeptFilesTest : public ::testing::TestWithParam<std::tuple<int, TRoute>> {
 protected:
  void SetUp() override {
    setenv("HOME", dir_.Make("home").c_str(), 1);
    std::filesystem::copy_file(VUKO_DATA_DIR "/example_x.vuk", data_);
    InitModules();
    SetProgramIdentity();
    ConfigVariables.AskOutputDevice = false;
    ConfigVariables.HtmlBrowserPath.clear();   // the page is saved where the user says
    platform::SetSpreadsheetOpener({"true"});  // a spreadsheet that opens nothing
    InstallPrintTextFileHook(PrintTextFile);
    ResetPrinterObject();
    InitViewState();
  }
  void TearDown() override {
    std::filesystem::current_path(cwd_);
    InstallPrintTextFileHook(nullptr);
    platform::SetSpreadsheetOpener({"xdg-open"});
    ResetPrinterObject();
    SetProgramArguments({});
  }

  app_test::ScratchDir dir_;
  const std::string base_ = kNames[std::get<0>(GetParam())];
  const std::string stem_ = dir_.Make(base_) + "/" + base_, data_ = stem_ + ".vuk";
  const std::filesystem::path cwd_ = std::filesystem::current_path();
  ScriptedDialogHost host_;
};

TEST_P(KeptFilesTest, EveryKeptFileLiesBesideTheDataFileNamedAfterIt) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed";
  if (base_.find("日") != std::string::npos) {
    REQUIRE_OR_SKIP(gui_test::HaveCjkFont(), "no font for Chinese",
                    "no font for Chinese (fonts-noto-cjk)");
  }
  TGraphicsFacade facade;
  TFtarvgra window;
  const TRoute route = std::get<1>(GetParam());
  if (route == TRoute::CommandLineAbsolute) {
    SetProgramArguments({data_});
    ASSERT_FALSE(EvaluateCommandLine().endProgram);
  } else if (route == TRoute::CommandLineRelative) {
    std::filesystem::current_path(dir_.Path());
    SetProgramArguments({base_ + "/" + base_ + ".vuk"});  // then the program changes folders
    ASSERT_FALSE(EvaluateCommandLine().endProgram);
    std::filesystem::current_path(dir_.Make("home"));
  } else {  // File -> Open, then the picture the window shows
    host_.AnswerFile(data_);
    FileOpen({});
    ShowResultPicture();
  }
  host_.AnswerFile(stem_ + ".htm");  // where the page goes
  for (const auto device : {kDeviceTxtFile, kDeviceDataTxt, kDeviceHtml, kDevicePrinter}) {
    if (device == kDevicePrinter)  // the print dialog: print to a PDF file
      gui_test::After(
          0, [] { qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())->accept(); });
    ConfigVariables.OutputDevice = device;
    ResultPrintout();
  }
  PrintoutToExcel();
  TForm_printconf form;  // File -> Print of the picture
  form.FormActivate();
  form.Button_okClick();
  for (const std::string suffix : {".txt", ".csv", ".htm", "_listing.pdf", "_picture.pdf"}) {
    const std::string text =
        suffix.ends_with("pdf")
            // pdftotext reads "日" as the Kangxi radical sharing its glyph: NFKC folds it back.
            ? validator_support::Execute("pdftotext " + validator_support::Quote(stem_ + suffix) +
                                         " - | " SYSTEM_PYTHON3
                                         " -c 'import sys, unicodedata; sys.stdout.write("
                                         "unicodedata.normalize(\"NFKC\", sys.stdin.read()))'")
                  .output
            : app_test::ReadBytes(stem_ + suffix);
    EXPECT_EQ(QString::fromUtf8(text).toStdString(), text) << suffix;  // valid UTF-8
    if (suffix == ".htm") continue;  // a page to share names no folder
    // The printed listing's header box and the picture's footer are narrow: a long path (a deep
    // temporary folder) is shortened there, keeping its end, the file's name.
    const bool shortened = suffix.ends_with("pdf") && text.find(base_ + ".vuk") != text.npos;
    EXPECT_TRUE(text.find(data_) != text.npos || shortened) << suffix << text.substr(0, 600);
  }
  const std::string html = app_test::ReadBytes(stem_ + ".htm");
  EXPECT_EQ(html.rfind("<!DOCTYPE html>\n", 0), 0u) << html.substr(0, 80);
  EXPECT_EQ(html.find(dir_.Path()), std::string::npos);  // no machine path in a page to share
  // The data file and the five above, nothing else: no doubled extension, no partial file.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_ / base_), {}), 6);

  // Kept again, or saved after another program changed it: the question names the file exactly.
  const auto asks = [this](const std::function<void()>& keep, const std::string& prompt) {
    host_.Clear();
    host_.AnswerNo();
    keep();
    ASSERT_FALSE(host_.Records().empty());
    EXPECT_EQ(host_.Records().front().prompt, prompt);
  };
  ConfigVariables.OutputDevice = kDeviceTxtFile;
  asks(ResultPrintout, stem_ + ".txt already exists.   overwrite ?");
  app_test::WriteBytes(data_, app_test::ReadBytes(data_) + "\n");
  asks([this] { WriteDataFile(data_); },
       data_ + " was changed on disk since it was read or saved here.   overwrite ?");
  EXPECT_TRUE(AbortFlag);
}

INSTANTIATE_TEST_SUITE_P(Names, KeptFilesTest,
                         ::testing::Combine(::testing::Range(0, 3),
                                            ::testing::Values(TRoute::CommandLineAbsolute,
                                                              TRoute::CommandLineRelative,
                                                              TRoute::FileOpen)));
