// Character conversion between the DOS code page 850 in which the program holds its texts and
// the outside world: UTF-8 for everything shown to people (dialogs, windows, HTML listings) and
// the single-byte Windows code page 1252 for CAD files. Our own tables; texts of any length.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A name of a file or folder travels inside a text of the DOS code page as the file system
// gives it (UTF-8), between kNameOpen and kNameClose. Every conversion for display (DosToWin,
// the listing devices, the batch messages, the CAD texts) passes the name through exactly;
// plain code-page text never holds these byte pairs (CP850 bytes 0x0E and 0x0F are no
// characters anybody types). This is the only way names and UTF-8 texts join program texts.
inline constexpr std::string_view kNameOpen = "\x0E\x0E";
inline constexpr std::string_view kNameClose = "\x0F\x0F";

// The name wrapped for a code-page text; a name of more than width characters (width >= 0)
// keeps its beginning and end around " ... ".
std::string NameText(std::string_view utf8Name, int width = -1);
// True when the text holds a wrapped name.
bool HoldsName(std::string_view text);
// The text with every wrapped name as the code page holds it ("?" where it cannot): for the
// DOS listing file and the printer port, which know no other characters.
std::string NamesToCp850(std::string_view text);
// Columns a character takes in a monospaced font: two for the East Asian wide and full-width
// characters (CJK ideographs, kana, Hangul, full-width forms, the wide pictographs), else one.
int CharColumns(char32_t codePoint);
// Columns of the text as shown: a code-page byte counts one, a wrapped name by the columns of
// its characters.
std::size_t ShownLength(std::string_view text);

// True when the bytes are well-formed UTF-8.
bool IsUtf8(std::string_view text);
// A name read from a file: as it stands when it is UTF-8, else converted from CP850 once
// (files written before names were kept as the file system gives them).
std::string NameFromFile(std::string_view bytes);
// The first character of a typed (UTF-8) text that CP850 cannot hold, as UTF-8; empty when
// every character fits (a broken sequence counts as U+FFFD).
std::string FirstCharOutsideCp850(std::string_view utf8);

// Unicode code point of a CP850 byte (0..127 map to themselves).
char32_t Cp850ToUnicode(unsigned char byte);
// CP850 byte of a code point; false when CP850 has no such character.
bool UnicodeToCp850(char32_t codePoint, unsigned char& byte);

// CP850 text to UTF-8, byte by byte.
std::string Cp850ToUtf8(std::string_view text);
// UTF-8 text to CP850; characters CP850 lacks and broken UTF-8 sequences become "?".
std::string Utf8ToCp850(std::string_view text);

// CP850 to CP1252 and back, single bytes; characters the other page lacks become "?".
void OemToAnsi(std::string_view text, std::string& out);
std::string OemToAnsi(std::string_view text);
void AnsiToOem(std::string_view text, std::string& out);
std::string AnsiToOem(std::string_view text);

// DOS characters to plain ASCII: umlauts to "ue", "ae", ..., "ß" to "ss", "±" to "+/-",
// "°" to "deg", "²" to "2", the double and single horizontal box lines to "-".
void Transliterate(std::string_view text, std::string& out);
std::string Transliterate(std::string_view text);

// Character mode 1: transliteration when CharMode is 1, then the fixed per-byte table (umlauts,
// accents, box-drawing bytes to "|", "+", "-"; other bytes by CP850). Result in UTF-8.
// "|" stays "|".
void DosToWinTable(std::string_view text, std::string& out);
std::string DosToWinTable(std::string_view text);

// A stored (CP850) text for display: CharMode 1 Transliterate + DosToWinTable, any other
// CharMode the full CP850 conversion. Result in UTF-8.
void DosToWin(std::string_view text, std::string& out);
std::string DosToWin(std::string_view text);

// A typed (UTF-8) text for storage in CP850; unmappable characters become "?".
void WinToDos(std::string_view text, std::string& out);
std::string WinToDos(std::string_view text);

// Text for a CAD file by ConfigVariables.CadTextMode: 1 unchanged, 2 DOS to Windows as
// single-byte CP1252 (by CharMode as DosToWin), 3 Transliterate, any other value unchanged.
// A wrapped name is written in the file's code page (CP1252 for modes 2 and 3, else CP850);
// a character that code page lacks as "\U+XXXX", which CAD readers decode.
void OutputText(std::string_view text, std::string& out);
std::string OutputText(std::string_view text);
