// The card panels: text, colour, frame and labels by card kind, the history list, the cheap
// repeat, and the duel window's links.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cards/card_info.hpp"
#include "cards/tip.hpp"
#include "platform/rt.hpp"
#include "tests/cards/card_info_fixture.hpp"
#include "tests/support/tiny_bmp.hpp"

namespace tw::test {
namespace {

const std::string kNl = "\r\n";

struct KindCase {
    const char* what;
    Card card;
    std::string text;
    platform::Color color;
    std::string frame;  // "" : the frame before stays
    std::string stats;
    std::string desc;
};

Card Faced(Card c, bool flipped, int controller) {
    c.Flipped = flipped;
    c.Controller = controller;
    return c;
}

std::vector<KindCase> KindCases() {
    const Card normal = NormalMonster();
    const std::string normal_text = "Blue Dragon" + kNl + "Attrib: Wind" + kNl + "Type: Dragon" + kNl +
                                    "Level:4" + kNl + "Atk: 1800" + kNl + "Def: 1200" + kNl +
                                    "A dragon of the sky.";
    const std::string normal_stats =
        "Attrib: Wind" + kNl + "Type: Dragon" + kNl + "Level:4" + kNl + "Atk: 1800" + kNl + "Def: 1200";
    auto monster = [&](const std::string& name, const std::string& group) {
        return MakeCard(name, "BWX", "Dark", group, "6", "2400", "2000", "Text of " + name + ".");
    };
    auto monster_text = [&](const std::string& name, const std::string& group) {
        return name + kNl + "Attrib: Dark" + kNl + "Type: " + group + kNl + "Level:6" + kNl + "Atk: 2400" +
               kNl + "Def: 2000" + kNl + "Text of " + name + ".";
    };
    auto monster_stats = [&](const std::string& group) {
        return "Attrib: Dark" + kNl + "Type: " + group + kNl + "Level:6" + kNl + "Atk: 2400" + kNl + "Def: 2000";
    };
    Card token = MakeCard("Sheep Token", "token", "Earth", "Beast", "1", "0", "0", "A token.");
    return {
        {"a normal spell", MakeCard("Pot", "BWX", "Spell", "Spell", "", "", "", "Draw 2 cards."),
         "Pot" + kNl + "Group: Spell" + kNl + "Type: Spell" + kNl + "Draw 2 cards.", kPanelSpell, "magic.gif",
         "Group: Spell" + kNl + "Type: Spell", "Draw 2 cards."},
        {"a continuous spell (with an icon)",
         MakeCard("Field", "BWX", "Spell", "Spell", "", "", "", "Stays.", "Continuous"),
         "Field" + kNl + "Group: Spell" + kNl + "Type: Spell" + kNl + "Icon:Continuous" + kNl + "Stays.",
         kPanelSpell, "magic.gif", "Group: Spell" + kNl + "Type: Spell" + kNl + "Icon:Continuous", "Stays."},
        {"a trap", MakeCard("Hole", "BWX", "Trap", "Trap", "", "", "", "Destroy it."),
         "Hole" + kNl + "Group: Trap" + kNl + "Type: Trap" + kNl + "Destroy it.", kPanelTrap, "trap.gif",
         "Group: Trap" + kNl + "Type: Trap", "Destroy it."},
        {"a spell named magic", MakeCard("Old", "BWX", "MAGIC", "Spell", "", "", "", "Old text."),
         "Old" + kNl + "Group: Spell" + kNl + "Type: MAGIC" + kNl + "Old text.", kPanelSpell, "magic.gif",
         "Group: Spell" + kNl + "Type: MAGIC", "Old text."},
        {"a normal monster", normal, normal_text, kPanelPlain, "monster.gif", normal_stats, "A dragon of the sky."},
        {"an effect monster", monster("Imp", "Fiend/Effect"), monster_text("Imp", "Fiend/Effect"), kPanelEffect,
         "monstereffect.gif", monster_stats("Fiend/Effect"), "Text of Imp."},
        {"a fusion monster with an effect", monster("Twin", "Dragon/Fusion/Effect"),
         monster_text("Twin", "Dragon/Fusion/Effect"), kPanelFusion, "fusion.gif",
         monster_stats("Dragon/Fusion/Effect"), "Text of Twin."},
        {"a synchro monster", monster("Tuner", "Machine/Synchro/Effect"),
         monster_text("Tuner", "Machine/Synchro/Effect"), kPanelSynchro, "synchro.gif",
         monster_stats("Machine/Synchro/Effect"), "Text of Tuner."},
        {"a ritual monster", monster("Rite", "Spellcaster/Ritual/Effect"),
         monster_text("Rite", "Spellcaster/Ritual/Effect"), kPanelEffect, "ritual.gif",
         monster_stats("Spellcaster/Ritual/Effect"), "Text of Rite."},
        {"a token, grey whatever its kind", token,
         "Sheep Token" + kNl + "Attrib: Earth" + kNl + "Type: Beast" + kNl + "Level:1" + kNl + "Atk: 0" + kNl +
             "Def: 0" + kNl + "A token.",
         kPanelToken, "token.gif",
         "Attrib: Earth" + kNl + "Type: Beast" + kNl + "Level:1" + kNl + "Atk: 0" + kNl + "Def: 0", "A token."},
        {"the own face-down card in full", Faced(normal, true, 0), normal_text, kPanelPlain, "monster.gif",
         normal_stats, "A dragon of the sky."},
        {"the opponent's face-down card", Faced(normal, true, 2), "Face Down Card", kPanelWhite, "", "", ""},
        {"the hidden name", MakeCard("Face Down Card", "extras", "", "", "", "", "", ""), "Face Down Card",
         kPanelWhite, "", "", ""},
        {"a back", MakeCard("back", "extras", "", "", "", "", "", ""), "Face Down Card", kPanelWhite, "", "", ""},
        {"a failed lookup", MakeCard("bad card", "", "", "", "", "", "", ""), "Card not found!", kPanelWhite, "",
         "", ""},
        {"an empty record", Card{}, "Card not found!", kPanelWhite, "", "", ""},
    };
}

TEST(ShowCardInfo, WritesEachKindOfCard) {
    for (const KindCase& c : KindCases()) {
        SCOPED_TRACE(c.what);
        CardPanelFixture fx;
        auto& duel = fx.duel();
        duel.show();
        // As the game reset leaves them.
        duel.Combo1.set_visible(false);
        duel.Label32.set_visible(false);
        duel.Label8.set_visible(false);
        duel.lblName.set_caption("before");
        ShowCardInfo(fx.tw(), c.card, duel.selectedcard);

        EXPECT_EQ(duel.selectedcard.text(), c.text);
        EXPECT_EQ(duel.selectedcard.back_color(), c.color);
        EXPECT_EQ(CardPanelFixture::FrameOf(duel.Image1), c.frame);
        if (c.text == "Face Down Card") {
            // The picture view tells no more than the text: no picture, no name, no history.
            EXPECT_EQ(duel.lblName.caption(), "Face Down Card");
            EXPECT_EQ(duel.lblStats.caption(), "");
            EXPECT_EQ(duel.lblDesc.caption(), "");
            EXPECT_EQ(duel.Combo1.list_count(), 0);
        } else if (c.frame.empty()) {
            // A failed lookup touches the text box only.
            EXPECT_EQ(duel.lblName.caption(), "before");
            EXPECT_EQ(duel.Combo1.list_count(), 0);
            EXPECT_FALSE(duel.Combo1.visible());
        } else {
            EXPECT_EQ(duel.lblName.caption(), c.card.Name);
            EXPECT_EQ(duel.lblStats.caption(), c.stats);
            EXPECT_EQ(duel.lblDesc.caption(), c.desc);
            ASSERT_EQ(duel.Combo1.list_count(), 1);
            EXPECT_EQ(duel.Combo1.list(0), rt::ucase(c.card.SetCode) + " " + c.card.Name);
            EXPECT_TRUE(duel.Combo1.visible());
            EXPECT_TRUE(duel.Label32.visible());
            EXPECT_TRUE(duel.Label8.visible());
        }
    }
}

TEST(ShowCardInfo, ColoursTheTextAndPutsTheCaretFirst) {
    CardPanelFixture fx;
    fx.tw().duel.ChatForeColor = 0xFFFFFF;
    auto& box = fx.duel().selectedcard;
    ShowCardInfo(fx.tw(), NormalMonster(), box);
    const auto runs = box.runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].fmt.color, 0xFFFFFFu);
    EXPECT_EQ(runs[0].length, static_cast<int>(box.text().size()));
    EXPECT_EQ(box.sel_start(), 0);
}

