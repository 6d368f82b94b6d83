// The table form on the table dataset.
#include "app/forms/table_form.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/documentation_records.h"
#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/file_utils.h"
#include "common/forms/form_placement.h"
#include "common/program_state.h"
#include "xbase/work_areas.h"
#include "xbase/xb_dbf.h"
#include "xbase/xbase_errors.h"

namespace {

enum NavButton { kFirst, kPrior, kNext, kLast, kInsert, kDelete, kEdit, kPost, kCancel, kRefresh };
const char* const kNavNames[10] = {"First",  "Prior", "Next", "Last",   "Insert",
                                   "Delete", "Edit",  "Post", "Cancel", "Refresh"};
const char* const kNavGlyphs[10] = {"|<", "<", ">", ">|", "+", "-", "^", "ok", "x", "~"};

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

const WorkAreaRecord* DatasetArea() {
  return WorkAreaAt(TableDataset().WorkArea());
}

// A field's value in the grid: its bytes are DOS code page, the grid shows them converted.
std::string CellText(TXbDbf& dataset, const FieldDescriptor& f) {
  std::string text = dataset.FieldText(f.name);
  if (f.type == 'C') {
    while (!text.empty() && text.back() == ' ') text.pop_back();
  } else {
    TrimInPlace(text);
  }
  return DosToWin(text);
}

// The table's path on one line: shortened in the middle to the width the window gives it, whole
// in its tooltip. It asks for the whole path's width but needs none of it, so a long path never
// takes the window past the screen.
class PathLabel : public QLabel {
 public:
  explicit PathLabel(QWidget* parent) : QLabel(parent) {}
  void SetPath(const QString& path) {
    path_ = path;
    setToolTip(path);
    Shorten();
    updateGeometry();
  }
  QSize sizeHint() const override {
    const QMargins m = contentsMargins();
    return {fontMetrics().horizontalAdvance(path_) + m.left() + m.right(),
            QLabel::sizeHint().height()};
  }
  QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QLabel::resizeEvent(event);
    Shorten();
  }

 private:
  void Shorten() {
    setText(fontMetrics().elidedText(path_, Qt::ElideMiddle, contentsRect().width()));
  }
  QString path_;
};

}  // namespace

