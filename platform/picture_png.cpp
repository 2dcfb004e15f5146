// PNG through libpng's simplified reader, which keeps its error handling to itself and reports a
// failure as a result.
#include <cstring>
#include <new>
#include <vector>

#include <png.h>

#include "platform/picture_codecs.hpp"

namespace platform::codecs {

std::optional<Picture> decode_png(std::string_view bytes, std::size_t max_pixels) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return std::nullopt;
    if (!fits(image.width, image.height, max_pixels)) {
        png_image_free(&image);
        return std::nullopt;
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<unsigned char> rgba;
    try {
        rgba.resize(PNG_IMAGE_SIZE(image));
    } catch (const std::bad_alloc&) {
        png_image_free(&image);
        return std::nullopt;
    }
    if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        return std::nullopt;
    }
    Picture out;
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    for (std::size_t i = 0; i < out.pixels.size(); ++i) {
        const unsigned char* p = &rgba[4 * i];
        out.pixels[i] = argb(p[3], p[0], p[1], p[2]);
    }
    png_image_free(&image);
    return out;
}

}  // namespace platform::codecs
