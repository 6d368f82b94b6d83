// The data file: line layout read back line by line against the format's description, save and
// load round trip of every stored record, drawing-text numbers keeping their decimals, broken
// and cut files leaving the data set untouched, CRLF and CR copies, name resolution through the
// dialogs, a golden file of the example and the shipped example files.
//
// After a deliberate change of the layout, look at the new output and accept it with:
//   VUKO_ACCEPT_GOLDEN=1 ./test_app --gtest_filter='*Golden*:*ShippedExample*'
// which rewrites tests/data/golden/example.vuk and the data/ example files.
#include "app/data_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/documentation_records.h"
#include "app_test_support.h"
#include "calc/spline_joint.h"
#include "calc/toothing_data.h"
#include "common/codepage.h"
#include "common/formatting.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "drawings/drawing_documentation.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteAll(const std::string& name, const std::string& text) {
  std::ofstream(name, std::ios::binary) << text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line.push_back(c);
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> f(1);
  for (char c : line) {
    if (c == '|') {
      f.emplace_back();
    } else {
      f.back().push_back(c);
    }
  }
  return f;
}

// The start state of every record a data file touches.
void InitRecords() {
  InitProgramState();
  SetProgramIdentity();
  InitMessageList();
  InitToothingData();
  InitChangeRecords();
  InitDocumentSlots();
  MessagesEnabled = true;
  AbortFlag = false;
}

// The example joint with every kind of documentation filled in.
void SetUpDocumentedExample() {
  NewSplineExample();
  CalcSplineJoint();
  AbortFlag = false;
  DrawingTexts[1] = "Spline joint DIN 5480";
  DrawingTexts[2] = "Gearbox 4";
  DrawingTexts[3] = "Example";
  PartNames.secondName[1] = "W 61 x 6.5 x 8";
  PartNames.secondName[2] = "N 61 x 6.5 x 8";
  TChangeRecords& c = ChangeRecords;
  c.count = 2;
  c.changes[1] = {"first issue", "2026/01/05", "AB", "released for production"};
  c.changes[2] = {"tip diameter", "2026/02/17", "CD",
                  "tip diameter 61 instead of 60\r\nballs checked\r\nnew part number"};
  const char* info[kDrawingInfoCount] = {"2026/01/02", "AB", "2026/01/03", "EF",
                                         "2026/01/04", "GH", "V 100-1",    "V 100-3",
                                         "2026/01/05", "IJ"};
  for (int i = 1; i <= kDrawingInfoCount; ++i) c.drawingInfo[i] = info[i - 1];
  c.textCount = 2;
  c.texts[1] = {123.45L, 87.125L, 3.5L, 90.0L, "centre bore"};
  c.texts[2] = {10.0L, 250.0625L, 2.5L, -30.0L,
                "hardened \x81"
                "ber 58 HRC"};  // CP850 "ü"
  DocumentSlots[1] = {"notepad.exe", "spline_notes.txt"};
  DocumentSlots[3] = {"gimp", "/home/user/drawings/hub photo.png"};
}

class DataFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitRecords();
    std::string pattern =
        (std::filesystem::temp_directory_path() / "vuko-datafile-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
    DataDirectory = dir_;
    ProgramSettings.tempDirectory = dir_;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  // The bytes the writer gives for the data set in memory: a fingerprint of every stored field.
  std::string Fingerprint() {
    const bool abort = AbortFlag;
    AbortFlag = false;
    WriteDataFile(Path("fingerprint.vuk"));
    EXPECT_FALSE(AbortFlag);
    AbortFlag = abort;
    return ReadAll(Path("fingerprint.vuk"));
  }

  std::string SavedExample() {
    SetUpDocumentedExample();
    WriteDataFile(Path("example.vuk"));
    EXPECT_FALSE(AbortFlag);
    return ReadAll(Path("example.vuk"));
  }

  // A data set far from the example, so that a load that commits anything shows.
  void SetOtherDataSet() {
    InitRecords();
    DataDirectory = dir_;
    ResetSplineData();
    ToothingData.mn = 2.5L;
    ToothingData.z[1] = 21;
    PartNames.partName[1] = "other shaft";
    ChangeRecords.count = 1;
    ChangeRecords.changes[1] = {"other", "1999/09/09", "ZZ", "other description"};
    DocumentSlots[5] = {"other program", "other file"};
  }

  std::string dir_;
};

// Line numbers of the layout (1-based): seven header lines, the joint from line 8, the part
// blocks from 14 and 29, the clearances from 44, the change section from 52.
constexpr int kJointLine = 8;
constexpr int kPart1Line = 14;
constexpr int kPart2Line = 29;
constexpr int kClearanceLine = 44;
constexpr int kChangesLine = 52;

