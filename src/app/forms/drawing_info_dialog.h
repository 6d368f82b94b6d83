// The dialog of the drawing information (approval rows, "Replacement for", "Replaced by") and
// of the texts placed on the drawing.
#pragma once

#include <QDialog>
#include <QString>
#include <array>

class QLineEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

class TForm_zeichInfo : public QDialog {
  Q_OBJECT
 public:
  // The dialog, filled from the records.
  explicit TForm_zeichInfo(QWidget* parent = nullptr);

  void FormCreate();
  void ButtonDateClick(int row);
  void Button_okClick();
  void Button_cancelClick();
  void Button_helpClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void reject() override;

 private:
  QString Cell(QTableWidget* grid, int row, int column) const;
  void SetCell(QTableWidget* grid, int row, int column, const QString& text);
  void StoreDrawingTexts();
  // A separator of the data file typed into a cell is taken out again with a message.
  void CellChanged(QTableWidgetItem* item);

  QLineEdit* edit_ersatzfuer_ = nullptr;
  QLineEdit* edit_ersetztdurch_ = nullptr;
  QTableWidget* stringGrid1_ = nullptr;
  QTableWidget* stringGrid2_ = nullptr;
  std::array<QPushButton*, 4> dateButtons_{};
  QPushButton* button_ok_ = nullptr;
  QPushButton* button_cancel_ = nullptr;
  QPushButton* button_help_ = nullptr;
  // The numbers of the drawing texts as shown, to tell an untouched cell from an edited one.
  std::array<std::array<QString, 4>, 8> shownNumbers_{};
  int shownTextCount_ = 0;
};
