// Keeping the open indexes of a work area equal to its records: a new record's key goes into
// every index, a changed key moves its entry, and the indexes are put onto the current record
// after the record pointer moved. Insertion splits full nodes; deletion shrinks the tree.
#pragma once

#include <cstdint>
#include <string>

// Record whose entry DeleteKey removes.
extern std::int32_t TargetRecord;

void AppendNewKey();
// The key update after a change of the current record (reports as "CompareKeys").
void KeysChanged();
// The key update after record `record` was rewritten from oldRaw to newRaw (record images as
// read): every index whose key of it changed moves its entry, found by key and record number,
// so that no index position needs to stand on the record (hook 17).
void RecordKeysChanged(std::int32_t record, const unsigned char* oldRaw,
                       const unsigned char* newRaw);
// Sets (on) or clears the update mark of every open index of the current area, in its file:
// set before a record write that the keys follow, cleared once they have. An index found with
// another program's mark is reported (212) and keeps its mark.
void MarkIndexUpdate(bool on);
void SyncIndex(bool all);
void SoftSyncIndex();
// 0 success, -1 failure.
int AppendIndex(const std::string& key, int slot);
// 0 removed (or not needed in a unique index), -1 not found.
int DeleteKey(const std::string& key, int slot);
