// The index semaphore file of a shared table and the refresh of index anchors after another
// program changed an index.
#include "xbase/ndx_semaphore.h"

#include <unistd.h>

#include <array>
#include <ctime>
#include <memory>

#include "xbase/dbf_file.h"
#include "xbase/locking.h"
#include "xbase/ndx_keys.h"
#include "xbase/ndx_search.h"
#include "xbase/ndx_sets.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_platform.h"
#include "xbase/xbase_utils.h"

std::string SemaphoreDirectory;
int SemaphoreWaitLimit = 100;

namespace {

constexpr std::uint32_t kRangeOffset = 1;
constexpr std::uint32_t kRangeLength = 4;
// Bytes the programs hold shared locks on, so that counts left by a program that ended without
// taking them back can be told from live ones: the kernel drops a dead program's locks.
constexpr std::uint32_t kReaderByte = 8;    // held while registered as a reader
constexpr std::uint32_t kPresenceByte = 9;  // held while logged in
const char* const kActionNames[] = {"LOGIN",   "LOGOUT",        "INCREAD",
                                    "DECREAD", "LOCKSEMAPHORE", "UNLOCKSEMAPHORE"};

struct TSemaphoreRecord {
  int file = -1;
  std::string fileName;
  TSemaphoreFileRecord record;
  std::uint8_t usersAtLogin = 0;
  std::uint16_t lastSeen = 0;
  bool rangeHeld = false;
  bool reader = false;
  int readNesting = 0;
  int lockNesting = 0;
};

std::array<std::unique_ptr<TSemaphoreRecord>, kWorkAreaCount + 1> Semaphores;
std::array<int, kWorkAreaCount + 1> ReadProcCount{};
std::array<int, kWorkAreaCount + 1> LockProcCount{};

std::string Action(int action) {
  return kActionNames[action];
}

bool ReadRecord(TSemaphoreRecord& s) {
  unsigned char b[4];
  if (pread(s.file, b, 4, 0) != 4) return false;
  s.record.users = b[0];
  s.record.lockCount = static_cast<std::int8_t>(b[1]);
  s.record.updateCounter = GetU16(b + 2);
  return true;
}

bool WriteRecord(TSemaphoreRecord& s) {
  unsigned char b[4] = {s.record.users, static_cast<unsigned char>(s.record.lockCount), 0, 0};
  PutU16(b + 2, s.record.updateCounter);
  return pwrite(s.file, b, 4, 0) == 4;
}

bool LockIndexSemaphore(TSemaphoreRecord& s, int action) {
  if (!SharingOn) {
    s.rangeHeld = true;
    return true;
  }
  std::uint16_t code = 0;
  for (int attempt = 0; attempt < 1001; ++attempt) {
    code = XbLockBytes(s.file, false, kRangeOffset, kRangeLength);
    if (code == 0) {
      s.rangeHeld = true;
      return true;
    }
    WaitMs(10);
  }
  SetError(1202, "10 second timeout: Cannot lock index semaphore file: " + s.fileName + " " +
                     Action(action) +
                     "\r\nPossible cause: Network lock limit exceeded\r\n Lock result code: " +
                     std::to_string(code));
  return false;
}

void UnlockIndexSemaphore(TSemaphoreRecord& s, int action) {
  if (!s.rangeHeld) return;
  s.rangeHeld = false;
  if (!SharingOn) return;
  if (std::uint16_t code = XbLockBytes(s.file, true, kRangeOffset, kRangeLength))
    SetError(code, "Cannot unlock index semaphore file: " + s.fileName + " " + Action(action));
}

void IoError(TSemaphoreRecord& s, const char* what, int action, std::uint16_t code) {
  SetError(code ? code : 100, what + s.fileName + " " + Action(action));
}

// The table's login lock, retried for about ten seconds.
bool TakeLoginLock(const std::string& file, int action) {
  for (int attempt = 0; attempt <= 1000; ++attempt) {
    if (LockHeaderByte()) return true;
    WaitMs(10);
  }
  SetError(1202, "Cannot lock database for: " + file + " Action=" + Action(action) +
                     " [Database Semaphore]");
  return false;
}

void Login(WorkAreaRecord& a, int area) {
  if (Semaphores[area]) return;
  auto s = std::make_unique<TSemaphoreRecord>();
  s->fileName = SemaphoreFileName();
  if (!TakeLoginLock(s->fileName, kSemLogin)) return;
  std::uint16_t code = 0;
  bool fresh = false;
  if (!FileDatedToday(s->fileName)) {
    const int alone = XbOpenFile(s->fileName, true, true, code);
    if (alone >= 0 || code == 2) {
      if (alone >= 0) XbCloseFile(alone);
      const int created = XbCreateFile(s->fileName, code);
      if (created < 0) {
        UnlockHeaderByte();
        IoError(*s, "Cannot open/create: ", kSemLogin, code);
        return;
      }
      const unsigned char zero[4] = {};
      const bool written = pwrite(created, zero, 4, 0) == 4;
      XbCloseFile(created);
      if (!written) {
        UnlockHeaderByte();
        IoError(*s, "Cannot write to: ", kSemLogin, 101);
        return;
      }
      fresh = true;
    } else if (code != 3 && code != 5 && code != 32 && code != 150 && code != 162 && code != 163) {
      UnlockHeaderByte();
      IoError(*s, "Cannot open/create: ", kSemLogin, code);
      return;
    }
  }
  s->file = XbOpenFile(s->fileName, false, false, code);
  if (s->file < 0) {
    UnlockHeaderByte();
    IoError(*s, "Cannot open: ", kSemLogin, code);
    return;
  }
  auto fail = [&](const char* what, std::uint16_t c) {
    UnlockIndexSemaphore(*s, kSemLogin);
    XbCloseFile(s->file);
    UnlockHeaderByte();
    IoError(*s, what, kSemLogin, c);
  };
  if (!LockIndexSemaphore(*s, kSemLogin)) {
    XbCloseFile(s->file);
    UnlockHeaderByte();
    return;
  }
  if (!fresh) WaitMs(5);
  if (!ReadRecord(*s)) return fail("Cannot read: ", 100);
  if (SharingOn && !XbBytesHeldByOthers(s->file, kPresenceByte, 1)) {
    // Nobody else is logged in: whatever the record counts was left by programs now gone.
    s->record.users = 0;
    s->record.lockCount = 0;
  }
  if (SharingOn) XbShareBytes(s->file, false, kPresenceByte, 1);
  s->record.users = static_cast<std::uint8_t>(s->record.users + 1);
  s->usersAtLogin = s->record.users;
  if (!WriteRecord(*s)) return fail("Cannot write to: ", 101);
  UnlockIndexSemaphore(*s, kSemLogin);
  s->lastSeen = fresh ? 0 : s->record.updateCounter;
  Semaphores[area] = std::move(s);
  UnlockHeaderByte();
  (void)a;
}

void Logout(int area) {
  TSemaphoreRecord& s = *Semaphores[area];
  if (!TakeLoginLock(s.fileName, kSemLogout)) return;
  if (!LockIndexSemaphore(s, kSemLogout)) {
    UnlockHeaderByte();
    return;
  }
  if (ReadRecord(s)) {
    if (s.reader && s.record.lockCount > 0) --s.record.lockCount;
    if (s.record.users > 0) --s.record.users;
    if (!WriteRecord(s)) IoError(s, "Cannot write to: ", kSemLogout, 101);
  } else {
    IoError(s, "Cannot read: ", kSemLogout, 100);
  }
  // The last live user erases the file, also when ended programs are still counted in it.
  const bool last =
      s.record.users == 0 || (SharingOn && !XbBytesHeldByOthers(s.file, kPresenceByte, 1));
  UnlockIndexSemaphore(s, kSemLogout);
  XbCloseFile(s.file);
  if (last) unlink(s.fileName.c_str());
  Semaphores[area].reset();
  UnlockHeaderByte();
}

void ReadRequest(TSemaphoreRecord& s, int action) {
  const bool inc = action == kSemIncRead;
  if (inc) {
    if (++s.readNesting > 1) return;
  } else {
    if (--s.readNesting < 0) {
      s.readNesting = 0;
      SetError(254, "Unbalanced IncRead/DecRead for semaphore file: " + s.fileName + " " +
                        Action(action));
      return;
    }
    if (s.readNesting > 0) return;
  }
  if (s.rangeHeld || (inc && s.reader) || (!inc && !s.reader)) return;
  if (!LockIndexSemaphore(s, action)) return;
  s.reader = inc;
  if (!ReadRecord(s)) {
    UnlockIndexSemaphore(s, action);
    return IoError(s, "Cannot read: ", action, 100);
  }
  if (inc && s.record.lockCount != 127) ++s.record.lockCount;
  if (!inc && s.record.lockCount > 0) --s.record.lockCount;
  if (SharingOn) XbShareBytes(s.file, !inc, kReaderByte, 1);
  if (!WriteRecord(s)) {
    UnlockIndexSemaphore(s, action);
    return IoError(s, "Cannot write to: ", action, 101);
  }
  UnlockIndexSemaphore(s, action);
}

std::int64_t Seconds() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec;
}

