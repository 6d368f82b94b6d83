// Shared helpers of the tests that check our files with independent readers: run a command
// and collect its output and exit status, quote a path for the shell, run a Python checker,
// probe whether a reader is installed, and skip (or, under CI, fail) a test when it is not.
#pragma once

#include <gtest/gtest.h>
#include <locale.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

namespace validator_support {

struct ToolRun {
  int status = -1;  // exit status, -1 when the command could not run or did not exit
  std::string output;
};

// Runs a command through the shell; standard error joins the output unless mergeStderr is off.
inline ToolRun Execute(const std::string& command, bool mergeStderr = true) {
  ToolRun run;
  FILE* pipe = popen((mergeStderr ? command + " 2>&1" : command).c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// Runs a command (standard error joined); out holds its output, true when it ends with status 0.
inline bool RunCommand(const std::string& command, std::string& out) {
  ToolRun run = Execute(command);
  out = std::move(run.output);
  return run.status == 0;
}

inline bool CommandSucceeds(const std::string& command) {
  return Execute(command).status == 0;
}

// One word for the shell whatever the text holds: blanks, letters beyond ASCII, quotes.
inline std::string Quote(const std::string& s) {
  std::string quoted = "'";
  for (char c : s) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// A Python checker script (full path) run by the system interpreter, its output in UTF-8.
inline ToolRun Python(const std::string& script, const std::string& args) {
  return Execute("PYTHONIOENCODING=utf-8 " SYSTEM_PYTHON3 " " + Quote(script) + " " + args);
}

inline bool HavePythonModule(const std::string& module) {
  return CommandSucceeds(SYSTEM_PYTHON3 " -c 'import " + module + "'");
}

inline bool HaveEzdxf() {
  return HavePythonModule("ezdxf");
}

// The Open CASCADE IGES checker built with the tests.
inline const std::string kIgesCheck = VUKO_BINARY_DIR "/tests/tools/iges_check";

inline bool HaveOcct() {
  return std::filesystem::exists(kIgesCheck);
}

}  // namespace validator_support

// Outside CI a missing reader (font, locale) skips the test; in CI it fails it. The messages
// are streamed.
#define REQUIRE_OR_SKIP(available, failMessage, skipMessage) \
  do {                                                       \
    if (!(available)) {                                      \
      if (std::getenv("CI")) FAIL() << failMessage;          \
      GTEST_SKIP() << skipMessage;                           \
    }                                                        \
  } while (0)

namespace validator_support {

// True, with the locale's name added to missing, when this machine lacks the locale: its row
// is left out and the test ends with SKIP_MISSING_ROWS once the other rows have run.
inline bool MissingLocale(const char* name, std::string& missing) {
  const locale_t installed = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(0));
  if (installed != static_cast<locale_t>(0)) {
    freelocale(installed);
    return false;
  }
  missing += (missing.empty() ? "" : ", ") + std::string(name);
  return true;
}

}  // namespace validator_support

// The rows left out for want of a locale: skipped by name, or failed under CI.
#define SKIP_MISSING_ROWS(missing) \
  REQUIRE_OR_SKIP((missing).empty(), "not installed: " << (missing), "not installed: " << (missing))

#define REQUIRE_VALIDATOR(available, what) \
  REQUIRE_OR_SKIP(available, what << " is missing", what << " is missing")
