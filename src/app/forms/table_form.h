// The table form: one dBASE table in a grid with a record navigator, titles and the table's
// file name; OK returns with the chosen record current, Cancel sets AbortFlag. The print presets
// show their table in it.
#pragma once

#include <QDialog>

#include "app/print_presets.h"

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QTableWidget;
class QToolButton;

class Tdbf4 : public QDialog, public TTableForm {
  Q_OBJECT
 public:
  explicit Tdbf4(QWidget* parent = nullptr);
  ~Tdbf4() override;

  void SetFileLabel(const std::string& path) override;
  void SetTitles(const std::string& first, const std::string& second) override;
  void ShowModal(const TTableFormMode& mode) override;

  // Applies a mode's look and fills the grid from the dataset (ShowModal does this first).
  void Prepare(const TTableFormMode& mode);
  bool CloseFlag() const { return closeFlag_; }

  void Button_okClick();
  void Button_cancelClick();

 protected:
  void reject() override;

 private:
  void FillGrid();
  void ShowCurrentRecord();
  void MoveTo(int row);
  void CellEdited(int row, int column);
  void NavigatorClick(int button);
  void DeleteClick();
  void PackClick();
  // "+": a new empty row for a record that only Post stores; Cancel takes the row away again.
  void BeginInsert();
  // Ends a pending new record: stored when anything was typed into it (or when post is set),
  // dropped otherwise. False when storing it failed.
  bool EndInsert(bool post);
  bool Inserting() const { return insertRow_ >= 0; }

  QLabel* label_title1_ = nullptr;
  QLabel* label_title2_ = nullptr;
  QLabel* label_filename_ = nullptr;
  QLabel* label_recno_ = nullptr;
  QTableWidget* grid_ = nullptr;
  QWidget* navigator_ = nullptr;
  QToolButton* navButtons_[10] = {};
  QPushButton* button_ok_ = nullptr;
  QPushButton* button_cancel_ = nullptr;
  QPushButton* button_search_ = nullptr;
  QPushButton* button_searchNext_ = nullptr;
  QMenuBar* menu_ = nullptr;
  QAction* titleItem_ = nullptr;
  QAction* editingEntries_[6] = {};
  bool closeFlag_ = false;
  bool filling_ = false;
  bool editable_ = false;
  bool damageTold_ = false;  // the damaged records were told in this showing
  int insertRow_ = -1;  // grid row of the pending new record, -1 when none
  bool insertTyped_ = false;
};
