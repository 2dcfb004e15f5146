#pragma once
// The decoders behind load_picture, one per format. Each takes the whole file, checks the size
// the file declares against the caller's budget before it decodes a pixel, and gives nullopt for
// anything it cannot decode; none of them throws for bad bytes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/picture.hpp"

namespace platform::codecs {

// Whether a width x height picture may be decoded within max_pixels.
inline bool fits(std::uint64_t width, std::uint64_t height, std::size_t max_pixels) {
    return width > 0 && height > 0 && width <= static_cast<std::uint64_t>(kMaxPictureSide) &&
           height <= static_cast<std::uint64_t>(kMaxPictureSide) && width * height <= max_pixels;
}

inline std::uint32_t argb(unsigned a, unsigned r, unsigned g, unsigned b) {
    return (std::uint32_t{a & 0xFF} << 24) | (std::uint32_t{r & 0xFF} << 16) |
           (std::uint32_t{g & 0xFF} << 8) | std::uint32_t{b & 0xFF};
}

std::optional<Picture> decode_jpeg(std::string_view bytes, std::size_t max_pixels);
std::optional<Picture> decode_png(std::string_view bytes, std::size_t max_pixels);
std::optional<Picture> decode_gif(std::string_view bytes, std::size_t max_pixels);
std::optional<Picture> decode_bmp(std::string_view bytes, std::size_t max_pixels);

}  // namespace platform::codecs
