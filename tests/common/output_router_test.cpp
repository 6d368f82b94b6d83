// Result output router: paging and headers on paper, the compressed layout, columns, the tab and
// HTML devices, device hand-over at the close, and the messages section.
#include "common/output_router.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "common/codepage.h"
#include "common/formatting.h"
#include "common/graphics_settings.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "common/system_info.h"
#include "common/text_file.h"
#include "platform/temp_dir.h"
#include "validator_support.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream ss(text);
  std::string line;
  while (std::getline(ss, line)) lines.push_back(line);
  return lines;
}

// What the page header's box (66 columns inside its sides) shows of a data file: the whole path
// when it takes at most 69 columns, else the file's own name; either, when wider than 66 columns,
// as its first 30 columns, " ... " and its last 31. A column is a character's, two for an East
// Asian wide one.
std::string HeaderFileText(const std::string& dir, const std::string& name) {
  struct Char {
    std::string bytes;
    int columns;
  };
  const auto chars = [](const std::string& text) {
    std::vector<Char> out;
    for (std::size_t i = 0; i < text.size();) {
      const auto lead = static_cast<unsigned char>(text[i]);
      const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
      char32_t code = length == 1 ? lead : lead & (0x7F >> length);
      for (std::size_t k = 1; k < length; ++k) code = code << 6 | (text[i + k] & 0x3F);
      out.push_back({text.substr(i, length), CharColumns(code)});
      i += length;
    }
    return out;
  };
  const auto width = [](const std::vector<Char>& text) {
    int columns = 0;
    for (const Char& c : text) columns += c.columns;
    return columns;
  };
  std::vector<Char> shown = chars(dir + "/" + name);
  if (width(shown) > 69) shown = chars(name);
  std::string head, tail;
  int used = 0;
  for (std::size_t i = 0; i < shown.size(); used += shown[i++].columns) head += shown[i].bytes;
  if (used <= 66) return head;
  head.clear();
  used = 0;
  for (std::size_t i = 0; used + shown[i].columns <= 30; used += shown[i++].columns)
    head += shown[i].bytes;
  used = 0;
  for (std::size_t i = shown.size(); used + shown[i - 1].columns <= 31; used += shown[--i].columns)
    tail.insert(0, shown[i - 1].bytes);
  return head + " ... " + tail;
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

class OutputRouterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    SetProgramIdentity();
    InitGraphicsSettings();
    InitMessageList();
    InitOutputState();
    SetClockForTests(1700000000);  // a fixed day and time for the headers
    std::string pattern = (std::filesystem::temp_directory_path() / "vuko-out-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
    ProgramSettings.tempDirectory = dir_;
    ProgramSettings.pltDirectory = dir_;
    DataDirectory = dir_;
    CurrentFileName = "joint";
    // Files handed to people and programs go here, not into the real home.
    setenv("XDG_CACHE_HOME", (dir_ + "/cache").c_str(), 1);
  }
  void TearDown() override {
    SetClockForTests(0);
    SetPrinterPortOverride("");
    InstallShowTextFileHook(nullptr);
    InstallPrintTextFileHook(nullptr);
    fs::remove_all(dir_);
    unsetenv("XDG_CACHE_HOME");
  }
  // Writes a listing through the given device and returns the file the router wrote.
  template <typename Body>
  std::string Listing(int device, Body body) {
    OutputOpen(device);
    EXPECT_FALSE(AbortFlag);
    OutputRewrite();
    body();
    std::string name = OutputState.OutputFileName;
    OutputClose();
    return ReadAll(name);
  }
  std::string dir_;
  ScriptedDialogHost host_;
};

