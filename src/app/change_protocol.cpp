// The report "Protocol of changes" through the output router.
#include "app/change_protocol.h"

#include <string>
#include <string_view>
#include <vector>

#include "common/dialog_host.h"
#include "common/formatting.h"
#include "common/output_router.h"
#include "common/program_state.h"
#include "common/text_file.h"
#include "drawings/drawing_documentation.h"

namespace {

// The lines of a description as entered: a line break is CR LF, a lone CR or a lone LF.
std::vector<std::string> DescriptionLines(std::string_view text) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back().push_back(c);
    }
  }
  return lines;
}

void WriteHead() {
  const auto& info = ChangeRecords.drawingInfo;
  ReportLine("");
  ReportLine("Drawing date: " + info[kComplDate] + "     " + "Designed by" + ": " +
             info[kComplName]);
  if (!info[kReplacementFor].empty()) {
    ReportLine("");
    ReportLine("Replacement for: " + PadRight(info[kReplacementFor], 15));
  }
  if (!info[kReplacedBy].empty()) {
    ReportLine("");
    ReportLine("Replaced by: " + PadRight(info[kReplacedBy], 15));
  }
  ReportLine("");
  ReportLine(PadRight("Index", 6) + "  " + PadRight("Date", 10) + "   " + PadRight("Compl.", 6) +
             "   " + PadRight("Modification", 20));
  ReportLine(RuleDouble());
}

void WriteChange(int i) {
  const TChangeRecord& r = ChangeRecords.changes[i];
  ReportLine("  " + ProtocolChangeIndex(i) + "     " + PadRight(r.date, 10) + "   " +
             PadRight(r.editor, 6) + "   " + PadRight(r.modification, 20));
  // Each line of a description is its own report line, so paging and every device see whole
  // lines.
  for (const std::string& line : DescriptionLines(r.description)) ReportLine(" " + line);
  ReportLine(RuleSingle());
}

}  // namespace

std::string ProtocolChangeIndex(int i) {
  if (ConfigVariables.ChangeIndexStyle == 1) return IntStr(i);
  return std::string(1, static_cast<char>(96 + i));
}

void WriteChangeProtocol(int device) {
  ReportSetHeader(ProgramIdentity.caption + " V" + ProgramIdentity.version, "Protocol of changes",
                  DrawingTexts[1], DrawingTexts[2], DrawingTexts[3], 0);
  OutputOpen(device);
  if (AbortFlag) return;
  OutputRewrite();
  if (AbortFlag) return;
  if (device != kDeviceScreen) {
    ReportPageHeader(0, 0);
  } else {
    // The screen's first page goes without a header but counts, so the next one is page 2.
    OutputState.pageCounter = 1;
  }
  if (!AbortFlag) WriteHead();
  const int count = UsedChangeCount();
  for (int i = 1; i <= count && !AbortFlag; ++i) WriteChange(i);
  if (AbortFlag) {
    // A failed write leaves no half listing behind.
    AbandonText(GlobalTextFile);
    return;
  }
  OutputClose();
  RestoreCursor();
}
