// The duel socket's bytes as a table takes them in, over a real loopback connection: frames cut,
// numbered in the ring (a gap answered with "rp~"), counted as garbled, marked done, saved to
// the game log and carried out by the dispatcher. The first two bytes choose where the rest is
// cut into the pieces that arrive one by one. Whatever arrives: the player's own cards and piles
// stay as they were, no file outside the logs folder is written, the log stays in it, every
// resend request names a frame of the ring, the garbled count rises at most once per end marker,
// what the table holds stays bounded, and no runtime error is reported.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/duel_table.hpp"
#include "net/duel_frame.hpp"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) { return tw::fuzz::WithoutLeakChecks(argc, argv); }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto& p = tw::fuzz::Kept<tw::fuzz::LoopbackTable>(1000);
    if (size < 2) return 0;
    if (!p.connected() || !p.peer.open()) p.Connect();
    const tw::fuzz::Unchanged unchanged(p);

    const std::string_view stream(reinterpret_cast<const char*>(data) + 2, size - 2);
    p.Feed(stream, data[0] | data[1] << 8);
    unchanged.Check(tw::fuzz::Count(stream, tw::kFrameEnd));
    return 0;
}
