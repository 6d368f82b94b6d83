// Record and file locking of the dBASE table library: byte-range locks in a region far beyond
// the data of a table file (the header byte, the append lock, the file lock, one region per
// record), the lock call with its retry policy, and the lock state of a work area.
#pragma once

#include <cstdint>

// Settings
extern bool SharingOn;
extern std::uint32_t LockBase;
extern std::uint32_t FileLockLength;
extern std::uint8_t LockRetries;
extern std::uint8_t LockWaitMs;
extern bool (*LockRetryCallback)();
// Lets the program process pending messages during waits of 10 ms or more (set by the forms).
extern void (*ProcessMessagesProc)();
// Set when the program is ending; waits stop at once.
extern bool ApplicationTerminating;

// Settings to their start values.
void InitXbaseLocking();

int LockRegion(bool unlock, int handle, std::uint32_t offset, std::uint32_t length);
void WaitMs(unsigned ms);
bool LockWithRetry(int handle, std::uint32_t offset, std::uint32_t length);
bool LockHeaderByte();
void UnlockHeaderByte();
int UnlockRecordRegion(std::int32_t n);
bool ALock();
bool IsLocked(std::int32_t n);
bool UnlockRec(std::int32_t n);
void Unlock();
// The file lock (state 1) and a record lock (state 3, record added to the list).
bool FLock();
bool RLock(std::int32_t n);
// Offset of record n's lock region in the current area.
std::uint32_t RecordLockOffset(std::int32_t n);
