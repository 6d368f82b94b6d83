// A message report printed through the router at 20 lines per page to PDF: qpdf counts the
// sheets, pdftotext reads each; every sheet is one listing page with its header and true total.
#include <QPrinter>
#include <fstream>

#include "common/formatting.h"
#include "common/forms/gui_test_support.h"
#include "common/forms/text_printing.h"
#include "common/graphics_settings.h"
#include "common/message_list.h"
#include "common/output_router.h"

using namespace gui_test;

namespace {

using ListingSheets = QtHostTest;

TEST_F(ListingSheets, EveryPrintedSheetIsOnePageWithItsHeaderAndTheTruePageTotal) {
  InitGraphicsSettings();
  InitOutputState();
  InitMessageList();
  ConfigVariables.AskOutputDevice = false;
  ProgramSettings.LinesPerPage = 20;
  ProgramSettings.ReportLineType = 1;
  const std::string pdf = dir_ / "listing.pdf";
  int pages = 0;
  InstallPrintTextFileHook([&](const std::string& name) {
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadListingLines(name, lines));
    pages = ListingPageCount(lines);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    ASSERT_TRUE(PrintListingTo(printer, lines, 1, pages));
  });
  std::ofstream err(dir_ / "vuko.err");  // each message explained in two lines
  for (int i = 0; i < 9; ++i) {
    AddError("Warning: " + IntStr(i) + " of nine");
    err << "Warning: " << i << " of nine\norigin of " << i << "\nremedy of " << i << std::endl;
  }
  ReportSetHeader("LISTING TITLE", "line one", "line two", "line three", "", 1);  // total wrong
  OutputOpen(kDevicePrinter);
  OutputRewrite();
  ReportAppendMessages();
  OutputClose();
  InstallPrintTextFileHook(nullptr);
  ASSERT_GT(pages, 2);
  EXPECT_EQ(io_test::CommandOutput("qpdf --show-npages '" + pdf + "'"),
            std::to_string(pages) + "\n");
  for (int sheet = 1; sheet <= pages; ++sheet) {
    const std::string s = std::to_string(sheet);
    const std::string text =
        io_test::CommandOutput("pdftotext -layout -f " + s + " -l " + s + " '" + pdf + "' -");
    EXPECT_EQ(text.substr(text.find_first_not_of(" \n\f"), 70), std::string(70, '*')) << text;
    EXPECT_NE(text.find("LISTING TITLE"), std::string::npos) << text;
    EXPECT_NE(text.find("pg." + IntStrW(sheet, 2) + "/" + IntStrW(pages, 2)), std::string::npos)
        << text;
  }
}

}  // namespace
