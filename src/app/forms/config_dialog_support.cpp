// Small pieces shared by the files of the configuration dialog.
#include "app/forms/config_dialog_support.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QFontDialog>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QRadioButton>
#include <QScreen>
#include <QWidget>

#include "common/codepage.h"
#include "common/config_file.h"
#include "common/forms/form_placement.h"
#include "graphics/forms/plot_program_dialog.h"

namespace {

// The layout places the central widget; it is brought up to date before it is measured.
void UpdateLayout(QWidget* main) {
  if (main->layout() != nullptr) main->layout()->activate();
}

}  // namespace

namespace config_form {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}
QString Caption(const std::string& text) {
  return Q(DosToWin(text));
}
std::string S(const QString& text) {
  return text.toStdString();
}

QColor QtColour(TColourRef c) {
  return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}
TColourRef ColourRef(const QColor& c) {
  return RgbValue(c.red(), c.green(), c.blue());
}

void SetPanelColour(QWidget* panel, TColourRef colour) {
  QPalette p = panel->palette();
  p.setColor(QPalette::Window, QtColour(colour));
  panel->setPalette(p);
}
TColourRef PanelColour(const QWidget* panel) {
  return ColourRef(panel->palette().color(QPalette::Window));
}

void SetRadio(TRadioGroup* group, int index) {
  if (index >= 0 && index < group->Count()) {
    group->SetItemIndex(index);
    return;
  }
  const auto items = group->findChildren<QRadioButton*>();
  QButtonGroup* buttons = items.isEmpty() ? nullptr : items.first()->group();
  if (buttons) buttons->setExclusive(false);
  for (QRadioButton* b : items) b->setChecked(false);
  if (buttons) buttons->setExclusive(true);
}

QWidget* MainWindow() {
  return DialogMainWindow();
}
QSize MainClientSize(QWidget* main) {
  if (auto* mw = qobject_cast<QMainWindow*>(main); mw && mw->centralWidget()) {
    UpdateLayout(main);
    return mw->centralWidget()->size();
  }
  return main->size();
}
void SetMainClientSize(int width, int height) {
  QWidget* main = MainWindow();
  if (main == nullptr) return;
  const QSize client = MainClientSize(main);
  main->resize(width + (main->width() - client.width()),
               height + (main->height() - client.height()));
  UpdateLayout(main);
}
QSize ScreenSize() {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->size() : QSize(ScreenMetrics.width, ScreenMetrics.height);
}
void MainHeights(int& outer, int& client) {
  QWidget* main = MainWindow();
  if (main == nullptr) {
    outer = ScreenMetrics.mainWindowHeight;
    client = ScreenMetrics.mainClientHeight;
    return;
  }
  outer = main->frameGeometry().height();
  client = MainClientSize(main).height();
}

bool ChooseColour(QWidget* parent, TColourRef start, TColourRef& chosen) {
  QColorDialog dialog(QtColour(start), parent);
  dialog.setObjectName("ColorDialog1");
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted) return false;
  chosen = ColourRef(dialog.selectedColor());
  return true;
}

bool ChooseFont(QWidget* parent, QFont& font) {
  QFontDialog dialog(font, parent);
  dialog.setObjectName("FontDialog1");
  dialog.setOption(QFontDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted) return false;
  font = dialog.selectedFont();
  return true;
}

}  // namespace config_form
