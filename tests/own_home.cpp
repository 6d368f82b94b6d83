// Linked into every test program: before main runs, HOME and the XDG folders point into a fresh
// folder under the temporary directory. Qt's settings (the file dialogs' history), the program's
// hand-off cache and whatever else a test writes "for the user" stay there, never in the real
// home, and two runs at once (or two users) never share them. Python checkers started by a test
// write no bytecode beside their scripts. The folder goes when the program ends.
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

struct OwnHome {
  std::string root;
  pid_t owner = 0;

  OwnHome() {
    std::error_code ec;
    std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    if (ec) base = "/tmp";
    std::string pattern = (base / "vuko-test-home-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return;
    root = pattern;
    owner = getpid();
    const std::filesystem::path home(root);
    for (const char* sub : {".config", ".cache", ".local/share", ".runtime"}) {
      std::filesystem::create_directories(home / sub, ec);
    }
    // Qt takes a runtime folder only when it is the user's alone.
    std::filesystem::permissions(home / ".runtime", std::filesystem::perms::owner_all, ec);
    setenv("HOME", root.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home / ".cache").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (home / ".runtime").c_str(), 1);
    setenv("PYTHONDONTWRITEBYTECODE", "1", 1);
  }

  ~OwnHome() {
    // A forked child that ends through exit() must not take the folder from its parent.
    if (root.empty() || getpid() != owner) return;
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
};

const OwnHome kOwnHome;

}  // namespace
