// Index key maintenance: B-tree insertion with node splits, deletion with node removal, and
// the synchronisation of the indexes with the current record.
#include "xbase/ndx_keys.h"

#include <unistd.h>

#include <cstring>
#include <optional>
#include <vector>

#include "xbase/dbf_file.h"
#include "xbase/ndx_search.h"
#include "xbase/ndx_semaphore.h"
#include "xbase/ndx_sets.h"
#include "xbase/xbase_errors.h"

std::int32_t TargetRecord = 0;

namespace {

// One item of a node taken apart; the last entry of an interior node has no key.
struct TEntry {
  std::uint32_t child = 0;
  std::uint32_t record = 0;
  std::string key;
};

std::vector<TEntry> Decode(const TIndexDescriptor& index, const unsigned char* node) {
  const int n = NodeItemCount(node);
  const bool leaf = NodeIsLeaf(node);
  std::vector<TEntry> out;
  out.reserve(n + 1);
  for (int i = 0; i < n; ++i) {
    const unsigned char* it = NodeItem(node, i, index.anchor.itemSize);
    out.push_back({ItemChild(it), ItemRecord(it),
                   std::string(reinterpret_cast<const char*>(ItemKey(it)), index.KeyLength())});
  }
  if (!leaf) out.push_back({ItemChild(NodeItem(node, n, index.anchor.itemSize)), 0, {}});
  return out;
}

// Keyed entries first; an interior node's last entry carries only its child.
TNdxBlock Encode(const TIndexDescriptor& index, const std::vector<TEntry>& entries, bool leaf) {
  TNdxBlock b{};
  const int keyed = static_cast<int>(entries.size()) - (leaf ? 0 : 1);
  SetNodeItemCount(b.data(), keyed);
  for (int i = 0; i < keyed; ++i)
    PutNodeItem(NodeItem(b.data(), i, index.anchor.itemSize), index.anchor.itemSize,
                entries[i].child, entries[i].record,
                reinterpret_cast<const unsigned char*>(entries[i].key.data()), index.KeyLength());
  if (!leaf) PutU32(NodeItem(b.data(), keyed, index.anchor.itemSize), entries.back().child);
  return b;
}

bool WriteEntries(TIndexDescriptor& index, std::uint32_t node, const std::vector<TEntry>& entries,
                  bool leaf) {
  const TNdxBlock b = Encode(index, entries, leaf);
  return SeekAndWrite(index, node, b.data());
}

std::uint32_t NewNode(TIndexDescriptor& index) {
  const std::uint32_t n = index.anchor.nextFree++;
  index.anchorModified = true;
  return n;
}

// The last key of a subtree changed: the separators that name it are set, up the path, as far
// as the subtree is the right-most child of its parent.
bool FixSeparators(TIndexDescriptor& index, std::size_t level, const std::string& lastKey) {
  while (level > 0) {
    TNdxPathEntry& parent = index.path[level - 1];
    const int p = parent.item;
    if (p < NodeItemCount(parent.image.data())) {
      unsigned char* item = NodeItem(parent.image.data(), p, index.anchor.itemSize);
      if (std::memcmp(ItemKey(item), lastKey.data(), index.KeyLength()) != 0) {
        std::memcpy(item + 8, lastKey.data(), index.KeyLength());
        return SeekAndWrite(index, parent.node, parent.image.data());
      }
      return true;
    }
    --level;
  }
  return true;
}

// Writes the new content of the node at path level; a node with too many keys is split, the
// upper part going to a new node, and its parent takes the change the same way.
// newLast: the node's greatest key grew to this key (separators above must follow).
bool StoreOrSplit(TIndexDescriptor& index, std::size_t level, std::vector<TEntry>& entries,
                  bool leaf, const std::optional<std::string>& newLast) {
  const int k = index.anchor.keysPerNode;
  TNdxPathEntry& at = index.path[level];
  const int keyed = static_cast<int>(entries.size()) - (leaf ? 0 : 1);
  if (keyed <= k) {
    if (!WriteEntries(index, at.node, entries, leaf)) return false;
    return !newLast || FixSeparators(index, level, *newLast);
  }
  // The node's greatest key as its parent knows it (none for a right-most child).
  std::optional<std::string> knownMax;
  if (level > 0) {
    const TNdxPathEntry& parent = index.path[level - 1];
    if (parent.item < NodeItemCount(parent.image.data()))
      knownMax = std::string(reinterpret_cast<const char*>(ItemKey(NodeItem(
                                 parent.image.data(), parent.item, index.anchor.itemSize))),
                             index.KeyLength());
  }
  const int upperKeyed = keyed / 2;
  const int lowerKeyed = keyed - upperKeyed;
  std::vector<TEntry> lower(entries.begin(), entries.begin() + lowerKeyed);
  std::vector<TEntry> upper(entries.begin() + lowerKeyed, entries.end());
  const std::string lowerMax = lower.back().key;
  std::optional<std::string> upperMax;
  if (leaf) {
    upperMax = upper.back().key;
  } else {
    lower.back().key.clear();  // an interior node gives up its last key: that child is right-most
    upperMax = newLast ? newLast : knownMax;
  }
  const std::uint32_t oldNode = at.node;
  const std::uint32_t newNode = NewNode(index);
  if (!WriteEntries(index, oldNode, lower, leaf) || !WriteEntries(index, newNode, upper, leaf))
    return false;
  if (level == 0) {
    const std::uint32_t root = NewNode(index);
    std::vector<TEntry> top = {{oldNode, 0, lowerMax}, {newNode, 0, {}}};
    if (!WriteEntries(index, root, top, false)) return false;
    index.anchor.root = root;
    index.anchorModified = true;
    return true;
  }
  // In the parent the old node's item gets its new last key and the new node follows it.
  TNdxPathEntry& parent = index.path[level - 1];
  std::vector<TEntry> pe = Decode(index, parent.image.data());
  const int p = parent.item;
  pe[p].key = lowerMax;
  const bool rightMost = p == static_cast<int>(pe.size()) - 1;
  if (rightMost)
    pe.push_back({newNode, 0, {}});
  else
    pe.insert(pe.begin() + p + 1, TEntry{newNode, 0, upperMax.value_or(lowerMax)});
  return StoreOrSplit(index, level - 1, pe, false,
                      rightMost ? newLast : std::optional<std::string>());
}

// Inserts an item at position pos of the current leaf.
bool InsertInLeaf(TIndexDescriptor& index, int pos, const TEntry& entry) {
  const std::size_t level = index.path.size() - 1;
  std::vector<TEntry> entries = Decode(index, index.path[level].image.data());
  entries.insert(entries.begin() + pos, entry);
  const bool last = pos == static_cast<int>(entries.size()) - 1;
  return StoreOrSplit(index, level, entries, true,
                      last ? std::optional<std::string>(entry.key) : std::nullopt);
}

// Removes the item of the current leaf position; shrinks the tree where a node empties.
bool RemoveCurrent(TIndexDescriptor& index) {
  std::size_t level = index.path.size() - 1;
  TNdxPathEntry& leaf = index.path[level];
  std::vector<TEntry> entries = Decode(index, leaf.image.data());
  const int i = leaf.item;
  if (entries.size() > 1) {
    entries.erase(entries.begin() + i);
    if (!WriteEntries(index, leaf.node, entries, true)) return false;
    if (i == static_cast<int>(entries.size()))
      return FixSeparators(index, level, entries.back().key);
    return true;
  }
  TNdxBlock zero{};
  if (level == 0) {
    // The index is empty: back to its fresh shape.
    if (!SeekAndWrite(index, 1, zero.data())) return false;
    index.anchor.root = 1;
    index.anchor.nextFree = 2;
    index.anchorModified = true;
    if (ftruncate(index.file, 2 * kNdxBlockSize) != 0) {
      SetError(101, "Error writing index file: " + index.fileName + " [DeleteKey]");
      return false;
    }
    return true;
  }
  if (!SeekAndWrite(index, leaf.node, zero.data())) return false;
  // Remove the reference from the parents, as far as they empty.
  for (;;) {
    --level;
    TNdxPathEntry& node = index.path[level];
    std::vector<TEntry> pe = Decode(index, node.image.data());
    const int p = node.item;
    std::optional<std::string> newLast;
    if (p == static_cast<int>(pe.size()) - 1) {
      // The right-most child goes: the entry before it becomes the right-most one.
      pe.pop_back();
      if (!pe.empty()) {
        newLast = pe.back().key;
        pe.back().key.clear();
      }
    } else {
      pe.erase(pe.begin() + p);
    }
    if (pe.empty()) {
      // Cannot happen for a node with at least one key; treat as an emptied node.
      if (!SeekAndWrite(index, node.node, zero.data())) return false;
      if (level == 0) {
        index.anchor.root = 1;
        index.anchor.nextFree = 2;
        index.anchorModified = true;
        return SeekAndWrite(index, 1, zero.data());
      }
      continue;
    }
    if (pe.size() == 1) {
      // No key left: the one remaining child takes the node's place.
      const std::uint32_t only = pe[0].child;
      if (level == 0) {
        index.anchor.root = only;
        index.anchorModified = true;
        return true;
      }
      TNdxPathEntry& parent = index.path[level - 1];
      PutU32(NodeItem(parent.image.data(), parent.item, index.anchor.itemSize), only);
      if (!SeekAndWrite(index, parent.node, parent.image.data())) return false;
      if (newLast) return FixSeparators(index, level, *newLast);
      return true;
    }
    if (!WriteEntries(index, node.node, pe, false)) return false;
    if (newLast) return FixSeparators(index, level, *newLast);
    return true;
  }
}

WorkAreaRecord* Area() {
  return CurrentWorkArea();
}

// Moves the index onto the entry of key and record (false when there is none).
bool PositionOn(TIndexDescriptor& index, const std::string& key, std::uint32_t record) {
  SeekKey(index, key);
  std::string k;
  std::uint32_t r = 0;
  while (!index.eof && CurrentItem(index, k, r) && k == key) {
    if (r == record) return true;
    StepNext(index);
  }
  return false;
}

}  // namespace

