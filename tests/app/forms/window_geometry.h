// What a user sees of a window when it opens: every visible control inside the window's area
// and not narrower than its text, every table showing all its columns without scrolling.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTableView>
#include <QWidget>

namespace window_geometry {

inline std::string Describe(const QWidget* w, const QRect& r) {
  return (w->objectName().isEmpty() ? std::string(w->metaObject()->className())
                                    : w->objectName().toStdString()) +
         " at " + std::to_string(r.x()) + "," + std::to_string(r.y()) + " size " +
         std::to_string(r.width()) + "x" + std::to_string(r.height());
}

// The window as shown: within its screen, and its controls within it.
inline void ExpectContentVisible(QWidget& window) {
  window.show();
  QApplication::processEvents();
  const QRect area = window.rect();
  const std::string name = window.objectName().toStdString();
  if (QScreen* screen = window.screen()) {
    EXPECT_LE(window.width(), screen->availableGeometry().width()) << name;
    EXPECT_LE(window.height(), screen->availableGeometry().height()) << name;
  }
  for (QWidget* w : window.findChildren<QWidget*>()) {
    if (w->window() != &window || !w->isVisibleTo(&window)) continue;
    if (qobject_cast<QHeaderView*>(w)) continue;
    auto* label = qobject_cast<QLabel*>(w);
    auto* button = qobject_cast<QAbstractButton*>(w);
    auto* table = qobject_cast<QTableView*>(w);
    const bool control = label || button || table || qobject_cast<QLineEdit*>(w) ||
                         qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QComboBox*>(w);
    // Parts of a composite control (the editor of a spin box, a cell editor) go with it.
    if (!control || qobject_cast<QAbstractSpinBox*>(w->parentWidget()) ||
        qobject_cast<QComboBox*>(w->parentWidget())) {
      continue;
    }
    const QRect r(w->mapTo(&window, QPoint(0, 0)), w->size());
    EXPECT_TRUE(area.contains(r)) << name << ": " << Describe(w, r) << " outside " << area.width()
                                  << "x" << area.height();
    // A text is cut when the control is narrower than the text itself.
    QString text;
    if (label && !label->wordWrap() && label->pixmap().isNull()) text = label->text();
    if (button) text = button->text();
    text.remove(QLatin1Char('&'));
    if (!text.isEmpty() && !text.contains(QLatin1Char('\n'))) {
      EXPECT_GE(w->width(), w->fontMetrics().horizontalAdvance(text))
          << name << ": " << Describe(w, r) << " cuts \"" << text.toStdString() << "\"";
    }
    if (table && table->model() && table->model()->columnCount() > 0) {
      EXPECT_LE(table->horizontalHeader()->length(), table->viewport()->width())
          << name << ": " << Describe(w, r) << " hides columns; screen "
          << window.screen()->availableGeometry().width();
    }
  }
}

}  // namespace window_geometry
