// The text-file viewer.
#include "common/forms/text_viewer.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <vector>

#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/file_utils.h"
#include "common/forms/form_placement.h"
#include "common/forms/text_box.h"
#include "common/forms/text_printing.h"
#include "common/graphics_settings.h"
#include "common/kept_file_names.h"
#include "common/output_router.h"
#include "common/program_state.h"
#include "common/text_file.h"
#include "platform/process.h"
#include "platform/temp_dir.h"

namespace {

TTextEditorLauncher& Launcher() {
  static TTextEditorLauncher launcher;
  return launcher;
}

bool StartTextEditor(const std::string& fileName) {
  if (Launcher()) return Launcher()(fileName);
  const std::string program = ResolveOutsideProgram("notepad");
  if (program.empty()) {
    ErrorMessageIfEnabled("notepad not found");
    return false;
  }
  if (platform::StartDetached({program, fileName}) != 0) {
    ErrorMessageIfEnabled("notepad not found");
    return false;
  }
  return true;
}

// The stored rectangle, moved back onto the screen when it lies outside (a configuration
// written on a larger desktop would otherwise open the window out of sight).
QRect VisibleRect(const TTextWindowRect& r) {
  QRect rect(r.left, r.top, r.width, r.height);
  QScreen* screen = QGuiApplication::screenAt(rect.center());
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return rect;
  const QRect avail = screen->availableGeometry();
  rect.setWidth(std::min(rect.width(), avail.width()));
  rect.setHeight(std::min(rect.height(), avail.height()));
  if (rect.right() > avail.right()) rect.moveRight(avail.right());
  if (rect.bottom() > avail.bottom()) rect.moveBottom(avail.bottom());
  if (rect.left() < avail.left()) rect.moveLeft(avail.left());
  if (rect.top() < avail.top()) rect.moveTop(avail.top());
  return rect;
}

}  // namespace

void SetTextEditorLauncher(TTextEditorLauncher launcher) {
  Launcher() = std::move(launcher);
}

TForm_showtextfile::TForm_showtextfile(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TForm_showtextfile"));
  setSizeGripEnabled(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* menuBar = new QMenuBar(this);
  menuBar->setObjectName(QStringLiteral("MainMenu1"));
  QMenu* file = menuBar->addMenu(QStringLiteral("&File"));
  auto addItem = [this](QMenu* menu, const char* name, const char* caption, auto slot) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromUtf8(name));
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  addItem(file, "mi_exportnotepad", "Export &Notepad", &TForm_showtextfile::mi_exportnotepadClick);
  QAction* wordpad = file->addAction(QStringLiteral("Export &Wordpad"));
  wordpad->setObjectName(QStringLiteral("mi_exportwordpad"));
  wordpad->setVisible(false);
  addItem(file, "mi_print", "&Print...", &TForm_showtextfile::mi_printClick);
  addItem(file, "mi_exit", "E&xit", &TForm_showtextfile::mi_exitClick);
  QMenu* edit = menuBar->addMenu(QStringLiteral("&Edit"));
  addItem(edit, "mi_selectall", "Select &All", &TForm_showtextfile::mi_selectallClick);
  addItem(edit, "mi_copy", "&Copy", &TForm_showtextfile::mi_copyClick);
  layout->setMenuBar(menuBar);

  memo_ = new TTextBox(this);
  memo_->setObjectName(QStringLiteral("Memo1"));
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  layout->addWidget(memo_);

  const TTextWindowRect& r = PrintSettings.TextWindowRect;
  if (r.width > 0 && r.height > 0) {
    setGeometry(VisibleRect(r));
  } else {
    resize(700, 440);
  }
  displayFile_ = OutputTempDirectory() + "outwin.txt";
}

