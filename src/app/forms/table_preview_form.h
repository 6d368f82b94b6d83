// The table preview: a grid of texts in which the user sorts rows by a column (right click on
// the header cell), searches for a text (Ctrl+F, F3 for the next hit), copies the grid to the
// spreadsheet and picks a row with one click. TForm_Suchen asks for the search text.
#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

#include "app/data_file_table.h"

class QAction;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QTableWidget;

class TForm_Suchen : public QDialog {
  Q_OBJECT
 public:
  explicit TForm_Suchen(QWidget* parent = nullptr);
  QLineEdit* Edit_suchbegriff = nullptr;
  QPushButton* Button_search = nullptr;
};

class TForm_preview : public QDialog {
  Q_OBJECT
 public:
  explicit TForm_preview(QWidget* parent = nullptr);

  void FormCreate();
  // Grid contents: row 0 the header; the column and row counts follow the grid.
  void SetGrid(const TTextGrid& grid);
  TTextGrid Grid() const;
  // Widths of single columns after SetGrid (the caller's choice).
  void SetColumnWidth(int column, int width);

  // Shows the window modally. The picked row (0: none, AbortFlag set).
  int Choose();
  int SelectedRow() const { return lastSelectedRow_; }

  void SortGridByColumn(int column);
  // Search from the row after searchStartRow_; selects the hit.
  bool SearchGrid();
  // The header column under a point of the grid's viewport (-1: none); right button only.
  void StringGrid1MouseDown(Qt::MouseButton button, const QPoint& viewportPoint);

  // Menu commands.
  void mi_editsearchClick();
  void SearchNext1Click();
  void mi_fileExportExcelClick();
  void mi_fileExitClick();
  void mi_HelpHelpClick();
  void StringGrid1SelectCell(int row, int column);

  QString SearchText() const { return searchText_; }
  void SetSearchText(const QString& text) { searchText_ = text; }

  QTableWidget* StringGrid1 = nullptr;
  QMenuBar* MainMenu1 = nullptr;
  QAction* mi_file = nullptr;
  QAction* mi_fileExportExcel = nullptr;
  QAction* mi_fileExit = nullptr;
  QAction* mi_edit = nullptr;
  QAction* mi_editsearch = nullptr;
  QAction* SearchNext1 = nullptr;
  QAction* mi_Help = nullptr;
  QAction* mi_HelpHelp = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void reject() override;

 private:
  void Search(int startRow);
  int searchStartRow_ = 0;
  QString searchText_;
  int lastSelectedRow_ = 0;
  bool filling_ = false;
};