TEST_F(DataFileTest, LayoutLineByLine) {
  const std::vector<std::string> l = Lines(SavedExample());
  auto at = [&](int n) {
    return n <= static_cast<int>(l.size()) ? l[n - 1] : std::string("<none>");
  };
  // Header: rules of 65 "-" around the identification, then the three drawing texts.
  EXPECT_EQ(at(1), std::string(65, '-'));
  EXPECT_EQ(at(4), std::string(65, '-'));
  EXPECT_EQ(at(5), "Spline joint DIN 5480");
  EXPECT_EQ(at(6), "Gearbox 4");
  EXPECT_EQ(at(7), "Example");
  // Joint: alpha 30 degrees, mn 6.5, z 8, module given, both diameter modes by diameters.
  EXPECT_EQ(at(kJointLine), "30.0000000");
  EXPECT_EQ(at(kJointLine + 1), "6.5000000");
  EXPECT_EQ(at(kJointLine + 2), "8");
  EXPECT_EQ(at(kJointLine + 3), "1");
  EXPECT_EQ(at(kJointLine + 4), "1");
  EXPECT_EQ(at(kJointLine + 5), "1");
  // Shaft block: names (drawing name first), tool factors, input kind 3 (over balls), ball
  // 16, k as integer and once more as a real, MdR 82, da 61, df 48.
  EXPECT_EQ(at(kPart1Line), "External spline");
  EXPECT_EQ(at(kPart1Line + 1), "01");
  EXPECT_EQ(at(kPart1Line + 2), "W 61 x 6.5 x 8");
  EXPECT_EQ(at(kPart1Line + 5), "0.1500000");  // rhoaP0/mn
  EXPECT_EQ(at(kPart1Line + 6), "3");
  EXPECT_EQ(at(kPart1Line + 8), "16.0000000");
  EXPECT_EQ(at(kPart1Line + 9), "2");
  EXPECT_EQ(at(kPart1Line + 10), "82.0000000");
  EXPECT_EQ(at(kPart1Line + 12), "61.0000000");
  EXPECT_EQ(at(kPart1Line + 13), "48.0000000");
  EXPECT_EQ(at(kPart1Line + 14), "2.0000000");
  // Hub block: its dimension between balls is stored negative.
  EXPECT_EQ(at(kPart2Line), "Internal spline");
  EXPECT_EQ(at(kPart2Line + 1), "02");
  EXPECT_EQ(at(kPart2Line + 8), "12.0000000");
  EXPECT_EQ(at(kPart2Line + 10).substr(0, 1), "-");
  // Clearances: per-module flag, ce 1, ci 1, cp 0.3, shaft given, P = 25.4 / 6.5.
  EXPECT_EQ(at(kClearanceLine + 2), "FALSE");
  EXPECT_EQ(at(kClearanceLine + 3), "1.0000000");
  EXPECT_EQ(at(kClearanceLine + 5), "0.3000000");
  EXPECT_EQ(at(kClearanceLine + 6), "1");
  EXPECT_EQ(StrToReal(at(kClearanceLine + 7)), 25.4L / 6.5L);  // every digit, not 3.9076923
  // Changes: title, count, rule of 20, five lines a change ending in a rule of 14.
  EXPECT_EQ(at(kChangesLine), "CHANGES");
  EXPECT_EQ(at(kChangesLine + 1), "2");
  EXPECT_EQ(at(kChangesLine + 2), std::string(20, '-'));
  EXPECT_EQ(at(kChangesLine + 3), "first issue");
  EXPECT_EQ(at(kChangesLine + 4), "2026/01/05");
  EXPECT_EQ(at(kChangesLine + 5), "AB");
  EXPECT_EQ(at(kChangesLine + 6), "released for production");
  EXPECT_EQ(at(kChangesLine + 7), std::string(14, '-'));
  EXPECT_EQ(at(kChangesLine + 11), "tip diameter 61 instead of 60|balls checked|new part number");
  EXPECT_EQ(at(kChangesLine + 12), std::string(14, '-'));
  // Drawing information: check, standards and fourth-row pairs, text count, empty field.
  EXPECT_EQ(at(kChangesLine + 13), "2026/01/03|EF|2026/01/04|GH|2026/01/05|IJ|2||");
  EXPECT_EQ(at(kChangesLine + 14), "2026/01/02");  // completion date
  EXPECT_EQ(at(kChangesLine + 15), "V 100-1");     // replacement for
  EXPECT_EQ(at(kChangesLine + 16), "V 100-3");     // replaced by
  EXPECT_EQ(at(kChangesLine + 17), "AB");          // completion name
  // Drawing texts: the numbers as every other real of the file (integers below 1 bare).
  EXPECT_EQ(at(kChangesLine + 18), "123.4500000|87.1250000|3.5000000|90.0000000|centre bore||");
  EXPECT_EQ(at(kChangesLine + 19),
            "10.0000000|250.0625000|2.5000000|-30|hardened \x81"
            "ber 58 HRC||");
  // Documents: title, "5", rule, three lines a slot.
  const int docs = kChangesLine + 20;
  EXPECT_EQ(at(docs), "documents");
  EXPECT_EQ(at(docs + 1), "5");
  EXPECT_EQ(at(docs + 2), std::string(20, '-'));
  EXPECT_EQ(at(docs + 3), "notepad.exe");
  EXPECT_EQ(at(docs + 4), "spline_notes.txt");
  EXPECT_EQ(at(docs + 5), std::string(14, '-'));
  EXPECT_EQ(at(docs + 6), "write.exe");
  EXPECT_EQ(at(docs + 9), "gimp");
  EXPECT_EQ(at(docs + 10), "/home/user/drawings/hub photo.png");
  EXPECT_EQ(at(docs + 15), "notepad.exe");
  // Three reals per module close the file: ce/mn = 1 / 6.5, ci/mn, cp/mn = 0.3 / 6.5, each
  // with the digits that give it back exactly.
  EXPECT_EQ(StrToReal(at(docs + 18)), 1.0L / 6.5L);
  EXPECT_EQ(StrToReal(at(docs + 19)), 1.0L / 6.5L);
  EXPECT_EQ(StrToReal(at(docs + 20)), 0.3L / 6.5L);
  EXPECT_EQ(static_cast<int>(l.size()), docs + 20);
}

