// The drawing documentation commands of the documentation and edit menus: the changes menu and
// its operations, the drawing information, the document slots and the drawing texts. The
// dialogs themselves live in the forms library, which installs them here; without them (batch
// runs, core tests) a dialog step is declined as Cancel would decline it.
#pragma once

#include <functional>
#include <string>
#include <vector>

// Operations of the changes menu.
constexpr int kChangeMenu = 0;
constexpr int kChangeNew = 1;
constexpr int kChangeModify = 2;
constexpr int kChangeCancel = 3;
constexpr int kChangeShow = 4;
constexpr int kChangePrintout = 5;
constexpr int kChangeDrawingInfo = 6;

// Runs one operation of the changes menu (0 offers the menu). Clears AbortFlag first; an
// operation that changed the records sets DataModified.
void ChangeCommand(int op);
// Dialog of change n (1..25): OK stores the four texts and clears AbortFlag, Cancel sets it.
void EditChangeRecord(int n);
// Dialog of the drawing information and the drawing texts; OK stores them and sets
// DataModified, Cancel sets AbortFlag.
void EditDrawingInfo();
// Drawing information and change count of a new data set; drawing texts stay.
void ClearChanges();

// Starts the program of document slot n (1..5) with the slot's file; an empty file name starts
// the program alone. A program that is not set, not found or cannot be started is reported
// with its name. A slot the user did not set in this session's dialog came from a data file:
// it starts only when the user, shown the program and its arguments, answers Yes, once per data
// file and session (without a person it does not start).
void StartDocument(int n);
// The argument list StartDocument starts: the program that opens the document (the desktop's
// default program for the Windows editors) and the file (a name beginning with "-" with "./"
// in front, so it is never an option). Empty when no program can be found.
std::vector<std::string> DocumentArguments(int n);
// Dialog of the five document slots: OK stores them and clears AbortFlag, Cancel sets it. The
// slots changed there start without a question for the rest of the session.
void EditDocumentSetup();
// Forgets which slots were set in the dialog or agreed to (a new session in tests).
void ForgetAgreedDocumentSlots();

// Dialog of the part names and Text 1, Text 2: OK stores them and clears AbortFlag, Cancel sets
// it.
void EditDrawingTexts();
// The three drawing texts of a new data set become empty; the part names stay.
void ClearDocuments();

// The dialogs, filled by the forms library (InstallDocumentationForms). Each shows its form
// modally and leaves AbortFlag as OK (false) or Cancel (true) left it.
struct TDocumentationDialogs {
  std::function<void(int n)> changeRecord;
  std::function<void()> drawingInfo;
  std::function<void()> documentSetup;
  std::function<void()> drawingTexts;
};
void InstallDocumentationDialogs(TDocumentationDialogs dialogs);

// Starts a program detached with an argument list; 0 when it started. The default goes through
// the platform layer; tests put a recorder here (an empty function restores the default).
using TProgramStarter = std::function<int(const std::vector<std::string>& argv)>;
void InstallProgramStarter(TProgramStarter starter);
