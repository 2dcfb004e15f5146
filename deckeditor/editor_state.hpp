#pragma once
// The deck editor's search, ban list and deck file.
#include <string>
#include <vector>

#include "cards/card_store.hpp"

namespace tw {

struct DeckEditorState {
    explicit DeckEditorState(const CardStore& cards) : SearchResults(cards) {}
    SearchHits SearchResults;    // positions in the card database
    bool SearchRunning = false;  // a card search is going through the database
    std::vector<std::string> BanList = std::vector<std::string>(1);
    std::string LastDeckPath;
};

}  // namespace tw
