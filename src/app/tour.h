// The demonstration tour: it loads the example joint and alternates the numbered texts of the
// demonstration file (file stem + ".dem" in the PLT directory) with real commands of the main
// menu. The user may leave it after any command that was cancelled.
//
// The demonstration file: two header lines, then four lines per text; the text of step n is
// the third line of the n-th block. The other lines are not shown.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Number of the last text shown.
extern int DemoStep;

// The commands of the tour in order: the menu item (object name of the main window's item)
// and how many texts follow it. The first entry has no command: text 1 follows the
// introduction.
struct TTourStep {
  std::string_view menuItem;
  int texts = 1;
};
const std::vector<TTourStep>& TourSteps();
// Number of texts the tour shows.
int TourTextCount();

// Full name of the demonstration file.
std::string DemoFileName();
// The text of step n, or the message that replaces it when the file is missing or ends before.
void ReadDemoText(int n, std::string& text);
// The two introduction texts, in plain message windows.
void ShowDemoIntro();
// After a cancelled command asks whether to quit (Yes ends the tour with AbortFlag set);
// then n := n + 1 and shows text n.
void ShowDemoStep(int& n);

// Runs one command of the main menu by the object name of its item.
using TTourCommandRunner = std::function<void(std::string_view menuItem)>;
// The tour of the Help menu.
void RunTour(const TTourCommandRunner& runCommand);
