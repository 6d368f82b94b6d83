// Record and file locking of the dBASE table library.
#include "xbase/locking.h"

#include <algorithm>
#include <string>

#include "xbase/dbf_file.h"
#include "xbase/work_areas.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_platform.h"

bool SharingOn = true;
std::uint32_t LockBase = 0x40000000;
std::uint32_t FileLockLength = 0x3FFFFFFF;
std::uint8_t LockRetries = 0;
std::uint8_t LockWaitMs = 0;
bool (*LockRetryCallback)() = nullptr;
void (*ProcessMessagesProc)() = nullptr;
bool ApplicationTerminating = false;

namespace {

bool Shared(const WorkAreaRecord& area) {
  return SharingOn && !area.exclusive;
}

void RemoveLockedRecord(WorkAreaRecord& area, std::size_t index) {
  area.lockedRecords.erase(area.lockedRecords.begin() + static_cast<std::ptrdiff_t>(index));
  area.lockedCount = static_cast<std::uint16_t>(area.lockedRecords.size());
  if (area.lockedRecords.empty() && area.lockState == kLockRecords) area.lockState = kLockNone;
}

// Unlocks the record at list position index and removes it; the unlock result.
int ReleaseAt(WorkAreaRecord& area, std::size_t index) {
  const int code = UnlockRecordRegion(area.lockedRecords[index]);
  RemoveLockedRecord(area, index);
  return code;
}

}  // namespace

void InitXbaseLocking() {
  SharingOn = true;
  LockBase = 0x40000000;
  FileLockLength = 0x3FFFFFFF;
  LockRetries = 0;
  LockWaitMs = 0;
  LockRetryCallback = nullptr;
  ApplicationTerminating = false;
}

int LockRegion(bool unlock, int handle, std::uint32_t offset, std::uint32_t length) {
  if (!SharingOn) return 0;
  return XbLockBytes(handle, unlock, offset, length);
}

void WaitMs(unsigned ms) {
  const std::uint32_t start = TickCount();
  for (;;) {
    const std::uint32_t now = TickCount();
    if (now < start || now - start >= ms || ApplicationTerminating) return;
    if (ms >= 10 && ProcessMessagesProc) ProcessMessagesProc();
    SleepMs(1);
  }
}

bool LockWithRetry(int handle, std::uint32_t offset, std::uint32_t length) {
  int attempts = 0;
  do {
    if (LockRegion(false, handle, offset, length) == 0) return true;
    if (attempts < LockRetries) WaitMs(LockWaitMs);
    ++attempts;
    if (attempts > LockRetries && LockRetryCallback && LockRetryCallback()) attempts = 0;
  } while (attempts <= LockRetries);
  return false;
}

std::uint32_t RecordLockOffset(std::int32_t n) {
  const WorkAreaRecord* area = CurrentWorkArea();
  if (!area) return 0;
  return LockBase + area->headerLength + static_cast<std::uint32_t>(n - 1) * area->recordLength;
}

bool LockHeaderByte() {
  if (!SharingOn) return true;
  if (!CheckDbInUse("LockHeaderByte")) return false;
  return LockWithRetry(CurrentWorkArea()->fileHandle, LockBase, 1);
}

void UnlockHeaderByte() {
  if (!CheckDbInUse("UnlockHeaderByte")) return;
  WorkAreaRecord& area = *CurrentWorkArea();
  const int code = LockRegion(true, area.fileHandle, LockBase, 1);
  if (code != 0)
    SetError(static_cast<std::uint16_t>(code), "Error attempting to UNLOCK file " + area.tableName +
                                                   " in Workarea " + std::to_string(CurrentArea));
}

int UnlockRecordRegion(std::int32_t n) {
  const WorkAreaRecord* area = CurrentWorkArea();
  if (!area) return 0;
  return LockRegion(true, area->fileHandle, RecordLockOffset(n), area->recordLength);
}

bool ALock() {
  if (!CheckDbInUse("ALock")) return false;
  WorkAreaRecord& area = *CurrentWorkArea();
  if (area.vfile.isVirtual) {
    SetError(1100, " [ALock]");
    return false;
  }
  switch (area.lockState) {
    case kLockAppend:
      return true;
    case kLockNone:
      if (Shared(area) && !LockWithRetry(area.fileHandle, LockBase + 1, 1)) return false;
      area.lockState = kLockAppend;
      return true;
    default:
      return false;
  }
}

