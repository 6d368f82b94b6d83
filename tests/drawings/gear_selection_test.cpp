// The gear choice: what the dialog offers and where the answer is left.
#include "drawings/gear_selection.h"

#include <gtest/gtest.h>

#include "common/program_state.h"
#include "pieces_fixture.h"

TEST_F(PiecesTest, SelectGearOffersBothGearsAndKeepsTheAnswer) {
  const struct {
    const char* name;
    std::uint16_t gearIn;
    int answer;  // 0: Cancel
    int offered;
    std::uint16_t gearOut;
    const char* line30;
    bool aborted;
  } cases[] = {
      {"choose gear 2", 1, 2, 0, 2, "2", false},
      {"choose gear 1", 2, 1, 1, 1, "1", false},
      {"gear 0 is offered as gear 1", 0, 2, 0, 2, "2", false},
      {"Cancel keeps gear 2", 2, 0, 1, 2, "2", true},
      {"Cancel on gear 0 leaves gear 1", 0, 0, 0, 1, "1", true},
  };
  for (const auto& c : cases) {
    host_->Clear();
    AbortFlag = false;
    if (c.answer == 0) {
      host_->AnswerCancel();
    } else {
      host_->AnswerChoice(c.answer);
    }
    std::uint16_t gear = c.gearIn;
    SelectGear(gear);
    EXPECT_EQ(gear, c.gearOut) << c.name;
    EXPECT_EQ(ScreenLines[kGearChoiceLine], c.line30) << c.name;
    EXPECT_EQ(AbortFlag, c.aborted) << c.name;
    const auto asked = host_->RecordsOf(TDialogKind::Choice);
    ASSERT_EQ(asked.size(), 1u) << c.name;
    EXPECT_EQ(asked[0].prompt, "Select gear ...");
    EXPECT_EQ(asked[0].entries, (std::vector<std::string>{"gear 1", "gear 2"}));
    EXPECT_EQ(asked[0].selected, c.offered) << c.name;
    EXPECT_EQ(asked[0].helpNumber, 8220);
  }
}
