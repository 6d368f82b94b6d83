// Writing and reading the data file of a spline joint.
#include "app/data_file.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "app/documentation_records.h"
#include "calc/spline_joint.h"
#include "calc/toothing_data.h"
#include "common/changed_on_disk.h"
#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/program_state.h"
#include "common/text_file.h"
#include "drawings/drawing_documentation.h"

namespace {

// A line break of a change description as the records hold it.
constexpr char kLineBreak[] = "\r\n";
const std::string kHeaderRule(65, '-');
const std::string kSectionRule(20, '-');
const std::string kRecordRule(14, '-');
constexpr char kChangesTitle[] = "CHANGES";
constexpr char kDocumentsTitle[] = "documents";

// Everything a data file fills, so that a file is read into copies and committed only whole.
struct TDataSet {
  TToothingData toothing;
  TSplineInputData input;
  TPartNames names;
  TDrawingTexts texts;
  TChangeRecords changes;
  TDocumentSlots slots;
};

TDataSet CurrentDataSet() {
  return TDataSet{ToothingData, SplineInputData, PartNames,
                  DrawingTexts, ChangeRecords,   DocumentSlots};
}

void Commit(const TDataSet& set) {
  ToothingData = set.toothing;
  SplineInputData = set.input;
  PartNames = set.names;
  DrawingTexts = set.texts;
  ChangeRecords = set.changes;
  DocumentSlots = set.slots;
}

// A description keeps its line breaks in memory; on its line of the file each break (CR LF, or
// a lone CR or LF) is one "|".
std::string DescriptionToLine(const std::string& text) {
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      line.push_back('|');
    } else if (c == '\n') {
      line.push_back('|');
    } else {
      line.push_back(c);
    }
  }
  return line;
}

std::string LineToDescription(const std::string& line) {
  std::string text;
  for (char c : line) {
    if (c == '|') {
      text += kLineBreak;
    } else {
      text.push_back(c);
    }
  }
  return text;
}

// The pieces of a line between the "|" separators (a line of k fields written by the field
// writers gives k + 1 pieces, the last one empty).
std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields(1);
  for (char c : line) {
    if (c == '|') {
      fields.emplace_back();
    } else {
      fields.back().push_back(c);
    }
  }
  return fields;
}

// ---------------------------------------------------------------------------------------------
// Strict values: a number line that holds no number, or a kind outside its range, refuses the
// whole file with a message that names the line.

constexpr char kWhat[] = "data file";
std::string gRefusal;  // why the file being read was refused; empty when it was not

void Refuse(const std::string& why) {
  AbortFlag = true;
  if (gRefusal.empty()) gRefusal = why;
}

void Real(long double& value) {
  if (AbortFlag) return;
  std::string bad;
  if (!ReadLineRealChecked(GlobalTextFile, value, bad) && !AbortFlag) {
    Refuse(NotANumberText(kWhat, GlobalTextFile, bad));
  }
}

void Int(std::int32_t& value) {
  if (AbortFlag) return;
  std::string bad;
  if (!ReadLineIntChecked(GlobalTextFile, value, bad) && !AbortFlag) {
    Refuse(NotANumberText(kWhat, GlobalTextFile, bad));
  }
}

// A number that says which way a value is given: only lo to hi mean something.
template <typename T>
void Kind(T& value, int lo, int hi, const char* name) {
  std::int32_t wide = value;
  Int(wide);
  if (AbortFlag) return;
  if (wide < lo || wide > hi) {
    Refuse(LinePlace(kWhat, GlobalTextFile) + name + " " + IntStr(wide) + " is outside " +
           IntStr(lo) + " to " + IntStr(hi));
    return;
  }
  value = static_cast<T>(wide);
}

// ---------------------------------------------------------------------------------------------
// Writing

