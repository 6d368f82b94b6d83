// Open and save dialogs of the Qt host: filters, start directory, the chosen name, and a save
// over an existing file that asks exactly once.
#include "common/forms/file_dialogs_qt.h"

#include <QFileDialog>

#include "common/dialog_host.h"
#include "common/forms/gui_test_support.h"

using namespace gui_test;

namespace {

class FileDialogTest : public QtHostTest {};

// Types the full name into the dialog's name field and presses Enter, as a person would.
void ChooseFile(QFileDialog* dialog, const std::string& name) {
  auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  ASSERT_NE(edit, nullptr);
  Type(edit, QString::fromStdString(name));
  Key(edit, Qt::Key_Return);
}

// Qt's filter syntax: "description (pattern pattern)"; a mask used as its own description stays
// as it is.
TEST(QtNameFilters, FromDescriptionPatternPairs) {
  struct Case {
    const char* filter;
    QStringList expected;
  };
  const Case cases[] = {
      {"*.vuk|*.vuk", {"*.vuk"}},
      {"*.plt", {"*.plt"}},
      {"DXF drawing|*.dxf;*.DXF|All files|*.*", {"DXF drawing (*.dxf *.DXF)", "All files (*.*)"}},
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(QtNameFilters(c.filter), c.expected) << c.filter;
}

// Saving over an existing data file: the file dialog takes the name without a question of its
// own, CheckOverwrite asks once, and the old file is untouched until it is written.
TEST_F(FileDialogTest, SaveOverAnExistingFileAsksOnce) {
  const std::string existing = dir_ / "welle.vuk";
  io_test::WriteBytes(existing, "old data\n");
  CurrentFileName = "demo";
  std::string startDir;
  Seen question;
  std::string fullName;
  ModalDriver driver;
  driver
      .Then([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        startDir = dialog->directory().absolutePath().toStdString();
        ChooseFile(dialog, existing);
      })
      .Then(Note(question, QMessageBox::Yes));
  SaveAsFileName("", fullName);
  EXPECT_EQ(driver.Remaining(), 0);
  EXPECT_TRUE(driver.Unexpected().empty());  // no second question
  EXPECT_EQ(startDir, dir_.Path());
  EXPECT_EQ(question.text, existing + " already exists.   overwrite ?");
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(fullName, existing);
  EXPECT_EQ(CurrentFileName, "welle");
  EXPECT_EQ(DataDirectory, dir_.Path() + "/");
  EXPECT_EQ(io_test::ReadBytes(existing), "old data\n");
}

TEST_F(FileDialogTest, SaveDeclinedKeepsNameAndFile) {
  const std::string existing = dir_ / "welle.vuk";
  io_test::WriteBytes(existing, "old data\n");
  CurrentFileName = "demo";
  std::string fullName;
  ModalDriver driver;
  driver
      .Then([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ChooseFile(dialog, existing);
      })
      .Then(Press(QMessageBox::No));
  SaveAsFileName("", fullName);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(CurrentFileName, "demo");
  EXPECT_EQ(io_test::ReadBytes(existing), "old data\n");
}

TEST_F(FileDialogTest, SaveDialogCancelledAborts) {
  std::string fullName = "unchanged";
  ModalDriver driver;
  driver.Then([](QWidget* w) { Key(w, Qt::Key_Escape); });
  SaveAsFileName("", fullName);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(fullName, "unchanged");
}

TEST_F(FileDialogTest, OpenReturnsTheChosenFileOrTheMaskOnCancel) {
  const std::string file = dir_ / "profile.dxf";
  io_test::WriteBytes(file, "0\nEOF\n");
  const std::string mask = dir_.Path() + "/*.dxf";
  std::string name;
  std::string startDir;
  QStringList filters;
  {
    ModalDriver driver;
    driver.Then([&](QWidget* w) {
      auto* dialog = qobject_cast<QFileDialog*>(w);
      startDir = dialog->directory().absolutePath().toStdString();
      filters = dialog->nameFilters();
      ChooseFile(dialog, file);
    });
    OpenFileName(mask, "*.dxf", name);
  }
  EXPECT_EQ(startDir, dir_.Path());
  EXPECT_EQ(filters, QStringList{"*.dxf"});
  EXPECT_EQ(name, file);
  EXPECT_FALSE(AbortFlag);

  ModalDriver driver;
  driver.Then([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
  OpenFileName(mask, "*.dxf", name);
  EXPECT_EQ(name, mask);
  EXPECT_TRUE(AbortFlag);
}

TEST_F(FileDialogTest, SelectDirectoryGivesTheDirectoryOfThePickedFile) {
  std::filesystem::create_directory(dir_ / "plots");
  const std::string file = dir_ / "plots/start.plt";
  io_test::WriteBytes(file, "IN;\n");
  std::string result;
  {
    ModalDriver driver;
    driver.Then([&](QWidget* w) {
      auto* dialog = qobject_cast<QFileDialog*>(w);
      ChooseFile(dialog, file);
    });
    SelectDirectory(dir_.Path(), result);
  }
  EXPECT_EQ(result, dir_.Path() + "/plots/");

  ModalDriver driver;
  driver.Then([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
  SelectDirectory(dir_.Path(), result);
  EXPECT_EQ(result, dir_.Path());
}

}  // namespace
