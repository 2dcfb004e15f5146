#pragma once
// The relay's own frame: FE FF, a tag byte, the message scrambled in two layers, FF FE. The inner
// layer shifts every byte by the first hex digit of the message's MD5; the outer layer adds five
// offsets that travel at the ends of the payload. It keeps the stream readable for the relay and
// nothing more: it is not a secret.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace bh {

inline constexpr std::string_view kRelayFrameStart = "\xFE\xFF";
inline constexpr std::string_view kRelayFrameEnd = "\xFF\xFE";

// Each offset is 33 to 41 in the frames the relay sends.
using Offsets = std::array<int, 5>;

// The 32 lowercase hex digits of the MD5 digest of the bytes.
std::string MD5String(std::string_view text);

// Each byte b becomes b + k, less 95 past 126; a byte that would still pass 255 is left out.
std::string InnerShift(std::string_view text, int k);
// The offsets' first four bytes, each byte plus its offset in turn, the fifth offset; nullopt
// when a byte would pass 255.
std::optional<std::string> OuterWrap(std::string_view s, const Offsets& o);
// The inverse; "" for fewer than five bytes or a byte that would fall below 0.
std::string OuterUnwrap(std::string_view w);

// The payload: OuterWrap(MD5String(message) + InnerShift(message, k)); nullopt when the outer
// layer cannot carry it.
std::optional<std::string> EncodeMessage(std::string_view message, const Offsets& o);
// The message a payload carries; "" for a payload no sender makes (too short, or a byte that
// would fall below 0). Printable bytes come back exactly; see the tests for the rest.
std::string DecodeMessage(std::string_view payload);

// The whole frame with tag 0; nullopt when the message cannot travel in it: the outer layer
// fails, or the payload would hold a marker that cuts the frame short at the receiver.
std::optional<std::string> RelayFrame(std::string_view message, const Offsets& o);

// The message in a piece the frame reader cut (from its start marker through its end marker):
// the markers and the tag taken off, the payload decoded; "" when nothing usable is left.
std::string OpenRelayFrame(std::string_view piece);

}  // namespace bh
