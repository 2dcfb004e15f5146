// Adding to and taking off the deck list as line edits, without a window.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "deckeditor/deck_list.hpp"

namespace tw {
namespace {

using Lines = std::vector<std::string>;

struct AddCase {
    const char* what;
    Lines before;
    std::string set, name;
    int limit;
    DeckRegion region;
    Lines after;          // empty: refused, list unchanged
    std::string message;  // "" when accepted
    Notice notice = Notice::Direct;
};

TEST(PlanAdd, CopyAndBanLimits) {
    const std::string side = "-SIDE DECK-";
    const std::string three_sa = "You already have 3 SA Alpha in your deck and Side Deck";
    const std::vector<AddCase> cases = {
        {"new card goes last above the marker", {"1 Sa Beta", side, "1 Sa Gamma"}, "SA", "Alpha", 3,
         DeckRegion::Deck, {"1 Sa Beta", "1 Sa Alpha", side, "1 Sa Gamma"}, ""},
        {"new side card goes first below the marker", {"1 Sa Beta", side, "1 Sa Gamma"}, "SA", "Alpha",
         3, DeckRegion::Side, {"1 Sa Beta", side, "1 Sa Alpha", "1 Sa Gamma"}, ""},
        {"set code in capitals keeps only its first letter", {side}, "LOB", "Alpha", 3, DeckRegion::Deck,
         {"1 Lob Alpha", side}, ""},
        {"an existing deck line is raised", {"2 Sa Alpha", side}, "sa", "alpha", 3, DeckRegion::Deck,
         {"3 Sa Alpha", side}, ""},
        {"2 in deck and 1 in side of one printing", {"2 Sa Alpha", side, "1 Sa Alpha"}, "SA", "Alpha", 3,
         DeckRegion::Deck, {}, three_sa},
        {"another printing raises the deck line, its set kept", {"2 Sa Alpha", side}, "SB", "Alpha", 3,
         DeckRegion::Deck, {"3 Sa Alpha", side}, ""},
        // The line raised is a printing of its own: it may not pass what the ban check lets through.
        {"another printing would make a fourth copy of the raised one", {"2 Sa Alpha", side, "1 Sa Alpha"},
         "SB", "Alpha", 3, DeckRegion::Deck, {}, "You already have 3 Sa Alpha in your deck and Side Deck"},
        {"so would a side add", {"1 Sa Alpha", side, "2 Sa Alpha"}, "SB", "Alpha", 3, DeckRegion::Side, {},
         "You already have 3 Sa Alpha in your deck and Side Deck"},
        {"a limited printing counts its side copies", {"1 Sa Alpha", side, "1 Sa Alpha"}, "SA", "Alpha", 2,
         DeckRegion::Deck, {}, "Alpha is restricted to 2 per deck."},
        {"two lines of one printing count together", {"2 Sa Alpha", "1 Sb Alpha", "1 Sa Alpha", side}, "SA",
         "Alpha", 3, DeckRegion::Deck, {}, three_sa},
        {"3 in the side deck refuse a deck add", {side, "3 Sa Alpha"}, "SA", "Alpha", 3, DeckRegion::Deck,
         {}, three_sa},
        {"2 in the side deck let a deck line in", {side, "2 Sa Alpha"}, "SA", "Alpha", 3,
         DeckRegion::Deck, {"1 Sa Alpha", side, "2 Sa Alpha"}, ""},
        {"side add raises the side line", {"1 Sa Alpha", side, "1 Sb Alpha"}, "SB", "Alpha", 3,
         DeckRegion::Side, {"1 Sa Alpha", side, "2 Sb Alpha"}, ""},
        {"limited card at its limit", {"1 Sa Alpha", side}, "SB", "Alpha", 1, DeckRegion::Deck, {},
         "Alpha is restricted to 1 per deck."},
        {"side variant: restricted without a full stop", {side, "2 Sa Alpha"}, "SA", "Alpha", 2,
         DeckRegion::Side, {}, "Alpha is restricted to 2 per deck"},
        {"limit counted on each line, deck or side", {side, "1 Sa Alpha"}, "SB", "Alpha", 1,
         DeckRegion::Deck, {}, "Alpha is restricted to 1 per deck."},
        {"forbidden card: plain box on the deck side", {"1 Sa Beta", side}, "SA", "Alpha", 0,
         DeckRegion::Deck, {}, "Alpha is banned in this format", Notice::Plain},
        {"forbidden card: side variant", {side}, "SA", "Alpha", 0, DeckRegion::Side, {},
         "Alpha is banned in this format", Notice::Direct},
        // A line already over the limit (a list from before the ban list changed) is never
        // raised further, and a forbidden card is never raised.
        {"a line over the limit is not raised", {"3 Sa Alpha", side}, "SB", "Alpha", 2,
         DeckRegion::Deck, {}, "Alpha is restricted to 2 per deck."},
        {"a forbidden card with a line is not raised", {"1 Sa Alpha", side}, "SA", "Alpha", 0,
         DeckRegion::Deck, {}, "Alpha is banned in this format", Notice::Plain},
        {"comments are passed over", {"//1 Sa Alpha", "//3 Sa Alpha", side}, "SA", "Alpha", 1,
         DeckRegion::Deck, {"//1 Sa Alpha", "//3 Sa Alpha", "1 Sa Alpha", side}, ""},
        {"long set codes: the name follows the second blank", {"1 Abcde Long Wyrm", side}, "ABCDE",
         "Long Wyrm", 3, DeckRegion::Deck, {"2 Abcde Long Wyrm", side}, ""},
        // Without a marker every line is deck, so the copy limit still holds.
        {"no marker: a deck add raises the line", {"2 Sa Alpha"}, "SA", "Alpha", 3, DeckRegion::Deck,
         {"3 Sa Alpha"}, ""},
        {"no marker: a new deck line goes at the end", {"1 Sa Beta"}, "SA", "Alpha", 3,
         DeckRegion::Deck, {"1 Sa Beta", "1 Sa Alpha"}, ""},
        {"no marker: a side add brings the marker back", {"1 Sa Beta"}, "SA", "Alpha", 3,
         DeckRegion::Side, {"1 Sa Beta", side, "1 Sa Alpha"}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const AddPlan p = PlanAdd(c.before, c.set, c.name, c.limit, c.region);
        EXPECT_EQ(p.message, c.message);
        if (c.after.empty()) {
            EXPECT_FALSE(p.changed);
        } else {
            ASSERT_TRUE(p.changed);
            EXPECT_EQ(p.lines, c.after);
            // The one-edit form gives the same list.
            Lines edited = c.before;
            if (p.append_marker) edited.push_back("-SIDE DECK-");
            if (p.insert)
                edited.insert(edited.begin() + p.index, p.lines[p.index]);
            else
                edited[p.index] = p.lines[p.index];
            EXPECT_EQ(edited, c.after);
        }
        if (!c.message.empty()) {
            EXPECT_EQ(p.notice, c.notice);
        }
    }
}

TEST(PlanTakeOff, OneCopyAtATime) {
    const Lines list = {"//note", "3 Sa Alpha", "1 Sa Beta", "-SIDE DECK-", "2 Sb Gamma", "junk"};
    struct Case {
        int index;
        std::optional<Lines> after;
    };
    const std::vector<Case> cases = {
        {0, Lines{"3 Sa Alpha", "1 Sa Beta", "-SIDE DECK-", "2 Sb Gamma", "junk"}},
        {1, Lines{"//note", "2 Sa Alpha", "1 Sa Beta", "-SIDE DECK-", "2 Sb Gamma", "junk"}},
        {2, Lines{"//note", "3 Sa Alpha", "-SIDE DECK-", "2 Sb Gamma", "junk"}},
        {3, std::nullopt},  // the marker stays
        {4, Lines{"//note", "3 Sa Alpha", "1 Sa Beta", "-SIDE DECK-", "1 Sb Gamma", "junk"}},
        {5, std::nullopt},  // not a card line
        {-1, std::nullopt},
        {6, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(PlanTakeOff(list, c.index), c.after);
    }
}

TEST(DeckLines, MarkerAndLineParts) {
    EXPECT_EQ(FindSideDeck({"1 Sa A", "-side deck-", "-SIDE DECK-", "-SIDE DECK-"}), 2);
    EXPECT_EQ(FindSideDeck({"1 Sa A"}), 0);
    EXPECT_EQ(MarkerIndex({"1 Sa A"}), std::nullopt);
    EXPECT_EQ(DeckPartEnd({"1 Sa A", "2 Sa B"}), 2);
    EXPECT_EQ(DeckPartEnd({"-SIDE DECK-", "2 Sa B"}), 0);

    const auto d = ParseDeckLine("2 ABCDE Name With Blanks ");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->count, 2);
    EXPECT_EQ(d->set, "ABCDE");
    EXPECT_EQ(d->name, "Name With Blanks");
    for (const char* bad : {"//2 Sa A", "-SIDE DECK-", "x Sa A", "2 Sa", "2  A", "", "2 Sa  "})
        EXPECT_FALSE(ParseDeckLine(bad)) << bad;
}

}  // namespace
}  // namespace tw
