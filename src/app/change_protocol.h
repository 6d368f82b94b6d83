// The text report "Protocol of changes": the drawing date and designer, the replacement texts
// and every change in use with its index, date, editor, modification and description.
#pragma once

#include <string>

// Writes the report through the output router: device 1 the screen window, 0 asks for the
// device, other values as the router numbers its devices. Cancel in the device choice ends it
// without output.
void WriteChangeProtocol(int device);

// The index of change i in the report (the title block has its own styles): the number when the
// change-index style is 1, otherwise the lower-case letter a, b, c ...
std::string ProtocolChangeIndex(int i);
