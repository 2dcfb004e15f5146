// What mirroring costs: the start-up on the sample set (set loading with its progress steps, the
// deck editor's load and first search), headless and shown through the Qt front end.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <system_error>
#include <unistd.h>

#include "bench/scratch_folder.hpp"
#include "cards/main.hpp"
#include "cards/tablewright.hpp"
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
    Folder() : ScratchFolder("tw-bench-front") {
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

void Start(platform::App& app) {
    app.path = folder().path.string();
    app.prev_instance_check = [] { return false; };
    auto tw = std::make_unique<tw::Tablewright>(app);
    tw::Main(*tw);
    if (tw->SearchResults.size() <= 1) throw std::runtime_error("the first search found nothing");
}

void BM_StartUpHeadless(benchmark::State& state) {
    folder();
    for (auto _ : state) {
        platform::FakeClock clock;
        platform::Reactor reactor{clock};
        platform::ScriptedHost host{reactor, clock};
        platform::App app{reactor, host};
        Start(app);
    }
}
BENCHMARK(BM_StartUpHeadless)->Unit(benchmark::kMillisecond);

void BM_StartUpMirrored(benchmark::State& state) {
    folder();
    qt();
    for (auto _ : state) {
        platform::SystemClock clock;
        platform::Reactor reactor{clock};
        frontend::QtHost host{reactor};
        platform::App app{reactor, host};
        frontend::Mirror mirror{app, host};
        Start(app);
        QCoreApplication::processEvents();  // the windows painted once
    }
}
BENCHMARK(BM_StartUpMirrored)->Unit(benchmark::kMillisecond);

}  // namespace