// The refusal for the first text of the data set that its place in the file cannot keep;
// empty when every text can be written.
std::string UnstorableText() {
  std::string refusal;
  auto check = [&refusal](const std::string& field, const std::string& text, TFieldPlace place) {
    if (!refusal.empty()) return;
    const std::string separator = SeparatorIn(text, place);
    if (!separator.empty()) refusal = SeparatorRefusal(field, separator);
  };
  constexpr TFieldPlace kLine = TFieldPlace::OwnLine;
  for (int i = 1; i <= 3; ++i) check("Text " + IntStr(i), DrawingTexts[i], kLine);
  for (int i = 1; i <= 2; ++i) {
    const std::string part = " (part " + IntStr(i) + ")";
    check("Drawing name" + part, PartNames.partName[i], kLine);
    check("Drawing number" + part, PartNames.drawingNumber[i], kLine);
    check("Drawing name 2" + part, PartNames.secondName[i], kLine);
  }
  const TChangeRecords& c = ChangeRecords;
  for (int n = 1; n <= UsedChangeCount(); ++n) {
    const TChangeRecord& r = c.changes[n];
    const std::string change = "Modification " + IntStr(n) + ", ";
    check(change + "text of changes", r.modification, kLine);
    check(change + "date", r.date, kLine);
    check(change + "responsible", r.editor, kLine);
    check(change + "description", r.description, TFieldPlace::Description);
  }
  static const struct {
    int item;
    const char* name;
  } kInfo[] = {{kCheckDate, "Check date"},     {kCheckName, "Check name"},
               {kStandDate, "Stand. date"},    {kStandName, "Stand. name"},
               {kReleaseDate, "release date"}, {kReleaseName, "release name"},
               {kComplDate, "Compl. date"},    {kReplacementFor, "Replacement for"},
               {kReplacedBy, "Replaced by"},   {kComplName, "Compl. name"}};
  for (const auto& info : kInfo) {
    // The first six share the line of the drawing information.
    const bool joined = info.item != kComplDate && info.item != kComplName &&
                        info.item != kReplacementFor && info.item != kReplacedBy;
    check(std::string("Info drawing, ") + info.name, c.drawingInfo[info.item],
          joined ? TFieldPlace::JoinedField : kLine);
  }
  // A drawing text is read back from the fourth "|" to the closing "||", so a "|" of its own
  // comes back whole.
  for (int n = 1; n <= UsedDrawingTextCount(); ++n) {
    check("Drawing text " + IntStr(n), c.texts[n].text, kLine);
  }
  for (int n = 1; n <= kDocumentSlotCount; ++n) {
    check("Program " + IntStr(n), DocumentSlots[n].program, kLine);
    check("File " + IntStr(n), DocumentSlots[n].file, kLine);
  }
  return refusal;
}

void WriteJoint() {
  const TToothingData& t = ToothingData;
  const TSplineInputData& s = SplineInputData;
  WriteLineReal(t.alpha);
  WriteLineReal(t.mn);
  WriteLineInt(t.z[1]);
  WriteLineInt(s.PitchMode);
  WriteLineInt(s.ShaftDiamMode);  // major diameter: the shaft's tip and the hub's root
  WriteLineInt(s.HubDiamMode);    // minor diameter: the shaft's root and the hub's tip
}

void WritePart(int i) {
  const TToothingData& t = ToothingData;
  const TSplineInputData& s = SplineInputData;
  WriteLineStr(PartNames.partName[i]);
  WriteLineStr(PartNames.drawingNumber[i]);
  WriteLineStr(PartNames.secondName[i]);
  WriteLineReal(t.haP0mn[i]);
  WriteLineReal(t.hfP0mn[i]);
  WriteLineReal(t.rhoaP0mn[i]);
  WriteLineInt(s.InputKind[i]);
  WriteLineReal(t.x[i]);
  WriteLineReal(t.Dm[i]);
  WriteLineInt(t.k[i]);
  WriteLineReal(s.MdRIn[i]);
  WriteLineReal(s.WIn[i]);
  WriteLineReal(s.daIn[i]);
  WriteLineReal(s.dfIn[i]);
  WriteLineReal(t.k[i]);
}

void WriteClearances() {
  const TSplineInputData& s = SplineInputData;
  WriteLineReal(s.snIn[1]);
  WriteLineReal(s.enIn[2]);
  WriteLineBool(s.ClearanceAsFactor);
  WriteLineReal(s.ce);
  WriteLineReal(s.ci);
  WriteLineReal(s.cp);
  WriteLineInt(s.ShiftGivenFor);
  WriteLineReal(ToothingData.Pn);
}

