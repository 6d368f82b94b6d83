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

class ListingSheetsTest : public QtHostTest {
 protected:
  void SetUp() override {
    QtHostTest::SetUp();
    InitGraphicsSettings();
    InitOutputState();
    ConfigVariables.AskOutputDevice = false;
    ProgramSettings.LinesPerPage = 20;
    ProgramSettings.ReportLineType = 1;
    CurrentFileName = "joint";
  }
  void TearDown() override {
    InstallPrintTextFileHook(nullptr);
    QtHostTest::TearDown();
  }

  // Writes the listing to the printer device; the print hook prints every page to a PDF.
  // Returns the number of pages the listing file holds.
  template <typename Body>
  int PrintToPdf(const std::string& pdf, Body body) {
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
    OutputOpen(kDevicePrinter);
    EXPECT_FALSE(AbortFlag);
    OutputRewrite();
    body();
    OutputClose();
    EXPECT_FALSE(AbortFlag);
    return pages;
  }

  static int SheetCount(const std::string& pdf) {
    bool ok = false;
    const std::string out = io_test::CommandOutput("qpdf --show-npages '" + pdf + "'", &ok);
    return ok ? std::stoi(out) : -1;
  }
  static std::string SheetText(const std::string& pdf, int sheet) {
    const std::string s = std::to_string(sheet);
    return io_test::CommandOutput("pdftotext -layout -f " + s + " -l " + s + " '" + pdf + "' -");
  }
  // The first line of a sheet that holds more than blanks.
  static std::string FirstLine(const std::string& text) {
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
      if (line.find_first_not_of(" \f") != std::string::npos) return line;
    }
    return {};
  }
};

// Rows in blocks kept together, then a messages section whose entries have an origin and a
// remedy: the blank lines of that section fill pages as every other line does.
void ListingWithMessages() {
  ReportPageHeader(0, 1);
  for (int block = 0; block < 6; ++block) {
    ReportKeepLines(1);
    ReportLine("");
    ReportLine("BLOCK " + IntStr(block));
    for (int row = 0; row < 4; ++row) ReportRow("row " + IntStr(row), "s", "mm", IntStr(row));
  }
  ReportPageEnd();
  for (int i = 0; i < 9; ++i) AddError("Warning: " + IntStr(i) + " of nine");
  ReportAppendMessages();
}

TEST_F(ListingSheetsTest, EverySheetIsOnePageWithItsHeaderAndTheTruePageTotal) {
  // Each message has an explanation of two lines, as the messages file gives them.
  std::ofstream err(dir_ / "vuko.err");
  for (int i = 0; i < 9; ++i) {
    err << "Warning: " << i << " of nine\norigin of " << i << "\nremedy of " << i << "\n";
  }
  err.close();

  struct Case {
    const char* name;
    std::int32_t total;  // as the writer announces it; 0 shows no total
    void (*body)();
  };
  const Case cases[] = {
      {"result listing with messages, no total", 0, ListingWithMessages},
      {"message report, total announced as 1", 1,
       [] {
         for (int i = 0; i < 9; ++i) AddError("Warning: " + IntStr(i) + " of nine");
         ReportAppendMessages();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InitMessageList();
    ReportSetHeader("LISTING TITLE", "line one", "line two", "line three", "", c.total);
    const std::string pdf = dir_ / (std::string("sheets") + std::to_string(c.total) + ".pdf");
    const int pages = PrintToPdf(pdf, c.body);
    ASSERT_GT(pages, 2);
    EXPECT_EQ(SheetCount(pdf), pages);
    for (int sheet = 1; sheet <= SheetCount(pdf); ++sheet) {
      const std::string text = SheetText(pdf, sheet);
      // The box's top rule, then the title line with the page number.
      EXPECT_EQ(FirstLine(text).find_first_not_of('*'), std::string::npos)
          << "sheet " << sheet << " starts without its header:\n"
          << text;
      std::string number = "pg." + IntStrW(sheet, 2);
      if (c.total > 0) number += "/" + IntStrW(pages, 2);
      EXPECT_NE(text.find("LISTING TITLE"), std::string::npos) << "sheet " << sheet;
      EXPECT_NE(text.find(number), std::string::npos) << "sheet " << sheet << ":\n" << text;
    }
    // Nothing of the listing is lost on the way.
    std::string all;
    for (int sheet = 1; sheet <= pages; ++sheet) all += SheetText(pdf, sheet);
    for (int i = 0; i < 9; ++i) {
      EXPECT_NE(all.find("remedy of " + IntStr(i)), std::string::npos) << i;
    }
  }
}

}  // namespace
