// Tests of the message list: order of first posting, duplicates, the limit of twelve, and
// what ResetErrors and ClearErrors keep.
#include "common/message_list.h"

#include <gtest/gtest.h>

#include <string>

#include "common/program_state.h"

namespace {

class MessageListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    InitMessageList();
  }
};

TEST_F(MessageListTest, SeverityBeginningsAreNineCharacters) {
  for (const std::string prefix : {kFatalPrefix, kErrorPrefix, kWarningPrefix}) {
    EXPECT_EQ(prefix.size(), 9u) << prefix;
    EXPECT_EQ(prefix.substr(prefix.size() - 2), ": ") << prefix;
  }
  EXPECT_EQ(std::string(kFatalPrefix) + "mn = 0 !", "Fatal  : mn = 0 !");
}

TEST_F(MessageListTest, KeepsDistinctMessagesInOrderOfFirstPosting) {
  AddError("Warning: b");
  AddError("Fatal  : a");
  AddError("Warning: b");
  AddError("Error  : c");
  AddError("Fatal  : a");
  ASSERT_EQ(ErrorCount(), 3);
  EXPECT_EQ(ErrorText(1), "Warning: b");
  EXPECT_EQ(ErrorText(2), "Fatal  : a");
  EXPECT_EQ(ErrorText(3), "Error  : c");
  EXPECT_EQ(ErrorText(4), "");
  EXPECT_EQ(ErrorText(0), "");
}

TEST_F(MessageListTest, ComparisonIsExactInCaseAndBlanks) {
  AddError("Error  : x");
  AddError("error  : x");
  AddError("Error  : x ");
  AddError("Error : x");
  EXPECT_EQ(ErrorCount(), 4);
}

TEST_F(MessageListTest, ThirteenthDistinctMessageIsDropped) {
  for (int i = 1; i <= 12; ++i) AddError("Warning: " + std::to_string(i));
  AddError("Warning: 13");
  AddError("Warning: 5");
  ASSERT_EQ(ErrorList.count, kMaxErrors);
  for (int i = 1; i <= 12; ++i) EXPECT_EQ(ErrorList.messages[i], "Warning: " + std::to_string(i));
}

TEST_F(MessageListTest, ResetKeepsOldTextsButStartsCountingAgain) {
  AddError("Error  : first");
  AddError("Error  : second");
  CalcFatalFlag = true;
  AbortFlag = true;
  ResetErrors();
  EXPECT_EQ(ErrorCount(), 0);
  EXPECT_FALSE(CalcFatalFlag);
  EXPECT_TRUE(AbortFlag) << "ResetErrors leaves AbortFlag alone";
  EXPECT_EQ(ErrorList.messages[2], "Error  : second");  // stored, but no longer valid

  // The old entry 2 is above the count, so the same text is new again and goes to entry 1.
  AddError("Error  : second");
  ASSERT_EQ(ErrorCount(), 1);
  EXPECT_EQ(ErrorText(1), "Error  : second");
  EXPECT_EQ(ErrorText(2), "");
}

TEST_F(MessageListTest, ClearEmptiesTextsAndLeavesTheFatalFlag) {
  AddError("Fatal  : z = 0");
  CalcFatalFlag = true;
  ClearErrors();
  EXPECT_EQ(ErrorCount(), 0);
  EXPECT_TRUE(CalcFatalFlag);
  for (const auto& text : ErrorList.messages) EXPECT_TRUE(text.empty());
}

TEST_F(MessageListTest, StartsEmpty) {
  AddError("Warning: left over");
  InitMessageList();
  EXPECT_EQ(ErrorCount(), 0);
  EXPECT_TRUE(ErrorList.messages[1].empty());
}

}  // namespace
