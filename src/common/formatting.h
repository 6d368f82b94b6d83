// Numbers to text and back in the program's own rules (significant digits, fixed-width
// columns shifted by the digits setting, millimetres or inches, date styles), plus the small
// text helpers that the listings, files and dialogs share.
//
// Numbers never depend on the C locale: the decimal separator written is always ".", and the
// readers accept "," as well as ".".
//
// Routines that fill a caller's text come in two shapes: the "var text" form (the output string
// is a parameter, in the documented argument order) and a form that returns the text. Texts
// are byte strings (DOS code page); positions are 1-based where a routine takes or gives one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Numbers to text

// Count of digits before the point (intDigits) and of decimals needed to show x with n
// significant digits, trailing zeros dropped. The value is rounded to n significant digits
// first, so a carry into a new digit (999.7 -> 1000) is counted. Zero counts as 0.5.
void SignificantDigits(int& intDigits, int& decimals, int n, long double x);

// Fixed-point text of x with the given decimals (shifted by FloatDigits - 3 and kept within
// 0..10 when FloatDigits is not 3), blanks in front up to intDigits + decimals + 1 characters
// (intDigits alone when decimals < 1). Never scientific notation; |x| < 1e-8 counts as 0.
void RealStrW(int intDigits, int decimals, std::string& text, long double x);
std::string RealStrW(int intDigits, int decimals, long double x);

// 3 significant digits, trailing zeros dropped; "0" when |x| < 1e-5.
void RealStr(std::string& text, long double x);
std::string RealStr(long double x);

// As RealStr with 3 - k significant digits; "0" when |x| < 1e-5.
void RealStrSig(int k, std::string& text, long double x);
std::string RealStrSig(int k, long double x);

// 6 significant digits (RealStrSig with k = -3).
void RealStr6(std::string& text, long double x);
std::string RealStr6(long double x);

// Integer digits as for 3 significant digits, n decimals; no "0" substitution.
void RealStrN(int n, std::string& text, long double x);
std::string RealStrN(int n, long double x);

// Negative x as RealStrN; positive x with "+" in front; empty text for x = 0.
void SignedRealStr(int n, std::string& text, long double x);
std::string SignedRealStr(int n, long double x);

// A real for a file that must give back the very value: fixed-point with the given decimals
// when that text reads back as x, otherwise the shortest text that does (scientific notation
// where that is shorter). Independent of FloatDigits and of the locale.
std::string StoredRealStr(int decimals, long double x);

// Decimal text of an integer.
void IntStr(long long n, std::string& text);
std::string IntStr(long long n);

// Decimal text with "0" in front up to the width (never cut).
void IntStrZ(long long n, int width, std::string& text);
std::string IntStrZ(long long n, int width);

// Decimal text with blanks in front up to the width (never cut).
void IntStrW(long long n, int width, std::string& text);
std::string IntStrW(long long n, int width);

// ---------------------------------------------------------------------------------------------
// Text to numbers: the first "," (only the first) counts as "."; surrounding blanks are
// allowed; anything else that is not a complete number (empty text, "7x", "1,5,0", "inf",
// out of range) gives 0.

long double StrToReal(std::string_view text);
// True when StrToReal reads the text as a number rather than giving 0 for want of one.
bool ReadsAsReal(std::string_view text);
std::int32_t StrToInteger(std::string_view text);
// Same conversions under the names the HPGL reader uses.
long double ValReal(std::string_view text);
std::int32_t ValInteger(std::string_view text);

// ---------------------------------------------------------------------------------------------
// Texts

// Case changed for ASCII letters only.
void UpperStr(std::string_view text, std::string& out);
std::string UpperStr(std::string_view text);
void LowerStr(std::string_view text, std::string& out);
std::string LowerStr(std::string_view text);

// Text cut to the width or filled with blanks at the end.
void PadRight(std::string_view text, int width, std::string& out);
std::string PadRight(std::string_view text, int width);

