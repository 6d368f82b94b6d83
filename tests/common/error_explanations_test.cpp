// Message explanations: record lookup by the first 14 characters, the message choice, saving an
// edited record, and the shipped explanation file against the messages the sources post.
#include "common/error_explanations.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "common/formatting.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class ErrorExplanationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    SetProgramIdentity();
    InitMessageList();
    SetCommandLineParameters({});
    std::string pattern = (std::filesystem::temp_directory_path() / "vuko-err-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
    ProgramSettings.pltDirectory = dir_;
    ProgramSettings.tempDirectory = dir_ + "/tmp";
    fs::create_directory(ProgramSettings.tempDirectory);
  }
  void TearDown() override {
    SetCommandLineParameters({});
    fs::remove_all(dir_);
  }
  void WriteErr(const std::string& content) {
    std::ofstream(dir_ + "/vuko.err", std::ios::binary) << content;
  }
  std::string dir_;
};

const char* const kFile =
    "Fatal  : mn = 0 !\nmodule zero\nenter a module\n"
    "Warning: x > 1.5 !\nshift too large\ncheck measurement\n"
    "Error  : ce < 0 !\nnegative clearance\n";

TEST_F(ErrorExplanationsTest, OriginAndRemedyOfListedMessages) {
  WriteErr(kFile);
  AddError("Fatal  : mn = 0 !");
  AddError("Warning: x > 1.5   (2) !");  // same first 14 characters as "Warning: x > 1.5 !"
  AddError("Error  : unknown");
  std::string origin, remedy;
  GetErrorOrigin(1, origin);
  GetErrorRemedy(1, remedy);
  EXPECT_EQ(origin, "module zero");
  EXPECT_EQ(remedy, "enter a module");
  GetErrorOrigin(2, origin);
  EXPECT_EQ(origin, "shift too large");
  GetErrorOrigin(3, origin);
  GetErrorRemedy(3, remedy);
  EXPECT_EQ(origin, "no help description available for this error message.");
  EXPECT_EQ(remedy, "");
  // The file is kept after its first reading, yet an edit and another directory show.
  WriteErr("Fatal  : mn = 0 !\nedited origin\nedited remedy\n");
  GetErrorOrigin(1, origin);
  EXPECT_EQ(origin, "edited origin");
  ProgramSettings.pltDirectory = ProgramSettings.tempDirectory;
  std::ofstream(dir_ + "/tmp/vuko.err", std::ios::binary) << "Fatal  : mn = 0 !\nother\nr\n";
  GetErrorOrigin(1, origin);
  EXPECT_EQ(origin, "other");
}

TEST_F(ErrorExplanationsTest, MissingFileGivesEmptyTexts) {
  AddError("Fatal  : mn = 0 !");
  std::string origin = "x", remedy = "y";
  GetErrorOrigin(1, origin);
  GetErrorRemedy(1, remedy);
  EXPECT_EQ(origin, "");
  EXPECT_EQ(remedy, "");
}

TEST_F(ErrorExplanationsTest, ShowErrorHelpRecordsAtTheEndOfTheFile) {
  // "Error  : ce < 0 !" has its origin as the last line: shown with an empty remedy.
  WriteErr(std::string(kFile) + "Fatal  : z = 0 !\n");
  ScriptedDialogHost host;
  AddError("Error  : ce < 0 !");
  AddError("Fatal  : z = 0 !");
  ShowErrorHelp(1);
  ASSERT_EQ(host.Records().size(), 1u);
  EXPECT_EQ(host.Records()[0].caption, "Error Message");
  EXPECT_NE(host.Records()[0].prompt.find("negative clearance"), std::string::npos);
  // The message line is the file's last line: no explanation.
  ShowErrorHelp(2);
  EXPECT_EQ(host.Records().back().caption, "Message");
  EXPECT_EQ(host.Records().back().prompt, "no help description available for this error message.");
}

TEST_F(ErrorExplanationsTest, ShowErrorHelpWithoutFileReportsIt) {
  ScriptedDialogHost host;
  AddError("Fatal  : mn = 0 !");
  ShowErrorHelp(1);
  EXPECT_TRUE(AbortFlag);
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_NE(host.Messages()[0].find("not found or no access"), std::string::npos);
}

TEST_F(ErrorExplanationsTest, ErrorBoxHookReceivesTheRecord) {
  WriteErr(kFile);
  std::string seen;
  InstallErrorBoxHook([&](const std::string& m, const std::string& o, const std::string& r) {
    seen = m + "|" + o + "|" + r;
  });
  AddError("Fatal  : mn = 0 !");
  ShowErrorHelp(1);
  InstallErrorBoxHook(nullptr);
  EXPECT_EQ(seen, "Fatal  : mn = 0 !|module zero|enter a module");
}

