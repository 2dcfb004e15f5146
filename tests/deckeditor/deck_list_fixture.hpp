#pragma once
// A started deck editor over a small card database of our own and a known ban list, with
// helpers to pick a search hit and to lay out a deck list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cards/card.hpp"
#include "program/tablewright.hpp"
#include "deckeditor/deckmaker.hpp"
#include "tests/deckeditor/editor_fixture.hpp"

namespace tw::test {

inline Card MakeCard(std::string name, std::string set, std::string group = "Warrior",
                     bool fusion = false) {
    Card c;
    c.Name = std::move(name);
    c.SetCode = std::move(set);
    c.Group = std::move(group);
    c.Fusion = fusion;
    return c;
}

struct DeckEditorTest : EditorTest {
    void SetUp() override {
        returning_player();
        start();
        for (int i = 1; i <= 60; ++i) tw().cards.CardDatabase.push_back(MakeCard("Card " + std::to_string(i), "TST"));
        tw().cards.CardDatabase.push_back(MakeCard("Twin Drake", "TST", "Dragon/Fusion", true));
        tw().cards.CardDatabase.push_back(MakeCard("Lone Lantern", "TST"));
        tw().cards.CardDatabase.push_back(MakeCard("Lone Lantern", "OTR"));
        tw().cards.CardDatabase.push_back(MakeCard("Forbidden Fang", "TST"));
        tw().cards.CardDatabase.push_back(MakeCard("Pair Pike", "TST"));
        tw().cards.CardDatabase.push_back(MakeCard("Long Wyrm", "ABCDE"));
        tw().cards.CardDatabase.push_back(MakeCard("Spark Bolt", "TST", "Spell Card"));
        tw().editor.SearchResults.clear();
        tw().editor.BanList = {"1|Lone Lantern", "0|Forbidden Fang", "2|Pair Pike", "1|Long Wyrm", ""};
        ASSERT_TRUE(host.messages().empty());
    }

    win::DeckMaker& dm() { return editor(); }

    // The search hit in row 1 of the result grid, made current.
    void pick(const std::string& set, const std::string& name) {
        dm().Grid.set_rows(2);
        dm().Grid.set_text_matrix(1, 1, set);
        dm().Grid.set_text_matrix(1, 2, name);
        dm().Grid.set_row(1);
    }

    // Replaces the deck list and counts it, as a deck file read would leave it.
    void lay(const std::vector<std::string>& lines) {
        dm().List1.clear();
        for (const auto& l : lines) dm().List1.add_item(l);
        dm().ComputeDeckAmount();
    }

    // n copies of distinct plain cards as deck lines of up to 3 copies.
    static std::vector<std::string> Plain(int n, int first = 1) {
        std::vector<std::string> out;
        for (int k = first; n > 0; ++k) {
            const int c = n < 3 ? n : 3;
            out.push_back(std::to_string(c) + " Tst Card " + std::to_string(k));
            n -= c;
        }
        return out;
    }

    std::vector<std::string> list() { return dm().List1.items(); }
    std::string last_text() {
        return host.messages().empty() ? std::string() : host.messages().back().text;
    }
};

}  // namespace tw::test
