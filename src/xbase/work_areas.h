// Work areas of the dBASE table library and its table API: the 35 work-area slots, the current
// area, the field descriptors and typed field buffer, navigation, appending, Peek and Poke, and
// the hook tables through which the optional units (indexes, expressions, memo files, virtual
// files) are reached. Each optional unit fills its slots from its own Init routine; the core
// calls a slot only when it is filled.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Field descriptors and work-area record

// One field of a table as the core keeps it (16 bytes).
struct FieldDescriptor {
  char name[11];        // zero-terminated, upper case
  char type;            // "C", "N", "F", "L", "D", "M", others are skipped
  std::uint8_t length;  // as in the file
  std::uint8_t decimals;
  std::uint16_t offset;  // in the raw record (1 = first byte behind the deletion flag)
};
static_assert(sizeof(FieldDescriptor) == 16);

// Record hooks of an area: run on the record's bytes behind the deletion flag, after
// (write) or before (read) the code-page translation.
using TRecordHook = void (*)(unsigned char* buffer, std::uint16_t length);
using TFilterEvent = std::function<bool()>;
using TRelationProc = std::function<void()>;

struct VFileNode;  // a record of a virtual file, defined by the virtual-file unit
// Key maker of a sorted virtual file: (KeyMakerArg, key text).
using TVFileKeyMaker = void (*)(std::int32_t arg, std::string& key);

// What the virtual-file manager keeps in an area's file slot.
struct TVFileState {
  bool isVirtual = false;
  std::uint8_t VFileRequest = 0;
  std::int32_t VFileTarget = 0;
  VFileNode* VFileHead = nullptr;
  VFileNode* VFileTail = nullptr;
  VFileNode* VFileCurrent = nullptr;
  std::uint8_t VFileMode = 0;
  TVFileKeyMaker KeyMaker = nullptr;
  std::int32_t KeyMakerArg = 0;
  std::uint8_t ReplaceHint = 0;
};

struct CompiledExpr;  // a compiled expression, defined by the expression unit

// Area states
constexpr std::uint8_t kAreaClosed = 0;
constexpr std::uint8_t kAreaClean = 1;
constexpr std::uint8_t kAreaModified = 2;
constexpr std::uint8_t kAreaAppended = 3;

// Lock states
constexpr std::uint8_t kLockNone = 0;
constexpr std::uint8_t kLockFile = 1;
constexpr std::uint8_t kLockAppend = 2;
constexpr std::uint8_t kLockRecords = 3;

struct WorkAreaRecord {
  std::string tableName;                        // shown in messages
  std::array<unsigned char, 32> headerImage{};  // the file's first 32 bytes
  bool hasMemo = false;
  bool ignoreDeleted = false;
  std::uint16_t headerLength = 0;
  std::uint16_t recordLength = 0;  // deletion flag included
  std::uint8_t fieldCount = 0;
  std::vector<FieldDescriptor> fields;  // fieldCount entries
  std::uint8_t state = kAreaClosed;
  std::vector<unsigned char> recordBuffer;  // raw record (recordLength bytes)
  std::int32_t recordCount = 0;
  std::int32_t recordNumber = 0;
  bool eof = false;
  bool bof = false;
  bool oem = false;  // text is CP850, translated on read and write
  TRecordHook writeHook = nullptr;
  TRecordHook readHook = nullptr;
  int fileHandle = -1;                   // open file descriptor, -1 when closed
  TVFileState vfile;                     // virtual tables only
  unsigned char* typedBuffer = nullptr;  // typed field buffer
  std::uint16_t typedSize = 0;
  bool ownsTypedBuffer = false;
  std::vector<unsigned char> ownTypedStorage;  // storage behind typedBuffer when owned
  TFilterEvent filterEvent;
  CompiledExpr* filterExpr = nullptr;
  TRelationProc relationProc;
  std::string path;  // table file path
  TFilterEvent scopeEvent;
  CompiledExpr* scopeExpr = nullptr;
  std::uint8_t lockState = kLockNone;
  std::uint16_t lockedCount = 0;
  std::vector<std::int32_t> lockedRecords;  // front = head of the list
  bool exclusive = false;
  std::vector<unsigned char> spareRecord;  // spare record buffer of the units
  // A field the last FieldsToRecord could not fill with the caller's value (empty when all
  // fitted): a number as "*", or a date that is no date (its text in unfitText). The record
  // write refuses such a record and reports it.
  std::string unfitField;
  std::string unfitText;
  // The first thing the last RecordToFields could not read (a number field holding no number,
  // a date that is no date, a deletion flag neither blank nor "*"), with the code it is
  // reported with when the fields are loaded; the record is shown with stand-ins.
  std::string unreadableField;
  std::string unreadableNote;  // what the stand-in is
  std::uint16_t unreadableCode = 0;
  // The record whose bytes the buffers hold as read from the file (0 for none): a move that
  // reports damage inside that record still stands on it.
  std::int32_t loadedRecord = 0;
  // A code the open reported about the table as a whole (213 for a copy cut short); it stands
  // until a caller fetches the message, whatever moves come between.
  std::uint16_t openCode = 0;
};

