// The deck editor's card preview: which card a grid row or a deck line names, the labels and
// frame it fills, the comment tool tip and the cut of long descriptions.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "cards/card_info.hpp"
#include "deckeditor/deckmaker.hpp"
#include "deckeditor/preview.hpp"
#include "platform/grid.hpp"
#include "tests/cards/card_info_fixture.hpp"
#include "tests/deckeditor/editor_fixture.hpp"

namespace tw::test {
namespace {

const std::string kNl = "\r\n";

struct PreviewFixture : CardPanelFixture {
    CardPreview panel{other.selectedcard, other.Image1, other.lblName, other.lblStats,
                      other.lblDesc,      other.Label32, other.Label33};
    void add(const Card& c) { tw().cards.CardDatabase.push_back(c); }
};

TEST(DeckLinePreviewTarget, ReadsSetAndNameOfCardLinesOnly) {
    const struct {
        const char* line;
        std::optional<PreviewTarget> target;
    } cases[] = {
        {"1 Bwx Blue Dragon", PreviewTarget{"Bwx", "Blue Dragon"}},
        {"3 SA Alpha", PreviewTarget{"SA", "Alpha"}},
        {"2 SB Name  with  blanks ", PreviewTarget{"SB", "Name  with  blanks "}},
        {"//comment line", std::nullopt},
        {"-SIDE DECK-", std::nullopt},
        {"", std::nullopt},
        {"1 Lonely", std::nullopt},
        {"garbage", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(DeckLinePreviewTarget(c.line), c.target);
    }
}

TEST(CutPreviewDesc, KeepsAtMost320CharactersWithoutTrailingBlanks) {
    EXPECT_EQ(CutPreviewDesc(std::string(320, 'a')), std::string(320, 'a'));
    EXPECT_EQ(CutPreviewDesc(std::string(321, 'a')), std::string(320, 'a') + "...");
    // Blanks at the cut go before the dots.
    const std::string desc = std::string(317, 'b') + "   " + std::string(80, 'c');
    EXPECT_EQ(CutPreviewDesc(desc), std::string(317, 'b') + "...");
    EXPECT_EQ(CutPreviewDesc(""), "");
}

TEST(GridPreview, HeaderRowAndRunningSearchShowNothing) {
    PreviewFixture fx;
    fx.add(NormalMonster("Blue Dragon", "BWX"));
    platform::Grid grid(&fx.other, "Grid");
    grid.set_cols(3);
    grid.set_rows(2);
    grid.set_text_matrix(1, 1, "BWX");
    grid.set_text_matrix(1, 2, "Blue Dragon");

    // A grid without hits has no current row.
    grid.set_rows(1);
    EXPECT_EQ(grid.row(), 0);
    EXPECT_EQ(GridPreviewTarget(fx.tw(), grid), std::nullopt);
    grid.set_rows(2);
    grid.set_text_matrix(1, 1, "BWX");
    grid.set_text_matrix(1, 2, "Blue Dragon");
    grid.set_row(1);
    fx.tw().editor.SearchRunning = true;
    PreviewFromGrid(fx.tw(), fx.panel, grid);
    EXPECT_EQ(fx.other.selectedcard.text(), "");
    EXPECT_FALSE(fx.other.lblName.caption() == "Blue Dragon");

    fx.tw().editor.SearchRunning = false;
    EXPECT_EQ(GridPreviewTarget(fx.tw(), grid), (PreviewTarget{"bwx", "Blue Dragon"}));
    PreviewFromGrid(fx.tw(), fx.panel, grid);
    EXPECT_EQ(PanelLine(fx.other.selectedcard.text(), 0), "Blue Dragon");
    EXPECT_EQ(fx.other.lblName.caption(), "Blue Dragon");
}

TEST(Preview, FillsLabelsAndFrameByKind) {
    const struct {
        const char* what;
        Card card;
        std::string frame;
        std::string stats;
        std::string desc;
    } cases[] = {
        {"a normal spell", MakeCard("Pot", "BWX", "Spell", "Spell", "", "", "", "Draw 2."), "magic.gif",
         "Group: Spell" + kNl + "Type: Spell", "Draw 2."},
        {"a continuous spell", MakeCard("Field", "BWX", "Spell", "Spell", "", "", "", "Stays.", "Continuous"),
         "magic.gif", "Group: Spell" + kNl + "Type: Spell" + kNl + "Icon:Continuous", "Stays."},
        {"a fusion with an effect", MakeCard("Twin", "BWX", "Dark", "Dragon/Fusion/Effect", "8", "3000", "2500", "Two."),
         "fusion.gif", "Attrib: Dark" + kNl + "Type: Dragon/Fusion/Effect" + kNl + "Level:8" + kNl + "Atk: 3000" + kNl + "Def: 2500",
         "Two."},
        {"a ritual synchro", MakeCard("Rite", "BWX", "Light", "Fairy/Ritual/Synchro", "7", "1", "2", "R."),
         "ritual.gif", "Attrib: Light" + kNl + "Type: Fairy/Ritual/Synchro" + kNl + "Level:7" + kNl + "Atk: 1" + kNl + "Def: 2",
         "R."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PreviewFixture fx;
        fx.add(c.card);
        fx.other.Label32.set_visible(false);
        fx.other.Label33.set_visible(false);
        fx.other.Image1.set_visible(false);
        PreviewCard(fx.tw(), fx.panel, {c.card.SetCode, c.card.Name});
        EXPECT_EQ(fx.other.lblName.caption(), c.card.Name);
        EXPECT_EQ(fx.other.lblStats.caption(), c.stats);
        EXPECT_EQ(fx.other.lblDesc.caption(), c.desc);
        EXPECT_EQ(CardPanelFixture::FrameOf(fx.other.Image1), c.frame);
        EXPECT_TRUE(fx.other.Label32.visible());
        EXPECT_TRUE(fx.other.Label33.visible());
        EXPECT_TRUE(fx.other.Image1.visible());
        // The deck editor's panel has no history.
        EXPECT_EQ(fx.duel().Combo1.list_count(), 0);
    }
}

TEST(Preview, AnUnknownCardFillsEveryLabelWithTheNotice) {
    PreviewFixture fx;
    PreviewCard(fx.tw(), fx.panel, {"bwx", "Nowhere"});
    EXPECT_EQ(fx.other.selectedcard.text(), "Card not found!");
    EXPECT_EQ(fx.other.lblName.caption(), "Card not found!");
    std::string five = "Card not found!";
    for (int i = 0; i < 4; ++i) five += kNl + "Card not found!";
    EXPECT_EQ(fx.other.lblStats.caption(), five);
    EXPECT_EQ(fx.other.lblDesc.caption(), "Card not found!");
    EXPECT_EQ(CardPanelFixture::FrameOf(fx.other.Image1), "monster.gif");
}

TEST(Preview, LongDescriptionsAreCutAndArtIsPainted) {
    PreviewFixture fx;
    Card c = NormalMonster("Long One", "BWX");
    c.Desc = std::string(400, 'x');
    fx.add(c);
    fx.add_art("bwx", "longone.gif");
    PreviewCard(fx.tw(), fx.panel, {"bwx", "Long One"});
    EXPECT_EQ(fx.other.lblDesc.caption(), std::string(320, 'x') + "...");
    EXPECT_EQ(CardPanelFixture::ArtOf(fx.other.Image1), std::vector<std::string>{"longone.gif"});
    // The text box keeps the whole description.
    EXPECT_EQ(PanelLine(fx.other.selectedcard.text(), 6), std::string(400, 'x'));
}

TEST(Preview, KeepsTheTextOrPictureChoice) {
    PreviewFixture fx;
    fx.add(NormalMonster());
    fx.other.selectedcard.set_visible(false);
    PreviewCard(fx.tw(), fx.panel, {"bwx", "Blue Dragon"});
    EXPECT_FALSE(fx.other.selectedcard.visible());
}

TEST(DeckListPreview, CommentLinesBecomeTheToolTipUntilTheNextClick) {
    PreviewFixture fx;
    fx.add(NormalMonster());
    auto& list = fx.other.List1;
    for (const char* l : {"//Combo pieces", "1 Bwx Blue Dragon", "-SIDE DECK-"}) list.add_item(l);

    list.set_list_index(0);
    PreviewFromDeckList(fx.tw(), fx.panel, list);
    EXPECT_EQ(list.tool_tip_text(), "//Combo pieces");
    EXPECT_EQ(fx.other.selectedcard.text(), "");

    list.set_list_index(1);
    PreviewFromDeckList(fx.tw(), fx.panel, list);
    EXPECT_EQ(list.tool_tip_text(), "");
    EXPECT_EQ(fx.other.lblName.caption(), "Blue Dragon");

    fx.other.lblName.set_caption("kept");
    list.set_list_index(2);
    PreviewFromDeckList(fx.tw(), fx.panel, list);
    EXPECT_EQ(fx.other.lblName.caption(), "kept");
}

// ---- Through the deck editor window ----

TEST_F(EditorTest, GridRowsAndDeckLinesPreviewTheirCard) {
    returning_player();
    start();
    auto& d = editor();
    ASSERT_GE(d.Grid.rows(), 2);
    int beta = -1;
    for (int r = 1; r < d.Grid.rows(); ++r)
        if (d.Grid.text_matrix(r, 2) == "Beta") beta = r;
    ASSERT_GT(beta, 0);
    d.Grid.set_row(beta);  // moving to a row previews it
    EXPECT_EQ(d.lblName.caption(), "Beta");
    EXPECT_EQ(PanelLine(d.selectedcard.text(), 1), "Group: Spell Card");
    EXPECT_TRUE(d.Label33.visible());

    d.List1.clear();
    d.List1.add_item("2 Sa Alpha");
    d.List1.add_item("-SIDE DECK-");
    d.List1.set_list_index(0);
    EXPECT_EQ(d.lblName.caption(), "Alpha");
    EXPECT_EQ(d.lblDesc.caption(), "First.");

    d.Label33.user_click();
    ASSERT_FALSE(host.urls().empty());
    EXPECT_EQ(host.urls().back(), CardRulingsUrl("Alpha"));

    const bool text = d.selectedcard.visible();
    d.Label32.user_click();
    EXPECT_EQ(d.selectedcard.visible(), !text);
}

}  // namespace
}  // namespace tw::test
