// The on-disk state of kept files, remembered at reading and writing and compared before a save.
#include "common/changed_on_disk.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>

#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/program_state.h"
#include "platform/file_system.h"

namespace {

struct TDiskStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  long long seconds = 0;
  long nanoseconds = 0;
  std::size_t contentHash = 0;
  bool operator==(const TDiskStamp&) const = default;
};

// Keyed by the file itself: its name with links, "." and ".." resolved, so "f.vuk",
// "/dir/f.vuk", "./sub/../f.vuk" and a link to it are one file. (Not by inode: an atomic save by
// another writer gives the file a new one.)
std::string FileKey(const std::string& fileName) {
  std::error_code error;
  const std::filesystem::path resolved =
      std::filesystem::weakly_canonical(platform::AbsolutePath(fileName), error);
  return error ? platform::AbsolutePath(fileName) : resolved.string();
}

std::map<std::string, TDiskStamp>& Remembered() {
  static std::map<std::string, TDiskStamp> remembered;
  return remembered;
}

// An atomic save by another writer gives a new inode, an edit in place a new time or size; the
// content tells an edit of the same size within one tick of the file system's clock.
std::optional<TDiskStamp> StampOf(const std::string& fileName) {
  struct stat st {};
  if (stat(fileName.c_str(), &st) != 0) return std::nullopt;
  std::ifstream in(fileName, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return TDiskStamp{st.st_dev,          st.st_ino,
                    st.st_size,         static_cast<long long>(st.st_mtim.tv_sec),
                    st.st_mtim.tv_nsec, std::hash<std::string>{}(content.str())};
}

}  // namespace

void RememberFileOnDisk(const std::string& fileName) {
  const std::string key = FileKey(fileName);
  if (const std::optional<TDiskStamp> stamp = StampOf(fileName)) {
    Remembered()[key] = *stamp;
  } else {
    Remembered().erase(key);
  }
}

bool ConfirmOverwriteChangedFile(const std::string& fileName) {
  const auto it = Remembered().find(FileKey(fileName));
  if (it == Remembered().end()) return true;
  const std::optional<TDiskStamp> now = StampOf(fileName);
  if (!now || *now == it->second) return true;
  const bool abort = AbortFlag;
  const bool yes =
      AskYesNo(NameText(fileName) + " was changed on disk since it was read or saved here.   " +
               "overwrite ?");
  if (yes && !AbortFlag) {
    AbortFlag = abort;
    return true;
  }
  AbortFlag = true;
  ErrorMessageIfEnabled("file " + NameText(fileName) + " not saved: it was changed on disk !");
  return false;
}

void ForgetFilesOnDisk() {
  Remembered().clear();
}