TEST_F(DataFileTest, NoChangesAndNoDrawingTextsGiveZeroCounts) {
  NewSplineExample();
  WriteDataFile(Path("empty.vuk"));
  ASSERT_FALSE(AbortFlag);
  const std::vector<std::string> l = Lines(ReadAll(Path("empty.vuk")));
  ASSERT_GT(l.size(), static_cast<std::size_t>(kChangesLine + 3));
  EXPECT_EQ(l[kChangesLine - 1], "CHANGES");
  EXPECT_EQ(l[kChangesLine], "0");
  const std::vector<std::string> f = Fields(l[kChangesLine + 2]);
  ASSERT_EQ(f.size(), 9u);
  EXPECT_EQ(f[6], "0");
  EXPECT_EQ(f[7], "");
  EXPECT_EQ(l[kChangesLine + 7], "documents");
}

// Every stored number of the data set in memory, named; text fields compare directly.
std::vector<std::pair<std::string, long double>> StoredNumbers() {
  const TToothingData& t = ToothingData;
  const TSplineInputData& s = SplineInputData;
  std::vector<std::pair<std::string, long double>> v = {{"alpha", t.alpha},
                                                        {"mn", t.mn},
                                                        {"Pn", t.Pn},
                                                        {"z1", t.z[1]},
                                                        {"z2", t.z[2]},
                                                        {"sn1", s.snIn[1]},
                                                        {"en2", s.enIn[2]},
                                                        {"ce", s.ce},
                                                        {"ci", s.ci},
                                                        {"cp", s.cp},
                                                        {"cemn", s.cemn},
                                                        {"cimn", s.cimn},
                                                        {"cpmn", s.cpmn},
                                                        {"given", s.ShiftGivenFor},
                                                        {"pitch", s.PitchMode},
                                                        {"major", s.ShaftDiamMode},
                                                        {"minor", s.HubDiamMode},
                                                        {"factor", s.ClearanceAsFactor}};
  for (int i = 1; i <= 2; ++i) {
    const std::string p = std::to_string(i);
    for (auto [name, value] :
         std::initializer_list<std::pair<const char*, long double>>{{"haP0mn", t.haP0mn[i]},
                                                                    {"hfP0mn", t.hfP0mn[i]},
                                                                    {"rhoaP0mn", t.rhoaP0mn[i]},
                                                                    {"kind", s.InputKind[i]},
                                                                    {"x", t.x[i]},
                                                                    {"Dm", t.Dm[i]},
                                                                    {"k", t.k[i]},
                                                                    {"MdR", s.MdRIn[i]},
                                                                    {"W", s.WIn[i]},
                                                                    {"da", s.daIn[i]},
                                                                    {"df", s.dfIn[i]}}) {
      v.emplace_back(name + p, value);
    }
  }
  for (int n = 1; n <= ChangeRecords.textCount; ++n) {
    const TDrawingTextRecord& d = ChangeRecords.texts[n];
    const std::string p = std::to_string(n);
    v.insert(v.end(), {{"x" + p, d.x}, {"y" + p, d.y}, {"h" + p, d.height}, {"phi" + p, d.angle}});
  }
  return v;
}

