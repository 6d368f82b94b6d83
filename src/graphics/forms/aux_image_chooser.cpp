// The chooser dialog of the auxiliary images.
#include "graphics/forms/aux_image_chooser.h"

#include <QComboBox>
#include <QGridLayout>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "common/codepage.h"
#include "common/help_texts.h"
#include "common/program_state.h"
#include "graphics/aux_images.h"

namespace {

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
  auto* b = new QPushButton(QString::fromUtf8(caption), parent);
  b->setObjectName(name);
  return b;
}

}  // namespace

TForm_hilfebild::TForm_hilfebild(QWidget* parent) : QDialog(parent) {
  setObjectName("TForm_hilfebild");
  setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  list_ = new QComboBox(this);
  list_->setObjectName("ListBox1");
  auto* spin = new QWidget(this);
  spin->setObjectName("SpinButton1");
  auto* up = new QToolButton(spin);
  up->setObjectName("SpinButton1Up");
  up->setArrowType(Qt::UpArrow);
  auto* down = new QToolButton(spin);
  down->setObjectName("SpinButton1Down");
  down->setArrowType(Qt::DownArrow);
  auto* spinLayout = new QVBoxLayout(spin);
  spinLayout->setContentsMargins(0, 0, 0, 0);
  spinLayout->setSpacing(0);
  spinLayout->addWidget(up);
  spinLayout->addWidget(down);

  QPushButton* ok = Button(this, "Button_ok", "OK");
  ok->setDefault(true);
  QPushButton* help = Button(this, "Button_help", "&Help");
  QPushButton* neu = Button(this, "Button_neu", "&New");
  QPushButton* aendern = Button(this, "Button_aendern", "&Modify");
  QPushButton* einfuegen = Button(this, "Button_einfuegen", "&Insert");
  QPushButton* loeschen = Button(this, "Button_loeschen", "&Delete");

  auto* grid = new QGridLayout(this);
  grid->addWidget(list_, 0, 0, 1, 5);
  grid->addWidget(spin, 0, 5);
  grid->addWidget(ok, 1, 0);
  grid->addWidget(neu, 1, 1);
  grid->addWidget(aendern, 1, 2);
  grid->addWidget(einfuegen, 1, 3);
  grid->addWidget(loeschen, 1, 4);
  grid->addWidget(help, 1, 5);

  connect(list_, &QComboBox::currentIndexChanged, this, &TForm_hilfebild::ListBox1Change);
  connect(up, &QToolButton::clicked, this, &TForm_hilfebild::SpinButton1UpClick);
  connect(down, &QToolButton::clicked, this, &TForm_hilfebild::SpinButton1DownClick);
  connect(ok, &QPushButton::clicked, this, &TForm_hilfebild::Button_okClick);
  connect(neu, &QPushButton::clicked, this, &TForm_hilfebild::Button_neuClick);
  connect(aendern, &QPushButton::clicked, this, &TForm_hilfebild::Button_aendernClick);
  connect(einfuegen, &QPushButton::clicked, this, &TForm_hilfebild::Button_einfuegenClick);
  connect(loeschen, &QPushButton::clicked, this, &TForm_hilfebild::Button_loeschenClick);
  connect(help, &QPushButton::clicked, this, &TForm_hilfebild::Button_helpClick);
  if (ConfigVariables.formLeft > 1 || ConfigVariables.formTop > 1)
    move(ConfigVariables.formLeft, ConfigVariables.formTop);
}

TForm_hilfebild::~TForm_hilfebild() {
  // The dialog opens where it was left.
  ConfigVariables.formLeft = x();
  ConfigVariables.formTop = y();
}

void TForm_hilfebild::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void TForm_hilfebild::FormShow() {
  updating_ = true;
  list_->clear();
  for (int i = 1; i <= count && i <= kScreenLineCount; ++i) {
    // Lines made for display are shown as they are: the names in them are file names.
    const auto k = static_cast<std::size_t>(i - 1);
    list_->addItem(
        QString::fromStdString(k < shownLines.size() ? shownLines[k] : DosToWin(ScreenLines[i])));
  }
  list_->setCurrentIndex(std::clamp(selected, 1, std::max(1, count)) - 1);
  updating_ = false;
}

void TForm_hilfebild::ListBox1Change(int index) {
  if (updating_ || index < 0) return;
  selected = index + 1;
  AbortFlag = false;
  accept();
}

void TForm_hilfebild::Step(int delta) {
  if (updating_) return;
  selected = std::clamp(selected + delta, 1, std::max(1, count));
  AbortFlag = false;
  accept();
}

void TForm_hilfebild::SpinButton1UpClick() {
  Step(-1);
}
void TForm_hilfebild::SpinButton1DownClick() {
  Step(1);
}

void TForm_hilfebild::Button_okClick() {
  AbortFlag = true;
  AuxImageAction = 0;
  okPressed = true;
  accept();
}

void TForm_hilfebild::CloseWithAction(int action) {
  AuxImageAction = action;
  selected = list_->currentIndex() + 1;
  accept();
}

void TForm_hilfebild::Button_helpClick() {
  ShowHelpText(HelpNumber, 0);
  AbortFlag = false;
}

void InstallQtAuxImageChooser() {
  InstallAuxImageChooser([](const std::string& caption, const std::vector<std::string>& lines,
                            int& selected, int& action) {
    TForm_hilfebild dialog;
    dialog.setWindowTitle(QString::fromStdString(DosToWin(caption)));
    dialog.shownLines = lines;
    dialog.count = static_cast<int>(lines.size());
    dialog.selected = selected;
    const bool closedByButton = dialog.exec() == QDialog::Accepted;
    if (!closedByButton || dialog.okPressed) return false;
    selected = dialog.selected;
    action = dialog.AuxImageAction;
    return true;
  });
}
