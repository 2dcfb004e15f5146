#include "deckeditor/deckmaker.hpp"

#include <unordered_set>

#include "cards/loadset.hpp"
#include "cards/tablewright.hpp"
#include "duel/forma.hpp"
#include "platform/rt.hpp"

namespace tw::win {

DeckMaker::DeckMaker(Tablewright& tw) : platform::Form(tw.app, "DeckMaker"), tw_(tw) {}

void DeckMaker::Form_Load() {
    // Each step is tried even when an earlier one failed. The duel window's own load runs on
    // this first touch and may end the program.
    rt::try_step([&] { tw_.FormA().hide(); });
    rt::try_step([&] { tw_.LoadSet.unload(); });
    tw_.AttentionShown = false;
    rt::try_step([&] { FillSetCodes(); });

    // The rest of the deck editor's load (title, settings and first run, the LCD font, the
    // last deck, the first search, the ban list) goes on here.
}

void DeckMaker::FillSetCodes() {
    auto& codes = tw_.SetCodes;
    codes.assign(1, std::string());
    std::unordered_set<std::string_view> seen{std::string_view()};
    for (const Card& c : tw_.CardDatabase)
        if (seen.insert(c.SetCode).second) codes.push_back(c.SetCode);
}

}  // namespace tw::win
