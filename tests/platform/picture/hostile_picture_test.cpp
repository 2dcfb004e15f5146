// Pictures from outside: hostile files, sizes that lie, formats named wrongly, and the layouts of
// our own BMP reader. The files are the picture fuzz target's seeds.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/picture.hpp"
#include "platform/rt_error.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/tiny_bmp.hpp"

namespace {

using tw::test::TempDir;
namespace fs = std::filesystem;

const fs::path kSeeds = fs::path(TW_SOURCE_DIR) / "fuzz" / "corpus" / "pictures";

std::string seed(const char* name) { return TempDir::read(kSeeds / name); }

int decode_error(const std::string& bytes, std::size_t max_pixels = platform::kScreenPicturePixels) {
    try {
        platform::decode_picture(bytes, max_pixels);
    } catch (const rt::RuntimeError& e) {
        return e.number;
    }
    return 0;
}

TEST(HostilePictures, AreRefusedAsNoPicture) {
    for (const char* name : {
             "huffman_counts_over_256.jpg",      // code counts that overrun a Huffman table
             "progressive_undefined_table.jpg",  // a scan that uses a table never defined
             "empty_idat.png",                   // image data of no bytes at all
             "lying_size.gif",                   // 35 bytes that claim 16384 x 16384
             "lying_size.bmp",                   // 58 bytes that claim the same
             "lying_size.png",
         }) {
        SCOPED_TRACE(name);
        const std::string bytes = seed(name);
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(decode_error(bytes), rt::ErrInvalidPicture);
        TempDir dir;
        EXPECT_THROW(platform::load_picture(dir.write(name, bytes)), rt::RuntimeError);
    }
}

TEST(HostilePictures, TheFormatIsToldByTheBytesNotTheName) {
    TempDir dir;
    const auto jpeg_as_gif = platform::load_picture(dir.write("art.gif", seed("baseline.jpg")));
    EXPECT_EQ(std::pair(jpeg_as_gif->width, jpeg_as_gif->height), std::pair(12, 9));
    const auto png_as_bmp = platform::load_picture(dir.write("frame.bmp", seed("rgba.png")));
    EXPECT_EQ(std::pair(png_as_bmp->width, png_as_bmp->height), std::pair(5, 3));
    // Text that merely begins like a picture is still no picture.
    EXPECT_EQ(decode_error("BM and then some text"), rt::ErrInvalidPicture);
    EXPECT_EQ(decode_error("GIF89a"), rt::ErrInvalidPicture);
}

TEST(HostilePictures, APictureOverThePixelsOfItsUseIsRefused) {
    for (const char* name : {"frame.gif", "baseline.jpg", "progressive.jpg", "rgba.png", "mono.bmp"}) {
        SCOPED_TRACE(name);
        const std::string bytes = seed(name);
        const auto pic = platform::decode_picture(bytes);
        const auto pixels = static_cast<std::size_t>(pic->width) * static_cast<std::size_t>(pic->height);
        EXPECT_EQ(decode_error(bytes, pixels), 0);
        EXPECT_EQ(decode_error(bytes, pixels - 1), rt::ErrInvalidPicture);
    }
}

TEST(HostilePictures, CardPicturesHaveASmallerBudgetThanScreenPictures) {
    const std::string big = tw::test::MonoBmp(2049, 2048);  // just over the card budget
    EXPECT_EQ(decode_error(big, platform::kCardPicturePixels), rt::ErrInvalidPicture);
    const auto wallpaper = platform::decode_picture(big);
    EXPECT_EQ(wallpaper->width, 2049);
    EXPECT_EQ(wallpaper->pixels.back(), 0xFFFFFFFFu);
}

TEST(OwnBmpReader, DecodesEveryUncompressedLayout) {
    const std::uint32_t K = 0xFF000000, W = 0xFFFFFFFF;
    auto nib = [](std::uint32_t i) { return 0xFF000000u | (i * 8) << 16 | (255 - i * 16) << 8 | (i * 16); };
    auto pal = [](std::uint32_t i) { return 0xFF000000u | (255 - i) << 16 | i << 8 | i; };
    const struct {
        const char* name;
        int w, h;
        std::vector<std::uint32_t> pixels;
    } cases[] = {
        {"mono.bmp", 3, 2, {K, W, K, W, K, W}},
        {"nibbles.bmp", 3, 2, {nib(15), nib(14), nib(13), nib(1), nib(2), nib(3)}},
        // An index past the colours the file lists is black.
        {"bytes_3colours.bmp", 2, 2, {pal(2), K, pal(0), pal(1)}},
        {"rgb555.bmp", 2, 1, {0xFFFF0000, 0xFF00FFFF}},
        {"topdown24.bmp", 1, 2, {0xFF030201, 0xFF060504}},
        {"argb_bitfields.bmp", 2, 1, {0x80030201, 0xFF060504}},
        {"core_header.bmp", 2, 1, {0xFF070809, 0xFF040506}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto pic = platform::decode_picture(seed(c.name));
        EXPECT_EQ(std::pair(pic->width, pic->height), std::pair(c.w, c.h));
        EXPECT_EQ(pic->pixels, c.pixels);
    }
}

TEST(OwnBmpReader, RefusesFilesThatEndBeforeTheirPixelsOrLieInTheirHeader) {
    const std::string good = seed("topdown24.bmp");
    auto patched = [&](std::size_t at, std::uint32_t v) {
        std::string b = good;
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
        return b;
    };
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"cut in its last row", good.substr(0, good.size() - 1)},
        {"pixels said to start past the end", patched(10, 0xFFFFFFF0)},
        {"a header longer than the file", patched(14, 0x7FFFFFFF)},
        {"no width", patched(18, 0)},
        {"the most negative height", patched(22, 0x80000000)},
        {"run-length compression", patched(30, 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(decode_error(c.bytes), rt::ErrInvalidPicture);
    }
}

TEST(GifFirstFrame, IsPlacedOnItsScreenDeinterlacedWithItsTransparency) {
    // A 6 x 11 screen; a 4 x 9 interlaced frame at (1, 1) whose pixel (x, y) has colour index
    // (x + y) % 4: black, red, green, and 3 transparent.
    const auto pic = platform::decode_picture(seed("interlaced_offset.gif"));
    ASSERT_EQ(std::pair(pic->width, pic->height), std::pair(6, 11));
    const std::uint32_t colour[] = {0xFF000000, 0xFFFF0000, 0xFF00FF00, 0};
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 1 && x < 5 && y >= 1 && y < 10;
            const std::uint32_t want = inside ? colour[((x - 1) + (y - 1)) % 4] : 0;
            EXPECT_EQ(pic->pixels[static_cast<std::size_t>(y * 6 + x)], want) << x << "," << y;
        }
}

TEST(JpegColourSpaces, GreyAndCmykComeOutAsOpaqueColours) {
    for (const char* name : {"grey.jpg", "cmyk.jpg", "progressive.jpg"}) {
        SCOPED_TRACE(name);
        const auto pic = platform::decode_picture(seed(name));
        ASSERT_GT(pic->pixels.size(), 0u);
        for (const auto px : pic->pixels) ASSERT_EQ(px >> 24, 0xFFu);
    }
    const auto grey = platform::decode_picture(seed("grey.jpg"));
    for (const auto px : grey->pixels) {
        ASSERT_EQ((px >> 16) & 0xFF, (px >> 8) & 0xFF);
        ASSERT_EQ((px >> 8) & 0xFF, px & 0xFF);
    }
}

}  // namespace
