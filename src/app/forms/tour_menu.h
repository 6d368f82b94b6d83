// The demonstration tour on the main window: each command of the tour is the main window's
// menu item of that name, triggered as if the user chose it.
#pragma once

class Thh;

void RunTourOnMainWindow(Thh& form);
