// File, Open (Table) on the main window: the table of data files shown in the table preview.
#pragma once

class Thh;

// Runs the table command with the main window's caption, title, menu words and result picture.
void ShowDataFileTable(Thh& form);