// Page length by header space: every listing finishes, every page starts with its header and
// carries at least one line of the listing.
TEST_F(OutputRouterTest, PageHeaderNeverBreaksItsOwnPage) {
  for (int lines : {1, 5, 6, 8, 10, 12, 15, 20, 40, 66}) {
    for (int space : {0, 1, 5, 30}) {
      ProgramSettings.LinesPerPage = lines;
      ConfigVariables.HeaderSpaceLines = space;
      ReportSetHeader("Title", "one", "two", "three", "four", 0);
      std::string text = Listing(kDeviceDosFile, [] {
        ReportPageHeader(0, 1);
        for (int i = 0; i < 40; ++i) ReportRow("row " + IntStr(i), "s", "mm", IntStr(i));
        ReportPageEnd();
      });
      // Device 8 ends pages without a form feed: a page starts at its title line.
      int pages = 0;
      int bodyOnPage = 1;
      for (const std::string& l : Lines(text)) {
        if (l.find("pg.") != std::string::npos) {
          EXPECT_GE(bodyOnPage, 1)
              << "page without a listing line; lines " << lines << " space " << space;
          ++pages;
          bodyOnPage = 0;
        } else if (l.find("row ") != std::string::npos || l.find("-----") != std::string::npos) {
          ++bodyOnPage;  // a row or the rule under it
        }
      }
      EXPECT_EQ(Count(text, "row "), 40);
      EXPECT_GE(pages, 1);
      EXPECT_GE(bodyOnPage, 1);
    }
  }
}

TEST_F(OutputRouterTest, PaperHeaderLayout) {
  ReportSetHeader("", "first", "second", "third", "", 3);
  ReportSetColumns("", "symbol", "unit", "Shaft", "Hub");
  std::string text = Listing(kDeviceDosFile, [] { ReportPageHeader(0, 1); });
  std::vector<std::string> l = Lines(text);
  ASSERT_GE(l.size(), 12u);
  const std::string stars(70, '*');
  EXPECT_EQ(l[0], "       " + stars);
  // Title: caption and version at column 4, page with total at column 60, sides at 1 and 70.
  EXPECT_EQ(l[1].substr(7, 34), "*  VUKO   involute spline  V1.0   ");
  // (The total announced, 3, is put right: the listing has one page.)
  EXPECT_EQ(l[1].substr(7 + 59), "pg. 1/ 1  *");
  EXPECT_EQ(l[2].substr(7 + 52, 10), DateStr());
  EXPECT_EQ(l[2].substr(7 + 63, TimeStr().size()), TimeStr());
  // The temporary folder's name may hold letters beyond ASCII: on this device in the DOS code page.
  const std::string dosJoint = Utf8ToCp850(HeaderFileText(dir_, "joint.vuk"));
  EXPECT_EQ(l[3].substr(7, 3 + dosJoint.size()), "*  " + dosJoint);
  EXPECT_EQ(l[4], "       " + stars);
  EXPECT_EQ(l[5].substr(7, 8), "*  first");
  EXPECT_EQ(l[7].substr(7, 8), "*  third");
  EXPECT_EQ(l[8], "       " + stars);  // empty fourth line is left out
  EXPECT_EQ(l[9].substr(7 + 34, 6), "symbol");
  EXPECT_EQ(l[9].substr(7 + 61, 3), "Hub");
  EXPECT_EQ(l[10], "       " + stars);
  EXPECT_EQ(l[11], "       ");

  // A name from the command line (UTF-8 from the system, held whole) reaches the listing
  // converted and whole, as a name from the data directory does: the DOS code page here, UTF-8
  // in a file for people.
  ProgramSettings.FileFromCommandLine = true;
  CurrentFileName = dir_ + "/Zahnwelle_\xC3\xA4\xC3\xB6\xC3\xBC.vuk";
  text = Listing(kDeviceDosFile, [] { ReportPageHeader(0, 0); });
  const std::string dosName =
      Utf8ToCp850(HeaderFileText(dir_, "Zahnwelle_\xC3\xA4\xC3\xB6\xC3\xBC.vuk"));
  EXPECT_NE(text.find("*  " + dosName), std::string::npos) << text;
  EXPECT_NE(text.find("Zahnwelle_\x84\x94\x81.vuk"), std::string::npos) << text;
  host_.AnswerFile(dir_ + "/people.txt");
  text = Listing(kDeviceFile, [] { ReportPageHeader(0, 0); });
  EXPECT_NE(text.find("Zahnwelle_\xC3\xA4\xC3\xB6\xC3\xBC.vuk"), std::string::npos) << text;

  // A name of few characters and many bytes fills the box by the columns a monospaced font
  // gives it (two for each CJK character): whole, and the box's side in its column (a folder of
  // known length: a long one would be shortened).
  CurrentFileName = "/data/" + std::string(3, ' ') + "歯車軸歯車軸歯車軸歯車軸.vuk";
  host_.AnswerFile(dir_ + "/wide.txt");
  text = Listing(kDeviceFile, [] { ReportPageHeader(0, 0); });
  const std::string line = Lines(text).at(3);
  EXPECT_NE(line.find(CurrentFileName), std::string::npos) << line;
  // 77 columns: 12 characters of 3 bytes and 2 columns each, the others of one byte and column.
  EXPECT_EQ(line.size(), 7 + 70 + 12) << line;
  EXPECT_EQ(line.back(), '*') << line;
}

