// Puts the captions of the current menu vocabularies on a Qt main menu: every menu and item is
// found by its object name ("mi_..."); items the vocabularies do not set keep their captions.
#pragma once

class QMenuBar;

// The captions of the current vocabularies onto the menu bar's menus and items, then
// MakeMenuAcceleratorsUnique.
void SetMenuCaptions(QMenuBar& menuBar);

// Within the bar and within each menu, an entry whose accelerator letter an earlier entry holds,
// or that has none, takes the first free letter of its own caption (kept when it has none).
// Run again after any caption changes.
void MakeMenuAcceleratorsUnique(QMenuBar& menuBar);

// Switches the language (LanguageCode and both vocabularies) and applies the captions. A code
// without a vocabulary changes nothing. True when switched; the caller then renews its title.
bool SetLanguage(QMenuBar& menuBar, int code);
