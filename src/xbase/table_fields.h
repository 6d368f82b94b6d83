// Fields of the current work area's table: descriptors by number, the slots of the typed field
// buffer, values as text, and loading and storing the typed buffer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "xbase/work_areas.h"

char FieldType(int n);
int FieldDec(int n);
int FieldLen(int n);
unsigned char* FieldAddress(int n);
std::string FieldAsText(int n);
// Field number of a name (case-insensitive), 0 when there is none.
int FieldNumber(const std::string& name);
std::string FieldName(int n);
void LoadFields();
void StoreFields();
void ClearRecord();

// Typed-buffer access by field number (the slots of FieldAddress).
std::string GetFieldText(int n);  // C and D slots
void SetFieldText(int n, const std::string& text);
double GetFieldNumber(int n);  // N and F
void SetFieldNumber(int n, double value);
bool GetFieldLogical(int n);
void SetFieldLogical(int n, bool value);
std::int32_t GetFieldMemo(int n);
void SetFieldMemo(int n, std::int32_t block);
bool RecordDeleted();
void SetRecordDeleted(bool deleted);

// A number as a user types it: blanks around it, "," or "." before the decimals; the empty
// text is 0. False when the text is no number.
bool ParseFieldNumber(const std::string& text, double& value);
// Why a typed text (DOS code page) cannot be stored in field f as it stands: longer than a
// character field, no number or a number too wide for a number field, no date of the current
// date mode, no logical letter. Empty when it can; the reason names the field.
std::string FieldTextRefusal(const FieldDescriptor& f, const std::string& text);

// Typed-buffer size of a field table (deletion flag included).
std::uint16_t TypedBufferSize(const std::vector<FieldDescriptor>& fields);