int AppendIndex(const std::string& key, int slot) {
  TIndexDescriptor* index = IndexInSlot(slot);
  WorkAreaRecord* a = Area();
  if (!index || !a) return -1;
  const std::uint32_t record = static_cast<std::uint32_t>(a->recordNumber);
  const auto* k = reinterpret_cast<const unsigned char*>(key.data());
  const int result = DescendToKey(*index, k);
  if (result == -3) return -1;
  // Among equal keys the entry goes by record number, as a rebuild would place it.
  bool exists = false;
  for (;;) {
    TNdxPathEntry& leaf = index->path.back();
    const int n = NodeItemCount(leaf.image.data());
    if (leaf.item < n) {
      const unsigned char* it = NodeItem(leaf.image.data(), leaf.item, index->anchor.itemSize);
      if (CompareNdxKeys(index->characterKey, ItemKey(it), k, index->KeyLength()) != 0) break;
      exists = true;
      if (index->anchor.unique || ItemRecord(it) > record) break;
      ++leaf.item;
      continue;
    }
    if (n == 0) break;
    // Past the leaf's end: look at the first item of the next leaf.
    std::vector<TNdxPathEntry> saved = index->path;
    index->path.back().item = n - 1;
    if (!NextItemOnPath(*index)) {
      index->path = saved;
      break;
    }
    const TNdxPathEntry& next = index->path.back();
    const unsigned char* it = NodeItem(next.image.data(), next.item, index->anchor.itemSize);
    if (CompareNdxKeys(index->characterKey, ItemKey(it), k, index->KeyLength()) != 0 ||
        ItemRecord(it) > record) {
      index->path = saved;
      break;
    }
  }
  if (exists && index->anchor.unique) {
    index->path.clear();
    return 0;
  }
  const bool ok = InsertInLeaf(*index, index->path.back().item, TEntry{0, record, key});
  index->path.clear();
  if (index->anchorModified) WriteAnchorNode(*index);
  if (!ok || XbaseErrorCode) return -1;
  // Every index stands on the new entry, so that a change of the new record finds it.
  PositionOn(*index, key, record);
  return 0;
}

