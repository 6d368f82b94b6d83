// The two information windows of the Help menu: the about box with the program's name and
// version, and the system information for support. Opening either shows the maker's logo in the
// graphics window behind it.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutBox(QWidget* parent = nullptr);
  void FormCreate();

 private:
  QLabel* productName_ = nullptr;
  QLabel* label_extended_ = nullptr;
  QLabel* label_sonderversion_ = nullptr;
  QLabel* label_fileversion_ = nullptr;
  QPushButton* okButton_ = nullptr;
};

class TSysinfo : public QDialog {
  Q_OBJECT
 public:
  explicit TSysinfo(QWidget* parent = nullptr);
  void FormCreate();
  // Fills the list on the first activation; later activations leave it as it is.
  void FormActivate();

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  QPlainTextEdit* memo1_ = nullptr;
  QPushButton* okButton_ = nullptr;
  bool filled_ = false;
};

// The lines of the system information, in the order the window shows them.
std::vector<std::string> SystemInformationLines();

// Help, about: the about box, modal, freed.
void ShowAboutBox();
// Help, system info: the system information window, modal, freed.
void ShowSystemInformation();
