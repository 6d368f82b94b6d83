// The small colour picker: the 16 colour numbers with their names; OK takes the selected entry,
// Cancel (or Escape) sets AbortFlag.
#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

class TForm_selectcolor : public QDialog {
  Q_OBJECT
 public:
  // The caller puts the names into ScreenLines 1 to 16 first (ColourNames).
  explicit TForm_selectcolor(QWidget* parent = nullptr);

  void FormCreate();
  void Button_okClick();
  void Button_cancelClick();

  QListWidget* ListBox_colors = nullptr;

 protected:
  void reject() override;

 private:
  QPushButton* button_ok_ = nullptr;
  QPushButton* button_cancel_ = nullptr;
};

// The picker shown modally with entry number (1 to 16) selected, none for other numbers.
// Returns the chosen number, 0 when OK is pressed without a selection; Cancel sets AbortFlag and
// returns number unchanged.
int SelectColourNumber(int number, QWidget* parent = nullptr);
