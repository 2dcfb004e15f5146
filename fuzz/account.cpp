// The account dialog reading a chat server's answers, over a real loopback connection: "Verify
// Account" connects and logs in, the server's stream is read for the answer to that login (and,
// after a refusal, to the registration the dialog then sends), and the server closes the stream
// once it has sent the input. The first two bytes choose where the rest is cut into the pieces
// that arrive one by one.
//
// Whatever the server sends: the dialog ends the same whether the stream comes whole or in
// pieces, it is never left waiting ("Connection Error." and "Verify Account" again when no answer
// came), it says "Username Verified." only after the server's result for one of its requests, it
// registers only after a refusal of its login, and no box opens.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "program/tablewright.hpp"
#include "fuzz/loopback.hpp"
#include "fuzz/program_fixture.hpp"
#include "net/jabber_window.hpp"
#include "net/xmpp_stream.hpp"
#include "net/xmpp_texts.hpp"
#include "platform/tcp.hpp"

namespace {

struct Fixture : tw::fuzz::ProgramFixture {
    std::unique_ptr<tw::Tablewright> table = std::make_unique<tw::Tablewright>(app);
    tw::fuzz::LoopbackListener server;
    tw::fuzz::TakenCount taken;

    Fixture() {
        table->prefs.JabberServer = "127.0.0.1";
        table->net_config.xmpp_port = server.port();
        auto& d = dialog();
        d.show();
        d.Text1.set_text("Ann");
        d.Text2.set_text("secret");
        taken.Install(d.Winsock1);
    }
    tw::win::FrmJabber& dialog() { return table->frmJabber(); }
};

// How an attempt ended, and everything the dialog wrote to the server.
struct Outcome {
    std::string result;
    bool verify_enabled = false;
    bool save_enabled = false;
    bool verified = false;
    bool waiting = false;
    int socket_state = 0;
    std::string written;
    bool operator==(const Outcome&) const = default;
};

// One press of "Verify Account" (from the program, so that it can follow a verified attempt)
// against the server that sends the stream, whole or in the pieces the seed chooses.
Outcome Attempt(Fixture& f, std::string_view stream, std::optional<std::uint32_t> seed) {
    auto& d = f.dialog();
    d.Command2_Click();
    tw::fuzz::LoopbackEnd end = f.server.accept(f.reactor);
    tw::fuzz::Require(end.open());
    Outcome out;
    // The login follows the connection.
    tw::fuzz::Require(tw::fuzz::PumpUntil(f.reactor, [&] {
        out.written += end.read();
        return d.step() == tw::win::FrmJabber::Step::Login && !out.written.empty();
    }));
    f.taken.bytes = 0;
    std::size_t written = 0;
    auto open = [&] { return d.Winsock1.state() == platform::TcpSocket::StateConnected; };
    const auto pieces = seed ? tw::fuzz::Pieces(stream, *seed) : std::vector<std::string_view>{stream};
    for (std::string_view piece : pieces) {
        if (!end.write(f.reactor, piece)) break;
        written += piece.size();
        tw::fuzz::PumpUntil(f.reactor, [&] { return f.taken.bytes == written || !open(); });
        out.written += end.read();
        if (!open()) break;
    }
    tw::fuzz::PumpUntil(f.reactor, [&] { return d.Winsock1.queued_bytes() == 0; });
    out.written += end.read();
    // The server ends the stream; the dialog must not go on waiting for it.
    end.close();
    tw::fuzz::PumpUntil(f.reactor, [&] { return !open(); });
    out.result = d.Label1.caption();
    out.verify_enabled = d.Command2.enabled();
    out.save_enabled = d.Command1.enabled();
    out.verified = d.verified();
    out.waiting = d.Timer1.enabled();
    out.socket_state = d.Winsock1.state();
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) { return tw::fuzz::WithoutLeakChecks(argc, argv); }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto& f = tw::fuzz::Kept<Fixture>(1000);
    if (size < 2) return 0;
    const long messages = f.host.message_count;
    const std::string_view stream(reinterpret_cast<const char*>(data) + 2, size - 2);

    const Outcome split = Attempt(f, stream, data[0] | data[1] << 8);
    const Outcome whole = Attempt(f, stream, std::nullopt);
    tw::fuzz::Require(split == whole);
    tw::fuzz::RequireNoBox(f.host, messages);

    tw::fuzz::Require(!split.waiting && split.socket_state == platform::TcpSocket::StateClosed);
    tw::fuzz::Require(split.result == tw::kAccountVerified || split.result == tw::kAccountNotVerified ||
          split.result == tw::kAccountConnectionError);
    tw::fuzz::Require(split.verified == (split.result == tw::kAccountVerified));
    tw::fuzz::Require(split.save_enabled == split.verified && split.verify_enabled == !split.verified);

    // What the server said, read at once.
    tw::XmppStreamScanner scanner;
    scanner.append(stream);
    bool result = false;
    bool refused = false;
    while (auto s = scanner.next()) {
        if (s->name != "iq") continue;
        result |= s->type == "result" && (s->id == tw::kVerificationLoginId || s->id == tw::kRegistrationId);
        refused |= s->type == "error" && s->id == tw::kVerificationLoginId;
    }
    tw::fuzz::Require(!split.verified || result);
    const bool registered = split.written.find("id='" + std::string(tw::kRegistrationId) + "'") != std::string::npos;
    tw::fuzz::Require(!registered || refused);
    return 0;
}
