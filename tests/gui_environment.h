// One QApplication for a whole GUI test program (offscreen platform), and a watch that every test
// leaves nothing behind that could reach the next one: no window of its own and no pending timer.
// The test programs run whole in one process, so a timer that fires after its test has ended
// acts on objects that are gone.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <clocale>
#include <functional>
#include <string>
#include <vector>

namespace gui_test {

// Whether a font for Chinese and Korean text is installed (the set-up installs fonts-noto-cjk;
// a user's machine may lack one).
inline bool HaveCjkFont() {
  return !QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty() &&
         !QFontDatabase::families(QFontDatabase::Korean).isEmpty();
}

// The owner of the current test's timers; it dies, and with it every timer, when the test ends.
inline QPointer<QObject>& TestScope() {
  static QPointer<QObject> scope;
  return scope;
}

// Runs action once after ms milliseconds of the event loop, within the current test only.
inline void After(int ms, std::function<void()> action) {
  auto* timer = new QTimer(TestScope().data());
  timer->setSingleShot(true);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, action = std::move(action)] {
    timer->deleteLater();
    action();
  });
  timer->start(ms);
}

class LeftoverWatch : public ::testing::EmptyTestEventListener {
 public:
  void OnTestStart(const ::testing::TestInfo&) override {
    before_.clear();
    for (QWidget* w : QApplication::topLevelWidgets()) before_.push_back(w);
    TestScope() = new QObject;
  }
  void OnTestEnd(const ::testing::TestInfo&) override {
    QObject* scope = TestScope().data();
    for (const QTimer* timer : scope->findChildren<QTimer*>()) {
      if (timer->isActive()) ADD_FAILURE() << "a timer of this test is still pending";
    }
    delete scope;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (std::find(before_.begin(), before_.end(), w) == before_.end()) {
        ADD_FAILURE() << "this test left a window open: " << w->metaObject()->className() << " \""
                      << w->windowTitle().toStdString() << "\"";
      }
    }
  }

 private:
  std::vector<QPointer<QWidget>> before_;
};

class QtEnvironment : public ::testing::Environment {
 public:
  explicit QtEnvironment(const char* name) : name_(name) {}
  void SetUp() override {
    static int argc = 1;
    static char* argv[] = {name_.data(), nullptr};
    app_ = new QApplication(argc, argv);
    // As the program does: Qt takes over the user's locale, numbers stay in "C".
    std::setlocale(LC_NUMERIC, "C");
    ::testing::UnitTest::GetInstance()->listeners().Append(new LeftoverWatch);
  }
  void TearDown() override {
    delete app_;
    app_ = nullptr;
  }

 private:
  std::string name_;
  QApplication* app_ = nullptr;
};

}  // namespace gui_test
