// Code-page tables and conversions: CP850 (stored texts) to UTF-8 (display) and CP1252 (CAD
// files) and back, the ASCII transliteration and the fixed table of character mode 1.
#include "common/codepage.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "common/program_state.h"

namespace {

// CP850 bytes 0x80..0xFF as Unicode code points.
constexpr std::array<char32_t, 128> kCp850High = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,  // B0
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,  // C8
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,  // D0
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,  // D8
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,  // E0
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,  // E8
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,  // F0
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,  // F8
};

// CP1252 bytes 0x80..0x9F as Unicode code points; 0 where the code page leaves the byte
// undefined. 0xA0..0xFF are the Latin-1 code points of the same value.
constexpr std::array<char32_t, 32> kCp1252C1 = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98
};

constexpr char32_t kNoChar = 0xFFFFFFFF;

char32_t Cp1252ToUnicode(unsigned char byte) {
  if (byte < 0x80 || byte >= 0xA0) return byte;
  char32_t cp = kCp1252C1[byte - 0x80];
  return cp == 0 ? kNoChar : cp;
}

bool UnicodeToCp1252(char32_t cp, unsigned char& byte) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
    byte = static_cast<unsigned char>(cp);
    return true;
  }
  for (std::size_t i = 0; i < kCp1252C1.size(); ++i) {
    if (kCp1252C1[i] != 0 && kCp1252C1[i] == cp) {
      byte = static_cast<unsigned char>(0x80 + i);
      return true;
    }
  }
  return false;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes one UTF-8 character at text[pos] and advances pos; kNoChar for a broken sequence
// (pos then moves past the bytes that belonged to it).
char32_t NextUtf8(std::string_view text, std::size_t& pos) {
  unsigned char lead = static_cast<unsigned char>(text[pos]);
  ++pos;
  if (lead < 0x80) return lead;
  int more = 0;
  char32_t cp = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    more = 1;
    cp = lead & 0x1F;
    minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    more = 2;
    cp = lead & 0x0F;
    minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    more = 3;
    cp = lead & 0x07;
    minimum = 0x10000;
  } else {
    return kNoChar;
  }
  for (int i = 0; i < more; ++i) {
    if (pos >= text.size()) return kNoChar;
    unsigned char c = static_cast<unsigned char>(text[pos]);
    if ((c & 0xC0) != 0x80) return kNoChar;
    cp = (cp << 6) | (c & 0x3F);
    ++pos;
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kNoChar;
  return cp;
}

// Replacements of the ASCII transliteration, indexed by byte - 0x80; empty where the byte stays.
const std::array<std::string_view, 128>& TransliterationTable() {
  static const std::array<std::string_view, 128> table = [] {
    std::array<std::string_view, 128> t{};
    auto set = [&t](int byte, std::string_view s) { t[static_cast<std::size_t>(byte - 0x80)] = s; };
    set(129, "ue");
    set(130, "e");
    set(132, "ae");
    set(142, "Ae");
    set(148, "oe");
    set(153, "Oe");
    set(154, "Ue");
    set(160, "a");
    set(163, "u");
    set(164, "n");
    set(196, "-");
    set(205, "-");
    set(225, "ss");
    set(230, "u");
    set(241, "+/-");
    set(248, "deg");
    set(253, "2");
    return t;
  }();
  return table;
}

// Character mode 1 table: the Windows character of a DOS byte, 0 where the byte keeps its own
// (CP850) meaning. The Windows characters are Latin-1, so their code points equal their bytes.
const std::array<char32_t, 128>& ModeOneTable() {
  static const std::array<char32_t, 128> table = [] {
    std::array<char32_t, 128> t{};
    auto set = [&t](int byte, char32_t cp) { t[static_cast<std::size_t>(byte - 0x80)] = cp; };
    const int pairs[][2] = {{129, 252}, {130, 233}, {132, 228}, {134, 229}, {142, 196},
                            {143, 197}, {148, 246}, {153, 214}, {154, 220}, {160, 225},
                            {161, 237}, {162, 243}, {163, 250}, {164, 241}, {225, 223},
                            {230, 181}, {241, 177}, {248, 176}, {252, 179}, {253, 178}};
    for (const auto& p : pairs) set(p[0], static_cast<char32_t>(p[1]));
    for (int b : {179, 180, 181, 182, 185, 186, 195, 197, 198, 199, 204, 209, 215}) set(b, U'|');
    for (int b : {184, 187, 188, 190, 191, 192, 200, 201, 206, 211, 214, 217, 218}) set(b, U'+');
    for (int b : {196, 205}) set(b, U'-');
    return t;
  }();
  return table;
}