TEST(ShowCardInfo, OtherPanelsGetTextAndColourOnly) {
    CardPanelFixture fx;
    auto& duel = fx.duel();
    ShowCardInfo(fx.tw(), NormalMonster(), fx.other.selectedcard);
    EXPECT_EQ(fx.other.selectedcard.back_color(), kPanelPlain);
    EXPECT_EQ(PanelLine(fx.other.selectedcard.text(), 0), "Blue Dragon");
    EXPECT_EQ(duel.Combo1.list_count(), 0);
    EXPECT_EQ(duel.lblName.caption(), "");
    EXPECT_EQ(duel.Image1.picture(), nullptr);
    EXPECT_EQ(duel.selectedcard.text(), "");
}

TEST(ShowCardInfo, ACardAlreadyShownChangesNothing) {
    CardPanelFixture fx;
    auto& duel = fx.duel();
    const Card card = NormalMonster();
    ShowCardInfo(fx.tw(), card, duel.selectedcard);
    // Marks that a second rendering would undo.
    duel.selectedcard.set_back_color(1);
    duel.lblName.set_caption("marked");
    duel.Combo1.set_list(0, "MARK entry");
    ShowCardInfo(fx.tw(), card, duel.selectedcard);
    EXPECT_EQ(duel.selectedcard.back_color(), 1u);
    EXPECT_EQ(duel.lblName.caption(), "marked");
    EXPECT_EQ(duel.Combo1.list(0), "MARK entry");

    // Without a description there is nothing to recognise it by: it is rendered again.
    Card blank = card;
    blank.Desc.clear();
    ShowCardInfo(fx.tw(), blank, duel.selectedcard);
    duel.selectedcard.set_back_color(1);
    ShowCardInfo(fx.tw(), blank, duel.selectedcard);
    EXPECT_EQ(duel.selectedcard.back_color(), kPanelPlain);
}

