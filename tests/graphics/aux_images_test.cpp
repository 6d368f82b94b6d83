// The auxiliary image list: its file format, the chooser lines and the list maintenance and
// plot steps of the command, driven through the scripted dialog host.
#include "graphics/aux_images.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "common/help_texts.h"
#include "graphics_fixture.h"
#include "validator_support.h"

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class AuxImagesTest : public GraphicsTest {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("vuko_aux_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    Start();
    Write("gear.plt", "SP1;PU0,0;PD400,0;\n");
    Write("LongImageName.PLT", "SP2;PU0,0;PD0,400;\n");  // found whatever its case
    Write("third.plt", "SP3;PU0,0;PD400,400;\n");
  }
  void TearDown() override {
    AuxPortFileOverride.clear();
    fs::remove_all(dir_);
    GraphicsTest::TearDown();
  }
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }
  fs::path ListFile() { return dir_ / "vuko.dbh"; }
  // The program's state as a start finds it, with the directories configured.
  void Start() {
    GraphicsTest::SetUp();
    ProgramSettings.pltDirectory = dir_.string();
    ProgramSettings.tempDirectory = dir_.string();
    SetProgramIdentity();
  }
  void WriteList() {
    Write("vuko.dbh",
          "\"gear\",\"Gear data\"\r\n\"LongImageName\",\"Long name\"\r\n\"third\",\"Third\"\r\n");
  }
  fs::path dir_;
};

TEST_F(AuxImagesTest, ListLinesAndFileNames) {
  const auto entries = ParseAuxImageList("\"gear\",\"Gear data\"\n\"LongImageName\",\"x\"\n");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(AuxImageListLine(entries[0]), "gear    : Gear data");
  EXPECT_EQ(AuxImageFileName(entries[0]), "gear");
  // Names are used whole, not cut to 8 characters.
  EXPECT_EQ(AuxImageListLine(entries[1]), "LongImageName: x");
  EXPECT_EQ(AuxImageFileName(entries[1]), "longimagename");
  EXPECT_EQ(DbhLine("gear", "Gear data"), "\"gear\",\"Gear data\"");
  // A quote typed into a description must not cut the entry when it is read back.
  const auto quoted = ParseAuxImageList(DbhLine("gear", "1\" shaft, \"A\"") + "\n");
  ASSERT_EQ(quoted.size(), 1u);
  EXPECT_EQ(quoted[0].description, "1' shaft, 'A'");
}

TEST_F(AuxImagesTest, MalformedFieldIsReportedAndReadingGoesOn) {
  const auto entries = ParseAuxImageList("gear,\"Gear data\"\n\"b\",\"B\"\n");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, "gear");
  EXPECT_EQ(entries[1].description, "B");
  ASSERT_EQ(host_->Messages().size(), 1u);
  EXPECT_NE(host_->Messages()[0].find("DBH file error"), std::string::npos);
}

TEST_F(AuxImagesTest, AtMost130Entries) {
  std::string text;
  for (int i = 0; i < 140; ++i) text += DbhLine("n" + std::to_string(i), "d") + "\n";
  EXPECT_EQ(ParseAuxImageList(text).size(), 130u);
}

TEST_F(AuxImagesTest, ShowAuxImageDrawsThePicture) {
  ShowAuxImage("Gear");
  EXPECT_EQ(PrintSettings.PictureKind, 1);
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(List().RecordText(List().Count() - 1), "4;0;0;10;0");
}

TEST_F(AuxImagesTest, FirstPassShowsEntryOneThenTheChooserEnds) {
  WriteList();
  host_->AnswerCancel();  // the chooser: OK ends the command
  AuxImagesMenu();
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(List().RecordText(List().Count() - 1), "4;0;0;10;0");
  const auto choices = host_->RecordsOf(TDialogKind::Choice);
  ASSERT_EQ(choices.size(), 1u);
  ASSERT_EQ(choices[0].entries.size(), 8u);  // three images and five action lines
  EXPECT_EQ(choices[0].entries[1], "LongImageName: Long name");
  EXPECT_EQ(choices[0].entries[7], "-----  Print/Plot HP-GL/2  ------");
}