int DeleteKey(const std::string& key, int slot) {
  TIndexDescriptor* index = IndexInSlot(slot);
  if (!index) return -1;
  const std::uint32_t target = static_cast<std::uint32_t>(TargetRecord);
  if (!PositionOn(*index, key, target)) return index->anchor.unique ? 0 : -1;
  const bool ok = RemoveCurrent(*index);
  index->path.clear();
  index->noPosition = true;
  if (index->anchorModified) WriteAnchorNode(*index);
  return ok && !XbaseErrorCode ? 0 : -1;
}

void MarkIndexUpdate(bool on) {
  WorkAreaRecord* a = Area();
  if (!a || CurrentArea < 1 || CurrentArea > kWorkAreaCount) return;
  std::string cutShort;
  for (auto& d : IndexTable[CurrentArea]) {
    if (!d || d->file < 0) continue;
    if (on && !a->exclusive) {
      // Holding the semaphore, no live writer is in: a mark in the file is a dead one's.
      unsigned char mark = 0;
      if (pread(d->file, &mark, 1, kNdxUpdateMarkOffset) == 1 && mark != 0)
        d->updateCutShort = true;
    }
    if (d->updateCutShort) {
      if (on && cutShort.empty()) cutShort = d->fileName;
      d->anchor.updating = 1;
      continue;
    }
    const unsigned char mark = on ? 1 : 0;
    if (pwrite(d->file, &mark, 1, kNdxUpdateMarkOffset) != 1) {
      SetError(101, "Error writing index file: " + d->fileName + " [MarkIndexUpdate]");
      continue;
    }
    d->anchor.updating = mark;
  }
  if (!cutShort.empty()) ReportIndexCutShort(cutShort, "MarkIndexUpdate");
}