TEST(ShowCardInfo, ACardWhoseTextLiesInsideTheShownOneIsStillShown) {
    CardPanelFixture fx;
    auto& duel = fx.duel();
    const Card plenty = MakeCard("Pot of Plenty", "BWX", "Spell", "Spell", "", "", "", "Draw 2. Then draw 2.");
    const Card pot = MakeCard("Pot", "HSK", "Spell", "Spell", "", "", "", "Draw 2.");
    ShowCardInfo(fx.tw(), plenty, duel.selectedcard);
    ShowCardInfo(fx.tw(), pot, duel.selectedcard);
    EXPECT_EQ(PanelLine(duel.selectedcard.text(), 0), "Pot");
    EXPECT_EQ(duel.lblName.caption(), "Pot");
    EXPECT_EQ(duel.lblDesc.caption(), "Draw 2.");
    EXPECT_EQ(duel.Combo1.list(0), "HSK Pot");
    EXPECT_EQ(duel.Combo1.list(1), "BWX Pot of Plenty");
}

TEST(ShowCardInfo, AFailedLookupKeepsThePreviousPictureAndRulingsLink) {
    CardPanelFixture fx;
    auto& duel = fx.duel();
    ShowCardInfo(fx.tw(), NormalMonster(), duel.selectedcard);
    ShowCardInfo(fx.tw(), MakeCard("bad card", "", "", "", "", "", "", ""), duel.selectedcard);
    EXPECT_EQ(duel.selectedcard.text(), "Card not found!");
    EXPECT_EQ(duel.lblName.caption(), "Blue Dragon");
    EXPECT_EQ(CardPanelFixture::FrameOf(duel.Image1), "monster.gif");
    duel.Label8.user_click();
    ASSERT_EQ(fx.host.urls().size(), 1u);
    EXPECT_EQ(fx.host.urls()[0], std::string(kRulingsSite) + "/default.aspx?card=Blue%20Dragon");
}

