// The explanation window of a calculation message: the message, its origin and its remedy from
// the explanation file; origin and remedy may be edited and are then saved on request.
#pragma once

#include <QDialog>
#include <string>

class QLineEdit;
class QPlainTextEdit;

class Thelperr : public QDialog {
  Q_OBJECT
 public:
  explicit Thelperr(QWidget* parent = nullptr);

  // Texts in UTF-8; the changed flag starts clear.
  void SetTexts(const std::string& message, const std::string& origin, const std::string& remedy);
  bool Changed() const { return changed_; }

  void Button_okClick();
  void Button_helpClick();
  // Escape and closing the window: the same question as OK when something was changed.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // Asks "Save Changes ?" when something was changed; false when the user cancelled the question
  // and the window stays open.
  bool SaveIfWanted();

  QLineEdit* message_ = nullptr;
  QPlainTextEdit* origin_ = nullptr;
  QPlainTextEdit* remedy_ = nullptr;
  bool changed_ = false;
  bool filling_ = false;
};

// Fills and shows the window modally (texts in the DOS code page); the error-box hook of the
// message explanations.
void ShowErrorBoxWindow(const std::string& message, const std::string& origin,
                        const std::string& remedy);