constexpr int kWorkAreaCount = 35;
constexpr int kUserAreaCount = 33;

// Slots 1..35 (slot 0 unused); empty slots hold nullptr.
extern std::array<std::unique_ptr<WorkAreaRecord>, kWorkAreaCount + 1> WorkAreas;
extern std::uint8_t CurrentArea;

// The current area's record, nullptr when the area is empty.
WorkAreaRecord* CurrentWorkArea();
// The area's record, nullptr when empty or out of 1..35.
WorkAreaRecord* WorkAreaAt(int area);

// ---------------------------------------------------------------------------------------------
// Hook tables

// Text of the current record's key, delivered by slots 19 and 20.
using TKeyTextProc = void (*)(std::string& key);

// Index hooks (25 slots, filled by the index unit). The core calls them only while
// IndexUnitPresent is set and slot 0 reports an index for the current area.
struct TIndexHooks {
  bool (*indexActive)() = nullptr;           // 0
  void (*syncIndex)() = nullptr;             // 1 controlling index only
  std::int32_t (*findNextRec)() = nullptr;   // 2
  std::int32_t (*findPriorRec)() = nullptr;  // 3
  std::int32_t (*top)() = nullptr;           // 4 (record count + 1: no record)
  std::int32_t (*bottom)() = nullptr;        // 5
  bool (*indexEof)() = nullptr;              // 6
  bool (*indexBof)() = nullptr;              // 7
  void (*appendNewKey)() = nullptr;          // 8
  void (*loadCurrentKey)() = nullptr;        // 9
  void (*syncAll)() = nullptr;               // 10
  void (*keysChanged)() = nullptr;           // 11
  void (*setBof)() = nullptr;                // 12
  void (*setEof)() = nullptr;                // 13
  bool* foundFlag = nullptr;                 // 14 address of the found flag
  void (*reindex)() = nullptr;               // 15
  void (*closeAllIndexes)() = nullptr;       // 16
  // 17: a record was rewritten in the file (oldRaw and newRaw: record-length images as read);
  // every index whose key of it changed moves its entry.
  void (*recordRewritten)(std::int32_t record, const unsigned char* oldRaw,
                          const unsigned char* newRaw) = nullptr;
  std::string (*indexFileName)(int n) = nullptr;    // 18
  TKeyTextProc (*keyTextOfIndex)(int n) = nullptr;  // 19
  TKeyTextProc (*keyTextOfController)() = nullptr;  // 20
  bool (*ascending)(int n) = nullptr;               // 21
  bool (*soundex)(int n) = nullptr;                 // 22
  void (*setReadSemaphore)(bool on) = nullptr;      // 23
  void (*setLockSemaphore)(bool on) = nullptr;      // 24
};
extern TIndexHooks IndexHooks;
extern bool IndexUnitPresent;
// What slots 2 and 3 give when the step showed the index damaged and reported it (212): the
// walk ends there, at EOF going forward, at BOF on the record reached going back.
constexpr std::int32_t kIndexStepDamaged = -1;  // set by the index unit's Init

// Result of an evaluation: numeric and date results are a double, logical ones a 32-bit 0 or
// 1 (the first byte is the boolean), character results zero-terminated text.
using TExprResult = void*;

// Expression hooks (filled by the expression unit).
struct TExprHooks {
  CompiledExpr* (*compile)(std::string& text) = nullptr;
  void (*free)(CompiledExpr*& handle) = nullptr;
  TExprResult (*evaluate)(CompiledExpr*& handle) = nullptr;
  void (*text)(CompiledExpr*& handle, std::string& text) = nullptr;
};
extern TExprHooks ExprHooks;
// Fast evaluation of CurrentExpr (EvaluateCurrentExpr), used by the index layer per record.
extern TExprResult (*FastEvaluate)();
extern CompiledExpr* CurrentExpr;
extern bool ParserPresent;

