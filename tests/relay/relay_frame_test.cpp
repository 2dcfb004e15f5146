// The relay frame and its two scrambling layers, byte by byte.
#include "relay/relay_frame.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bh {
namespace {

std::string Bytes(std::initializer_list<int> codes) {
    std::string s;
    for (int c : codes) s += static_cast<char>(c);
    return s;
}

TEST(RelayFrame, WorkedExample) {
    EXPECT_EQ(MD5String("pd~c"), "c425661cf596c01b0dba8c825ef6f3a3");
    EXPECT_EQ(MD5String(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(MD5String("\x92\xff"), "311cd1a2d5cfe3b7b548e84d78c710ab");

    // k = 'c' = 99: p, d, ~ and c shift past 126 and come back down by 95.
    EXPECT_EQ(InnerShift("pd~c", 99), Bytes({116, 104, 130, 103}));

    const auto frame = RelayFrame("pd~c", {33, 34, 35, 36, 37});
    ASSERT_TRUE(frame);
    const std::string expected = Bytes(
        {0xfe, 0xff, 0x00, 0x21, 0x22, 0x23, 0x24, 0x84, 0x56, 0x55, 0x59, 0x5b, 0x57, 0x53, 0x86, 0x8a,
         0x5a, 0x5a, 0x58, 0x86, 0x54, 0x56, 0x83, 0x52, 0x87, 0x86, 0x86, 0x59, 0x85, 0x5b, 0x56, 0x5a,
         0x86, 0x88, 0x59, 0x8a, 0x58, 0x82, 0x55, 0x97, 0x8c, 0xa7, 0x88, 0x25, 0xff, 0xfe});
    EXPECT_EQ(frame->size(), 46u);
    EXPECT_EQ(*frame, expected);
    EXPECT_EQ(OpenRelayFrame(*frame), "pd~c");
    EXPECT_EQ(DecodeMessage(frame->substr(3, 41)), "pd~c");
}

// Over every byte value and every key digit the inner shift can be keyed by, at both ends of the
// offsets' range: printable bytes come back exactly and never put a marker byte in the payload;
// control bytes come back as b + 95, except where the shift wrapped under a letter key (b + k
// past 126), where they come back as themselves; bytes above 126 never come back as themselves.
TEST(RelayFrame, EveryByteUnderEveryKey) {
    const std::string digits = "0123456789abcdef";
    for (const Offsets& o : {Offsets{33, 33, 33, 33, 33}, Offsets{41, 41, 41, 41, 41}}) {
        for (char d : digits) {
            const std::string key = std::string(1, d) + std::string(31, '0');
            const int k = d;
            for (int b = 0; b < 256; ++b) {
                const std::string message(1, static_cast<char>(b));
                const std::string shifted = InnerShift(message, k);
                const auto payload = OuterWrap(key + shifted, o);
                if (!payload) {
                    EXPECT_GT(b, 126) << "byte " << b << " key " << d;
                    continue;
                }
                const std::string back = DecodeMessage(*payload);
                if (b >= 32 && b <= 126) {
                    EXPECT_EQ(back, message) << "byte " << b << " key " << d;
                    EXPECT_EQ(payload->find('\xfe'), std::string::npos);
                    EXPECT_EQ(payload->find('\xff'), std::string::npos);
                } else if (b < 32) {
                    const int expect = b + k > 126 ? b : b + 95;
                    EXPECT_EQ(back, std::string(1, static_cast<char>(expect))) << "byte " << b << " key " << d;
                } else if (!shifted.empty()) {
                    ASSERT_EQ(back.size(), 1u) << "byte " << b << " key " << d;
                    EXPECT_NE(back, message) << "byte " << b << " key " << d;
                }
            }
        }
    }
}

TEST(RelayFrame, WholeMessagesThroughTheRealKey) {
    std::string printable;
    for (int b = 32; b <= 126; ++b) printable += static_cast<char>(b);
    for (const std::string& m : {printable, std::string("ch~<Ann> hello"), std::string("mi~Ann:20:1:0:"),
                                 std::string("x")}) {
        const auto frame = RelayFrame(m, {41, 39, 37, 35, 33});
        ASSERT_TRUE(frame) << m;
        EXPECT_EQ(frame->size(), 3 + 4 + 32 + m.size() + 1 + 2) << m;
        const std::string payload = frame->substr(3, frame->size() - 5);
        EXPECT_EQ(payload.find('\xfe'), std::string::npos) << m;
        EXPECT_EQ(payload.find('\xff'), std::string::npos) << m;
        EXPECT_EQ(OpenRelayFrame(*frame), m);
    }
    // A byte that shifts past 255 is left out on the way: 255 under a letter key.
    EXPECT_EQ(InnerShift("a\xff", 'a'), InnerShift("a", 'a'));
    EXPECT_EQ(InnerShift("a\xff", '0').size(), 2u);
}

TEST(RelayFrame, PayloadsNoSenderMakesDecodeToNothing) {
    const std::string key_f = "f" + std::string(31, '0');
    const std::string key_0 = "0" + std::string(31, '0');
    struct Case {
        const char* what;
        std::string payload;
    };
    const std::vector<Case> cases = {
        {"empty", ""},
        {"five bytes", Bytes({33, 33, 33, 33, 33})},
        {"four bytes", Bytes({33, 34, 35, 36})},
        {"a byte below its offset", Bytes({40, 40, 40, 40, 39, 40})},
        {"a key and no message", *OuterWrap(key_0, {33, 33, 33, 33, 33})},
        {"shorter than a key", *OuterWrap("abc", {33, 33, 33, 33, 33})},
        // Under the key 'f', a shifted byte 2 would decode to 2 - 102 + 95 < 0.
        {"an inner byte below 0", *OuterWrap(key_f + "\x02", {33, 33, 33, 33, 33})},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeMessage(c.payload), "") << c.what;

    // OuterUnwrap of exactly five bytes is empty; of a wrapped text it is that text.
    EXPECT_EQ(OuterUnwrap(Bytes({33, 34, 35, 36, 37})), "");
    EXPECT_EQ(OuterUnwrap(*OuterWrap("hello world", {35, 36, 37, 38, 39})), "hello world");
}

TEST(RelayFrame, OuterLayerFailsPast255) {
    EXPECT_FALSE(OuterWrap(Bytes({215}), {41, 41, 41, 41, 41}));
    EXPECT_TRUE(OuterWrap(Bytes({214}), {41, 41, 41, 41, 41}));
    // The byte's own offset decides, by its place: the sixth byte takes the first again.
    EXPECT_TRUE(OuterWrap(Bytes({0, 0, 0, 0, 0, 222}), {33, 41, 41, 41, 41}));
    EXPECT_FALSE(OuterWrap(Bytes({0, 0, 0, 0, 0, 223}), {33, 41, 41, 41, 41}));
    EXPECT_FALSE(OuterWrap(Bytes({0, 0, 0, 0, 215}), {33, 33, 33, 33, 41}));
}

// A message whose payload would hold FF FE (or FE FF) would be cut short by the receiver; no such
// frame is made. Bytes above 126 are needed for it; these messages reach it under the offsets
// 33 to 37, and a printable neighbour does not.
TEST(RelayFrame, NoFrameWithAMarkerInsideItsPayload) {
    const Offsets o = {33, 34, 35, 36, 37};
    for (const std::string m : {"ch~ \xda\xd8", "ch~%\xda\xda", "ch~(\xd6\xd4"}) {
        const auto payload = EncodeMessage(m, o);
        ASSERT_TRUE(payload) << m;
        EXPECT_TRUE(payload->find("\xff\xfe") != std::string::npos || payload->find("\xfe\xff") != std::string::npos);
        EXPECT_FALSE(RelayFrame(m, o)) << m;
    }
    EXPECT_TRUE(RelayFrame("ch~ ab", o));
}

}  // namespace
}  // namespace bh
