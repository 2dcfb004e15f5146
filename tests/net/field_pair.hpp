#pragma once
// Two tables with the sample card set, its pictures and tokens, connected on loopback: what each
// player does to the shared field by hand, and what each table shows of a slot, so that a test
// can hold the two tables against each other.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "cards/card.hpp"
#include "cards/card_lookup.hpp"
#include "cards/helpers.hpp"
#include "cards/set_file.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/send_command.hpp"
#include "table/field.hpp"
#include "table/field_slots.hpp"
#include "tests/support/duel_pair.hpp"

namespace tw::test {

namespace fs = std::filesystem;

inline fs::path SampleData() { return fs::path(TW_SOURCE_DIR) / "data"; }

// The sample set in the card database, its frames and art under images/, its token file.
inline void GiveSampleCards(NetSide& side) {
    const fs::path folder = side.dir.path();
    fs::copy(SampleData() / "images", folder / "images", fs::copy_options::recursive);
    fs::copy_file(SampleData() / "token.ptcg", folder / "token.ptcg");
    side.tw().cards.CardDatabase = ParseSetFile(ReadFileText(SampleData() / "zqm.set"));
    IndexCardDatabase(side.tw());
}

// A card of the sample set, as the deck hand-over puts it into a pile.
inline Card SampleCard(NetSide& side, const std::string& set, const std::string& name) {
    Card c = LookupCard(side.tw(), set, name);
    EXPECT_NE(c.Name, kBadCard) << set << " " << name;
    return c;
}

// The hand list and HandCards, item for item.
inline void GiveHand(NetSide& side, const std::vector<Card>& cards) {
    auto& tw = side.tw();
    tw.piles.HandCards.redim(static_cast<int>(cards.size()));
    side.duel().hand.clear();
    for (std::size_t i = 0; i < cards.size(); ++i) {
        tw.piles.HandCards[static_cast<int>(i) + 1] = cards[i];
        side.duel().hand.add_item(cards[i].Name);
    }
}

// The slots that hold a card on this table.
inline std::vector<int> SlotsInUse(NetSide& side) {
    std::vector<int> out;
    for (int s = kFirstFieldSlot; s <= kLastFieldSlot; ++s)
        if (SlotInUse(side.tw(), s)) out.push_back(s);
    return out;
}

// What a slot's picture shows: its frame, and each painting on it (art by file, the turned
// copy by its pixels).
inline std::string PictureOf(NetSide& side, int s) {
    const auto& box = side.duel().cardstencil[s];
    std::string out = box.picture() ? box.picture()->source.filename().string() : "(none)";
    for (const auto& op : box.display_list()) {
        out += " +";
        if (!op.picture) continue;
        if (!op.picture->source.empty()) {
            out += op.picture->source.parent_path().filename().string() + "/" + op.picture->source.filename().string();
        } else {
            std::uint64_t h = 1469598103934665603ull;
            for (auto px : op.picture->pixels) h = (h ^ px) * 1099511628211ull;
            out += "pixels:" + std::to_string(h);
        }
        out += "@" + std::to_string(static_cast<int>(op.x)) + "," + std::to_string(static_cast<int>(op.y));
    }
    return out;
}

// The border colour a table gives a card: white for its own player's, else the seat's.
inline platform::Color BorderFor(NetSide& viewer, std::int32_t controller) {
    if (controller == viewer.tw().net.PlayerNumber) return kOwnBorderColour;
    return controller == 1 ? kSeat1BorderColour : kSeat2BorderColour;
}

// The viewer's copy of a card of the owner lies where the owner's lies, upside down, and shows
// the same picture, labels and counters, with the border of its controller.
inline void ExpectMirrored(NetSide& owner, NetSide& viewer, int s) {
    SCOPED_TRACE("slot " + std::to_string(s));
    ASSERT_TRUE(SlotInUse(viewer.tw(), s));
    auto& o = owner.duel();
    auto& v = viewer.duel();
    const auto& op = o.cardstencil[s];
    const auto& vp = v.cardstencil[s];
    EXPECT_EQ(vp.left(), op.left());
    EXPECT_EQ(vp.top(), v.playsurface.height() - op.top() - op.height());
    EXPECT_EQ(vp.width(), op.width());
    EXPECT_EQ(vp.height(), op.height());
    EXPECT_TRUE(vp.visible());
    EXPECT_EQ(PictureOf(viewer, s), PictureOf(owner, s));

    EXPECT_EQ(v.Label5[s].visible(), o.Label5[s].visible());
    if (o.Label5[s].visible()) {
        EXPECT_EQ(v.Label5[s].caption(), o.Label5[s].caption());
    }
    EXPECT_EQ(v.Label5[s].left(), vp.left());
    EXPECT_EQ(v.Label5[s].top(), vp.top() - kLabelAbovePicture);

    EXPECT_EQ(v.Label4[s].visible(), o.Label4[s].visible());
    if (o.Label4[s].visible()) {
        EXPECT_EQ(v.Label4[s].caption(), o.Label4[s].caption());
        EXPECT_EQ(v.Label4[s].left(), vp.left());
        EXPECT_EQ(v.Label4[s].top(), vp.top() + vp.height());
    }

    EXPECT_EQ(v.Shape1[s].left(), vp.left());
    EXPECT_EQ(v.Shape1[s].top(), vp.top());
    EXPECT_EQ(v.Shape1[s].width(), o.Shape1[s].width());
    EXPECT_EQ(v.Shape1[s].height(), o.Shape1[s].height());
    const std::int32_t controller = owner.tw().field.FieldCards[s].Controller;
    EXPECT_EQ(o.Shape1[s].border_color(), BorderFor(owner, controller));
    EXPECT_EQ(v.Shape1[s].border_color(), BorderFor(viewer, controller));
}

// What the two tables record of the field agrees: the same slots in use, each card in the same
// state and place, its name known wherever the card is face up, and the same grid (a free place
// is free, whether never taken or taken and freed).
inline void ExpectFieldsAgree(NetSide& a, NetSide& b) {
    ASSERT_EQ(SlotsInUse(a), SlotsInUse(b));
    for (int s : SlotsInUse(a)) {
        SCOPED_TRACE("slot " + std::to_string(s));
        const Card& x = a.tw().field.FieldCards[s];
        const Card& y = b.tw().field.FieldCards[s];
        EXPECT_EQ(x.Slot, s);
        EXPECT_EQ(y.Slot, s);
        EXPECT_EQ(x.Controller, y.Controller);
        EXPECT_EQ(x.Flipped, y.Flipped);
        EXPECT_EQ(x.Horizontal, y.Horizontal);
        EXPECT_EQ(x.Counters, y.Counters);
        EXPECT_EQ(x.GridRow, y.GridRow);
        EXPECT_EQ(x.GridCol, y.GridCol);
        const bool a_knows = x.Name != kFaceDownCard;
        const bool b_knows = y.Name != kFaceDownCard;
        if (!x.Flipped) {
            EXPECT_TRUE(a_knows && b_knows) << x.Name << " / " << y.Name;
        }
        if (a_knows && b_knows) {
            EXPECT_EQ(x.Name, y.Name);
            EXPECT_EQ(x.SetCode, y.SetCode);
            EXPECT_EQ(x.Fusion, y.Fusion);
            EXPECT_EQ(x.CurrentAtk, y.CurrentAtk);
            EXPECT_EQ(x.CurrentDef, y.CurrentDef);
        }
        // Only the player who controls a face-down card may know what it is.
        if (x.Flipped && x.Controller != a.tw().net.PlayerNumber && !b_knows) {
            EXPECT_FALSE(a_knows);
        }
    }
    for (int row = 0; row <= 3; ++row)
        for (int col = 0; col <= 6; ++col) {
            const auto free = [](std::int32_t v) { return v < 1 ? 0 : v; };
            EXPECT_EQ(free(a.tw().field.FieldGrid(row, col)), free(b.tw().field.FieldGrid(row, col)))
                << "place " << row << "," << col;
        }
}

// Two players with the sample set, connected and greeted: Ann in seat 1, Bob in seat 2.
struct FieldPair {
    DuelPair pair;
    NetSide& ann = pair.ann;
    NetSide& bob = pair.bob;

