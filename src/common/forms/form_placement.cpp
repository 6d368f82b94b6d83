// Scaling and centring of dialogs over the main window.
#include "common/forms/form_placement.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLayout>
#include <QMainWindow>
#include <QPalette>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
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

// Rows a table shows without scrolling when it holds that many.
constexpr int kShownTableRows = 12;
constexpr const char* kPlacedSize = "vukoPlacedSize";
// Room a table cell leaves around its text.
constexpr int kCellMargin = 12;

QSize ScreenArea(QWidget* form) {
  if (QScreen* screen = ScreenOf(form)) return screen->availableGeometry().size();
  return {1024, 768};
}

// A table asks for the same small size whatever it holds; it is made wide enough for every
// column (a column narrower than its header or cells grows to them, one left at the default
// width takes theirs) and high enough for its first rows, within the screen (what the window
// holds beside it is taken into account by ScaleSize).
void FitTable(QTableView* view, const QSize& screen) {
  QHeaderView* header = view->horizontalHeader();
  const int columns = view->model() != nullptr ? view->model()->columnCount() : 0;
  const int rows = view->model() != nullptr ? view->model()->rowCount() : 0;
  for (int c = 0; c < columns; ++c) {
    if (view->isColumnHidden(c) || header->sectionResizeMode(c) != QHeaderView::Interactive) {
      continue;
    }
    int needed = 0;
    const QFontMetrics metrics(view->font());
    for (int r = 0; r < rows; ++r) {
      const QString text = view->model()->index(r, c).data(Qt::DisplayRole).toString();
      needed = std::max(needed, metrics.horizontalAdvance(text) + kCellMargin);
    }
    if (!header->isHidden()) needed = std::max(needed, header->sectionSizeHint(c));
    // A column nobody sized takes its content's width; one sized on purpose only grows.
    const bool unsized = view->columnWidth(c) == header->defaultSectionSize();
    if (needed > view->columnWidth(c) || (unsized && needed > 0)) view->setColumnWidth(c, needed);
  }
  const int frame = 2 * view->frameWidth();
  const int shownRows = std::min(rows, kShownTableRows);
  int width = header->length() + frame;
  if (!view->verticalHeader()->isHidden()) width += view->verticalHeader()->sizeHint().width();
  if (rows > shownRows) width += view->verticalScrollBar()->sizeHint().width();
  int height = frame + shownRows * view->verticalHeader()->defaultSectionSize();
  if (!header->isHidden()) height += header->sizeHint().height();
  view->setMinimumSize(std::min(width, screen.width()),
                       std::min(std::max(height, view->minimumHeight()), screen.height() / 2));
}

void ScaleSize(QWidget* form) {
  ScaleContents(form);
  const QSize screen = ScreenArea(form);
  const QList<QTableView*> tables = form->findChildren<QTableView*>();
  for (QTableView* view : tables) FitTable(view, screen);
  if (QLayout* layout = form->layout()) {
    layout->activate();
    // Tables that leave the window no room within the screen give up what is missing.
    for (QTableView* view : tables) {
      const int excess = form->minimumSizeHint().width() - screen.width();
      if (excess <= 0) break;
      view->setMinimumWidth(std::max(view->minimumWidth() - excess, 0));
      layout->activate();
    }
  }
  // What the content asks for, or the size the window set for itself when that is larger.
  QSize size = form->sizeHint().expandedTo(form->minimumSizeHint());
  // (A size this routine gave earlier does not count, or each call would scale it again.)
  const bool ownSize = form->property(kPlacedSize).toSize() == form->size();
  if (form->testAttribute(Qt::WA_Resized) && !ownSize) size = size.expandedTo(form->size());
  const int percent = Percent(ConfigVariables.DialogScalePercent);
  int width = size.width() * percent / 100;
  int height = size.height() * percent / 100;
  width = std::max(width, form->minimumWidth());
  height = std::max(height, form->minimumHeight());
  width = std::min(width, screen.width());
  height = std::min(height, screen.height());
  form->resize(width, height);
  form->setProperty(kPlacedSize, form->size());
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