void WriteChanges() {
  const TChangeRecords& c = ChangeRecords;
  const int count = UsedChangeCount();
  const int textCount = UsedDrawingTextCount();
  WriteLineStr(kChangesTitle);
  WriteLineInt(count);
  WriteLineStr(kSectionRule);
  for (int n = 1; n <= count; ++n) {
    const TChangeRecord& r = c.changes[n];
    WriteLineStr(r.modification);
    WriteLineStr(r.date);
    WriteLineStr(r.editor);
    WriteLineStr(DescriptionToLine(r.description));
    WriteLineStr(kRecordRule);
  }
  const auto& info = c.drawingInfo;
  WriteFields8(info[kCheckDate], info[kCheckName], info[kStandDate], info[kStandName],
               info[kReleaseDate], info[kReleaseName], IntStr(textCount), "");
  WriteLineStr(info[kComplDate]);
  WriteLineStr(info[kReplacementFor]);
  WriteLineStr(info[kReplacedBy]);
  WriteLineStr(info[kComplName]);
  for (int n = 1; n <= textCount; ++n) {
    const TDrawingTextRecord& d = c.texts[n];
    // Written like every other real of the file, so a position keeps its decimals.
    WriteFields6(LineRealText(d.x), LineRealText(d.y), LineRealText(d.height),
                 LineRealText(d.angle), d.text, "");
  }
}

void WriteDocuments() {
  WriteLineStr(kDocumentsTitle);
  WriteLineInt(kDocumentSlotCount);
  WriteLineStr(kSectionRule);
  for (int n = 1; n <= kDocumentSlotCount; ++n) {
    WriteLineStr(DocumentSlots[n].program);
    WriteLineStr(DocumentSlots[n].file);
    WriteLineStr(kRecordRule);
  }
}

// ---------------------------------------------------------------------------------------------
// Reading. Each step stops at the first line that cannot be read (AbortFlag).

void ReadHeader(TDataSet& set) {
  std::string line;
  ReadLineStr(line);
  do {
    if (AbortFlag) return;
    ReadLineStr(line);
  } while (TrimStr(line) != kHeaderRule);
  for (int i = 1; i <= 3; ++i) ReadLineStr(set.texts[i]);
}

void ReadJoint(TDataSet& set) {
  TToothingData& t = set.toothing;
  TSplineInputData& s = set.input;
  Real(t.alpha);
  Real(t.mn);
  Int(t.z[1]);
  // -|z1| without negating a negative count: the lowest integer has no positive twin.
  t.z[2] = t.z[1] < 0 ? t.z[1] : -t.z[1];
  Kind(s.PitchMode, 1, 2, "pitch mode");
  Kind(s.ShaftDiamMode, 0, 1, "major-diameter mode");
  Kind(s.HubDiamMode, 0, 1, "minor-diameter mode");
}

void ReadPart(TDataSet& set, int i) {
  TToothingData& t = set.toothing;
  TSplineInputData& s = set.input;
  ReadLineStr(set.names.partName[i]);
  ReadLineStr(set.names.drawingNumber[i]);
  ReadLineStr(set.names.secondName[i]);
  Real(t.haP0mn[i]);
  Real(t.hfP0mn[i]);
  Real(t.rhoaP0mn[i]);
  Kind(s.InputKind[i], 1, 4, "input kind");
  Real(t.x[i]);
  Real(t.Dm[i]);
  Int(t.k[i]);
  Real(s.MdRIn[i]);
  Real(s.WIn[i]);
  Real(s.daIn[i]);
  Real(s.dfIn[i]);
  long double kAgain = 0;  // k once more, as a real; the integer line holds it
  Real(kAgain);
}

void ReadClearances(TDataSet& set) {
  TSplineInputData& s = set.input;
  Real(s.snIn[1]);
  Real(s.enIn[2]);
  ReadLineBoolTrue(s.ClearanceAsFactor);
  Real(s.ce);
  Real(s.ci);
  Real(s.cp);
  Kind(s.ShiftGivenFor, 0, 2, "given part");
  Real(set.toothing.Pn);
}

// A count that no writer produces marks the file as broken.
bool ReadCount(std::int32_t& count) {
  Int(count);
  if (AbortFlag) return false;
  if (count < 0) AbortFlag = true;
  return !AbortFlag;
}