TEST(ShowCardInfo, ShortTextsGiveEmptyLabelLines) {
    CardPanelFixture fx;
    auto& duel = fx.duel();
    // A token without level, attack or defence has four lines, not seven.
    const Card token = MakeCard("Plain Token", "token", "Light", "Fairy", "", "", "", "");
    ASSERT_NO_THROW(ShowCardInfo(fx.tw(), token, duel.selectedcard));
    EXPECT_EQ(duel.lblName.caption(), "Plain Token");
    EXPECT_EQ(duel.lblStats.caption(), "Attrib: Light" + kNl + "Type: Fairy" + kNl + "" + kNl + kNl);
    EXPECT_EQ(duel.lblDesc.caption(), "");
    EXPECT_EQ(CardPanelFixture::FrameOf(duel.Image1), "token.gif");
}

TEST(PanelLine, TakesLinesByPosition) {
    const std::string three = "a" + kNl + "b" + kNl + "c";
    EXPECT_EQ(PanelLine(three, 0), "a");
    EXPECT_EQ(PanelLine(three, 2), "c");
    EXPECT_EQ(PanelLine(three, 3), "");
    EXPECT_EQ(PanelLine(three, -1), "");
    // One line answers every index.
    EXPECT_EQ(PanelLine("Card not found!", 6), "Card not found!");
    EXPECT_EQ(PanelLine("", 0), "");
    EXPECT_EQ(PanelLine("a" + kNl, 1), "");
}

// ---- Pictures ----

TEST(ShowCardInfo, PaintsTheArtInItsWindowAndNeverAnOldOne) {
    CardPanelFixture fx;
    auto& duel = fx.duel();
    fx.add_art("bwx", "bluedragon.gif");  // several words run together, lower case
    ShowCardInfo(fx.tw(), NormalMonster("Blue Dragon", "BWX"), duel.selectedcard);
    ASSERT_EQ(CardPanelFixture::ArtOf(duel.Image1), std::vector<std::string>{"bluedragon.gif"});
    const auto& op = duel.Image1.display_list()[0];
    EXPECT_EQ(op.x, 125);
    EXPECT_EQ(op.y, 277);
    EXPECT_EQ(op.width, 600);
    EXPECT_EQ(op.height, 660);

    // A card without art shows its frame alone, in the text view too.
    ShowCardInfo(fx.tw(), NormalMonster("Red Dragon"), duel.selectedcard);
    EXPECT_TRUE(CardPanelFixture::ArtOf(duel.Image1).empty());
    EXPECT_EQ(CardPanelFixture::FrameOf(duel.Image1), "monster.gif");
}

TEST(ShowCardInfo, BrokenOrMissingPicturesNeverRaise) {
    CardPanelFixture fx;
    auto& duel = fx.duel();
    ShowCardInfo(fx.tw(), NormalMonster(), duel.selectedcard);
    WriteFile(fx.dir.path() / "Images" / "trap.gif", "not a picture");
    fx.add_art("bwx", "hole.gif");
    WriteFile(fx.dir.path() / "Images" / "bwx" / "hole.gif", "GIF89a broken");
    const Card trap = MakeCard("Hole", "BWX", "Trap", "Trap", "", "", "", "Destroy it.");
    ASSERT_NO_THROW(ShowCardInfo(fx.tw(), trap, duel.selectedcard));
    EXPECT_EQ(CardPanelFixture::FrameOf(duel.Image1), "monster.gif");
    EXPECT_TRUE(CardPanelFixture::ArtOf(duel.Image1).empty());
    EXPECT_EQ(duel.lblDesc.caption(), "Destroy it.");

    fs::remove(fx.dir.path() / "Images" / "magic.gif");
    ShowCardInfo(fx.tw(), MakeCard("Pot", "BWX", "Spell", "Spell", "", "", "", "Draw."), duel.selectedcard);
    EXPECT_EQ(CardPanelFixture::FrameOf(duel.Image1), "monster.gif");
}

