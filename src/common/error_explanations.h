// Explanations of calculation messages: the program's explanation file of 3-line records
// (message, origin, remedy) in the PLT directory, the message choice after a calculation, and
// the origin and remedy texts that the result listing prints under each message.
#pragma once

#include <functional>
#include <string>
#include <string_view>

// Characters of a message that identify its record.
constexpr int kErrorKeyLength = 14;

inline constexpr const char* kNoErrorHelpText =
    "no help description available for this error message.";

// PLT directory + lower-case file stem + ".err".
std::string ErrorExplanationFileName();

// True when line and message agree in their first 14 characters (exact, case-sensitive).
bool ErrorKeyMatches(std::string_view line, std::string_view message);

// The message choice after a calculation. Nothing with the command-line parameter "/NOGUI" or
// while the tour runs; "Calculation successful without error messages" for an empty list;
// otherwise the messages and "Continue..." are offered until the user continues or cancels,
// and a chosen message is explained.
void ShowErrorList();

// Explains message n (1-based) of the ErrorList from the explanation file.
void ShowErrorHelp(int n);

// Shows message, origin and remedy (DOS code page) in the explanation window through the
// error-box hook.
void ShowErrorBox(const std::string& message, const std::string& origin, const std::string& remedy);

// Origin and remedy of message n for the result listing, read on a channel of their own (the
// shared text file is open for the listing meanwhile). A missing file gives empty texts;
// while AbortFlag is set nothing is read. Origin of an unknown message: kNoErrorHelpText;
// remedy of an unknown message: empty.
void GetErrorOrigin(int n, std::string& text);
void GetErrorRemedy(int n, std::string& text);

// Replaces origin and remedy of the message's record. The file is rewritten in one piece
// (a new file renamed over the old one), so it works whatever the temporary directory is and
// never leaves a half file. Line breaks typed into origin or remedy become blanks so that the
// record stays 3 lines. A message without a record: "<message> not found." and no change.
void SaveErrorHelp(const std::string& message, const std::string& origin,
                   const std::string& remedy);

// The explanation window (Thelperr). The Qt forms install a hook that shows it modally and, when
// the user changed origin or remedy and confirms, calls SaveErrorHelp. Without a hook the texts
// are shown in a message box captioned "Error Message" through the dialog host.
using TErrorBoxHook = std::function<void(const std::string& message, const std::string& origin,
                                         const std::string& remedy)>;
void InstallErrorBoxHook(TErrorBoxHook hook);
