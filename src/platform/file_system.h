// File-system queries and operations the file utilities need: what a path is, directory
// listings, erasing, entering a directory, and the unique probe that tests whether a directory
// takes new files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct PathInfo {
  bool exists = false;
  bool isDirectory = false;
  bool isRegular = false;
  bool isOther = false;   // device, pipe, socket
  bool writable = false;  // for this process
  std::int64_t size = 0;
  std::int64_t modified = 0;  // seconds since 1970
};
// Facts about a path (a link is followed); exists false when it cannot be had.
PathInfo QueryPath(const std::string& path);

// Opens a regular file for reading and returns its descriptor, or -1 with err set: a
// directory, pipe, socket or device is refused (EISDIR / EINVAL) without blocking on it.
int OpenRegularFileForReading(const std::string& path, int& err);
// A descriptor opened without blocking kept when it is a regular file (or, when asked, a
// character device such as a printer port), made blocking again; anything else is closed
// (EISDIR or EINVAL in err). fd or -1.
int KeepIfPlainFile(int fd, bool characterDeviceToo, int& err);

// Names in a directory, without "." and ".."; false when it cannot be read.
bool ListDirectory(const std::string& dir, std::vector<std::string>& names);

// Erases a file (not a directory); 0 or the errno value.
int RemoveFile(const std::string& path);

// True when the directory exists and may be entered.
bool CanEnterDirectory(const std::string& dir);

// True when a new file can be made in dir: a file with a name of its own is created and
// removed again.
bool DirectoryTakesNewFiles(const std::string& dir);

// Absolute form of a path (the current directory in front of a relative one, no resolution of
// links); the path itself when the current directory is unknown.
std::string AbsolutePath(const std::string& path);

}  // namespace platform
