#include "platform/picture.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/rt_error.hpp"
#include "tests/support/temp_dir.hpp"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace {

using platform::Picture;
using tw::test::TempDir;

// Two frames, 3 x 2: the first is red green blue / white black yellow, the second all blue.
const unsigned char kTwoFrameGif[] = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x03, 0x00, 0x02, 0x00, 0xf2, 0x05, 0x00, 0x00, 0x00,
    0x00, 0xff, 0x00, 0x00, 0x00, 0xff, 0x00, 0xff, 0xff, 0x00, 0x00, 0x00, 0xff, 0xff, 0xff,
    0xff, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x0a, 0x00, 0x00, 0x00,
    0x21, 0xff, 0x0b, 0x4e, 0x45, 0x54, 0x53, 0x43, 0x41, 0x50, 0x45, 0x32, 0x2e, 0x30, 0x03,
    0x01, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x02, 0x00, 0x00, 0x03,
    0x04, 0x18, 0x42, 0x05, 0x93, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x0a, 0x00, 0x00, 0x00, 0x2c,
    0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x02, 0x00, 0x00, 0x03, 0x03, 0x48, 0xba, 0x09, 0x00,
    0x3b};

const std::vector<std::uint32_t> kGifFirstFrame = {
    0xFFFF0000, 0xFF00FF00, 0xFF0000FF,  //
    0xFFFFFFFF, 0xFF000000, 0xFFFFFF00,
};

std::string as_bytes(const unsigned char* p, std::size_t n) {
    return std::string(reinterpret_cast<const char*>(p), n);
}

void append_to_string(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                               static_cast<std::size_t>(size));
}

// RGBA bytes of a picture whose every pixel differs from its neighbours, so any mix-up of rows,
// columns or channels shows.
std::vector<unsigned char> pattern_rgba(int w, int h) {
    std::vector<unsigned char> rgba;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            rgba.push_back(static_cast<unsigned char>(40 * x + 1));
            rgba.push_back(static_cast<unsigned char>(60 * y + 2));
            rgba.push_back(static_cast<unsigned char>(7 * x + 11 * y + 3));
            rgba.push_back(255);
        }
    return rgba;
}

std::uint32_t argb(const unsigned char* p) {
    return (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) |
           std::uint32_t{p[2]};
}

int load_error(const std::filesystem::path& file) {
    try {
        platform::load_picture(file);
    } catch (const rt::RuntimeError& e) {
        return e.number;
    }
    return 0;
}

TEST(LoadPicture, GifGivesItsFirstFrame) {
    TempDir dir;
    auto file = dir.write("anim.gif", as_bytes(kTwoFrameGif, sizeof kTwoFrameGif));
    auto pic = platform::load_picture(file);
    ASSERT_TRUE(pic);
    EXPECT_EQ(pic->width, 3);
    EXPECT_EQ(pic->height, 2);
    EXPECT_EQ(pic->pixels, kGifFirstFrame);
    EXPECT_EQ(pic->source, file);
}

TEST(LoadPicture, LosslessFormatsKeepEveryPixel) {
    struct Case {
        const char* name;
        std::function<int(std::string*, int, int, const unsigned char*)> write;
    };
    const Case cases[] = {
        {"a.png",
         [](std::string* out, int w, int h, const unsigned char* d) {
             return stbi_write_png_to_func(append_to_string, out, w, h, 4, d, w * 4);
         }},
        {"a.bmp",
         [](std::string* out, int w, int h, const unsigned char* d) {
             return stbi_write_bmp_to_func(append_to_string, out, w, h, 4, d);
         }},
    };
    const int w = 5, h = 3;
    const auto rgba = pattern_rgba(w, h);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        std::string bytes;
        ASSERT_TRUE(c.write(&bytes, w, h, rgba.data()));
        auto pic = platform::load_picture(dir.write(c.name, bytes));
        ASSERT_EQ(pic->width, w);
        ASSERT_EQ(pic->height, h);
        ASSERT_EQ(pic->pixels.size(), std::size_t{w * h});
        for (int i = 0; i < w * h; ++i) EXPECT_EQ(pic->pixels[i], argb(&rgba[i * 4])) << "pixel " << i;
    }
}

TEST(LoadPicture, JpegDecodesToCloseColours) {
    // Left half red, right half blue, in 8 x 8 blocks so compression keeps the colours close.
    const int w = 32, h = 16;
    std::vector<unsigned char> rgb;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bool left = x < w / 2;
            rgb.insert(rgb.end(), {static_cast<unsigned char>(left ? 220 : 10), 10,
                                   static_cast<unsigned char>(left ? 10 : 220)});
        }
    std::string bytes;
    ASSERT_TRUE(stbi_write_jpg_to_func(append_to_string, &bytes, w, h, 3, rgb.data(), 95));
    TempDir dir;
    auto pic = platform::load_picture(dir.write("art.jpg", bytes));
    ASSERT_EQ(pic->width, w);
    ASSERT_EQ(pic->height, h);
    auto near = [](std::uint32_t px, int r, int g, int b) {
        auto ch = [px](int shift) { return static_cast<int>((px >> shift) & 0xFF); };
        return ch(24) == 255 && std::abs(ch(16) - r) < 12 && std::abs(ch(8) - g) < 12 &&
               std::abs(ch(0) - b) < 12;
    };
    EXPECT_TRUE(near(pic->pixels[4 * w + 4], 220, 10, 10));
    EXPECT_TRUE(near(pic->pixels[12 * w + 27], 10, 10, 220));
}

