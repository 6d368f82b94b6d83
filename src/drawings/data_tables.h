// The spline data tables of shaft and hub for production drawings and result sheets: the data
// table, the data field, the "DIMENSIONS" table and the "Dimensions of tool" table. Each is
// drawn at the current CAD target with its top left corner at (x, y) and text height h.
#pragma once

#include <string>

#include "drawings/sheet_layout.h"

// Seven rows: module, pressure angle, teeth, profile shift, tooth depth, the span (shaft) or
// the nominal dimension between pins (hub), and the complementary part. A part other than 1
// or 2 posts "Error Radnr !" and draws nothing.
void SplineDataTable(int part, long double x, long double y, long double h);
// The data field of a production drawing: teeth, module, pressure angle, diameters, tooth
// thickness or gap, span, pin diameter and dimension over or between pins. A part other than
// 1 or 2 posts "Error Radnr !" and draws nothing.
void SplineDataField(int part, long double x, long double y, long double h);
// A diameter as a dimension on the drawing shows it: the data field's text of the value (its
// decimals, the unit system) without blanks and without trailing zeros.
std::string DiameterDimensionText(long double mm);
// Two-column (shaft, hub) table of the joint's dimensions.
void DimensionsTable(long double x, long double y, long double h);
// Two-column (shaft, hub) table of the tool's dimensions.
void ToolDimensionsTable(long double x, long double y, long double h);

// Extents of the data field, the "DIMENSIONS" table and the "Dimensions of tool" table drawn
// with the same arguments.
TSheetBox SplineDataFieldBox(long double x, long double y, long double h);
TSheetBox DimensionsTableBox(long double x, long double y, long double h);
TSheetBox ToolDimensionsTableBox(long double x, long double y, long double h);

// Title of both data tables of a part: "External involute spline " (1) or "Internal involute
// spline " (2) + drawing number + " (" + drawing name + ")".
std::string SplineTableTitle(int part);