Tdbf4::Tdbf4(QWidget* parent) : QDialog(parent ? parent : DialogMainWindow()) {
  setObjectName("Tdbf4");
  auto label = [this](const char* name) {
    auto* l = new QLabel(this);
    l->setObjectName(name);
    return l;
  };
  label_title1_ = label("Label_title1");
  label_title2_ = label("Label_title2");
  label_filename_ = new PathLabel(this);
  label_filename_->setObjectName("Label_filename");
  label_recno_ = label("Label_recno");

  grid_ = new QTableWidget(this);
  grid_->setObjectName("XbGrid1");
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);

  navigator_ = new QWidget(this);
  navigator_->setObjectName("XbNavigator1");
  auto* navRow = new QHBoxLayout(navigator_);
  navRow->setContentsMargins(0, 0, 0, 0);
  for (int i = 0; i < 10; ++i) {
    auto* b = new QToolButton(navigator_);
    b->setObjectName(kNavNames[i]);
    b->setText(kNavGlyphs[i]);
    b->setToolTip(kNavNames[i]);
    navRow->addWidget(b);
    connect(b, &QToolButton::clicked, this, [this, i] { NavigatorClick(i); });
    navButtons_[i] = b;
  }
  navRow->addStretch(1);

  auto button = [this](const QString& text, const char* name) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(name);
    return b;
  };
  button_ok_ = button("OK", "Button_ok");
  button_ok_->setDefault(true);
  button_cancel_ = button("Cancel", "Button_cancel");
  button_search_ = button("Search", "Button_search");
  button_searchNext_ = button("Search Next", "Button_SearchNext");
  connect(button_ok_, &QPushButton::clicked, this, &Tdbf4::Button_okClick);
  connect(button_cancel_, &QPushButton::clicked, this, &Tdbf4::Button_cancelClick);
  for (QPushButton* b : {button_search_, button_searchNext_}) {
    b->setEnabled(false);
    b->setToolTip("not available");
  }

  menu_ = new QMenuBar(this);
  menu_->setObjectName("MainMenu1");
  auto unavailable = [](QAction* a) {
    a->setEnabled(false);
    a->setToolTip("not available");
    return a;
  };
  QMenu* file = menu_->addMenu("File");
  unavailable(file->addAction("Export HTML"));
  editingEntries_[0] = unavailable(file->addAction("Save As Delimited"));
  editingEntries_[1] = unavailable(file->addAction("Append dbf"));
  editingEntries_[2] = unavailable(file->addAction("Append Delimited"));
  editingEntries_[3] = unavailable(file->addAction("Print.."));
  connect(file->addAction("Exit"), &QAction::triggered, this, &Tdbf4::Button_cancelClick);
  QMenu* edit = menu_->addMenu("Edit");
  editingEntries_[4] = edit->addAction("Append");
  connect(editingEntries_[4], &QAction::triggered, this, [this] { NavigatorClick(kInsert); });
  editingEntries_[5] = edit->addAction("Pack");
  editingEntries_[5]->setObjectName("Pack");
  connect(editingEntries_[5], &QAction::triggered, this, &Tdbf4::PackClick);
  QMenu* view = menu_->addMenu("View");
  unavailable(view->addAction("Search"));
  unavailable(view->addAction("Search Next"));
  QMenu* help = menu_->addMenu("Help");
  unavailable(help->addAction("dbf Structure"));
  unavailable(help->addAction("Common"));
  unavailable(help->addAction("hilfebild"));
  titleItem_ = unavailable(help->addAction("Datei"));

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(button_ok_);
  buttons->addWidget(button_cancel_);
  buttons->addStretch(1);
  buttons->addWidget(button_search_);
  buttons->addWidget(button_searchNext_);
  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(menu_);
  layout->addWidget(label_title1_);
  layout->addWidget(label_title2_);
  layout->addWidget(label_filename_);
  layout->addWidget(grid_, 1);
  auto* navLine = new QHBoxLayout;
  navLine->addWidget(navigator_, 1);
  navLine->addWidget(label_recno_);
  layout->addLayout(navLine);
  layout->addLayout(buttons);

  connect(grid_, &QTableWidget::cellChanged, this, &Tdbf4::CellEdited);
  connect(grid_, &QTableWidget::currentCellChanged, this,
          [this](int row, int, int, int) { MoveTo(row); });
  resize(640, 400);
  InstallTableForm(this);
}

Tdbf4::~Tdbf4() {
  if (InstalledTableForm() == this) InstallTableForm(nullptr);
}

void Tdbf4::SetFileLabel(const std::string& path) {
  static_cast<PathLabel*>(label_filename_)->SetPath(Q(path));
}

void Tdbf4::SetTitles(const std::string& first, const std::string& second) {
  label_title1_->setText(Q(first));
  label_title2_->setText(Q(second));
  titleItem_->setText(Q(second));
}

void Tdbf4::Prepare(const TTableFormMode& mode) {
  setWindowTitle(Q(mode.caption));
  titleItem_->setText(Q(mode.titleMenuCaption));
  closeFlag_ = mode.closeFlag;
  editable_ = !mode.browseOnly;
  damageTold_ = false;
  for (int i = kInsert; i <= kRefresh; ++i) navButtons_[i]->setVisible(editable_);
  for (QAction* a : editingEntries_) a->setVisible(editable_);
  grid_->setEditTriggers(editable_ ? QAbstractItemView::DoubleClicked |
                                         QAbstractItemView::EditKeyPressed |
                                         QAbstractItemView::AnyKeyPressed
                                   : QAbstractItemView::NoEditTriggers);
  FillGrid();
}

void Tdbf4::ShowModal(const TTableFormMode& mode) {
  Prepare(mode);
  ScaleAndCenterForm(this);
  exec();
}

