#pragma once
// A table with the sample slot frames on which cards are put by name, with the piles set up by
// name, and a census of where every card lies, so that a move can be checked for losing or
// doubling a card.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "cards/card.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "table/field.hpp"
#include "table/field_pictures.hpp"
#include "table/piles.hpp"
#include "tests/table/field_fixture.hpp"
#include "tests/table/piles_fixture.hpp"

namespace tw::test {

using Lines = std::vector<std::string>;

// Where each card lies: "deck", "hand", "graveyard", "rfg", "extra", "field", one entry per copy.
using Census = std::map<std::string, std::vector<std::string>>;

struct ByHandTable {
    FieldFixture fx;
    Tablewright& tw = fx.tw();
    win::FormA& duel = fx.duel();
    int refreshes = 0;
    bool viewer_visible = false;

    ByHandTable() {
        tw.piles.PileViewerVisible = [this] { return viewer_visible; };
        tw.piles.RefreshPileViewer = [this] { ++refreshes; };
    }

    // Puts the card on the table and forgets what the placement sent and wrote. owner 0 is the
    // player's own seat; a card of another owner takes `slot`, as a peer's card does.
    int Put(Card card, std::int32_t owner = 0, int slot = 0) {
        card.Slot = slot;
        const int s = PutCardOnField(tw, card, owner);
        EXPECT_NE(s, 0) << card.Name << " was not placed";
        Quiet();
        return s;
    }
    void Quiet() {
        tw.net.SentCommands.clear();
        duel.chat.set_text("");
        refreshes = 0;
    }

    void GiveHand(const std::vector<std::string>& names) {
        tw.piles.HandCards = PileOf(names);
        duel.hand.clear();
        for (const auto& n : names) duel.hand.add_item(n);
    }

    Lines Sent() const { return fx.sent(); }
    Lines Log() { return LogLines(duel); }
    // What was sent, less the pile counts.
    Lines SentCommands() const {
        Lines out;
        for (const auto& c : Sent())
            if (c.rfind("us~", 0) != 0) out.push_back(c);
        return out;
    }

    Census Where() {
        Census where;
        auto count = [&](const rt::Array<Card>& pile, auto place) {
            for (int i = 1; i <= pile.ubound(); ++i)
                if (HoldsCard(pile[i])) where[pile[i].Name].push_back(place(pile[i]));
        };
        count(tw.piles.DeckCards, [](const Card&) { return "deck"; });
        count(tw.piles.HandCards, [](const Card&) { return "hand"; });
        count(tw.piles.TrashCards, [](const Card& c) { return c.RemovedFromGame ? "rfg" : "graveyard"; });
        count(tw.piles.ExtraDeckCards, [](const Card&) { return "extra"; });
        for (int s = kFirstFieldSlot; s <= kLastFieldSlot; ++s)
            if (duel.cardstencil.exists(s)) where[tw.field.FieldCards[s].Name].push_back("field");
        // The hand list must still follow HandCards, item for item.
        std::vector<std::string> listed;
        for (int i = 1; i <= tw.piles.HandCards.ubound(); ++i)
            if (!tw.piles.HandCards[i].Name.empty()) listed.push_back(tw.piles.HandCards[i].Name);
        EXPECT_EQ(duel.hand.items(), listed) << "the hand list no longer follows HandCards";
        return where;
    }
    int CardsInPlay() {
        int n = 0;
        for (const auto& [name, places] : Where()) n += static_cast<int>(places.size());
        return n;
    }

    using Handler = void (win::FormA::*)();
    void Click(Handler handler) {
        win::FormA* form = &duel;
        (form->*handler)();
    }
};

struct ByHand : ::testing::Test, ByHandTable {};

}  // namespace tw::test
