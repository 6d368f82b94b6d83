// The about box and the system information window: the program's identity and version, the
// machine's facts as the system services give them, the list filled once, and the logo drawn
// behind both.
#include "app/forms/about_box.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <algorithm>
#include <memory>

#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "common/system_info.h"
#include "graphics/display_list.h"
#include "graphics/forms/graphics_window_form.h"
#include "graphics/graphics_facade.h"
#include "graphics/view_control.h"

namespace {

class AboutBoxGui : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    InitGraphicsSettings();
    InitViewState();
    SetProgramIdentity();
    host_ = std::make_unique<ScriptedDialogHost>();
    facade_ = std::make_unique<TGraphicsFacade>();
    GraphicsFacade = facade_.get();
    window_ = std::make_unique<TFtarvgra>();
    GraphicsWindowInstance = window_.get();
  }
  void TearDown() override {
    GraphicsWindowInstance = nullptr;
    window_.reset();
    GraphicsFacade = nullptr;
    facade_.reset();
    host_.reset();
  }
  std::unique_ptr<ScriptedDialogHost> host_;
  std::unique_ptr<TGraphicsFacade> facade_;
  std::unique_ptr<TFtarvgra> window_;
};

QString LabelText(QWidget& form, const char* name) {
  auto* label = form.findChild<QLabel*>(name);
  return label ? label->text() : QString("<missing %1>").arg(name);
}

TEST_F(AboutBoxGui, ShowsTheProgramAndItsVersionOverTheLogo) {
  facade_->GrLine(0, 0, 1, 1);  // an earlier picture
  TAboutBox box;
  EXPECT_EQ(box.windowTitle(), "VUKO");
  EXPECT_EQ(LabelText(box, "Label_extended"), "VUKO   involute spline");
  EXPECT_EQ(LabelText(box, "ProductName"), "Version 1.0 for Linux");
  EXPECT_EQ(LabelText(box, "Label_sonderversion"), "");
  const QString file = LabelText(box, "Label_fileversion");
  EXPECT_TRUE(file.startsWith("File Version : 1.0   (vuko:")) << file.toStdString();
  EXPECT_NE(box.findChild<QWidget*>("OKButton"), nullptr);
  // The earlier picture made way for the logo.
  ASSERT_NE(DisplayList, nullptr);
  EXPECT_GT(DisplayList->Count(), 1u);
}

// Megabytes as the window writes them, back to a number (thousands separators dropped).
long long MegabytesOf(const std::string& line, const std::string& head) {
  std::string digits;
  for (char c : line.substr(head.size()))
    if (c >= '0' && c <= '9') digits += c;
  return digits.empty() ? -1 : std::stoll(digits);
}

TEST_F(AboutBoxGui, SystemInformationAgreesWithTheSystemServices) {
  const std::vector<std::string> lines = SystemInformationLines();
  std::size_t i = 0;
  std::string text;
  if (GetComputerName(text)) EXPECT_EQ(lines.at(i++), "PC Name     : " + text);
  if (GetUserName(text)) EXPECT_EQ(lines.at(i++), "User        : " + text);
  EXPECT_EQ(lines.at(i++), "File name   : " + ProgramFilePath());
  TVolumeInfo volume;
  if (GetVolumeInfo(ProgramFilePath(), volume)) {
    EXPECT_EQ(lines.at(i++), "File syst.  : " + volume.fileSystem);
    // Sizes rounded to whole 10^6 bytes; free space may move a little meanwhile.
    EXPECT_EQ(MegabytesOf(lines.at(i), "HD total    : "), (volume.totalBytes + 500000) / 1000000);
    ++i;
    EXPECT_NEAR(MegabytesOf(lines.at(i++), "HD free     : "), volume.freeBytes / 1e6, 100);
  } else {
    EXPECT_EQ(lines.at(i++), "File system error");
  }
  EXPECT_EQ(lines.at(i++), "Operat.sys. : " + WindowsVersionName());
  EXPECT_TRUE(lines.at(i++).starts_with("Clock speed : "));
  // The summary starts with the host name; its clock may differ from one measurement to the next.
  const std::string summary = SystemSummary();
  EXPECT_EQ(lines.at(i++).substr(0, summary.find('/')), summary.substr(0, summary.find('/')));
  EXPECT_EQ(lines.at(i++), "IP-Adress:");
  const std::vector<std::string> ips = LocalIpList();
  EXPECT_EQ(std::vector<std::string>(lines.begin() + static_cast<long>(i), lines.end()), ips);
}

TEST_F(AboutBoxGui, SystemInformationIsListedOnceHoweverOftenTheWindowIsActivated) {
  TSysinfo info;
  EXPECT_EQ(info.windowTitle(), "VUKO System Info");
  auto* memo = info.findChild<QPlainTextEdit*>("Memo1");
  ASSERT_NE(memo, nullptr);
  EXPECT_TRUE(memo->isReadOnly());
  info.FormActivate();
  const int once = memo->blockCount();
  info.FormActivate();
  EXPECT_EQ(memo->blockCount(), once);
  EXPECT_TRUE(memo->toPlainText().contains("IP-Adress:"));
}

}  // namespace