// One drawing-text line: x, y, h and phi lead and an empty field closes the line, so the text is
// everything between the fourth "|" and the closing "||" (a text with a "|" of its own reads
// back whole).
void ParseDrawingText(const std::string& line, TDrawingTextRecord& d) {
  std::vector<std::string> f = SplitFields(line);
  f.resize(std::max<std::size_t>(f.size(), 5));
  for (int k = 0; k < 4; ++k) {
    if (!ReadsAsReal(f[k])) {
      Refuse(NotANumberText(kWhat, GlobalTextFile, f[k]));
      return;
    }
  }
  d.x = StrToReal(f[0]);
  d.y = StrToReal(f[1]);
  d.height = StrToReal(f[2]);
  d.angle = StrToReal(f[3]);
  std::size_t pos = 0;
  for (int k = 0; k < 4 && pos != std::string::npos; ++k) {
    pos = line.find('|', pos);
    if (pos != std::string::npos) ++pos;
  }
  d.text.clear();
  if (pos == std::string::npos) return;
  d.text = line.substr(pos);
  if (d.text.size() >= 2 && d.text.compare(d.text.size() - 2, 2, "||") == 0) {
    d.text.erase(d.text.size() - 2);
  } else if (!d.text.empty() && d.text.back() == '|') {
    d.text.pop_back();
  }
}

void ReadChanges(TDataSet& set) {
  TChangeRecords& c = set.changes;
  std::string line;
  ReadLineStr(line);  // the section title
  std::int32_t count = 0;
  if (!ReadCount(count)) return;
  ReadLineStr(line);
  // Every record of the file is read; the list keeps as many as it holds.
  for (std::int32_t n = 1; n <= count && !AbortFlag; ++n) {
    TChangeRecord surplus;
    TChangeRecord& r = n <= kMaxChangeRecords ? c.changes[n] : surplus;
    ReadLineStr(r.modification);
    ReadLineStr(r.date);
    ReadLineStr(r.editor);
    ReadLineStr(line);
    r.description = LineToDescription(line);
    ReadLineStr(line);
  }
  if (AbortFlag) return;
  c.count = static_cast<std::uint16_t>(std::min<std::int32_t>(count, kMaxChangeRecords));

  ReadLineStr(line);
  if (AbortFlag) return;
  std::vector<std::string> f = SplitFields(line);
  // The count stands before the closing empty field, so it is found from the end even when a
  // name holds a "|" of its own.
  const std::string countField = f.size() >= 9 ? f[f.size() - 3] : (f.size() >= 7 ? f[6] : "");
  f.resize(std::max<std::size_t>(f.size(), 7));
  auto& info = c.drawingInfo;
  info[kCheckDate] = f[0];
  info[kCheckName] = f[1];
  info[kStandDate] = f[2];
  info[kStandName] = f[3];
  info[kReleaseDate] = f[4];
  info[kReleaseName] = f[5];
  std::int32_t textCount = 0;
  if (!ReadsAsInteger(countField, textCount)) {
    Refuse(NotANumberText(kWhat, GlobalTextFile, countField));
    return;
  }
  if (textCount < 0) {
    AbortFlag = true;
    return;
  }
  ReadLineStr(info[kComplDate]);
  ReadLineStr(info[kReplacementFor]);
  ReadLineStr(info[kReplacedBy]);
  ReadLineStr(info[kComplName]);
  for (std::int32_t n = 1; n <= textCount && !AbortFlag; ++n) {
    ReadLineStr(line);
    if (!AbortFlag && n <= kMaxDrawingTextRecords) ParseDrawingText(line, c.texts[n]);
  }
  if (AbortFlag) return;
  c.textCount =
      static_cast<std::uint16_t>(std::min<std::int32_t>(textCount, kMaxDrawingTextRecords));
}

void ReadDocuments(TDataSet& set) {
  std::string line;
  // The title, the count (always five) and the rule.
  for (int i = 0; i < 3; ++i) ReadLineStr(line);
  for (int n = 1; n <= kDocumentSlotCount && !AbortFlag; ++n) {
    ReadLineStr(set.slots[n].program);
    ReadLineStr(set.slots[n].file);
    ReadLineStr(line);
    // Names are kept in UTF-8; a file written before that holds them in CP850.
    set.slots[n].program = NameFromFile(set.slots[n].program);
    set.slots[n].file = NameFromFile(set.slots[n].file);
  }
}

