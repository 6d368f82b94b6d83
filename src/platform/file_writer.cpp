// Atomic replacement of files through a temporary name in the target's directory.
#include "platform/file_writer.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>
#include <regex>
#include <string_view>

#include "platform/file_system.h"
#include "platform/process.h"

namespace platform {
namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

std::string DirOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string LeafOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Work files of a replacement of real are hidden beside it, named after it.
std::string WorkFilePrefix(const std::string& real) {
  return "." + LeafOf(real) + ".";
}

// Every work file's name goes on from its prefix with this tag and "<pid>-<counter>-<random>" in
// plain decimal: a shape no user's copy beside the file has, so that a clean-up takes only what
// a writer left.
constexpr std::string_view kWorkTag = "vuko-work-";

// The longest rest OpenUnique puts after a prefix: the tag, a pid of up to nine digits (all
// WorkFileOwner reads), a counter of up to ten and a random number of up to nine.
constexpr std::size_t kLongestRest =
    kWorkTag.size() + std::string_view("999999999-4294967295-999999999").size();

// The prefix as work files carry it: a name holds at most NAME_MAX bytes, so a long target's
// prefix keeps only the beginning of its leaf, cut between two UTF-8 characters so that the
// name stays text a file manager can show, and its last character (the separator before the
// tag, which keeps the tag an extension; every prefix ends in one). Making and cleaning up both
// go through here.
std::string FittedPrefix(std::string_view prefix) {
  std::size_t cut = std::min<std::size_t>(prefix.size(), NAME_MAX - kLongestRest) - 1;
  // Back to the first byte of the character at the cut (continuation bytes are 10xxxxxx).
  while (cut > 0 && (static_cast<unsigned char>(prefix[cut]) & 0xC0) == 0x80) --cut;
  return std::string(prefix.substr(0, cut)) + prefix.back();
}

// The pid in the rest of a work file's name (what follows the prefix), 0 unless the rest is
// exactly the tag and three numbers as OpenUnique writes them.
long WorkFileOwner(const std::string& rest) {
  static const std::regex shape(std::string(kWorkTag) + "([0-9]{1,9})-[0-9]+-[0-9]+");
  std::smatch match;
  if (!std::regex_match(rest, match, shape)) return 0;
  return std::stol(match[1]);
}

// Opens a new file with a name nobody else can have chosen; fd or -1 with errno set.
int OpenUnique(const std::string& dir, std::string_view prefix, std::string& name) {
  static std::atomic<unsigned> counter{0};
  static thread_local std::mt19937_64 random{std::random_device{}() ^
                                             static_cast<unsigned long>(getpid())};
  const std::string fitted = FittedPrefix(prefix);
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = dir;
    if (name.empty() || name.back() != '/') name += '/';
    name += fitted;
    name += kWorkTag;
    name += std::to_string(getpid()) + "-" + std::to_string(counter++) + "-" +
            std::to_string(random() % 1000000000ULL);
    const int fd = open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

int WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return ENOSPC;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return 0;
}

// Opens a file written in place: a regular file or a character device (a printer port,
// /dev/null). A pipe or socket could block the open or every write for as long as nobody reads
// it, so it is refused (EINVAL) without waiting, as the readers refuse it; so is a block
// device. fd or -1 with err set.
int OpenWritableInPlace(const std::string& path, int flags, int& err) {
  err = 0;
  const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | flags, 0666);
  if (fd < 0) {
    // A FIFO without a reader refuses a non-blocking open with ENXIO.
    err = errno == ENXIO ? EINVAL : errno;
    return -1;
  }
  return KeepIfPlainFile(fd, true, err);
}

}  // namespace

int CreateWorkFile(const std::string& dir, std::string_view prefix, std::string& name,
                   int& errnoOut) {
  const int fd = OpenUnique(dir, prefix, name);
  errnoOut = errno;
  return fd;
}

int WriteWholeFile(const std::string& path, std::string_view bytes, FileWriter::Mode mode) {
  FileWriter out;
  if (const int err = out.Open(path, mode)) return err;
  if (const int err = out.Write(bytes)) return err;
  return out.Commit();
}