char32_t ModeOneChar(unsigned char byte) {
  if (byte < 0x80) return byte;  // ASCII, "|" included, stays
  char32_t cp = ModeOneTable()[byte - 0x80];
  return cp != 0 ? cp : kCp850High[byte - 0x80];
}

void AppendCp1252(std::string& out, char32_t cp) {
  unsigned char b = 0;
  out.push_back(UnicodeToCp1252(cp, b) ? static_cast<char>(b) : '?');
}

std::string ModeOneText(std::string_view text, bool utf8) {
  std::string t = Transliterate(text);
  std::string out;
  out.reserve(t.size() * (utf8 ? 2 : 1));
  for (char c : t) {
    char32_t cp = ModeOneChar(static_cast<unsigned char>(c));
    if (utf8) {
      AppendUtf8(out, cp);
    } else {
      AppendCp1252(out, cp);
    }
  }
  return out;
}

bool CharModeOne() {
  return ConfigVariables.CharMode == 1;
}

// Calls plain() for every stretch of code-page text and name() for every wrapped name, in
// order. A name whose close is missing runs to the end.
template <typename Plain, typename Name>
void ForEachPart(std::string_view text, Plain plain, Name name) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    const auto open = text.find(kNameOpen, pos);
    if (open == std::string_view::npos) {
      plain(text.substr(pos));
      return;
    }
    if (open > pos) plain(text.substr(pos, open - pos));
    const auto start = open + kNameOpen.size();
    const auto close = text.find(kNameClose, start);
    const auto end = close == std::string_view::npos ? text.size() : close;
    name(text.substr(start, end - start));
    pos = close == std::string_view::npos ? text.size() : close + kNameClose.size();
  }
}

// The code-page stretches converted by plain(), the names by name().
template <typename Plain, typename Name>
std::string MapParts(std::string_view text, Plain plain, Name name) {
  std::string out;
  out.reserve(text.size() * 2);
  ForEachPart(
      text, [&](std::string_view part) { out += plain(part); },
      [&](std::string_view part) { out += name(part); });
  return out;
}

std::string NameAsItIs(std::string_view name) {
  return std::string(name);
}

std::string PlainDosToWin(std::string_view text) {
  if (CharModeOne()) return ModeOneText(text, true);
  return Cp850ToUtf8(text);
}

std::string PlainDosToWinTable(std::string_view text) {
  if (CharModeOne()) return ModeOneText(text, true);
  std::string out;
  out.reserve(text.size() * 2);
  for (char c : text) AppendUtf8(out, ModeOneChar(static_cast<unsigned char>(c)));
  return out;
}

std::string PlainOutputText(std::string_view text) {
  switch (ConfigVariables.CadTextMode) {
    case 2:
      return CharModeOne() ? ModeOneText(text, false) : OemToAnsi(text);
    case 3:
      return Transliterate(text);
    default:
      return std::string(text);
  }
}

// A name in a CAD file: each character in the file's code page, else as "\U+XXXX".
std::string CadName(std::string_view name) {
  const bool ansi = ConfigVariables.CadTextMode == 2 || ConfigVariables.CadTextMode == 3;
  std::string out;
  std::size_t pos = 0;
  while (pos < name.size()) {
    char32_t cp = NextUtf8(name, pos);
    if (cp == kNoChar) cp = 0xFFFD;
    unsigned char b = 0;
    if (ansi ? UnicodeToCp1252(cp, b) : UnicodeToCp850(cp, b)) {
      out.push_back(static_cast<char>(b));
    } else {
      char code[16];
      std::snprintf(code, sizeof code, "\\U+%04X", static_cast<unsigned>(cp));
      out += code;
    }
  }
  return out;
}

}  // namespace

