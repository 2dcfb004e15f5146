// The card data at the scale of a large set file: the set load, the start-up road to the deck
// editor's first search, the searches and the lookups, each beside the plain reference of
// bench/plain_cards.hpp doing the same work in the same process.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "bench/bench_sets.hpp"
#include "bench/headless_table.hpp"
#include "bench/plain_cards.hpp"
#include "cards/card_lookup.hpp"
#include "cards/helpers.hpp"
#include "cards/loadset.hpp"
#include "cards/main.hpp"
#include "cards/set_file.hpp"
#include "program/tablewright.hpp"
#include "deckeditor/deck_counts.hpp"
#include "deckeditor/deckmaker.hpp"
#include "deckeditor/search.hpp"
#include "platform/app.hpp"
#include "platform/rt.hpp"

namespace {

using tw::bench::kEntries;
constexpr int kLookups = 10'000;

// Heap bytes in use, small and mapped blocks together.
double heap_in_use() {
    const struct mallinfo2 m = mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd);
}

struct Table : tw::bench::HeadlessTable {
    explicit Table(const std::filesystem::path& folder = tw::bench::load_folder().path) : HeadlessTable(folder) {}
};

// The set-loading window's work without the deck editor after it: the file read, the progress
// shown on the window with a turn of the event loop, the entries, the lookup index and the name
// order. Returns the number of progress updates.
int LoadSetPath(tw::Tablewright& t) {
    tw::win::LoadSet window(t);
    int updates = 0;
    window.Label2.Change = [&] { ++updates; };
    window.ReadSetFile();
    return updates;
}

// ---- The set load ----

void BM_LoadSet(benchmark::State& state) {
    tw::bench::load_folder();
    int updates = 0;
    double held = 0, entries = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto t = std::make_unique<Table>();
        const double before = heap_in_use();
        state.ResumeTiming();
        updates = LoadSetPath(*t->tw);
        state.PauseTiming();
        entries = static_cast<double>(t->tw->cards.CardDatabase.size());
        held = heap_in_use() - before;
        if (entries != kEntries + 1) state.SkipWithError("wrong entry count");
        t.reset();
        state.ResumeTiming();
    }
    state.counters["progress_updates"] = updates;
    state.counters["bytes_per_entry"] = held / entries;
}
BENCHMARK(BM_LoadSet)->Unit(benchmark::kMillisecond);

void BM_PlainLoad(benchmark::State& state) {
    const auto file = tw::bench::load_folder().path / "zqm.set";
    int updates = 0;
    double held = 0, entries = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto db = std::make_unique<plain::Database>();
        const double before = heap_in_use();
        state.ResumeTiming();
        updates = 0;
        *db = plain::Load(file, [&](int) { ++updates; });
        state.PauseTiming();
        entries = static_cast<double>(db->cards.size());
        held = heap_in_use() - before;
        db.reset();
        state.ResumeTiming();
    }
    state.counters["progress_updates"] = updates;
    state.counters["bytes_per_entry"] = held / entries;
}
BENCHMARK(BM_PlainLoad)->Unit(benchmark::kMillisecond);

// The set file's text alone, without the windows.
void BM_ParseSetFile(benchmark::State& state) {
    const std::string text = tw::bench::make_set_text();
    for (auto _ : state) {
        auto cards = tw::ParseSetFile(text, [](int) {});
        benchmark::DoNotOptimize(cards.size());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseSetFile)->Unit(benchmark::kMillisecond);

// ---- Main through the set-loading window to the deck editor and its first search ----

void BM_StartUpRoad(benchmark::State& state) {
    tw::bench::load_folder();
    double held = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto t = std::make_unique<Table>();
        const double before = heap_in_use();
        state.ResumeTiming();
        tw::Main(*t->tw);
        state.PauseTiming();
        held = heap_in_use() - before;
        if (t->tw->cards.CardDatabase.size() != kEntries + 1) state.SkipWithError("wrong entry count");
        t.reset();
        state.ResumeTiming();
    }
    state.counters["bytes_per_entry"] = held / (kEntries + 1);
}
BENCHMARK(BM_StartUpRoad)->Unit(benchmark::kMillisecond);

