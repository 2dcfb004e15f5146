// Selecting a hand card shows it in the duel window's card panel.
#include <gtest/gtest.h>

#include "cards/card_info.hpp"
#include "tests/table/piles_fixture.hpp"

namespace tw::test {
namespace {

TEST_F(PilesTest, SelectingAHandCardShowsItInThePanel) {
    GiveHand({"Ember Drake", "Tide Golem"});
    tw.piles.HandCards[2].Desc = "Rises with the tide.";
    duel.hand.set_list_index(1);
    EXPECT_EQ(duel.selectedcard.text(), CardInfoText(tw.piles.HandCards[2]));
    EXPECT_NE(duel.selectedcard.text().find("Tide Golem"), std::string::npos);
}

}  // namespace
}  // namespace tw::test