    FieldPair() {
        GiveSampleCards(ann);
        GiveSampleCards(bob);
        EXPECT_TRUE(pair.Connect());
        EXPECT_TRUE(pair.Greet());
        Settle();
    }

    NetSide& other(NetSide& side) { return &side == &ann ? bob : ann; }

    // Until each table has carried out every command the other sent, and the answers to them:
    // a marker goes back and forth three times (frames arrive in order), so that a question and
    // its answer (a flipped card's "si~" and "ii~") are carried out too.
    void Settle() {
        NetSide* from = &ann;
        for (int round = 0; round < 3; ++round) {
            NetSide& to = other(*from);
            const std::int32_t marker = ++markers_;
            std::int32_t cls = 0;
            SendCommand(from->tw(), "nl~" + std::to_string(marker), cls);
            ASSERT_TRUE(pair.PumpUntil([&] { return to.tw().duel.OppLP == marker; })) << "no marker " << marker;
            from = &to;
        }
    }

    // Puts the side's hand card of that name into play from the hand's menu, the way it says.
    int Play(NetSide& side, const std::string& name, void (win::FormA::*how)()) {
        auto& hand = side.duel().hand;
        const auto& items = hand.items();
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] == name) hand.set_list_index(static_cast<int>(i));
        const auto before = SlotsInUse(side);
        (side.duel().*how)();
        Settle();
        for (int s : SlotsInUse(side))
            if (std::find(before.begin(), before.end(), s) == before.end()) return s;
        ADD_FAILURE() << name << " was not put into play";
        return 0;
    }

    // A card menu action on the side's field card.
    void Act(NetSide& side, int slot, void (win::FormA::*action)()) {
        side.tw().field.SelectedSlot = static_cast<std::int16_t>(slot);
        (side.duel().*action)();
        Settle();
    }

    // The card dragged and let go at (left, top) of the side's own table.
    void Drag(NetSide& side, int slot, double left, double top) {
        auto& picture = side.duel().cardstencil[slot];
        picture.move(left, top);
        side.duel().cardstencil_MouseUp(slot, 1, 0, 0, 0);
        Settle();
    }

private:
    std::int32_t markers_ = 100000;
};

}  // namespace tw::test
