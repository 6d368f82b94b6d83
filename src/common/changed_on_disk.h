// Files this instance keeps (the data file, the configuration) remembered as it last read or
// wrote them, so that a save over a file another program or instance changed since then asks
// first instead of silently replacing that other writer's work.
#pragma once

#include <string>

// Remembers the file as it is on disk now (device, inode, size, modification time, a hash of
// its content), after it was read or written completely.
void RememberFileOnDisk(const std::string& fileName);

// Before writing over fileName: true when the file is not remembered, is gone, or is still as
// remembered. Otherwise asks whether to overwrite it; Yes gives true. No, Cancel or no person to
// ask (batch) give false with AbortFlag set and a message that the file was not saved.
bool ConfirmOverwriteChangedFile(const std::string& fileName);

// Forgets every remembered file (a fresh instance, for tests).
void ForgetFilesOnDisk();
