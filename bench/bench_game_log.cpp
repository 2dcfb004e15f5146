// A duel between two tables over loopback, with "Log Duel" on both sides or on neither: what
// the game log costs per command, and whether that cost stays the same as the duel grows.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "bench/table_pair.hpp"
#include "cards/duel_log.hpp"
#include "cards/game_log.hpp"
#include "cards/settings.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/receiver.hpp"
#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/files.hpp"
#include "platform/net_config.hpp"
#include "platform/reactor.hpp"
#include "platform/scripted_host.hpp"
#include "platform/tcp.hpp"

namespace {

namespace fs = std::filesystem;

// The pace of a busy duel: one command every 5 ms of the table's clock (200 a second).
constexpr int kCommandGapMs = 5;

// Both tables with "Log Duel" on or off, each logging into a file of its own folder.
struct Pair : tw::bench::TablePair {
    explicit Pair(bool logged) {
        for (tw::bench::TableSide* side : {&ann, &bob}) {
            fs::create_directories(side->folder.path / "Logs");
            side->table->log.LogFileName = (side->folder.path / "Logs" / "duel.qlra").string();
            side->table->log.LoggingOn = logged;
        }
    }
};

// Args: the duel's length in commands, and 1 for a logged duel. Each command is a duel-log line
// from Ann (with its pile counts) that Bob's table receives and logs in turn. Reported: the mean
// cost per command over the whole duel, and over its first and its last tenth.
void BM_DuelCommands(benchmark::State& state) {
    const int commands = static_cast<int>(state.range(0));
    const bool logged = state.range(1) == 1;
    double first_us = 0, last_us = 0, all_us = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto pair = std::make_unique<Pair>(logged);
        auto& ann = *pair->ann.table;
        auto& bob = *pair->bob.table;
        const int tenth = std::max(commands / 10, 1);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        auto mark = start;
        for (int i = 1; i <= commands; ++i) {
            const std::string line = "Ann moved card " + std::to_string(i) + " to the graveyard";
            tw::AddChat(ann, line, "Game", true);
            const std::int32_t want = bob.net.ReceivedCount + 2;  // the line and its pile counts
            while (bob.net.ReceivedCount < want) pair->reactor.pump(1);
            pair->clock.advance(kCommandGapMs);
            pair->reactor.pump(0);
            if (i == tenth) {
                const auto now = std::chrono::steady_clock::now();
                first_us += std::chrono::duration<double, std::micro>(now - start).count() / tenth;
            }
            if (i == commands - tenth) mark = std::chrono::steady_clock::now();
        }
        const auto end = std::chrono::steady_clock::now();
        last_us += std::chrono::duration<double, std::micro>(end - mark).count() / tenth;
        all_us += std::chrono::duration<double, std::micro>(end - start).count() / commands;
        state.PauseTiming();
        if (logged && !ann.log.LoggingOn) state.SkipWithError("logging stopped");
        pair.reset();
        state.ResumeTiming();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["us_per_command"] = all_us / n;
    state.counters["first_tenth_us"] = first_us / n;
    state.counters["last_tenth_us"] = last_us / n;
}
BENCHMARK(BM_DuelCommands)
    ->ArgsProduct({{100, 1000, 10000}, {0, 1}})
    ->ArgNames({"commands", "logged"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