// The plain load and a first search listing every named entry.
void BM_PlainStartUpRoad(benchmark::State& state) {
    const auto file = tw::bench::load_folder().path / "zqm.set";
    double held = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto db = std::make_unique<plain::Database>();
        auto search = std::make_unique<plain::Search>();
        const double before = heap_in_use();
        state.ResumeTiming();
        *db = plain::Load(file, [](int) {});
        plain::RunSearch(*db, {}, true, *search);
        state.PauseTiming();
        held = heap_in_use() - before;
        search.reset();
        db.reset();
        state.ResumeTiming();
    }
    state.counters["bytes_per_entry"] = held / (kEntries + 1);
}
BENCHMARK(BM_PlainStartUpRoad)->Unit(benchmark::kMillisecond);

// ---- 10,000 lookups of cards spread over the whole database, in another letter case ----

std::vector<std::pair<std::string, std::string>> wanted_cards(const std::vector<std::pair<std::string, std::string>>& all) {
    std::mt19937 gen(42);
    std::uniform_int_distribution<std::size_t> pick(0, all.size() - 2);
    std::vector<std::pair<std::string, std::string>> wanted;
    for (int i = 0; i < kLookups; ++i) {
        auto [set, name] = all[pick(gen)];
        for (auto& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        wanted.emplace_back(set, name);
    }
    return wanted;
}

void BM_LookupCard(benchmark::State& state) {
    Table t;
    LoadSetPath(*t.tw);
    std::vector<std::pair<std::string, std::string>> all;
    for (std::size_t i = 0; i < t.tw->cards.CardDatabase.size(); ++i) {
        const tw::Card c = t.tw->cards.CardDatabase[i].card();
        all.emplace_back(c.SetCode, c.Name);
    }
    const auto wanted = wanted_cards(all);
    for (auto _ : state) {
        std::size_t found = 0;
        for (const auto& [set, name] : wanted) found += tw::LookupCard(*t.tw, set, name).Name != tw::kBadCard;
        if (found != wanted.size()) state.SkipWithError("a card was not found");
        benchmark::DoNotOptimize(found);
    }
    state.counters["lookups"] = kLookups;
}
BENCHMARK(BM_LookupCard)->Unit(benchmark::kMillisecond);

void BM_PlainLookup(benchmark::State& state) {
    const plain::Database db = plain::Load(tw::bench::load_folder().path / "zqm.set", [](int) {});
    std::vector<std::pair<std::string, std::string>> all;
    for (const auto& c : db.cards) all.emplace_back(c.set_code, c.name);
    const auto wanted = wanted_cards(all);
    for (auto _ : state) {
        std::size_t found = 0;
        for (const auto& [set, name] : wanted) found += plain::Lookup(db, set, name).Name != tw::kBadCard;
        if (found != wanted.size()) state.SkipWithError("a card was not found");
        benchmark::DoNotOptimize(found);
    }
    state.counters["lookups"] = kLookups;
}
BENCHMARK(BM_PlainLookup)->Unit(benchmark::kMillisecond);

// ---- The deck editor's card search over the 100,000-entry search set ----

// A started editor on the search set.
struct SearchTable : Table {
    SearchTable() : Table(tw::bench::search_folder().path) { tw::Main(*tw); }
    tw::win::DeckMaker& editor() { return *tw->DeckMaker.peek(); }
};

// With fresh_grid, a search without hits empties the grid before each timed search, so every
// row is built anew; otherwise the same search runs again over the rows it left.
void run_search(benchmark::State& state, const std::function<void(tw::win::DeckMaker&)>& set,
                bool fresh_grid = false) {
    SearchTable t;
    auto& d = t.editor();
    set(d);
    d.ReloadSet(0);
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
    state.counters["cached"] = static_cast<double>(t.tw->editor.SearchResults.size());
}

void run_plain_search(benchmark::State& state, const plain::Filter& f, bool ranked, bool fresh_grid = false) {
    const plain::Database db = plain::Load(tw::bench::search_folder().path / "zqm.set", [](int) {});
    plain::Search search;
    plain::RunSearch(db, f, ranked, search);
    for (auto _ : state) {
        if (fresh_grid) {
            state.PauseTiming();
            search.grid.clear();
            state.ResumeTiming();
        }
        plain::RunSearch(db, f, ranked, search);
        benchmark::DoNotOptimize(search.grid.data());
    }
    state.counters["rows"] = static_cast<double>(search.grid.size());
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

void BM_PlainSearchAll(benchmark::State& state) { run_plain_search(state, {}, true); }
BENCHMARK(BM_PlainSearchAll)->Unit(benchmark::kMillisecond);

void BM_PlainSearchAllFreshGrid(benchmark::State& state) { run_plain_search(state, {}, true, true); }
BENCHMARK(BM_PlainSearchAllFreshGrid)->Unit(benchmark::kMillisecond);

// The plain search sorting its hits by name at every search, as the program did.
void BM_PlainSearchAllSorted(benchmark::State& state) { run_plain_search(state, {}, false); }
BENCHMARK(BM_PlainSearchAllSorted)->Unit(benchmark::kMillisecond);

// The same with "Hide Duplicates".
void BM_SearchAllHideDuplicates(benchmark::State& state) {
    run_search(state, [](tw::win::DeckMaker& d) { d.hidecopies.set_value(1); });
}
BENCHMARK(BM_SearchAllHideDuplicates)->Unit(benchmark::kMillisecond);

void BM_SearchNamePattern(benchmark::State& state) {
    run_search(state, [](tw::win::DeckMaker& d) { d.NameContains.set_text("%dr%on%1"); });
}
BENCHMARK(BM_SearchNamePattern)->Unit(benchmark::kMillisecond);

void BM_PlainSearchNamePattern(benchmark::State& state) {
    plain::Filter f;
    f.name = "%dr%on%1";
    run_plain_search(state, f, true);
}
BENCHMARK(BM_PlainSearchNamePattern)->Unit(benchmark::kMillisecond);

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

void BM_PlainSearchLevelAtkAttribute(benchmark::State& state) {
    plain::Filter f;
    f.level = "4";
    f.level_compare = 1;
    f.atk = "1500";
    f.atk_compare = 1;
    f.attribute = "Fire";
    run_plain_search(state, f, true);
}
BENCHMARK(BM_PlainSearchLevelAtkAttribute)->Unit(benchmark::kMillisecond);

// The record test alone, without cache or grid.
void BM_SearchFilterOnly(benchmark::State& state) {
    SearchTable t;
    tw::SearchFilter f;
    f.level = "4";
    f.level_compare = 1;
    f.atk = "1500";
    f.atk_compare = 1;
    f.attrib = "Fire";
    const tw::PreparedSearch search = tw::PrepareSearch(f);
    for (auto _ : state) {
        std::size_t kept = 0;
        for (const auto& c : t.tw->cards.CardDatabase) kept += tw::TestCard(c, search) != tw::SearchVerdict::Skip;
        benchmark::DoNotOptimize(kept);
    }
}
BENCHMARK(BM_SearchFilterOnly)->Unit(benchmark::kMillisecond);

// The deck editor's recount of a 60-line deck (the main deck, a comment, the side deck)
// against the whole database.
void BM_ComputeDeckAmount(benchmark::State& state) {
    Table t;
    tw::Main(*t.tw);
    const auto& db = t.tw->cards.CardDatabase;
    auto line = [&](int count, std::size_t i) {
        const tw::Card c = db[i % (db.size() - 1)].card();
        return std::to_string(count) + " " + c.SetCode + " " + c.Name;
    };
    std::vector<std::string> deck;
    for (int i = 0; i < 44; ++i) deck.push_back(line(i % 3 + 1, static_cast<std::size_t>(i) * 2203));
    deck.push_back("// side deck below");
    deck.push_back("-SIDE DECK-");
    for (int i = 0; i < 14; ++i) deck.push_back(line(1, static_cast<std::size_t>(i) * 7919));
    for (auto _ : state) {
        std::vector<std::string> lines = deck;
        const tw::DeckCounts n = tw::CountDeck(*t.tw, lines);
        benchmark::DoNotOptimize(n);
    }
    state.counters["lines"] = static_cast<double>(deck.size());
}
BENCHMARK(BM_ComputeDeckAmount)->Unit(benchmark::kMicrosecond);

}  // namespace
