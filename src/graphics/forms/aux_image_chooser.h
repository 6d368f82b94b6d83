// The chooser of the auxiliary images: a drop-down list of the images and action lines, arrow
// buttons that step through it, and buttons for the list maintenance.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QComboBox;
class QToolButton;

class TForm_hilfebild : public QDialog {
  Q_OBJECT
 public:
  explicit TForm_hilfebild(QWidget* parent = nullptr);
  ~TForm_hilfebild() override;

  int count = 1;  // entries of ScreenLines shown
  // The lines to show instead, already in UTF-8 (the list's file names are no DOS text).
  std::vector<std::string> shownLines;
  int selected = 1;        // 1-based
  int AuxImageAction = 0;  // 0 show or OK, 1 new, 2 insert, 3 delete, 9 modify
  bool okPressed = false;

  void FormShow();
  void ListBox1Change(int index);
  void SpinButton1UpClick();
  void SpinButton1DownClick();
  void Button_okClick();
  void Button_neuClick() { CloseWithAction(1); }
  void Button_einfuegenClick() { CloseWithAction(2); }
  void Button_loeschenClick() { CloseWithAction(3); }
  void Button_aendernClick() { CloseWithAction(9); }
  void Button_helpClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void CloseWithAction(int action);
  void Step(int delta);
  bool updating_ = true;
  QComboBox* list_ = nullptr;
};

// Makes the auxiliary image command use this dialog.
void InstallQtAuxImageChooser();
