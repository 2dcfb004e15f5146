#pragma once
// A loaded duel window with piles set up by name, and what the peer was sent.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw::test {

inline Card Named(const std::string& name, const std::string& set = "S") {
    Card c;
    c.Name = name;
    c.SetCode = set;
    return c;
}

// Elements 1 on hold these names (set "S"); element 0 is empty.
inline rt::Array<Card> PileOf(const std::vector<std::string>& names) {
    rt::Array<Card> a(static_cast<int>(names.size()));
    for (std::size_t i = 0; i < names.size(); ++i) a[static_cast<int>(i) + 1] = Named(names[i]);
    return a;
}

inline std::vector<std::string> NamesOf(const rt::Array<Card>& a) {
    std::vector<std::string> out;
    for (int i = 1; i <= a.ubound(); ++i) out.push_back(a[i].Name);
    return out;
}

struct PilesTest : ::testing::Test {
    TableFixture fx;
    Tablewright& tw = fx.tw();
    win::FormA& duel = tw.FormA();  // loaded before the piles are set: its load empties them

    std::size_t notices_at_start = fx.host.messages().size();

    PilesTest() {
        tw.prefs.UserName = "Me";
        tw.net.SentCommands.clear();
    }

    // The hand list and HandCards, item for item.
    void GiveHand(const std::vector<std::string>& names) {
        tw.piles.HandCards = PileOf(names);
        duel.hand.clear();
        for (const auto& n : names) duel.hand.add_item(n);
    }
    // The hand as the list shows it, checked against HandCards on the way.
    std::vector<std::string> Hand() {
        std::vector<std::string> list = duel.hand.items();
        EXPECT_EQ(NamesOf(tw.piles.HandCards), list) << "HandCards no longer follows the list";
        return list;
    }
    void Select(const std::string& name) {
        const auto& items = duel.hand.items();
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] == name) return duel.hand.set_list_index(static_cast<int>(i));
        FAIL() << name << " is not in the hand";
    }
    std::vector<std::string> Sent() const {
        std::vector<std::string> out;
        for (const auto& c : tw.net.SentCommands) out.push_back(c.command);
        return out;
    }
    // The notice boxes shown since the window's load.
    std::vector<std::string> Notices() const {
        std::vector<std::string> out;
        const auto& all = fx.host.messages();
        for (std::size_t i = notices_at_start; i < all.size(); ++i) out.push_back(all[i].text);
        return out;
    }
};

}  // namespace tw::test
