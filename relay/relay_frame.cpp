#include "relay/relay_frame.hpp"

#include <openssl/evp.h>

#include <stdexcept>

#include "net/duel_frame.hpp"

namespace bh {

namespace {

int code(char c) { return static_cast<unsigned char>(c); }
char byte(int v) { return static_cast<char>(static_cast<unsigned char>(v)); }

constexpr std::size_t kKeyLength = 32;

}  // namespace

std::string MD5String(std::string_view text) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(text.data(), text.size(), digest, &length, EVP_md5(), nullptr) != 1)
        throw std::runtime_error("MD5 is not available");
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(2 * length);
    for (unsigned int i = 0; i < length; ++i) {
        out += kHex[digest[i] >> 4];
        out += kHex[digest[i] & 15];
    }
    return out;
}

std::string InnerShift(std::string_view text, int k) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        int v = code(c) + k;
        if (v > 126) v -= 95;
        if (v < 256) out += byte(v);
    }
    return out;
}

std::optional<std::string> OuterWrap(std::string_view s, const Offsets& o) {
    std::string out;
    out.reserve(s.size() + 5);
    for (int i = 0; i < 4; ++i) out += byte(o[i]);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const int v = code(s[i]) + o[i % 5];
        if (v > 255) return std::nullopt;
        out += byte(v);
    }
    out += byte(o[4]);
    return out;
}

std::string OuterUnwrap(std::string_view w) {
    if (w.size() < 5) return {};
    const Offsets o = {code(w[0]), code(w[1]), code(w[2]), code(w[3]), code(w.back())};
    const std::string_view body = w.substr(4, w.size() - 5);
    std::string out;
    out.reserve(body.size());
    for (std::size_t i = 0; i < body.size(); ++i) {
        const int v = code(body[i]) - o[i % 5];
        if (v < 0) return {};
        out += byte(v);
    }
    return out;
}

std::optional<std::string> EncodeMessage(std::string_view message, const Offsets& o) {
    const std::string key = MD5String(message);
    return OuterWrap(key + InnerShift(message, code(key[0])), o);
}

std::string DecodeMessage(std::string_view payload) {
    const std::string s = OuterUnwrap(payload);
    if (s.size() <= kKeyLength) return {};
    const int k = code(s[0]);
    std::string out;
    out.reserve(s.size() - kKeyLength);
    for (std::size_t i = kKeyLength; i < s.size(); ++i) {
        int v = code(s[i]) - k;
        if (v > 126) v -= 126;
        if (v < 32) v += 95;
        // Only bytes no sender wrote get here; the frame is dropped rather than guessed at.
        if (v < 0) return {};
        out += byte(v);
    }
    return out;
}

std::optional<std::string> RelayFrame(std::string_view message, const Offsets& o) {
    auto payload = EncodeMessage(message, o);
    if (!payload) return std::nullopt;
    // Bytes above 126 can shift onto FE and FF; a marker inside the payload would end the frame
    // early at the receiver and garble what follows.
    if (payload->find(kRelayFrameStart) != std::string::npos || payload->find(kRelayFrameEnd) != std::string::npos)
        return std::nullopt;
    std::string frame(kRelayFrameStart);
    frame += '\0';
    frame += *payload;
    frame += kRelayFrameEnd;
    return frame;
}

std::string OpenRelayFrame(std::string_view piece) {
    const std::string text = tw::RemoveFrameMarkers(piece, kRelayFrameStart, kRelayFrameEnd);
    if (text.empty()) return {};
    return DecodeMessage(std::string_view(text).substr(1));  // the tag: nothing depends on it
}

}  // namespace bh
