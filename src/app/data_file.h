// The data file of a spline joint (extension "vuk"): the inputs of the joint, the part names,
// the drawing texts, the change records with the drawing information and the document slots,
// one value per line through the shared text channel. Only inputs are stored; loading ends
// with a fresh calculation.
//
// Failure travels through AbortFlag. A file is written under a temporary name and replaces the
// old one only when complete; a file is read completely into a scratch copy of every record it
// fills and committed only when whole, so a file that cannot be read leaves the data set as it
// was.
#pragma once

#include <string>
#include <string_view>

// Saves the data set. Empty name: save dialog (sets DataDirectory and CurrentFileName); a name
// without "." is DataDirectory + name + ".vuk"; a name with "." is used as it stands. An
// existing file is confirmed first. Cancel, refusal or a write error leaves AbortFlag set.
void SaveDataFile(std::string_view name);
// SaveDataFile without the overwrite question (Save and the save question on unsaved changes).
void SaveCurrentFile(std::string_view name);
// Loads a data set and calculates it. Empty name: open dialog (sets CurrentFileName to the
// chosen base name and DataDirectory to its directory); "null": the template file in
// DataDirectory; a name as typed on the command line (FileFromCommandLine) or a full name: that
// file. AbortFlag is false when the data set was replaced.
void LoadDataFile(std::string_view name);

// The same without name resolution, dialogs or calculation: the file written to / read from
// exactly this name. ReadDataFile commits nothing unless the whole file was read.
void WriteDataFile(const std::string& fullName);
void ReadDataFile(const std::string& fullName);
