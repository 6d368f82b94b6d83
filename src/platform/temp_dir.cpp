// Private temporary directory: made on demand, removed at exit.
#include "platform/temp_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace platform {
namespace {

std::string& Current() {
  static std::string dir;
  return dir;
}
pid_t& Owner() {
  static pid_t pid = 0;
  return pid;
}

void RemoveAtExit() {
  RemovePrivateTempDirectory();
}

std::string TryMake(std::string base) {
  if (base.empty()) return {};
  struct stat st {};
  if (stat(base.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return {};
  if (base.back() != '/') base += '/';
  std::string pattern = base + "vuko-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) return {};
  return std::string(buffer.data()) + "/";
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
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  dir.clear();
}

}  // namespace platform
