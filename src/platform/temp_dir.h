// The private directory of one running program for temporary files with fixed names, so that
// two running copies never collide and nobody can plant a link under those names.
#pragma once

#include <string>

namespace platform {

// Made with mkdtemp ("vuko-<pid>-XXXXXX", mode 0700) inside base on the first call, or inside
// $TMPDIR or /tmp when base is empty or unusable, with an empty mark file in it at once; later
// calls return the same directory whatever base they give. Ends with "/". Removed with its content
// at normal program exit by the process that made it. Empty when no directory could be made. Making
// it first removes the folders of runs that are gone from the same place.
std::string PrivateTempDirectory(const std::string& base);

// The directory made so far by this process (with its "/"), or empty; never makes one.
std::string ExistingPrivateTempDirectory();

// Removes the directory now (it is made again on the next call); for tests and orderly ends.
void RemovePrivateTempDirectory();

// Removes the "vuko-<pid>-XXXXXX" folders of ours in base that hold the mark and whose process
// is gone (a run that was killed); folders of running programs, of other users and without the
// mark (a user's of the same shape, an older version's) stay.
void RemoveOrphanedTempDirectories(const std::string& base);

// From now on SIGTERM and SIGHUP remove the directory (its files and empty sub-folders) before
// the process ends with the signal, as it would have without us.
void RemoveTempDirectoryOnSignals();

}  // namespace platform
