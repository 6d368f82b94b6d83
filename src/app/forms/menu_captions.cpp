// Applies the vocabularies' captions to the main menu by object name.
#include "app/forms/menu_captions.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QString>

#include "app/languages.h"

namespace {

// Every action of the bar and of its menus at any depth, a submenu by its menu action.
void CollectActions(const QList<QAction*>& actions, QHash<QString, QAction*>& byName) {
  for (QAction* action : actions) {
    if (!action->objectName().isEmpty()) byName.insert(action->objectName(), action);
    if (QMenu* menu = action->menu()) {
      if (!menu->objectName().isEmpty()) byName.insert(menu->objectName(), menu->menuAction());
      CollectActions(menu->actions(), byName);
    }
  }
}

}  // namespace

void SetMenuCaptions(QMenuBar& menuBar) {
  QHash<QString, QAction*> byName;
  CollectActions(menuBar.actions(), byName);
  for (const TMenuCaption& caption : MenuCaptions()) {
    QAction* action = byName.value(QString::fromLatin1(caption.objectName));
    if (!action) continue;
    const QString text = QString::fromStdString(caption.caption);
    action->setText(text);
    if (QMenu* menu = action->menu()) menu->setTitle(text);
  }
}

bool SetLanguage(QMenuBar& menuBar, int code) {
  if (!SetLanguage(code)) return false;
  SetMenuCaptions(menuBar);
  return true;
}