TEST(LoadPicture, FilesThatAreNoPictureRaiseInvalidPicture) {
    std::string png;
    const auto rgba = pattern_rgba(4, 4);
    ASSERT_TRUE(stbi_write_png_to_func(append_to_string, &png, 4, 4, 4, rgba.data(), 16));
    std::string tga;
    ASSERT_TRUE(stbi_write_tga_to_func(append_to_string, &tga, 4, 4, 4, rgba.data()));
    // A BMP whose header claims 20000 x 20000 pixels: refused, not gigabytes allocated.
    std::string bmp;
    ASSERT_TRUE(stbi_write_bmp_to_func(append_to_string, &bmp, 1, 1, 4, rgba.data()));
    for (int off : {18, 22}) {
        const std::uint32_t big = 20000;
        for (int i = 0; i < 4; ++i) bmp[off + i] = static_cast<char>((big >> (8 * i)) & 0xFF);
    }

    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"notes.gif", "this is a text file, not a picture\r\n"},
        {"empty.png", ""},
        {"cut.png", png.substr(0, png.size() / 2)},
        {"header-only.gif", as_bytes(kTwoFrameGif, 13)},
        {"other-format.bmp", tga},  // a format the picture box does not take
        {"huge.bmp", bmp},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        EXPECT_EQ(load_error(dir.write(c.name, c.bytes)), rt::ErrInvalidPicture);
    }
}

TEST(LoadPicture, MissingFileOrFolderRaisesFileNotFound) {
    TempDir dir;
    std::filesystem::create_directories(dir / "images");
    EXPECT_EQ(load_error(dir / "nothing.gif"), rt::ErrFileNotFound);
    EXPECT_EQ(load_error(dir / "images"), rt::ErrFileNotFound);
    EXPECT_EQ(load_error(dir / "images" / "nothing.jpg"), rt::ErrFileNotFound);
}

TEST(RotateQuarterCw, TurnsA41By41PicturePixelByPixel) {
    Picture p;
    p.width = p.height = 41;
    for (int y = 0; y < 41; ++y)
        for (int x = 0; x < 41; ++x)
            p.pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(x << 8 | y));

    const Picture r = platform::rotate_quarter_cw(p);
    ASSERT_EQ(r.width, 41);
    ASSERT_EQ(r.height, 41);
    ASSERT_EQ(r.pixels.size(), p.pixels.size());
    for (int y = 0; y < 41; ++y)
        for (int x = 0; x < 41; ++x)
            ASSERT_EQ(r.pixels[x * 41 + (40 - y)], p.pixels[y * 41 + x]) << x << "," << y;

    Picture back = r;
    for (int i = 0; i < 3; ++i) back = platform::rotate_quarter_cw(back);
    EXPECT_EQ(back.pixels, p.pixels);
}

TEST(RotateQuarterCw, SwapsWidthAndHeightOfAnOblongPicture) {
    Picture p{3, 2, kGifFirstFrame, {}};
    const Picture r = platform::rotate_quarter_cw(p);
    EXPECT_EQ(r.width, 2);
    EXPECT_EQ(r.height, 3);
    // Clockwise: the bottom row becomes the left column.
    const std::vector<std::uint32_t> expected = {
        0xFFFFFFFF, 0xFFFF0000,  //
        0xFF000000, 0xFF00FF00,  //
        0xFFFFFF00, 0xFF0000FF,
    };
    EXPECT_EQ(r.pixels, expected);
}

TEST(RotateQuarterCw, RefusesAPictureWhosePixelsDoNotMatchItsSize) {
    Picture p{4, 4, std::vector<std::uint32_t>(10), {}};
    EXPECT_THROW(platform::rotate_quarter_cw(p), rt::RuntimeError);
}

}  // namespace

namespace {

// The sample pictures shipped beside the programs, in the sizes the field and the panels paint.
TEST(ShippedPictures, DecodeInTheSizesThePanelsPaint) {
    const auto data = std::filesystem::path(TW_SOURCE_DIR) / "data";
    if (!std::filesystem::is_directory(data / "images")) GTEST_SKIP() << "no data folder";
    for (const char* frame : {"monster", "monstereffect", "trap", "magic", "fusion", "synchro",
                              "ritual", "back", "token"}) {
        SCOPED_TRACE(frame);
        auto up = platform::load_picture(data / "images" / (std::string(frame) + ".gif"));
        EXPECT_EQ(std::pair(up->width, up->height), std::pair(57, 81));
        auto side = platform::load_picture(data / "images" / ("h" + std::string(frame) + ".gif"));
        EXPECT_EQ(std::pair(side->width, side->height), std::pair(81, 57));
    }
    auto fallback = platform::load_picture(data / "images" / "default.gif");
    EXPECT_EQ(std::pair(fallback->width, fallback->height), std::pair(57, 81));
    for (const char* button : {"listen normal.jpg", "cancel normal.jpg", "advanced search normal.jpg",
                               "advanced search ON.jpg", "red.jpg", "yellow.jpg", "green.jpg"}) {
        SCOPED_TRACE(button);
        EXPECT_GT(platform::load_picture(data / "Buttons" / button)->width, 0);
    }
    // Card art is used only as a 40 x 40 picture.
    for (const auto& set : std::filesystem::directory_iterator(data / "images")) {
        if (!set.is_directory()) continue;
        for (const auto& art : std::filesystem::directory_iterator(set.path())) {
            SCOPED_TRACE(art.path().string());
            auto pic = platform::load_picture(art.path());
            EXPECT_EQ(std::pair(pic->width, pic->height), std::pair(40, 40));
        }
    }
}

}  // namespace
