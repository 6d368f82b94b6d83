// The editable multi-line text box of every window: a paste or a drop goes in only when its
// source offers something the box can insert.
#pragma once

#include <QPlainTextEdit>

class QMimeData;

class TTextBox : public QPlainTextEdit {
 public:
  explicit TTextBox(QWidget* parent = nullptr) : QPlainTextEdit(parent) {}

 protected:
  void insertFromMimeData(const QMimeData* source) override;
};