void Tdbf4::FillGrid() {
  TXbDbf& dataset = TableDataset();
  // Moving over the rows would end a pending new record anyway: it is dropped.
  if (Inserting()) {
    dataset.Cancel();
    insertRow_ = -1;
    insertTyped_ = false;
  }
  filling_ = true;
  grid_->clear();
  const WorkAreaRecord* area = DatasetArea();
  if (!dataset.Active() || !area) {
    grid_->setRowCount(0);
    grid_->setColumnCount(0);
    filling_ = false;
    return;
  }
  const std::int32_t current = dataset.RecNo();
  const std::int32_t count = dataset.GetRecordCount();
  grid_->setColumnCount(area->fieldCount);
  QStringList headers;
  for (const FieldDescriptor& f : area->fields) headers << QString::fromLatin1(f.name);
  grid_->setHorizontalHeaderLabels(headers);
  grid_->setRowCount(count);
  // Each damaged record is told once while the form is shown, when its row first shows it.
  std::vector<std::pair<std::uint16_t, std::string>> damage;
  for (std::int32_t r = 1; r <= count; ++r) {
    if (const std::uint16_t code = dataset.HoldDamage([&dataset, r] { dataset.Go(r); });
        code && !damageTold_)
      damage.emplace_back(code, XbaseErrorMessage);
    // A deleted record stays in sight, marked, until a pack removes it.
    const bool deleted = DbTableDeleted();
    grid_->setVerticalHeaderItem(
        r - 1, new QTableWidgetItem(deleted ? QString("%1 del").arg(r) : QString::number(r)));
    for (int c = 0; c < area->fieldCount; ++c) {
      auto* item = new QTableWidgetItem(Q(CellText(dataset, area->fields[c])));
      if (deleted) item->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
      grid_->setItem(r - 1, c, item);
    }
  }
  if (count > 0)
    dataset.HoldDamage([&] { dataset.Go(current >= 1 && current <= count ? current : 1); });
  filling_ = false;
  ShowCurrentRecord();
  damageTold_ = true;
  for (const auto& [code, message] : damage) SetError(code, message);
}

void Tdbf4::ShowCurrentRecord() {
  if (Inserting()) {
    label_recno_->setText("new");
    return;
  }
  TXbDbf& dataset = TableDataset();
  const std::int32_t recNo = dataset.Active() && dataset.RecordPresent() ? dataset.RecNo() : 0;
  label_recno_->setText(recNo > 0 ? QString("%1 / %2").arg(recNo).arg(dataset.GetRecordCount())
                                  : QString());
  if (recNo > 0 && recNo <= grid_->rowCount() && grid_->currentRow() != recNo - 1) {
    filling_ = true;
    grid_->setCurrentCell(recNo - 1, std::max(grid_->currentColumn(), 0));
    filling_ = false;
  }
}

void Tdbf4::MoveTo(int row) {
  if (filling_ || row < 0 || row == insertRow_) return;
  // Leaving a new record stores it when something was typed into it, as a dataset does.
  if (Inserting() && !EndInsert(false)) return;
  TXbDbf& dataset = TableDataset();
  if (!dataset.Active() || row + 1 == dataset.RecNo()) return;
  dataset.HoldDamage([&dataset, row] { dataset.Go(row + 1); });
  ShowCurrentRecord();
}

void Tdbf4::CellEdited(int row, int column) {
  if (filling_ || !editable_) return;
  TXbDbf& dataset = TableDataset();
  const WorkAreaRecord* area = DatasetArea();
  if (!dataset.Active() || !area || column >= area->fieldCount) return;
  const FieldDescriptor& f = area->fields[column];
  const std::string typed = grid_->item(row, column)->text().toStdString();
  const std::string text = WinToDos(typed);
  const bool newRecord = row == insertRow_;
  if (!newRecord && Inserting()) EndInsert(false);
  if (!newRecord) dataset.HoldDamage([&dataset, row] { dataset.Go(row + 1); });
  // What the field cannot hold is refused here, before anything reaches the table; the table
  // keeps the code page's characters only.
  const std::string foreign = FirstCharOutsideCp850(typed);
  const std::string refusal = foreign.empty()
                                  ? FieldTextRefusal(f, text)
                                  : CodePageRefusal("Field " + std::string(f.name), foreign);
  if (!refusal.empty()) {
    ErrorMessage(refusal);
  } else if (newRecord) {
    dataset.SetFieldString(f.name, text);
    insertTyped_ = true;
  } else {
    dataset.SetFieldString(f.name, text);
    dataset.Post();
  }
  // The cell shows what the record holds (a number in its width, a logical as Y or N).
  filling_ = true;
  if (QTableWidgetItem* item = grid_->item(row, column)) item->setText(Q(CellText(dataset, f)));
  filling_ = false;
}

