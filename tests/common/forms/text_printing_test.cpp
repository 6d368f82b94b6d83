// Printing of listings: which lines land on which sheet, a PDF read back by qpdf and pdftotext,
// and the font style numbers.
#include "common/forms/text_printing.h"

#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <algorithm>
#include <cstring>

#include "common/codepage.h"
#include "common/forms/gui_test_support.h"
#include "common/graphics_settings.h"
#include "validator_support.h"

using namespace gui_test;

namespace {

using Lines = std::vector<std::string>;

// A listing of n pages, each of `perPage` lines "p<page> l<line>", each ended by a form feed.
Lines Listing(int pages, int perPage) {
  Lines lines;
  for (int p = 1; p <= pages; ++p) {
    for (int l = 1; l <= perPage; ++l) {
      lines.push_back("p" + std::to_string(p) + " l" + std::to_string(l));
    }
    lines.push_back("\f");
  }
  return lines;
}

TEST(ListingPages, PageCount) {
  struct Case {
    const char* name;
    Lines lines;
    int pages;
  };
  const Case cases[] = {
      {"five pages ended by form feeds", Listing(5, 3), 5},
      {"no form feed at all is one page", {"a", "b"}, 1},
      {"text after the last form feed is one more page", {"a", "\f", "b"}, 2},
      {"blank lines after the last form feed are no page", {"a", "\f", "", "  "}, 1},
      {"empty file", {}, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ListingPageCount(c.lines), c.pages) << c.name;
}

// Printing pages 2 to 3 of five starts with page 2 and turns one sheet before page 3.
TEST(ListingPages, RangeOfPages) {
  const auto sheets = PaginateListing(Listing(5, 3), 2, 3, 66);
  ASSERT_EQ(sheets.size(), 2u);
  EXPECT_EQ(sheets[0].page, 2);
  EXPECT_EQ(sheets[0].lines, (Lines{"p2 l1", "p2 l2", "p2 l3"}));
  EXPECT_EQ(sheets[1].page, 3);
  EXPECT_EQ(sheets[1].lines, (Lines{"p3 l1", "p3 l2", "p3 l3"}));
}

TEST(ListingPages, ListingWithoutFormFeedIsPrinted) {
  const Lines lines{"only", "page"};
  const auto sheets = PaginateListing(lines, 1, ListingPageCount(lines), 66);
  ASSERT_EQ(sheets.size(), 1u);
  EXPECT_EQ(sheets[0].lines, lines);
}

// A page longer than a sheet continues on the next sheet instead of running off the paper.
TEST(ListingPages, LongPageContinuesOnAnotherSheet) {
  const auto sheets = PaginateListing(Listing(1, 7), 1, 1, 3);
  ASSERT_EQ(sheets.size(), 3u);
  EXPECT_EQ(sheets[2].lines, (Lines{"p1 l7"}));
  for (const auto& s : sheets) EXPECT_EQ(s.page, 1);
}

// A page length of 0 (a broken configuration) counts as the default 66 lines.
TEST(ListingPages, ZeroLinesPerSheetTakesTheDefault) {
  const auto sheets = PaginateListing(Listing(1, 70), 1, 1, 0);
  ASSERT_EQ(sheets.size(), 2u);
  EXPECT_EQ(sheets[0].lines.size(), 66u);
  EXPECT_EQ(sheets[1].lines.size(), 4u);
}

TEST(ListingPages, TextBehindAFormFeedStartsTheNextPage) {
  const auto sheets = PaginateListing({"a", "\fHeader 2", "b"}, 2, 2, 66);
  ASSERT_EQ(sheets.size(), 1u);
  EXPECT_EQ(sheets[0].lines, (Lines{"Header 2", "b"}));
}

TEST(FontStyle, NumbersAndStyles) {
  QFont font;
  IntToFontStyle(5, font);
  EXPECT_TRUE(font.bold());
  EXPECT_FALSE(font.italic());
  EXPECT_TRUE(font.underline());
  EXPECT_FALSE(font.strikeOut());

  QFont italicStrike;
  italicStrike.setItalic(true);
  italicStrike.setStrikeOut(true);
  EXPECT_EQ(FontStyleToInt(italicStrike), 10);

  for (int n = 0; n <= 15; ++n) {
    QFont f;
    IntToFontStyle(n, f);
    EXPECT_EQ(FontStyleToInt(f), n);
  }
  QFont plain;
  IntToFontStyle(16, plain);
  EXPECT_EQ(FontStyleToInt(plain), 0);
}

// ---------------------------------------------------------------------------------------------
// PDF output read back by independent tools.

class PdfPrintTest : public QtHostTest {
 protected:
  void SetUp() override {
    QtHostTest::SetUp();
    InitGraphicsSettings();
  }
  static int PageCount(const std::string& pdf) {
    bool ok = false;
    const std::string out =
        io_test::CommandOutput("qpdf --show-npages " + validator_support::Quote(pdf), &ok);
    return ok ? std::stoi(out) : -1;
  }
  static std::string PageText(const std::string& pdf, int page) {
    const std::string p = std::to_string(page);
    return io_test::CommandOutput("pdftotext -layout -f " + p + " -l " + p + " " +
                                  validator_support::Quote(pdf) + " -");
  }
};

TEST_F(PdfPrintTest, ChosenPagesArePrintedAsAValidPdf) {
  Lines lines = Listing(4, 5);
  lines[5 + 1 + 2] =
      "Gr\x94\xE1"
      "e z = 24";  // page 2, CP850 o-umlaut and sharp s
  const std::string pdf = dir_ / "listing.pdf";
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf));
  ASSERT_TRUE(PrintListingTo(printer, lines, 2, 4));

