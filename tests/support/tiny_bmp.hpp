#pragma once
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

}  // namespace tw::test
