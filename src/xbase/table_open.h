// Opening a table into the current work area (closed first) and creating new tables.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "xbase/work_areas.h"

// Opens the table (extension DBF added when missing); true on success.
bool UseDbf(const std::string& fileName, bool exclusive, bool readOnly = false);
// Creates an empty table with these fields (version 0x03, or 0x83 with memo fields unless a
// version is given) and opens it; true on success.
bool CreateDbf(const std::string& fileName, const std::vector<TFieldSpec>& fields,
               std::uint8_t version = 0, bool exclusive = true);