void AppendNewKey() {
  WorkAreaRecord* a = Area();
  if (!a) return;
  const bool natural = NaturalOrder[CurrentArea];
  NaturalOrder[CurrentArea] = false;
  RefreshIfChanged();
  int failedAt = 0;
  std::vector<std::string> added(kMaxIndexSlots + 1);
  for (int slot = 1; slot <= kMaxIndexSlots; ++slot) {
    TIndexDescriptor* index = IndexInSlot(slot);
    if (!index) continue;
    added[slot] = MakeIndexKey(*index, slot);
    if (AppendIndex(added[slot], slot) != 0 || XbaseErrorCode) {
      failedAt = slot;
      break;
    }
  }
  if (failedAt) {
    // No index keeps a key of a record whose append failed.
    TargetRecord = a->recordCount;
    const std::uint16_t failure = XbaseErrorCode;
    for (int slot = failedAt - 1; slot >= 1; --slot) {
      TIndexDescriptor* index = IndexInSlot(slot);
      if (!index) continue;
      XbaseErrorCode = 0;
      if (DeleteKey(added[slot], slot) != 0) {
        SetError(254, "Index file corrupted. " + index->fileName + " [AppendNewKey]");
        break;
      }
    }
    if (XbaseErrorCode == 0) XbaseErrorCode = failure ? failure : 254;
  }
  NaturalOrder[CurrentArea] = natural;
  SyncIndex(false);
  if (IndexHooks.loadCurrentKey) IndexHooks.loadCurrentKey();
}

