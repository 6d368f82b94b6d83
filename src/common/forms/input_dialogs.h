// The four input forms behind the choice, yes/no and text routines. Each is built from a request
// of the dialog host (texts already in UTF-8), shown modally by the Qt host and read back after
// it was accepted. Cancel, Escape and closing the window reject the form.
#pragma once

#include <QDialog>
#include <string>

#include "common/dialog_host.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// Choice among 8 entries or more: a list. OK, Enter and a double click take the entry.
class Tin_codedialog : public QDialog {
  Q_OBJECT
 public:
  explicit Tin_codedialog(const TChoiceRequest& request, QWidget* parent = nullptr);
  int Selected() const;  // 0-based

 private:
  QListWidget* list_ = nullptr;
};

// Choice among up to 7 entries: a radio group.
class Tin_radiodialog : public QDialog {
  Q_OBJECT
 public:
  explicit Tin_radiodialog(const TChoiceRequest& request, QWidget* parent = nullptr);
  int Selected() const;  // 0-based

 private:
  QButtonGroup* group_ = nullptr;
};

// Yes or no: the radio group "Select" with "&Yes" and "&No".
class Tin_janeindialog : public QDialog {
  Q_OBJECT
 public:
  explicit Tin_janeindialog(const TYesNoRequest& request, QWidget* parent = nullptr);
  bool Yes() const;

 private:
  QButtonGroup* group_ = nullptr;
};

// One line of text of at most maxLength characters.
class Tin_textdialog : public QDialog {
  Q_OBJECT
 public:
  explicit Tin_textdialog(const TTextRequest& request, QWidget* parent = nullptr);
  std::string Text() const;

 private:
  QLineEdit* edit_ = nullptr;
};
