// The text-file viewer of result listings: shows the display copy ("outwin.txt"), prints the
// listing itself, exports the shown text to the desktop's text editor, and keeps its position
// and size across openings.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QPlainTextEdit;

class TForm_showtextfile : public QDialog {
  Q_OBJECT
 public:
  explicit TForm_showtextfile(QWidget* parent = nullptr);

  // The listing that "&Print..." prints.
  void SetPrintFile(const std::string& name) { printFile_ = name; }
  // The display copy; by default "outwin.txt" in the temporary directory of the listings.
  void SetDisplayFile(const std::string& name) { displayFile_ = name; }
  const std::string& DisplayFile() const { return displayFile_; }

  void mi_exportnotepadClick();
  void mi_printClick();
  void mi_exitClick();
  void mi_selectallClick();
  void mi_copyClick();
  // Loads the display file into Memo1 and sets the caption (done when the form is shown).
  void FormShow();

  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QPlainTextEdit* memo_ = nullptr;
  std::string displayFile_;
  std::string printFile_;
  bool loaded_ = false;
};

// Shows the listing modally (the result output router's viewer).
void ShowTextFileWindow(const std::string& displayFile, const std::string& printFile);

// Opens an exported file in the text editor; true when it started. The default starts the
// desktop's program for "notepad"; tests replace it.
using TTextEditorLauncher = std::function<bool(const std::string& fileName)>;
void SetTextEditorLauncher(TTextEditorLauncher launcher);
