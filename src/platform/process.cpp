// Program start through fork/exec and posix_spawn with argument vectors.
#include "platform/process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace platform {
namespace {

std::vector<char*> ArgvOf(const std::vector<std::string>& argv) {
  std::vector<char*> out;
  out.reserve(argv.size() + 1);
  for (const std::string& a : argv) out.push_back(const_cast<char*>(a.c_str()));
  out.push_back(nullptr);
  return out;
}

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string FindProgram(const std::string& name) {
  if (name.empty()) return {};
  if (name.find('/') != std::string::npos) return IsExecutableFile(name) ? name : std::string();
  const char* path = std::getenv("PATH");
  std::string list = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    const std::string dir = end > start ? list.substr(start, end - start) : std::string(".");
    const std::string candidate = dir + "/" + name;
    if (IsExecutableFile(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

int StartDetached(const std::vector<std::string>& argv) {
  if (argv.empty() || argv[0].empty()) return ENOENT;
  // Resolve before forking: the child must not allocate.
  const std::string program = FindProgram(argv[0]);
  if (program.empty()) return ENOENT;
  std::vector<char*> args = ArgvOf(argv);

  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return errno;
  const pid_t child = fork();
  if (child < 0) {
    const int err = errno;
    close(pipeFds[0]);
    close(pipeFds[1]);
    return err;
  }
  if (child == 0) {
    // First child: a new session, then a grandchild that becomes the program; the child ends
    // at once, so the program is adopted by init and never becomes our zombie.
    close(pipeFds[0]);
    setsid();
    const pid_t grandchild = fork();
    if (grandchild < 0) {
      int err = errno;
      (void)!write(pipeFds[1], &err, sizeof err);
      _exit(127);
    }
    if (grandchild == 0) {
      const int devNull = open("/dev/null", O_RDONLY);
      if (devNull >= 0) {
        dup2(devNull, STDIN_FILENO);
        if (devNull != STDIN_FILENO) close(devNull);
      }
      execve(program.c_str(), args.data(), environ);
      int err = errno;
      (void)!write(pipeFds[1], &err, sizeof err);
      _exit(127);
    }
    _exit(0);
  }
  close(pipeFds[1]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int err = 0;
  ssize_t n;
  do {
    n = read(pipeFds[0], &err, sizeof err);
  } while (n < 0 && errno == EINTR);
  close(pipeFds[0]);
  return n == static_cast<ssize_t>(sizeof err) ? err : 0;
}

int RunAndWait(const std::vector<std::string>& argv, int& exitCode) {
  exitCode = -1;
  if (argv.empty() || argv[0].empty()) return ENOENT;
  std::vector<char*> args = ArgvOf(argv);
  pid_t pid = 0;
  const int err = posix_spawnp(&pid, argv[0].c_str(), nullptr, nullptr, args.data(), environ);
  if (err != 0) return err;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return errno;
  }
  if (WIFEXITED(status)) {
    exitCode = WEXITSTATUS(status);
    // posix_spawnp reports a failed exec as exit status 127 from the child.
    if (exitCode == 127 && FindProgram(argv[0]).empty()) return ENOENT;
  } else if (WIFSIGNALED(status)) {
    exitCode = 128 + WTERMSIG(status);
  }
  return 0;
}

std::string FileArgument(const std::string& fileName) {
  if (!fileName.empty() && fileName.front() == '-') return "./" + fileName;
  return fileName;
}

bool ProcessAlive(long pid) {
  if (pid <= 0) return false;
  if (pid == static_cast<long>(getpid())) return true;
  // EPERM: it exists, only it is not ours to signal.
  return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace platform
