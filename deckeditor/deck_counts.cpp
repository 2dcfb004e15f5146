#include "deckeditor/deck_counts.hpp"

#include <cctype>
#include <string_view>

#include "cards/card_lookup.hpp"
#include "program/tablewright.hpp"
#include "deckeditor/deckmaker.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

constexpr std::string_view kMarker = "-SIDE DECK-";

// The count before the first blank: 1 to 4 digits, nothing else.
bool ReadCount(std::string_view line, std::size_t blank, std::int32_t& count) {
    if (blank == 0 || blank > 4) return false;
    count = 0;
    for (std::size_t i = 0; i < blank; ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (!std::isdigit(c)) return false;
        count = count * 10 + (c - '0');
    }
    return true;
}

}  // namespace

DeckCounts CountDeck(Tablewright& tw, std::vector<std::string>& lines) {
    DeckCounts n;
    for (std::string& line : lines) {
        const bool side = n.SideNum != -1;
        if (rt::ucase(line) == kMarker) {
            n.SideNum = 0;
            continue;
        }
        if (!line.empty() && line[0] == '/') continue;
        const std::size_t blank = line.find(' ');
        std::int32_t count = 0;
        if (blank == std::string::npos || !ReadCount(line, blank, count)) continue;
        if (count > 3) {
            line = "3" + line.substr(blank);
            count = 3;
        }
        // Set code: the second blank-separated word; name: what follows it.
        const std::size_t set_start = blank + 1;
        std::size_t set_end = line.find(' ', set_start);
        if (set_end == std::string::npos) set_end = line.size();
        const std::string set = line.substr(set_start, set_end - set_start);
        const std::string name = rt::ltrim(std::string_view(line).substr(set_end));
        const Card card = LookupCard(tw, set, name);

        if (side) {
            n.SideNum += count;
        } else if (card.Fusion) {
            n.FusionNum += count;
        } else {
            n.NormalNum += count;
            if (card.Group == "Trap Card")
                n.Traps += count;
            else if (card.Group == "Spell Card")
                n.Spells += count;
            else
                n.Monsters += count;
        }
    }
    return n;
}

namespace win {

void DeckMaker::ComputeDeckAmount() {
    std::vector<std::string> lines = List1.items();
    const DeckCounts n = CountDeck(tw_, lines);
    for (int i = 0; i < static_cast<int>(lines.size()); ++i)
        if (lines[i] != List1.list(i)) List1.set_list(i, lines[i]);
    NormalNum = n.NormalNum;
    FusionNum = n.FusionNum;
    SideNum = n.SideNum;
    Label1.set_caption(rt::cstr(n.NormalNum));
    Label5.set_caption(rt::cstr(n.FusionNum));
    Label6.set_caption(rt::cstr(n.SideNum == -1 ? 0 : n.SideNum));
    Monsters.set_caption(rt::cstr(n.Monsters));
    Spells.set_caption(rt::cstr(n.Spells));
    Traps.set_caption(rt::cstr(n.Traps));
}

}  // namespace win
}  // namespace tw
