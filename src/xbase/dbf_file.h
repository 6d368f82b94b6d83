// Table file layer of the dBASE table library: moves one record between a table file and a
// work area's raw record buffer, writes the header back, ends and closes the file, converts
// between the raw record and the typed field buffer, translates the DOS code page, reads the
// header and field descriptors of a table being opened, and creates empty memo files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "xbase/work_areas.h"

constexpr unsigned char EofMarker = 0x1A;

// Two further accepted version bytes (0 = unused).
extern unsigned char ExtraDbfVersion1;
extern unsigned char ExtraDbfVersion2;
// Memo version used when a table's version byte is not valid (dBASE IV).
extern unsigned char DefaultMemoVersion;
// Header write (after appends) or flush after every record write.
extern bool AutoCommit;

// Virtual-file requests the file layer issues.
constexpr std::uint8_t kVFileClose = 1;
constexpr std::uint8_t kVFileGoto = 3;
constexpr std::uint8_t kVFileReplace = 8;

// Bytes a field takes in the typed record buffer: text + terminator, date text + separators,
// 4- or 8-byte numbers, a logical byte, a 4-byte memo block number.
int TypedSlotSize(const FieldDescriptor& f);
// Whole-number fields (N and F without decimals) wider than 9 digits hold a 64-bit integer in
// their slot, narrower ones a 32-bit integer: every digit the field can hold is kept.
bool WideIntegerSlot(const FieldDescriptor& f);
std::int64_t GetSlotInteger(const FieldDescriptor& f, const unsigned char* slot);
void PutSlotInteger(const FieldDescriptor& f, unsigned char* slot, std::int64_t value);
// The whole number a value gives a slot: rounded, or the mark that stores asterisks (and is
// refused with 201) for values beyond 64 bits, NaN and infinity.
std::int64_t SlotIntegerOf(double value);
// The slot still holds the value the stored field text gives (a non-blank field only).
bool SlotHoldsStoredValue(const FieldDescriptor& f, const unsigned char* slot,
                          std::string_view stored);

void WriteDbfHeader(WorkAreaRecord& area);
void CommitDbf(WorkAreaRecord& area);
// CommitDbf without the flush: what Unlock runs before it lets go of the append or file lock.
void CommitTableEnd(WorkAreaRecord& area);
void GetDbfRecord(WorkAreaRecord& area, std::int32_t n);
void PutDbfRecord(WorkAreaRecord& area, std::int32_t n);
void AppendDbfRecord(WorkAreaRecord& area);
// A value that did not fit its field (area.unfitField, then cleared) is reported with 201;
// PutDbfRecord then writes nothing and reloads the raw record from the file.
void ReportUnfitField(WorkAreaRecord& area, const std::string& routine);
void CloseDbf(WorkAreaRecord& area);
void FlushFile(int handle);

enum class TTranslateDirection { Read, Write };
void TranslateRecord(TTranslateDirection direction, bool oem, TRecordHook hook,
                     std::size_t totalLength, std::uint16_t recordLength, unsigned char* buffer);

void RecordToFields(WorkAreaRecord& area, unsigned char* typed);
void FieldsToRecord(WorkAreaRecord& area, unsigned char* typed);

bool IsValidDbfVersion(unsigned char version);
bool IsDbase2(const WorkAreaRecord& area);
std::string MemoFileExt(unsigned char version);
void MakeMemoFile(const std::string& name, unsigned char version, std::uint16_t blockSize,
                  const std::string& routine);

std::uint32_t SwapLong(std::uint32_t value);
std::uint16_t SwapWord(std::uint16_t value);

// Reads the header and field descriptors of the open file in area.fileHandle into the area
// (header image, header and record length, fields, record count); false with an error
// reported (210 not a table, 211 bad field type, 213 short file).
bool ReadDbfHeader(WorkAreaRecord& area);
// Header and field descriptors of a new empty table (version 0x03 layout, 0x0D terminator,
// EofMarker behind the header).
std::string BuildDbfHeader(std::uint8_t version, const std::vector<TFieldSpec>& fields, int year,
                           int month, int day);
