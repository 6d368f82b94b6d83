// Printing of text listings.
#include "common/forms/text_printing.h"

#include <QFontMetrics>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/file_dialogs.h"
#include "common/file_utils.h"
#include "common/forms/form_placement.h"
#include "common/graphics_settings.h"
#include "common/output_router.h"
#include "common/program_state.h"
#include "common/text_file.h"

namespace {

constexpr char kFormFeed = '\f';

bool IsBlank(const std::string& line) {
  return line.find_first_not_of(" \t\f") == std::string::npos;
}

int LinesPerSheet() {
  return ProgramSettings.LinesPerPage > 0 ? ProgramSettings.LinesPerPage : 66;
}

}  // namespace

int FontStyleToInt(const QFont& font) {
  return (font.bold() ? 1 : 0) | (font.italic() ? 2 : 0) | (font.underline() ? 4 : 0) |
         (font.strikeOut() ? 8 : 0);
}

void IntToFontStyle(int number, QFont& font) {
  if (number < 0 || number > 15) number = 0;
  font.setBold((number & 1) != 0);
  font.setItalic((number & 2) != 0);
  font.setUnderline((number & 4) != 0);
  font.setStrikeOut((number & 8) != 0);
}

QFont PrintoutQFont() {
  QFont font(QString::fromStdString(DosToWin(PrintSettings.PrintoutFont)));
  font.setStyleHint(QFont::TypeWriter);
  font.setPointSize(PrintSettings.PrintoutTextSize > 0 ? PrintSettings.PrintoutTextSize : 10);
  IntToFontStyle(PrintSettings.PrintoutTextStyle, font);
  return font;
}

int ListingPageCount(const std::vector<std::string>& lines) {
  int pages = 0;
  bool textAfter = false;
  for (const std::string& line : lines) {
    if (!line.empty() && line.front() == kFormFeed) {
      ++pages;
      textAfter = !IsBlank(line);
    } else if (!IsBlank(line)) {
      textAfter = true;
    }
  }
  return pages + (textAfter ? 1 : 0);
}

std::vector<TListingSheet> PaginateListing(const std::vector<std::string>& lines, int first,
                                           int last, int linesPerSheet) {
  std::vector<TListingSheet> sheets;
  if (linesPerSheet <= 0) linesPerSheet = 66;
  int page = 1;
  TListingSheet* current = nullptr;
  auto put = [&](const std::string& text) {
    if (page < first || page > last) return;
    if (current == nullptr || current->page != page ||
        static_cast<int>(current->lines.size()) >= linesPerSheet) {
      sheets.push_back(TListingSheet{page, {}});
      current = &sheets.back();
    }
    current->lines.push_back(text);
  };
  for (const std::string& line : lines) {
    if (!line.empty() && line.front() == kFormFeed) {
      ++page;
      current = nullptr;
      // Text behind the form feed belongs to the new page rather than being dropped.
      if (!IsBlank(line)) put(line.substr(line.find_first_not_of(kFormFeed)));
      continue;
    }
    put(line);
  }
  return sheets;
}

bool ReadListingLines(const std::string& fileName, std::vector<std::string>& lines) {
  return ReadTextFileLines(fileName, lines);
}

namespace {

// Every character takes its cells of the printout font: two for an East Asian wide character,
// one for any other, whatever width the font standing in for a character the printout font
// lacks gives its glyph, so the box's right side stays in its column. Such a glyph is drawn
// stretched or narrowed to its cells, so a PDF reader sees no gap inside a name. A line whose
// characters all fit their cells is drawn whole.
void DrawListingLine(QPainter& painter, int baseline, const QString& text, int cell) {
  const QFontMetrics metrics(painter.font(), painter.device());
  const QList<uint> codes = text.toUcs4();
  const auto advance = [&metrics](uint c) {
    const char32_t code = c;
    return metrics.horizontalAdvance(QString::fromUcs4(&code, 1));
  };
  if (std::all_of(codes.begin(), codes.end(),
                  [&](uint c) { return c < 0x80 || advance(c) == CharColumns(c) * cell; })) {
    painter.drawText(0, baseline, text);
    return;
  }
  int column = 0;
  for (const uint code : codes) {
    const char32_t c = code;
    const int width = CharColumns(code) * cell, glyph = advance(code);
    painter.save();
    painter.translate(column * cell, baseline);
    if (glyph > 0) painter.scale(static_cast<qreal>(width) / glyph, 1);
    painter.drawText(0, 0, QString::fromUcs4(&c, 1));
    painter.restore();
    column += CharColumns(code);
  }
}

}  // namespace

bool PrintListingTo(QPrinter& printer, const std::vector<std::string>& lines, int first, int last) {
  const int perSheet = LinesPerSheet();
  const std::vector<TListingSheet> sheets = PaginateListing(lines, first, last, perSheet);
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  const int lineHeight = std::max(1, painter.device()->height() / perSheet);
  painter.setFont(QFont(PrintoutQFont(), painter.device()));
  const QFontMetrics metrics(painter.font(), painter.device());
  const int ascent = metrics.ascent();
  const int cell = metrics.horizontalAdvance(QLatin1Char('M'));
  bool firstSheet = true;
  for (const TListingSheet& sheet : sheets) {
    if (!firstSheet) printer.newPage();
    firstSheet = false;
    int y = 0;
    for (const std::string& line : sheet.lines) {
      DrawListingLine(painter, y + ascent, QString::fromStdString(DosToWin(line)), cell);
      y += lineHeight;
    }
  }
  return painter.end();
}

void PrintTextFile(const std::string& name) {
  if (!FileExistsIO(name)) {
    ShowLongText(NameText(name) + " not found !");
    return;
  }
  if (AbortFlag) return;
  std::vector<std::string> lines;
  if (!ReadListingLines(name, lines)) {
    CheckFileExists(name);
    return;
  }
  const int pages = ListingPageCount(lines);
  if (pages == 0) return;  // nothing to print

  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QString::fromStdString(DataFilePlace().baseName));
  printer.setPageOrientation(QPageLayout::Portrait);
  if (QPrinterInfo::availablePrinters().isEmpty()) {
    // An absolute name: the dialog would put a relative one into the home folder.
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(KeptFileStem() + "_listing.pdf"));
  }
  printer.setFromTo(1, pages);
  QPrintDialog dialog(&printer, DialogMainWindow());
  dialog.setObjectName(QStringLiteral("PrintDialog"));
  dialog.setMinMax(1, pages);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
  dialog.setPrintRange(QAbstractPrintDialog::PageRange);
  if (dialog.exec() != QDialog::Accepted) return;
  int first = 1;
  int last = pages;
  if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
    first = printer.fromPage();
    last = std::max(printer.toPage(), first);
  }
  const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
  const std::string target = printer.outputFileName().toStdString();
  // A PDF of the user's is replaced only when agreed: the print dialog's OK has asked already.
  CursorWait();
  const bool printed = PrintListingTo(printer, lines, first, last);
  CursorArrow();
  if (!printed) {
    ErrorMessageIfEnabled("Printer not ready " + NameText(name));
    AbortFlag = true;
  } else if (toFile) {
    InfoMessage("saved as " + NameText(target));
  }
}
