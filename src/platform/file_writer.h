// Writing a file so that the old one is replaced only by a complete new one: the content goes
// to a temporary name in the same directory and is renamed over the target at Commit.
// Character devices (printer ports, /dev/null) are written directly, and appending writes in
// place. A pipe, socket or block device is refused at once (EINVAL), never waited on.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

class FileWriter {
 public:
  enum class Mode { Replace, Append };

  FileWriter() = default;
  ~FileWriter();  // an uncommitted file is discarded
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;

  // Opens for writing; 0 or an errno value. durable: the content reaches the disk before the
  // rename (off for scratch files). Partial files of the same target left by a writer whose
  // process is gone are removed first.
  int Open(const std::string& path, Mode mode, bool durable = true);
  // Buffered write; 0 or the errno value of the first failure (kept until Commit/Discard).
  int Write(std::string_view data);
  // Flushes, closes and, for a replacement, renames over the target; 0 or an errno value. On
  // failure the temporary file is removed and the old file is left as it was.
  int Commit();
  // Closes and removes the temporary file; the old file stays.
  void Discard();

  bool IsOpen() const { return fd_ >= 0; }
  int Error() const { return error_; }
  // Name being written (the temporary name of a replacement); for tests.
  const std::string& WorkingName() const { return temp_.empty() ? target_ : temp_; }

 private:
  int Flush();
  int fd_ = -1;
  bool direct_ = true;
  bool durable_ = true;
  int error_ = 0;
  std::string target_;
  std::string temp_;
  std::string buffer_;
};

// Writes bytes as the whole new content (Replace) or at the end (Append) of path through a
// FileWriter; 0 or an errno value (EINVAL for a pipe or socket, which is never waited on).
int WriteWholeFile(const std::string& path, std::string_view bytes,
                   FileWriter::Mode mode = FileWriter::Mode::Replace);

// Creates a new, empty work file in dir, named prefix + "vuko-work-<pid>-<counter>-<random>"
// (mode 0666 less the umask), open for reading and writing: its descriptor, with its path in
// name; -1 with errnoOut set on failure, name then the last one tried (no file of ours). A
// prefix too long for the name to fit NAME_MAX keeps as many whole UTF-8 characters as fit.
int CreateWorkFile(const std::string& dir, std::string_view prefix, std::string& name,
                   int& errnoOut);

// Removes the regular files in dir that are work files named prefix (shortened as above) + the
// shape above and whose process is gone: what a writer left when it was killed. Work files of
// running processes stay, and so does every other name (a user's ".t.dbf.2024-01-05" or
// ".t.dbf.123-old" beside it).
void RemoveFilesOfGoneProcesses(const std::string& dir, std::string_view prefix);

// Creates the work file a replacement of path is written to, named as FileWriter names its own,
// for a writer of its own (the printer): the same clean-up takes it when its process is killed.
// As CreateWorkFile otherwise.
int CreateWorkFileFor(const std::string& path, std::string& name, int& errnoOut);

// Removes the work files that replacements of path (FileWriter) left when their process was
// killed, as Open does before it writes.
void RemoveLeftoverWorkFiles(const std::string& path);

}  // namespace platform
