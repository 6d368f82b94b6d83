// Where the current data file lies and what the files kept from it are called.
#include "common/kept_file_names.h"

#include <filesystem>
#include <system_error>

#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/output_router.h"
#include "common/program_state.h"

namespace {

// An absolute, lexically clean directory ending in "/"; empty stands for the working folder.
std::string AbsoluteDirectory(const std::string& dir) {
  std::error_code ec;
  const std::filesystem::path path =
      dir.empty() ? std::filesystem::current_path(ec) : std::filesystem::absolute(dir, ec);
  if (ec) return AddBackslash(dir);
  return AddBackslash(path.lexically_normal().string());
}

}  // namespace

TDataFilePlace DataFilePlace() {
  const std::string name = TrimStr(CurrentFileName);
  if (name.empty()) return {AbsoluteDirectory(TrimStr(DataDirectory)), ProgramIdentity.fileStem};
  // A whole name (a command-line file) carries its folder and extension; a base name lies in
  // the data directory.
  if (name.find('/') != std::string::npos) {
    return {AbsoluteDirectory(DirPart(name)), ExtractBaseName(name)};
  }
  if (ProgramSettings.FileFromCommandLine) return {AbsoluteDirectory(""), ExtractBaseName(name)};
  return {AbsoluteDirectory(TrimStr(DataDirectory)), name};
}

std::string KeptFileStem() {
  const TDataFilePlace place = DataFilePlace();
  return place.directory + place.baseName;
}

std::string DataFileFullPath() {
  const std::string name = TrimStr(CurrentFileName);
  if (name.empty()) return {};
  const TDataFilePlace place = DataFilePlace();
  // A command-line file is named as typed, extension included.
  if (ProgramSettings.FileFromCommandLine) {
    return place.directory + name.substr(name.find_last_of('/') + 1);
  }
  // The HTML device with a browser keeps its "htm" in the identity until the close.
  const std::string& ext =
      OutputState.browserExtension ? OutputState.savedExtension : ProgramIdentity.shortName;
  return place.directory + place.baseName + "." + ext;
}
