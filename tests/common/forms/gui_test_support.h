// Helpers of the dialog tests: a driver that acts on each modal window as it opens (the way a
// person would: look, type, press a button), key presses, and a fixture with the Qt host
// installed over a scratch directory.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "common/forms/form_placement.h"
#include "common/forms/help_buttons.h"
#include "common/forms/qt_dialog_host.h"
#include "common/io_test_support.h"
#include "common/message_list.h"
#include "common/program_state.h"

namespace gui_test {

// Acts on modal windows in the order they open: every newly opened modal window gets the next
// action. A window that opens when no action is left is recorded and rejected, so a test never
// hangs on a dialog it did not expect.
class ModalDriver {
 public:
  using Action = std::function<void(QWidget*)>;

  ModalDriver() {
    // Two drivers would race for the same window.
    EXPECT_EQ(Active(), nullptr) << "one modal driver at a time";
    Active() = this;
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
  }
  ~ModalDriver() {
    timer_.stop();
    if (Active() == this) Active() = nullptr;
  }

  ModalDriver& Then(Action action) {
    actions_.push_back(std::move(action));
    return *this;
  }
  int Remaining() const { return static_cast<int>(actions_.size()); }
  const std::vector<std::string>& Unexpected() const { return unexpected_; }

 private:
  static ModalDriver*& Active() {
    static ModalDriver* active = nullptr;
    return active;
  }
  void Poll() {
    QWidget* w = QApplication::activeModalWidget();
    if (w == nullptr || !w->isVisible() || w == last_.data()) return;
    // A window must be the active modal one at two polls in a row: between a nested box
    // closing and the next one opening, its owner is active for a moment and must not take
    // the action meant for that next box.
    if (w != candidate_.data()) {
      candidate_ = w;
      return;
    }
    candidate_ = nullptr;
    last_ = w;
    if (actions_.empty()) {
      unexpected_.push_back(w->metaObject()->className() + std::string(" \"") +
                            w->windowTitle().toStdString() + "\"");
      if (auto* d = qobject_cast<QDialog*>(w)) QTimer::singleShot(0, d, [d] { d->done(0); });
      return;
    }
    Action action = std::move(actions_.front());
    actions_.pop_front();
    // Run from the event loop, so that a window the action opens is driven too.
    QPointer<QWidget> target(w);
    QTimer::singleShot(0, w, [action, target] {
      if (target) action(target.data());
    });
  }

  QTimer timer_;
  QPointer<QWidget> last_;
  QPointer<QWidget> candidate_;
  std::deque<Action> actions_;
  std::vector<std::string> unexpected_;
};

template <class T = QWidget>
T* Child(QWidget* w, const char* name) {
  T* child = w->findChild<T*>(QString::fromUtf8(name));
  EXPECT_NE(child, nullptr) << "no " << name << " in " << w->objectName().toStdString();
  return child;
}

inline void Click(QWidget* w, const char* name) {
  if (auto* b = Child<QAbstractButton>(w, name)) b->click();
}

inline void Key(QWidget* target, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(target, &release);
}

// Types text into a line edit character by character, as the keyboard would.
inline void Type(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  edit->selectAll();
  QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
  QApplication::sendEvent(edit, &del);
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(edit, &press);
  }
}

// What a message box showed.
struct Seen {
  std::string title;
  std::string text;
};

// Action: note the box's title and text, then press its button.
inline ModalDriver::Action Note(Seen& seen, QMessageBox::StandardButton button = QMessageBox::Ok) {
  return [&seen, button](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr) << w->metaObject()->className();
    seen.title = box->windowTitle().toStdString();
    seen.text = box->text().toStdString();
    QAbstractButton* pressed = box->button(button);
    if (pressed == nullptr) {  // another box than the one expected: closed, the test fails
      ADD_FAILURE() << "no such button on \"" << seen.text << "\"";
      box->reject();
      return;
    }
    pressed->click();
  };
}

inline ModalDriver::Action Press(QMessageBox::StandardButton button) {
  return [button](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr) << w->metaObject()->className();
    box->button(button)->click();
  };
}

// The Qt host installed, program state at its defaults with the final identity, a scratch
// directory as PLT, temporary and data directory.
class QtHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    InitMessageList();
    SetProgramIdentity();
    ProgramSettings.pltDirectory = dir_.Path();
    ProgramSettings.tempDirectory = dir_.Path();
    DataDirectory = dir_.Path();
    AbortFlag = false;
    InstallQtDialogHost();
  }
  void TearDown() override {
    SetHelpImageHandler(nullptr);
    UninstallQtDialogHost();
    SetDialogMainWindow(nullptr);
  }

  io_test::ScratchDir dir_;
};

}  // namespace gui_test