// Drawing-text positions take part with their decimals (123.45, 250.0625): they once went out
// with three significant digits and came back as 123 and 250. Every real comes back exactly,
// also the calculated shifts and the pitch 25.4 / 6.5 that seven decimals would round, and
// whatever the display digits ("Digits for floating point numbers" 1 once cut to five).
TEST_F(DataFileTest, SaveThenLoadGivesEveryStoredValueBack) {
  SetUpDocumentedExample();
  ProgramSettings.FloatDigits = 1;
  ChangeRecords.texts[1].x = 0.123456789L;
  // The slots name programs and files in folders of any script, kept byte for byte.
  const char* const folders[] = {"Größe ä", "Preis € 日本", "łukasz Čeština"};
  for (int n = 1; n <= 3; ++n) {
    DocumentSlots[n].program = std::string("/opt/") + folders[n - 1] + "/editor";
    DocumentSlots[n].file = std::string("/home/") + folders[n - 1] + "/" + folders[n - 1] + ".txt";
  }
  const auto numbers = StoredNumbers();
  const TPartNames names = PartNames;
  const TDrawingTexts texts = DrawingTexts;
  const TChangeRecords changes = ChangeRecords;
  const TDocumentSlots slots = DocumentSlots;
  SaveDataFile(Path("roundtrip.vuk"));
  ASSERT_FALSE(AbortFlag);

  SetOtherDataSet();
  LoadDataFile(Path("roundtrip.vuk"));
  ASSERT_FALSE(AbortFlag);
  ASSERT_FALSE(CalcFatalFlag);

  ASSERT_EQ(ChangeRecords.textCount, changes.textCount);
  const auto loaded = StoredNumbers();
  ASSERT_EQ(loaded.size(), numbers.size());
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    EXPECT_EQ(loaded[i].second, numbers[i].second) << numbers[i].first;
  }
  EXPECT_LT(SplineInputData.MdRIn[2], 0);
  for (int i = 1; i <= 2; ++i) {
    EXPECT_EQ(PartNames.partName[i], names.partName[i]);
    EXPECT_EQ(PartNames.drawingNumber[i], names.drawingNumber[i]);
    EXPECT_EQ(PartNames.secondName[i], names.secondName[i]);
  }
  EXPECT_EQ(DrawingTexts, texts);
  ASSERT_EQ(ChangeRecords.count, changes.count);
  for (int n = 1; n <= changes.count; ++n) {
    const TChangeRecord& a = ChangeRecords.changes[n];
    const TChangeRecord& b = changes.changes[n];
    EXPECT_EQ(std::tie(a.modification, a.date, a.editor, a.description),
              std::tie(b.modification, b.date, b.editor, b.description));
  }
  EXPECT_EQ(ChangeRecords.drawingInfo, changes.drawingInfo);
  for (int n = 1; n <= changes.textCount; ++n) {
    EXPECT_EQ(ChangeRecords.texts[n].text, changes.texts[n].text);
  }
  EXPECT_EQ(DocumentSlots, slots);

  // The loaded set is calculated: reference diameter d = mn z (no helix).
  EXPECT_NEAR(ToothingData.d[1], 6.5L * 8, 1e-9L);
}

// Numbers of a drawing text are read as any decimal number: files with few digits or a
// decimal comma, and a text holding a "|" of its own.
TEST_F(DataFileTest, DrawingTextLinesReadAsAnyDecimalNumber) {
  std::vector<std::string> l = Lines(SavedExample());
  const int first = kChangesLine + 17;  // index of the first drawing-text line
  l[first] = "123|4.5|3,75|0|a|b||";
  l[first + 1] = "1e2|  7.25 |2|-45|plain||";
  std::string text;
  for (const auto& line : l) text += line + "\n";
  WriteAll(Path("hand.vuk"), text);
  SetOtherDataSet();
  ReadDataFile(Path("hand.vuk"));
  ASSERT_FALSE(AbortFlag);
  const TDrawingTextRecord& a = ChangeRecords.texts[1];
  EXPECT_EQ(a.x, 123.0L);
  EXPECT_EQ(a.y, 4.5L);
  EXPECT_EQ(a.height, 3.75L);
  EXPECT_EQ(a.text, "a|b");
  const TDrawingTextRecord& b = ChangeRecords.texts[2];
  EXPECT_EQ(b.x, 100.0L);
  EXPECT_EQ(b.y, 7.25L);
  EXPECT_EQ(b.angle, -45.0L);
  EXPECT_EQ(b.text, "plain");
}

// A "|" in an approval name (a file from elsewhere; our own writer refuses it) cannot be told
// from a separator, but the drawing-text count still comes from its place before the closing
// empty field, so the rest of the file stays in step.
TEST_F(DataFileTest, BarInAnApprovalNameKeepsTheFileInStep) {
  std::vector<std::string> l = Lines(SavedExample());
  const std::size_t infoLine = kChangesLine + 12;  // index of the drawing-information line
  ASSERT_EQ(l[infoLine], "2026/01/03|EF|2026/01/04|GH|2026/01/05|IJ|2||");
  l[infoLine] = "2026/01/03|A|B|2026/01/04|GH|2026/01/05|IJ|2||";
  std::string text;
  for (const auto& line : l) text += line + "\n";
  WriteAll(Path("bar.vuk"), text);
  SetOtherDataSet();
  ReadDataFile(Path("bar.vuk"));
  ASSERT_FALSE(AbortFlag);
  ASSERT_EQ(ChangeRecords.textCount, 2);
  EXPECT_EQ(ChangeRecords.texts[2].angle, -30.0L);
  EXPECT_EQ(DocumentSlots[3].program, "gimp");
  EXPECT_NEAR(SplineInputData.cpmn, 0.3L / 6.5L, 1e-7L);
}

