// Numbered help texts: lookup rules of the help file format, the help box, and the shipped help
// files against the help numbers the program's sources use.
#include "common/help_texts.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "common/codepage.h"
#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"

namespace fs = std::filesystem;

namespace {

class HelpTextsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    SetProgramIdentity();
    std::string pattern = (std::filesystem::temp_directory_path() / "vuko-help-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
    ProgramSettings.pltDirectory = dir_;
  }
  void TearDown() override {
    InstallHelpImageHook(nullptr);
    fs::remove_all(dir_);
  }
  void WriteFile(const std::string& name, const std::string& content) {
    std::ofstream(dir_ + "/" + name, std::ios::binary) << content;
  }
  THelpLines Lookup(int number, THelpLookup expected, std::string* image = nullptr) {
    THelpLines lines;
    std::string img;
    EXPECT_EQ(LookupHelpEntry(number, lines, img), expected) << number;
    if (image != nullptr) *image = img;
    return lines;
  }
  std::string dir_;
};

TEST_F(HelpTextsTest, NumbersFrom4000ComeFromTheProgramsOwnFileLowerOnesFromTheSharedFile) {
  WriteFile("vuko.hlp", "4000\nown entry\n");
  WriteFile("TARVENO.hlp", "3995\nshared entry\n");
  EXPECT_EQ(HelpFileName(4000), dir_ + "/vuko.hlp");
  EXPECT_EQ(HelpFileName(3999), dir_ + "/TARVENO.hlp");
  EXPECT_EQ(Lookup(4000, THelpLookup::Found)[1], "own entry");
  EXPECT_EQ(Lookup(3995, THelpLookup::Found)[1], "shared entry");
}

TEST_F(HelpTextsTest, SharedFileIsFoundWhateverTheCaseOfItsName) {
  WriteFile("tarveno.hlp", "1050\nOutput device\n");
  EXPECT_EQ(Lookup(1050, THelpLookup::Found)[1], "Output device");
}

TEST_F(HelpTextsTest, ParseHelpLineReadsNumberAndImage) {
  struct Case {
    const char* line;
    int number;
    const char* image;
  } cases[] = {
      {"4005:dmess", 4005, "dmess"},  // image after the first ":"
      {"4005", 4005, "NULL"},         // no ":" means no image
      {"4007 x:a:b", 4007, "a:b"},    // only the first ":" separates
      {"Text: more", -1, " more"},    // plain line, image still taken after ":"
      {"", -1, "NULL"},               // empty line is a plain line
      {"12ab", -1, "NULL"},           // digits then letters: no number
  };
  for (const Case& c : cases) {
    int number = 0;
    std::string image;
    ParseHelpLine(c.line, number, image);
    EXPECT_EQ(number, c.number) << c.line;
    EXPECT_EQ(image, c.image) << c.line;
  }
}

TEST_F(HelpTextsTest, EntryEndsAtTheNextNumberThatIsAMultipleOfFive) {
  WriteFile("vuko.hlp", "4000\nzero\n4005:pic\nfirst\nsecond\n4010\nnext entry\n");
  std::string image;
  THelpLines lines = Lookup(4005, THelpLookup::Found, &image);
  EXPECT_EQ(lines[1], "first");
  EXPECT_EQ(lines[2], "second");
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(image, "pic");
}

TEST_F(HelpTextsTest, ContinuationNumbersPlaceOrSkipTheirLine) {
  // 4007 at the position of line 3 is entry 4005's line 3; 4008 at line 3 is skipped.
  WriteFile("vuko.hlp",
            "4005\none\nplain two\n4007\nthree\n4020\nx\n4025\nA\nB\n4028\nskipped\nD\n");
  THelpLines a = Lookup(4005, THelpLookup::Found);
  EXPECT_EQ(a[2], "plain two");
  EXPECT_EQ(a[3], "three");
  THelpLines b = Lookup(4025, THelpLookup::Found);
  EXPECT_EQ(b[1], "A");
  EXPECT_EQ(b[2], "B");
  EXPECT_EQ(b[3], "");  // 4028 is not 4025 + 3 - 1
  EXPECT_EQ(b[4], "D");
}

TEST_F(HelpTextsTest, EntryOfFiveLinesStopsThere) {
  WriteFile("vuko.hlp", "4000\na\nb\nc\nd\ne\nf\n");
  THelpLines lines = Lookup(4000, THelpLookup::Found);
  EXPECT_EQ(lines[5], "e");
}

