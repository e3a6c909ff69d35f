#include "screens/selection.h"

#include <gtest/gtest.h>

#include "tests/support/fake_selection_view.h"

namespace tandemhoop {
namespace {

using testing::FakeSelectionView;

class Selection : public ::testing::Test {
 protected:
  Selection() { selection.Form_Load(); }
  GameState state;
  FakeSelectionView view;
  PlayerSelection selection{state, view};
};

TEST_F(Selection, LoadEmptiesBothBoxesAndPicks) {
  state.p1Pick = 3;
  view.text1 = "typed";
  selection.Form_Load();
  EXPECT_EQ(state.p1Pick, 0);
  EXPECT_EQ(state.p2Pick, 0);
  EXPECT_EQ(view.text1, "");
  EXPECT_EQ(view.text2, "");
}

TEST_F(Selection, EachControlPicksItsPlayer) {
  struct Case {
    void (PlayerSelection::*click)();
    std::int16_t pick;
    const char* text;
  };
  const Case cases[] = {
      {&PlayerSelection::Label6_Click, 1, "OSKEL"}, {&PlayerSelection::Picture26_Click, 1, "OSKEL"},
      {&PlayerSelection::Label3_Click, 2, "TOBIN"}, {&PlayerSelection::Picture34_Click, 2, "TOBIN"},
      {&PlayerSelection::Label4_Click, 3, "PELL"},  {&PlayerSelection::Picture42_Click, 3, "PELL"},
      {&PlayerSelection::Label5_Click, 4, "REKO"},  {&PlayerSelection::Picture50_Click, 4, "REKO"},
  };
  for (const Case& c : cases) {
    selection.Form_Load();
    (selection.*c.click)();
    EXPECT_EQ(state.p1Pick, c.pick) << c.text;
    EXPECT_EQ(view.text1, c.text);
    EXPECT_EQ(state.p2Pick, 0);
  }
}

TEST_F(Selection, APlayerCannotStandInBothBoxes) {
  selection.Picture34_Click();
  selection.Label3_Click();
  EXPECT_EQ(state.p1Pick, 2);
  EXPECT_EQ(state.p2Pick, 0);
  EXPECT_EQ(view.text2, "");
}

TEST_F(Selection, FilledBoxesChangeOnlyAfterTheirBadgeClearsThem) {
  selection.Label3_Click();  // box 1: pick 2
  selection.Label4_Click();  // box 2: pick 3
  EXPECT_EQ(state.p2Pick, 3);
  EXPECT_EQ(view.text2, "PELL");
  selection.Label6_Click();
  selection.Label5_Click();
  EXPECT_EQ(state.p1Pick, 2);
  EXPECT_EQ(state.p2Pick, 3);

  // Box 1 cleared, box 2 moved to pick 4: pick 4 again changes nothing, pick 1 fills box 1.
  selection.Picture1_Click();
  selection.Picture2_Click();
  selection.Label5_Click();
  EXPECT_EQ(state.p1Pick, 4);  // the first empty box is Player 1's
  selection.Picture1_Click();
  EXPECT_EQ(state.p1Pick, 0);
  EXPECT_EQ(view.text1, "");
  selection.Picture2_Click();
  selection.Label3_Click();
  selection.Label5_Click();
  EXPECT_EQ(state.p1Pick, 2);
  EXPECT_EQ(state.p2Pick, 4);
  selection.Picture1_Click();
  selection.Picture50_Click();
  EXPECT_EQ(state.p1Pick, 0);
  EXPECT_EQ(view.text1, "");
  selection.Picture26_Click();
  EXPECT_EQ(state.p1Pick, 1);
  EXPECT_EQ(view.text1, "OSKEL");
}

TEST_F(Selection, StartingWithoutBothPicksAsksWhoIsMissing) {
  selection.Command4_Click();
  EXPECT_EQ(view.text1, "Sino ito?");
  EXPECT_EQ(view.text2, "Sino ito?");

  selection.Picture1_Click();  // the badge empties its box, "Sino ito?" included
  EXPECT_EQ(view.text1, "");
  selection.Label6_Click();
  view.text2 = "REKO";  // typed, not picked
  selection.Command3_Click();
  EXPECT_EQ(view.text1, "OSKEL");
  EXPECT_EQ(view.text2, "Sino ito?");
  EXPECT_EQ(state.playClock, 0);
  EXPECT_EQ(view.hidden, 0);

  selection.Label5_Click();  // a pick replaces "Sino ito?"
  EXPECT_EQ(view.text2, "REKO");
  EXPECT_EQ(state.p2Pick, 4);
}

TEST_F(Selection, ModeButtonsStartPlayWithBothPicks) {
  selection.Label6_Click();
  selection.Label5_Click();
  selection.Command4_Click();
  EXPECT_EQ(view.hidden, 1);
  EXPECT_EQ(state.twoPlayerMode, kTrue);
  EXPECT_EQ(state.playClock, 2);

  GameState other;
  FakeSelectionView otherView;
  PlayerSelection computer(other, otherView);
  computer.Form_Load();
  computer.Picture42_Click();
  computer.Picture34_Click();
  other.twoPlayerMode = kTrue;
  computer.Command3_Click();
  EXPECT_EQ(other.twoPlayerMode, kFalse);
  EXPECT_EQ(other.playClock, 2);
  EXPECT_EQ(otherView.hidden, 1);
}

}  // namespace
}  // namespace tandemhoop