TEST_F(OutputRouterTest, RowColumnsAndLongValues) {
  std::string text = Listing(kDeviceDosFile, [] {
    ReportRow("pressure angle", "alpha", "deg", "  30.00000");
    ReportRow("long", "x", "", "12345678901234567890");
    ReportRowTwoParts("teeth", "z", "", "       8", "      -8");
  });
  std::vector<std::string> l = Lines(text);
  ASSERT_EQ(l.size(), 6u);
  std::string row = l[0].substr(7);
  EXPECT_EQ(row.substr(0, 14), "pressure angle");
  EXPECT_EQ(row.substr(34, 5), "alpha");
  EXPECT_EQ(row.substr(43, 3), "deg");
  EXPECT_EQ(row.substr(55, 10), "  30.00000");
  EXPECT_EQ(l[1], "       " + std::string(70, '-'));
  // 20 characters: still over 14 after trimming, so it ends at column 69.
  EXPECT_EQ(l[2].substr(7 + 49), "12345678901234567890 ");
  EXPECT_EQ(l[4].substr(7 + 50, 8), "       8");
  EXPECT_EQ(l[4].substr(7 + 61, 8), "      -8");
}

TEST_F(OutputRouterTest, WideSecondValueIsStillPrinted) {
  ProgramSettings.FloatDigits = 5;  // LengthStrW(5, 3) grows to 11 characters
  const std::string v1 = LengthStrW(5, 3, 48.0L);
  const std::string v2 = LengthStrW(5, 3, 123.456789L);
  ASSERT_GT(v2.size(), 10u);
  std::string text =
      Listing(kDeviceDosFile, [&] { ReportRowTwoParts("root", "df", "mm", v1, v2); });
  std::string row = Lines(text)[0];
  EXPECT_NE(row.find(v1), std::string::npos);
  EXPECT_NE(row.find(v2), std::string::npos);
  EXPECT_LT(row.find(v1) + v1.size(), row.find(v2));
}

TEST_F(OutputRouterTest, RulesOfEachLineType) {
  const std::string dbl(68, static_cast<char>(205));  // code page 437 double horizontal
  struct Case {
    int type;
    std::string single, top, middle;
    char side;
    bool compressed;
  } cases[] = {
      {1, std::string(70, '-'), std::string(70, '*'), std::string(70, '*'), '*', false},
      {2, std::string(70, static_cast<char>(196)), "\xC9" + dbl + "\xBB", "\xCC" + dbl + "\xB9",
       static_cast<char>(186), false},
      {3, std::string(70, ' '), std::string(70, ' '), std::string(70, ' '), ' ', false},
      {4, "$!$", "$!$", "$!$", ' ', true},
      {7, "$!$", "$!$", "$!$", ' ', false},  // rules of type 4, paging of the normal layout
  };
  for (const Case& c : cases) {
    ProgramSettings.ReportLineType = static_cast<std::uint16_t>(c.type);
    EXPECT_EQ(RuleSingle(), c.single) << c.type;
    EXPECT_EQ(RuleBoxTop(), c.top) << c.type;
    EXPECT_EQ(RuleBoxMiddle(), c.middle) << c.type;
    EXPECT_EQ(BoxSideChar(), c.side) << c.type;
    EXPECT_EQ(CompressedLayout(), c.compressed) << c.type;
  }
}

TEST_F(OutputRouterTest, CompressedLayout) {
  ProgramSettings.ReportLineType = 4;
  ProgramSettings.LinesPerPage = 20;
  // Device 1 writes form feeds; without a viewer the listing goes to the dialog host.
  OutputOpen(kDeviceScreen);
  OutputRewrite();
  ReportRow("a", "b", "c", "1");
  EXPECT_EQ(OutputState.lineCounter, 1);  // one line, no rule
  ReportPageEnd();                        // fewer than half of 20 lines: nothing
  EXPECT_EQ(OutputState.lineCounter, 1);
  ReportLine(kSuppressedLine);
  EXPECT_EQ(OutputState.lineCounter, 1);
  OutputClose();
  ASSERT_EQ(host_.RecordsOf(TDialogKind::LongText).size(), 1u);
  std::string shown = host_.RecordsOf(TDialogKind::LongText)[0].prompt;
  EXPECT_EQ(Count(shown, "\f"), 1);  // only the final form feed of the compressed layout
  EXPECT_EQ(Count(shown, "$!$"), 0);
}

