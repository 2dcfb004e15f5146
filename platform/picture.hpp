#pragma once
// Decoded pictures: what LoadPicture gives a picture box, and the operations the programs paint
// with.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

namespace platform {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // row-major, 0xAARRGGBB
    std::filesystem::path source;       // the file it was loaded from, if any
};
using PicturePtr = std::shared_ptr<const Picture>;

// Loads a GIF, JPEG, BMP or PNG file. Throws rt::RuntimeError: ErrFileNotFound when there is no
// such file, ErrInvalidPicture when it exists but is no picture we can decode.
PicturePtr load_picture(const std::filesystem::path& file);

// The picture turned a quarter turn clockwise: source pixel (x, y) lands at (h - 1 - y, x).
Picture rotate_quarter_cw(const Picture& p);

}  // namespace platform
