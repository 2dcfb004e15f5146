// Reading a very long deck file: the reader alone, and the deck editor's whole open.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench/headless_table.hpp"
#include "bench/scratch_folder.hpp"
#include "cards/helpers.hpp"
#include "cards/main.hpp"
#include "program/tablewright.hpp"
#include "deckeditor/deck_files.hpp"
#include "deckeditor/deckmaker.hpp"
#include "platform/files.hpp"

namespace {

constexpr int kLines = 20'000;

// 20,000 lines: 4,000 printings, each five times over, a comment every 100 lines, and the
// side deck's marker three quarters down.
std::string make_deck_text() {
    std::string text;
    const char* sets[] = {"ALP1", "BRV", "CSK7", "DWN"};
    for (int i = 0; i < kLines; ++i) {
        if (i == kLines * 3 / 4) {
            text += "-SIDE DECK-\r\n";
        } else if (i % 100 == 0) {
            text += "// part " + std::to_string(i / 100) + "\r\n";
        } else {
            const int printing = i % 4000;
            text += std::to_string(i % 3 + 1) + "|" + sets[printing % 4] + "|Bench Card " +
                    std::to_string(printing) + "\r\n";
        }
    }
    return text;
}

struct Folder : tw::bench::ScratchFolder {
    std::filesystem::path deck = path / "Decks" / "long.dek";
    Folder() : ScratchFolder("tw-bench-deck") {
        platform::write_file_atomic(path / "zqm.set", "1|Bench Card 1|1|ALP1|Drake|EMBER|4||1800|1200|Text.|\r\n");
        std::filesystem::create_directories(deck.parent_path());
        platform::write_file_atomic(deck, make_deck_text());
    }
};

Folder& folder() {
    static Folder f;
    return f;
}

struct Table : tw::bench::HeadlessTable {
    Table() : HeadlessTable(folder().path) {}
};

// The file read and turned into the deck list's lines.
void BM_ReadDeckFile20000Lines(benchmark::State& state) {
    Table t;
    for (auto _ : state) {
        const tw::DeckFileRead read = tw::ReadDeckText(*t.tw, tw::ReadFileText(folder().deck));
        benchmark::DoNotOptimize(read.lines.data());
    }
    state.counters["lines"] = kLines;
}
BENCHMARK(BM_ReadDeckFile20000Lines)->Unit(benchmark::kMillisecond);

// What the player waits for: the deck editor's open, with its list filled and counted.
void BM_DeckEditorOpens20000LineDeck(benchmark::State& state) {
    Table t;
    t.tw->editor.BanList.assign(1, "");
    tw::Main(*t.tw);
    auto* editor = t.tw->DeckMaker.peek();
    if (!editor) {
        state.SkipWithError("the deck editor did not open");
        return;
    }
    for (auto _ : state) editor->LoadDeck(folder().deck.string());
    state.counters["list lines"] = static_cast<double>(editor->List1.list_count());
}
BENCHMARK(BM_DeckEditorOpens20000LineDeck)->Unit(benchmark::kMillisecond);

}  // namespace
