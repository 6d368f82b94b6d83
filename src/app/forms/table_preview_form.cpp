// The table preview window and its search dialog.
#include "app/forms/table_preview_form.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/excel_link.h"
#include "app/languages.h"
#include "app/table_preview.h"
#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/forms/form_placement.h"
#include "common/help_texts.h"
#include "common/program_state.h"

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

constexpr int kDefaultColumns = 16;
constexpr int kHelpNumber = 3400;

}  // namespace

TForm_Suchen::TForm_Suchen(QWidget* parent) : QDialog(parent) {
  setObjectName("TForm_Suchen");
  setWindowTitle("Search");
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel("Search for", this);
  Edit_suchbegriff = new QLineEdit(this);
  Edit_suchbegriff->setObjectName("Edit_suchbegriff");
  label->setBuddy(Edit_suchbegriff);
  Button_search = new QPushButton("Search", this);
  Button_search->setObjectName("Button_search");
  Button_search->setDefault(true);
  connect(Button_search, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(label);
  layout->addWidget(Edit_suchbegriff);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button_search);
  layout->addLayout(buttons);
  // Wide enough that the title bar shows the caption whole beside its buttons.
  setMinimumWidth(std::max(280, fontMetrics().horizontalAdvance(windowTitle()) + 200));
  ScaleAndCenterForm(this);
}

TForm_preview::TForm_preview(QWidget* parent) : QDialog(parent) {
  setObjectName("TForm_preview");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  MainMenu1 = new QMenuBar(this);
  MainMenu1->setObjectName("MainMenu1");
  MainMenu1->setNativeMenuBar(false);
  layout->setMenuBar(MainMenu1);

  QMenu* file = MainMenu1->addMenu("&File");
  mi_file = file->menuAction();
  mi_file->setObjectName("mi_file");
  mi_fileExportExcel = file->addAction("Export Excel");
  mi_fileExportExcel->setObjectName("mi_fileExportExcel");
  mi_fileExit = file->addAction("E&xit");
  mi_fileExit->setObjectName("mi_fileExit");

  QMenu* edit = MainMenu1->addMenu("&Edit");
  mi_edit = edit->menuAction();
  mi_edit->setObjectName("mi_edit");
  mi_editsearch = edit->addAction("&Search");
  mi_editsearch->setObjectName("mi_editsearch");
  mi_editsearch->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  SearchNext1 = edit->addAction("Search &Next");
  SearchNext1->setObjectName("SearchNext1");
  SearchNext1->setShortcut(QKeySequence(Qt::Key_F3));

  QMenu* help = MainMenu1->addMenu("&Help");
  mi_Help = help->menuAction();
  mi_Help->setObjectName("mi_Help");
  mi_HelpHelp = help->addAction("&Help");
  mi_HelpHelp->setObjectName("mi_HelpHelp");

  StringGrid1 = new QTableWidget(this);
  StringGrid1->setObjectName("StringGrid1");
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
  StringGrid1->verticalHeader()->hide();
  StringGrid1->horizontalHeader()->setSectionsClickable(false);
  StringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  StringGrid1->horizontalHeader()->viewport()->installEventFilter(this);
  layout->addWidget(StringGrid1);

  connect(mi_fileExportExcel, &QAction::triggered, this, [this] { mi_fileExportExcelClick(); });
  connect(mi_fileExit, &QAction::triggered, this, [this] { mi_fileExitClick(); });
  connect(mi_editsearch, &QAction::triggered, this, [this] { mi_editsearchClick(); });
  connect(SearchNext1, &QAction::triggered, this, [this] { SearchNext1Click(); });
  connect(mi_HelpHelp, &QAction::triggered, this, [this] { mi_HelpHelpClick(); });
  connect(StringGrid1, &QTableWidget::cellClicked, this,
          [this](int row, int column) { StringGrid1SelectCell(row + 1, column); });
  connect(StringGrid1, &QTableWidget::cellActivated, this,
          [this](int row, int column) { StringGrid1SelectCell(row + 1, column); });
  FormCreate();
}

void TForm_preview::FormCreate() {
  resize(760, 480);
  ScaleAndCenterForm(this);
  mi_file->setText(Q(MenuTextUtf8(TMenuText::File)));
  mi_fileExit->setText(Q(MenuTextUtf8(TMenuText::Exit)));
  mi_Help->setText(Q(MenuTextUtf8(TMenuText::Help)));
  mi_HelpHelp->setText(Q(MenuTextUtf8(TMenuText::Help)));
  mi_edit->setText(Q(MenuTextUtf8(TMenuText::Edit)));
  mi_editsearch->setText("Search");
  lastSelectedRow_ = 0;
  TTextGrid grid(1, std::vector<std::string>(kDefaultColumns));
  grid[0][0] = "File";
  grid[0][1] = "Date";
  SetGrid(grid);
}

void TForm_preview::SetGrid(const TTextGrid& grid) {
  filling_ = true;
  const QSignalBlocker blocker(StringGrid1);
  int columns = 0;
  for (const auto& row : grid) columns = std::max(columns, static_cast<int>(row.size()));
  const int rows = std::max(static_cast<int>(grid.size()) - 1, 0);
  StringGrid1->clear();
  StringGrid1->setColumnCount(columns);
  StringGrid1->setRowCount(rows);
  QStringList header;
  for (int c = 0; c < columns; ++c) {
    header << (!grid.empty() && c < static_cast<int>(grid[0].size()) ? Q(grid[0][c]) : QString());
  }
  StringGrid1->setHorizontalHeaderLabels(header);
  for (int r = 0; r < rows; ++r) {
    const auto& row = grid[r + 1];
    for (int c = 0; c < static_cast<int>(row.size()); ++c) {
      StringGrid1->setItem(r, c, new QTableWidgetItem(Q(row[c])));
    }
  }
  if (columns > 0) StringGrid1->setColumnWidth(0, 120);
  if (columns > 1) StringGrid1->setColumnWidth(1, 64);
  filling_ = false;
}

