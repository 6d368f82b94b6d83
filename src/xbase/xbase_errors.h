// Error state of the dBASE table library: the last error's code and message, the table of code
// texts, the one handler every library error goes through (an embedding hook, the library's
// exception, or a fatal box that ends the program), and small memory and code-page wrappers.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// The library's exception; its message is the composed error text. The code stays readable in
// XbaseErrorCode.
class EXbaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

using TXbaseErrorHook = void (*)();
// Ends the program with the given exit code. Tests replace it to watch the fatal road.
using TXbaseHaltProc = void (*)(int exitCode);

// Error state (one for the library).
extern std::uint16_t XbaseErrorCode;    // last error; 0 = none; also the last I/O result
extern std::uint16_t PendingErrorCode;  // cleared when the message is fetched
extern std::string XbaseErrorMessage;   // message of the last error
extern bool ErrorHandlingOn;            // SetError calls HandleError at once
extern bool RaiseOnError;               // HandleError raises EXbaseError instead of halting
extern TXbaseErrorHook XbaseErrorHook;  // replaces the library's own handling when set
extern bool HaltInProgress;             // set just before the halt; HandleError then idles
extern TXbaseHaltProc XbaseHaltProc;    // std::exit by default

// Message-box flags of the fatal box.
constexpr unsigned kMbOk = 0;
constexpr unsigned kMbIconHand = 16;

// Error state to its start values (no error, handling on, no raise, no hook).
void InitXbaseErrors();

// "" for 0, else "Error # " + code + " (" + text + ")".
std::string ErrorCodeText(std::uint16_t code);
// The bare text of a code ("Undefined error" for codes not in the table, "" for 0).
std::string ErrorCodeMeaning(std::uint16_t code);

void SetError(std::uint16_t code, std::string_view message);
// Sets ErrorHandlingOn and returns its previous value.
bool SetErrorHandling(bool on);
void HandleError();
// Code text + CR LF + message, once; then "" until the next error.
std::string LastErrorMessage();
[[noreturn]] void RaiseXbaseError(const std::string& message);
// Fatal message box through the program's dialog host; returns the button (1 = OK).
int ShowFatalBox(const std::string& text, const std::string& title, unsigned flags);

// Allocation wrappers: blocks below 65536 bytes, zeroed. FreeMem of a null pointer reports
// code 9 and frees nothing.
void GetMem(void*& pointer, std::uint16_t size);
void FreeMem(void*& pointer, std::uint16_t size);
std::int32_t MaxAvail();

// Whole-text code-page conversions: Windows (CP1252) to DOS (CP850) and back.
std::string AnsiToOemStr(std::string_view text);
std::string OemToAnsiStr(std::string_view text);
