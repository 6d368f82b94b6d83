// The message list: findings of a calculation or a drawing, kept as complete texts so that
// the message window, the result listing and the drawings can show them afterwards.
#pragma once

#include <cstdint>
#include <string>

#include "common/range_array.h"

constexpr int kMaxErrors = 12;

// Severity beginnings of calculation messages (the list itself neither adds nor checks them).
inline constexpr const char* kFatalPrefix = "Fatal  : ";
inline constexpr const char* kErrorPrefix = "Error  : ";
inline constexpr const char* kWarningPrefix = "Warning: ";

struct TErrorList {
  std::uint16_t count = 0;  // entries 1..count are valid; later entries may hold old texts
  RangeArray<std::string, 1, kMaxErrors> messages;
};
extern TErrorList ErrorList;

// Appends a message unless an equal text is already listed or the list is full.
void AddError(const std::string& text);
// count := 0 and CalcFatalFlag := false; the stored texts stay.
void ResetErrors();
// count := 0 and all texts emptied; CalcFatalFlag untouched.
void ClearErrors();
// Number of valid messages.
int ErrorCount();
// Message n (1..count); empty text outside that range.
std::string ErrorText(int n);
// Start state: empty list.
void InitMessageList();