void RemoveFilesOfGoneProcesses(const std::string& dir, std::string_view prefix) {
  DIR* d = opendir(dir.c_str());
  if (d == nullptr) return;
  const std::string fitted = FittedPrefix(prefix);
  while (const dirent* entry = readdir(d)) {
    const std::string_view name(entry->d_name);
    if (!name.starts_with(fitted)) continue;
    const long pid = WorkFileOwner(std::string(name.substr(fitted.size())));
    if (pid == 0) continue;
    struct stat st {};
    if (fstatat(dirfd(d), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
      continue;
    if (!ProcessAlive(pid)) unlinkat(dirfd(d), entry->d_name, 0);
  }
  closedir(d);
}

void RemoveLeftoverWorkFiles(const std::string& path) {
  char resolved[PATH_MAX];
  const std::string real = realpath(path.c_str(), resolved) != nullptr ? resolved : path;
  RemoveFilesOfGoneProcesses(DirOf(real), WorkFilePrefix(real));
}

int CreateWorkFileFor(const std::string& path, std::string& name, int& errnoOut) {
  RemoveLeftoverWorkFiles(path);
  return CreateWorkFile(DirOf(path), WorkFilePrefix(path), name, errnoOut);
}

FileWriter::~FileWriter() {
  Discard();
}

int FileWriter::Open(const std::string& path, Mode mode, bool durable) {
  Discard();
  error_ = 0;
  durable_ = durable;
  target_ = path;
  temp_.clear();
  buffer_.clear();
  direct_ = true;
  if (path.empty()) return error_ = ENOENT;

  if (mode == Mode::Append) {
    fd_ = OpenWritableInPlace(path, O_APPEND | O_CREAT, error_);
    return error_;
  }

  // A link is followed, so the file it names is replaced and the link stays.
  struct stat st {};
  std::string real = path;
  bool exists = stat(path.c_str(), &st) == 0;
  // Only a missing file is made anew: a name the system refuses (one too long, say) is told
  // now, not by the rename once everything is written.
  if (!exists && errno != ENOENT) return error_ = errno;
  if (exists) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) != nullptr) real = resolved;
    if (S_ISDIR(st.st_mode)) return error_ = EISDIR;
    if (!S_ISREG(st.st_mode)) {
      fd_ = OpenWritableInPlace(path, O_TRUNC, error_);
      return error_;
    }
    // An existing file we may not write is not replaced behind its back.
    if (access(real.c_str(), W_OK) != 0) return error_ = errno;
  }
  const std::string dir = DirOf(real);
  struct stat dirStat {};
  if (stat(dir.c_str(), &dirStat) != 0) return error_ = errno;
  if (!S_ISDIR(dirStat.st_mode)) return error_ = ENOTDIR;
  int err = 0;
  fd_ = CreateWorkFileFor(real, temp_, err);
  if (fd_ < 0) {
    temp_.clear();
    return error_ = err;
  }
  if (exists) {
    // The replacement keeps the owner where we may set it (otherwise it becomes ours, as any
    // new file would) and the permissions of the old file.
    (void)!fchown(fd_, st.st_uid, st.st_gid);
    fchmod(fd_, st.st_mode & 07777);
  }
  target_ = real;
  direct_ = false;
  return 0;
}

int FileWriter::Write(std::string_view data) {
  if (fd_ < 0) return error_ ? error_ : EBADF;
  if (error_) return error_;
  buffer_.append(data);
  if (buffer_.size() >= kBufferSize) return Flush();
  return 0;
}

int FileWriter::Flush() {
  if (error_ || buffer_.empty()) return error_;
  error_ = WriteAll(fd_, buffer_.data(), buffer_.size());
  buffer_.clear();
  return error_;
}

int FileWriter::Commit() {
  if (fd_ < 0) return error_ ? error_ : EBADF;
  Flush();
  if (!error_ && durable_ && !direct_ && fdatasync(fd_) != 0 && errno != EINVAL) error_ = errno;
  if (close(fd_) != 0 && !error_ && errno != EINTR) error_ = errno;
  fd_ = -1;
  if (!direct_) {
    if (!error_ && rename(temp_.c_str(), target_.c_str()) != 0) error_ = errno;
    if (error_) unlink(temp_.c_str());
    temp_.clear();
  }
  return error_;
}

void FileWriter::Discard() {
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
  }
  if (!temp_.empty()) {
    unlink(temp_.c_str());
    temp_.clear();
  }
  buffer_.clear();
}

}  // namespace platform
