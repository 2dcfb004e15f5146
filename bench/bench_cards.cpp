// The start-up's card load and card lookups at the scale of a large set file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

#include "cards/card_lookup.hpp"
#include "cards/main.hpp"
#include "cards/set_file.hpp"
#include "cards/tablewright.hpp"
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
struct Folder {
    fs::path path;
    Folder() {
        path = fs::temp_directory_path() / ("tw-bench-" + std::to_string(::getpid()));
        fs::create_directories(path);
        platform::write_file_atomic(path / "zqm.set", make_set_text());
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

Folder& folder() {
    static Folder f;
    return f;
}

// One headless Tablewright in the generated program folder.
struct Table {
    platform::FakeClock clock;
    platform::Reactor reactor{clock};
    platform::ScriptedHost host{reactor, clock};
    platform::App app{reactor, host};
    std::unique_ptr<tw::Tablewright> tw;
    Table() {
        app.path = folder().path.string();
        app.prev_instance_check = [] { return false; };
        tw = std::make_unique<tw::Tablewright>(app);
    }
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

}  // namespace
