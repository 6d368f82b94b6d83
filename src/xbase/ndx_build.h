// Building an NDX index from all records of the current table: keys are sorted in runs of
// bounded memory (merged through a work file when there is more than one run), and the
// B-tree is filled bottom-up and written sequentially behind the anchor block.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "xbase/ndx_sets.h"

using TIndexProgress = void (*)();

// Items one sort run holds in memory (the sort area's pointer array). Lowered by tests to
// force runs through the work file.
extern std::uint32_t IndexSortRunItems;

void MakeIndex(const std::string& fileName, const std::string& keyExpression, bool soundex,
               int slot, bool unique, bool descending, TKeyMaker keyMaker = nullptr,
               void* keyMakerData = nullptr);
// Removes the work files that builds of the index name left when their process was killed.
void RemoveLeftoverIndexWork(const std::string& name);
void SetIndexProgress(TIndexProgress routine, int calls);
void Reindex();
bool CheckIndexDiskSpace(std::int32_t recordCount, int levels, int keysPerNode, int sortItemSize);

// Writes the tree of already ordered (key, record) items behind block 0 of an open file.
// Node numbers follow the writing order from 1; the last node written is the root.
class TNdxTreeWriter {
 public:
  TNdxTreeWriter(int file, const TNdxAnchor& anchor, bool unique);
  // False after a write failure (errno kept).
  bool Add(const unsigned char* key, std::uint32_t record);
  // Writes what is pending; returns the root node number, 0 after a failure.
  std::uint32_t Finish();
  std::uint64_t ItemsWritten() const { return written_; }

 private:
  bool EmitNode(unsigned char* image, std::uint32_t& number);
  bool Flush();

  int file_;
  TNdxAnchor anchor_;
  bool unique_;
  std::vector<TNdxBlock> levels_;
  std::vector<unsigned char> out_;
  std::uint32_t nextNode_ = 1;
  std::uint32_t lastNode_ = 0;
  std::uint64_t written_ = 0;
  std::string previousKey_;
  bool havePrevious_ = false;
  bool failed_ = false;
};
