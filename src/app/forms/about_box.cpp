// The about box and the system information window.
#include "app/forms/about_box.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "common/codepage.h"
#include "common/forms/form_placement.h"
#include "common/program_state.h"
#include "common/system_info.h"
#include "graphics/graphics_facade.h"

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// The logo in the graphics window behind the information windows.
void ShowLogo() {
  if (!GraphicsFacade) return;
  GraphicsFacade->GrClear();
  GraphicsFacade->GrDrawLogo();
}

// The compiler's build date as yyyymmdd.
std::string BuildTag() {
  static const char* const kMonths = "JanFebMarAprMayJunJulAugSepOctNovDec";
  const char* date = __DATE__;  // "Mmm dd yyyy"
  const char* found = std::strstr(kMonths, std::string(date, 3).c_str());
  const int month = found ? static_cast<int>(found - kMonths) / 3 + 1 : 0;
  const int day = std::atoi(date + 4);
  const int year = std::atoi(date + 7);
  char tag[32];
  std::snprintf(tag, sizeof tag, "%04d%02d%02d", year, month, day);
  return tag;
}

// Whole megabytes (10^6 bytes), rounded, with the locale's thousands separator, at least 6 wide.
std::string Megabytes(std::int64_t bytes) {
  const long long mb = std::llround(static_cast<double>(bytes) / 1e6);
  std::string digits = std::to_string(mb < 0 ? -mb : mb);
  const std::string separator = QLocale().groupSeparator().toStdString();
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += separator;
    grouped += digits[i];
  }
  if (mb < 0) grouped.insert(0, "-");
  if (grouped.size() < 6) grouped.insert(0, 6 - grouped.size(), ' ');
  return grouped;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent ? parent : DialogMainWindow()) {
  setObjectName("TAboutBox");
  auto* panel1 = new QWidget(this);
  panel1->setObjectName("Panel1");
  auto label = [panel1](const char* name) {
    auto* l = new QLabel(panel1);
    l->setObjectName(name);
    return l;
  };
  label_extended_ = label("Label_extended");
  productName_ = label("ProductName");
  label_sonderversion_ = label("Label_sonderversion");
  label_fileversion_ = label("Label_fileversion");
  auto* panelLayout = new QVBoxLayout(panel1);
  for (QLabel* l : {label_extended_, productName_, label_sonderversion_, label_fileversion_})
    panelLayout->addWidget(l);
  okButton_ = new QPushButton("OK", this);
  okButton_->setObjectName("OKButton");
  okButton_->setDefault(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(panel1);
  layout->addWidget(okButton_, 0, Qt::AlignHCenter);
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
  FormCreate();
}

void TAboutBox::FormCreate() {
  ScaleAndCenterForm(this);
  ShowLogo();
  const TProgramIdentity& id = ProgramIdentity;
  label_extended_->setText(Q(DosToWin(id.caption)));
  productName_->setText(Q("Version " + id.version + " " + "for" + " Linux"));
  label_sonderversion_->clear();
  label_fileversion_->setText(
      Q("File Version : " + FileVersionStr("") + "   (" + id.fileStem + ":" + BuildTag() + ")"));
  setWindowTitle(Q(id.programName));
}

// ---------------------------------------------------------------------------------------------

std::vector<std::string> SystemInformationLines() {
  std::vector<std::string> lines;
  std::string text;
  if (GetComputerName(text)) lines.push_back("PC Name     : " + text);
  if (GetUserName(text)) lines.push_back("User        : " + text);
  const std::string program = ProgramFilePath();
  // Paths keep their letter case: on this system it is part of the name.
  lines.push_back("File name   : " + program);
  TVolumeInfo volume;
  if (GetVolumeInfo(program.empty() ? std::string("/") : program, volume)) {
    lines.push_back("File syst.  : " + volume.fileSystem);
    lines.push_back("HD total    : " + Megabytes(volume.totalBytes) + " MB");
    lines.push_back("HD free     : " + Megabytes(volume.freeBytes) + " MB");
  } else {
    lines.push_back("File system error");
  }
  lines.push_back("Operat.sys. : " + WindowsVersionName());
  lines.push_back("Clock speed : " + std::to_string(std::llround(CpuClockMHz())) + " MHz");
  lines.push_back(SystemSummary());
  lines.push_back("IP-Adress:");
  for (const std::string& address : LocalIpList()) lines.push_back(address);
  return lines;
}

TSysinfo::TSysinfo(QWidget* parent) : QDialog(parent ? parent : DialogMainWindow()) {
  setObjectName("TSysinfo");
  memo1_ = new QPlainTextEdit(this);
  memo1_->setObjectName("Memo1");
  memo1_->setReadOnly(true);
  okButton_ = new QPushButton("OK", this);
  okButton_->setObjectName("OKButton");
  okButton_->setDefault(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(memo1_);
  layout->addWidget(okButton_, 0, Qt::AlignHCenter);
  resize(480, 360);
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
  FormCreate();
}

void TSysinfo::FormCreate() {
  ScaleAndCenterForm(this);
  ShowLogo();
  setWindowTitle(Q(ProgramIdentity.programName + " System Info"));
}

void TSysinfo::FormActivate() {
  // Coming back to the window (another window in between) must not list everything twice.
  if (filled_) return;
  filled_ = true;
  for (const std::string& line : SystemInformationLines()) memo1_->appendPlainText(Q(line));
}

void TSysinfo::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

void TSysinfo::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

// ---------------------------------------------------------------------------------------------

void ShowAboutBox() {
  TAboutBox box;
  box.exec();
}

void ShowSystemInformation() {
  TSysinfo info;
  info.exec();
}
