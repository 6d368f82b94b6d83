// The text screen: the first 22 lines of ScreenLines in a fixed-pitch memo with OK.
#pragma once

#include <QDialog>

constexpr int kTextScreenLines = 22;

class TShowScreen : public QDialog {
  Q_OBJECT
 public:
  explicit TShowScreen(QWidget* parent = nullptr);
};

// Creates the text screen, shows it modally and frees it.
void ShowScreen();