void KeysChanged() {
  WorkAreaRecord* a = Area();
  if (!a) return;
  const bool natural = NaturalOrder[CurrentArea];
  NaturalOrder[CurrentArea] = false;
  const std::uint32_t record = static_cast<std::uint32_t>(a->recordNumber);
  for (int slot = 1; slot <= kMaxIndexSlots; ++slot) {
    TIndexDescriptor* index = IndexInSlot(slot);
    if (!index) continue;
    const std::string newKey = MakeIndexKey(*index, slot);
    std::string oldKey;
    std::uint32_t at = 0;
    bool positioned = CurrentItem(*index, oldKey, at);
    if (!positioned && !index->noPosition) {
      // The path was given up after a tree change: found again by key and record.
      PositionOn(*index, index->currentKey, record);
      positioned = CurrentItem(*index, oldKey, at);
    }
    if (!index->anchor.unique && (!positioned || at != record)) {
      SetError(254, "Record number " + std::to_string(record) + " not found in index. " +
                        index->fileName + " [CompareKeys]");
      break;
    }
    if (!positioned) continue;
    if (oldKey == newKey) continue;
    CurrentOrderSlot = slot;
    TargetRecord = static_cast<std::int32_t>(record);
    if (DeleteKey(oldKey, slot) == -1) XbaseErrorCode = 1;
    if (!XbaseErrorCode) AppendIndex(newKey, slot);
    index->currentKey = newKey;
    CurrentOrderSlot = 1;
    if (XbaseErrorCode) break;
  }
  NaturalOrder[CurrentArea] = natural;
  for (int slot = 1; slot <= kMaxIndexSlots; ++slot)
    if (TIndexDescriptor* index = IndexInSlot(slot))
      if (index->path.empty() && a->recordNumber >= 1 && a->recordNumber <= a->recordCount)
        PositionOn(*index, MakeIndexKey(*index, slot), record);
  if (IndexHooks.loadCurrentKey) IndexHooks.loadCurrentKey();
}

void RecordKeysChanged(std::int32_t record, const unsigned char* oldRaw,
                       const unsigned char* newRaw) {
  WorkAreaRecord* a = Area();
  if (!a || !oldRaw || !newRaw || record < 1) return;
  const bool natural = NaturalOrder[CurrentArea];
  NaturalOrder[CurrentArea] = false;
  RefreshIfChanged();
  // Keys of both images are made in the area's own buffers, which are given back afterwards.
  const std::vector<unsigned char> savedRaw = a->recordBuffer;
  std::vector<unsigned char> savedTyped;
  if (a->typedBuffer) savedTyped.assign(a->typedBuffer, a->typedBuffer + a->typedSize);
  const std::int32_t savedNumber = a->recordNumber;
  a->recordNumber = record;
  // The images may lie in the area's own buffer: copies first.
  const std::vector<unsigned char> oldImage(oldRaw, oldRaw + a->recordLength);
  const std::vector<unsigned char> newImage(newRaw, newRaw + a->recordLength);
  auto keysOf = [&](const std::vector<unsigned char>& image) {
    std::vector<std::string> keys(kMaxIndexSlots + 1);
    a->recordBuffer = image;
    if (a->typedBuffer) RecordToFields(*a, a->typedBuffer);
    for (int slot = 1; slot <= kMaxIndexSlots; ++slot)
      if (TIndexDescriptor* index = IndexInSlot(slot)) keys[slot] = MakeIndexKey(*index, slot);
    return keys;
  };
  const std::vector<std::string> oldKeys = keysOf(oldImage);
  const std::vector<std::string> newKeys = keysOf(newImage);
  a->recordBuffer = savedRaw;
  if (a->typedBuffer && savedTyped.size() == a->typedSize)
    std::memcpy(a->typedBuffer, savedTyped.data(), savedTyped.size());
  // Where the controlling index stands now: the area's current record, which may be another.
  TIndexDescriptor* controller = IndexInSlot(1);
  const std::string controllerKey = controller ? controller->currentKey : std::string();
  const bool controllerNoPosition = controller && controller->noPosition;
  const bool controllerBof = controller && controller->bof;
  const bool controllerEof = controller && controller->eof;
  for (int slot = 1; slot <= kMaxIndexSlots && !XbaseErrorCode; ++slot) {
    TIndexDescriptor* index = IndexInSlot(slot);
    if (!index || oldKeys[slot] == newKeys[slot]) continue;
    CurrentOrderSlot = slot;
    TargetRecord = record;
    if (DeleteKey(oldKeys[slot], slot) != 0 && !XbaseErrorCode)
      SetError(1, "Record number " + std::to_string(record) + " not found in index. " +
                      index->fileName + " [CompareKeys]");
    if (!XbaseErrorCode) AppendIndex(newKeys[slot], slot);
    CurrentOrderSlot = 1;
  }
  a->recordNumber = savedNumber;
  NaturalOrder[CurrentArea] = natural;
  // The controlling index was moved onto the rewritten record's new entry. When the area stands
  // on another record, the index goes back to that one's entry, found again by its key and
  // record number when it next moves (the tree under the old path has changed).
  if (controller && oldKeys[1] != newKeys[1] && savedNumber != record) {
    controller->path.clear();
    controller->currentKey = controllerKey;
    controller->noPosition = controllerNoPosition;
    controller->bof = controllerBof;
    controller->eof = controllerEof;
  }
}

