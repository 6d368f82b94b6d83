// The names of the files a user keeps from the current data set: one rule, whichever way the
// data file was opened (command line, open dialog, recent files, the table of data files, a save
// under a new name): "<folder of the data file>/<base name>" + suffix.
#pragma once

#include <string>

// Where the current data file lies: its absolute folder, ending in "/", and its base name. Without
// a current file: the data directory (else the working folder) and the program's file stem.
struct TDataFilePlace {
  std::string directory;
  std::string baseName;
};
TDataFilePlace DataFilePlace();
// "<folder of the data file>/<base name>": every file kept from the current data set is named
// this + its suffix (".txt", ".csv", "_picture.pdf", ...). File-system names, UTF-8.
std::string KeptFileStem();
// The current data file's whole name (absolute); empty without a current file.
std::string DataFileFullPath();