void LockRequest(TSemaphoreRecord& s) {
  if (++s.lockNesting > 1 || s.rangeHeld) return;
  const std::int64_t start = Seconds();
  auto overdue = [&] { return SemaphoreWaitLimit != 0 && Seconds() - start > SemaphoreWaitLimit; };
  bool timedOut = false;
  for (;;) {
    while (!ReadRecord(s)) {
      if (overdue()) {
        timedOut = true;
        break;
      }
      WaitMs(1);
    }
    if (timedOut) break;
    if (!LockIndexSemaphore(s, kSemLockSemaphore)) return;
    if (!ReadRecord(s)) {
      UnlockIndexSemaphore(s, kSemLockSemaphore);
      return IoError(s, "Cannot read: ", kSemLockSemaphore, 100);
    }
    if (s.record.lockCount == 0) break;
    // Holding the range, no live writer is in; a count no live reader stands behind was left by
    // a program that ended inside a read or a write, and would hold every writer off for good.
    if (SharingOn && !XbBytesHeldByOthers(s.file, kReaderByte, 1)) {
      s.record.lockCount = 0;
      break;
    }
    UnlockIndexSemaphore(s, kSemLockSemaphore);
    if (overdue()) {
      timedOut = true;
      break;
    }
    WaitMs(10);
  }
  if (timedOut || !s.rangeHeld) {
    SetError(1202, std::to_string(SemaphoreWaitLimit) +
                       " second timeout, cannot read: " + s.fileName + "\r\n" +
                       "Possible cause: Other user's program has terminated abnormally." + "\r\n" +
                       "Cure: Log all users of this application off the network," + "\r\n" +
                       "then delete " + s.fileName);
    return;
  }
  s.record.lockCount = 1;
  if (!WriteRecord(s)) {
    UnlockIndexSemaphore(s, kSemLockSemaphore);
    return IoError(s, "Cannot write to: ", kSemLockSemaphore, 101);
  }
}

