// The text screen window.
#include "common/forms/text_screen.h"

#include <QFont>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/codepage.h"
#include "common/forms/form_placement.h"
#include "common/program_state.h"

TShowScreen::TShowScreen(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TShowScreen"));
  setWindowTitle(QString::fromStdString(DosToWin(ProgramIdentity.programName)));
  auto* layout = new QVBoxLayout(this);
  auto* memo = new QPlainTextEdit(this);
  memo->setObjectName(QStringLiteral("Memo1"));
  memo->setReadOnly(true);
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont font(QStringLiteral("Courier"));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  memo->setFont(font);
  QStringList lines;
  for (int i = 1; i <= kTextScreenLines; ++i) {
    std::string line = DosToWin(ScreenLines[i]);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    lines << QString::fromStdString(line);
  }
  memo->setPlainText(lines.join(QLatin1Char('\n')));
  const QFontMetrics metrics(font);
  memo->setMinimumSize(metrics.horizontalAdvance(QString(kScreenLineWidth + 2, QLatin1Char('M'))),
                       metrics.lineSpacing() * (kTextScreenLines + 1));
  layout->addWidget(memo);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("Button_ok"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(ok, 0, Qt::AlignHCenter);
  ok->setFocus();
  ScaleAndCenterForm(this);
}

void ShowScreen() {
  TShowScreen screen(DialogMainWindow());
  screen.exec();
}
