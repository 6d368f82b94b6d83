// The question about unsaved changes: when it is asked, what it names, and what each answer
// leaves behind.
#include "app/save_question.h"

#include <gtest/gtest.h>

#include <ostream>

#include "app/app_test_support.h"
#include "app/startup.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"

namespace {

using app_test::Exists;
using app_test::ScratchDir;

enum class Reply { None, Yes, No, Cancel };

struct SaveCase {
  const char* name;
  bool modified;
  const char* fileName;  // CurrentFileName
  bool fromCommandLine;
  bool archive;
  Reply reply;
  const char* question;  // "" when nothing may be asked; "%" stands for the scratch directory
  bool abort;            // the caller must not go on
  bool modifiedAfter;
  bool saved;
};

// Test names in CTest show the case name.
void PrintTo(const SaveCase& c, std::ostream* os) {
  *os << c.name;
}

const SaveCase kCases[] = {
    {"UnchangedAsksNothing", false, "joint", false, false, Reply::None, "", false, false, false},
    {"ArchivedCommandLineFileDropsChanges", true, "x.vuk", true, true, Reply::None, "", false,
     false, false},
    {"UnnamedRejected", true, "", false, false, Reply::Yes, "Reject old data ?", false, false,
     false},
    {"UnnamedKept", true, "", false, false, Reply::No, "Reject old data ?", true, true, false},
    {"UnnamedCancelled", true, "", false, false, Reply::Cancel, "Reject old data ?", true, true,
     false},
    {"NamedSaved", true, "joint", false, false, Reply::Yes, "Save file (%/joint.vuk) ?", false,
     false, true},
    {"NamedDropped", true, "joint", false, false, Reply::No, "Save file (%/joint.vuk) ?", false,
     false, false},
    {"NamedCancelled", true, "joint", false, false, Reply::Cancel, "Save file (%/joint.vuk) ?",
     true, true, false},
    {"CommandLineNameAsTyped", true, "%/typed.vuk", true, false, Reply::No,
     "Save file (%/typed.vuk) ?", false, false, false},
};

std::string Expand(const std::string& text, const std::string& dir) {
  std::string out = text;
  for (std::size_t p; (p = out.find('%')) != std::string::npos;) out.replace(p, 1, dir);
  return out;
}

class SaveQuestionTest : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SaveQuestionTest, AnswerOutcome) {
  const SaveCase& c = GetParam();
  ScratchDir dir;
  ScriptedDialogHost host;
  InitModules();
  SetProgramIdentity();
  DataDirectory = dir.Path();
  CurrentFileName = Expand(c.fileName, dir.Path());
  ProgramSettings.FileFromCommandLine = c.fromCommandLine;
  ProgramSettings.ArchiveFlag = c.archive;
  DataModified = c.modified;
  AbortFlag = false;
  switch (c.reply) {
    case Reply::Yes:
      host.AnswerYes();
      break;
    case Reply::No:
      host.AnswerNo();
      break;
    case Reply::Cancel:
      host.AnswerCancel();
      break;
    case Reply::None:
      break;
  }
  AskSaveChanges();
  const auto questions = host.RecordsOf(TDialogKind::Question);
  if (*c.question == '\0') {
    EXPECT_TRUE(questions.empty());
  } else {
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].prompt, Expand(c.question, dir.Path()));
  }
  EXPECT_EQ(AbortFlag, c.abort);
  EXPECT_EQ(DataModified, c.modifiedAfter);
  EXPECT_EQ(Exists(dir / "joint.vuk") || Exists(dir / "typed.vuk"), c.saved);
}

INSTANTIATE_TEST_SUITE_P(Answers, SaveQuestionTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
