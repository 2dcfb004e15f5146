#pragma once
// A table whose duel socket a target feeds over a real loopback connection, and what of the table
// must come out of any input unchanged: the player's own cards and piles, every file outside the
// logs folder, the log's place, the frame-number ring and the resend requests it makes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "cards/settings.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "fuzz/loopback.hpp"
#include "fuzz/own_cards.hpp"
#include "fuzz/program_fixture.hpp"
#include "net/duel_frame.hpp"
#include "net/receiver.hpp"
#include "platform/tcp.hpp"

namespace tw::fuzz {

namespace fs = std::filesystem;

inline constexpr const char* kLogName = "Logs/duel.qlra";

// The table's folder is one level below the scratch folder, so that a write that climbs out of
// it is seen too.
struct LoopbackTable : ProgramFixture {
    fs::path root = folder.path();
    std::unique_ptr<Tablewright> table;
    LoopbackEnd peer;
    TakenCount taken;

    LoopbackTable() {
        fs::create_directory(root / "table");
        app.path = (root / "table").string();
        table = std::make_unique<Tablewright>(app);
        WriteSetting(*table, "username", "Ann");
        table->FormA();
        LoadFuzzSet(*table);
        table->log.LogFolder = "Logs/";
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
        peer = LoopbackEnd::Connect(s.bound_port());
        if (!PumpUntil(reactor, [&] { return connected(); })) std::abort();
    }

    // The peer's bytes in the pieces the seed chooses, each in a data event of its own; a table
    // that closed takes no more.
    void Feed(std::string_view stream, std::uint32_t seed) {
        std::size_t written = taken.bytes;
        for (std::string_view piece : Pieces(stream, seed)) {
            if (!peer.write(reactor, piece)) break;
            written += piece.size();
            PumpUntil(reactor, [&] { return taken.bytes == written || !connected(); });
            (void)peer.read();
            if (!connected()) break;
            if (table->net.ReceiveBuffer.pending() > DuelFrameReader::kMaxUnended) std::abort();
        }
        taken.bytes = written;
    }
};

// Every file under the scratch folder but the table's logs folder, with its size and time.
inline std::map<std::string, std::string> FilesOutsideLogs(const fs::path& root, const fs::path& logs) {
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

inline std::size_t Count(std::string_view text, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// A table set for the next input: a fresh connection's numbering, logging on, cards dealt. Made
// with it, the picture of what must not change; Check aborts when something did.
class Unchanged {
public:
    explicit Unchanged(LoopbackTable& p) : p_(p) {
        auto& tw = *p.table;
        ResetFrameNumbers(tw);
        tw.net.PlayerNumber = 1;
        tw.net.GarbledCount = 0;
        tw.net.MalformedNotedMs = -1;
        tw.net.OutOfStepNotedMs = -1;
        tw.log.LoggingOn = true;
        tw.log.LogFileName = kLogName;
        tw.FormA().chat.set_text("");
        tw.net.SentCommands.clear();
        DealField(tw);
        DealPiles(tw);
        own_field_ = OwnFieldCards(tw);
        own_piles_ = OwnPiles(tw);
        failures_ = p.host.failure_count;
        files_ = FilesOutsideLogs(p.root, tw.path_of("Logs"));
    }

    // end_markers: how many frame ends reached the receiver, the most frames it may count garbled.
    void Check(std::size_t end_markers) const {
        auto& tw = *p_.table;
        Require(p_.host.failure_count == failures_);
        Require(OwnFieldCards(tw) == own_field_);
        Require(OwnPiles(tw) == own_piles_);
        Require(FilesOutsideLogs(p_.root, tw.path_of("Logs")) == files_);
        // The opponent's name may rename the log, within its folder.
        const fs::path log(tw.log.LogFileName);
        Require(tw.log.LogFileName == kLogName ||
                (log.parent_path() == tw.path_of("Logs") && log.filename() != ".." && log.filename() != "."));
        Require(tw.net.GarbledCount >= 0 && static_cast<std::size_t>(tw.net.GarbledCount) <= end_markers);
        Require(tw.net.ReceiveHistory.ubound() == 255);
        for (const auto& sent : tw.net.SentCommands) {
            if (sent.command.rfind("rp~", 0) != 0) continue;
            const std::string n = sent.command.substr(3, sent.command.find('|') - 3);
            Require(!n.empty() && n.size() <= 3 && n.find_first_not_of("0123456789") == std::string::npos &&
                    std::stoi(n) <= 254);
        }
    }

private:
    LoopbackTable& p_;
    std::string own_field_;
    std::vector<std::string> own_piles_;
    long failures_ = 0;
    std::map<std::string, std::string> files_;
};

}  // namespace tw::fuzz