void ReadClearancesPerModule(TDataSet& set) {
  Real(set.input.cemn);
  Real(set.input.cimn);
  Real(set.input.cpmn);
}

}  // namespace

// ---------------------------------------------------------------------------------------------

void WriteDataFile(const std::string& fullName) {
  const std::string unstorable = UnstorableText();
  if (!unstorable.empty()) {
    // A separator inside a text would shift every later field of the file: nothing is written
    // and the old file stays.
    ErrorMessageIfEnabled("data file " + NameText(fullName) + " not saved: " + unstorable);
    AbortFlag = true;
    return;
  }
  if (!ConfirmOverwriteChangedFile(fullName)) return;
  AssignText(GlobalTextFile, fullName);
  RewriteChecked(GlobalTextFile);
  if (AbortFlag) return;
  WriteFileHeader();
  WriteJoint();
  WritePart(1);
  WritePart(2);
  WriteClearances();
  WriteChanges();
  WriteDocuments();
  WriteLineReal(SplineInputData.cemn);
  WriteLineReal(SplineInputData.cimn);
  WriteLineReal(SplineInputData.cpmn);
  if (AbortFlag) {
    // The old file stays as it was.
    AbandonText(GlobalTextFile);
  } else {
    CloseText(GlobalTextFile);
    if (!AbortFlag) RememberFileOnDisk(fullName);
  }
}

void ReadDataFile(const std::string& fullName) {
  AbortFlag = false;
  AssignText(GlobalTextFile, fullName);
  gRefusal.clear();
  if (ResetText(GlobalTextFile) != kIoOk) {
    ErrorMessageIfEnabled("file " + NameText(fullName) + " " + "not found or no access" + " !");
    AbortFlag = true;
    return;
  }
  TDataSet set = CurrentDataSet();
  ReadHeader(set);
  if (!AbortFlag) ReadJoint(set);
  if (!AbortFlag) ReadPart(set, 1);
  if (!AbortFlag) ReadPart(set, 2);
  if (!AbortFlag) ReadClearances(set);
  if (!AbortFlag) ReadChanges(set);
  if (!AbortFlag) ReadDocuments(set);
  if (!AbortFlag) ReadClearancesPerModule(set);
  AbandonText(GlobalTextFile);
  if (AbortFlag) {
    ErrorMessageIfEnabled(gRefusal.empty() ? "data file " + NameText(fullName) + " " +
                                                 "incomplete or unreadable" + " !"
                                           : gRefusal);
    return;
  }
  Commit(set);
  RememberFileOnDisk(fullName);
}

void SaveDataFile(std::string_view name) {
  AbortFlag = false;
  std::string fullName;
  SaveAsFileName(name, fullName);
  if (!AbortFlag) WriteDataFile(fullName);
  // A command-line file, once saved (the save ends that state), is named as any other: by its
  // folder and base name.
  if (!AbortFlag && !ProgramSettings.FileFromCommandLine &&
      CurrentFileName.find('/') != std::string::npos) {
    DataDirectory = DirPart(CurrentFileName);
    CurrentFileName = ExtractBaseName(CurrentFileName);
  }
  RestoreCursor();
}

// Save writes over its own file without asking.
void SaveCurrentFile(std::string_view name) {
  const bool confirm = OverwriteConfirmation;
  OverwriteConfirmation = false;
  SaveDataFile(name);
  OverwriteConfirmation = confirm;
}

void LoadDataFile(std::string_view name) {
  AbortFlag = false;
  const std::string& ext = ProgramIdentity.shortName;
  std::string fullName;
  std::string chosenDirectory;
  bool chosen = false;
  if (name.empty()) {
    chosenDirectory = DataDirectory;
    OpenFileNameFilter(5, chosenDirectory, "*." + ext, fullName);
    if (AbortFlag) return;
    chosen = true;
  } else if (name == "null") {
    fullName = AddBackslash(DataDirectory) + "null." + ext;
  } else {
    fullName = std::string(name);
  }
  ReadDataFile(fullName);
  if (AbortFlag) return;
  // The names follow the dialog's choice only once the file is in: a failed open must not
  // leave the old data set under the new file's name.
  if (chosen) {
    CurrentFileName = ExtractBaseName(fullName);
    DataDirectory = chosenDirectory;
  }
  CalcSplineJoint();
  AbortFlag = false;
}