TEST_F(OutputRouterTest, HeaderMode2HeadsOnlyTheFirstPage) {
  ConfigVariables.ReportHeaderMode = 2;
  ProgramSettings.LinesPerPage = 30;
  ReportSetHeader("T", "a", "b", "c", "d", 0);
  std::string text = Listing(kDeviceDosFile, [] {
    ReportPageHeader(0, 0);
    for (int i = 0; i < 70; ++i) ReportLine("line " + IntStr(i));
  });
  EXPECT_EQ(Count(text, "*  T "), 1);
  EXPECT_EQ(Count(text, "pg."), 0);
  EXPECT_EQ(Count(text, "\f\n"), 2);
  EXPECT_EQ(Count(text, "line "), 70);
}

TEST_F(OutputRouterTest, WrapTextOnPaperAndHtml) {
  const std::string message(std::string(40, 'a') + " " + std::string(32, 'b'));  // 73 characters
  std::string paper = Listing(kDeviceDosFile, [&] { ReportWrapText(message); });
  EXPECT_EQ(Lines(paper).size(), 2u);
  std::string html = Listing(kDeviceHtml, [&] { ReportWrapText(message); });
  EXPECT_EQ(Count(html, "<TR>"), 1);
  // A text longer than five pieces is not cut.
  std::string longText;
  for (int i = 0; i < 60; ++i) longText += "word" + IntStr(i) + " ";
  std::string all = Listing(kDeviceDosFile, [&] { ReportWrapText(longText); });
  EXPECT_EQ(Count(all, "word59"), 1);
}

TEST_F(OutputRouterTest, EmptyMessageListWritesNothing) {
  std::string text = Listing(kDeviceDosFile, [] { ReportAppendMessages(); });
  EXPECT_EQ(text, "");
  host_.Clear();
  PrintErrorMessages();
  EXPECT_EQ(host_.Messages(),
            std::vector<std::string>{"Calculation successful without error messages"});
}

TEST_F(OutputRouterTest, MessageReportOnTheScreen) {
  DrawingTexts[1] = "drawing one";
  AddError("Warning: k <> k DIN !");
  PrintErrorMessages();
  auto shown = host_.RecordsOf(TDialogKind::LongText);
  ASSERT_EQ(shown.size(), 1u);
  const std::string& text = shown[0].prompt;
  EXPECT_NE(text.find("*  VUKO V1.0"), std::string::npos);
  EXPECT_NE(text.find("pg. 1/ 1"), std::string::npos);
  EXPECT_NE(text.find("*  Error Messages"), std::string::npos);
  EXPECT_NE(text.find("*  drawing one"), std::string::npos);
  EXPECT_NE(text.find("       Warning: k <> k DIN !\n"), std::string::npos);

  // A report longer than a page: every page shows its number and the true total.
  host_.Clear();
  ProgramSettings.LinesPerPage = 20;
  for (int i = 0; i < 12; ++i) AddError("Warning: number " + IntStr(i));
  PrintErrorMessages();
  shown = host_.RecordsOf(TDialogKind::LongText);
  ASSERT_EQ(shown.size(), 1u);
  const int pages = Count(shown[0].prompt, "pg.");
  ASSERT_GT(pages, 1);
  for (int page = 1; page <= pages; ++page) {
    EXPECT_EQ(Count(shown[0].prompt, "pg." + IntStrW(page, 2) + "/" + IntStrW(pages, 2)), 1);
  }

  // With a fatal calculation the message choice comes instead of a report.
  host_.Clear();
  CalcFatalFlag = true;
  host_.AnswerChoice(2);  // Continue...
  PrintErrorMessages();
  EXPECT_TRUE(host_.RecordsOf(TDialogKind::LongText).empty());
  EXPECT_EQ(host_.RecordsOf(TDialogKind::Choice).size(), 1u);
}

