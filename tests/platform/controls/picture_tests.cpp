#include <gtest/gtest.h>

#include <memory>

#include "platform/controls.hpp"
#include "platform/rt_error.hpp"
#include "tests/support/temp_dir.hpp"
#include "surface.hpp"

namespace platform {
namespace {

using test::Surface;

PicturePtr art(int w, int h) {
    auto p = std::make_shared<Picture>();
    p->width = w;
    p->height = h;
    p->pixels.assign(static_cast<size_t>(w * h), 0xFF000000u);
    return p;
}

TEST(PictureBox, PaintsAppendToTheDisplayListAndClsKeepsThePicture) {
    Surface s;
    PictureBox card(&s, "cardstencil");
    auto back = art(57, 81), face = art(40, 44), copy = art(90, 90);
    card.set_picture(back);
    card.paint_picture(face, 125, 277, 600, 660);
    card.paint_picture(copy, 280, 100, 680, 630, 800, 0, 620, 620);
    card.paint_picture_turned(face, 0, 0, 660, 600);
    const auto& list = card.display_list();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].picture, face);
    EXPECT_EQ(list[0].x, 125);
    EXPECT_EQ(list[0].height, 660);
    EXPECT_FALSE(list[0].source.has_value());
    EXPECT_FALSE(list[0].quarter_turn_cw);
    EXPECT_EQ(list[1].source, (PaintOp::Rect{800, 0, 620, 620}));
    EXPECT_TRUE(list[2].quarter_turn_cw);

    card.cls();
    EXPECT_TRUE(card.display_list().empty());
    EXPECT_EQ(card.picture(), back);
    card.set_picture(nullptr);
    EXPECT_EQ(card.picture(), nullptr);
}

TEST(PictureBox, PaintingNoPictureIsAnError) {
    Surface s;
    PictureBox p(&s, "copybox");
    try {
        p.paint_picture(nullptr, 0, 0, 10, 10);
        ADD_FAILURE();
    } catch (const rt::RuntimeError& e) {
        EXPECT_EQ(e.number, rt::ErrObjectVariable);
    }
    EXPECT_TRUE(p.display_list().empty());
}

TEST(PictureBox, HoldsControlsAndTakesDrops) {
    Surface s;
    PictureBox play(&s, "playsurface");
    Label on_it(&play, "Label4");
    EXPECT_EQ(on_it.parent(), &play);
    double dropped_x = -1;
    play.OLEDragDrop = [&](DataObject&, int&, int, int shift, double x, double) {
        dropped_x = x + shift;
    };
    EXPECT_TRUE(play.OLEDragDrop);
    std::vector<std::string> log;
    play.MouseDown = [&](int b, int, double, double) { log.push_back("down" + std::to_string(b)); };
    play.MouseUp = [&](int, int, double, double) { log.push_back("up"); };
    play.user_click(100, 200);
    play.user_mouse_down(2, 0, 5, 5);
    EXPECT_EQ(log, (std::vector<std::string>{"down1", "up", "down2"}));
}

TEST(Image, ClickOrder) {
    Surface s;
    Image img(&s, "Image6");
    std::vector<std::string> log;
    img.MouseDown = [&](int, int, double, double) { log.push_back("down"); };
    img.Click = [&] { log.push_back("click"); };
    img.MouseUp = [&](int, int, double, double) { log.push_back("up"); };
    img.user_click();
    EXPECT_EQ(log, (std::vector<std::string>{"down", "click", "up"}));
}

TEST(PictureLoading, AFailedLoadKeepsTheOldPicture) {
    tw::test::TempDir dir;
    auto junk = dir.write("Buttons/junk.jpg", "not a picture at all");
    Surface s;
    PictureBox box(&s, "Image1");
    Image img(&s, "Image2");
    auto old = art(2, 2);
    box.set_picture(old);
    img.set_picture(old);
    struct Case { std::filesystem::path file; int error; } cases[] = {
        {dir / "missing.jpg", rt::ErrFileNotFound},
        {junk, rt::ErrInvalidPicture},
    };
    for (const auto& c : cases) {
        for (auto load : {std::function<void()>([&] { box.load_picture(c.file); }),
                          std::function<void()>([&] { img.load_picture(c.file); })}) {
            try {
                load();
                ADD_FAILURE() << c.file;
            } catch (const rt::RuntimeError& e) {
                EXPECT_EQ(e.number, c.error) << c.file;
            }
        }
    }
    EXPECT_EQ(box.picture(), old);
    EXPECT_EQ(img.picture(), old);
}

}  // namespace
}  // namespace platform
