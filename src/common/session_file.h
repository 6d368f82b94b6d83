// The session file (file stem + ".cff" beside the configuration): the data directory and the
// four recently used data files, newest first.
#pragma once

#include <string>

// Full name of the session file in ConfigDirectory.
std::string SessionFileName();

// Reads the four recent files; a missing file empties them, a short file leaves the missing
// entries empty.
void ReadSession();

// Writes the session file in one piece, only when the first recent file is set (AbortFlag is
// cleared first). A recent file whose name holds a line break is dropped with a message, the
// others are written; a data directory holding one is refused: message, AbortFlag, the old file
// stays.
void WriteSession();
