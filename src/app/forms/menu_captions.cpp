// Applies the vocabularies' captions to the main menu by object name.
#include "app/forms/menu_captions.h"

#include <QAction>
#include <QHash>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QString>
#include <algorithm>

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

// The caption with its mark moved to the first letter of it that is not taken (at < 0: a caption
// without a mark gets one); empty when every letter is taken. A caption that carries its letter
// behind the word ("Hub(&D)", the custom of scripts without Latin letters), or has no Latin
// letter at all, takes any free letter there.
QString MovedAccelerator(const QString& text, int at, const QSet<QChar>& taken) {
  const bool marked = at >= 1;
  bool behind = marked && at >= 2 && at + 2 == text.size() && text[at - 2] == QLatin1Char('(') &&
                text[at + 1] == QLatin1Char(')');
  QString plain = text;
  if (marked) plain.remove(at - 1, 1);
  if (behind) plain.chop(3);
  if (!marked) behind = std::none_of(plain.begin(), plain.end(), CanBeAccelerator);
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

void MoveCaption(QAction* action, const QString& moved) {
  action->setProperty(kDesignedCaption, action->text());
  action->setProperty(kMovedCaption, moved);
  SetCaption(action, moved);
}

// Within one menu (or the bar) the first entry with a letter keeps it; a later entry whose
// letter is taken, or that has none, gets the first letter of its own caption that no entry
// holds. When its caption has no such letter ("Quick" beside "Quick 3"), the holder of its letter
// moves instead if it can. Otherwise it keeps its caption: pressing the key then steps through the
// entries that share it.
void MakeAcceleratorsUnique(const QList<QAction*>& actions) {
  QHash<QChar, QAction*> holders;
  QSet<QChar> taken;
  QList<QAction*> clashing;
  for (QAction* action : actions) {
    if (action->isSeparator()) continue;
    const QVariant moved = action->property(kMovedCaption);
    if (moved.isValid() && moved.toString() == action->text()) {
      SetCaption(action, action->property(kDesignedCaption).toString());
    }
    const QString text = action->text();
    if (text.isEmpty()) continue;
    const int at = AcceleratorPosition(text);
    if (at < 0 || taken.contains(text[at].toUpper())) {
      clashing.append(action);
    } else {
      taken.insert(text[at].toUpper());
      holders.insert(text[at].toUpper(), action);
    }
  }
  for (QAction* action : clashing) {
    const QString text = action->text();
    const int at = AcceleratorPosition(text);
    const QString moved = MovedAccelerator(text, at, taken);
    if (!moved.isEmpty()) {
      const QChar key = moved[AcceleratorPosition(moved)].toUpper();
      taken.insert(key);
      holders.insert(key, action);
      MoveCaption(action, moved);
      continue;
    }
    if (at < 0) continue;
    QAction* holder = holders.value(text[at].toUpper());
    const QString holderMoved =
        MovedAccelerator(holder->text(), AcceleratorPosition(holder->text()), taken);
    if (holderMoved.isEmpty()) continue;
    const QChar key = holderMoved[AcceleratorPosition(holderMoved)].toUpper();
    taken.insert(key);
    holders.insert(key, holder);
    holders.insert(text[at].toUpper(), action);
    MoveCaption(holder, holderMoved);
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
