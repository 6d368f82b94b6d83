// The private directory of one running program for temporary files with fixed names, so that
// two running copies never collide and nobody can plant a link under those names.
#pragma once

#include <string>

namespace platform {

// Made with mkdtemp ("vuko-XXXXXX", mode 0700) inside base on the first call, or inside $TMPDIR
// or /tmp when base is empty or unusable; later calls return the same directory whatever base
// they give. Ends with "/". Removed with its content at normal program exit by the process
// that made it. Empty when no directory could be made.
std::string PrivateTempDirectory(const std::string& base);

// The directory made so far by this process (with its "/"), or empty; never makes one.
std::string ExistingPrivateTempDirectory();

// Removes the directory now (it is made again on the next call); for tests and orderly ends.
void RemovePrivateTempDirectory();

}  // namespace platform