TEST(ShowCardInfo, ArtLargerThanACardNeedsIsNotDecoded) {
    CardPanelFixture fx;
    auto& duel = fx.duel();
    // Named .gif, read as what its bytes are; one column more than a card picture may have.
    WriteFile(fx.dir.path() / "Images" / "bwx" / "bluedragon.gif", test::MonoBmp(2049, 2048));
    ShowCardInfo(fx.tw(), NormalMonster("Blue Dragon"), duel.selectedcard);
    EXPECT_TRUE(CardPanelFixture::ArtOf(duel.Image1).empty());
    EXPECT_EQ(CardPanelFixture::FrameOf(duel.Image1), "monster.gif");

    WriteFile(fx.dir.path() / "Images" / "bwx" / "bluedragon.gif", test::MonoBmp(2048, 2048));
    ShowCardInfo(fx.tw(), NormalMonster("Red Dragon"), duel.selectedcard);
    ShowCardInfo(fx.tw(), NormalMonster("Blue Dragon"), duel.selectedcard);
    EXPECT_EQ(CardPanelFixture::ArtOf(duel.Image1), std::vector<std::string>{"bluedragon.gif"});
}

TEST(ShowCardInfo, ArtNamesCannotLeaveTheImagesFolder) {
    CardPanelFixture fx;
    auto& duel = fx.duel();
    WriteFile(fx.dir.path() / "secret.gif", TinyGif());
    WriteFile(fx.dir.path() / "Images" / "bwx" / "x.gif", TinyGif());
    for (const auto& [set, name] : std::vector<std::pair<std::string, std::string>>{
             {"..", "secret"}, {"bwx/..", "../secret"}, {"bwx", "..\\..\\secret"}, {"/tmp", "x"}}) {
        SCOPED_TRACE(set + " " + name);
        ShowCardInfo(fx.tw(), NormalMonster(name, set), duel.selectedcard);
        EXPECT_TRUE(CardPanelFixture::ArtOf(duel.Image1).empty());
    }
}

// ---- History list ----

std::vector<std::string> Entries(const platform::ComboBox& c) { return c.items(); }

TEST(CardHistory, KeepsTenDistinctCardsNewestFirst) {
    CardPanelFixture fx;
    auto& duel = fx.duel();
    for (int i = 1; i <= 11; ++i) ShowCardInfo(fx.tw(), NormalMonster("Card " + std::to_string(i), "bwx"), duel.selectedcard);
    std::vector<std::string> expected;
    for (int i = 11; i >= 2; --i) expected.push_back("BWX Card " + std::to_string(i));
    EXPECT_EQ(Entries(duel.Combo1), expected);
    EXPECT_EQ(duel.Combo1.list_index(), 0);

    // Shown again (after another card, so it is rendered): no second entry.
    ShowCardInfo(fx.tw(), NormalMonster("Card 5", "bwx"), duel.selectedcard);
    EXPECT_EQ(Entries(duel.Combo1), expected);
    EXPECT_EQ(PanelLine(duel.selectedcard.text(), 0), "Card 5");
}

TEST(CardHistory, ChoosingAnEntryShowsItsCard) {
    CardPanelFixture fx;
    auto& duel = fx.duel();
    for (int i = 1; i <= 10; ++i) {
        Card c = NormalMonster("Card " + std::to_string(i), "BWX");
        c.Desc = "Text " + std::to_string(i);
        fx.tw().cards.CardDatabase.push_back(c);
        ShowCardInfo(fx.tw(), c, duel.selectedcard);
    }
    const auto before = Entries(duel.Combo1);

    duel.Combo1.user_select(4);  // one of the first nine: the list stays
    EXPECT_EQ(PanelLine(duel.selectedcard.text(), 0), "Card 6");
    EXPECT_EQ(duel.lblName.caption(), "Card 6");
    EXPECT_EQ(Entries(duel.Combo1), before);

    duel.Combo1.user_select(9);  // the tenth moves to the top
    EXPECT_EQ(PanelLine(duel.selectedcard.text(), 0), "Card 1");
    EXPECT_EQ(duel.Combo1.list(0), "BWX Card 1");
    EXPECT_EQ(duel.Combo1.list(1), "BWX Card 10");
    EXPECT_EQ(duel.Combo1.list_count(), 10);
}