TEST_F(ErrorExplanationsTest, SaveReplacesOriginAndRemedyOnly) {
  WriteErr(kFile);
  SaveErrorHelp("Warning: x > 1.5 !", "new origin\r\nsecond line", "new remedy");
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(ReadAll(dir_ + "/vuko.err"),
            "Fatal  : mn = 0 !\nmodule zero\nenter a module\n"
            "Warning: x > 1.5 !\nnew origin  second line\nnew remedy\n"
            "Error  : ce < 0 !\nnegative clearance\n");
}

TEST_F(ErrorExplanationsTest, SaveWorksWhenTemporaryAndHelpDirectoryAreTheSame) {
  WriteErr(kFile);
  ProgramSettings.tempDirectory = dir_;
  SaveErrorHelp("Fatal  : mn = 0 !", "o", "r");
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(ReadAll(dir_ + "/vuko.err").substr(0, 22), "Fatal  : mn = 0 !\no\nr\n");
}

TEST_F(ErrorExplanationsTest, SaveOfRecordWithoutRemedyLineAddsIt) {
  WriteErr(kFile);
  SaveErrorHelp("Error  : ce < 0 !", "o2", "r2");
  std::string all = ReadAll(dir_ + "/vuko.err");
  EXPECT_EQ(all.substr(all.size() - 24), "Error  : ce < 0 !\no2\nr2\n");
}

TEST_F(ErrorExplanationsTest, SaveOfUnknownMessageLeavesFileUnchanged) {
  WriteErr(kFile);
  ScriptedDialogHost host;
  SaveErrorHelp("Error  : nothing like it", "o", "r");
  EXPECT_EQ(ReadAll(dir_ + "/vuko.err"), kFile);
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0], "Error  : nothing like it not found.");
}

TEST_F(ErrorExplanationsTest, EmptyListShowsSuccessMessage) {
  ScriptedDialogHost host;
  ShowErrorList();
  EXPECT_EQ(host.Messages(),
            std::vector<std::string>{"Calculation successful without error messages"});
}

TEST_F(ErrorExplanationsTest, NoGuiParameterShowsNothing) {
  ScriptedDialogHost host;
  SetCommandLineParameters({"file.vuk", "/nogui"});
  ShowErrorList();
  AddError("Fatal  : mn = 0 !");
  ShowErrorList();
  EXPECT_TRUE(host.Records().empty());
}

TEST_F(ErrorExplanationsTest, ChoiceProposalFollowsHelpLevel) {
  WriteErr(kFile);
  AddError("Fatal  : mn = 0 !");
  AddError("Error  : ce < 0 !");
  {
    ScriptedDialogHost host;
    ProgramSettings.HelpLevel = 1;
    host.AnswerChoice(3);  // Continue...
    ShowErrorList();
    auto choices = host.RecordsOf(TDialogKind::Choice);
    ASSERT_EQ(choices.size(), 1u);
    EXPECT_EQ(choices[0].selected, 2);  // 0-based: "Continue..."
    EXPECT_EQ(choices[0].entries.back(), "Continue...");
    EXPECT_EQ(choices[0].helpNumber, 1210);
  }
  {
    ScriptedDialogHost host;
    ProgramSettings.HelpLevel = 2;
    host.AnswerChoice(1);  // explain message 1, then the next proposal is message 2
    host.AnswerCancel();
    ShowErrorList();
    auto choices = host.RecordsOf(TDialogKind::Choice);
    ASSERT_EQ(choices.size(), 2u);
    EXPECT_EQ(choices[0].selected, 0);
    EXPECT_EQ(choices[1].selected, 1);
    EXPECT_EQ(host.RecordsOf(TDialogKind::Message).size(), 1u);
  }
}

// Every message text the sources post has a record in the shipped explanation file.
TEST(ShippedExplanations, EveryPostedMessageHasARecord) {
  ResetProgramStateForTests();
  SetProgramIdentity();
  InitMessageList();
  ProgramSettings.pltDirectory = VUKO_DATA_DIR;
  const std::regex literal(R"re("((Fatal  : |Error  : |Warning: )[^"]+)")re");
  std::set<std::string> messages;
  for (const auto& e : fs::recursive_directory_iterator(std::string(VUKO_SOURCE_DIR) + "/src")) {
    if (!e.is_regular_file() || e.path().extension() != ".cpp") continue;
    std::string text = ReadAll(e.path());
    for (auto it = std::sregex_iterator(text.begin(), text.end(), literal);
         it != std::sregex_iterator(); ++it) {
      messages.insert((*it)[1]);
    }
  }
  ASSERT_FALSE(messages.empty());
  for (const std::string& m : messages) {
    if (m.size() < 12) continue;  // prefixes completed elsewhere ("Fatal  : z" + number)
    ResetErrors();
    AddError(m);
    std::string origin;
    AbortFlag = false;
    GetErrorOrigin(1, origin);
    EXPECT_NE(origin, kNoErrorHelpText) << m;
    EXPECT_FALSE(origin.empty()) << m;
  }
}

}  // namespace