// The trimmed text with blanks in front up to the width; when longer, its first width characters.
void PadLeft(std::string_view text, int width, std::string& out);
std::string PadLeft(std::string_view text, int width);

// First n, last n characters (the whole text when it is shorter).
void LeftStr(std::string_view text, int n, std::string& out);
std::string LeftStr(std::string_view text, int n);
void RightStr(std::string_view text, int n, std::string& out);
std::string RightStr(std::string_view text, int n);

// Leading and trailing blanks removed.
void TrimStr(std::string_view text, std::string& out);
std::string TrimStr(std::string_view text);

// Copy without any blank; DelBlanksVar works in place.
void DelBlanks(std::string_view text, std::string& out);
std::string DelBlanks(std::string_view text);
void DelBlanksVar(std::string& text);

// Every occurrence of oldChar replaced by newChar.
void ReplaceChar(char oldChar, char newChar, std::string& text);

// Every "." replaced by ",", every "," by ".".
void PointToComma(std::string_view text, std::string& out);
std::string PointToComma(std::string_view text);
void CommaToPoint(std::string_view text, std::string& out);
std::string CommaToPoint(std::string_view text);

// The decimal sign numbers are shown to the user with, "," or ".": the one decision for every
// dialog, grid and table view, taken from the numeric locale the environment names (LC_ALL,
// LC_NUMERIC, LANG). Files and the command line never use it.
char UserDecimalSign();

// 1-based position of the last occurrence of sub in text, 0 when absent (or sub is empty).
int LastPos(std::string_view sub, std::string_view text);

// Overwrites text from the 1-based pos with sub, only when pos > 0 and sub fits inside text.
void PutStr(std::string_view sub, std::string& text, int pos);

// Copies the text unchanged.
void CopyBoxBars(std::string_view text, std::string& out);

// Splits text into TextPieces[1..count]: a piece longer than the width ends after the last
// break character at positions width - 1 down to 1 (the break character stays with the piece),
// else after width characters. widest is the longest piece (at least 1). At most 5 pieces are
// stored; a text that needs more is cut after the fifth piece. A width below 1 counts as 1.
void WrapText(std::string_view text, char breakChar, int width, int& widest, int& count);

// True when a command-line parameter equals the text, compared in upper case. The parameters
// are those given to SetCommandLineParameters, else the process's own arguments.
bool HasParam(std::string_view text);
// Parameters after the program name (start-up and tests set them).
void SetCommandLineParameters(const std::vector<std::string>& params);

// ---------------------------------------------------------------------------------------------
// Units (by ConfigVariables.UnitSystem: 0 millimetres, 1 inches)

void LengthStr(std::string& text, long double mm);
std::string LengthStr(long double mm);
void LengthStrN(int n, std::string& text, long double mm);
std::string LengthStrN(int n, long double mm);
void LengthStr6(std::string& text, long double mm);
std::string LengthStr6(long double mm);
void LengthStrW(int intDigits, int decimals, std::string& text, long double mm);
std::string LengthStrW(int intDigits, int decimals, long double mm);
// A typed length in the current unit, as millimetres.
long double LengthValue(std::string_view text);
// Millimetres in the current unit.
long double LengthToUnit(long double mm);
// "mm" or "in".
void LengthUnitStr(std::string& text);
std::string LengthUnitStr();
// "deg" when CharMode is 1, otherwise the DOS degree sign (byte 248).
void AngleUnitStr(std::string& text);
std::string AngleUnitStr();

// ---------------------------------------------------------------------------------------------
// Dates by ConfigVariables.DateStyle: 1 dd.mm.yyyy, 2 mm/dd/yyyy, 3 yyyy/mm/dd, 4 dd/mm/yyyy,
// any other yyyy/mm/dd.
void FormatDateStyle(int year, int month, int day, std::string& text);
std::string FormatDateStyle(int year, int month, int day);
