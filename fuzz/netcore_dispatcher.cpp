// Commands from the peer as the dispatcher parses and carries them out, on a real table with its
// duel window loaded. Input: commands with their counts, separated as peer_commands.hpp says.
// Whatever they say, the player's piles stay as they were and the game log's name stays inside
// the program folder. A box or a question may come (a few commands ask the player); it is
// answered and the run goes on.
#include <stdlib.h>
#include <string.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cards/settings.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "fuzz/own_cards.hpp"
#include "fuzz/peer_commands.hpp"
#include "fuzz/program_fixture.hpp"
#include "net/dispatcher.hpp"
#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/reactor.hpp"
#include "platform/scripted_host.hpp"
#include "table/piles.hpp"

namespace {

namespace fs = std::filesystem;

// One program with its duel window loaded. Making one costs far more than a command, so it is
// kept across inputs, with what a command changes put back before each, and made anew now and
// then so that what its desktop records does not grow without end.
struct Program {
    platform::FakeClock clock;
    platform::Reactor reactor{clock};
    platform::ScriptedHost host{reactor, clock};
    platform::App app{reactor, host};
    std::unique_ptr<tw::Tablewright> table;

    explicit Program(const fs::path& folder) {
        app.path = folder.string();
        app.prev_instance_check = [] { return false; };
        table = std::make_unique<tw::Tablewright>(app);
        table->FormA();
        table->net.PlayerNumber = 1;
        table->log.LogFolder = "Logs/";
    }
};

// The program folder, made once with the settings the duel window's load would otherwise write
// on every start, and removed when the run ends.
fs::path Folder() {
    static const fs::path folder = [] {
        std::string pattern = (fs::temp_directory_path() / "tw-fuzz-netcore-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        // Kept apart from the static, which is gone by the time exit handlers run.
        static const char* made = strdup(pattern.c_str());
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(made, ec);
        });
        {
            Program first(pattern);
            tw::WriteSetting(*first.table, "username", "Ann");
        }
        return fs::path(pattern);
    }();
    return folder;
}

bool Inside(const fs::path& folder, const fs::path& path) {
    const fs::path rel = fs::weakly_canonical(path).lexically_relative(fs::weakly_canonical(folder));
    return !rel.empty() && *rel.begin() != "..";
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) { return tw::fuzz::WithoutLeakChecks(argc, argv); }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::unique_ptr<Program> program;
    static int runs = 0;
    if (!program || ++runs % 500 == 0) {
        program.reset();
        program = std::make_unique<Program>(Folder());
    }
    auto& tw = *program->table;
    tw.FormA().chat.set_text("");
    tw.net.SentCommands.clear();
    tw.net.ReceivedCount = tw.net.SentCount = tw.net.GarbledCount = 0;
    tw.duel.OppLP = 8000;
    tw.net.PlayerNames.assign(5, std::string());
    tw.net.MalformedNotedMs = -1;
    tw.net.ExpectedHandshake = "66";
    tw.log.LogFileName = "Logs/start.qlra";
    tw::fuzz::DealPiles(tw);
    const auto before = tw::fuzz::OwnPiles(tw);

    tw::fuzz::RunPeerCommands(tw, program->clock, std::string_view(reinterpret_cast<const char*>(data), size));
    if (tw::fuzz::OwnPiles(tw) != before) std::abort();
    const fs::path log(tw.log.LogFileName);
    if (!Inside(tw.folder(), log.is_absolute() ? log : tw.folder() / log)) std::abort();
    return 0;
}
