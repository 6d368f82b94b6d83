// Code-page conversions checked against glibc's iconv: the stored table
// tests/data/cp850_iconv.txt (made once with iconv) and, where iconv is on the machine, live
// runs of iconv for CP850 <-> UTF-8 and CP850 <-> CP1252.
#include "common/codepage.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "common/program_state.h"
#include "validator_support.h"

namespace {

class CodepageTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetProgramStateForTests(); }
  void TearDown() override { ResetProgramStateForTests(); }
};

std::string AllBytes() {
  std::string s;
  for (int b = 0; b < 256; ++b) s.push_back(static_cast<char>(b));
  return s;
}

// Runs iconv over the bytes; nullopt when iconv is missing or refuses the input.
std::optional<std::string> RunIconv(const std::string& from, const std::string& to,
                                    const std::string& input) {
  std::string path = (std::filesystem::temp_directory_path() / "vuko_iconv_XXXXXX").string();
  int fd = mkstemp(path.data());
  if (fd < 0) return std::nullopt;
  bool written = write(fd, input.data(), input.size()) == static_cast<ssize_t>(input.size());
  close(fd);
  std::optional<std::string> result;
  if (written) {
    std::string cmd =
        "iconv -f " + from + " -t " + to + " " + validator_support::Quote(path) + " 2>/dev/null";
    if (FILE* p = popen(cmd.c_str(), "r")) {
      std::string out;
      char buf[4096];
      std::size_t n = 0;
      while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
      if (pclose(p) == 0) result = out;
    }
  }
  unlink(path.c_str());
  return result;
}

bool IconvAvailable() {
  return RunIconv("CP850", "UTF-8", "a").has_value();
}

TEST_F(CodepageTest, Cp850TableAgreesWithTheStoredIconvTable) {
  std::ifstream in(std::string(VUKO_TEST_DATA_DIR) + "/cp850_iconv.txt");
  ASSERT_TRUE(in) << "tests/data/cp850_iconv.txt missing";
  std::string line;
  int rows = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    unsigned byte = 0;
    unsigned cp = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "%x %x", &byte, &cp), 2) << line;
    EXPECT_EQ(static_cast<unsigned>(Cp850ToUnicode(static_cast<unsigned char>(byte))), cp)
        << "byte " << byte;
    unsigned char back = 0;
    ASSERT_TRUE(UnicodeToCp850(cp, back)) << "byte " << byte;
    EXPECT_EQ(back, byte);
    ++rows;
  }
  EXPECT_EQ(rows, 256);
}

TEST_F(CodepageTest, DosToWinAndBackAgreeWithIconvOnAllBytes) {
  if (!IconvAvailable()) GTEST_SKIP() << "iconv not available";
  ConfigVariables.CharMode = 0;
  std::string dos = AllBytes() + AllBytes();  // 512 characters: no length limit either
  auto utf8 = RunIconv("CP850", "UTF-8", dos);
  ASSERT_TRUE(utf8.has_value());
  EXPECT_EQ(DosToWin(dos), *utf8);
  EXPECT_EQ(WinToDos(*utf8), dos);
}

TEST_F(CodepageTest, OemAnsiConversionsAgreeWithIconv) {
  if (!IconvAvailable()) GTEST_SKIP() << "iconv not available";
  for (int b = 0x80; b < 0x100; ++b) {
    std::string one(1, static_cast<char>(b));
    // iconv refuses characters the target lacks; ours give "?".
    EXPECT_EQ(OemToAnsi(one), RunIconv("CP850", "CP1252", one).value_or("?")) << "byte " << b;
    EXPECT_EQ(AnsiToOem(one), RunIconv("CP1252", "CP850", one).value_or("?")) << "byte " << b;
  }
}

TEST_F(CodepageTest, LongTextsKeepEveryCharacter) {
  for (std::size_t len : {254u, 255u, 256u, 1000u}) {
    std::string dos(len, '\x81');  // u umlaut
    std::string win = DosToWin(dos);
    EXPECT_EQ(win.size(), 2 * len) << len;
    EXPECT_EQ(WinToDos(win), dos) << len;
    std::string plain(len, 'x');
    EXPECT_EQ(WinToDos(plain), plain) << len;
    EXPECT_EQ(OutputText(dos).size(), len) << len;
  }
}

