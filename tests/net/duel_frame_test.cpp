#include "net/duel_frame.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "cards/log_coding.hpp"

namespace tw {
namespace {

TEST(DuelFrame, WorkedExamplesHoldByteForByte) {
    // The fifteenth command, sent in frame 14 by seat 1.
    const std::string body = FrameBody("nl~7200", 15, 14);
    EXPECT_EQ(body, "nl~7200|$|15~14");
    const std::string frame = DuelFrame(FrameTag(1, 0), EncodeWire(body));
    EXPECT_EQ(frame, std::string("^~\x0Anl~7200|$|15~14~^"));
    EXPECT_EQ(frame.size(), 20u);

    // A server duel's first command after the count was set back, in frame 0.
    const std::string server_body = ToDottedDecimal(EncodeWire(FrameBody("nl~8000", 1, 0)));
    EXPECT_EQ(server_body, "110.108.126.56.48.48.48.124.36.124.49.126.48");
    EXPECT_EQ(JabberDuelMessage("eve", "chat.example", FrameBody("nl~8000", 1, 0)),
              "<message id='zqm_1' to='eve.plimvale@chat.example'><body>^~" + server_body +
                  "~^</body></message>");

    // Seat 2 asking for player 1's pile: the tag carries both.
    EXPECT_EQ(FrameTag(2, 1), 21);
    EXPECT_EQ(DuelFrame(21, "x")[2], '\x15');
}

TEST(DuelFrame, TheServerMessageEscapesNamesForXml) {
    EXPECT_EQ(JabberDuelMessage("a'b<c>", "s&\"t", ""),
              "<message id='zqm_1' to='a&apos;b&lt;c&gt;.plimvale@s&amp;&quot;t'><body>^~~^</body></message>");
}

TEST(DuelFrame, MarkersAreRemovedUntilNoneIsLeft) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"ch~<Ann> a^~b~^c", "ch~<Ann> abc"},
        {"ch~<Ann> x~~^^y", "ch~<Ann> xy"},  // one pass would leave "~^"
        {"ch~<Ann> ^^~~", "ch~<Ann> "},
        {"ch~<Ann> ^~^", "ch~<Ann> ^"},
        {"ch~<Ann> ~~~", "ch~<Ann> ~~~"},
        {"us~1:2:3:4:5", "us~1:2:3:4:5"},
    };
    for (const auto& c : cases) {
        const std::string out = RemoveFrameMarkers(c.in);
        EXPECT_EQ(out, c.out) << c.in;
        EXPECT_EQ(out.find("^~"), std::string::npos);
        EXPECT_EQ(out.find("~^"), std::string::npos);
    }
}

TEST(DuelFrame, OnlyAWellFormedChatStampIsCut) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"ch~<Ann> (9:05:01 PM) hello", "ch~<Ann> hello"},
        {"ch~<Ann> (12:00:00 AM) hi (1:00:00 PM) there", "ch~<Ann> hi (1:00:00 PM) there"},
        {"ch~<Ann> (21:05:01) hello", "ch~<Ann> (21:05:01) hello"},  // a 24-hour stamp stays
        {"ch~<Ann> I am (back at 5 PM) soon", "ch~<Ann> I am (back at 5 PM) soon"},
        {"ch~<Ann> see you (9:05:01 PM) later", "ch~<Ann> see you (9:05:01 PM) later"},
        {"ch~<Ann> (9:05:01 PM)", "ch~<Ann> (9:05:01 PM)"},  // no blank after it: the user's text
        {"ch~<Ann> (13:05:01 PM) x", "ch~<Ann> (13:05:01 PM) x"},
        {"ch~<Ann>(9:05:01 PM) x", "ch~<Ann>(9:05:01 PM) x"},
        {"nl~7200", "nl~7200"},
    };
    for (const auto& c : cases) EXPECT_EQ(CutChatTimestamp(c.in), c.out) << c.in;
}

std::vector<std::string> Pieces(DuelFrameReader& r, int& garbled) {
    std::vector<std::string> out;
    while (auto p = r.next()) {
        if (p->kind == DuelFrameReader::Piece::Garbled) {
            ++garbled;
            out.push_back("<garbled>");
        } else {
            out.push_back(p->text);
        }
    }
    return out;
}

