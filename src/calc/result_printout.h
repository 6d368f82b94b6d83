// The result listing of a calculated spline joint: geometry, tool, pitches and tooth dimensions,
// measurements, then the remarks section, written through the output router to the configured
// device.
#pragma once

// Writes the listing; with a fatal calculation the message list is shown instead and nothing is
// written.
void ResultPrintout();
