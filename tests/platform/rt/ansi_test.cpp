#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ansi.hpp"

namespace {

using namespace std::string_literals;

TEST(Ansi, Cp1252ToUtf8) {
    struct Case {
        std::string bytes, utf8;
    };
    const std::vector<Case> cases = {
        {"plain ~^ text", "plain ~^ text"},
        {"\0"s, "\0"s},
        {"\x80", "\xE2\x82\xAC"},         // euro sign
        {"\x93x\x94", "\xE2\x80\x9Cx\xE2\x80\x9D"},
        {"\x8A\x9F", "\xC5\xA0\xC5\xB8"},  // Š Ÿ
        {"\xE9", "\xC3\xA9"},             // é
        {"\xA0\xFF", "\xC2\xA0\xC3\xBF"},
        {"\x81\x9D", "\xC2\x81\xC2\x9D"},  // unassigned: kept as control characters
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(rt::cp1252_to_utf8(c.bytes), c.utf8);
    }
}

TEST(Ansi, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(rt::utf8_to_cp1252(rt::cp1252_to_utf8(all)), all);
}

TEST(Ansi, Utf8ToCp1252ReplacesWhatHasNoByte) {
    struct Case {
        std::string utf8, bytes;
    };
    const std::vector<Case> cases = {
        {"\xE2\x82\xAC 5", "\x80 5"},
        {"\xC3\xA9t\xC3\xA9", "\xE9t\xE9"},
        {"\xE4\xB8\xAD", "?"},                // CJK: no byte
        {"\xF0\x9F\x98\x80!", "?!"},          // outside the BMP: one '?'
        {"\xC2\x80", "?"},                    // U+0080 is not the euro byte
        {"\xC3", "?"},                        // cut off at the end
        {"\xC3x", "?x"},                      // cut off before a plain byte, which is kept
        {"\x80", "?"},                        // stray continuation byte
        {"\xC0\xAF", "??"},                   // overlong lead, then a stray continuation
        {"\xE0\x80\xAF", "?"},                // overlong three-byte form
        {"\xED\xA0\x80", "?"},                // surrogate
        {"\xF4\x90\x80\x80", "?"},            // past U+10FFFF
        {"\xFF", "?"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(rt::utf8_to_cp1252(c.utf8), c.bytes);
    }
}

}  // namespace
