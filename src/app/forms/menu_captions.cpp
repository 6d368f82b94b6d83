// Applies the vocabularies' captions to the main menu by object name.
#include "app/forms/menu_captions.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
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

// Position of the letter marked by a single "&" ("&&" is a literal ampersand); -1 when none.
int AcceleratorPosition(const QString& text) {
  for (int i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != QLatin1Char('&')) continue;
    if (text[i + 1] == QLatin1Char('&')) {
      ++i;
      continue;
    }
    return i + 1;
  }
  return -1;
}

bool CanBeAccelerator(QChar c) {
  return c.unicode() < 128 && c.isLetterOrNumber();
}

// The caption an entry had before its accelerator was moved, and what it was moved to: a later
// pass (another language) starts again from the caption as designed.
constexpr char kDesignedCaption[] = "captionBeforeAcceleratorMove";
constexpr char kMovedCaption[] = "captionAfterAcceleratorMove";

void SetCaption(QAction* action, const QString& text) {
  action->setText(text);
  if (QMenu* menu = action->menu()) menu->setTitle(text);
}

// The caption with its mark moved to the first letter of it that is not taken; empty when every
// letter is taken. A caption that carries its letter behind the word ("Hub(&D)", the custom of
// scripts without Latin letters) takes any free letter there.
QString MovedAccelerator(const QString& text, int at, const QSet<QChar>& taken) {
  const bool behind = at >= 2 && at + 2 == text.size() && text[at - 2] == QLatin1Char('(') &&
                      text[at + 1] == QLatin1Char(')');
  QString plain = text;
  plain.remove(at - 1, 1);
  if (behind) plain.chop(3);
  for (int i = 0; i < plain.size(); ++i) {
    if (plain[i] == QLatin1Char('&')) {
      ++i;  // the second "&" of a literal ampersand
      continue;
    }
    const QChar c = plain[i];
    if (!CanBeAccelerator(c) || taken.contains(c.toUpper())) continue;
    if (behind) return plain + QStringLiteral("(&") + c.toUpper() + QLatin1Char(')');
    return plain.insert(i, QLatin1Char('&'));
  }
  if (behind) {
    for (char c = 'A'; c <= 'Z'; ++c) {
      if (!taken.contains(QLatin1Char(c)))
        return plain + QStringLiteral("(&") + c + QLatin1Char(')');
    }
  }
  return {};
}

// Within one menu (or the bar) the first entry with a letter keeps it; a later entry whose
// letter is taken moves its mark to the first letter of its own caption that no entry holds.
// An entry without such a letter keeps its mark: pressing the key then steps through the entries
// that share it.
void MakeAcceleratorsUnique(const QList<QAction*>& actions) {
  QSet<QChar> taken;
  QList<QAction*> clashing;
  for (QAction* action : actions) {
    if (action->isSeparator()) continue;
    const QVariant moved = action->property(kMovedCaption);
    if (moved.isValid() && moved.toString() == action->text()) {
      SetCaption(action, action->property(kDesignedCaption).toString());
    }
    const QString text = action->text();
    const int at = AcceleratorPosition(text);
    if (at < 0) continue;
    const QChar key = text[at].toUpper();
    if (taken.contains(key)) {
      clashing.append(action);
    } else {
      taken.insert(key);
    }
  }
  for (QAction* action : clashing) {
    const QString text = action->text();
    const QString moved = MovedAccelerator(text, AcceleratorPosition(text), taken);
    if (moved.isEmpty()) continue;
    taken.insert(moved[AcceleratorPosition(moved)].toUpper());
    action->setProperty(kDesignedCaption, text);
    action->setProperty(kMovedCaption, moved);
    SetCaption(action, moved);
  }
  for (QAction* action : actions) {
    if (QMenu* menu = action->menu()) MakeAcceleratorsUnique(menu->actions());
  }
}

}  // namespace

void MakeMenuAcceleratorsUnique(QMenuBar& menuBar) {
  MakeAcceleratorsUnique(menuBar.actions());
}

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
  MakeMenuAcceleratorsUnique(menuBar);
}

bool SetLanguage(QMenuBar& menuBar, int code) {
  if (!SetLanguage(code)) return false;
  SetMenuCaptions(menuBar);
  return true;
}