int CharColumns(char32_t cp) {
  struct Range {
    char32_t first, last;
  };
  static constexpr Range kWide[] = {
      {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},
      {0x23F0, 0x23F0},   {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},
      {0x2648, 0x2653},   {0x267F, 0x267F},   {0x2693, 0x2693},   {0x26A1, 0x26A1},
      {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},   {0x26CE, 0x26CE},
      {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
      {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},
      {0x2728, 0x2728},   {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},
      {0x2757, 0x2757},   {0x2795, 0x2797},   {0x27B0, 0x27B0},   {0x27BF, 0x27BF},
      {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},   {0x2E80, 0x303E},
      {0x3041, 0x3247},   {0x3250, 0x4DBF},   {0x4E00, 0xA4C6},   {0xA960, 0xA97C},
      {0xAC00, 0xD7A3},   {0xF900, 0xFAD9},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6B},
      {0xFF01, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x1B2FB}, {0x1F004, 0x1F004},
      {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F320},
      {0x1F32D, 0x1F335}, {0x1F337, 0x1F37C}, {0x1F37E, 0x1F393}, {0x1F3A0, 0x1F3CA},
      {0x1F3CF, 0x1F3D3}, {0x1F3E0, 0x1F3F0}, {0x1F3F4, 0x1F3F4}, {0x1F3F8, 0x1F43E},
      {0x1F440, 0x1F440}, {0x1F442, 0x1F4FC}, {0x1F4FF, 0x1F53D}, {0x1F54B, 0x1F54E},
      {0x1F550, 0x1F567}, {0x1F57A, 0x1F57A}, {0x1F595, 0x1F596}, {0x1F5A4, 0x1F5A4},
      {0x1F5FB, 0x1F64F}, {0x1F680, 0x1F6C5}, {0x1F6CC, 0x1F6CC}, {0x1F6D0, 0x1F6D2},
      {0x1F6D5, 0x1F6DF}, {0x1F6EB, 0x1F6EC}, {0x1F6F4, 0x1F6FC}, {0x1F7E0, 0x1F7F0},
      {0x1F90C, 0x1F93A}, {0x1F93C, 0x1F945}, {0x1F947, 0x1F9FF}, {0x1FA70, 0x1FAF6},
      {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD}};
  for (const Range& range : kWide) {
    if (cp < range.first) return 1;
    if (cp <= range.last) return 2;
  }
  return 1;
}

std::string NameText(std::string_view utf8Name, int width) {
  std::string out(kNameOpen);
  // Byte offsets and screen columns of the characters, so a shortened name never splits one
  // and keeps to the columns it was given.
  std::vector<std::size_t> starts;
  std::vector<int> columns;
  int total = 0;
  for (std::size_t pos = 0; pos < utf8Name.size();) {
    starts.push_back(pos);
    columns.push_back(CharColumns(NextUtf8(utf8Name, pos)));
    total += columns.back();
  }
  if (width < 0 || total <= width) {
    out += utf8Name;
  } else {
    // The head takes fewer columns than the name; the tail stops where the head ends (a name
    // of one character and a width below 2).
    const int room = std::max(width / 2 - 3, 0);
    std::size_t head = 0;
    for (int used = 0; used + columns[head] <= room; ++head) used += columns[head];
    std::size_t tail = starts.size();
    for (int used = 0; tail > head && used + columns[tail - 1] <= room + 1; --tail)
      used += columns[tail - 1];
    out += utf8Name.substr(0, starts[head]);
    out += " ... ";
    if (tail < starts.size()) out += utf8Name.substr(starts[tail]);
  }
  out += kNameClose;
  return out;
}

bool HoldsName(std::string_view text) {
  return text.find(kNameOpen) != std::string_view::npos;
}