TEST_F(HelpTextsTest, LastEntryOfTheFileCanBeShown) {
  // The entry's only text line is the file's last line (with and without a final line end).
  WriteFile("vuko.hlp", "4000\nfirst\n4005\nlast entry\n");
  EXPECT_EQ(Lookup(4005, THelpLookup::Found)[1], "last entry");
  WriteFile("vuko.hlp", "4000\nfirst\n4005\nlast entry");
  EXPECT_EQ(Lookup(4005, THelpLookup::Found)[1], "last entry");
}

TEST_F(HelpTextsTest, NumberLineWithoutTextLineIsMissing) {
  WriteFile("vuko.hlp", "4000\nfirst\n4005\n");
  std::string image;
  THelpLines lines = Lookup(4005, THelpLookup::EntryMissing, &image);
  EXPECT_EQ(lines[1], "help text No 4005: No help available.");
  EXPECT_EQ(image, "null");
}

TEST_F(HelpTextsTest, MissingFileNamesItInLineOne) {
  THelpLines lines = Lookup(4000, THelpLookup::FileMissing);
  EXPECT_EQ(DosToWin(lines[1]), "File " + dir_ + "/vuko.hlp not found !");
}

TEST_F(HelpTextsTest, CrLfFileReadsTheSame) {
  WriteFile("vuko.hlp", "4000\r\nfirst\r\nsecond\r\n4005\r\nx\r\n");
  THelpLines lines = Lookup(4000, THelpLookup::Found);
  EXPECT_EQ(lines[1], "first");
  EXPECT_EQ(lines[2], "second");
}

TEST_F(HelpTextsTest, ShowHelpTextShowsCaptionedBoxAndClearsAbortOnMissingEntry) {
  WriteFile("vuko.hlp", "4000\nline one\nline two\n");
  ScriptedDialogHost host;
  HelpNumber = 4000;
  ShowHelpText(0, kHelpTextOnly);
  ASSERT_EQ(host.Records().size(), 1u);
  EXPECT_EQ(host.Records()[0].caption, "HELP TEXT No.4000");
  EXPECT_EQ(host.Records()[0].prompt, "line one line two    ");

  AbortFlag = true;
  ShowHelpText(4100, kHelpTextOnly);
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(host.Records().back().prompt, "help text No 4100: No help available.     ");
}

TEST_F(HelpTextsTest, ImageKindHandsThePictureFileToTheHook) {
  WriteFile("vuko.hlp", "4000:bild\ntext\n4005\nno picture\n");
  std::vector<std::string> drawn;
  InstallHelpImageHook([&](const std::string& plt) { drawn.push_back(plt); });
  ScriptedDialogHost host;
  ShowHelpText(4000, kHelpImageOnly);
  ShowHelpText(4005, kHelpImageOnly);
  EXPECT_TRUE(host.Records().empty());  // image only: no message box
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_EQ(drawn[0], dir_ + "/bild.plt");
  EXPECT_EQ(drawn[1], "");  // only clears the window
}

TEST_F(HelpTextsTest, GetHelpTextJoinsConvertedLines) {
  WriteFile("vuko.hlp", std::string("4000\nd\x81nn\n4001\nzwei\n"));
  AbortFlag = true;
  EXPECT_EQ(GetHelpText(4000), "d\xC3\xBCnn zwei   ");  // CP850 0x81 is u-umlaut
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(GetHelpText(4200), "help text No 4200: No help available.");
}

// Every help number the sources hand to a dialog has an entry in the shipped files.
TEST(ShippedHelpFiles, EveryHelpNumberUsedBySourcesHasAnEntry) {
  ResetProgramStateForTests();
  SetProgramIdentity();
  ProgramSettings.pltDirectory = VUKO_DATA_DIR;
  const std::regex call(
      R"((SetInputHelpNumber|SetHelpNumber|ShowHelpText|FetchHelpText|GetHelpText)\s*\(\s*([0-9]{4}))");
  std::set<int> numbers;
  for (const auto& e : fs::recursive_directory_iterator(std::string(VUKO_SOURCE_DIR) + "/src")) {
    if (!e.is_regular_file()) continue;
    std::ifstream in(e.path());
    std::stringstream ss;
    ss << in.rdbuf();
    std::string text = ss.str();
    for (auto it = std::sregex_iterator(text.begin(), text.end(), call);
         it != std::sregex_iterator(); ++it) {
      numbers.insert(std::stoi((*it)[2]));
    }
  }
  ASSERT_FALSE(numbers.empty());
  for (int n : numbers) {
    THelpLines lines;
    std::string image;
    EXPECT_EQ(LookupHelpEntry(n, lines, image), THelpLookup::Found) << "help number " << n;
    EXPECT_FALSE(lines[1].empty()) << n;
  }
}

}  // namespace
