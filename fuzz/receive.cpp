// The duel socket's bytes as a table takes them in, over a real loopback connection: frames cut,
// numbered in the ring (a gap answered with "rp~"), counted as garbled, marked done, saved to
// the game log and carried out by the dispatcher. The first two bytes choose where the rest is
// cut into the pieces that arrive one by one. Whatever arrives: the player's own cards and piles
// stay as they were, no file outside the logs folder is written, the log keeps its name, every
// resend request names a frame of the ring, the garbled count rises at most once per end marker,
// what the table holds stays bounded, and no runtime error is reported.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include "cards/settings.hpp"
#include "cards/tablewright.hpp"
#include "duel/forma.hpp"
#include "fuzz/loopback.hpp"
#include "fuzz/own_cards.hpp"
#include "fuzz/program_fixture.hpp"
#include "net/duel_frame.hpp"
#include "net/receiver.hpp"
#include "platform/rt.hpp"
#include "platform/tcp.hpp"

namespace {

namespace fs = std::filesystem;

constexpr const char* kLogName = "Logs/duel.qlra";

// The table's folder is one level below the scratch folder, so that a write that climbs out of
// it is seen too.
struct Program : tw::fuzz::ProgramFixture {
    fs::path root = folder.path();
    std::unique_ptr<tw::Tablewright> table;
    tw::fuzz::LoopbackEnd peer;
    tw::fuzz::TakenCount taken;

    Program() {
        fs::create_directory(root / "table");
        app.path = (root / "table").string();
        table = std::make_unique<tw::Tablewright>(app);
        tw::WriteSetting(*table, "username", "Ann");
        table->FormA();
        tw::fuzz::LoadFuzzSet(*table);
        table->LogFolder = "Logs/";
        taken.Install(socket());
    }

    platform::TcpSocket& socket() { return table->FormA().Winsock1; }
    bool connected() { return socket().state() == platform::TcpSocket::StateConnected; }

    // The duel socket takes the loopback connection on itself, as the listening dialog does.
    void Connect() {
        auto& s = socket();
        s.close();
        peer.close();
        s.set_local_port(0);
        s.ConnectionRequest = [&s](long id) {
            s.close();
            s.accept(id);
        };
        s.listen();
        peer = tw::fuzz::LoopbackEnd::Connect(s.bound_port());
        if (!tw::fuzz::PumpUntil(reactor, [&] { return connected(); })) std::abort();
    }
};

// Every file under the scratch folder but the table's logs folder, with its size and time.
std::map<std::string, std::string> FilesOutsideLogs(const fs::path& root, const fs::path& logs) {
    std::map<std::string, std::string> out;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (it->path() == logs) {
            it.disable_recursion_pending();
            continue;
        }
        std::error_code e;
        const auto size = it->is_regular_file(e) ? it->file_size(e) : 0;
        const auto time = it->last_write_time(e).time_since_epoch().count();
        out[it->path().string()] = std::to_string(size) + "@" + std::to_string(time);
    }
    return out;
}

void Check(bool ok) {
    if (!ok) std::abort();
}

std::size_t Count(std::string_view text, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) { return tw::fuzz::WithoutLeakChecks(argc, argv); }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::unique_ptr<Program> program;
    static int runs = 0;
    // Made anew now and then, so that what its desktop records does not grow without end.
    if (!program || ++runs % 1000 == 0) {
        program.reset();
        program = std::make_unique<Program>();
    }
    if (size < 2) return 0;
    auto& p = *program;
    auto& tw = *p.table;
    if (!p.connected() || !p.peer.open()) p.Connect();

    tw::ResetFrameNumbers(tw);
    tw.PlayerNumber = 1;
    tw.GarbledCount = 0;
    tw.MalformedNotedMs = -1;
    tw.OutOfStepNotedMs = -1;
    tw.LoggingOn = true;
    tw.LogFileName = kLogName;
    tw.FormA().chat.set_text("");
    tw.SentCommands.clear();
    tw::fuzz::DealField(tw);
    tw::fuzz::DealPiles(tw);
    const std::string own_field = tw::fuzz::OwnFieldCards(tw);
    const auto own_piles = tw::fuzz::OwnPiles(tw);
    const long failures = p.host.failure_count;
    const auto files = FilesOutsideLogs(p.root, tw.path_of("Logs"));

    const std::string_view stream(reinterpret_cast<const char*>(data) + 2, size - 2);
    std::size_t written = p.taken.bytes;
    for (std::string_view piece : tw::fuzz::Pieces(stream, data[0] | data[1] << 8)) {
        if (!p.peer.write(p.reactor, piece)) break;
        written += piece.size();
        // Each piece in a data event of its own; a table that closed takes no more.
        tw::fuzz::PumpUntil(p.reactor, [&] { return p.taken.bytes == written || !p.connected(); });
        (void)p.peer.read();
        if (!p.connected()) break;
        Check(tw.ReceiveBuffer.pending() <= tw::DuelFrameReader::kMaxUnended);
    }
    p.taken.bytes = written;

    Check(p.host.failure_count == failures);
    Check(tw::fuzz::OwnFieldCards(tw) == own_field);
    Check(tw::fuzz::OwnPiles(tw) == own_piles);
    Check(FilesOutsideLogs(p.root, tw.path_of("Logs")) == files);
    Check(tw.LogFileName == kLogName);
    Check(tw.GarbledCount >= 0 && static_cast<std::size_t>(tw.GarbledCount) <= Count(stream, tw::kFrameEnd));
    Check(tw.ReceiveHistory.ubound() == 255);
    for (const auto& sent : tw.SentCommands) {
        if (sent.command.rfind("rp~", 0) != 0) continue;
        const std::string n = sent.command.substr(3, sent.command.find('|') - 3);
        Check(!n.empty() && n.size() <= 3 && n.find_first_not_of("0123456789") == std::string::npos &&
              std::stoi(n) <= 254);
    }
    return 0;
}