TEST_F(OutputRouterTest, MessagesSectionWithExplanations) {
  std::ofstream(dir_ + "/vuko.err") << "Warning: k <> k DIN !\norigin k\nremedy k\n";
  AddError("Warning: k <> k DIN !");
  AddError("Error  : unexplained");
  std::string tab = Listing(kDeviceTxtFile, [] { ReportMessages(); });
  EXPECT_NE(tab.find("Warning: k <> k DIN !\torigin k\tremedy k\n"), std::string::npos);
  EXPECT_NE(tab.find("Error  : unexplained\tno help description available"), std::string::npos);
  std::string paper = Listing(kDeviceDosFile, [] { ReportMessages(); });
  std::vector<std::string> l = Lines(paper);
  EXPECT_EQ(l[1], "       REMARKS, WARNINGS AND ERROR MESSAGES");
  EXPECT_EQ(l[2], "       " + std::string(70, '='));
  EXPECT_NE(paper.find("       origin k\n"), std::string::npos);
}

TEST_F(OutputRouterTest, CaptionsOnlyLeavesTheStateAlone) {
  OutputState.CurrentOutputDevice = 5;
  OutputState.pageCounter = 3;
  OutputState.lineCounter = 7;
  OutputOpen(kOutputCaptionsOnly);
  EXPECT_EQ(ScreenLines[1], "Screen");
  EXPECT_EQ(ScreenLines[7], "HTML File");
  EXPECT_EQ(OutputState.CurrentOutputDevice, 5);
  EXPECT_EQ(OutputState.pageCounter, 3);
  EXPECT_EQ(OutputState.lineCounter, 7);
  EXPECT_TRUE(host_.Records().empty());
}

TEST_F(OutputRouterTest, UnknownDeviceOpensNothing) {
  // The channel still names an earlier listing; a writer must not overwrite it.
  std::ofstream(dir_ + "/earlier.txt") << "earlier\n";
  AssignText(GlobalTextFile, dir_ + "/earlier.txt");
  OutputOpen(12);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(ReadAll(dir_ + "/earlier.txt"), "earlier\n");
}

TEST_F(OutputRouterTest, DeviceChoiceCancelled) {
  ConfigVariables.AskOutputDevice = true;
  host_.AnswerCancel();
  OutputOpen(0);
  EXPECT_TRUE(AbortFlag);
  ASSERT_EQ(host_.RecordsOf(TDialogKind::Choice).size(), 1u);
  EXPECT_EQ(host_.RecordsOf(TDialogKind::Choice)[0].entries.size(), 7u);
  EXPECT_EQ(host_.RecordsOf(TDialogKind::Choice)[0].helpNumber, 1050);
}

TEST_F(OutputRouterTest, HtmlPageEscapesTextAndDeclaresItsCharacterSet) {
  ConfigVariables.HtmlBrowserPath = "";
  host_.AnswerFile(dir_ + "/page.htm");
  ReportSetHeader("", "Part <&> \"x\"", "", "", "", 0);
  ReportSetColumns("", "symbol", "unit", "Shaft", "Hub");
  std::string html = Listing(kDeviceHtml, [] {
    ReportPageHeader(0, 1);
    ReportRowTwoParts("a<b", "s", "mm", "1", "2");
    ReportLine("Gap \x81 width");  // CP850 u-umlaut
  });
  EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_NE(html.find("<h5>Part &lt;&amp;&gt; &quot;x&quot;</h5>"), std::string::npos);
  EXPECT_NE(html.find("<TD>a&lt;b</TD>"), std::string::npos);
  EXPECT_NE(html.find("<h5></h5>"), std::string::npos);  // empty fourth line still written
  EXPECT_NE(html.find("<br>Gap \xC3\xBC width"), std::string::npos);
  EXPECT_EQ(Count(html, "<TABLE"), Count(html, "</TABLE>"));
  EXPECT_EQ(html.substr(html.size() - 16), "</BODY>\n</HTML>\n");
}

TEST_F(OutputRouterTest, TextPrinterPortGetsTheListing) {
  const std::string port = dir_ + "/lpt1";
  SetPrinterPortOverride(port);
  host_.AnswerNo();  // no single-page printing
  std::string text = Listing(kDeviceTextPrinter, [] {
    ReportLine("to the printer " + NameText("Größe"));
    ReportPageEnd();
  });
  // The port knows only code page 850: the name in it (octal), no wrapping bytes.
  EXPECT_EQ(text, "       to the printer Gr\224\341e\n\f");
  EXPECT_EQ(
      host_.RecordsOf(TDialogKind::YesNo).size() + host_.RecordsOf(TDialogKind::Question).size(),
      1u);
}

