// Files kept from "Größe ä.vuk" in a folder with a blank: named after it, naming it in UTF-8.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QTimer>

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
#include "gui_environment.h"
#include "platform/spreadsheet.h"
#include "validator_support.h"

const std::string kBase = "Größe ä";

class KeptFilesTest : public ::testing::TestWithParam<bool> {
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
    InstallPrintTextFileHook(nullptr);
    platform::SetSpreadsheetOpener({"xdg-open"});
    ResetPrinterObject();
    SetProgramArguments({});
  }

  app_test::ScratchDir dir_;
  const std::string stem_ = dir_.Make("my data") + "/" + kBase, data_ = stem_ + ".vuk";
  ScriptedDialogHost host_;
};

TEST_P(KeptFilesTest, EveryKeptFileLiesBesideTheDataFileNamedAfterIt) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed";
  TGraphicsFacade facade;
  TFtarvgra window;
  if (GetParam()) {  // the command line
    SetProgramArguments({data_});
    ASSERT_FALSE(EvaluateCommandLine().endProgram);
  } else {  // File -> Open, then the picture the window shows
    host_.AnswerFile(data_);
    FileOpen({});
    ShowResultPicture();
  }
  host_.AnswerFile(stem_ + ".htm");  // where the page goes
  // The text export, then the listing of device 9 ("Text Device 9" set) over it.
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
            ? validator_support::Execute("pdftotext '" + stem_ + suffix + "' -").output
            : app_test::ReadBytes(stem_ + suffix);
    EXPECT_EQ(QString::fromUtf8(text).toStdString(), text) << suffix;  // valid UTF-8
    if (suffix != ".htm")
      EXPECT_NE(text.find(kBase + ".vuk"), std::string::npos) << suffix << text.substr(0, 600);
  }
  const std::string html = app_test::ReadBytes(stem_ + ".htm");
  EXPECT_EQ(html.rfind("<!DOCTYPE html>\n", 0), 0u) << html.substr(0, 80);
  EXPECT_EQ(html.find(dir_.Path()), std::string::npos);  // no machine path in a page to share
  // The data file and the five above, nothing else: no doubled extension, no partial file.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_ / "my data"), {}), 6);
}

INSTANTIATE_TEST_SUITE_P(Routes, KeptFilesTest, ::testing::Bool());
