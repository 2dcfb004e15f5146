// A client's byte stream as the relay takes relay frames out of it and decodes them, and what the
// relay then shows of each message. The first byte chooses how the stream is split into arrivals
// and the outer offsets of re-sent frames; whatever the split, the messages are the same, the
// bytes held stay bounded, decoded bytes never reach the marker bytes, and a printable message
// framed again comes back exactly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/program_fixture.hpp"
#include "net/duel_frame.hpp"
#include "relay/bridgehall.hpp"
#include "relay/form1.hpp"
#include "relay/relay_frame.hpp"
#include "relay/relaying.hpp"

namespace {

struct Fixture : tw::fuzz::ProgramFixture {
    std::unique_ptr<bh::Bridgehall> relay;
    Fixture() {
        relay = std::make_unique<bh::Bridgehall>(app);
        bh::Main(*relay);
    }
};

bool Printable(std::string_view s) {
    for (char c : s)
        if (c < 32 || c > 126) return false;
    return true;
}

void Drain(tw::DuelFrameReader& r, std::vector<std::string>& out) {
    while (auto p = r.next()) {
        if (p->kind != tw::DuelFrameReader::Piece::Frame) continue;
        if (p->text.size() > tw::DuelFrameReader::kMaxUnended + bh::kRelayFrameEnd.size()) std::abort();
        const std::string m = bh::OpenRelayFrame(p->text);
        // A key that is no hex digit lets a byte pass 126, but never onto a marker byte.
        for (char c : m)
            if (static_cast<unsigned char>(c) >= 254) std::abort();
        if (!m.empty()) out.push_back(m);
    }
    if (r.pending() > tw::DuelFrameReader::kMaxUnended) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Fixture f;
    if (size == 0) return 0;
    const unsigned step = data[0] % 16 + 1;
    const bh::Offsets o = {33 + data[0] % 9, 33 + data[0] / 9 % 9, 41 - data[0] % 9, 37, 33 + data[0] / 81};
    const std::string_view stream(reinterpret_cast<const char*>(data) + 1, size - 1);

    tw::DuelFrameReader whole(bh::kRelayFrameStart, bh::kRelayFrameEnd);
    std::vector<std::string> a;
    whole.append(stream);
    Drain(whole, a);

    tw::DuelFrameReader split(bh::kRelayFrameStart, bh::kRelayFrameEnd);
    std::vector<std::string> b;
    for (std::size_t at = 0; at < stream.size(); at += step) {
        split.append(stream.substr(at, step));
        Drain(split, b);
    }
    if (stream.size() <= tw::DuelFrameReader::kMaxUnended && a != b) std::abort();

    for (std::size_t i = 0; i < a.size(); ++i) {
        bh::InspectMessage(*f.relay, a[i], static_cast<int>(i % 2));
        if (Printable(a[i])) {
            const auto frame = bh::RelayFrame(a[i], o);
            if (!frame || bh::OpenRelayFrame(*frame) != a[i]) std::abort();
        }
    }
    if (f.relay->Form1().List1.list_count() > bh::kMaxLogLines) std::abort();

    // The stream as a message: printable text survives the frame exactly, and any frame made
    // holds no marker in its payload.
    if (const auto frame = bh::RelayFrame(stream, o)) {
        const std::string payload = frame->substr(3, frame->size() - 5);
        if (payload.find(bh::kRelayFrameStart) != std::string::npos ||
            payload.find(bh::kRelayFrameEnd) != std::string::npos)
            std::abort();
        const std::string back = bh::OpenRelayFrame(*frame);
        if (Printable(stream) && !stream.empty() && back != stream) std::abort();
    }
    return 0;
}
