// A long listing with a messages section, written through the router to the printer device with
// 20 lines per page and printed to PDF: qpdf counts the sheets, pdftotext reads each sheet. Every
// sheet must be one page of the listing that starts with its header and shows its own number and
// the true total.
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

std::string Sheet(const std::string& pdf, int sheet) {
  const std::string s = std::to_string(sheet);
  return io_test::CommandOutput("pdftotext -layout -f " + s + " -l " + s + " '" + pdf + "' -");
}

// Nine messages, each explained in two lines by the messages file.
void AddMessages(const std::string& dir) {
  std::ofstream err(dir + "/vuko.err");
  for (int i = 0; i < 9; ++i) {
    AddError("Warning: " + IntStr(i) + " of nine");
    err << "Warning: " << i << " of nine\norigin of " << i << "\nremedy of " << i << "\n";
  }
}

// Rows in blocks kept together, then the messages section.
void ListingWithMessages() {
  ReportPageHeader(0, 1);
  for (int block = 0; block < 6; ++block) {
    ReportKeepLines(1);
    ReportLine("");
    ReportLine("BLOCK " + IntStr(block));
    for (int row = 0; row < 4; ++row) ReportRow("row " + IntStr(row), "s", "mm", IntStr(row));
  }
  ReportPageEnd();
  ReportAppendMessages();
}

using ListingSheets = QtHostTest;

TEST_F(ListingSheets, EveryPrintedSheetIsOnePageWithItsHeaderAndTheTruePageTotal) {
  InitGraphicsSettings();
  InitOutputState();
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
  // The result listing shows no total; the message report announces 1 and must be corrected.
  for (const std::int32_t total : {0, 1}) {
    SCOPED_TRACE(total);
    InitMessageList();
    AddMessages(dir_.Path());
    ReportSetHeader("LISTING TITLE", "line one", "line two", "line three", "", total);
    OutputOpen(kDevicePrinter);
    OutputRewrite();
    total == 0 ? ListingWithMessages() : ReportAppendMessages();
    OutputClose();
    ASSERT_FALSE(AbortFlag);
    ASSERT_GT(pages, 2);
    bool ok = false;
    EXPECT_EQ(io_test::CommandOutput("qpdf --show-npages '" + pdf + "'", &ok),
              std::to_string(pages) + "\n");
    std::string all;
    for (int sheet = 1; sheet <= pages; ++sheet) {
      const std::string text = Sheet(pdf, sheet);
      all += text;
      // The box's top rule first, then the title line with the page number.
      const std::size_t first = text.find_first_not_of(" \n\f");
      EXPECT_EQ(text.substr(first, 70), std::string(70, '*')) << "sheet " << sheet << ":\n" << text;
      EXPECT_NE(text.find("LISTING TITLE"), std::string::npos) << "sheet " << sheet;
      const std::string number =
          "pg." + IntStrW(sheet, 2) + (total > 0 ? "/" + IntStrW(pages, 2) : std::string(" "));
      EXPECT_NE(text.find(number), std::string::npos) << "sheet " << sheet << ":\n" << text;
    }
    // Nothing of the listing is lost on the way.
    for (int i = 0; i < 9; ++i) EXPECT_NE(all.find("remedy of " + IntStr(i)), std::string::npos);
  }
  InstallPrintTextFileHook(nullptr);
}

}  // namespace
