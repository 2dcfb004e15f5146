#include "platform/picture.hpp"

#include <string>
#include <system_error>

#include "platform/files.hpp"
#include "platform/picture_codecs.hpp"
#include "platform/rt_error.hpp"

namespace platform {

namespace {

bool starts_with(std::string_view bytes, std::string_view magic) {
    return bytes.substr(0, magic.size()) == magic;
}

// Only the four formats a picture box accepts; anything else is "no picture".
std::optional<Picture> decode_any(std::string_view bytes, std::size_t max_pixels) {
    using namespace std::string_view_literals;
    if (starts_with(bytes, "GIF87a"sv) || starts_with(bytes, "GIF89a"sv))
        return codecs::decode_gif(bytes, max_pixels);
    if (starts_with(bytes, "\xFF\xD8\xFF"sv)) return codecs::decode_jpeg(bytes, max_pixels);
    if (starts_with(bytes, "\x89PNG\r\n\x1A\n"sv)) return codecs::decode_png(bytes, max_pixels);
    if (starts_with(bytes, "BM"sv)) return codecs::decode_bmp(bytes, max_pixels);
    return std::nullopt;
}

PicturePtr decode_or_throw(std::string_view bytes, std::size_t max_pixels,
                           const std::filesystem::path& source) {
    std::optional<Picture> decoded = decode_any(bytes, max_pixels);
    if (!decoded) throw rt::RuntimeError(rt::ErrInvalidPicture);
    decoded->source = source;
    return std::make_shared<Picture>(std::move(*decoded));
}

}  // namespace

PicturePtr decode_picture(std::string_view bytes, std::size_t max_pixels) {
    return decode_or_throw(bytes, max_pixels, {});
}

PicturePtr load_picture(const std::filesystem::path& file, std::size_t max_pixels) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) throw rt::RuntimeError(rt::ErrFileNotFound);
    return decode_or_throw(read_file_or_throw(file), max_pixels, file);
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
