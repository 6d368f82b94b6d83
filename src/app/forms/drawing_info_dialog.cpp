// The dialog of the drawing information and the drawing texts.
#include "app/forms/drawing_info_dialog.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/forms/documentation_form_texts.h"
#include "common/formatting.h"
#include "common/forms/form_placement.h"
#include "common/forms/help_buttons.h"
#include "common/program_state.h"
#include "common/system_info.h"
#include "drawings/drawing_documentation.h"

namespace {

constexpr int kReplacementLength = 15;
constexpr int kApprovalRows = 4;
constexpr int kTextColumns = 5;  // x, y, h, phi, text

// Date and name of each approval row in the drawing information.
constexpr int kApprovalItems[kApprovalRows][2] = {{kComplDate, kComplName},
                                                  {kCheckDate, kCheckName},
                                                  {kStandDate, kStandName},
                                                  {kReleaseDate, kReleaseName}};

QString NumberText(long double x) {
  return QString::fromStdString(TrimStr(RealStr6(x)));
}

long double& NumberOf(TDrawingTextRecord& r, int column) {
  switch (column) {
    case 0:
      return r.x;
    case 1:
      return r.y;
    case 2:
      return r.height;
    default:
      return r.angle;
  }
}

}  // namespace

TForm_zeichInfo::TForm_zeichInfo(QWidget* parent) : QDialog(parent) {
  setObjectName("TForm_zeichInfo");
  auto* labelFor = new QLabel(this);
  labelFor->setObjectName("Label_ersatzfuer");
  labelFor->setText(DosText("Replacement for"));
  auto* labelBy = new QLabel(this);
  labelBy->setObjectName("Label_ersetztdurch");
  labelBy->setText(DosText("Replaced by"));
  edit_ersatzfuer_ = NewLimitedEdit(this, "Edit_ersatzfuer", kReplacementLength);
  edit_ersetztdurch_ = NewLimitedEdit(this, "Edit_ersetztdurch", kReplacementLength);

  stringGrid1_ = new QTableWidget(kApprovalRows, 2, this);
  stringGrid1_->setObjectName("StringGrid1");
  stringGrid2_ = new QTableWidget(kMaxDrawingTextRecords, kTextColumns, this);
  stringGrid2_->setObjectName("StringGrid2");
  for (QTableWidget* grid : {stringGrid1_, stringGrid2_}) {
    for (int r = 0; r < grid->rowCount(); ++r) {
      for (int c = 0; c < grid->columnCount(); ++c) grid->setItem(r, c, new QTableWidgetItem);
    }
  }
  stringGrid2_->horizontalHeader()->setStretchLastSection(true);
  // Room for what is typed into the empty cells: a date, a name, a coordinate, a text.
  const QFontMetrics metrics(font());
  const int margin = 12;
  stringGrid1_->setColumnWidth(0, metrics.horizontalAdvance(QStringLiteral("00/00/0000")) + margin);
  stringGrid1_->setColumnWidth(1, metrics.horizontalAdvance(QStringLiteral("MMMMMMMMMM")) + margin);
  for (int c = 0; c < 4; ++c) {
    stringGrid2_->setColumnWidth(c, metrics.horizontalAdvance(QStringLiteral("-000.000")) + margin);
  }
  stringGrid2_->setColumnWidth(4, metrics.horizontalAdvance(QString(30, QLatin1Char('x'))));

  auto* top = new QGridLayout;
  top->addWidget(labelFor, 0, 0);
  top->addWidget(edit_ersatzfuer_, 0, 1);
  top->addWidget(labelBy, 1, 0);
  top->addWidget(edit_ersetztdurch_, 1, 1);
  auto* approvals = new QHBoxLayout;
  approvals->addWidget(stringGrid1_);
  auto* dateColumn = new QVBoxLayout;
  for (int i = 0; i < kApprovalRows; ++i) {
    auto* b = new QPushButton(this);
    b->setObjectName(QString("Button%1").arg(i + 1));
    connect(b, &QPushButton::clicked, this, [this, i] { ButtonDateClick(i + 1); });
    dateColumn->addWidget(b);
    dateButtons_[i] = b;
  }
  approvals->addLayout(dateColumn);
  button_ok_ = new QPushButton(this);
  button_ok_->setObjectName("Button_ok");
  button_cancel_ = new QPushButton(this);
  button_cancel_->setObjectName("Button_cancel");
  button_help_ = new QPushButton(this);
  button_help_->setObjectName("Button_help");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(button_ok_);
  buttons->addWidget(button_cancel_);
  buttons->addWidget(button_help_);
  auto* outer = new QVBoxLayout(this);
  outer->addLayout(top);
  outer->addLayout(approvals);
  outer->addWidget(stringGrid2_);
  outer->addLayout(buttons);

  connect(button_ok_, &QPushButton::clicked, this, [this] { Button_okClick(); });
  connect(button_cancel_, &QPushButton::clicked, this, [this] { Button_cancelClick(); });
  connect(button_help_, &QPushButton::clicked, this, [this] { Button_helpClick(); });
  FormCreate();
  RefuseSeparators(edit_ersatzfuer_, TFieldPlace::OwnLine, "Replacement for");
  RefuseSeparators(edit_ersetztdurch_, TFieldPlace::OwnLine, "Replaced by");
  for (QTableWidget* grid : {stringGrid1_, stringGrid2_}) {
    connect(grid, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem* item) { CellChanged(item); });
  }
}