TTextGrid TForm_preview::Grid() const {
  const int columns = StringGrid1->columnCount();
  TTextGrid grid(StringGrid1->rowCount() + 1, std::vector<std::string>(columns));
  for (int c = 0; c < columns; ++c) {
    const QTableWidgetItem* item = StringGrid1->horizontalHeaderItem(c);
    if (item) grid[0][c] = item->text().toStdString();
  }
  for (int r = 0; r < StringGrid1->rowCount(); ++r) {
    for (int c = 0; c < columns; ++c) {
      const QTableWidgetItem* item = StringGrid1->item(r, c);
      if (item) grid[r + 1][c] = item->text().toStdString();
    }
  }
  return grid;
}

void TForm_preview::SetColumnWidth(int column, int width) {
  StringGrid1->setColumnWidth(column, width);
}

int TForm_preview::Choose() {
  AbortFlag = true;
  if (exec() != QDialog::Accepted) {
    AbortFlag = true;
    return 0;
  }
  AbortFlag = false;
  return lastSelectedRow_;
}

void TForm_preview::SortGridByColumn(int column) {
  if (column < 0 || column >= StringGrid1->columnCount()) return;
  std::vector<int> widths;
  for (int c = 0; c < StringGrid1->columnCount(); ++c)
    widths.push_back(StringGrid1->columnWidth(c));
  const int currentRow = StringGrid1->currentRow() + 1;
  const int currentColumn = std::max(StringGrid1->currentColumn(), 0);
  TTextGrid grid = Grid();
  std::vector<int> index;
  ::SortGridByColumn(grid, column, index);
  SetGrid(grid);
  for (int c = 0; c < static_cast<int>(widths.size()); ++c)
    StringGrid1->setColumnWidth(c, widths[c]);
  // The same records stay selected and chosen.
  lastSelectedRow_ = RowOfIndex(index, lastSelectedRow_);
  const int row = RowOfIndex(index, currentRow);
  if (row > 0) {
    const QSignalBlocker blocker(StringGrid1);
    StringGrid1->setCurrentCell(row - 1, currentColumn);
  }
}

bool TForm_preview::SearchGrid() {
  int row = 0;
  int column = 0;
  const TTextGrid grid = Grid();
  const int start = searchStartRow_;
  if (!::SearchGrid(grid, searchText_.toStdString(), start, row, column)) return false;
  const QSignalBlocker blocker(StringGrid1);
  StringGrid1->setCurrentCell(row - 1, column);
  return true;
}

void TForm_preview::Search(int startRow) {
  searchStartRow_ = startRow;
  if (!SearchGrid()) ShowLongText(WinToDos(searchText_.toStdString() + " not found."));
}

void TForm_preview::StringGrid1MouseDown(Qt::MouseButton button, const QPoint& viewportPoint) {
  if (button != Qt::RightButton) return;
  QHeaderView* header = StringGrid1->horizontalHeader();
  const int column = header->logicalIndexAt(viewportPoint);
  if (column < 0) return;
  // Strictly inside the header cell: a click on a border between two columns sorts none.
  const int left = header->sectionViewportPosition(column);
  const int right = left + header->sectionSize(column);
  if (viewportPoint.x() <= left || viewportPoint.x() >= right - 1) return;
  if (viewportPoint.y() <= 0 || viewportPoint.y() >= header->height() - 1) return;
  SortGridByColumn(column);
}

void TForm_preview::mi_editsearchClick() {
  TForm_Suchen dialog(this);
  dialog.Edit_suchbegriff->setText(searchText_);
  if (dialog.exec() != QDialog::Accepted) return;
  searchText_ = dialog.Edit_suchbegriff->text();
  Search(0);
}

void TForm_preview::SearchNext1Click() {
  Search(StringGrid1->currentRow() + 1);
}

void TForm_preview::mi_fileExportExcelClick() {
  GridToExcel(Grid());
  AbortFlag = false;
}

void TForm_preview::mi_fileExitClick() {
  AbortFlag = true;
  done(QDialog::Rejected);
}

void TForm_preview::mi_HelpHelpClick() {
  ShowHelpText(kHelpNumber, kHelpTextOnly);
  AbortFlag = false;
}

void TForm_preview::StringGrid1SelectCell(int row, int /*column*/) {
  if (filling_ || row < 1 || row == lastSelectedRow_) return;
  lastSelectedRow_ = row;
  AbortFlag = false;
  done(QDialog::Accepted);
}

void TForm_preview::showEvent(QShowEvent* event) {
  setWindowTitle(Q(DosToWin(ProgramIdentity.programName) + "  " + DataDirectory));
  // Sized for the grid it holds now, not the empty one it was created with.
  ScaleAndCenterForm(this);
  QDialog::showEvent(event);
}

bool TForm_preview::eventFilter(QObject* watched, QEvent* event) {
  if (watched == StringGrid1->horizontalHeader()->viewport() &&
      event->type() == QEvent::MouseButtonPress) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    StringGrid1MouseDown(mouse->button(), mouse->position().toPoint());
    return mouse->button() == Qt::RightButton;
  }
  return QDialog::eventFilter(watched, event);
}

void TForm_preview::reject() {
  AbortFlag = true;
  QDialog::reject();
}