TEST_F(OutputRouterTest, WithoutThePortDeviceTheListingGoesToThatPortsQueue) {
  if (fs::exists("/dev/lp1")) GTEST_SKIP() << "a real second port";
  // A stand-in print command notes its arguments and the listing it was given.
  fs::create_directories(dir_ + "/bin");
  std::ofstream(dir_ + "/bin/lp") << "#!/bin/sh\necho \"$1 $2\" > "
                                  << validator_support::Quote(dir_ + "/lp.args")
                                  << "\nshift 2\ncat \"$1\" > "
                                  << validator_support::Quote(dir_ + "/lp.data") << "\n";
  fs::permissions(dir_ + "/bin/lp", fs::perms::owner_all);
  const std::string path = getenv("PATH");
  setenv("PATH", (dir_ + "/bin:" + path).c_str(), 1);
  ProgramSettings.PrinterInterface = 2;
  host_.AnswerNo();  // no single-page printing
  Listing(kDeviceTextPrinter, [] { ReportLine("queued"); });
  setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(ReadAll(dir_ + "/lp.args"), "-d LPT2\n");
  EXPECT_EQ(ReadAll(dir_ + "/lp.data"), "       queued\n");
}

TEST_F(OutputRouterTest, PrinterSetUpFileGoesAheadOfTheFirstLine) {
  const std::string port = dir_ + "/lpt1";
  SetPrinterPortOverride(port);
  const fs::path previous = fs::current_path();
  fs::current_path(dir_);
  std::ofstream("TEXT.TVP", std::ios::binary) << "\x1b@\x1b"
                                                 "E";
  host_.AnswerNo();
  std::string text = Listing(kDeviceTextPrinter, [] { ReportLine("first"); });
  fs::current_path(previous);
  EXPECT_EQ(text,
            "\x1b@\x1b"
            "E       first\n");
}

TEST_F(OutputRouterTest, FileDeviceWritesChosenFileAndDisplayCopy) {
  host_.AnswerFile(dir_ + "/result.txt");
  MessagesEnabled = false;
  std::string text = Listing(kDeviceFile, [] { ReportLine("Gap \x81"); });
  EXPECT_EQ(text, "       Gap \xC3\xBC\n");  // a file for people is UTF-8
  EXPECT_EQ(OutputState.OutputFileName, dir_ + "/result.txt");
  EXPECT_EQ(ReadAll(OutputTempDirectory() + "outwin.txt"), "       Gap \xC3\xBC\n");
  EXPECT_TRUE(MessagesEnabled);
  EXPECT_EQ(CurrentFileName, "joint");  // restored after the save dialog
  EXPECT_EQ(ProgramIdentity.shortName, "vuk");
}

TEST_F(OutputRouterTest, ListingReplacesAnOldFileInOnePiece) {
  const std::string name = dir_ + "/result.txt";
  std::ofstream(name) << "old listing\n";
  // A second name of the old file keeps the old content when the new file is renamed over it.
  fs::create_hard_link(name, dir_ + "/old-link");
  host_.AnswerFile(name);
  host_.AnswerYes();  // overwrite
  OutputOpen(kDeviceFile);
  ASSERT_FALSE(AbortFlag);
  OutputRewrite();
  ReportLine("new listing");
  // While the listing is being written the old file is still whole.
  EXPECT_EQ(ReadAll(name), "old listing\n");
  OutputClose();
  EXPECT_EQ(ReadAll(name), "       new listing\n");
  EXPECT_EQ(ReadAll(dir_ + "/old-link"), "old listing\n");
}