TEST(DuelFrameReader, CutsTheStreamAsTheFrameRulesSay) {
    struct Case {
        const char* name;
        std::string stream;
        std::vector<std::string> pieces;
        int garbled;
        std::size_t left;  // bytes still held
    } cases[] = {
        {"two frames in one piece", "^~\na|$|1~0~^^~\nb|$|2~1~^", {"^~\na|$|1~0~^", "^~\nb|$|2~1~^"}, 0, 0},
        {"half a frame waits", "^~\na|$|1", {}, 0, 8},
        {"junk before a frame goes with it, uncounted", "xyz^~\na|$|1~0~^", {"^~\na|$|1~0~^"}, 0, 0},
        {"junk ending in an end marker is counted", "abc~^", {"<garbled>"}, 1, 0},
        {"an end marker before the first start is dropped, and the next frame still comes",
         "ab~^cd^~\nx|$|1~0~^", {"", "^~\nx|$|1~0~^"}, 0, 0},
        {"junk-only pieces do not stop the frames behind them", "~^~^^~\nx|$|1~0~^", {"", "", "^~\nx|$|1~0~^"},
         0, 0},
        {"a piece with no start anywhere, then the rest waits", "q~^r", {"<garbled>"}, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DuelFrameReader r;
        r.append(c.stream);
        int garbled = 0;
        EXPECT_EQ(Pieces(r, garbled), c.pieces);
        EXPECT_EQ(garbled, c.garbled);
        EXPECT_EQ(r.pending(), c.left);
    }
}

// Where a piece ends depends only on the bytes; only whether a piece without a start counts
// as garbled may depend on what had arrived by then.
TEST(DuelFrameReader, HowTheStreamIsSplitChangesNoFrame) {
    auto frames = [](DuelFrameReader& r) {
        std::vector<std::string> out;
        while (auto p = r.next())
            if (p->kind == DuelFrameReader::Piece::Frame && !p->text.empty()) out.push_back(p->text);
        return out;
    };
    std::mt19937 gen(7);
    const char alphabet[] = {'^', '~', '\n', 'a', '|', '$', '1', '<', '>'};
    for (int round = 0; round < 200; ++round) {
        std::string stream;
        const int n = std::uniform_int_distribution<int>(0, 300)(gen);
        for (int i = 0; i < n; ++i) {
            if (std::uniform_int_distribution<int>(0, 9)(gen) == 0) {
                stream += "^~\nnl~" + std::to_string(i) + "|$|1~0~^";
            } else {
                stream += alphabet[std::uniform_int_distribution<int>(0, 8)(gen)];
            }
        }
        DuelFrameReader whole;
        whole.append(stream);
        const auto expected = frames(whole);

        DuelFrameReader split;
        std::vector<std::string> got;
        std::size_t at = 0;
        while (at < stream.size()) {
            const std::size_t len = std::uniform_int_distribution<std::size_t>(1, 7)(gen);
            split.append(std::string_view(stream).substr(at, len));
            at += len;
            for (auto& f : frames(split)) got.push_back(f);
        }
        ASSERT_EQ(got, expected) << stream;
        EXPECT_EQ(split.pending(), whole.pending());
    }
}

TEST(DuelFrameReader, HoldsBoundedBytesWithoutAnEndMarker) {
    DuelFrameReader r;
    const std::string chunk(4096, 'A');
    int garbled = 0;
    for (int i = 0; i < 256; ++i) {  // 1 MiB in pieces
        r.append(chunk);
        Pieces(r, garbled);
        ASSERT_LE(r.pending(), DuelFrameReader::kMaxUnended);
    }
    EXPECT_GE(garbled, 1);
    // The stream goes on working afterwards.
    r.append("^~\nnl~1|$|1~0~^");
    EXPECT_EQ(Pieces(r, garbled).back(), "^~\nnl~1|$|1~0~^");

    // A piece longer than the bound is dropped whole, even when its end came in the same write.
    DuelFrameReader big;
    big.append("^~\n" + std::string(DuelFrameReader::kMaxUnended + 10, 'B') + "~^^~\nok|$|1~0~^");
    int g = 0;
    EXPECT_EQ(Pieces(big, g), (std::vector<std::string>{"<garbled>", "^~\nok|$|1~0~^"}));
}

// The bound on what is held counts from a frame's start marker, never from whatever came before
// it, and every cut it makes falls where the bytes alone say: one write or many, the same frames
// come out and the same pieces are counted as garbled.
TEST(DuelFrameReader, TheBoundCountsFromTheStartMarkerHoweverTheStreamIsSplit) {
    constexpr std::size_t kMax = DuelFrameReader::kMaxUnended;
    const std::string frame = "^~\nnl~1|$|1~0~^";
    const std::string tail = "^~\ncp~2|$|2~1~^";
    struct Case {
        const char* name;
        std::string stream;
        std::vector<std::string> frames;
        int garbled;
    } cases[] = {
        {"70,000 bytes of junk before a frame", std::string(70000, 'j') + frame, {frame}, 1},
        {"junk of three times the bound", std::string(3 * kMax + 10, 'j') + frame, {frame}, 3},
        {"junk of just the bound", std::string(kMax, 'j') + frame, {frame}, 0},
        {"the longest frame that is kept", "^~" + std::string(kMax - 3, 'b') + "~^" + tail,
         {"^~" + std::string(kMax - 3, 'b') + "~^", tail}, 0},
        {"one byte longer", "^~" + std::string(kMax - 2, 'b') + "~^" + tail, {tail}, 1},
        {"a start with far more than the bound behind it", "^~\n" + std::string(100000, 'A') + frame, {frame}, 1},
        {"a long frame's end, then a frame", "^~" + std::string(kMax + 5, 'A') + "~^" + frame, {frame}, 1},
    };
    for (const auto& c : cases) {
        for (const std::size_t step : {std::size_t{0}, std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
            SCOPED_TRACE(std::string(c.name) + ", pieces of " + std::to_string(step));
            DuelFrameReader r;
            std::vector<std::string> frames;
            int garbled = 0;
            auto take = [&] {
                while (auto p = r.next()) {
                    if (p->kind == DuelFrameReader::Piece::Garbled) ++garbled;
                    else if (!p->text.empty()) frames.push_back(p->text);
                }
                ASSERT_LE(r.pending(), kMax);
            };
            const std::string_view all(c.stream);
            for (std::size_t at = 0; at < all.size(); at += step == 0 ? all.size() : step) {
                r.append(all.substr(at, step == 0 ? all.size() : step));
                take();
            }
            EXPECT_EQ(frames, c.frames);
            EXPECT_EQ(garbled, c.garbled);
            EXPECT_EQ(r.pending(), 0u);
        }
    }
}

TEST(DuelFrame, OpeningTakesTheNumberOffAndDecodes) {
    struct Case {
        const char* name;
        std::string piece;
        bool server;
        std::optional<std::string> text;
        std::optional<int> number;
    } cases[] = {
        {"plain", "^~\nnl~7200|$|15~14~^", false, "nl~7200|$|15", 14},
        {"quote entity", "^~\nch~<Ann> it&apos;s|$|3~2~^", false, "ch~<Ann> it's|$|3", 2},
        {"number x", "^~\nnl~1|$|1~x~^", false, "nl~1|$|1", std::nullopt},
        {"number -1", "^~\nnl~1|$|1~-1~^", false, "nl~1|$|1", std::nullopt},
        {"number 999", "^~\nnl~1|$|1~999~^", false, "nl~1|$|1", std::nullopt},
        {"number 255", "^~\nnl~1|$|1~255~^", false, "nl~1|$|1", 255},
        {"no tilde at all", "^~\nabc~^", false, "abc", std::nullopt},
        {"only the tag", "^~\n~^", false, std::nullopt, std::nullopt},
        {"empty", "", false, std::nullopt, std::nullopt},
        {"server body", "^~" + ToDottedDecimal("nl~8000|$|1~0") + "~^", true, "nl~8000|$|1", 0},
        {"server body with an entity", "^~" + ToDottedDecimal("ch~<A> a&apos;b|$|1~0") + "~^", true,
         "ch~<A> a'b|$|1", 0},
        {"server body not dotted", "^~hello~^", true, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto f = OpenFrame(c.piece, c.server);
        ASSERT_EQ(f.has_value(), c.text.has_value());
        if (!f) continue;
        EXPECT_EQ(f->text, *c.text);
        EXPECT_EQ(f->number, c.number);
    }
}

TEST(DuelFrame, AServerStreamYieldsOnlyTheFramesOfItsMessages) {
    const std::string message = JabberDuelMessage("bob", "chat.example", FrameBody("nl~8000", 1, 0));
    const std::string stream = "<presence from='ann.plimvale@chat.example/x'><status>^ready~</status></presence>" +
                               message + "<presence type='unavailable'/>";
    DuelFrameReader r;
    r.append(stream);
    std::vector<std::string> commands;
    while (auto p = r.next())
        if (p->kind == DuelFrameReader::Piece::Frame)
            if (auto f = OpenFrame(p->text, true)) commands.push_back(f->text);
    EXPECT_EQ(commands, std::vector<std::string>{"nl~8000|$|1"});
    // The XML behind the last frame is no frame and is let go as it comes: only its last byte,
    // which could begin a marker, is held. The next frame comes out alone.
    EXPECT_EQ(r.pending(), 1u);
    r.append(JabberDuelMessage("bob", "chat.example", FrameBody("cp~2", 2, 1)));
    auto next = r.next();
    ASSERT_TRUE(next.has_value());
    auto f = OpenFrame(next->text, true);
    ASSERT_TRUE(f.has_value());
    EXPECT_EQ(f->text, "cp~2|$|2");

    EXPECT_EQ(ExtractFrames("<a>^~1.2~^</a><b>x</b>^~3~^"), "^~1.2~^^~3~^");
}

}  // namespace
}  // namespace tw
