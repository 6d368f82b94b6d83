// The index semaphore file beside a shared table: programs log in, readers register while
// they walk an index, one writer at a time holds it while it changes an index, and every
// completed write raises an update counter that tells the others to reread their anchors.
#pragma once

#include <cstdint>
#include <string>

// Actions of DatabaseSemaphore, in the order of their names in messages.
enum TSemaphoreAction : int {
  kSemLogin = 0,
  kSemLogout = 1,
  kSemIncRead = 2,
  kSemDecRead = 3,
  kSemLockSemaphore = 4,
  kSemUnlockSemaphore = 5,
};

// Record 0 of the semaphore file.
struct TSemaphoreFileRecord {
  std::uint8_t users = 0;
  std::int8_t lockCount = 0;
  std::uint16_t updateCounter = 0;
};

// Settings.
extern std::string SemaphoreDirectory;  // "" = beside the table
extern int SemaphoreWaitLimit;          // seconds; 0 waits without limit [100]

void DatabaseSemaphore(int action);
void SetReadSemaphoreProc(bool on);
void SetLockSemaphoreProc(bool on);
bool RefreshIfChanged();
void RefreshAndResync();

// Semaphore file name of the current area's table ("" without a table).
std::string SemaphoreFileName();
// True while the current area is logged in to its semaphore file.
bool SemaphoreLoggedIn();
// Record 0 as this program last read or wrote it (zeros when not logged in).
TSemaphoreFileRecord SemaphoreRecordSeen();
// Per-area state to its start (all areas logged out without touching files).
void ResetSemaphores();
