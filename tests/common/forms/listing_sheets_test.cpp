// Sheets counted by qpdf and read by pdftotext: one per listing page, each headed, true total.
#include <QPrinter>

#include "common/formatting.h"
#include "common/forms/gui_test_support.h"
#include "common/forms/text_printing.h"
#include "common/output_router.h"
#include "validator_support.h"

using ListingSheets = gui_test::QtHostTest;

TEST_F(ListingSheets, EveryPrintedSheetIsOnePageWithItsHeaderAndTheTruePageTotal) {
  InitOutputState();
  ConfigVariables.AskOutputDevice = false;
  ProgramSettings.LinesPerPage = 20;
  const std::string pdf = dir_ / "listing.pdf";
  int pages = 0;
  InstallPrintTextFileHook([&](const std::string& name) {
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadListingLines(name, lines));
    pages = ListingPageCount(lines);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFileName(QString::fromStdString(pdf));
    ASSERT_TRUE(PrintListingTo(printer, lines, 1, pages));
  });
  std::ofstream err(dir_ / "vuko.err");  // each message explained in two lines
  for (int i = 0; i < 9; ++i) err << "Warning: " << i << "\norigin\nremedy" << std::endl;
  for (int i = 0; i < 9; ++i) AddError("Warning: " + IntStr(i));
  ReportSetHeader("LISTING TITLE", "line one", "line two", "", "", 1);  // the total 1 is wrong
  OutputOpen(kDevicePrinter);
  OutputRewrite();
  ReportAppendMessages();
  OutputClose();
  InstallPrintTextFileHook(nullptr);
  ASSERT_GT(pages, 2);
  EXPECT_EQ(io_test::CommandOutput("qpdf --show-npages " + validator_support::Quote(pdf)),
            IntStr(pages) + "\n");
  for (int sheet = 1; sheet <= pages; ++sheet) {
    const std::string s = IntStr(sheet) + " ";
    const std::string page = io_test::CommandOutput("pdftotext -f " + s + "-l " + s +
                                                    validator_support::Quote(pdf) + " -");
    EXPECT_NE(page.find("LISTING TITLE"), page.npos) << page;
    EXPECT_NE(page.find("pg." + IntStrW(sheet, 2) + "/" + IntStrW(pages, 2)), page.npos) << page;
  }
}
