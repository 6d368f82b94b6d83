// File-system queries over POSIX calls.
#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace platform {

PathInfo QueryPath(const std::string& path) {
  PathInfo info;
  struct stat st {};
  if (path.empty() || stat(path.c_str(), &st) != 0) return info;
  info.exists = true;
  info.isDirectory = S_ISDIR(st.st_mode);
  info.isRegular = S_ISREG(st.st_mode);
  info.isOther = !info.isDirectory && !info.isRegular;
  info.writable = access(path.c_str(), W_OK) == 0;
  info.size = static_cast<std::int64_t>(st.st_size);
  info.modified = static_cast<std::int64_t>(st.st_mtime);
  return info;
}

int OpenRegularFileForReading(const std::string& path, int& err) {
  err = 0;
  // Non-blocking, so that opening a FIFO without a writer returns at once.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    err = errno;
    return -1;
  }
  return KeepIfPlainFile(fd, false, err);
}

int KeepIfPlainFile(int fd, bool characterDeviceToo, int& err) {
  struct stat st {};
  if (fstat(fd, &st) != 0 ||
      !(S_ISREG(st.st_mode) || (characterDeviceToo && S_ISCHR(st.st_mode)))) {
    err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    close(fd);
    return -1;
  }
  const int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

bool ListDirectory(const std::string& dir, std::vector<std::string>& names) {
  names.clear();
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (d == nullptr) return false;
  while (struct dirent* e = readdir(d)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    names.emplace_back(e->d_name);
  }
  closedir(d);
  return true;
}

int RemoveFile(const std::string& path) {
  return unlink(path.c_str()) == 0 ? 0 : errno;
}

bool CanEnterDirectory(const std::string& dir) {
  struct stat st {};
  return !dir.empty() && stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         access(dir.c_str(), X_OK) == 0;
}

bool DirectoryTakesNewFiles(const std::string& dir) {
  struct stat st {};
  if (dir.empty() || stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  std::string pattern = dir;
  if (pattern.back() != '/') pattern += '/';
  pattern += ".vuko-probe-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) return false;
  close(fd);
  return unlink(name.data()) == 0;
}

std::string AbsolutePath(const std::string& path) {
  if (!path.empty() && path.front() == '/') return path;
  char cwd[PATH_MAX];
  if (getcwd(cwd, sizeof cwd) == nullptr) return path;
  std::string out = cwd;
  if (out.back() != '/') out += '/';
  return out + path;
}

}  // namespace platform