void SyncIndex(bool all) {
  WorkAreaRecord* a = Area();
  if (!a) return;
  const bool natural = NaturalOrder[CurrentArea];
  const int savedOrder = CurrentOrderSlot;
  NaturalOrder[CurrentArea] = false;
  const int last = all ? kMaxIndexSlots : 1;
  for (int slot = 1; slot <= last; ++slot) {
    TIndexDescriptor* index = IndexInSlot(slot);
    if (!index) continue;
    CurrentOrderSlot = slot;
    if (a->recordNumber >= 1 && a->recordNumber <= a->recordCount) {
      const std::string key = MakeIndexKey(*index, slot);
      RefreshIfChanged();
      const std::uint32_t record = static_cast<std::uint32_t>(a->recordNumber);
      SeekKey(*index, key);
      if (!IndexFound) {
        SetError(212, "Key: \"" + key + "\" not in index: " + index->fileName +
                          ": the index needs rebuilding [SyncIndex-1] Record: " +
                          std::to_string(record));
        break;
      }
      if (!index->anchor.unique) {
        std::string k;
        std::uint32_t r = 0;
        while (!index->eof && CurrentItem(*index, k, r) && r != record) StepNext(*index);
        if (index->eof || !CurrentItem(*index, k, r) || k != key) {
          SetError(212, "Record with key: \"" + key + "\" not in index: " + index->fileName +
                            ": the index needs rebuilding [SyncIndex-2]");
          break;
        }
      }
    } else if (slot == 1) {
      GoPastEnd(*index);
    } else {
      FindFirstLast(*index, false);
    }
  }
  NaturalOrder[CurrentArea] = natural;
  CurrentOrderSlot = savedOrder;
}

void SoftSyncIndex() {
  WorkAreaRecord* a = Area();
  TIndexDescriptor* index = IndexInSlot(1);
  if (!a || !index) return;
  const std::string key = MakeIndexKey(*index, 1);
  SeekKey(*index, key);
  if (index->anchor.unique) return;
  if (!PositionOn(*index, key, static_cast<std::uint32_t>(a->recordNumber)))
    SetError(212, "Record with key: \"" + key + "\" not in index: " + index->fileName +
                      ". [SoftSyncIndex]");
}
