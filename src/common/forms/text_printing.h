// Printing a text listing on the system printer (a PDF file where there is none) and the font
// style numbers of the printout font. A listing is text in the DOS code page whose pages are
// ended by lines that begin with a form feed.
#pragma once

#include <QFont>
#include <string>
#include <vector>

class QPrinter;

// Style bits: 1 bold, 2 italic, 4 underline, 8 strike-out.
int FontStyleToInt(const QFont& font);
// Sets the four style flags of font from number; numbers outside 0..15 give plain text.
void IntToFontStyle(int number, QFont& font);
// PrintoutFont, PrintoutTextSize and PrintoutTextStyle of the print settings.
QFont PrintoutQFont();

// Number of pages: one per form-feed line, and one more when text follows the last of them
// (a listing without form feeds is one page, not none).
int ListingPageCount(const std::vector<std::string>& lines);

// One printer sheet: the listing page it belongs to and its lines (form feeds removed).
struct TListingSheet {
  int page = 1;
  std::vector<std::string> lines;
};
// The sheets of pages first..last; a page longer than linesPerSheet continues on further
// sheets, so no line falls off the bottom.
std::vector<TListingSheet> PaginateListing(const std::vector<std::string>& lines, int first,
                                           int last, int linesPerSheet);

// Lines of a text file as stored (no conversion); false when it cannot be read.
bool ReadListingLines(const std::string& fileName, std::vector<std::string>& lines);

// Prints pages first..last of the listing on the prepared printer: line height = page height
// div LinesPerPage, the printout font, every line through DosToWin. False when the printer
// cannot begin the document.
bool PrintListingTo(QPrinter& printer, const std::vector<std::string>& lines, int first, int last);

// The print command of a listing: a missing file gives name + " not found !"; a print dialog
// offers pages 1 to the page count; without a printer the dialog proposes a PDF file named
// after the current data file in the data directory.
void PrintTextFile(const std::string& name);
