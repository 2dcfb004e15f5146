#pragma once
// The card database as the set load leaves it: what every window reads cards from.
#include <memory>
#include <string>
#include <vector>

#include "cards/card.hpp"
#include "cards/card_store.hpp"

namespace tw {

struct CardLookupIndex;

struct CardData {
    CardStore CardDatabase;
    std::vector<std::string> SetCodes;
    std::shared_ptr<CardLookupIndex> CardDatabaseIndex;  // built by the set load
    std::vector<Card> SpareCardList = std::vector<Card>(1);  // a second list LookupCard consults
};

}  // namespace tw
