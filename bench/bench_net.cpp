// Network play: one command from one table's sender to the other table's dispatcher over
// loopback, and the receiver working through a buffer of many frames.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "bench/table_pair.hpp"
#include "cards/settings.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/duel_frame.hpp"
#include "net/receiver.hpp"
#include "net/send_command.hpp"
#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/net_config.hpp"
#include "platform/reactor.hpp"
#include "platform/scripted_host.hpp"
#include "platform/tcp.hpp"

namespace {

constexpr int kFrames = 10'000;

using Pair = tw::bench::TablePair;

// From SendCommand on one table to DetermineInfo on the other, one command at a time; each
// trip is timed on its own, so the median and the slow tail are reported.
void BM_CommandRoundTrip(benchmark::State& state) {
    Pair pair;
    auto& ann = *pair.ann.table;
    auto& bob = *pair.bob.table;
    std::vector<double> trips;
    trips.reserve(1 << 20);
    std::int32_t lp = 0;
    for (auto _ : state) {
        lp = lp >= 100000 ? 1 : lp + 1;
        const auto start = std::chrono::steady_clock::now();
        std::int32_t cls = 0;
        tw::SendCommand(ann, "nl~" + std::to_string(lp), cls);
        while (bob.duel.OppLP != lp) pair.reactor.pump(1);
        trips.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(trips.begin(), trips.end());
    if (!trips.empty()) {
        state.counters["median_us"] = trips[trips.size() / 2];
        state.counters["p99_us"] = trips[trips.size() * 99 / 100];
    }
}
BENCHMARK(BM_CommandRoundTrip)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// A buffer of frames as the peer writes them: "pong" commands (counted, metered and closed like
// any command), numbered on around the ring.
std::string FrameBuffer() {
    std::string buffer;
    for (int i = 0; i < kFrames; ++i)
        buffer += tw::DuelFrame(20, tw::FrameBody("pong~" + std::to_string(i), i + 1, i % 256));
    return buffer;
}

// The receiver of the duel window: cut, open, number and dispatch every frame in the buffer.
void BM_ReceiverThroughput(benchmark::State& state) {
    Pair pair;
    auto& bob = *pair.bob.table;
    const std::string buffer = FrameBuffer();
    for (auto _ : state) {
        state.PauseTiming();
        tw::ResetFrameNumbers(bob);
        bob.net.ReceivedCount = 0;
        state.ResumeTiming();
        bob.net.ReceiveBuffer.append(buffer);
        bob.FormA().Winsock1_DataArrival(0);
        if (bob.net.ReceivedCount != kFrames) state.SkipWithError("not every frame was dispatched");
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(buffer.size()));
}
BENCHMARK(BM_ReceiverThroughput)->Unit(benchmark::kMillisecond);

// The cut and the opening alone, without the dispatcher.
void BM_FrameCut(benchmark::State& state) {
    const std::string buffer = FrameBuffer();
    for (auto _ : state) {
        tw::DuelFrameReader reader;
        reader.append(buffer);
        int frames = 0;
        while (auto piece = reader.next())
            if (auto f = tw::OpenFrame(piece->text, false)) frames += f->number ? 1 : 0;
        benchmark::DoNotOptimize(frames);
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(BM_FrameCut)->Unit(benchmark::kMillisecond);

}  // namespace
