// The duel socket's byte stream as the receiver cuts and opens it, in both frame kinds. The
// first byte chooses how the stream is split into arrivals; whatever the split, the frames are
// the same, the bytes held stay bounded, and what a frame opens to carries no marker.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "net/duel_frame.hpp"

namespace {

struct Out {
    std::vector<std::string> frames;
};

void Drain(tw::DuelFrameReader& r, bool server, Out& out) {
    while (auto p = r.next()) {
        if (p->kind != tw::DuelFrameReader::Piece::Frame) continue;
        if (p->text.size() > tw::DuelFrameReader::kMaxUnended + tw::kFrameEnd.size()) std::abort();
        auto f = tw::OpenFrame(p->text, server);
        if (!f) continue;
        if (f->text.find(tw::kFrameStart) != std::string::npos || f->text.find(tw::kFrameEnd) != std::string::npos)
            std::abort();
        if (f->number && (*f->number < 0 || *f->number > 255)) std::abort();
        if (!p->text.empty()) out.frames.push_back(f->text);
    }
    if (r.pending() > tw::DuelFrameReader::kMaxUnended) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const unsigned step = data[0] % 16 + 1;
    const bool server = data[0] & 0x80;
    const std::string_view stream(reinterpret_cast<const char*>(data) + 1, size - 1);

    tw::DuelFrameReader whole;
    whole.append(stream);
    Out a;
    Drain(whole, server, a);

    tw::DuelFrameReader split;
    Out b;
    for (std::size_t at = 0; at < stream.size(); at += step) {
        split.append(stream.substr(at, step));
        Drain(split, server, b);
    }
    // Below the bound, where a piece ends depends on the bytes alone.
    if (stream.size() <= tw::DuelFrameReader::kMaxUnended && a.frames != b.frames) std::abort();

    (void)tw::ExtractFrames(stream);
    (void)tw::CutChatTimestamp(stream);
    const std::string cleaned = tw::RemoveFrameMarkers(stream);
    if (cleaned.find(tw::kFrameStart) != std::string::npos || cleaned.find(tw::kFrameEnd) != std::string::npos)
        std::abort();
    return 0;
}
