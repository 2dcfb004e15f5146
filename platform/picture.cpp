#include "platform/picture.hpp"

#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <system_error>

#include "platform/rt_error.hpp"

// Only the four formats a picture box accepts; anything else is "no picture".
#define STBI_ONLY_GIF
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
// The programs paint card art and frames; a file claiming more than this per side is a broken or
// hostile file, not a picture worth gigabytes of memory.
#define STBI_MAX_DIMENSIONS 16384
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

namespace platform {

namespace {

std::string read_bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw rt::RuntimeError(rt::ErrPathFileAccess);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw rt::RuntimeError(rt::ErrPathFileAccess);
    return bytes;
}

}  // namespace

PicturePtr load_picture(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) throw rt::RuntimeError(rt::ErrFileNotFound);

    const std::string bytes = read_bytes(file);
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw rt::RuntimeError(rt::ErrInvalidPicture);

    int w = 0, h = 0, channels = 0;
    // For an animated GIF this is the first frame.
    stbi_uc* data = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                          static_cast<int>(bytes.size()), &w, &h, &channels, 4);
    if (!data || w <= 0 || h <= 0) {
        stbi_image_free(data);
        throw rt::RuntimeError(rt::ErrInvalidPicture);
    }

    auto pic = std::make_shared<Picture>();
    pic->width = w;
    pic->height = h;
    pic->source = file;
    const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    pic->pixels.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const stbi_uc* p = data + i * 4;
        pic->pixels[i] = (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[0]} << 16) |
                         (std::uint32_t{p[1]} << 8) | std::uint32_t{p[2]};
    }
    stbi_image_free(data);
    return pic;
}

Picture rotate_quarter_cw(const Picture& p) {
    if (p.width < 0 || p.height < 0 ||
        p.pixels.size() != static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height))
        throw rt::RuntimeError(rt::ErrInvalidPicture);
    Picture out;
    out.width = p.height;
    out.height = p.width;
    out.source = p.source;
    out.pixels.resize(p.pixels.size());
    const std::size_t w = static_cast<std::size_t>(p.width);
    const std::size_t h = static_cast<std::size_t>(p.height);
    for (std::size_t y = 0; y < h; ++y)
        for (std::size_t x = 0; x < w; ++x) out.pixels[x * h + (h - 1 - y)] = p.pixels[y * w + x];
    return out;
}

}  // namespace platform
