// The auxiliary image list and its command.
#include "graphics/aux_images.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "common/text_file.h"
#include "graphics/graphics_facade.h"
#include "graphics/hpgl_viewer.h"
#include "platform/file_writer.h"

extern char** environ;

const std::string kHpgl2Enter =
    "\x1B"
    "E"
    "\x1B"
    "%0B";
const std::string kHpgl2Leave =
    "\x1B"
    "%0A"
    "\x1B"
    "E";
std::string AuxPortFileOverride;

namespace {

TAuxImageChooser gChooser;

const char* const kActionLines[5] = {"-----  Append  -----", "-----  Delete  -----",
                                     "-----  Edit  ------", "-----  Insert ------",
                                     "-----  Print/Plot HP-GL/2  ------"};

// The list file split into lines (CRLF, LF or CR), empty lines dropped; entry i is line i.
std::vector<std::string> ReadListLines(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  std::vector<std::string> lines;
  std::string line;
  for (char c : all.str()) {
    if (c == '\r' || c == '\n') {
      if (!line.empty()) lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

bool WriteListLines(const std::string& fileName, const std::vector<std::string>& lines) {
  TTextFile file;
  file.Assign(fileName);
  if (file.Rewrite() != kIoOk) {
    AbortFlag = true;
    ErrorMessageIfEnabled(NameText(fileName));
    return false;
  }
  for (const auto& l : lines) file.WriteLine(l);
  if (file.Close() != kIoOk) {
    AbortFlag = true;
    ErrorMessageIfEnabled(NameText(fileName));
    return false;
  }
  return true;
}

std::string ReadWholeFile(const std::string& name, bool& ok) {
  std::ifstream in(name, std::ios::binary);
  ok = static_cast<bool>(in);
  std::ostringstream all;
  if (ok) all << in.rdbuf();
  return all.str();
}

std::string PltDir() {
  return AddBackslash(ProgramSettings.pltDirectory);
}

// Asks for a .plt file, starting in the PLT directory; its name for the list, or "" with
// AbortFlag set.
std::string ChoosePltFile() {
  std::string chosen;
  OpenFileName(PltDir() + "*.plt", "*.plt", chosen);
  if (AbortFlag) return {};
  return AuxImageListName(chosen);
}

bool IsPath(const std::string& name) {
  return name.find('/') != std::string::npos;
}

// The choice among lines already made for display (names as the file system gives them), with
// the abort convention of InputCode.
bool ChooseShownLine(std::string_view prompt, const std::vector<std::string>& lines, int& choice) {
  const int n = std::min(static_cast<int>(lines.size()), kScreenLineCount);
  if (n < 1) {
    AbortFlag = true;
    return false;
  }
  TChoiceRequest request;
  request.prompt = DosToWin(prompt);
  for (int i = 0; i < n; ++i) {
    std::string line = lines[static_cast<std::size_t>(i)];
    while (!line.empty() && line.back() == ' ') line.pop_back();
    request.entries.push_back(line);
  }
  request.selected = choice >= 1 && choice <= n ? choice - 1 : 0;
  request.helpNumber = HelpNumber;
  int selected = request.selected;
  if (!CurrentDialogHost().ChooseEntry(request, selected)) {
    AbortFlag = true;
    return false;
  }
  choice = selected >= 0 && selected < n ? selected + 1 : request.selected + 1;
  return true;
}

bool DefaultChooser(const std::string& caption, const std::vector<std::string>& lines,
                    int& selected, int& action) {
  int choice = selected;
  if (!ChooseShownLine(caption, lines, choice)) return false;
  selected = choice;
  action = kAuxShow;
  return true;
}

}  // namespace

void InstallAuxImageChooser(TAuxImageChooser chooser) {
  gChooser = std::move(chooser);
}

std::string AuxImageListFileName() {
  return FindFileIgnoringCase(PltDir() + LowerStr(ProgramIdentity.fileStem) + ".dbh");
}

std::vector<TAuxImageEntry> ParseAuxImageList(const std::string& text) {
  std::vector<TAuxImageEntry> entries;
  bool reported = false;
  auto malformed = [&] {
    if (!reported) ErrorMessageIfEnabled("DBH file error");
    reported = true;
  };
  std::vector<std::string> lines;
  std::string current;
  for (char c : text) {
    if (c == '\r' || c == '\n') {
      if (!current.empty()) lines.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) lines.push_back(current);
  for (const std::string& l : lines) {
    if (static_cast<int>(entries.size()) >= kAuxImageMax) break;
    std::size_t pos = 0;
    auto field = [&](std::string& out) {
      while (pos < l.size() && l[pos] == ' ') ++pos;
      if (pos < l.size() && l[pos] == ',') ++pos;
      if (pos >= l.size() || l[pos] != '"') {
        malformed();
        const auto end = l.find(',', pos);
        out = l.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        pos = end == std::string::npos ? l.size() : end;
        return;
      }
      ++pos;
      const auto end = l.find('"', pos);
      out = l.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
      pos = end == std::string::npos ? l.size() : end + 1;
    };
    TAuxImageEntry e;
    field(e.name);
    field(e.description);
    entries.push_back(std::move(e));
  }
  return entries;
}

std::string DbhLine(const std::string& name, const std::string& description) {
  // A double quote ends a field when the list is read back: it becomes an apostrophe.
  auto field = [](std::string text) {
    for (char& c : text)
      if (c == '"') c = '\'';
    return "\"" + text + "\"";
  };
  return field(name) + "," + field(description);
}

std::string AuxImageListName(const std::string& chosen) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path file(chosen);
  const fs::path dir = fs::weakly_canonical(file.parent_path(), ec);
  const fs::path plt =
      fs::weakly_canonical(fs::path(DelBackslash(ProgramSettings.pltDirectory)), ec);
  if (!ec && dir == plt) return ExtractBaseName(chosen);
  // From another folder the image is kept where it is, by its whole path: a bare name would
  // be looked for in the PLT directory and not found there.
  const std::string ext = LowerStr(file.extension().string());
  if (ext == ".plt") return (file.parent_path() / file.stem()).string();
  return chosen;
}

std::string AuxImageFileName(const TAuxImageEntry& entry) {
  if (IsPath(entry.name)) return entry.name;
  return LowerStr(DelBlanks(entry.name));
}

std::string AuxImagePath(const std::string& name) {
  if (IsPath(name)) {
    const std::string withExtension = FindFileIgnoringCase(name + ".plt");
    if (!FileExistsIO(withExtension) && FileExistsIO(name)) return name;
    return withExtension;
  }
  return FindFileIgnoringCase(PltDir() + LowerStr(DelBlanks(name)) + ".plt");
}

std::string AuxImageListLine(const TAuxImageEntry& entry) {
  std::string name = entry.name;
  if (name.size() < 8) name.resize(8, ' ');
  return name + ": " + entry.description;
}

std::string AuxImageShownLine(const TAuxImageEntry& entry) {
  std::string name = entry.name;
  // Padded by characters, not bytes, so that names in any script line up alike.
  std::size_t characters = 0;
  for (const char c : name)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
  if (characters < 8) name.append(8 - characters, ' ');
  return name + ": " + DosToWin(entry.description);
}

void ShowAuxImage(const std::string& name) {
  PrintSettings.PictureKind = 1;
  if (!GraphicsFacade) return;
  GraphicsFacade->GrHeader(0, 0, 160, 120);
  GraphicsFacade->GrClear();
  ShowHpglFile(AuxImagePath(name));
}

bool WriteHpgl2Enter(const std::string& port) {
  return platform::WriteWholeFile(port, kHpgl2Enter, platform::FileWriter::Mode::Append) == 0;
}

bool WriteHpgl2Leave(const std::string& port) {
  return platform::WriteWholeFile(port, kHpgl2Leave, platform::FileWriter::Mode::Append) == 0;
}

std::string AuxPortName(int port) {
  if (!AuxPortFileOverride.empty()) return AuxPortFileOverride;
  return "/dev/lp" + std::to_string(port - 1);
}

bool SendToPort(int port, const std::string& bytes) {
  const std::string name = AuxPortName(port);
  struct stat st {};
  if (!AuxPortFileOverride.empty() || stat(name.c_str(), &st) == 0) {
    if (platform::WriteWholeFile(name, bytes) != 0) {
      AbortFlag = true;
      ErrorMessageIfEnabled(NameText(name));
      return false;
    }
    return true;
  }
  // No port device: one raw job for the default print queue.
  int fds[2];
  if (pipe(fds) != 0) {
    AbortFlag = true;
    ErrorMessageIfEnabled("lp");
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
  posix_spawn_file_actions_addclose(&actions, fds[1]);
  std::vector<std::string> command = PrintQueueCommand(port);
  command.insert(command.begin() + 1, {"-o", "raw"});
  std::vector<char*> argv;
  for (std::string& a : command) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, "lp", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[0]);
  bool ok = rc == 0;
  if (ok) {
    // A reader that went away must not kill the program.
    struct sigaction ignore {
    }, old{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &old);
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = write(fds[1], bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        ok = false;
        break;
      }
      done += static_cast<std::size_t>(n);
    }
    sigaction(SIGPIPE, &old, nullptr);
  }
  close(fds[1]);
  if (rc == 0) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    ok = ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  if (!ok) {
    AbortFlag = true;
    ErrorMessageIfEnabled("lp");
  }
  return ok;
}

void AuxImagesMenu() {
  static int current = 1;
  bool firstPass = true;
  for (;;) {
    AbortFlag = false;
    std::string listName = AuxImageListFileName();
    if (!FileExistsIO(listName)) {
      std::string chosen;
      OpenFileName(PltDir() + "*.plt", "*.plt", chosen);
      if (AbortFlag) return;
      ProgramSettings.pltDirectory = DelBackslash(DirPart(chosen));
      listName = AuxImageListFileName();
    }
    const std::vector<std::string> rawLines =
        FileExistsIO(listName) ? ReadListLines(listName) : std::vector<std::string>{};
    std::string text;
    for (const auto& l : rawLines) text += l + "\n";
    const std::vector<TAuxImageEntry> entries = ParseAuxImageList(text);
    const int n = static_cast<int>(entries.size());
    // The names are file names, held as the file system gives them: the chooser shows lines
    // made for display, not the DOS-code-page screen lines.
    std::vector<std::string> shown;
    for (int i = 1; i <= n; ++i) {
      ScreenLines[i] = AuxImageListLine(entries[i - 1]);
      shown.push_back(AuxImageShownLine(entries[i - 1]));
    }
    for (int k = 0; k < 5; ++k) {
      ScreenLines[n + 1 + k] = kActionLines[k];
      shown.push_back(kActionLines[k]);
    }
    HelpNumber = 2300;

    int selected = current;
    int action = kAuxShow;
    if (firstPass && n > 0) {
      selected = 1;
    } else {
      if (selected < 1 || selected > n + 5) selected = 1;
      const std::string caption = ProgramIdentity.programName + " " + "Auxiliary Images";
      const bool chosen = gChooser ? gChooser(caption, shown, selected, action)
                                   : DefaultChooser(caption, shown, selected, action);
      if (!chosen) {
        AbortFlag = true;
        return;
      }
    }
    firstPass = false;
    AbortFlag = false;

    // The action lines behind the entries stand for the actions without a selected line.
    int line = selected >= 1 && selected <= n ? selected : 0;
    int step = action;
    if (action == kAuxShow && selected > n) {
      static constexpr int kLineAction[5] = {kAuxNew, kAuxDelete, kAuxModify, kAuxInsert, 99};
      step = kLineAction[std::min(selected - n, 5) - 1];
      line = 0;
    }
    auto askLine = [&](const char* prompt) {
      if (line == 0) {
        int choice = 1;
        if (!ChooseShownLine(prompt, {shown.begin(), shown.begin() + n}, choice)) return false;
        line = choice;
      }
      return line >= 1 && line <= n;
    };

    switch (step) {
      case kAuxShow: {
        current = line;
        GraphicsFacade->GrClear();
        GraphicsFacade->GrHeader(0, 0, 160, 120);
        ShowHpglFile(AuxImagePath(entries[line - 1].name));
        if (AbortFlag || TourRunning) {
          AbortFlag = false;
          return;
        }
        break;
      }
      case kAuxNew: {
        const std::string name = ChoosePltFile();
        if (AbortFlag) return;
        HelpNumber = 2310;
        std::string description;
        InputText("Aux.Graph. Information", 50, description);
        if (AbortFlag) return;
        std::vector<std::string> lines = rawLines;
        lines.push_back(DbhLine(name, description));
        if (!WriteListLines(listName, lines)) return;
        break;
      }
      case kAuxDelete: {
        HelpNumber = 2320;
        if (line != 0) {
          if (!AskYesNo("Delete ?")) return;
        } else if (!askLine("Select line to delete...")) {
          return;
        }
        std::vector<std::string> lines = rawLines;
        lines.erase(lines.begin() + (line - 1));
        if (!WriteListLines(listName, lines)) return;
        break;
      }
      case kAuxModify: {
        if (!askLine("Select line to modify...")) return;
        std::string name = AuxImageFileName(entries[line - 1]);
        InputName("File name (without extension .plt)", 255, name);
        if (AbortFlag) return;
        std::string description = entries[line - 1].description.substr(0, 50);
        InputText("Aux.Graph. Information", 50, description);
        if (AbortFlag) return;
        std::vector<std::string> lines = rawLines;
        lines[line - 1] = DbhLine(name, description);
        if (!WriteListLines(listName, lines)) return;
        break;
      }
      case kAuxInsert: {
        if (!askLine("Insert before which line ?")) return;
        const std::string name = ChoosePltFile();
        if (AbortFlag) return;
        std::string description;
        InputText("Aux.Graph. Information", 50, description);
        if (AbortFlag) return;
        std::vector<std::string> lines = rawLines;
        lines.insert(lines.begin() + (line - 1), DbhLine(name, description));
        if (!WriteListLines(listName, lines)) return;
        break;
      }
      case 99: {
        if (!askLine("Which drawing to plot ?")) return;
        std::int32_t port = 1;
        InputLongint("printer port (max = 3, default=1)", port, 1, 3);
        if (AbortFlag) return;
        const bool switching = AskYesNo("Insert HP-GL/2 switching command ?");
        if (AbortFlag) return;
        const std::string image = AuxImagePath(entries[line - 1].name);
        GraphicsFacade->CheckFileFound(image);
        if (AbortFlag) return;
        bool ok = false;
        const std::string content = ReadWholeFile(image, ok);
        std::string bytes;
        if (switching) bytes += kHpgl2Enter;
        bytes += content;
        if (switching) bytes += kHpgl2Leave;
        if (!SendToPort(port, bytes)) return;
        break;
      }
      default:
        return;
    }
  }
}
