// The question about unsaved changes that comes before a new data set replaces the old one and
// before the program closes.
#pragma once

#include <string>

// Full name of the current data file as the question names it: the name as typed on the command
// line, else the data directory + name + "." + data-file extension.
std::string CurrentDataFileFullName();

// Asks only while DataModified is set. Result through AbortFlag (set: the caller must not go on)
// and DataModified (false once the changes are saved or dropped).
void AskSaveChanges();