void TForm_zeichInfo::CellChanged(QTableWidgetItem* item) {
  QTableWidget* grid = item->tableWidget();
  std::string field;
  TFieldPlace place = TFieldPlace::OwnLine;
  if (grid == stringGrid1_) {
    // Dates and names of the approval rows share one line of the file, joined by "|".
    place = TFieldPlace::JoinedField;
    field = "Info drawing, " + ToDos(grid->verticalHeaderItem(item->row())->text()) + " " +
            (item->column() == 0 ? "date" : "name");
  } else if (item->column() == 4) {
    // A drawing text keeps a "|" of its own; only a line break would end its line.
    field = "Drawing text " + std::to_string(item->row() + 1);
  } else {
    return;
  }
  QString text = item->text();
  if (!TakeOutSeparators(text, place, field)) return;
  const QSignalBlocker block(grid);
  item->setText(text);
}

void TForm_zeichInfo::FormCreate() {
  setWindowTitle(DosText("Info drawing"));
  button_ok_->setText("OK");
  button_ok_->setDefault(true);
  button_cancel_->setText("Cancel");
  button_help_->setText("&Help");
  const QString today = QString::fromStdString("< " + DateStr());
  for (QPushButton* b : dateButtons_) b->setText(today);

  const auto& info = ChangeRecords.drawingInfo;
  SetLimitedText(edit_ersatzfuer_, DosText(info[kReplacementFor]), kReplacementLength);
  SetLimitedText(edit_ersetztdurch_, DosText(info[kReplacedBy]), kReplacementLength);

  stringGrid1_->setHorizontalHeaderLabels({DosText("Date"), DosText("Name")});
  stringGrid1_->setVerticalHeaderLabels({DosText("Compl."), DosText("Check"), DosText("Stand."),
                                         DosText(PlotSettings.ReleaseRowLabel)});
  for (int r = 0; r < kApprovalRows; ++r) {
    for (int c = 0; c < 2; ++c) SetCell(stringGrid1_, r, c, DosText(info[kApprovalItems[r][c]]));
  }

  stringGrid2_->setHorizontalHeaderLabels({"x", "y", "h", "phi", "Text"});
  QStringList rowLabels;
  for (int r = 1; r <= kMaxDrawingTextRecords; ++r) rowLabels << QString::number(r);
  stringGrid2_->setVerticalHeaderLabels(rowLabels);
  shownTextCount_ = UsedDrawingTextCount();
  for (int r = 0; r < shownTextCount_; ++r) {
    TDrawingTextRecord& record = ChangeRecords.texts[r + 1];
    for (int c = 0; c < 4; ++c) {
      shownNumbers_[r][c] = NumberText(NumberOf(record, c));
      SetCell(stringGrid2_, r, c, shownNumbers_[r][c]);
    }
    SetCell(stringGrid2_, r, 4, DosText(record.text));
  }
}

void TForm_zeichInfo::showEvent(QShowEvent* event) {
  ScaleAndCenterForm(this);
  QDialog::showEvent(event);
}

QString TForm_zeichInfo::Cell(QTableWidget* grid, int row, int column) const {
  const QTableWidgetItem* item = grid->item(row, column);
  return item != nullptr ? item->text() : QString();
}

void TForm_zeichInfo::SetCell(QTableWidget* grid, int row, int column, const QString& text) {
  QTableWidgetItem* item = grid->item(row, column);
  if (item == nullptr) {
    item = new QTableWidgetItem;
    grid->setItem(row, column, item);
  }
  item->setText(text);
}

void TForm_zeichInfo::ButtonDateClick(int row) {
  SetCell(stringGrid1_, row - 1, 0, QString::fromStdString(DateStr()));
}

void TForm_zeichInfo::StoreDrawingTexts() {
  // Rows are taken while their text holds more than blanks; row 1 also when a later row
  // follows or when anything was entered in it, so OK adds no record nobody entered.
  auto blank = [this](int row, int column) {
    const std::string text = DelBlanks(ToDos(Cell(stringGrid2_, row, column)));
    return column == 4 ? text.empty() : StrToReal(text) == 0;
  };
  int taken = 1;
  while (taken < kMaxDrawingTextRecords && !blank(taken, 4)) ++taken;
  if (taken == 1 && blank(0, 0) && blank(0, 1) && blank(0, 2) && blank(0, 3) && blank(0, 4)) {
    taken = 0;
  }
  for (int r = 0; r < taken; ++r) {
    TDrawingTextRecord& record = ChangeRecords.texts[r + 1];
    for (int c = 0; c < 4; ++c) {
      const QString text = Cell(stringGrid2_, r, c);
      // A number shown and left alone keeps every digit it had; the grid shows fewer.
      if (r < shownTextCount_ && text == shownNumbers_[r][c]) continue;
      NumberOf(record, c) = StrToReal(text.toStdString());
    }
    record.text = ToDos(Cell(stringGrid2_, r, 4));
  }
  ChangeRecords.textCount = static_cast<std::uint16_t>(taken);
}

void TForm_zeichInfo::Button_okClick() {
  AbortFlag = false;
  auto& info = ChangeRecords.drawingInfo;
  info[kReplacementFor] = ToDos(edit_ersatzfuer_->text());
  info[kReplacedBy] = ToDos(edit_ersetztdurch_->text());
  for (int r = 0; r < kApprovalRows; ++r) {
    for (int c = 0; c < 2; ++c) info[kApprovalItems[r][c]] = ToDos(Cell(stringGrid1_, r, c));
  }
  StoreDrawingTexts();
  accept();
}

void TForm_zeichInfo::Button_cancelClick() {
  AbortFlag = true;
  QDialog::reject();
}

void TForm_zeichInfo::reject() {
  Button_cancelClick();
}

void TForm_zeichInfo::Button_helpClick() {
  ShowDialogHelpText(this, 3010);
}
