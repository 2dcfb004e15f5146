#include "table/piles.hpp"

#include <cstdint>
#include <string>
#include <vector>

#include "cards/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/send_command.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

// The recount's test: any name holding the capitals "DRAWN" is dead, as is an empty one.
bool is_live_for_recount(const Card& c) {
    return !c.Name.empty() && c.Name.find(kDrawn) == std::string::npos;
}

// The counts' test: only the exact markers are dead.
bool is_counted(const Card& c) { return !c.Name.empty() && c.Name != kDrawn; }

}  // namespace

void RecountDeck(Tablewright& tw) {
    auto& deck = tw.DeckCards;
    const int n = deck.ubound();
    std::vector<Card> live;
    std::vector<Card> dead;
    for (int i = 1; i <= n; ++i) {
        if (is_live_for_recount(deck[i])) {
            live.push_back(deck[i]);
        } else {
            dead.push_back(deck[i]);
            dead.back().Name = kDrawn;
        }
    }
    const int l = static_cast<int>(live.size());
    if (l >= 1) {
        for (int i = 1; i <= l; ++i) deck[i] = live[static_cast<std::size_t>(i - 1)];
        for (int i = l + 1; i <= n; ++i) deck[i] = dead[static_cast<std::size_t>(i - l - 1)];
        tw.DeckRemaining = l;
        tw.DrawnCount = n - l;
    } else if (n >= 1) {
        // The empty top entry stands for "no card"; the draw and the counts know it.
        deck[1] = Card{};
        tw.DeckRemaining = 1;
        if (n >= 2) {
            deck[2].Name = kDrawn;
            tw.DrawnCount = 1;
        } else {
            tw.DrawnCount = 0;
        }
    } else {
        tw.DeckRemaining = 0;
        tw.DrawnCount = 0;
    }
}

void UpdateStats(Tablewright& tw) {
    auto& duel = tw.FormA();
    auto& grid = duel.Stats;

    grid.set_text_matrix(1, 1, rt::cstr(rt::cint16(duel.hand.list_count())));

    RecountDeck(tw);
    std::int16_t deck = 0;
    for (int i = 1; i <= tw.DeckCards.ubound(); ++i)
        if (is_counted(tw.DeckCards[i])) rt::inc16(deck);
    grid.set_text_matrix(2, 1, rt::cstr(deck));

    std::int16_t graveyard = 0;
    std::int16_t removed = 0;
    for (int i = 1; i <= tw.TrashCards.ubound(); ++i) {
        const Card& c = tw.TrashCards[i];
        if (!is_counted(c)) continue;
        rt::inc16(c.RemovedFromGame ? removed : graveyard);
    }
    grid.set_text_matrix(3, 1, rt::cstr(graveyard));
    grid.set_text_matrix(4, 1, rt::cstr(removed));

    std::int16_t extra = 0;
    for (int i = 1; i <= tw.ExtraDeckCards.ubound(); ++i)
        if (is_counted(tw.ExtraDeckCards[i])) rt::inc16(extra);
    grid.set_text_matrix(5, 1, rt::cstr(extra));

    std::string command = "us~";
    for (int row = 1; row <= 5; ++row) {
        if (row > 1) command += ':';
        command += grid.text_matrix(row, 1);
    }
    std::int16_t tag = 0;
    SendCommand(tw, command, tag);
}

}  // namespace tw
