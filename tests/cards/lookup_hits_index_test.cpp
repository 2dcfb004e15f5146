// Many search hits are looked up through an index; it must give what the scan gives, and follow
// every new search.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "cards/card_lookup.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

Card Hit(const std::string& name, const std::string& set, const std::string& round) {
    Card c;
    c.Name = name;
    c.SetCode = set;
    c.Desc = round + name + " of " + set;
    return c;
}

TEST(LookupInManyHits, FirstHitByNameAndANewSearchIsFollowed) {
    test::TableFixture fx;
    auto& t = fx.tw();
    // Two searches' hits: entries 0 to 199, then 200 to 399 of the same names and sets.
    std::vector<std::uint32_t> first, second;
    for (const char* round : {"", "second "}) {
        auto& hits = *round ? second : first;
        for (int i = 0; i < 200; ++i) {
            hits.push_back(static_cast<std::uint32_t>(t.cards.CardDatabase.size()));
            t.cards.CardDatabase.push_back(Hit("Card " + std::to_string(i % 150), i < 150 ? "AAA" : "BBB", round));
        }
    }
    IndexCardDatabase(t);
    t.editor.SearchResults.assign(first);

    EXPECT_EQ(LookupCard(t, "aaa", "CARD 7").Desc, "Card 7 of AAA");   // the lowest index wins
    EXPECT_EQ(LookupCard(t, "AAA", "card 149").Desc, "Card 149 of AAA");
    EXPECT_EQ(LookupCard(t, "AAA", "Card 150").Name, "bad card");       // nowhere else either

    // The next search's hits: an earlier entry of the name that is no hit is passed over.
    t.editor.SearchResults.assign(second);
    EXPECT_EQ(LookupCard(t, "AAA", "Card 7").Desc, "second Card 7 of AAA");
}

}  // namespace
}  // namespace tw
