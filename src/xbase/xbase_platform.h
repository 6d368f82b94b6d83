// What the dBASE table library needs of the operating system: byte-range locks that belong to
// one open file (not to the process), shared and exclusive opening, a millisecond tick counter,
// and operating-system errors as the DOS codes the library reports.
#pragma once

#include <cstdint>
#include <string>

// DOS code of an errno value (2 file not found, 5 access denied, 32 sharing violation,
// 33 lock violation, 101 disk full, ...).
std::uint16_t DosCodeOfErrno(int err);

// Opens a file read/write (or read-only); exclusive opens deny every other open of the file,
// shared opens deny only exclusive ones. Returns the descriptor, or -1 with code set.
int XbOpenFile(const std::string& path, bool exclusive, bool readOnly, std::uint16_t& code);
// Creates (truncates) a file read/write, exclusive; -1 with code set on failure.
int XbCreateFile(const std::string& path, std::uint16_t& code);
// Closes; 0 or the DOS code.
std::uint16_t XbCloseFile(int handle);

// Locks (or unlocks) bytes offset .. offset + length - 1 without waiting; 0 or the DOS code
// (33 when another open file holds them).
std::uint16_t XbLockBytes(int handle, bool unlock, std::uint64_t offset, std::uint64_t length);

// A shared (read) lock on the bytes, or its release; several opens may hold one at once.
std::uint16_t XbShareBytes(int handle, bool unlock, std::uint64_t offset, std::uint64_t length);
// True when another open of the file holds a lock on any of the bytes.
bool XbBytesHeldByOthers(int handle, std::uint64_t offset, std::uint64_t length);

// Milliseconds since an arbitrary start, wrapping like a 32-bit tick counter.
std::uint32_t TickCount();
void SleepMs(unsigned ms);
// Size of an open file; -1 on failure.
std::int64_t XbFileSize(int handle);
