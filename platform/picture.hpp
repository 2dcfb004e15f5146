#pragma once
// Decoded pictures: what LoadPicture gives a picture box, and the operations the programs paint
// with.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

namespace platform {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // row-major, 0xAARRGGBB
    std::filesystem::path source;       // the file it was loaded from, if any
};
using PicturePtr = std::shared_ptr<const Picture>;

// How many pixels a picture may have for its use. A picture is refused by the size its header
// declares, before any pixel is decoded, so a small file that claims to be huge costs nothing.
// Card art and frames are painted a few dozen pixels wide; a scan of a whole card fits easily.
inline constexpr std::size_t kCardPicturePixels = std::size_t{2048} * 2048;
// A playfield, wallpaper or window picture: a few screens at the most.
inline constexpr std::size_t kScreenPicturePixels = std::size_t{7680} * 4320;
// No side may be longer than this, whatever the use.
inline constexpr int kMaxPictureSide = 16384;

// Loads a GIF (its first frame), JPEG, BMP or PNG file; the format is told by the bytes, not by
// the name. Throws rt::RuntimeError: ErrFileNotFound when there is no such file, ErrInvalidPicture
// when it exists but is no picture we can decode or has more than max_pixels pixels.
PicturePtr load_picture(const std::filesystem::path& file,
                        std::size_t max_pixels = kScreenPicturePixels);

// The same for bytes already in memory (source stays empty).
PicturePtr decode_picture(std::string_view bytes, std::size_t max_pixels = kScreenPicturePixels);

// The picture turned a quarter turn clockwise: source pixel (x, y) lands at (h - 1 - y, x).
Picture rotate_quarter_cw(const Picture& p);

}  // namespace platform