TEST(CardHistory, ItsOwnSelectionDoesNotLookTheCardUpAgain) {
    CardPanelFixture fx;
    auto& duel = fx.duel();
    // Not in the database: a lookup would answer "Card not found!".
    ShowCardInfo(fx.tw(), NormalMonster("Lone Card"), duel.selectedcard);
    EXPECT_EQ(PanelLine(duel.selectedcard.text(), 0), "Lone Card");
    EXPECT_FALSE(duel.SelectingCardHistory);
}

TEST(CardHistory, LinksShowOnlyWhileTheDuelWindowIs) {
    CardPanelFixture fx;
    auto& duel = fx.duel();
    duel.hide();
    for (platform::Control* c : {static_cast<platform::Control*>(&duel.Combo1), static_cast<platform::Control*>(&duel.Label32),
                                 static_cast<platform::Control*>(&duel.Label8)})
        c->set_visible(false);
    ShowCardInfo(fx.tw(), NormalMonster(), duel.selectedcard);
    EXPECT_FALSE(duel.Combo1.visible());
    EXPECT_FALSE(duel.Label8.visible());
    EXPECT_EQ(duel.Combo1.list_count(), 1);
}

// ---- Views and links ----

TEST(CardPanel, ToggleDisplaySwitchesBetweenTextAndPicture) {
    CardPanelFixture fx;
    auto& duel = fx.duel();
    duel.selectedcard.set_visible(true);
    duel.Label32.user_click();
    EXPECT_FALSE(duel.selectedcard.visible());
    for (platform::Control* c : std::initializer_list<platform::Control*>{&duel.lblName, &duel.lblStats, &duel.lblDesc, &duel.Image1})
        EXPECT_TRUE(c->visible()) << c->name();
    duel.Label32.user_click();
    EXPECT_TRUE(duel.selectedcard.visible());
    for (platform::Control* c : std::initializer_list<platform::Control*>{&duel.lblName, &duel.lblStats, &duel.lblDesc, &duel.Image1})
        EXPECT_FALSE(c->visible()) << c->name();

    // A card shown never switches the view.
    ShowCardInfo(fx.tw(), NormalMonster(), duel.selectedcard);
    EXPECT_TRUE(duel.selectedcard.visible());
    EXPECT_FALSE(duel.Image1.visible());
}

TEST(CardPanel, ThePictureNeverCoversTheText) {
    CardPanelFixture fx;
    auto& duel = fx.duel();
    fx.add_art("bwx", "bluedragon.gif");
    duel.show();
    auto expect_one_view = [&](const char* when) {
        SCOPED_TRACE(when);
        const bool text_view = duel.selectedcard.visible();
        for (const platform::Control* c :
             std::initializer_list<const platform::Control*>{&duel.Image1, &duel.lblName, &duel.lblStats, &duel.lblDesc})
            if (text_view) {
                EXPECT_FALSE(c->visible()) << c->name();
            }
    };
    // The window opens in the text view.
    EXPECT_TRUE(duel.selectedcard.visible());
    expect_one_view("at the start");
    ShowCardInfo(fx.tw(), NormalMonster(), duel.selectedcard);
    expect_one_view("a card shown");
    duel.Label32.user_click();
    ShowCardInfo(fx.tw(), NormalMonster("Red Dragon"), duel.selectedcard);
    duel.Label32.user_click();
    expect_one_view("toggled there and back");
    ShowCardInfo(fx.tw(), Faced(NormalMonster(), true, 2), duel.selectedcard);
    expect_one_view("a face-down card");
}

