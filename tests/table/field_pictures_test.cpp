#include "table/field_pictures.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/picture.hpp"
#include "table/field.hpp"
#include "tests/table/field_fixture.hpp"

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::FieldFixture;
using test::Monster;
using test::SpellCard;
using test::TrapCard;

// Puts the record into a freshly opened slot, as the placement does before painting.
int Lay(Tablewright& tw, Card card) {
    const int s = OpenControl(tw, false, -1, false);
    card.Slot = s;
    tw.field.FieldCards[s] = card;
    return s;
}

std::string FrameOf(win::FormA& duel, int s) {
    const auto& pic = duel.cardstencil[s].picture();
    return pic ? pic->source.filename().string() : "";
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

// A GIF header declaring the given logical screen size, and nothing after it.
std::string GifHeader(const std::string& version, int w, int h) {
    std::string b = version;
    b += static_cast<char>(w & 0xFF);
    b += static_cast<char>(w >> 8);
    b += static_cast<char>(h & 0xFF);
    b += static_cast<char>(h >> 8);
    return b;
}

Card Plain(const std::string& name) {
    Card c;
    c.Name = name;
    c.SetCode = "BWX";
    return c;
}

TEST(DrawFieldCard, ChoosesTheFrameByKind) {
    auto with = [](Card c, auto change) {
        change(c);
        return c;
    };
    struct Case {
        const char* what;
        Card card;
        std::string frame;
    };
    const Case cases[] = {
        {"a monster", Monster("M"), "monster.gif"},
        {"an effect monster", with(Monster("M"), [](Card& c) { c.Group = "Dragon/Effect"; }), "monstereffect.gif"},
        {"a trap", TrapCard("T"), "trap.gif"},
        {"a spell", SpellCard("S"), "magic.gif"},
        {"a spell named Magic", with(SpellCard("S"), [](Card& c) { c.Attribute = "MAGIC"; }), "magic.gif"},
        {"an extra-deck card", with(Monster("M"), [](Card& c) { c.Fusion = true; }), "fusion.gif"},
        {"synchro wins over fusion",
         with(Monster("M"), [](Card& c) { c.Fusion = true; c.Group = "Dragon/Synchro/Effect"; }), "synchro.gif"},
        {"ritual wins over all kinds",
         with(Monster("M"), [](Card& c) { c.Fusion = true; c.Group = "Ritual/Synchro"; }), "ritual.gif"},
        {"face down", with(Monster("M"), [](Card& c) { c.Flipped = true; }), "back.gif"},
        {"the peer's hidden card", with(Plain("Face Down Card"), [](Card& c) { c.SetCode = "extras"; }), "back.gif"},
        {"a back by name", Plain("back"), "back.gif"},
        {"a token, even face down", with(Plain("Sheep"), [](Card& c) { c.SetCode = "Token"; c.Flipped = true; }),
         "token.gif"},
        {"a set code token in lower case is no token", with(Plain("Sheep"), [](Card& c) { c.SetCode = "token"; }),
         "default.gif"},
        {"no kind at all", Plain("Odd"), "default.gif"},
        {"sideways monster", with(Monster("M"), [](Card& c) { c.Horizontal = true; }), "hmonster.gif"},
        {"sideways face down", with(Monster("M"), [](Card& c) { c.Horizontal = true; c.Flipped = true; }),
         "hback.gif"},
        {"sideways token", with(Plain("Sheep"), [](Card& c) { c.SetCode = "Token"; c.Horizontal = true; }),
         "htoken.gif"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FieldFixture fx;
        auto& tw = fx.tw();
        const int s = Lay(tw, c.card);
        DrawFieldCard(tw, tw.field.FieldCards[s]);
        EXPECT_EQ(FrameOf(fx.duel(), s), c.frame);
        EXPECT_TRUE(fx.duel().cardstencil[s].display_list().empty()) << "no art in the sample set BWX by these names";

        const auto& stencil = fx.duel().cardstencil[s];
        const auto& border = fx.duel().Shape1[s];
        if (c.card.Horizontal) {
            EXPECT_EQ(stencil.width(), 1215);
            EXPECT_EQ(stencil.height(), 855);
            EXPECT_EQ(border.width(), 1215);
            EXPECT_EQ(border.height(), 850);
        } else {
            EXPECT_EQ(stencil.width(), 855);
            EXPECT_EQ(stencil.height(), 1215);
            EXPECT_EQ(border.width(), 850);
            EXPECT_EQ(border.height(), 1215);
        }
    }
}

TEST(DrawFieldCard, FallsBackToTheDefaultFrame) {
    FieldFixture fx;
    auto& tw = fx.tw();
    auto& duel = fx.duel();

    fs::remove(fx.images() / "trap.gif");
    const int missing = Lay(tw, TrapCard("T"));
    DrawFieldCard(tw, tw.field.FieldCards[missing]);
    EXPECT_EQ(FrameOf(duel, missing), "default.gif");

    WriteBytes(fx.images() / "magic.gif", "GIF89a this is no picture");
    const int broken = Lay(tw, SpellCard("S"));
    EXPECT_NO_THROW(DrawFieldCard(tw, tw.field.FieldCards[broken]));
    EXPECT_EQ(FrameOf(duel, broken), "default.gif");

    // Without a default either, the slot keeps what it showed.
    fs::remove(fx.images() / "default.gif");
    tw.field.FieldCards[broken].PictureDrawn = false;
    EXPECT_NO_THROW(DrawFieldCard(tw, tw.field.FieldCards[broken]));
    EXPECT_EQ(FrameOf(duel, broken), "default.gif");
}

TEST(DrawFieldCard, PaintsTheArtOfAnUprightCard) {
    FieldFixture fx;
    auto& tw = fx.tw();
    auto& duel = fx.duel();
    const int s = Lay(tw, Monster("Jarrow Drake"));
    fx.copy_art("bwx", "jarrowdrake.gif", "bwx", "jarrowdrake.gif");

    DrawFieldCard(tw, tw.field.FieldCards[s]);
    EXPECT_EQ(FrameOf(duel, s), "monster.gif");
    const auto& ops = duel.cardstencil[s].display_list();
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_EQ(ops[0].picture->source.filename(), "jarrowdrake.gif");
    EXPECT_EQ(ops[0].x, 125);
    EXPECT_EQ(ops[0].y, 277);
    EXPECT_EQ(ops[0].width, 600);
    EXPECT_EQ(ops[0].height, 660);
    EXPECT_FALSE(ops[0].source.has_value());
    EXPECT_TRUE(tw.field.FieldCards[s].PictureDrawn);
    EXPECT_EQ(tw.field.SelectedSlot, s);

    // A painted card is left alone until its mark is cleared; a repaint starts from the frame.
    const auto picture = duel.cardstencil[s].picture();
    tw.field.SelectedSlot = -1;
    DrawFieldCard(tw, tw.field.FieldCards[s]);
    EXPECT_EQ(duel.cardstencil[s].picture(), picture);
    EXPECT_EQ(tw.field.SelectedSlot, -1);
    tw.field.FieldCards[s].PictureDrawn = false;
    DrawFieldCard(tw, tw.field.FieldCards[s]);
    EXPECT_EQ(duel.cardstencil[s].display_list().size(), 1u);
}

TEST(DrawFieldCard, UsesOnlyFortyByFortyGifArt) {
    struct Case {
        const char* what;
        Card card;
        std::string art;  // bytes of images/bwx/jarrowdrake.gif; "" copies the sample art
        bool painted_op, marked;
    };
    Card token = Plain("Jarrow Drake");
    token.SetCode = "Token";
    Card face_down = Monster("Jarrow Drake");
    face_down.Flipped = true;
    const Case cases[] = {
        {"the sample art", Monster("Jarrow Drake"), "", true, true},
        {"41 x 40 is no art", Monster("Jarrow Drake"), GifHeader("GIF89a", 41, 40), false, false},
        {"not a GIF", Monster("Jarrow Drake"), "\x89PNG\r\n\x1a\n\0\0\0\0", false, false},
        {"a 40 x 40 header that does not decode", Monster("Jarrow Drake"), GifHeader("GIF87a", 40, 40), false,
         false},
        {"face down: no art, yet complete", face_down, "", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FieldFixture fx;
        auto& tw = fx.tw();
        if (c.art.empty())
            fx.copy_art("bwx", "jarrowdrake.gif", "bwx", "jarrowdrake.gif");
        else
            WriteBytes(fx.images() / "bwx" / "jarrowdrake.gif", c.art);
        const int s = Lay(tw, c.card);
        EXPECT_NO_THROW(DrawFieldCard(tw, tw.field.FieldCards[s]));
        EXPECT_EQ(fx.duel().cardstencil[s].display_list().size(), c.painted_op ? 1u : 0u);
        EXPECT_EQ(tw.field.FieldCards[s].PictureDrawn, c.marked);
        EXPECT_EQ(tw.field.SelectedSlot, c.marked ? s : -1);
        EXPECT_FALSE(FrameOf(fx.duel(), s).empty());
    }

    // A token has no art window: the frame alone, yet the painting is complete.
    FieldFixture fx;
    auto& tw = fx.tw();
    fx.copy_art("bwx", "jarrowdrake.gif", "token", "jarrowdrake.gif");
    const int s = Lay(tw, token);
    DrawFieldCard(tw, tw.field.FieldCards[s]);
    EXPECT_EQ(FrameOf(fx.duel(), s), "token.gif");
    EXPECT_TRUE(fx.duel().cardstencil[s].display_list().empty());
    EXPECT_TRUE(tw.field.FieldCards[s].PictureDrawn);
}

TEST(CardArtPath, StaysInsideTheImagesFolder) {
    FieldFixture fx;
    auto& tw = fx.tw();
    // Valid art in the places a crafted name could reach.
    fx.copy_art("bwx", "jarrowdrake.gif", "", "jarrowdrake.gif");
    fx.copy_art("bwx", "jarrowdrake.gif", "bwx", "jarrowdrake.gif");
    fs::copy_file(test::SampleImages() / "bwx" / "jarrowdrake.gif", fx.dir.path() / "secret.gif");

    const auto found = CardArtPath(tw, "BWX", "Jarrow Drake");
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, fx.images() / "bwx" / "jarrowdrake.gif");

    struct Case {
        std::string set, name;
    };
    const Case bad[] = {
        {"bwx", "../Jarrow Drake"}, {"..", "secret"},       {"bwx/..", "Jarrow Drake"}, {"bwx", "..\\..\\secret"},
        {"", "Jarrow Drake"},      {".", "Jarrow Drake"},   {"bwx", "Jarrow..Drake"},   {"bwx", "a\nb"},
        {"/tmp", "secret"},
    };
    for (const auto& c : bad) {
        SCOPED_TRACE(c.set + " | " + c.name);
        EXPECT_FALSE(CardArtPath(tw, c.set, c.name));
        Card card = Monster(c.name, c.set);
        const int s = Lay(tw, card);
        DrawFieldCard(tw, tw.field.FieldCards[s]);
        EXPECT_EQ(FrameOf(fx.duel(), s), "monster.gif");
        EXPECT_TRUE(fx.duel().cardstencil[s].display_list().empty());
        RemoveFieldCard(tw, static_cast<std::int16_t>(s));
    }
}

// The turn happens in memory in one go: nothing else runs while copybox holds half a turn.
TEST(DrawFieldCard, TurnsTheArtOfASidewaysCard) {
    FieldFixture fx;
    auto& tw = fx.tw();
    auto& duel = fx.duel();
    fx.copy_art("bwx", "jarrowdrake.gif", "bwx", "jarrowdrake.gif");
    const auto art = platform::load_picture(fx.images() / "bwx" / "jarrowdrake.gif");
    ASSERT_EQ(art->width, 40);
    ASSERT_EQ(art->height, 40);

    Card card = Monster("Jarrow Drake");
    card.Horizontal = true;
    const int s = Lay(tw, card);
    bool other_event_ran = false;
    fx.reactor.post([&] { other_event_ran = true; });
    DrawFieldCard(tw, tw.field.FieldCards[s]);
    EXPECT_FALSE(other_event_ran);

    EXPECT_EQ(FrameOf(duel, s), "hmonster.gif");
    const auto& scratch = duel.copybox.picture();
    ASSERT_TRUE(scratch);
    ASSERT_GE(scratch->width, 91);
    ASSERT_GE(scratch->height, 41);
    auto at = [&](int x, int y) { return scratch->pixels[static_cast<std::size_t>(y * scratch->width + x)]; };
    int mismatches = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const auto colour = art->pixels[static_cast<std::size_t>(y * 40 + x)];
            mismatches += at(x, y) != colour;        // the art block
            mismatches += at(90 - y, x) != colour;   // its turned copy
        }
    EXPECT_EQ(mismatches, 0);

    const auto& ops = duel.cardstencil[s].display_list();
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_EQ(ops[0].picture, scratch);
    ASSERT_TRUE(ops[0].source.has_value());
    EXPECT_EQ(*ops[0].source, (platform::PaintOp::Rect{800, 0, 620, 620}));
    EXPECT_EQ(ops[0].x, 280);
    EXPECT_EQ(ops[0].y, 100);
    EXPECT_EQ(ops[0].width, 680);
    EXPECT_EQ(ops[0].height, 630);
    EXPECT_EQ(duel.cardstencil[s].width(), 1215);
    EXPECT_EQ(duel.cardstencil[s].height(), 855);
    EXPECT_TRUE(tw.field.FieldCards[s].PictureDrawn);

    fx.reactor.pump(0);
    EXPECT_TRUE(other_event_ran);
}

TEST(DrawFieldCard, IgnoresARecordWithoutAName) {
    FieldFixture fx;
    auto& tw = fx.tw();
    const int s = Lay(tw, Plain(""));
    tw.field.SelectedSlot = 3;
    DrawFieldCard(tw, tw.field.FieldCards[s]);
    EXPECT_FALSE(fx.duel().cardstencil[s].picture());
    EXPECT_FALSE(tw.field.FieldCards[s].PictureDrawn);
    EXPECT_EQ(tw.field.SelectedSlot, 3);
}

TEST(IsIconGif, ReadsTheDeclaredSize) {
    struct Case {
        const char* what;
        std::string bytes;
        bool icon;
    };
    const Case cases[] = {
        {"GIF89a 40 x 40", GifHeader("GIF89a", 40, 40), true},
        {"GIF87a 40 x 40", GifHeader("GIF87a", 40, 40), true},
        {"41 x 40", GifHeader("GIF89a", 41, 40), false},
        {"40 x 296: the high byte counts", GifHeader("GIF89a", 40, 40 + 256), false},
        {"no GIF signature", GifHeader("GIF7xa", 40, 40), false},
        {"cut short", "GIF8", false},
        {"empty", "", false},
    };
    FieldFixture fx;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path file = fx.dir.path() / "probe.gif";
        WriteBytes(file, c.bytes);
        EXPECT_EQ(IsIconGif(file), c.icon);
    }
    EXPECT_FALSE(IsIconGif(fx.dir.path() / "none.gif"));
    EXPECT_FALSE(IsIconGif(fx.images()));
}

