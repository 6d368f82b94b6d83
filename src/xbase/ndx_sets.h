// Open NDX indexes of the work areas: up to 16 per area, the one at position 1 controls the
// record order. Opening, closing, changing the controlling index, the key of the current
// record, and the registration of the index unit in the core's hook table.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "xbase/ndx_format.h"
#include "xbase/work_areas.h"

constexpr int kMaxIndexSlots = 16;

// Key maker: (data, order slot, key text of the current record).
using TKeyMaker = void (*)(void* data, int slot, std::string& key);

// One node on the way from the root to the current leaf, with the item taken in it.
struct TNdxPathEntry {
  std::uint32_t node = 0;
  int item = 0;
  TNdxBlock image{};
};

// One open index.
struct TIndexDescriptor {
  int homeSlot = 1;
  int file = -1;
  std::string fileName;
  TNdxAnchor anchor;
  std::string expression;  // as stored (normalized)
  bool anchorModified = false;
  bool updateCutShort = false;  // found with another program's update mark: never cleared here
  bool characterKey = true;
  bool bof = false;
  bool eof = false;
  bool soundex = false;
  bool descending = false;
  bool noCache = false;
  CompiledExpr* keyExpr = nullptr;  // expression indexes
  TKeyMaker keyMaker = nullptr;
  void* keyMakerData = nullptr;
  // Copy of the compiled expression's result descriptor.
  char resultType = 'C';
  std::uint16_t resultWidth = 0;
  std::uint8_t resultDecimals = 0;

  std::string currentKey;  // key length bytes
  // Position: the path to the current leaf; path.back().item is the current item. An empty
  // path or noPosition means the index stands on no key.
  std::vector<TNdxPathEntry> path;
  bool noPosition = true;

  int KeyLength() const { return anchor.keyLength; }
};

// Per area 1..35, positions 1..16 (0 unused).
using TIndexSlots = std::array<std::unique_ptr<TIndexDescriptor>, kMaxIndexSlots + 1>;
extern std::array<TIndexSlots, kWorkAreaCount + 1> IndexTable;
// An index SetIndexTo refused because an update of it was cut short: Reindex of the area
// rebuilds it into its slot. Kept until the slot is set again or the area's indexes close.
// Always made whole, every field given.
struct TMarkedIndex {
  int slot;
  std::string nameWithOptions, path;
  bool soundex, descending;
  TKeyMaker keyMaker;
  void* keyMakerData;
  std::string table;  // the path of the table it was set for
};
extern std::array<std::vector<TMarkedIndex>, kWorkAreaCount + 1> MarkedIndexes;
extern std::array<bool, kWorkAreaCount + 1> NaturalOrder;

// Per program.
extern int CurrentOrderSlot;          // slot the navigation routines use (normally 1)
extern int KeySlot;                   // slot whose key the key text routines give
extern bool IndexFound;               // result of the last search
extern std::uint16_t IndexCacheSize;  // 4096 (kept for the settings; nodes go through the OS)
extern bool IndexNoCache;

// The index in a slot of the current area (nullptr when none).
TIndexDescriptor* IndexInSlot(int slot);
TIndexDescriptor* ControllingIndex();
bool AreaHasIndex(int area);

bool SetIndexTo(const std::string& nameWithOptions, int slot, TKeyMaker keyMaker = nullptr,
                void* keyMakerData = nullptr);
void OpenIndex(const std::string& name, bool noCache, bool soundex, int slot, bool descending,
               TKeyMaker keyMaker, void* keyMakerData);
void CheckIndexAlreadyOpen(const std::string& name, int slot);
void CloseIndexFile(int slot);
void CloseAllIndexes();
void Set_Order_To(int n);
int CurrentOrder();
std::string IndexFileName(int slot);
void IndexKeyAsString(std::string& out);

// Key of the current record for an index, key length bytes (OEM, Soundex, inversion applied).
std::string MakeIndexKey(TIndexDescriptor& index, int slot);
// The report of an index whose update was cut short.
void ReportIndexCutShort(const std::string& fileName, const std::string& routine);
// Writes block 0 from memory (anchor, expression, record count, table name).
void WriteAnchorNode(TIndexDescriptor& index);
// The full path of an index name: extension NDX, the table's directory when none is given.
std::string IndexPathFor(const std::string& name);

// Registers the index unit: fills IndexHooks and clears the per-area tables.
void IndexInit();
// Closes every index of every area (unit end, tests).
void IndexDone();
