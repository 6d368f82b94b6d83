// The named tooth-profile blocks that the production drawings insert: one tooth outline
// ("EVOLV" + part), the whole wheel ("RAD" + part) and the tool with its legend ("WERKZ" +
// part) of shaft (1) and hub (2).
#pragma once

// Block names in the order ToothProfileBlocks writes them.
inline constexpr const char* kProfileBlockNames[] = {"EVOLV1", "EVOLV2", "RAD1",
                                                     "RAD2",   "WERKZ1", "WERKZ2"};

// Writes "EVOLV1", "EVOLV2", "RAD1", "RAD2" and, with mode 0, "WERKZ1" and "WERKZ2" at the
// involute generating addendum modification of the tooth-graphics settings. Mode 1 leaves out
// the tool blocks and marks each wheel with two small reference circles (colour 5, radius
// 0.15 mn: one on the pitch circle, one at the centre). Call inside the blocks section of an
// open CAD output.
void ToothProfileBlocks(int mode);