std::string NamesToCp850(std::string_view text) {
  if (!HoldsName(text)) return std::string(text);
  return MapParts(
      text, [](std::string_view part) { return std::string(part); }, Utf8ToCp850);
}

std::size_t ShownLength(std::string_view text) {
  std::size_t length = 0;
  ForEachPart(
      text, [&](std::string_view part) { length += part.size(); },
      [&](std::string_view part) {
        for (std::size_t pos = 0; pos < part.size();)
          length += static_cast<std::size_t>(CharColumns(NextUtf8(part, pos)));
      });
  return length;
}

bool IsUtf8(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (NextUtf8(text, pos) == kNoChar) return false;
  }
  return true;
}

std::string NameFromFile(std::string_view bytes) {
  return IsUtf8(bytes) ? std::string(bytes) : Cp850ToUtf8(bytes);
}

std::string FirstCharOutsideCp850(std::string_view utf8) {
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const std::size_t start = pos;
    const char32_t cp = NextUtf8(utf8, pos);
    unsigned char b = 0;
    if (cp == kNoChar) return "\xEF\xBF\xBD";
    if (!UnicodeToCp850(cp, b)) return std::string(utf8.substr(start, pos - start));
  }
  return {};
}

char32_t Cp850ToUnicode(unsigned char byte) {
  return byte < 0x80 ? static_cast<char32_t>(byte) : kCp850High[byte - 0x80];
}

bool UnicodeToCp850(char32_t codePoint, unsigned char& byte) {
  if (codePoint < 0x80) {
    byte = static_cast<unsigned char>(codePoint);
    return true;
  }
  for (std::size_t i = 0; i < kCp850High.size(); ++i) {
    if (kCp850High[i] == codePoint) {
      byte = static_cast<unsigned char>(0x80 + i);
      return true;
    }
  }
  return false;
}

std::string Cp850ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char c : text) AppendUtf8(out, Cp850ToUnicode(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf8ToCp850(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    char32_t cp = NextUtf8(text, pos);
    unsigned char b = 0;
    out.push_back(cp != kNoChar && UnicodeToCp850(cp, b) ? static_cast<char>(b) : '?');
  }
  return out;
}

void OemToAnsi(std::string_view text, std::string& out) {
  out = OemToAnsi(text);
}

std::string OemToAnsi(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) AppendCp1252(out, Cp850ToUnicode(static_cast<unsigned char>(c)));
  return out;
}

void AnsiToOem(std::string_view text, std::string& out) {
  out = AnsiToOem(text);
}

std::string AnsiToOem(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    char32_t cp = Cp1252ToUnicode(static_cast<unsigned char>(c));
    unsigned char b = 0;
    out.push_back(cp != kNoChar && UnicodeToCp850(cp, b) ? static_cast<char>(b) : '?');
  }
  return out;
}

void Transliterate(std::string_view text, std::string& out) {
  out = Transliterate(text);
}

std::string Transliterate(std::string_view text) {
  if (HoldsName(text)) {
    return MapParts(
        text, [](std::string_view part) { return Transliterate(part); },
        [](std::string_view name) { return NameText(name); });
  }
  const auto& table = TransliterationTable();
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    unsigned char b = static_cast<unsigned char>(c);
    if (b >= 0x80 && !table[b - 0x80].empty()) {
      out.append(table[b - 0x80]);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

void DosToWinTable(std::string_view text, std::string& out) {
  out = DosToWinTable(text);
}

std::string DosToWinTable(std::string_view text) {
  return MapParts(text, PlainDosToWinTable, NameAsItIs);
}

void DosToWin(std::string_view text, std::string& out) {
  out = DosToWin(text);
}

std::string DosToWin(std::string_view text) {
  return MapParts(text, PlainDosToWin, NameAsItIs);
}

void WinToDos(std::string_view text, std::string& out) {
  out = WinToDos(text);
}

std::string WinToDos(std::string_view text) {
  return Utf8ToCp850(text);
}

void OutputText(std::string_view text, std::string& out) {
  out = OutputText(text);
}

std::string OutputText(std::string_view text) {
  return MapParts(text, PlainOutputText, CadName);
}