struct TMemoTextFile;  // a memo as a text file, defined by the memo unit

// Memo hooks (8 slots, filled by the memo unit).
struct TMemoHooks {
  void (*assignMemo)(TMemoTextFile& file, std::int32_t& block) = nullptr;                 // 0
  void (*packMemofile)() = nullptr;                                                       // 1
  void (*openMemofile)(const std::string& tableName) = nullptr;                           // 2
  void (*closeMemofile)() = nullptr;                                                      // 3
  std::int32_t (*copyMemoAppend)(std::uint8_t sourceArea, std::int32_t block) = nullptr;  // 4
  std::int32_t (*copyMemoAt)(std::uint8_t sourceArea, std::int32_t block) = nullptr;      // 5
  void (*createAndOpen)(const std::string& tableName) = nullptr;                          // 6
  std::int32_t (*addMemo)(const std::string& text) = nullptr;                             // 7
};
extern TMemoHooks MemoHooks;

// Virtual-file dispatcher (filled by the virtual-file unit): runs area.vfile.VFileRequest.
extern void (*VFileDispatcher)(WorkAreaRecord& area);

// Replaces stepping in Skip when set: (skip count, boundary flag) -> record number.
extern std::int32_t (*SkipOverride)(std::int32_t& count, bool& boundary);

// ---------------------------------------------------------------------------------------------
// Settings

extern std::uint16_t SharedOpenMode;     // 66: read/write, deny none
extern std::uint16_t ExclusiveOpenMode;  // 18: read/write, exclusive
extern std::uint16_t FileMode;           // the default file-open mode (18)
extern bool LastOpenExclusive;
extern std::uint16_t PeekCacheSize;  // 0 = no cache

// Start-up of the library core: error state, date mode, hook tables cleared, all areas empty,
// area 1 selected. Call before any optional unit's Init.
void InitXbaseCore();
// Library end: areas 34 and 35, then all areas closed.
void DoneXbaseCore();
bool XbaseCoreInitialized();

// ---------------------------------------------------------------------------------------------
// Table API (all on the current area)

// With the current area empty: error 215 naming the routine; true when a table is in use.
bool CheckDbInUse(const std::string& routine);

void Select(int n);
std::string AreaName();
std::string AreaPath();
void CloseArea();
void CloseAll();
int OpenDbfFile(bool exclusive);
std::int32_t RecCount();
std::int32_t RecNo();
std::uint16_t RecSize();
int FieldCount();
void RefreshRecCount();

void GoTop();
void Go(std::int32_t n);
void Skip(std::int32_t n);
void Dbf4RawGo(std::int32_t n);
void GoRecord(std::int32_t n);
bool GoIfValid(std::int32_t n);
bool dEOF();
bool dBOF();
bool SetIgnoreDel(bool flag);
TRelationProc SetRelationProc(TRelationProc procedure);
bool SettleOnVisibleRecord();
void SyncRelation();

// Number (1..35) of the area when indexes are open on it and must follow a rewrite of one of
// its records, else 0.
int IndexedAreaNumber(const WorkAreaRecord& area);
// The write of a record whose keys the area's indexes follow, bracketed: the indexes are held
// (slot 24) and marked as being updated from Begin to End. Begin reports, and gives false after
// closing the bracket again, when they cannot be updated (the record must not be written).
bool BeginIndexedWrite(int areaNumber);
void EndIndexedWrite(int areaNumber);
// Tells the index unit (slot 17) that record n of that area changed from oldRaw to newRaw.
void NotifyRecordRewritten(int areaNumber, std::int32_t n, const unsigned char* oldRaw,
                           const unsigned char* newRaw);

// Current record visible (not hidden by the deleted flag or the filter) / inside the scope.
bool RecordVisible();
bool RecordInScope();

void Append();
std::string Peek(int n, std::int32_t r);
void Poke(const std::string& text, int n, std::int32_t r);

// A field of a table to be created.
struct TFieldSpec {
  std::string name;
  char type = 'C';
  std::uint8_t length = 0;
  std::uint8_t decimals = 0;
};

// The field routines and table opening are part of this API.
#include "xbase/table_fields.h"
#include "xbase/table_open.h"
