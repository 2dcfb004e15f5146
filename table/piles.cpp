#include "table/piles.hpp"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "cards/duel_log.hpp"
#include "cards/errors.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/send_command.hpp"
#include "platform/rt.hpp"
#include "platform/tcp.hpp"
#include "table/pile_viewer.hpp"

namespace tw {

bool IsLiveEntry(const Card& c) { return !c.Name.empty() && c.Name != kDrawn; }

void RecountDeck(Tablewright& tw) {
    auto& deck = tw.piles.DeckCards;
    const int n = deck.ubound();
    // Every duel-log line recounts the deck, so the records are moved, never copied.
    std::vector<Card> live;
    std::vector<Card> dead;
    live.reserve(static_cast<std::size_t>(std::max(n, 0)));
    for (int i = 1; i <= n; ++i) {
        if (IsLiveEntry(deck[i])) {
            live.push_back(std::move(deck[i]));
        } else {
            dead.push_back(std::move(deck[i]));
        }
    }
    const int l = static_cast<int>(live.size());
    if (l >= 1) {
        for (int i = 1; i <= l; ++i) deck[i] = std::move(live[static_cast<std::size_t>(i - 1)]);
        for (int i = l + 1; i <= n; ++i) {
            deck[i] = std::move(dead[static_cast<std::size_t>(i - l - 1)]);
            deck[i].Name = kDrawn;
        }
        tw.piles.DeckRemaining = l;
        tw.piles.DrawnCount = n - l;
    } else if (n >= 1) {
        for (int i = 1; i <= n; ++i) deck[i] = std::move(dead[static_cast<std::size_t>(i - 1)]);
        // The empty top entry stands for "no card"; the draw and the counts know it.
        deck[1] = Card{};
        tw.piles.DeckRemaining = 1;
        if (n >= 2) {
            deck[2].Name = kDrawn;
            tw.piles.DrawnCount = 1;
        } else {
            tw.piles.DrawnCount = 0;
        }
    } else {
        tw.piles.DeckRemaining = 0;
        tw.piles.DrawnCount = 0;
    }
}

void UpdateStats(Tablewright& tw) {
    auto& duel = tw.FormA();
    auto& grid = duel.Stats;

    grid.set_text_matrix(1, 1, rt::cstr(rt::cint16(duel.hand.list_count())));

    RecountDeck(tw);
    std::int16_t deck = 0;
    for (int i = 1; i <= tw.piles.DeckCards.ubound(); ++i)
        if (IsLiveEntry(tw.piles.DeckCards[i])) rt::inc16(deck);
    grid.set_text_matrix(2, 1, rt::cstr(deck));

    std::int16_t graveyard = 0;
    std::int16_t removed = 0;
    for (int i = 1; i <= tw.piles.TrashCards.ubound(); ++i) {
        const Card& c = tw.piles.TrashCards[i];
        if (!IsLiveEntry(c)) continue;
        rt::inc16(c.RemovedFromGame ? removed : graveyard);
    }
    grid.set_text_matrix(3, 1, rt::cstr(graveyard));
    grid.set_text_matrix(4, 1, rt::cstr(removed));

    std::int16_t extra = 0;
    for (int i = 1; i <= tw.piles.ExtraDeckCards.ubound(); ++i)
        if (IsLiveEntry(tw.piles.ExtraDeckCards[i])) rt::inc16(extra);
    grid.set_text_matrix(5, 1, rt::cstr(extra));

    std::string command = "us~";
    for (int row = 1; row <= 5; ++row) {
        if (row > 1) command += ':';
        command += grid.text_matrix(row, 1);
    }
    std::int16_t tag = 0;
    SendCommand(tw, command, tag);
}

std::string CardMarkup(const Card& c) { return "{card='" + c.Name + "' set='" + c.SetCode + "'}"; }

bool HoldsCard(const Card& c) { return c.Name != kDrawn && !rt::trim(c.Name).empty(); }

void AppendToTrash(Tablewright& tw, Card card) {
    auto& trash = tw.piles.TrashCards;
    const int at = trash.ubound() + 1;
    trash.redim_preserve(at);
    trash[at] = std::move(card);
}

void AppendToHand(Tablewright& tw, Card card) {
    auto& list = tw.FormA().hand;
    const int at = list.list_count() + 1;
    tw.piles.HandCards.redim_preserve(at);
    list.add_item(card.Name);
    tw.piles.HandCards[at] = std::move(card);
}

namespace {

// 0 to n: the integer part of a fraction in [0, 1) times (n + 1).
int RandomIndex(Tablewright& tw, int n) {
    return static_cast<int>(static_cast<double>(tw.random.rnd()) * (n + 1));
}

}  // namespace

void ShuffleDeck(Tablewright& tw) {
    RecountDeck(tw);
    auto& deck = tw.piles.DeckCards;
    const int n = tw.piles.DeckRemaining;
    if (n == 0) {
        ShowMessage(tw, "There are no cards left in the deck");
        return;
    }
    const int ub = deck.ubound();
    tw.random.randomize(tw.app.clock().time_of_day_s());
    for (int i = 0; i <= 120; ++i) {
        const int j = (i % n) + 1;
        const int r = RandomIndex(tw, n);
        if (r != 0) std::swap(deck[j], deck[r]);
    }
    tw.random.randomize(tw.app.clock().time_of_day_s());
    // n + 1 may be the first tombstone: the next recount moves the card swapped with it to the
    // bottom of the live part.
    for (int k = 0; k <= 2500; ++k) {
        const int a = RandomInt(tw, 0, n + 1);
        const int b = RandomIndex(tw, n);
        if (a > 0 && b > 0 && a != b && a <= ub && b <= ub) std::swap(deck[a], deck[b]);
    }
}

void DrawCard(Tablewright& tw, bool show) {
    if (!tw.piles.DeckLoaded) {
        ShowMessage(tw, "Please goto file then to deck and make or load a deck");
        return;
    }
    RecountDeck(tw);
    auto& duel = tw.FormA();
    auto& hand = tw.piles.HandCards;
    const int last = duel.hand.list_count() + 1;
    hand.redim_preserve(last);

    auto& deck = tw.piles.DeckCards;
    // A deck array with no element 1 holds no card either.
    if (deck.ubound() < 1 || !IsLiveEntry(deck[1])) return;

    const bool face_up_inside = deck[1].Flipped;
    deck[1].Flipped = false;
    hand[last] = deck[1];
    tw.piles.LastDrawnCard = hand[last];
    deck[1].Name = kDrawn;
    duel.hand.add_item(hand[last].Name);
    hand[last].Flipped = false;
    hand[last].Horizontal = false;
    hand[last].PictureDrawn = false;
    RecountDeck(tw);

    const Card drawn = hand[last];
    std::string next;
    // After the last card the top entry is no card: naming it would show an empty reference.
    if (tw.piles.DeckFaceUp && IsLiveEntry(deck[1]))
        next = ". The next card in the deck is " + CardMarkup(deck[1]);

    std::string line;
    if (face_up_inside)
        line = tw.prefs.UserName + " drew a FACE UP " + CardMarkup(drawn) + next;
    else if (show)
        line = tw.prefs.UserName + " drew a " + CardMarkup(drawn) + next;
    else
        line = tw.prefs.UserName + " drew a card";
    AddChat(tw, line, "Game", true);
    RefreshPileViewerForDeck(tw);
}

void CompactHand(Tablewright& tw) {
    auto& hand = tw.piles.HandCards;
    std::vector<Card> kept;
    for (int i = 0; i <= hand.ubound(); ++i)
        if (IsLiveEntry(hand[i])) kept.push_back(hand[i]);
    rt::Array<Card> fresh(static_cast<int>(kept.size()));
    for (std::size_t i = 0; i < kept.size(); ++i) fresh[static_cast<int>(i) + 1] = kept[i];
    hand = std::move(fresh);

    auto& list = tw.FormA().hand;
    list.clear();
    for (int i = 1; i <= hand.ubound(); ++i) list.add_item(hand[i].Name);
}

int FreePileEntry(rt::Array<Card>& pile, int from, bool empty_is_free) {
    for (int i = from; i <= pile.ubound(); ++i) {
        const std::string& name = pile[i].Name;
        if (name == kDrawn || (empty_is_free && name.empty())) return i;
    }
    const int grown = pile.ubound() + 1;
    pile.redim_preserve(grown);
    pile[grown].Name = kDrawn;
    return grown;
}

void PutCardInDeck(Tablewright& tw, const Card& card, DeckEnd end) {
    RecountDeck(tw);
    auto& deck = tw.piles.DeckCards;
    const int ub = deck.ubound();
    // After the recount any free entry lies behind the live cards, so the last one is free
    // whenever one is: the shift to the top overwrites it.
    const int free = FreePileEntry(deck, 1, true);
    if (deck.ubound() > ub) ++tw.piles.DrawnCount;
    if (end == DeckEnd::Top) {
        for (int j = deck.ubound() - 1; j >= 1; --j) deck[j + 1] = deck[j];
        deck[1] = card;
    } else {
        deck[free] = card;
    }
    --tw.piles.DrawnCount;
}

}  // namespace tw

namespace tw::win {

void FormA::drawcard_Click() {
    Trapped("DrawCard", [&] {
        if (!tw_.piles.DeckLoaded) return;
        if (Winsock1.state() != platform::TcpSocket::StateConnected) tw_.piles.PlayedOffline = true;
        DrawCard(tw_, tw_.piles.DeckFaceUp);
    });
}

void FormA::DrawAndShow_Click() {
    Trapped("DrawAndShow", [&] {
        if (Winsock1.state() != platform::TcpSocket::StateConnected) tw_.piles.PlayedOffline = true;
        DrawCard(tw_, true);
    });
}

}  // namespace tw::win
