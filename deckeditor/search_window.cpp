// The deck editor's search controls and the result grid.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "deckeditor/deckmaker.hpp"
#include "deckeditor/search.hpp"
#include "platform/rt.hpp"

namespace tw {

SearchFilter ReadSearchFilter(const win::DeckMaker& d) {
    SearchFilter f;
    f.set = d.Combo1.text();
    f.name = d.NameContains.text();
    f.desc = d.DescContains.text();
    f.monsters = d.MonsterCheck.value();
    f.spells = d.SpellCheck.value();
    f.traps = d.TrapCheck.value();
    f.spell_type = d.SpellType.text();
    f.trap_type = d.TrapType.text();
    f.attrib = d.Attrib.text();
    f.type_icon = d.TypeIcon.text();
    f.monster_type = d.typebox.text();
    f.level = d.LevelSearch.text();
    f.atk = d.AtkSearch.text();
    f.def = d.DefSearch.text();
    f.level_compare = d.Combo2.list_index();
    f.atk_compare = d.Combo4.list_index();
    f.def_compare = d.Combo5.list_index();
    f.lists_filled = d.Attrib.list_count() > 0;
    return f;
}

}  // namespace tw

namespace tw::win {

namespace {

constexpr int kEnter = 13;
constexpr platform::Color kBlack = 0;
constexpr platform::Color kLightGrey = 12632256;
constexpr const char* kQuickSearchHint = "Search By Card Name";
constexpr const char* kHideCopiesCaption = "Hide Duplicates";

// The byte each byte upper-cases to.
std::array<unsigned char, 256> upper_table() {
    std::string all(256, '\0');
    for (int b = 0; b < 256; ++b) all[static_cast<std::size_t>(b)] = static_cast<char>(b);
    const std::string up = rt::ucase(all);
    std::array<unsigned char, 256> t{};
    for (int b = 0; b < 256; ++b) t[static_cast<std::size_t>(b)] = static_cast<unsigned char>(up[static_cast<std::size_t>(b)]);
    return t;
}

}  // namespace

bool DeckMaker::WireSearch() {
    Command11.Click = [this] { Command11_Click(); };
    NameContains.KeyDown = [this](int k, int s) { NameContains_KeyDown(k, s); };
    DescContains.KeyDown = [this](int k, int s) { DescContains_KeyDown(k, s); };
    hidecopies.Click = [this] { hidecopies_Click(); };
    Text1.GotFocus = [this] { Text1_GotFocus(); };
    Text1.LostFocus = [this] { Text1_LostFocus(); };
    Text1.KeyDown = [this](int k, int s) { Text1_KeyDown(k, s); };
    Image4.Click = [this] { Image4_Click(); };
    imgAdvancedSearch.Click = [this] { imgAdvancedSearch_Click(); };
    return true;
}

void DeckMaker::ReloadSet(int) {
    if (!Combo1.enabled()) return;
    const std::uint32_t start = tw_.app.clock().tick_count();
    const SearchFilter filter = ReadSearchFilter(*this);

    Command11.set_enabled(false);
    Grid.set_enabled(false);
    Grid.set_redraw(false);
    tw_.editor.SearchRunning = true;
    // A failure part-way still leaves the search usable again.
    struct Finish {
        DeckMaker& d;
        ~Finish() {
            d.Grid.set_redraw(true);
            d.Command11.set_enabled(true);
            d.Grid.set_enabled(true);
            d.tw_.editor.SearchRunning = false;
        }
    } finish{*this};

    const CardStore& db = tw_.cards.CardDatabase;
    // The rows are written in the order of the grid's sort by column 2 (stable, byte order), so
    // no sort is left to do. Rows of the last search are reused.
    const auto ranks = RanksInNameOrder(db, SearchCards(tw_, filter, hidecopies.value() == 1));
    Grid.set_rows(static_cast<int>(ranks.size()) + 1);
    const int row = Grid.row(), col = Grid.col();
    bool moved = false;
    const auto upper = upper_table();
    std::string set;
    for (std::size_t k = 0; k < ranks.size(); ++k) {
        const int r = static_cast<int>(k) + 1;
        const std::string_view name = db.ranked_name(ranks[k]);
        set.assign(db.ranked_set_code(ranks[k]));
        for (char& ch : set) ch = static_cast<char>(upper[static_cast<unsigned char>(ch)]);
        Grid.set_text_matrix(r, 1, set);
        Grid.set_text_matrix(r, 2, name);
        // A name that starts with a digit (the one-character number test) sits left and top.
        const bool digit_first = !name.empty() && name[0] >= '0' && name[0] <= '9';
        const auto align = digit_first ? platform::Align::LeftTop : platform::Align::General;
        if (Grid.cell_alignment_at(r, 2) != align) {
            Grid.set_row(r);
            Grid.set_col(2);
            Grid.set_cell_alignment(align);
            moved = true;
        }
    }
    if (moved) {
        Grid.set_row(std::min(row, Grid.rows() - 1));
        Grid.set_col(col);
    }
    Grid.set_redraw(true);
    Grid.set_text_matrix(0, 2, "Card Name (" + rt::cstr(Grid.rows() - 1) + ")");
    selectedcard.set_text(SearchDoneText(start, tw_.app.clock().tick_count()));
}

void DeckMaker::ClearUnusedTypes() {
    if (TrapCheck.value() == 0 && TrapType.list_count() > 0) TrapType.set_list_index(0);
    if (SpellCheck.value() == 0 && SpellType.list_count() > 0) SpellType.set_list_index(0);
}

void DeckMaker::Command11_Click() {
    selectedcard.set_text("Searching...Please Wait");
    Command11.set_enabled(false);
    ClearUnusedTypes();
    ReloadSet(0);
    // The frame lies over the results: once they are there, it makes way for them. Its filters
    // stay as they are for the next search.
    if (Frame1.visible()) ShowFilterFrame(false);
}

void DeckMaker::NameContains_KeyDown(int KeyCode, int) {
    if (KeyCode == kEnter) Command11_Click();
}

void DeckMaker::DescContains_KeyDown(int KeyCode, int) {
    if (KeyCode == kEnter) Command11_Click();
}

void DeckMaker::hidecopies_Click() {
    hidecopies.set_enabled(false);
    hidecopies.set_caption("Filtering...");
    selectedcard.set_text("Filtering...Please Wait");
    Command11.set_enabled(false);
    ClearUnusedTypes();
    ReloadSet(0);
    hidecopies.set_enabled(true);
    hidecopies.set_caption(kHideCopiesCaption);
}

void DeckMaker::Text1_GotFocus() {
    if (Text1.text() != kQuickSearchHint) return;
    Text1.set_text("");
    Text1.set_fore_color(kBlack);
}

void DeckMaker::Text1_LostFocus() {
    if (!Text1.text().empty()) return;
    Text1.set_text(kQuickSearchHint);
    Text1.set_fore_color(kLightGrey);
}

void DeckMaker::Text1_KeyDown(int KeyCode, int) {
    if (KeyCode == kEnter) Image4_Click();
}

// The hint is grey: only a name the player typed is searched for.
void DeckMaker::Image4_Click() {
    if (Text1.fore_color() != kBlack) return;
    NameContains.set_text(Text1.text());
    selectedcard.set_text("Searching...Please Wait");
    Command11.set_enabled(false);
    ClearUnusedTypes();
    ReloadSet(0);
    NameContains.set_text("");
}

void DeckMaker::TypeIcon_Click() {
    const std::string kind = TypeIcon.text();
    if (kind == "Effect" || kind == "Ritual") return;
    AtkSearch.set_text("");
    DefSearch.set_text("");
    LevelSearch.set_text("");
}

void DeckMaker::imgAdvancedSearch_Click() { ShowFilterFrame(!Frame1.visible()); }

void DeckMaker::ShowFilterFrame(bool show) {
    Frame1.set_visible(show);
    LoadPictureIfExists(imgAdvancedSearch, tw_.path_of(show ? "Buttons\\advanced search ON.jpg"
                                                            : "Buttons\\advanced search normal.jpg"));
}

}  // namespace tw::win