TEST(CardPanel, AFaceDownCardKeepsNothingOfTheCardBefore) {
    CardPanelFixture fx;
    auto& duel = fx.duel();
    fx.add_art("bwx", "bluedragon.gif");
    duel.show();
    duel.Label32.user_click();  // the picture view
    ShowCardInfo(fx.tw(), NormalMonster(), duel.selectedcard);
    ASSERT_EQ(CardPanelFixture::FrameOf(duel.Image1), "monster.gif");
    ASSERT_FALSE(CardPanelFixture::ArtOf(duel.Image1).empty());

    ShowCardInfo(fx.tw(), Faced(NormalMonster(), true, 2), duel.selectedcard);
    EXPECT_TRUE(duel.Image1.visible());
    EXPECT_EQ(CardPanelFixture::FrameOf(duel.Image1), "");
    EXPECT_TRUE(CardPanelFixture::ArtOf(duel.Image1).empty());
    EXPECT_EQ(duel.Image1.back_color(), kPanelWhite);
    EXPECT_EQ(duel.lblName.caption(), "Face Down Card");
    EXPECT_EQ(duel.lblStats.caption(), "");
    EXPECT_EQ(duel.lblDesc.caption(), "");
    // The history keeps the cards seen in full.
    ASSERT_EQ(duel.Combo1.list_count(), 1);
    EXPECT_EQ(duel.Combo1.list(0), "BWX Blue Dragon");

    // The card shown again is drawn in full.
    ShowCardInfo(fx.tw(), NormalMonster(), duel.selectedcard);
    EXPECT_EQ(CardPanelFixture::FrameOf(duel.Image1), "monster.gif");
    EXPECT_EQ(duel.lblName.caption(), "Blue Dragon");
}

TEST(CardPanel, DeckCommandLeavesThePictureViewAndRunsTheReset) {
    CardPanelFixture fx;
    auto& duel = fx.duel();
    fx.add_art("bwx", "bluedragon.gif");
    ShowCardInfo(fx.tw(), NormalMonster(), duel.selectedcard);
    int resets = 0;
    duel.ResetGame.Click = [&] { ++resets; };
    duel.Deck.Click();
    EXPECT_EQ(resets, 1);
    EXPECT_FALSE(duel.selectedcard.visible());
    EXPECT_TRUE(duel.Image1.visible());
    EXPECT_TRUE(duel.lblName.visible());
    EXPECT_TRUE(duel.Combo1.visible());
    EXPECT_TRUE(duel.Image1.display_list().empty());

    // The reset hides the picture; the next card in the picture view brings it back.
    duel.Image1.set_visible(false);
    ShowCardInfo(fx.tw(), NormalMonster("Red Dragon"), duel.selectedcard);
    EXPECT_TRUE(duel.Image1.visible());
    EXPECT_FALSE(duel.selectedcard.visible());
}

TEST(CardRulings, OpensTheRulingsPageOfTheName) {
    EXPECT_EQ(CardRulingsUrl("Pot"), std::string(kRulingsSite) + "/default.aspx?card=Pot");
    // A name stays one query value, whatever it holds.
    EXPECT_EQ(CardRulingsUrl("A&B #1, C"), std::string(kRulingsSite) + "/default.aspx?card=A%26B%20%231%2C%20C");

    CardPanelFixture fx;
    OpenCardRulings(fx.tw(), "Blue Dragon");
    ASSERT_EQ(fx.host.urls().size(), 1u);
    EXPECT_EQ(fx.host.urls()[0], CardRulingsUrl("Blue Dragon"));
}

TEST(Tip, ClickingItsTextPutsItAway) {
    CardPanelFixture fx;
    auto& tip = fx.tw().Tip();
    tip.show();
    ASSERT_TRUE(tip.visible());
    tip.Label1.user_click();
    EXPECT_FALSE(tip.visible());
    EXPECT_TRUE(fx.tw().Tip.loaded());
}

}  // namespace
}  // namespace tw::test
