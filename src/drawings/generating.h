// The generating simulation: the tool block of a part inserted at the rolling positions of the
// tool on the reference circle, seen from the gear; their envelope is the generated gap.
#pragma once

#include <string>

// Name of the tool block that GenerateToothShape inserts: "WERKZS" + part number.
std::string ToolBlockName(int n);

// Inserts the tool block of part n at 2 N rolling positions (N = tooth-shape steps, 0 is
// replaced by 30 and written back). Nothing while AbortFlag is set.
void GenerateToothShape(int n);