// Every typed text comes back after save and load, or the save is refused naming the field.
TEST_F(DataFileTest, EveryTypedTextComesBackOrIsRefusedByName) {
  std::string tail = " said \"yes\" \x84\x94\x81\xE1 ";  // CP850 a, o, u umlaut, sharp s
  tail.resize(195, 'z');
  const std::string line = "A|B" + tail, bar = "AB\r\n" + tail, both = "AB" + tail;
  std::vector<std::tuple<std::string, std::string*, const std::string*>> fields{
      {"Modification 1, text of changes", &ChangeRecords.changes[1].modification, &line},
      {"Modification 1, date", &ChangeRecords.changes[1].date, &line},
      {"Modification 1, responsible", &ChangeRecords.changes[1].editor, &line},
      {"Modification 1, description", &ChangeRecords.changes[1].description, &bar},
      {"Drawing text 1", &ChangeRecords.texts[1].text, &line}};
  const char* info[] = {"Compl. date",  "Compl. name", "Check date",      "Check name",
                        "Stand. date",  "Stand. name", "Replacement for", "Replaced by",
                        "release date", "release name"};
  for (int n = 1; n <= 10; ++n) {  // the approvals share one line, joined by "|"
    const std::string i = std::to_string(n), part = " (part " + i + ")";
    fields.push_back({std::string("Info drawing, ") + info[n - 1], &ChangeRecords.drawingInfo[n],
                      n <= 2 || n == 7 || n == 8 ? &line : &both});
    if (n <= 3) fields.push_back({"Text " + i, &DrawingTexts[n], &line});
    if (n > kDocumentSlotCount) continue;
    fields.push_back({"Program " + i, &DocumentSlots[n].program, &line});
    fields.push_back({"File " + i, &DocumentSlots[n].file, &line});
    if (n > 2) continue;
    fields.push_back({"Drawing name" + part, &PartNames.partName[n], &line});
    fields.push_back({"Drawing number" + part, &PartNames.drawingNumber[n], &line});
    fields.push_back({"Drawing name 2" + part, &PartNames.secondName[n], &line});
  }
  SetUpDocumentedExample();
  for (auto& [name, text, kept] : fields) {
    // A lone CR ends a line for the reader as an LF does; only a description keeps it (as "|").
    for (const std::string typed : {"A|B\r\n", "AB\r"}) {
      if (typed == "AB\r" && kept == &bar) continue;
      ScriptedDialogHost host;
      *text = typed + tail;
      WriteDataFile(Path("refused.vuk"));
      const bool lineBreak = kept == &line || typed == "AB\r";
      const char* sep = lineBreak ? ": a line break cannot" : ": \"|\" cannot";
      EXPECT_NE(host.Messages().at(0).find(" not saved: " + name + sep), std::string::npos) << name;
      *text = *kept, AbortFlag = false;
    }
  }
  WriteDataFile(Path("typed.vuk"));
  SetOtherDataSet();
  ReadDataFile(Path("typed.vuk"));
  // A slot's program and file are names, kept in UTF-8: the bytes above are no UTF-8, so they
  // come back converted from the code page as an old file's would.
  for (auto& [name, text, kept] : fields) {
    const bool slotName = name.starts_with("Program") || name.starts_with("File");
    EXPECT_EQ(*text, slotName ? Cp850ToUtf8(*kept) : *kept) << name;
  }
}

TEST_F(DataFileTest, DescriptionLineBreaks) {
  struct Case {
    const char* name;
    std::string held;
    std::string line;
  };
  const std::vector<Case> cases = {
      {"no break: stored unchanged", "one line only", "one line only"},
      {"two breaks: two bars", "a\r\nb\r\nc", "a|b|c"},
      {"empty lines kept", "a\r\n\r\nb", "a||b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InitRecords();
    DataDirectory = dir_;
    NewSplineExample();
    ChangeRecords.count = 1;
    ChangeRecords.changes[1].description = c.held;
    WriteDataFile(Path("d.vuk"));
    ASSERT_FALSE(AbortFlag);
    // Saving leaves the description in memory as it was.
    EXPECT_EQ(ChangeRecords.changes[1].description, c.held);
    EXPECT_EQ(Lines(ReadAll(Path("d.vuk")))[kChangesLine + 5], c.line);
    ChangeRecords.changes[1].description = "x";
    ReadDataFile(Path("d.vuk"));
    ASSERT_FALSE(AbortFlag);
    EXPECT_EQ(ChangeRecords.changes[1].description, c.held);
  }
}

// A file cut after any of its lines is refused: the data set stays as it was, AbortFlag is set
// and the message names the file.
TEST_F(DataFileTest, FileCutAfterAnyLineLeavesTheDataSetUnchanged) {
  const std::vector<std::string> l = Lines(SavedExample());
  SetOtherDataSet();
  const std::string before = Fingerprint();
  for (std::size_t keep = 0; keep < l.size(); ++keep) {
    SCOPED_TRACE("lines kept: " + std::to_string(keep));
    std::string text;
    for (std::size_t i = 0; i < keep; ++i) text += l[i] + "\n";
    WriteAll(Path("cut.vuk"), text);
    ScriptedDialogHost host;
    LoadDataFile(Path("cut.vuk"));
    EXPECT_TRUE(AbortFlag);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_NE(host.Messages()[0].find(Path("cut.vuk")), std::string::npos);
    EXPECT_EQ(Fingerprint(), before);
  }
}

TEST_F(DataFileTest, BrokenFilesAreRefused) {
  const std::vector<std::string> l = Lines(SavedExample());
  auto join = [](const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    return text;
  };
  struct Case {
    const char* name;
    std::string text;
  };
  std::vector<std::string> negativeChanges = l;
  negativeChanges[kChangesLine] = "-1";
  std::vector<std::string> negativeTexts = l;
  negativeTexts[kChangesLine + 12] = "2026/01/03|EF|2026/01/04|GH|2026/01/05|IJ|-2||";
  const std::vector<Case> cases = {
      {"empty file", ""},
      {"a text file without the header rules", "hello\nworld\n"},
      {"negative change count", join(negativeChanges)},
      {"negative drawing-text count", join(negativeTexts)},
  };
  SetOtherDataSet();
  const std::string before = Fingerprint();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteAll(Path("broken.vuk"), c.text);
    LoadDataFile(Path("broken.vuk"));
    EXPECT_TRUE(AbortFlag);
    EXPECT_EQ(Fingerprint(), before);
  }
  // A missing file, and a character device that would never end: the same, with the not-found
  // message, at once.
  fs::create_symlink("/dev/null", Path("device.vuk"));
  for (const char* name : {"missing.vuk", "device.vuk"}) {
    SCOPED_TRACE(name);
    ScriptedDialogHost host;
    LoadDataFile(Path(name));
    EXPECT_TRUE(AbortFlag);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0], "file " + Path(name) + " not found or no access !");
    EXPECT_EQ(Fingerprint(), before);
  }
}

