// The configuration menu of the tooth pictures (step counts, involute drawing element,
// generating addendum modifications, centre distance, auxiliary diameters) and the extents of
// the tooth-contact window.
#pragma once

// Menu "Configuration tooth grahics". Cancel in the main menu clears AbortFlag and returns;
// Cancel in a sub-dialog returns with AbortFlag set.
void ToothGraphicsConfig();

// Half width W of the tooth-contact window.
long double ContactViewHalfWidth();
// Bottom line B of the tooth-contact window.
long double ContactViewBottom();
// Top line T of the tooth-contact window.
long double ContactViewTop();
