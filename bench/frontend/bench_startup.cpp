// What mirroring costs: the start-up (set loading with its progress steps, the deck editor's load
// and first search), headless and shown through the Qt front end, on the sample set and on the
// generated 100,000-entry set.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <system_error>
#include <unistd.h>

#include "bench/bench_sets.hpp"
#include "bench/scratch_folder.hpp"
#include "cards/main.hpp"
#include "program/tablewright.hpp"
#include "frontend/mirror.hpp"
#include "frontend/qt_host.hpp"
#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/files.hpp"
#include "platform/reactor.hpp"
#include "platform/scripted_host.hpp"

namespace {

// A copy of the sample program data, past its first run so that no box waits for a person.
struct Folder : tw::bench::ScratchFolder {
    explicit Folder(const std::string& tag = "tw-bench-front") : ScratchFolder(tag) {
        std::filesystem::copy(std::filesystem::path(TW_SOURCE_DIR) / "data", path,
                              std::filesystem::copy_options::recursive);
        platform::write_file_atomic(path / "settings.ini",
                                    "[settings]\r\nfirsttime=no\r\nusername=Bench\r\n");
    }
};

Folder& folder() {
    static Folder f;
    return f;
}

QApplication& qt() {
    static int argc = 1;
    static char name[] = "tw_bench_frontend";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// The sample data with the generated set file in place of the sample set.
struct LargeFolder : Folder {
    LargeFolder() : Folder("tw-bench-front-large") { platform::write_file_atomic(path / "zqm.set", tw::bench::make_set_text()); }
};

LargeFolder& large_folder() {
    static LargeFolder f;
    return f;
}

void Start(platform::App& app, const std::filesystem::path& program_folder) {
    app.path = program_folder.string();
    app.prev_instance_check = [] { return false; };
    auto tw = std::make_unique<tw::Tablewright>(app);
    tw::Main(*tw);
    if (tw->editor.SearchResults.size() <= 1) throw std::runtime_error("the first search found nothing");
}

void start_headless(benchmark::State& state, const std::filesystem::path& program_folder) {
    for (auto _ : state) {
        platform::FakeClock clock;
        platform::Reactor reactor{clock};
        platform::ScriptedHost host{reactor, clock};
        platform::App app{reactor, host};
        Start(app, program_folder);
    }
}

void start_mirrored(benchmark::State& state, const std::filesystem::path& program_folder) {
    qt();
    for (auto _ : state) {
        {
            platform::SystemClock clock;
            platform::Reactor reactor{clock};
            frontend::QtHost host{reactor};
            platform::App app{reactor, host};
            frontend::Mirror mirror{app, host};
            Start(app, program_folder);
            QCoreApplication::processEvents();  // the windows painted once
        }
        // Windows the mirror dropped with deleteLater go now, not in a later iteration.
        state.PauseTiming();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}

void BM_StartUpHeadless(benchmark::State& state) { start_headless(state, folder().path); }
BENCHMARK(BM_StartUpHeadless)->Unit(benchmark::kMillisecond);

void BM_StartUpMirrored(benchmark::State& state) { start_mirrored(state, folder().path); }
BENCHMARK(BM_StartUpMirrored)->Unit(benchmark::kMillisecond);

void BM_StartUpHeadlessLargeSet(benchmark::State& state) { start_headless(state, large_folder().path); }
BENCHMARK(BM_StartUpHeadlessLargeSet)->Unit(benchmark::kMillisecond);

void BM_StartUpMirroredLargeSet(benchmark::State& state) { start_mirrored(state, large_folder().path); }
BENCHMARK(BM_StartUpMirroredLargeSet)->Unit(benchmark::kMillisecond);

}  // namespace