TEST_F(CodepageTest, BarStaysABarThroughBothConversions) {
  for (int mode : {0, 1}) {
    ConfigVariables.CharMode = static_cast<std::uint16_t>(mode);
    EXPECT_EQ(DosToWin("a|b"), "a|b") << "CharMode " << mode;
    EXPECT_EQ(DosToWinTable("a|b"), "a|b") << "CharMode " << mode;
    EXPECT_EQ(WinToDos(DosToWin("a|b")), "a|b") << "CharMode " << mode;
  }
  ConfigVariables.CadTextMode = 2;
  EXPECT_EQ(OutputText("a|b"), "a|b");
}

TEST_F(CodepageTest, UnmappableAndBrokenInputBecomesQuestionMarks) {
  EXPECT_EQ(WinToDos("\xE2\x82\xAC"), "?");      // euro sign: not in CP850
  EXPECT_EQ(WinToDos("\xE4\xB8\xAD"), "?");      // CJK character
  EXPECT_EQ(WinToDos("a\xC3"), "a?");            // cut sequence
  EXPECT_EQ(WinToDos("\xE2\x82z"), "?z");        // sequence broken by ASCII
  EXPECT_EQ(WinToDos("\xC0\xAF"), "??");         // overlong form of "/"
  EXPECT_EQ(WinToDos("\xED\xA0\x80"), "?");      // surrogate
  EXPECT_EQ(WinToDos("\xF0\x9F\x98\x80"), "?");  // emoji beyond the BMP
  EXPECT_EQ(WinToDos("Stra\xC3\x9F"
                     "e"),
            "Stra\xE1"
            "e");  // sharp s is CP850 byte 225
}

TEST_F(CodepageTest, TransliterationToAscii) {
  const struct {
    const char* dos;
    const char* ascii;
  } cases[] = {
      {"\x81"
       "ber",
       "ueber"},
      {"Stra\xE1"
       "e",
       "Strasse"},
      {"\x8E"
       "rger",
       "Aerger"},
      {"\x99"
       "l",
       "Oel"},
      {"\x9A"
       "bel",
       "Uebel"},
      {"K\x84"
       "se",
       "Kaese"},
      {"sch\x94n", "schoen"},
      {"\xF1"
       "0.1",
       "+/-0.1"},
      {"20\xF8", "20deg"},
      {"mm\xFD", "mm2"},
      {"\xE6m", "um"},
      {"\xC4\xCD", "--"},
      {"caf\x82", "cafe"},
      {"Espa\xA4"
       "a",
       "Espana"},
      {"\x87", "\x87"},
  };
  for (const auto& c : cases) EXPECT_EQ(Transliterate(c.dos), c.ascii) << c.ascii;
}

TEST_F(CodepageTest, CharacterModeOneUsesTheFixedTable) {
  ConfigVariables.CharMode = 1;
  EXPECT_EQ(DosToWin("\x81"), "ue");           // transliterated first
  EXPECT_EQ(DosToWin("\x86"), "\xC3\xA5");     // a ring
  EXPECT_EQ(DosToWin("\xB3\xDA\xBA"), "|+|");  // box drawing to ASCII
  EXPECT_EQ(DosToWin("\x87"), "\xC3\xA7");     // not in the table: its CP850 character
  EXPECT_EQ(DosToWin("\xFC"), "\xC2\xB3");     // superscript three
  ConfigVariables.CharMode = 0;
  EXPECT_EQ(DosToWin("\x81"), "\xC3\xBC");      // u umlaut
  EXPECT_EQ(DosToWin("\xB3"), "\xE2\x94\x82");  // box vertical
}

TEST_F(CodepageTest, OutputTextByCadTextMode) {
  ConfigVariables.CharMode = 0;
  const std::string dos =
      "\x81"
      "ber 20\xF8";
  ConfigVariables.CadTextMode = 1;
  EXPECT_EQ(OutputText(dos), dos);
  ConfigVariables.CadTextMode = 2;
  EXPECT_EQ(OutputText(dos),
            "\xFC"
            "ber 20\xB0");  // single-byte Windows code page
  ConfigVariables.CadTextMode = 3;
  EXPECT_EQ(OutputText(dos), "ueber 20deg");
  ConfigVariables.CadTextMode = 7;
  EXPECT_EQ(OutputText(dos), dos);
  ConfigVariables.CadTextMode = 2;
  ConfigVariables.CharMode = 1;
  EXPECT_EQ(OutputText("\x86\xB3"), "\xE5|");
}

