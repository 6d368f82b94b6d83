// The demonstration tour run on the main window's menu items.
#include "app/forms/tour_menu.h"

#include <QAction>
#include <QString>

#include "app/forms/main_window.h"
#include "app/tour.h"

void RunTourOnMainWindow(Thh& form) {
  RunTour([&form](std::string_view menuItem) {
    // The title names the example, not the file the tour replaced.
    UpdateTitle(form);
    QAction* item =
        form.MenuItem(QString::fromUtf8(menuItem.data(), static_cast<qsizetype>(menuItem.size())));
    // A command the window does not offer is left out; the tour goes on with its text.
    if (item && item->isEnabled()) item->trigger();
  });
  UpdateTitle(form);
}
