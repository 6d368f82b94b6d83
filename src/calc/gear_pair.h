// Cylindrical involute gear pair engine: the driver that runs the calculation stages in
// order on ToothingData, the input checks and the check of a given centre distance.
#pragma once

// Runs every stage on the global data set; stops after the first stage that sets
// CalcFatalFlag (and from the tip stage on, also after one that sets AbortFlag).
void CalcGearPair();
// Validates the inputs and derives module, reference diameters and limiting tooth counts.
void CheckGearInput();
// Working pressure angle and profile shift sum that an entered centre distance needs.
void CorrectCentreDistance();