void UnlockRequest(TSemaphoreRecord& s) {
  if (--s.lockNesting < 0) {
    s.lockNesting = 0;
    UnlockIndexSemaphore(s, kSemUnlockSemaphore);
    SetError(254, "Unbalanced Lock/Unlock for semaphore file: " + s.fileName + " " +
                      Action(kSemUnlockSemaphore));
    return;
  }
  if (s.lockNesting > 0 || !s.rangeHeld) return;
  if (!ReadRecord(s)) {
    UnlockIndexSemaphore(s, kSemUnlockSemaphore);
    return IoError(s, "Cannot read: ", kSemUnlockSemaphore, 100);
  }
  s.record.updateCounter = s.record.updateCounter >= 65534 ? 0 : s.record.updateCounter + 1;
  s.record.lockCount = 0;
  const bool written = WriteRecord(s);
  UnlockIndexSemaphore(s, kSemUnlockSemaphore);
  if (!written) return IoError(s, "Cannot write to: ", kSemUnlockSemaphore, 101);
  s.lastSeen = s.record.updateCounter;
}

}  // namespace

std::string SemaphoreFileName() {
  WorkAreaRecord* a = CurrentWorkArea();
  if (!a) return {};
  std::string dir, name, ext;
  SplitFileName(a->path, dir, name, ext);
  const std::string file = name + ".@S@";
  if (!SemaphoreDirectory.empty()) {
    std::string d = SemaphoreDirectory;
    if (d.back() != '/') d += '/';
    return d + file;
  }
  return dir + file;
}

void DatabaseSemaphore(int action) {
  const int area = CurrentArea;
  if (area > 34) {
    SetError(254, "Work area [" + std::to_string(area) + "] out of range. [HandleSemafore]");
    return;
  }
  WorkAreaRecord* a = CurrentWorkArea();
  if (!a || a->exclusive || action < 0 || action > kSemUnlockSemaphore) return;
  if (action == kSemLogin) return Login(*a, area);
  if (!Semaphores[area]) return;
  switch (action) {
    case kSemLogout:
      return Logout(area);
    case kSemIncRead:
    case kSemDecRead:
      return ReadRequest(*Semaphores[area], action);
    case kSemLockSemaphore:
      return LockRequest(*Semaphores[area]);
    default:
      return UnlockRequest(*Semaphores[area]);
  }
}

