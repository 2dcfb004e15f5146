// The start-up's card load and card lookups at the scale of a large set file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

#include "bench/headless_table.hpp"
#include "bench/scratch_folder.hpp"
#include "cards/card_lookup.hpp"
#include "cards/main.hpp"
#include "cards/set_file.hpp"
#include "cards/tablewright.hpp"
#include "deckeditor/deck_counts.hpp"
#include "deckeditor/deckmaker.hpp"
#include "deckeditor/search.hpp"
#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/files.hpp"
#include "platform/reactor.hpp"
#include "platform/scripted_host.hpp"

namespace {

namespace fs = std::filesystem;

constexpr int kEntries = 100'000;
constexpr int kLookups = 10'000;

// 80,000 records: every fourth printed in two sets, so 100,000 entries, and the empty last one.
std::string make_set_text() {
    std::string text;
    text.reserve(kEntries * 140);
    const char* sets[] = {"ALP1", "BRV", "CSK7", "DWN"};
    int records = 0;
    for (int entries = 0; entries < kEntries; ++records) {
        const bool twice = records % 4 == 0;
        const std::string name = "Bench Card " + std::to_string(records);
        text += std::to_string(records) + "|" + name + "|" + std::to_string(records % 900 + 1);
        text += twice ? ";7|" : "|";
        text += sets[records % 4];
        if (twice) text += std::string(";") + sets[(records + 1) % 4];
        text += records % 3 ? "|Drake/Effect|EMBER|4||1800|1200|" : "|Magic Card|Magic||Field|||";
        text += "When this card is put on the table, you may draw 1 card.|\r\n";
        entries += twice ? 2 : 1;
    }
    return text;
}

// A program folder holding the generated set file, removed at the end.
struct Folder : tw::bench::ScratchFolder {
    Folder() : ScratchFolder("tw-bench") { platform::write_file_atomic(path / "zqm.set", make_set_text()); }
};

Folder& folder() {
    static Folder f;
    return f;
}

// One headless Tablewright in the generated program folder.
struct Table : tw::bench::HeadlessTable {
    Table() : HeadlessTable(folder().path) {}
};

// Main through the set-loading window (progress, events) to the deck editor.
void BM_StartUpLoad(benchmark::State& state) {
    folder();
    for (auto _ : state) {
        state.PauseTiming();
        auto t = std::make_unique<Table>();
        state.ResumeTiming();
        tw::Main(*t->tw);
        benchmark::DoNotOptimize(t->tw->CardDatabase.data());
        state.PauseTiming();
        if (t->tw->CardDatabase.size() != kEntries + 1) state.SkipWithError("wrong entry count");
        t.reset();
        state.ResumeTiming();
    }
    state.counters["entries"] = kEntries;
}
BENCHMARK(BM_StartUpLoad)->Unit(benchmark::kMillisecond);

// The set file's text alone, without the windows.
void BM_ParseSetFile(benchmark::State& state) {
    const std::string text = make_set_text();
    for (auto _ : state) {
        auto cards = tw::ParseSetFile(text, [](int) {});
        benchmark::DoNotOptimize(cards.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseSetFile)->Unit(benchmark::kMillisecond);

// 10,000 lookups of cards spread over the whole database, in another letter case.
void BM_LookupCard(benchmark::State& state) {
    Table t;
    tw::Main(*t.tw);
    const auto& db = t.tw->CardDatabase;
    std::mt19937 gen(42);
    std::uniform_int_distribution<std::size_t> pick(0, db.size() - 2);
    std::vector<std::pair<std::string, std::string>> wanted;
    for (int i = 0; i < kLookups; ++i) {
        const auto& c = db[pick(gen)];
        std::string name = c.Name;
        for (auto& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        wanted.emplace_back(c.SetCode, name);
    }
    for (auto _ : state) {
        std::size_t found = 0;
        for (const auto& [set, name] : wanted)
            found += tw::LookupCard(*t.tw, set, name).Name != tw::kBadCard;
        if (found != wanted.size()) state.SkipWithError("a card was not found");
        benchmark::DoNotOptimize(found);
    }
    state.counters["lookups"] = kLookups;
}
BENCHMARK(BM_LookupCard)->Unit(benchmark::kMillisecond);

// ---- The deck editor's card search over 100,000 generated entries ----

// Varied names (capitals, small letters, digits first), every printing in one of twelve sets,
// monsters of each attribute and level, spells and traps with their properties.
std::vector<tw::Card> make_search_database() {
    const char* first[] = {"Blue", "dark", "Ancient", "Flame", "Silent", "7 Star", "Iron", "crystal",
                           "Storm", "Shadow", "Golden", "Wild"};
    const char* second[] = {"Dragon", "Mage", "Knight", "Beast", "Serpent", "Golem", "Archer", "Spirit",
                            "Warden", "Phoenix"};
    const char* groups[] = {"Dragon", "Spellcaster/Effect", "Warrior/Fusion", "Beast/Synchro/Effect",
                            "Fiend", "Machine/Effect", "Spell Card", "Trap Card"};
    const char* attributes[] = {"DARK", "EARTH", "FIRE", "LIGHT", "WATER", "WIND"};
    const char* icons[] = {"", "Continuous", "Equip", "Field", "Quick-Play", "Counter"};
    std::mt19937 gen(7);
    std::vector<tw::Card> db;
    db.reserve(kEntries + 1);
    for (int i = 0; i < kEntries; ++i) {
        tw::Card c;
        c.Name = std::string(first[gen() % 12]) + " " + second[gen() % 10] + " " + std::to_string(i / 3);
        c.SetCode = "S" + std::to_string(gen() % 12);
        c.Group = groups[gen() % 8];
        c.Desc = "When this card is put on the table, you may draw " + std::to_string(gen() % 3 + 1) +
                 " cards and look at your opponent's hand.";
        if (c.Group == "Spell Card" || c.Group == "Trap Card") {
            c.Attribute = c.Group == "Spell Card" ? "Spell" : "Trap";
            c.Icon = icons[gen() % 6];
        } else {
            c.Attribute = attributes[gen() % 6];
            c.Level = std::to_string(gen() % 12 + 1);
            c.Atk = std::to_string(gen() % 31 * 100);
            c.Def = std::to_string(gen() % 31 * 100);
        }
        db.push_back(std::move(c));
    }
    db.emplace_back();  // the set load's empty last entry
    return db;
}

// A started editor whose database is the generated one.
struct SearchTable : Table {
    SearchTable() {
        tw::Main(*tw);
        tw->CardDatabase = make_search_database();
    }
    tw::win::DeckMaker& editor() { return *tw->DeckMaker.peek(); }
};

// With fresh_grid, a search without hits empties the grid before each timed search, so every
// row is built anew; otherwise the same search runs again over the rows it left.
void run_search(benchmark::State& state, const std::function<void(tw::win::DeckMaker&)>& set,
                bool fresh_grid = false) {
    SearchTable t;
    auto& d = t.editor();
    set(d);
    for (auto _ : state) {
        if (fresh_grid) {
            state.PauseTiming();
            const std::string name = d.NameContains.text();
            d.NameContains.set_text("no card is named so");
            d.ReloadSet(0);
            d.NameContains.set_text(name);
            state.ResumeTiming();
        }
        d.ReloadSet(0);
        benchmark::DoNotOptimize(d.Grid.rows());
    }
    state.counters["rows"] = d.Grid.rows() - 1;
    state.counters["cached"] = static_cast<double>(t.tw->SearchResults.size());
}

// No filter: every entry into the grid, sorted.
void BM_SearchAll(benchmark::State& state) {
    run_search(state, [](tw::win::DeckMaker&) {});
}
BENCHMARK(BM_SearchAll)->Unit(benchmark::kMillisecond);

void BM_SearchAllFreshGrid(benchmark::State& state) {
    run_search(state, [](tw::win::DeckMaker&) {}, true);
}
BENCHMARK(BM_SearchAllFreshGrid)->Unit(benchmark::kMillisecond);

// The same with "Hide Duplicates".
void BM_SearchAllHideDuplicates(benchmark::State& state) {
    run_search(state, [](tw::win::DeckMaker& d) { d.hidecopies.set_value(1); });
}
BENCHMARK(BM_SearchAllHideDuplicates)->Unit(benchmark::kMillisecond);

void BM_SearchNamePattern(benchmark::State& state) {
    run_search(state, [](tw::win::DeckMaker& d) { d.NameContains.set_text("%dr%on%1"); });
}
BENCHMARK(BM_SearchNamePattern)->Unit(benchmark::kMillisecond);

// Level at least 4, attack at least 1500, attribute Fire.
void BM_SearchLevelAtkAttribute(benchmark::State& state) {
    run_search(state, [](tw::win::DeckMaker& d) {
        d.LevelSearch.set_text("4");
        d.Combo2.set_list_index(1);
        d.AtkSearch.set_text("1500");
        d.Combo4.set_list_index(1);
        d.Attrib.set_list_index(3);  // "Fire"
    });
}
BENCHMARK(BM_SearchLevelAtkAttribute)->Unit(benchmark::kMillisecond);

// The record test alone, without cache or grid.
void BM_SearchFilterOnly(benchmark::State& state) {
    const auto db = make_search_database();
    tw::SearchFilter f;
    f.level = "4";
    f.level_compare = 1;
    f.atk = "1500";
    f.atk_compare = 1;
    f.attrib = "Fire";
    const tw::PreparedSearch search = tw::PrepareSearch(f);
    for (auto _ : state) {
        std::size_t kept = 0;
        for (const auto& c : db) kept += tw::TestCard(c, search) != tw::SearchVerdict::Skip;
        benchmark::DoNotOptimize(kept);
    }
}
BENCHMARK(BM_SearchFilterOnly)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// The deck editor's recount of a 60-line deck (the main deck, a comment, the side deck)
// against the whole database.
void BM_ComputeDeckAmount(benchmark::State& state) {
    Table t;
    tw::Main(*t.tw);
    const auto& db = t.tw->CardDatabase;
    std::vector<std::string> deck;
    for (int i = 0; i < 44; ++i) {
        const auto& c = db[static_cast<std::size_t>(i) * 2203 % (db.size() - 1)];
        deck.push_back(std::to_string(i % 3 + 1) + " " + c.SetCode + " " + c.Name);
    }
    deck.push_back("// side deck below");
    deck.push_back("-SIDE DECK-");
    for (int i = 0; i < 14; ++i) {
        const auto& c = db[static_cast<std::size_t>(i) * 7919 % (db.size() - 1)];
        deck.push_back("1 " + c.SetCode + " " + c.Name);
    }
    for (auto _ : state) {
        std::vector<std::string> lines = deck;
        const tw::DeckCounts n = tw::CountDeck(*t.tw, lines);
        benchmark::DoNotOptimize(n);
    }
    state.counters["lines"] = static_cast<double>(deck.size());
}
BENCHMARK(BM_ComputeDeckAmount)->Unit(benchmark::kMicrosecond);

}  // namespace
