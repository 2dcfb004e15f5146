#pragma once
#include <cstdint>
#include <string>

namespace tw::test {

// The bytes of a 1x1 24-bit BMP: the smallest file the picture loader takes.
inline std::string TinyBmp() {
    std::string b = "BM";
    auto le32 = [&b](unsigned v) {
        for (int i = 0; i < 4; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    auto le16 = [&b](unsigned v) {
        b += static_cast<char>(v & 0xFF);
        b += static_cast<char>(v >> 8);
    };
    le32(58); le32(0); le32(54);
    le32(40); le32(1); le32(1); le16(1); le16(24); le32(0); le32(4); le32(2835); le32(2835);
    le32(0); le32(0);
    b += std::string("\x10\x20\x30\x00", 4);
    return b;
}

// A one-bit BMP of w x h white pixels: a picture as large as wanted for little work.
inline std::string MonoBmp(std::uint32_t w, std::uint32_t h) {
    const std::uint32_t stride = (w + 31) / 32 * 4;
    std::string b = "BM";
    auto le = [&b](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    le(62 + stride * h, 4), le(0, 4), le(62, 4);
    le(40, 4), le(w, 4), le(h, 4), le(1, 2), le(1, 2);
    for (int i = 0; i < 6; ++i) le(0, 4);
    le(0, 4), le(0x00FFFFFF, 4);  // black, white
    b.append(static_cast<std::size_t>(stride) * h, '\xFF');
    return b;
}

}  // namespace tw::test