TEST_F(AuxImagesTest, ChoosingALongNameShowsItsWholeFile) {
  WriteList();
  host_->AnswerChoice(2);
  host_->AnswerCancel();
  AuxImagesMenu();
  EXPECT_EQ(List().RecordText(List().Count() - 1), "4;0;0;0;10");
}

TEST_F(AuxImagesTest, DeletingLineTwoKeepsOneAndThreeInOrder) {
  WriteList();
  host_->AnswerChoice(5);  // "Delete" action line
  host_->AnswerChoice(2);  // "Select line to delete..."
  host_->AnswerCancel();
  AuxImagesMenu();
  EXPECT_EQ(ReadFile(ListFile()), "\"gear\",\"Gear data\"\n\"third\",\"Third\"\n");
}

TEST_F(AuxImagesTest, AppendEditAndInsert) {
  WriteList();
  host_->AnswerChoice(4);  // Append
  host_->AnswerFile((dir_ / "third.plt").string());
  host_->AnswerText("Appended");
  host_->AnswerChoice(7);  // four entries now: line 4 + 3 is "Edit"
  host_->AnswerChoice(1);
  host_->AnswerText("gear2 maß");  // a name is kept as the file system spells it
  host_->AnswerText("Edited");
  host_->AnswerChoice(8);  // Insert
  host_->AnswerChoice(2);
  host_->AnswerFile((dir_ / "gear.plt").string());
  host_->AnswerText("Inserted");
  host_->AnswerCancel();
  AuxImagesMenu();
  EXPECT_EQ(ReadFile(ListFile()),
            "\"gear2 maß\",\"Edited\"\n\"gear\",\"Inserted\"\n\"LongImageName\",\"Long name\"\n"
            "\"third\",\"Third\"\n\"third\",\"Appended\"\n");
}

