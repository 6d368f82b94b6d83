// Scaling and centring of dialogs over the main window.
#include "common/forms/form_placement.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QPalette>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "common/graphics_settings.h"
#include "common/program_state.h"

namespace {

QPointer<QWidget>& MainWindowSlot() {
  static QPointer<QWidget> window;
  return window;
}

bool ScalingOff() {
  return ConfigVariables.FormScalingMode == 2;
}

// A percent that is not above 0 would make the dialog vanish; it counts as 100.
int Percent(int value) {
  return value > 0 ? value : 100;
}

QScreen* ScreenOf(QWidget* form) {
  if (QWidget* main = DialogMainWindow(); main != nullptr && main->screen() != nullptr) {
    return main->screen();
  }
  if (form != nullptr && form->screen() != nullptr) return form->screen();
  return QGuiApplication::primaryScreen();
}

// The main window's font, scaled by the content percent.
void ScaleContents(QWidget* form) {
  QWidget* main = DialogMainWindow();
  QFont font = main != nullptr && main != form ? main->font() : QApplication::font();
  const int percent = Percent(ConfigVariables.ContentScalePercent);
  if (percent != 100) {
    if (font.pointSizeF() > 0) {
      font.setPointSizeF(font.pointSizeF() * percent / 100.0);
    } else if (font.pixelSize() > 0) {
      font.setPixelSize(std::max(1, font.pixelSize() * percent / 100));
    }
  }
  form->setFont(font);
}

void ScaleSize(QWidget* form) {
  ScaleContents(form);
  form->adjustSize();
  const int percent = Percent(ConfigVariables.DialogScalePercent);
  int width = form->width() * percent / 100;
  int height = form->height() * percent / 100;
  if (QScreen* screen = ScreenOf(form)) {
    const QRect avail = screen->availableGeometry();
    width = std::min(width, avail.width());
    height = std::min(height, avail.height());
  }
  width = std::max(width, form->minimumWidth());
  height = std::max(height, form->minimumHeight());
  form->resize(width, height);
}

}  // namespace

void SetDialogMainWindow(QWidget* window) {
  MainWindowSlot() = window;
}

QWidget* DialogMainWindow() {
  return MainWindowSlot().data();
}

void ScaleAndCenterForm(QWidget* form) {
  if (form == nullptr || ScalingOff()) return;
  ScaleSize(form);
  QRect area;
  if (QWidget* main = DialogMainWindow(); main != nullptr && main != form) {
    area = main->frameGeometry();
  } else if (QScreen* screen = ScreenOf(form)) {
    area = screen->availableGeometry();
  }
  const int left = std::max((area.width() - form->width()) / 2, 0) + area.left();
  const int top = std::max((area.height() - form->height()) / 2, 0) + area.top() + 20;
  form->move(left, top);
}

void ScaleAndPlaceForm(QWidget* form) {
  if (form == nullptr || ScalingOff()) return;
  ScaleSize(form);
  form->move(ConfigVariables.formLeft, ConfigVariables.formTop);
}

void ScaleForm(QWidget* form) {
  if (form == nullptr || ScalingOff()) return;
  ScaleSize(form);
}

void SetupMainWindow(QWidget* window) {
  if (window == nullptr) return;
  const int width = ProgramSettings.ScreenWidth + 1;
  const int height = ProgramSettings.ScreenHeight + 1;
  window->resize(width, height);
  if (auto* main = qobject_cast<QMainWindow*>(window); main && main->centralWidget()) {
    // The client area is the central widget; menu bar and frame come on top of it.
    if (main->layout() != nullptr) main->layout()->activate();
    const QSize client = main->centralWidget()->size();
    main->resize(width + (width - client.width()), height + (height - client.height()));
  }
  window->move(0, 0);
  const TColourRef colour = GraphicsVariables.BackgroundColour;
  QPalette palette = window->palette();
  palette.setColor(QPalette::Window, QColor(RedOf(colour), GreenOf(colour), BlueOf(colour)));
  window->setPalette(palette);
  window->setToolTipDuration(100000);
  window->setFont(QApplication::font());
}
