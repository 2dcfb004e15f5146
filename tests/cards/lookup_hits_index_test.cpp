// Many search hits are looked up through an index; it must give what the scan gives, and follow
// every new search.
#include <gtest/gtest.h>

#include "cards/card_lookup.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

Card Hit(const std::string& name, const std::string& set) {
    Card c;
    c.Name = name;
    c.SetCode = set;
    c.Desc = name + " of " + set;
    return c;
}

TEST(LookupInManyHits, FirstHitByNameAndANewSearchIsFollowed) {
    test::TableFixture fx;
    auto& t = fx.tw();
    std::vector<Card> hits;
    for (int i = 0; i < 200; ++i) hits.push_back(Hit("Card " + std::to_string(i % 150), i < 150 ? "AAA" : "BBB"));
    t.SearchResults = hits;
    ++t.SearchResultsGeneration;

    EXPECT_EQ(LookupCard(t, "aaa", "CARD 7").Desc, "Card 7 of AAA");   // the lowest index wins
    EXPECT_EQ(LookupCard(t, "AAA", "card 149").Desc, "Card 149 of AAA");
    EXPECT_EQ(LookupCard(t, "AAA", "Card 150").Name, "bad card");       // nowhere else either

    // The same number of hits with other contents: the next search's.
    for (auto& h : hits) h.Desc = "second " + h.Desc;
    t.SearchResults = hits;
    ++t.SearchResultsGeneration;
    EXPECT_EQ(LookupCard(t, "AAA", "Card 7").Desc, "second Card 7 of AAA");
}

}  // namespace
}  // namespace tw