  bool ok = false;
  io_test::CommandOutput("qpdf --check " + validator_support::Quote(pdf), &ok);
  EXPECT_TRUE(ok) << "qpdf --check failed";
  EXPECT_EQ(PageCount(pdf), 3);
  const std::string first = PageText(pdf, 1);
  EXPECT_NE(first.find("p2 l1"), std::string::npos) << first;
  EXPECT_NE(first.find("Gr\u00f6\u00dfe z = 24"), std::string::npos) << first;
  EXPECT_EQ(first.find("p1 l1"), std::string::npos) << first;
  EXPECT_NE(PageText(pdf, 3).find("p4 l5"), std::string::npos);
}

// A box around CJK text keeps its right side in one column: each wide character takes two cells
// of the printout font (positions read back by pdftotext).
TEST_F(PdfPrintTest, WideCharactersTakeTwoColumnsOfTheBox) {
  const Lines lines = {"|  abcdefgh   |", "|  " + NameText("日本語が") + "   |",
                       "|  " + NameText("a日b本c") + "    |", "|  " + NameText("ｶﾅ Ａ") + "      |",
                       "|  " + NameText("𠀋𠀋a日b") + "   |"};  // beyond the 16-bit plane
  const std::string pdf = dir_ / "wide.pdf";
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf));
  ASSERT_TRUE(PrintListingTo(printer, lines, 1, 1));
  bool ok = false;
  const std::string words =
      io_test::CommandOutput("pdftotext -bbox " + validator_support::Quote(pdf) + " -", &ok);
  if (!ok) GTEST_SKIP() << "pdftotext missing";
  // Both sides of each line: the "|" words by their top, then their left edge.
  std::vector<std::pair<double, double>> sides;
  const std::string bar = "\">|</word>";
  for (std::size_t at = words.find(bar); at != std::string::npos; at = words.find(bar, at + 1)) {
    const std::size_t word = words.rfind("<word ", at);
    const auto number = [&](const char* key) {
      return std::stod(words.substr(words.find(key, word) + std::strlen(key)));
    };
    sides.emplace_back(number("yMin=\""), number("xMin=\""));
  }
  std::sort(sides.begin(), sides.end());
  ASSERT_EQ(sides.size(), 2 * lines.size()) << words;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    EXPECT_NEAR(sides[2 * i].second, sides[0].second, 0.5) << lines[i];
    EXPECT_NEAR(sides[2 * i + 1].second, sides[1].second, 0.5) << lines[i];
  }
}

// The print command without a printer: the print dialog proposes a PDF named after the data
// file in the data directory, and accepting it prints every page.
TEST_F(PdfPrintTest, PrintCommandWithoutPrinterWritesPdf) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed";
  const std::string listing = dir_ / "$OUT1.TMP";
  std::string text;
  for (const auto& l : Listing(2, 4)) text += l + "\n";
  io_test::WriteBytes(listing, text);
  CurrentFileName = "welle";
  bool wasPrintDialog = false;
  ModalDriver driver;
  driver.Then([&](QWidget* w) {
    wasPrintDialog = qobject_cast<QPrintDialog*>(w) != nullptr;
    qobject_cast<QDialog*>(w)->accept();
  });
  Seen told;
  driver.Then(Note(told));
  PrintTextFile(listing);
  EXPECT_TRUE(wasPrintDialog);
  // Its own name beside the picture's "welle_picture.pdf", and the path is told.
  const std::string pdf = dir_ / "welle_listing.pdf";
  EXPECT_EQ(told.text, "saved as " + pdf);
  ASSERT_TRUE(io_test::Exists(pdf));
  bool ok = false;
  io_test::CommandOutput("qpdf --check " + validator_support::Quote(pdf), &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(PageCount(pdf), 2);
  EXPECT_FALSE(AbortFlag);
}

// Printing over a PDF that is there: the print dialog's OK asks once, and the answer holds.
TEST_F(PdfPrintTest, AnExistingPdfIsAskedForOnce) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed";
  const std::string listing = dir_ / "$OUT1.TMP", pdf = dir_ / "welle_listing.pdf";
  std::string text;
  for (const auto& l : Listing(2, 4)) text += l + "\n";
  io_test::WriteBytes(listing, text);
  CurrentFileName = "welle";
  for (const bool yes : {true, false}) {
    SCOPED_TRACE(yes ? "Yes" : "No");
    io_test::WriteBytes(pdf, "the earlier printout");
    Seen asked, told;
    ModalDriver driver;
    driver.Then([yes](QWidget* w) {
      auto* dialog = qobject_cast<QPrintDialog*>(w);
      ASSERT_NE(dialog, nullptr);
      dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
      if (!yes) dialog->reject();  // OK asked first; on No the dialog stays open
    });
    driver.Then(Note(asked, yes ? QMessageBox::Yes : QMessageBox::No));
    if (yes) driver.Then(Note(told));
    PrintTextFile(listing);
    EXPECT_NE(asked.text.find(pdf + " already exists"), std::string::npos) << asked.text;
    EXPECT_EQ(driver.Remaining(), 0);
    EXPECT_TRUE(driver.Unexpected().empty()) << driver.Unexpected().front();
    EXPECT_EQ(told.text, yes ? "saved as " + pdf : "");
    if (yes)
      EXPECT_EQ(PageCount(pdf), 2);
    else
      EXPECT_EQ(io_test::ReadBytes(pdf), "the earlier printout");
  }
}

TEST_F(PdfPrintTest, MissingListingIsReported) {
  Seen seen;
  ModalDriver driver;
  driver.Then(Note(seen));
  PrintTextFile(dir_ / "none.txt");
  EXPECT_EQ(seen.text, (dir_ / "none.txt") + " not found !");
}

}  // namespace
