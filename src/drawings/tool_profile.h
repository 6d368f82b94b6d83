// One tooth of the generating rack of shaft or hub: tip radius, protuberance and main flank,
// the gear's tip chamfer, root radius and the lines between them, with the tool legend on
// request. Frame: x along the datum line, y up; the rolling line (reference circle tangent)
// is y = 0, the tip line y = -(d - dfGen)/2.
#pragma once

// transverse divides every x by cos beta (the rack in the transverse section); mode 1 adds the
// datum lines and the legend. Nothing while AbortFlag is set.
void DrawToolProfile(int n, bool transverse, int mode);