void SetReadSemaphoreProc(bool on) {
  const int area = CurrentArea;
  if (area < 1 || area > kWorkAreaCount) return;
  if (on) {
    if (ReadProcCount[area]++ == 0) DatabaseSemaphore(kSemIncRead);
    return;
  }
  if (--ReadProcCount[area] < 0) {
    ReadProcCount[area] = 0;
    SetError(254, "Non-symmetrical Lock-Unlock [SetReadSemaphoreProc]");
    return;
  }
  if (ReadProcCount[area] == 0) DatabaseSemaphore(kSemDecRead);
}

void SetLockSemaphoreProc(bool on) {
  const int area = CurrentArea;
  if (area < 1 || area > kWorkAreaCount) return;
  if (on) {
    if (LockProcCount[area]++ == 0) {
      XbaseErrorCode = 0;
      DatabaseSemaphore(kSemLockSemaphore);
      if (XbaseErrorCode == 0) MarkIndexUpdate(true);
    }
    return;
  }
  if (--LockProcCount[area] < 0) {
    LockProcCount[area] = 0;
    SetError(254, "Non-symmetrical Lock-Unlock [SetLockSemaphoreProc]");
    return;
  }
  if (LockProcCount[area] == 0) {
    // Keeps an error of the write for its caller.
    const std::uint16_t code = XbaseErrorCode;
    MarkIndexUpdate(false);
    DatabaseSemaphore(kSemUnlockSemaphore);
    if (XbaseErrorCode == 0) XbaseErrorCode = code;
  }
}

bool RefreshIfChanged() {
  const int area = CurrentArea;
  if (area < 1 || area > kWorkAreaCount || !Semaphores[area]) return false;
  TSemaphoreRecord& s = *Semaphores[area];
  if (!ReadRecord(s) || s.record.updateCounter == s.lastSeen) return false;
  // Inside a registered read no live writer is in: a mark read now is a dead writer's.
  const bool markTells = ReadProcCount[area] > 0 && LockProcCount[area] == 0;
  for (auto& d : IndexTable[area]) {
    if (!d) continue;
    unsigned char anchor[kNdxAnchorSize];
    if (pread(d->file, anchor, kNdxAnchorSize, 0) != kNdxAnchorSize) {
      SetError(100, "Error reading index file:  " + d->fileName + " [ReadAnchorNodes]");
      return false;
    }
    const char type = d->anchor.keyType;
    d->anchor = UnpackNdxAnchor(anchor);
    d->anchor.keyType = type;
    // Reported at the end of every move of the area (LoadCurrentKey).
    if (markTells && d->anchor.updating != 0) d->updateCutShort = true;
    d->path.clear();  // the tree may have changed under the position
  }
  s.lastSeen = s.record.updateCounter;
  return true;
}

void RefreshAndResync() {
  if (!RefreshIfChanged()) return;
  WorkAreaRecord* a = CurrentWorkArea();
  TIndexDescriptor* index = IndexInSlot(1);
  if (!a || !index) return;
  RefreshRecCount();
  if (a->recordNumber > a->recordCount || a->recordNumber < 1) {
    GoPastEnd(*index);
    return;
  }
  GetDbfRecord(*a, a->recordNumber);
  if (a->typedBuffer) RecordToFields(*a, a->typedBuffer);
  if (!NaturalOrder[CurrentArea]) SoftSyncIndex();
}

bool SemaphoreLoggedIn() {
  const int area = CurrentArea;
  return area >= 1 && area <= kWorkAreaCount && Semaphores[area] != nullptr;
}

TSemaphoreFileRecord SemaphoreRecordSeen() {
  const int area = CurrentArea;
  if (area < 1 || area > kWorkAreaCount || !Semaphores[area]) return {};
  return Semaphores[area]->record;
}

void ResetSemaphores() {
  for (auto& s : Semaphores)
    if (s) {
      if (s->file >= 0) XbCloseFile(s->file);
      s.reset();
    }
  ReadProcCount.fill(0);
  LockProcCount.fill(0);
}