TEST_F(DataFileTest, CrlfAndCrCopiesReadTheSame) {
  const std::string lf = SavedExample();
  ReadDataFile(Path("example.vuk"));
  ASSERT_FALSE(AbortFlag);
  const std::string expected = Fingerprint();
  struct Case {
    const char* name;
    const char* lineEnd;
  };
  for (const Case& c : {Case{"CR LF", "\r\n"}, Case{"CR", "\r"}}) {
    SCOPED_TRACE(c.name);
    std::string copy;
    for (const auto& line : Lines(lf)) copy += line + c.lineEnd;
    WriteAll(Path("copy.vuk"), copy);
    SetOtherDataSet();
    ReadDataFile(Path("copy.vuk"));
    ASSERT_FALSE(AbortFlag);
    EXPECT_EQ(Fingerprint(), expected);
  }
}

// Surplus records beyond the 25 changes and 8 drawing texts are read past and dropped; the
// sections after them still land in their fields.
TEST_F(DataFileTest, SurplusRecordsAreDropped) {
  const std::vector<std::string> l = Lines(SavedExample());
  std::vector<std::string> out(l.begin(), l.begin() + kChangesLine);
  out.push_back("27");
  out.push_back(std::string(20, '-'));
  for (int n = 1; n <= 27; ++n) {
    out.push_back("change " + std::to_string(n));
    out.push_back("2026/03/01");
    out.push_back("XY");
    out.push_back("description " + std::to_string(n));
    out.push_back(std::string(14, '-'));
  }
  out.push_back("a|b|c|d|e|f|9||");
  for (int i = kChangesLine + 14; i <= kChangesLine + 17; ++i) out.push_back(l[i - 1]);
  for (int n = 1; n <= 9; ++n)
    out.push_back(std::to_string(n) + "|1|2|3|text " + std::to_string(n) + "||");
  for (std::size_t i = kChangesLine + 19; i < l.size(); ++i) out.push_back(l[i]);
  std::string text;
  for (const auto& line : out) text += line + "\n";
  WriteAll(Path("surplus.vuk"), text);
  SetOtherDataSet();
  ReadDataFile(Path("surplus.vuk"));
  ASSERT_FALSE(AbortFlag);
  EXPECT_EQ(ChangeRecords.count, 25);
  EXPECT_EQ(ChangeRecords.changes[25].modification, "change 25");
  EXPECT_EQ(ChangeRecords.textCount, 8);
  EXPECT_EQ(ChangeRecords.texts[8].text, "text 8");
  EXPECT_EQ(ChangeRecords.drawingInfo[kCheckDate], "a");
  EXPECT_EQ(ChangeRecords.drawingInfo[kReleaseName], "f");
  EXPECT_EQ(DocumentSlots[3].program, "gimp");
  EXPECT_NEAR(SplineInputData.cpmn, 0.3L / 6.5L, 1e-7L);
}