// An appended image is drawn after a restart: base name in the PLT directory, else whole path.
TEST_F(AuxImagesTest, AppendedImageIsFoundAgainAfterARestart) {
  fs::create_directories(dir_ / "other");
  std::ofstream(dir_ / "other" / "maß.plt") << "SP1;PU0,0;PD0,200;\n";
  std::ofstream(dir_ / "other" / "Zahn Rad.PLT") << "SP1;PU0,0;PD200,200;\n";
  const std::string other = (dir_ / "other").string();
  struct {
    std::string chosen, stored, shown, drawn;
  } cases[] = {
      {(dir_ / "third.plt").string(), "third", "third   : \xC3\x9C", "4;0;0;10;10"},
      {other + "/maß.plt", other + "/maß", other + "/maß: \xC3\x9C", "4;0;0;0;5"},
      {other + "/Zahn Rad.PLT", other + "/Zahn Rad", other + "/Zahn Rad: \xC3\x9C", "4;0;0;5;5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.chosen);
    WriteList();
    host_->AnswerChoice(4);  // Append
    host_->AnswerFile(c.chosen);
    host_->AnswerText("\xC3\x9C");  // typed "Ü", stored as code page 850
    host_->AnswerCancel();
    AuxImagesMenu();
    EXPECT_EQ(ParseAuxImageList(ReadFile(ListFile())).back().name, c.stored);
    GraphicsTest::TearDown();  // a restart
    Start();
    host_->AnswerChoice(4);  // the appended image
    host_->AnswerCancel();
    AuxImagesMenu();
    const auto choices = host_->RecordsOf(TDialogKind::Choice);
    ASSERT_EQ(choices.size(), 2u);
    EXPECT_EQ(choices[0].entries[3], c.shown);
    EXPECT_EQ(List().RecordText(List().Count() - 1), c.drawn);
    EXPECT_TRUE(host_->Messages().empty()) << host_->Messages().front();
  }
}

TEST_F(AuxImagesTest, PlotWritesEnterFileLeaveInOrder) {
  WriteList();
  const fs::path port = dir_ / "port.out";
  AuxPortFileOverride = port.string();
  host_->AnswerChoice(8);  // Print/Plot
  host_->AnswerChoice(1);  // "Which drawing to plot ?"
  host_->AnswerText("1");  // port
  host_->AnswerYes();      // switching commands
  host_->AnswerCancel();
  AuxImagesMenu();
  EXPECT_EQ(ReadFile(port), std::string("\x1B"
                                        "E"
                                        "\x1B"
                                        "%0B") +
                                "SP1;PU0,0;PD400,0;\n" +
                                "\x1B"
                                "%0A"
                                "\x1B"
                                "E");
}

TEST_F(AuxImagesTest, PlotWithoutPortDeviceGoesToThatPortsQueue) {
  if (fs::exists("/dev/lp1")) GTEST_SKIP() << "a real second port";
  WriteList();
  // A stand-in print command records its arguments and the bytes it was given.
  const fs::path bin = dir_ / "bin";
  fs::create_directories(bin);
  Write("bin/lp", "#!/bin/sh\necho \"$@\" > " +
                      validator_support::Quote((dir_ / "lp.args").string()) + "\ncat > " +
                      validator_support::Quote((dir_ / "lp.data").string()) + "\n");
  fs::permissions(bin / "lp", fs::perms::owner_all);
  const std::string path = getenv("PATH");
  setenv("PATH", (bin.string() + ":" + path).c_str(), 1);
  host_->AnswerChoice(8);
  host_->AnswerChoice(3);
  host_->AnswerText("2");
  host_->AnswerNo();
  host_->AnswerCancel();
  AuxImagesMenu();
  setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(ReadFile(dir_ / "lp.args"), "-o raw -d LPT2\n");
  EXPECT_EQ(ReadFile(dir_ / "lp.data"), "SP3;PU0,0;PD400,400;\n");
}

TEST_F(AuxImagesTest, MissingListAsksForThePictureDirectory) {
  const fs::path other = dir_ / "pictures";
  fs::create_directories(other);
  std::ofstream(other / "vuko.dbh") << "\"gear\",\"Gear\"\n";
  std::ofstream(other / "gear.plt") << "SP1;PU0,0;PD0,40;\n";
  ProgramSettings.pltDirectory = (dir_ / "empty").string();
  host_->AnswerFile((other / "gear.plt").string());
  host_->AnswerCancel();
  AuxImagesMenu();
  EXPECT_EQ(fs::path(ProgramSettings.pltDirectory), other);
  EXPECT_EQ(List().RecordText(List().Count() - 1), "4;0;0;0;1");
}

// The pictures the shipped help entries and the auxiliary image list name are shipped with
// them, and so are the start picture and "null" (the picture of a missing entry); each one
// draws lines and labels inside the help window of 160 x 120 mm.
class ShippedPictures : public GraphicsTest {};

TEST_F(ShippedPictures, EveryNamedPictureIsShippedAndDrawsInsideTheHelpWindow) {
  const std::string data = VUKO_DATA_DIR;
  std::set<std::string> names{"start", "null"};
  std::ifstream help(data + "/vuko.hlp");
  std::string line;
  while (std::getline(help, line)) {
    int number = 0;
    std::string image;
    ParseHelpLine(line, number, image);
    if (number >= 0 && image != "NULL") names.insert(image);
  }
  const std::vector<TAuxImageEntry> entries = ParseAuxImageList(ReadFile(data + "/vuko.dbh"));
  EXPECT_GE(entries.size(), 4u);
  for (const TAuxImageEntry& e : entries) names.insert(AuxImageFileName(e));
  EXPECT_GE(names.size(), 6u);
  ProgramSettings.pltDirectory = data;
  for (const std::string& name : names) {
    ASSERT_TRUE(fs::is_regular_file(data + "/" + name + ".plt")) << name;
    ShowAuxImage(name);
    EXPECT_FALSE(AbortFlag) << name;
    int lines = 0, labels = 0;
    for (std::size_t i = 0; i < List().Count(); ++i) {
      const TDisplayListRecord r = List().Record(i);
      if (r.op == TDisplayOp::Line && r.valueCount == 4) {
        ++lines;
        for (int k : {0, 2}) EXPECT_TRUE(r.values[k] >= 0 && r.values[k] <= 160) << name;
        for (int k : {1, 3}) EXPECT_TRUE(r.values[k] >= 0 && r.values[k] <= 120) << name;
      }
      if (r.op == TDisplayOp::Text) ++labels;
    }
    EXPECT_GT(lines, 3) << name;
    EXPECT_GT(labels, 0) << name;
  }
}

}  // namespace
