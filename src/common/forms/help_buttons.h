// The two help buttons of the input dialogs: "&Help Text" shows the text of the help entry the
// caller numbered, "Aux. &Image" its picture. Whatever the help does to AbortFlag stays inside
// the help: the flag is as it was before the button was pressed.
#pragma once

#include <functional>
#include <string>

class QPushButton;
class QWidget;

// Draws the picture of help entry number; pltFile is the picture's full file name, empty when
// the entry has none. The graphics forms or the start-up fill it; until then the button shows
// the picture's name in a message box.
using THelpImageHandler = std::function<void(int number, const std::string& pltFile)>;
void SetHelpImageHandler(THelpImageHandler handler);

// Buttons named Button_hilfetext and Button_hilfebild, parented to dialog and wired to the
// entry number (0: HelpNumber at the time of the press).
QPushButton* NewHelpTextButton(QWidget* dialog, int number);
QPushButton* NewHelpImageButton(QWidget* dialog, int number);

// What the buttons do; the dialog comes to the front again afterwards.
void ShowDialogHelpText(QWidget* dialog, int number);
void ShowDialogHelpImage(QWidget* dialog, int number);

// The picture file of an entry: PLT directory + image + ".plt"; empty for "NULL" or none.
std::string HelpImageFile(int number);