TEST_F(DataFileTest, SaveResolvesTheName) {
  SetUpDocumentedExample();
  // A name without "." goes to the data directory with the data-file extension.
  SaveDataFile("plain");
  EXPECT_FALSE(AbortFlag);
  EXPECT_TRUE(fs::exists(Path("plain.vuk")));
  // A name with "." stays as it is.
  SaveDataFile(Path("other.dat"));
  EXPECT_FALSE(AbortFlag);
  EXPECT_TRUE(fs::exists(Path("other.dat")));
  // The dialog's choice sets the data directory and the current file name.
  fs::create_directory(Path("sub"));
  {
    ScriptedDialogHost host;
    host.AnswerFile(Path("sub/chosen.vuk"));
    SaveDataFile("");
    EXPECT_FALSE(AbortFlag);
    EXPECT_EQ(CurrentFileName, "chosen");
    EXPECT_EQ(DataDirectory, Path("sub/"));
    ASSERT_EQ(host.RecordsOf(TDialogKind::SaveFile).size(), 1u);
    EXPECT_EQ(host.RecordsOf(TDialogKind::SaveFile)[0].fileRequest.filter, "*.vuk|*.vuk");
  }
  EXPECT_EQ(ReadAll(Path("sub/chosen.vuk")), ReadAll(Path("plain.vuk")));
  // The longest names a file system takes save as any other.
  for (const std::string& stem : app_test::LongStems()) {
    if (!app_test::TakesLeaf(dir_, stem + ".vuk")) continue;
    SaveDataFile(Path(stem + ".vuk"));
    EXPECT_EQ(ReadAll(Path(stem + ".vuk")), ReadAll(Path("plain.vuk")));
  }
  // Cancel writes nothing.
  {
    ScriptedDialogHost host;
    host.AnswerCancel();
    SaveDataFile("");
    EXPECT_TRUE(AbortFlag);
  }
}

TEST_F(DataFileTest, OverwriteIsConfirmedBySaveAsButNotBySave) {
  WriteAll(Path("old.vuk"), "old content\n");
  SetUpDocumentedExample();
  {
    ScriptedDialogHost host;
    host.AnswerNo();
    SaveDataFile(Path("old.vuk"));
    EXPECT_TRUE(AbortFlag);
    EXPECT_EQ(host.RecordsOf(TDialogKind::Question).size(), 1u);
  }
  EXPECT_EQ(ReadAll(Path("old.vuk")), "old content\n");
  {
    ScriptedDialogHost host;  // no answers: any question would be cancelled
    SaveCurrentFile(Path("old.vuk"));
    EXPECT_FALSE(AbortFlag);
    EXPECT_TRUE(host.RecordsOf(TDialogKind::Question).empty());
  }
  EXPECT_EQ(ReadAll(Path("old.vuk")), Fingerprint());
}

TEST_F(DataFileTest, WriteFailureIsReported) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  SetUpDocumentedExample();
  ScriptedDialogHost host;
  WriteDataFile("/dev/full");
  EXPECT_TRUE(AbortFlag);
  EXPECT_FALSE(host.Messages().empty());
}

TEST_F(DataFileTest, LoadResolvesTheName) {
  SavedExample();
  fs::rename(Path("example.vuk"), Path("null.vuk"));
  // "null" is the template in the data directory.
  SetOtherDataSet();
  const std::string other = Fingerprint();
  CurrentFileName = "keep";
  LoadDataFile("null");
  ASSERT_FALSE(AbortFlag);
  EXPECT_EQ(PartNames.secondName[1], "W 61 x 6.5 x 8");
  EXPECT_EQ(CurrentFileName, "keep");

  // Chosen in the open dialog: the names follow the choice.
  fs::create_directory(Path("sub"));
  fs::copy_file(Path("null.vuk"), Path("sub/picked.vuk"));
  SetOtherDataSet();
  {
    ScriptedDialogHost host;
    host.AnswerFile(Path("sub/picked.vuk"));
    LoadDataFile("");
    ASSERT_FALSE(AbortFlag);
    ASSERT_EQ(host.RecordsOf(TDialogKind::OpenFile).size(), 1u);
    EXPECT_EQ(host.RecordsOf(TDialogKind::OpenFile)[0].fileRequest.directory, dir_);
  }
  EXPECT_EQ(CurrentFileName, "picked");
  EXPECT_EQ(DataDirectory, Path("sub/"));
  EXPECT_EQ(PartNames.secondName[1], "W 61 x 6.5 x 8");

  // A chosen file that cannot be read keeps the names of the data set in memory, so that Save
  // does not write the old data over it.
  WriteAll(Path("sub/bad.vuk"), "not a data file\n");
  SetOtherDataSet();
  CurrentFileName = "current";
  DataDirectory = dir_;
  {
    ScriptedDialogHost host;
    host.AnswerFile(Path("sub/bad.vuk"));
    LoadDataFile("");
    EXPECT_TRUE(AbortFlag);
  }
  EXPECT_EQ(CurrentFileName, "current");
  EXPECT_EQ(DataDirectory, dir_);
  EXPECT_EQ(Fingerprint(), other);

  // Cancel in the dialog: nothing happens.
  {
    ScriptedDialogHost host;
    host.AnswerCancel();
    LoadDataFile("");
    EXPECT_TRUE(AbortFlag);
  }
  EXPECT_EQ(Fingerprint(), other);
}

