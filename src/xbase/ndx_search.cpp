// Search and navigation in an open NDX index: node reads through the path, descent to a key,
// first/last key, stepping forward and backward across leaf borders.
#include "xbase/ndx_search.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "xbase/ndx_semaphore.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_platform.h"

namespace {

// A corrupted file could send the descent round in circles; real trees are a few levels deep.
constexpr std::size_t kMaxDepth = 64;

WorkAreaRecord* Area() {
  return CurrentWorkArea();
}

std::int32_t AreaRecordCount() {
  WorkAreaRecord* a = Area();
  return a ? a->recordCount : 0;
}

int Compare(const TIndexDescriptor& index, const unsigned char* a, const unsigned char* b) {
  return CompareNdxKeys(index.characterKey, a, b, index.KeyLength());
}

const unsigned char* KeyAt(const TIndexDescriptor& index, const TNdxPathEntry& e, int i) {
  return ItemKey(NodeItem(e.image.data(), i, index.anchor.itemSize));
}

// First item whose key is not less than the key: -1 when the key is below item 0 (or the
// node is empty), -2 when it is above the last item, else the item's index.
int SearchNode(const TIndexDescriptor& index, const TNdxPathEntry& e, const unsigned char* key) {
  const int n = NodeItemCount(e.image.data());
  if (n == 0) return -1;
  const int c0 = Compare(index, key, KeyAt(index, e, 0));
  if (c0 < 0) return -1;
  if (c0 == 0) return 0;
  if (Compare(index, key, KeyAt(index, e, n - 1)) > 0) return -2;
  int lo = 1, hi = n - 1;
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    if (Compare(index, KeyAt(index, e, mid), key) < 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}

bool PushNode(TIndexDescriptor& index, std::uint32_t node) {
  if (node == 0) {
    SetError(254, "Invalid Node Number (0) in DBF Area " + std::to_string(CurrentArea) +
                      ", Order " + std::to_string(CurrentOrderSlot) + " " + index.fileName +
                      " [GetNode]");
    return false;
  }
  if (index.path.size() >= kMaxDepth) {
    SetError(222, "Unable to open index: " + index.fileName + " [GetNode]");
    return false;
  }
  TNdxPathEntry e;
  e.node = node;
  if (!SeekAndRead(index, node, e.image.data())) return false;
  // More items than a node holds would send every reader past the node's block.
  if (NodeItemCount(e.image.data()) > index.anchor.keysPerNode) {
    SetError(222, "Corrupted index file " + index.fileName + " [GetNode]");
    return false;
  }
  index.path.push_back(e);
  return true;
}

// Follows item 0 (left edge) or the right-most child (right edge) down to a leaf.
bool DescendEdge(TIndexDescriptor& index, std::uint32_t node, bool left) {
  for (;;) {
    if (!PushNode(index, node)) return false;
    TNdxPathEntry& e = index.path.back();
    const int n = NodeItemCount(e.image.data());
    if (NodeIsLeaf(e.image.data())) {
      e.item = left ? 0 : n - 1;
      return true;
    }
    e.item = left ? 0 : n;
    node = ItemChild(NodeItem(e.image.data(), e.item, index.anchor.itemSize));
  }
}

void TakeCurrent(TIndexDescriptor& index) {
  const TNdxPathEntry& leaf = index.path.back();
  index.currentKey.assign(reinterpret_cast<const char*>(KeyAt(index, leaf, leaf.item)),
                          index.KeyLength());
  index.noPosition = false;
}

std::uint32_t LeafRecord(const TIndexDescriptor& index) {
  const TNdxPathEntry& leaf = index.path.back();
  return ItemRecord(NodeItem(leaf.image.data(), leaf.item, index.anchor.itemSize));
}

// A position whose path was given up (the tree changed under it): found again by its key and
// record number.
bool Reposition(TIndexDescriptor& index, const char* routine) {
  if (!index.path.empty() || index.noPosition) return true;
  const std::string key = index.currentKey;
  const std::uint32_t record = static_cast<std::uint32_t>(Area()->recordNumber);
  SeekKey(index, key);
  while (!index.eof && !index.noPosition && LeafRecord(index) != record && index.currentKey == key)
    StepNext(index);
  if (index.eof || index.noPosition || LeafRecord(index) != record) {
    SetError(254, std::string(" [") + routine + "]");
    SeekKey(index, key);
    return false;
  }
  return true;
}

}  // namespace

bool NdxNodeSound(const TNdxAnchor& anchor, std::uint32_t blocks, std::uint32_t node,
                  const unsigned char* image) {
  if (node == 0 || node >= blocks) return false;
  const std::uint32_t count = GetU32(image);
  if (count > anchor.keysPerNode) return false;
  if (NodeIsLeaf(image)) return true;
  // Every child of an interior node, the pointer-only one included, names a tree node.
  for (std::uint32_t i = 0; i <= count; ++i) {
    const std::uint32_t child = ItemChild(NodeItem(image, static_cast<int>(i), anchor.itemSize));
    if (child == 0 || child == node || child >= blocks) return false;
  }
  return true;
}

bool SeekAndRead(TIndexDescriptor& index, std::uint32_t node, unsigned char* buffer) {
  const off_t at = static_cast<off_t>(node) * kNdxBlockSize;
  if (pread(index.file, buffer, kNdxBlockSize, at) != kNdxBlockSize) {
    SetError(222, "Error reading index file: " + index.fileName + " [SeekAndRead]");
    return false;
  }
  // Counts and pointers are used as offsets into the node: a damaged one is refused here.
  // Another program may have grown the file since this anchor was read: its size decides then.
  if (!NdxNodeSound(index.anchor, index.anchor.nextFree, node, buffer) &&
      !NdxNodeSound(index.anchor,
                    static_cast<std::uint32_t>(
                        std::max<std::int64_t>(0, XbFileSize(index.file) / kNdxBlockSize)),
                    node, buffer)) {
    SetError(222, "Damaged node " + std::to_string(node) + " in index file " + index.fileName +
                      " [GetNode]");
    return false;
  }
  return true;
}

bool SeekAndWrite(TIndexDescriptor& index, std::uint32_t node, const unsigned char* buffer) {
  const off_t at = static_cast<off_t>(node) * kNdxBlockSize;
  if (pwrite(index.file, buffer, kNdxBlockSize, at) != kNdxBlockSize) {
    SetError(101, "Error writing index file: " + index.fileName + " [SeekAndWrite]");
    return false;
  }
  for (TNdxPathEntry& e : index.path)
    if (e.node == node && e.image.data() != buffer)
      std::memcpy(e.image.data(), buffer, kNdxBlockSize);
  return true;
}

bool CurrentItem(const TIndexDescriptor& index, std::string& key, std::uint32_t& record) {
  if (index.noPosition || index.path.empty()) return false;
  const TNdxPathEntry& leaf = index.path.back();
  if (leaf.item < 0 || leaf.item >= NodeItemCount(leaf.image.data())) return false;
  key.assign(reinterpret_cast<const char*>(KeyAt(index, leaf, leaf.item)), index.KeyLength());
  record = LeafRecord(index);
  return true;
}

std::int32_t FindFirstLast(TIndexDescriptor& index, bool first) {
  index.path.clear();
  if (!PushNode(index, index.anchor.root)) return 0;
  if (NodeItemCount(index.path.back().image.data()) == 0) {
    index.bof = index.eof = true;
    index.noPosition = true;
    return AreaRecordCount() + 1;
  }
  const std::uint32_t root = index.anchor.root;
  index.path.clear();
  if (!DescendEdge(index, root, first)) return 0;
  index.bof = index.eof = false;
  IndexFound = true;
  TakeCurrent(index);
  return static_cast<std::int32_t>(LeafRecord(index));
}

int DescendToKey(TIndexDescriptor& index, const unsigned char* k) {
  index.path.clear();
  std::uint32_t node = index.anchor.root;
  int result = 0;
  for (;;) {
    if (!PushNode(index, node)) return -3;
    TNdxPathEntry& e = index.path.back();
    result = SearchNode(index, e, k);
    e.item = result == -1 ? 0 : (result == -2 ? NodeItemCount(e.image.data()) : result);
    if (NodeIsLeaf(e.image.data())) return result;
    node = ItemChild(NodeItem(e.image.data(), e.item, index.anchor.itemSize));
  }
}

bool NextItemOnPath(TIndexDescriptor& index) {
  for (;;) {
    TNdxPathEntry& leaf = index.path.back();
    if (leaf.item + 1 < NodeItemCount(leaf.image.data())) {
      ++leaf.item;
      return true;
    }
    // Climb until a node where the child just left is not the right-most one.
    bool moved = false;
    while (index.path.size() > 1) {
      index.path.pop_back();
      TNdxPathEntry& e = index.path.back();
      if (e.item < NodeItemCount(e.image.data())) {
        ++e.item;
        const std::uint32_t child =
            ItemChild(NodeItem(e.image.data(), e.item, index.anchor.itemSize));
        if (!DescendEdge(index, child, true)) return false;
        moved = true;
        break;
      }
    }
    if (!moved) return false;
    if (NodeItemCount(index.path.back().image.data()) > 0) return true;
    index.path.back().item = -1;  // an empty leaf: keep going
  }
}

void SeekKey(TIndexDescriptor& index, const std::string& key) {
  if (AreaRecordCount() == 0) {
    FindFirstLast(index, true);
    IndexFound = false;
    return;
  }
  index.bof = index.eof = false;
  // A short key is a prefix: zero bytes make it sort before every key that starts with it.
  std::string padded = key;
  if (padded.size() < static_cast<std::size_t>(index.KeyLength()))
    padded.resize(index.KeyLength(), '\0');
  const int result = DescendToKey(index, reinterpret_cast<const unsigned char*>(padded.data()));
  if (result == -3) return;
  TNdxPathEntry& leaf = index.path.back();
  const int n = NodeItemCount(leaf.image.data());
  if (n == 0) {  // only an empty root leaf
    index.bof = index.eof = true;
    index.noPosition = true;
    IndexFound = false;
    return;
  }
  if (result == -2) {
    leaf.item = n - 1;
    TakeCurrent(index);
    StepNext(index);
    if (index.eof) {
      FindFirstLast(index, false);
      index.eof = true;
      index.noPosition = true;
      IndexFound = false;
      return;
    }
  } else {
    TakeCurrent(index);
  }
  IndexFound = key.size() >= static_cast<std::size_t>(index.KeyLength()) &&
               std::memcmp(index.currentKey.data(), key.data(), index.KeyLength()) == 0;
}

std::int32_t StepNext(TIndexDescriptor& index) {
  if (!Reposition(index, "_FindNextRec")) return 0;
  if (index.noPosition || index.path.empty()) {
    const std::int32_t r = FindFirstLast(index, false);
    index.eof = true;
    index.noPosition = true;
    return r;
  }
  if (!NextItemOnPath(index)) {
    const std::int32_t r = FindFirstLast(index, false);
    index.eof = true;
    IndexFound = false;
    return r;
  }
  index.eof = false;
  IndexFound = true;
  TakeCurrent(index);
  return static_cast<std::int32_t>(LeafRecord(index));
}

std::int32_t StepPrior(TIndexDescriptor& index) {
  if (!Reposition(index, "_FindPriorRec")) return 0;
  if (index.noPosition || index.path.empty()) return FindFirstLast(index, false);
  for (;;) {
    TNdxPathEntry& leaf = index.path.back();
    if (leaf.item > 0) {
      --leaf.item;
      break;
    }
    bool moved = false;
    while (index.path.size() > 1) {
      index.path.pop_back();
      TNdxPathEntry& e = index.path.back();
      if (e.item > 0) {
        --e.item;
        const std::uint32_t child =
            ItemChild(NodeItem(e.image.data(), e.item, index.anchor.itemSize));
        if (!DescendEdge(index, child, false)) return 0;
        moved = true;
        break;
      }
    }
    if (!moved) {
      const std::int32_t r = FindFirstLast(index, true);
      index.bof = true;
      IndexFound = false;
      return r;
    }
    TNdxPathEntry& l = index.path.back();
    if (NodeItemCount(l.image.data()) > 0) break;
    l.item = 0;
  }
  index.bof = false;
  IndexFound = true;
  TakeCurrent(index);
  return static_cast<std::int32_t>(LeafRecord(index));
}

void GoPastEnd(TIndexDescriptor& index) {
  FindFirstLast(index, false);
  index.eof = true;
  index.noPosition = true;
  if (WorkAreaRecord* a = Area()) a->recordNumber = a->recordCount + 1;
}

// ---------------------------------------------------------------------------------------------
// Hook routines

namespace {

// The index showed damage a walk can see without reading more than the pages it passes: a key
// below the one before it (a page out of order, or a page reached twice), or no key at all over
// a table with records. Reported once, and the walk ends.
void ReportIndexDamage(const TIndexDescriptor& index, const std::string& what) {
  WorkAreaRecord* a = Area();
  SetError(212, "Index " + index.fileName + " " + what + " over " +
                    (a ? a->tableName : std::string()) + ": the index needs rebuilding [SKIP]");
}

// An empty root over a table that holds records: the top or bottom is damage, not the end.
std::int32_t FirstLastChecked(TIndexDescriptor& index, bool first) {
  const std::int32_t r = FindFirstLast(index, first);
  if (index.noPosition && AreaRecordCount() > 0)  // found no key: both ends at once
    ReportIndexDamage(index, "holds no key");
  return r;
}

// One step that must not go against the key order nor stay on its record; the step's record,
// or kIndexStepDamaged (the caller then ends the walk and puts the index at that end). The
// callers step only from a position, whose key is the one before; a step past either end stays
// on the last or first key, which is that key again.
template <typename F>
std::int32_t OrderedStep(TIndexDescriptor& index, bool forward, F step) {
  std::string before = index.currentKey;
  const std::int32_t from = Area()->recordNumber;
  const std::int32_t r = step();
  std::string after = index.currentKey;
  before.resize(index.KeyLength(), '\0');
  after.resize(index.KeyLength(), '\0');
  const int order =
      CompareNdxKeys(index.characterKey, reinterpret_cast<const unsigned char*>(before.data()),
                     reinterpret_cast<const unsigned char*>(after.data()), index.KeyLength());
  if (forward ? order > 0 : order < 0) {
    ReportIndexDamage(index, "holds its keys out of order");
    return kIndexStepDamaged;
  }
  // Every record has one key: a step within the index that gives the record it left names that
  // record twice, and the caller would take the repeat for the end.
  if (r == from && !(forward ? index.eof : index.bof)) {
    ReportIndexDamage(index, "names record " + std::to_string(r) + " twice in a row");
    return kIndexStepDamaged;
  }
  return r;
}

template <typename F>
std::int32_t Guarded(F f) {
  try {
    return f();
  } catch (const EXbaseError&) {
    return 0;
  }
}

}  // namespace

std::int32_t _FindFirstLastRec(bool first) {
  TIndexDescriptor* index = IndexInSlot(CurrentOrderSlot);
  if (!index) {
    WorkAreaRecord* a = Area();
    SetError(221, "Index not open. (DBF=" + (a ? a->tableName : std::string()) +
                      ") [_FindFirst/LastRec]");
    return 0;
  }
  RefreshIfChanged();
  return FirstLastChecked(*index, first);
}

std::int32_t IndexTop() {
  return Guarded([] {
    WorkAreaRecord* a = Area();
    if (a && NaturalOrder[CurrentArea]) {
      IndexFound = a->recordCount > 0;
      return std::int32_t{1};
    }
    return _FindFirstLastRec(true);
  });
}

std::int32_t IndexBottom() {
  return Guarded([] {
    WorkAreaRecord* a = Area();
    if (a && NaturalOrder[CurrentArea]) {
      IndexFound = a->recordCount > 0;
      return a->recordCount > 0 ? a->recordCount : a->recordCount + 1;
    }
    return _FindFirstLastRec(false);
  });
}

std::int32_t _FindNextRec() {
  return Guarded([]() -> std::int32_t {
    IndexFound = false;
    RefreshAndResync();
    WorkAreaRecord* a = Area();
    TIndexDescriptor* index = IndexInSlot(CurrentOrderSlot);
    if (!a || !index) return 0;
    if (a->recordCount == 0) {
      index->bof = index->eof = true;
      return a->recordCount + 1;
    }
    index->bof = false;
    if (NaturalOrder[CurrentArea]) {
      if (a->recordNumber < a->recordCount) return a->recordNumber + 1;
      a->eof = true;
      return a->recordNumber;
    }
    if (index->eof) {
      const std::int32_t r = FindFirstLast(*index, false);
      index->eof = true;
      index->noPosition = true;
      return r;
    }
    return OrderedStep(*index, true, [index] { return StepNext(*index); });
  });
}

std::int32_t _FindPriorRec() {
  return Guarded([]() -> std::int32_t {
    IndexFound = false;
    RefreshAndResync();
    WorkAreaRecord* a = Area();
    TIndexDescriptor* index = IndexInSlot(CurrentOrderSlot);
    if (!a || !index) return 0;
    if (a->recordCount == 0) {
      index->bof = index->eof = true;
      return a->recordCount + 1;
    }
    index->eof = false;
    if (NaturalOrder[CurrentArea]) {
      if (a->recordNumber > 1) return a->recordNumber - 1;
      a->bof = true;
      return a->recordNumber;
    }
    if (index->bof) return a->recordNumber;
    if (index->noPosition) return FirstLastChecked(*index, false);
    return OrderedStep(*index, false, [index] { return StepPrior(*index); });
  });
}

bool IndexEof() {
  WorkAreaRecord* a = Area();
  if (a && NaturalOrder[CurrentArea]) return a->eof;
  TIndexDescriptor* index = IndexInSlot(1);
  return index ? index->eof : (a ? a->eof : true);
}

bool IndexBof() {
  WorkAreaRecord* a = Area();
  if (a && NaturalOrder[CurrentArea]) return a->bof;
  TIndexDescriptor* index = IndexInSlot(1);
  return index ? index->bof : (a ? a->bof : true);
}