bool IsLocked(std::int32_t n) {
  if (!CheckDbInUse("IsLocked")) return false;
  const WorkAreaRecord& area = *CurrentWorkArea();
  if (area.vfile.isVirtual) {
    SetError(1100, "[IsLocked]");
    return false;
  }
  if (area.lockState == kLockFile) return true;
  return std::find(area.lockedRecords.begin(), area.lockedRecords.end(), n) !=
         area.lockedRecords.end();
}

bool UnlockRec(std::int32_t n) {
  if (!CheckDbInUse("UnlockRec")) return true;
  WorkAreaRecord& area = *CurrentWorkArea();
  if (n >= 1) {
    const auto it = std::find(area.lockedRecords.begin(), area.lockedRecords.end(), n);
    if (it == area.lockedRecords.end()) {
      XbaseErrorCode = 220;
      XbaseErrorMessage = "Record not locked. [UnlockRec(" + std::to_string(n) + ")]";
      return false;
    }
    const int code = ReleaseAt(area, static_cast<std::size_t>(it - area.lockedRecords.begin()));
    XbaseErrorCode = static_cast<std::uint16_t>(code);
    return code == 0;
  }
  if (n == -1 || n == -2) {
    if (area.lockedRecords.empty()) return true;
    const std::size_t index = n == -2 ? 0 : area.lockedRecords.size() - 1;
    const int code = ReleaseAt(area, index);
    XbaseErrorCode = static_cast<std::uint16_t>(code);
    return code == 0;
  }
  if (n == -3) {
    int kept = 0;
    while (!area.lockedRecords.empty()) {
      const int code = ReleaseAt(area, 0);
      if (code != 0) kept = code;
    }
    if (kept == 0) return true;
    XbaseErrorCode = static_cast<std::uint16_t>(kept);
    return false;
  }
  XbaseErrorCode = 220;
  XbaseErrorMessage = "[UnlockRec(" + std::to_string(n) + ")]";
  return false;
}

void Unlock() {
  if (!CheckDbInUse("Unlock")) return;
  XbaseErrorCode = 0;
  WorkAreaRecord& area = *CurrentWorkArea();
  if (area.vfile.isVirtual) return;
  if (!area.lockedRecords.empty()) UnlockRec(-3);
  // Header and end mark go out while the lock still keeps other writers away.
  if (Shared(area) && (area.lockState == kLockFile || area.lockState == kLockAppend)) {
    CommitTableEnd(area);
  }
  if (Shared(area)) {
    int code = 0;
    if (area.lockState == kLockFile)
      code = LockRegion(true, area.fileHandle, LockBase + 1, FileLockLength);
    else if (area.lockState == kLockAppend)
      code = LockRegion(true, area.fileHandle, LockBase + 1, 1);
    if (code != 0) XbaseErrorCode = static_cast<std::uint16_t>(code);
  }
  area.lockState = kLockNone;
}

bool FLock() {
  if (!CheckDbInUse("FLock")) return false;
  WorkAreaRecord& area = *CurrentWorkArea();
  if (area.vfile.isVirtual) {
    SetError(1100, " [FLock]");
    return false;
  }
  if (area.lockState == kLockFile) return true;
  // The file lock covers the append byte and every record region, so held record or append
  // locks merge into it and are not released one by one.
  if (Shared(area) && !LockWithRetry(area.fileHandle, LockBase + 1, FileLockLength)) return false;
  area.lockedRecords.clear();
  area.lockedCount = 0;
  area.lockState = kLockFile;
  return true;
}

bool RLock(std::int32_t n) {
  if (!CheckDbInUse("RLock")) return false;
  WorkAreaRecord& area = *CurrentWorkArea();
  if (area.vfile.isVirtual) {
    SetError(1100, " [RLock]");
    return false;
  }
  if (area.lockState == kLockFile) return true;
  if (area.lockState == kLockAppend) return false;
  if (n > area.recordCount) RefreshRecCount();
  if (n < 1 || n > area.recordCount) return false;
  if (std::find(area.lockedRecords.begin(), area.lockedRecords.end(), n) !=
      area.lockedRecords.end())
    return true;
  if (Shared(area) && !LockWithRetry(area.fileHandle, RecordLockOffset(n), area.recordLength))
    return false;
  area.lockedRecords.insert(area.lockedRecords.begin(), n);
  area.lockedCount = static_cast<std::uint16_t>(area.lockedRecords.size());
  area.lockState = kLockRecords;
  return true;
}