// The golden file of the documented example; the file holds no date of its own.
TEST_F(DataFileTest, GoldenExampleFile) {
  const std::string text = SavedExample();
  const std::string path = std::string(VUKO_TEST_DATA_DIR) + "/golden/example.vuk";
  if (getenv("VUKO_ACCEPT_GOLDEN") != nullptr) {
    fs::create_directories(fs::path(path).parent_path());
    WriteAll(path, text);
    return;
  }
  ASSERT_TRUE(fs::exists(path)) << path << " missing; accept with VUKO_ACCEPT_GOLDEN=1";
  EXPECT_EQ(text, ReadAll(path)) << "data file differs from " << path;
}

// ---------------------------------------------------------------------------------------------
// The files shipped in data/: the template and the example joint given by each kind of input.

enum class ExampleKind { Template, Shift, Balls, Span, Thickness };

// Sets up a shipped data set the way a user would and saves it calculated: the template is the
// reset data set (module 6.5, 16 teeth, x = 0, the program's k); each example is the example joint
// with the shaft's input switched to the kind wanted (its value is the one the calculation found).
void MakeShippedDataSet(ExampleKind kind) {
  InitRecords();
  for (int i = 1; i <= kDrawingInfoCount; ++i) ChangeRecords.drawingInfo[i].clear();
  if (kind == ExampleKind::Template) {
    ResetSplineData();
    ToothingData.k[1] = 0;  // a new joint starts with the program's own number of teeth spanned
    CalcSplineJoint();
    return;
  }
  NewSplineExample();
  CalcSplineJoint();
  const int16_t inputKind[] = {0, 1, 3, 4, 2};
  SplineInputData.InputKind[1] = inputKind[static_cast<int>(kind)];
  CalcSplineJoint();
}

struct ShippedFile {
  const char* name;
  ExampleKind kind;
};

class ShippedExampleTest : public DataFileTest,
                           public ::testing::WithParamInterface<ShippedFile> {};

TEST_P(ShippedExampleTest, IsCurrentAndCalculates) {
  const ShippedFile& f = GetParam();
  MakeShippedDataSet(f.kind);
  ASSERT_FALSE(CalcFatalFlag);
  DataDirectory = dir_;
  WriteDataFile(Path("made.vuk"));
  ASSERT_FALSE(AbortFlag);
  const std::string made = ReadAll(Path("made.vuk"));
  const std::string path = std::string(VUKO_DATA_DIR) + "/" + f.name;
  if (getenv("VUKO_ACCEPT_GOLDEN") != nullptr) {
    WriteAll(path, made);
    return;
  }
  ASSERT_TRUE(fs::exists(path)) << path << " missing; accept with VUKO_ACCEPT_GOLDEN=1";
  EXPECT_EQ(made, ReadAll(path)) << path << " is not what the program writes";
  InitRecords();
  LoadDataFile(path);
  ASSERT_FALSE(AbortFlag);
  EXPECT_FALSE(CalcFatalFlag);
}

INSTANTIATE_TEST_SUITE_P(DataDirectory, ShippedExampleTest,
                         ::testing::Values(ShippedFile{"null.vuk", ExampleKind::Template},
                                           ShippedFile{"example_x.vuk", ExampleKind::Shift},
                                           ShippedFile{"example_balls.vuk", ExampleKind::Balls},
                                           ShippedFile{"example_span.vuk", ExampleKind::Span},
                                           ShippedFile{"example_thickness.vuk",
                                                       ExampleKind::Thickness}),
                         [](const auto& info) {
                           std::string n = info.param.name;
                           return n.substr(0, n.find('.'));
                         });

// The four example files describe one joint, each by another kind of input; loaded, each gives
// the same addendum modifications and the same dimension over balls.
TEST_F(DataFileTest, ShippedExamplesDescribeOneJoint) {
  const char* names[] = {"example_x.vuk", "example_balls.vuk", "example_span.vuk",
                         "example_thickness.vuk"};
  const int16_t kinds[] = {1, 3, 4, 2};
  long double x1 = 0, x2 = 0, mdr1 = 0;
  for (int n = 0; n < 4; ++n) {
    SCOPED_TRACE(names[n]);
    InitRecords();
    LoadDataFile(std::string(VUKO_DATA_DIR) + "/" + names[n]);
    ASSERT_FALSE(AbortFlag);
    ASSERT_FALSE(CalcFatalFlag);
    EXPECT_EQ(SplineInputData.InputKind[1], kinds[n]);
    if (n == 0) {
      x1 = ToothingData.x[1];
      x2 = ToothingData.x[2];
      mdr1 = SplineInputData.MdRIn[1];
      // The balls example gives M = 82 over 16 mm balls; the other files must agree with it.
      continue;
    }
    EXPECT_NEAR(ToothingData.x[1], x1, 1e-6L);
    EXPECT_NEAR(ToothingData.x[2], x2, 1e-6L);
    EXPECT_NEAR(SplineInputData.MdRIn[1], mdr1, 1e-5L);
  }
  EXPECT_NEAR(mdr1, 82.0L, 1e-5L);
}

}  // namespace
