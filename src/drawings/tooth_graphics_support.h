// What the tooth pictures need from their driver before the tooth curves are drawn: the
// drawing values at the generating addendum modification chosen for the picture, the default
// step counts, and the tool block that the generating simulation inserts.
#pragma once

// Which generating addendum modification a picture is drawn with.
enum class TGeneratingShift { Involute, ToothShape };

// Zero step counts of the tooth graphics settings replaced by their defaults.
void ApplyToothGraphicsDefaults();

// CalcGearDiameters with the involute or the tooth-shape generating addendum modification of
// both parts, so that snGen, dfGen, daGen and dwGen match the picture.
void PrepareGeneratingDiameters(TGeneratingShift shift);

// Writes the tool block of part n ("WERKZS" + n) for the generating simulation: the profile
// without legend, in the normal or the transverse section. Call inside the blocks section,
// after PrepareGeneratingDiameters(ToothShape).
void DrawToolBlock(int n, bool transverse);
