// Starting outside programs (plot program, word processor, browser, document programs) with
// an argument vector, never through a shell, so names with blanks or shell characters are
// passed as they are.
#pragma once

#include <string>
#include <vector>

namespace platform {

// Starts argv[0] (searched on PATH when it holds no "/") with the arguments and does not wait;
// the program runs on in its own session and leaves no zombie. 0 when it started, else the
// errno value (ENOENT when the program is not found, EACCES when it cannot be run).
int StartDetached(const std::vector<std::string>& argv);

// Starts the program and waits for it; exitCode gets its exit status (128 + signal number when
// killed). 0 when it ran, else the errno value of the start.
int RunAndWait(const std::vector<std::string>& argv, int& exitCode);

// A file name as a program argument that cannot be taken for an option: a relative name
// beginning with "-" gets "./" in front; other names pass unchanged.
std::string FileArgument(const std::string& fileName);

// True while a process of that id exists (ours or another user's); a leftover of ours named
// after a process that is gone may be removed.
bool ProcessAlive(long pid);

// Full path of a program found on PATH (or the name itself when it holds a "/" and can be run);
// empty when there is none.
std::string FindProgram(const std::string& name);

}  // namespace platform