// A name inside a code-page text comes out of every conversion exactly, "?" or "\U+XXXX" where
// the target cannot hold it. Columns as a monospaced font shows them: Unicode's East Asian Width
// W and F characters (CJK, Hangul, full-width forms) take two.
TEST_F(CodepageTest, NamesInsideCodePageTextsComeOutExactly) {
  const std::string u = "\x81";  // CP850 u umlaut around the name
  const struct {
    std::string name;
    std::size_t columns;
    int cadTextMode;
    std::string dos, cad;
  } cases[] = {
      {"Größe ä", 7, 1, "Gr\224\341e \204", "Gr\224\341e \204"},  // octal: CP850
      {"Größe ä", 7, 2, "Gr\224\341e \204", "Gr\366\337e \344"},  // octal: ANSI
      {"Preis € 日本", 12, 1, "Preis ? ??", "Preis \\U+20AC \\U+65E5\\U+672C"},
      {"Preis € 日本", 12, 3, "Preis ? ??", "Preis \x80 \\U+65E5\\U+672C"},
      {"한글 ｶﾅ Ａ", 10, 1, "?? ?? ?", "\\U+D55C\\U+AE00 \\U+FF76\\U+FF85 \\U+FF21"},
      {"가힣｡ᄀ", 7, 1, "????", "\\U+AC00\\U+D7A3\\U+FF61\\U+1100"},  // ends of wide ranges
      {"łukasz Čeština", 14, 2, "?ukasz ?e?tina", "\\U+0142ukasz \\U+010Ce\x9Atina"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name + " " + std::to_string(c.cadTextMode));
    const std::string text = u + " " + NameText(c.name) + " " + u;
    for (int mode : {0, 1}) {
      ConfigVariables.CharMode = static_cast<std::uint16_t>(mode);
      EXPECT_EQ(DosToWin(text), DosToWin(u) + " " + c.name + " " + DosToWin(u));
      EXPECT_EQ(DosToWinTable(text), DosToWinTable(u) + " " + c.name + " " + DosToWinTable(u));
    }
    ConfigVariables.CharMode = 0;
    EXPECT_EQ(NamesToCp850(text), u + " " + c.dos + " " + u);
    ConfigVariables.CadTextMode = static_cast<std::uint16_t>(c.cadTextMode);
    EXPECT_EQ(OutputText(text), OutputText(u) + " " + c.cad + " " + OutputText(u));
    EXPECT_EQ(ShownLength(text), 4 + c.columns);
  }
  // A shortened name keeps to its columns and never splits a character.
  EXPECT_EQ(DosToWin(NameText("Preis € 日本", 9)), "P ... 本");
  EXPECT_EQ(DosToWin(NameText("Preis € 日本", 11)), "Pr ... 本");
  EXPECT_EQ(DosToWin(NameText("日本語の名前です", 12)), "日 ... です");
  EXPECT_EQ(DosToWin(NameText("Preis € 日本", 12)), "Preis € 日本");
  EXPECT_EQ(DosToWin(NameText("日本", 3)), " ... ");
  EXPECT_EQ(DosToWin(NameText("ab", 0)), " ... b");
  EXPECT_EQ(DosToWin(NameText("a", 0)), " ... a");
}

// The first typed character code page 850 lacks; a broken sequence is no character it holds.
TEST_F(CodepageTest, FirstCharacterOutsideTheCodePage) {
  const std::pair<std::string, std::string> cases[] = {
      {"Größe ä ½", ""},   {"Preis € 日本", "€"},      {"łukasz", "ł"},
      {"a\xC3", "\uFFFD"}, {"\xC3\xA4\xFF", "\uFFFD"}, {"", ""},
  };
  for (const auto& [typed, first] : cases) EXPECT_EQ(FirstCharOutsideCp850(typed), first) << typed;
}

}  // namespace