TEST(RemoveFieldCard, UnloadsTheSlotAndLeavesTheTablesToTheCaller) {
    FieldFixture fx;
    auto& tw = fx.tw();
    auto& duel = fx.duel();
    tw.net.PlayerNumber = 1;
    Card card = Monster("Jarrow Drake");
    std::int32_t owner = 0;
    const auto s = PutCardOnField(tw, card, owner);
    ASSERT_EQ(s, 1);
    tw.net.SentCommands.clear();

    RemoveFieldCard(tw, s);
    EXPECT_FALSE(duel.cardstencil.exists(1));
    EXPECT_FALSE(duel.Label4.exists(1));
    EXPECT_FALSE(duel.Label5.exists(1));
    EXPECT_FALSE(duel.Shape1.exists(1));
    EXPECT_EQ(tw.field.FieldCards[1].Name, "Jarrow Drake");
    EXPECT_EQ(tw.field.FieldGrid(2, 1), 1);
    EXPECT_EQ(fx.sent(), std::vector<std::string>{"us~0:0:0:0:0"});

    // The template and numbers beyond the arrays are passed over; the counts still go out.
    tw.net.SentCommands.clear();
    RemoveFieldCard(tw, 0);
    RemoveFieldCard(tw, 1);
    RemoveFieldCard(tw, 120);
    EXPECT_TRUE(duel.cardstencil.exists(0));
    EXPECT_TRUE(duel.Shape1.exists(0));
    EXPECT_EQ(fx.sent().size(), 3u);
    EXPECT_EQ(OpenControl(tw, true, -1, false), 1);
}

}  // namespace
}  // namespace tw