void Tdbf4::BeginInsert() {
  TXbDbf& dataset = TableDataset();
  const WorkAreaRecord* area = DatasetArea();
  if (!editable_ || !dataset.Active() || !area || Inserting()) return;
  dataset.Insert();
  if (dataset.State() != TDataSetState::dsInsert) return;
  filling_ = true;
  insertRow_ = grid_->rowCount();
  insertTyped_ = false;
  grid_->setRowCount(insertRow_ + 1);
  grid_->setVerticalHeaderItem(insertRow_, new QTableWidgetItem("*"));
  for (int c = 0; c < area->fieldCount; ++c)
    grid_->setItem(insertRow_, c, new QTableWidgetItem(Q(CellText(dataset, area->fields[c]))));
  grid_->setCurrentCell(insertRow_, 0);
  filling_ = false;
}

bool Tdbf4::EndInsert(bool post) {
  if (!Inserting()) return true;
  TXbDbf& dataset = TableDataset();
  const bool store = post || insertTyped_;
  insertRow_ = -1;
  insertTyped_ = false;
  bool stored = true;
  if (store) {
    XbaseErrorCode = 0;
    dataset.Post();
    stored = XbaseErrorCode == 0;
  }
  dataset.Cancel();  // nothing left pending when the store failed
  FillGrid();
  return stored;
}

void Tdbf4::NavigatorClick(int button) {
  TXbDbf& dataset = TableDataset();
  if (!dataset.Active()) return;
  // Cancel and Delete drop a new record with what was typed into it.
  if ((button == kCancel || button == kDelete) && Inserting()) {
    insertTyped_ = false;
    if (button == kDelete) {
      EndInsert(false);
      ShowCurrentRecord();
      return;
    }
  }
  // Every other button first ends a pending new record.
  if (button != kInsert && button != kPost && Inserting() && !EndInsert(false)) {
    ShowCurrentRecord();
    return;
  }
  switch (button) {
    case kFirst:
      dataset.HoldDamage([&dataset] { dataset.First(); });
      break;
    case kPrior:
      dataset.HoldDamage([&dataset] { dataset.Prior(); });
      break;
    case kNext:
      dataset.HoldDamage([&dataset] { dataset.Next(); });
      break;
    case kLast:
      dataset.HoldDamage([&dataset] { dataset.Last(); });
      break;
    case kInsert:
      BeginInsert();
      break;
    case kDelete:
      DeleteClick();
      break;
    case kEdit:
      if (editable_) dataset.Edit();
      break;
    case kPost:
      if (Inserting()) {
        EndInsert(true);
      } else {
        dataset.Post();
        FillGrid();
      }
      break;
    case kCancel:
      dataset.Cancel();
      break;
    case kRefresh:
      FillGrid();
      break;
    default:
      break;
  }
  ShowCurrentRecord();
}

// Delete marks the current record, and on a marked one takes the mark away again; either after
// a question, whose No leaves the record as it is.
void Tdbf4::DeleteClick() {
  if (!editable_ || !TableDataset().RecordPresent()) return;
  const bool deleted = DbTableDeleted();
  const bool abort = AbortFlag;
  const bool yes = AskYesNo(deleted ? "Recall record?" : "Delete record?");
  AbortFlag = abort;
  if (yes) DbTableSetDeleted(!deleted);
  FillGrid();
}

void Tdbf4::PackClick() {
  TXbDbf& dataset = TableDataset();
  if (!editable_ || !dataset.Active()) return;
  if (Inserting() && !EndInsert(false)) return;
  const bool abort = AbortFlag;
  const bool yes = AskYesNo("Pack: remove the records marked deleted for good?");
  AbortFlag = abort;
  if (yes) DbTablePack();
  FillGrid();
}

void Tdbf4::Button_okClick() {
  if (Inserting() && !EndInsert(false)) return;
  TXbDbf& dataset = TableDataset();
  const int row = grid_->currentRow();
  if (dataset.Active() && row >= 0 && row + 1 != dataset.RecNo()) dataset.Go(row + 1);
  AbortFlag = false;
  accept();
}

void Tdbf4::Button_cancelClick() {
  reject();
}

void Tdbf4::reject() {
  if (Inserting()) {
    TableDataset().Cancel();
    insertRow_ = -1;
    insertTyped_ = false;
  }
  AbortFlag = true;
  QDialog::reject();
}
