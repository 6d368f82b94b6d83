// Private temporary directory: made on demand, removed at exit, on SIGTERM and SIGHUP, and by
// a later run when the process that made it is gone.
#include "platform/temp_dir.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/process.h"

namespace platform {
namespace {

constexpr std::string_view kPrefix = "vuko-";
// The file a run puts into its folder the moment the folder is made. A folder is only ever taken
// for the leftover of a run when it holds this file: the name's shape alone is also a user's
// "vuko-2024-backup".
constexpr const char* kMark = ".vuko-run-folder";

std::string& Current() {
  static std::string dir;
  return dir;
}
pid_t& Owner() {
  static pid_t pid = 0;
  return pid;
}

// The directory as a signal handler may read it: a fixed buffer, written before the handlers
// are installed and whenever the directory changes.
char signalCopy[4096];

void RemoveAtExit() {
  RemovePrivateTempDirectory();
}

void PublishForSignals(const std::string& dir) {
  const std::size_t n = dir.size() < sizeof signalCopy ? dir.size() : 0;
  std::memcpy(signalCopy, dir.data(), n);
  signalCopy[n] = '\0';
}

// "vuko-<pid>-XXXXXX": the pid of the run that made it, else 0.
long OwnerOfName(std::string_view name) {
  if (name.substr(0, kPrefix.size()) != kPrefix) return 0;
  name.remove_prefix(kPrefix.size());
  const std::size_t dash = name.find('-');
  if (dash == 0 || dash == std::string_view::npos || name.size() - dash - 1 != 6) return 0;
  long pid = 0;
  for (char c : name.substr(0, dash)) {
    if (c < '0' || c > '9' || pid > 1L << 30) return 0;
    pid = pid * 10 + (c - '0');
  }
  return pid;
}

std::string TryMake(std::string base) {
  if (base.empty()) return {};
  struct stat st {};
  if (stat(base.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return {};
  if (base.back() != '/') base += '/';
  RemoveOrphanedTempDirectories(base);
  std::string pattern = base + std::string(kPrefix) + std::to_string(getpid()) + "-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) return {};
  const std::string made(buffer.data());
  // An empty file made in one step: the folder never holds a part of it. Should it fail (a full
  // disk), the folder serves all the same; only a kill would then leave it behind.
  close(open((made + "/" + kMark).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
             0600));
  return made + "/";
}

// A folder of ours that a run marked as its own; a link in the base is not followed.
bool MarkedFolderOfOurs(int base, const std::string& name) {
  struct stat folder {
  }, mark{};
  return fstatat(base, name.c_str(), &folder, AT_SYMLINK_NOFOLLOW) == 0 &&
         folder.st_uid == getuid() &&
         fstatat(base, (name + "/" + kMark).c_str(), &mark, AT_SYMLINK_NOFOLLOW) == 0 &&
         S_ISREG(mark.st_mode);
}

// Only unlink and rmdir on a name fixed beforehand: what a signal handler may do. The entries
// are read with the system call itself, as the directory stream functions may allocate.
void RemoveDirectoryFromSignal(const char* dir) {
  if (dir[0] == '\0') return;
  const int fd = open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    alignas(8) char buffer[4096];
    for (int round = 0; round < 1000; ++round) {
      const long n = syscall(SYS_getdents64, fd, buffer, sizeof buffer);
      if (n <= 0) break;
      for (long at = 0; at < n;) {
        struct Entry {
          ino64_t ino;
          off64_t off;
          unsigned short reclen;
          unsigned char type;
          char name[1];
        };
        const auto* e = reinterpret_cast<const Entry*>(buffer + at);
        const char* name = buffer + at + offsetof(Entry, name);
        if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) {
          if (unlinkat(fd, name, 0) != 0) unlinkat(fd, name, AT_REMOVEDIR);
        }
        at += e->reclen;
      }
    }
    close(fd);
  }
  rmdir(dir);
}

void OnTerminatingSignal(int signal) {
  const int saved = errno;
  if (Owner() == getpid()) RemoveDirectoryFromSignal(signalCopy);
  errno = saved;
  // The default action ends the process with the signal, as if we had not been there.
  ::signal(signal, SIG_DFL);
  raise(signal);
}

}  // namespace

std::string PrivateTempDirectory(const std::string& base) {
  std::string& dir = Current();
  if (!dir.empty() && Owner() == getpid()) {
    struct stat st {};
    if (stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return dir;
  }
  std::string made = TryMake(base);
  if (made.empty()) {
    const char* env = std::getenv("TMPDIR");
    if (env != nullptr) made = TryMake(env);
  }
  if (made.empty()) made = TryMake("/tmp");
  if (made.empty()) return {};
  static bool registered = false;
  if (!registered) {
    registered = std::atexit(RemoveAtExit) == 0;
  }
  PublishForSignals(made);
  dir = made;
  Owner() = getpid();
  return dir;
}

std::string ExistingPrivateTempDirectory() {
  return Owner() == getpid() ? Current() : std::string();
}

void RemovePrivateTempDirectory() {
  std::string& dir = Current();
  if (dir.empty() || Owner() != getpid()) return;
  PublishForSignals({});
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  dir.clear();
}

void RemoveOrphanedTempDirectories(const std::string& base) {
  DIR* d = opendir(base.empty() ? "." : base.c_str());
  if (d == nullptr) return;
  std::vector<std::string> orphans;
  while (const dirent* entry = readdir(d)) {
    const long pid = OwnerOfName(entry->d_name);
    if (pid == 0 || ProcessAlive(pid)) continue;
    // Only folders a run of ours made: another user's are theirs to clean, and one without the
    // mark (a user's, or an older version's) may hold work.
    if (MarkedFolderOfOurs(dirfd(d), entry->d_name)) orphans.emplace_back(entry->d_name);
  }
  closedir(d);
  for (const std::string& name : orphans) {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(base.empty() ? "." : base) / name, ignored);
  }
}

void RemoveTempDirectoryOnSignals() {
  struct sigaction action {};
  action.sa_handler = OnTerminatingSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}

}  // namespace platform