TEST_F(OutputRouterTest, DataTextDeviceWritesTheDataFileNameInUtf8) {
  CurrentFileName = dir_ + "/joint\xC3\xA4";  // a name from the system, in UTF-8
  DrawingTexts[1] = "drawing \x81";           // texts in the DOS code page
  ReportSetColumns("", "symbol", "unit", "Shaft", "Hub");
  Listing(kDeviceDataTxt, [] {
    ReportPageHeader(0, 1);
    ReportRow("t", "s", "u", "v");
  });
  const std::string kept = dir_ + "/joint\xC3\xA4.txt";
  std::vector<std::string> l = Lines(ReadAll(kept));
  ASSERT_EQ(l.size(), 8u);
  EXPECT_EQ(l[0], "VUKO   involute spline V1.0\t" + DateStr() + "\t" + TimeStr());
  EXPECT_EQ(l[1], dir_ + "/joint\xC3\xA4.vuk");  // the data file the listing belongs to
  EXPECT_EQ(l[2], "drawing \xC3\xBC");
  EXPECT_EQ(l[5], " ");
  EXPECT_EQ(l[6], "\tsymbol\tunit\tShaft\tHub");
  EXPECT_EQ(l[7], "t\ts\tu\tv");
  EXPECT_EQ(ProgramSettings.ExportFileCounter, 1);
  EXPECT_EQ(OutputState.keptFileName, kept);
}

TEST_F(OutputRouterTest, ExportsAndTheBrowserPageOutliveTheRun) {
  // The text export is kept beside the data file, and its path is told.
  Listing(kDeviceTxtFile, [] { ReportLine("export"); });
  const std::string exported = dir_ + "/joint.txt";
  EXPECT_EQ(OutputState.keptFileName, exported);
  EXPECT_EQ(host_.Messages().back(), "saved as " + exported);
  // A second export would replace the user's file: asked first, and No keeps it.
  host_.AnswerNo();
  OutputOpen(kDeviceTxtFile);
  EXPECT_TRUE(AbortFlag);
  AbortFlag = false;

  // The browser page is the program's own: a second one replaces it without a question.
  const std::string browser = dir_ + "/browser";
  std::ofstream(browser) << "#!/bin/sh\necho \"$1\" >> "
                         << validator_support::Quote(dir_ + "/browser.args") << "\n";
  fs::permissions(browser, fs::perms::owner_all);
  ConfigVariables.HtmlBrowserPath = browser;
  host_.Clear();
  for (const char* line : {"first page", "second page"}) {
    Listing(kDeviceHtml, [line] { ReportLine(line); });
    EXPECT_FALSE(AbortFlag);
  }
  EXPECT_TRUE(host_.Records().empty());
  const std::string page = OutputState.keptFileName;
  EXPECT_EQ(page, dir_ + "/cache/vuko/vuko.htm");

  // Without a word processor the message names the copy that was kept for it.
  ConfigVariables.WordProcessorPath = "/nonexistent/editor";
  Listing(kDeviceWordProcessor, [] { ReportLine("x"); });
  EXPECT_EQ(host_.Messages().back(),
            "/nonexistent/editor not found\nsaved as " + dir_ + "/cache/vuko/outwin.txt");

  // The run ends: its private directory goes, what was handed over stays.
  platform::RemovePrivateTempDirectory();
  EXPECT_NE(ReadAll(page).find("second page"), std::string::npos);
  EXPECT_EQ(ReadAll(exported), "export\n");
  EXPECT_EQ(ReadAll(dir_ + "/cache/vuko/outwin.txt"), "       x\n");
}

TEST_F(OutputRouterTest, ScreenDeviceShowsListingAndErasesTemporaryFile) {
  std::string display, print;
  InstallShowTextFileHook([&](const std::string& d, const std::string& p) {
    display = ReadAll(d);
    print = p;
  });
  Listing(kDeviceScreen, [] { ReportLine("shown"); });
  EXPECT_EQ(display, "       shown\n");
  EXPECT_NE(print.find("$OUT"), std::string::npos);
  EXPECT_FALSE(fs::exists(print));
}

TEST_F(OutputRouterTest, PrinterAndWordProcessorWithoutProgramsReportIt) {
  Listing(kDevicePrinter, [] { ReportLine("x"); });
  EXPECT_EQ(host_.Messages().back(), "No printer available");
  AbortFlag = false;
  ConfigVariables.WordProcessorPath = "/nonexistent/editor";
  Listing(kDeviceWordProcessor, [] { ReportLine("x"); });
  EXPECT_EQ(host_.Messages().back().rfind("/nonexistent/editor not found", 0), 0u);
}

TEST_F(OutputRouterTest, FormatNumberedTitlePlacesNumberAtColumn40) {
  std::string t = FormatNumberedTitle("External spline", "01");
  EXPECT_EQ(t.size(), 64u);
  EXPECT_EQ(t.substr(0, 15), "External spline");
  EXPECT_EQ(t.substr(39, 7), "No.: 01");
}

}  // namespace