namespace {

// Every character takes its cells of the listing's font, as on paper: two for an East Asian
// wide character, one for any other. The face that draws a character need not be the listing's:
// a face standing in for CJK characters has its own widths, and it may draw the blanks and signs
// of such a line too. So each character of such a line is measured where the window's own
// layout puts it, and the difference to its cells becomes its spacing.
void SpaceOutWideCharacters(QPlainTextEdit& memo) {
  const QFontMetricsF metrics(memo.font());
  const qreal cell = metrics.horizontalAdvance(QLatin1Char('M'));
  QTextDocument* document = memo.document();
  QTextCursor cursor(document);
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    const QString text = block.text();
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; })) continue;
    document->documentLayout()->blockBoundingRect(block);  // lays the line out as shown
    const QTextLine line = block.layout()->lineAt(0);
    struct Spacing {
      int at, length;  // in the line's 16-bit units
      qreal spacing;
    };
    std::vector<Spacing> spacings;  // all measured before the first change
    int at = 0;
    for (const uint code : text.toUcs4()) {
      const int length = QChar::requiresSurrogates(code) ? 2 : 1;
      const qreal drawn = line.cursorToX(at + length) - line.cursorToX(at);
      spacings.push_back({at, length, CharColumns(code) * cell - drawn});
      at += length;
    }
    for (const Spacing& s : spacings) {
      if (std::abs(s.spacing) <= 0.02) continue;
      QTextCharFormat format;
      format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
      format.setFontLetterSpacing(s.spacing);
      cursor.setPosition(block.position() + s.at);
      cursor.setPosition(block.position() + s.at + s.length, QTextCursor::KeepAnchor);
      cursor.mergeCharFormat(format);
    }
  }
  document->clearUndoRedoStacks();
}

}  // namespace

void TForm_showtextfile::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!loaded_) FormShow();
}

void TForm_showtextfile::FormShow() {
  loaded_ = true;
  memo_->setFont(PrintoutQFont());
  QFile file(QString::fromStdString(displayFile_));
  if (file.open(QIODevice::ReadOnly)) {
    QString text = QString::fromUtf8(file.readAll());
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    memo_->setPlainText(text);
    SpaceOutWideCharacters(*memo_);
  } else {
    ShowLongText(NameText(displayFile_) + " not found !");
  }
  // The shown copy lies in the run's temporary directory; the title names what it came from.
  // A file's name is shown as the file system gives it.
  const std::string dataFile = DataFileFullPath();
  setWindowTitle(QString::fromStdString(DosToWin(ProgramIdentity.programName) +
                                        (dataFile.empty() ? "" : "    " + dataFile)));
}

void TForm_showtextfile::mi_exportnotepadClick() {
  // The editor gets what the window shows, edits included. The run's own copy would go with the
  // run (and the editor may open it late): the editor's copy is kept in the hand-off directory.
  std::string target = displayFile_;
  const std::string temp = platform::ExistingPrivateTempDirectory();
  if (!temp.empty() && target.rfind(temp, 0) == 0) target = HandOffDir() + "outwin.txt";
  TTextFile file;
  file.Assign(target);
  int code = file.Rewrite();
  if (code == kIoOk) {
    QString text = memo_->toPlainText();
    if (!text.isEmpty()) text += QLatin1Char('\n');
    code = file.Write(text.toStdString());
    const int closeCode = file.Close();
    if (code == kIoOk) code = closeCode;
  }
  if (code != kIoOk) {
    ErrorMessageIfEnabled(IoFailureText(code, target, "file write error"));
    AbortFlag = true;
    return;
  }
  StartTextEditor(target);
}

void TForm_showtextfile::mi_printClick() {
  PrintTextFile(printFile_);
}

void TForm_showtextfile::mi_exitClick() {
  accept();
}

void TForm_showtextfile::mi_selectallClick() {
  memo_->selectAll();
  memo_->copy();
}

void TForm_showtextfile::mi_copyClick() {
  memo_->selectAll();
  memo_->copy();
}

void TForm_showtextfile::done(int result) {
  const QRect g = geometry();
  PrintSettings.TextWindowRect = TTextWindowRect{g.left(), g.top(), g.width(), g.height()};
  QDialog::done(result);
}

void ShowTextFileWindow(const std::string& displayFile, const std::string& printFile) {
  TForm_showtextfile viewer(DialogMainWindow());
  if (!displayFile.empty()) viewer.SetDisplayFile(displayFile);
  viewer.SetPrintFile(printFile);
  viewer.exec();
}
