// BMP: uncompressed Windows bitmaps (1, 4, 8, 16, 24 and 32 bits, bit fields included), read with
// every offset and size checked against the file. Run-length compressed files are refused.
#include <array>
#include <bit>

#include "platform/picture_codecs.hpp"

namespace platform::codecs {

namespace {

constexpr std::uint32_t kRgb = 0, kBitFields = 3, kAlphaBitFields = 6;

class Reader {
public:
    explicit Reader(std::string_view b) : b_(b) {}
    bool has(std::uint64_t at, std::uint64_t n) const { return at <= b_.size() && n <= b_.size() - at; }
    unsigned u8(std::size_t at) const { return static_cast<unsigned char>(b_[at]); }
    std::uint32_t u16(std::size_t at) const { return u8(at) | u8(at + 1) << 8; }
    std::uint32_t u32(std::size_t at) const { return u16(at) | u16(at + 2) << 16; }
    std::int32_t s32(std::size_t at) const { return static_cast<std::int32_t>(u32(at)); }

private:
    std::string_view b_;
};

// A colour channel as a mask of bits within a pixel, scaled to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;  // the mask's value range, 0 for an absent channel

    explicit Channel(std::uint32_t m = 0) : mask(m) {
        if (m == 0) return;
        shift = std::countr_zero(m);
        const std::uint32_t bits = m >> shift;
        // Only a run of ones makes sense as a channel; anything else counts as absent.
        if ((bits & (bits + 1)) != 0) mask = 0;
        else max = bits;
    }
    unsigned operator()(std::uint32_t pixel) const {
        if (max == 0) return 0;
        return static_cast<unsigned>((std::uint64_t{(pixel & mask) >> shift} * 255 + max / 2) / max);
    }
};

}  // namespace

std::optional<Picture> decode_bmp(std::string_view bytes, std::size_t max_pixels) {
    const Reader r(bytes);
    if (!r.has(0, 18) || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
    const std::uint32_t data_at = r.u32(10);
    const std::uint32_t header = r.u32(14);
    const std::size_t h = 14;  // where the info header starts
    if (!r.has(h, header)) return std::nullopt;

    std::int64_t width = 0, height = 0;
    std::uint32_t bpp = 0, compression = kRgb, used = 0;
    std::uint32_t masks[4] = {0, 0, 0, 0};
    std::size_t palette_at = h + header, entry = 4;
    if (header == 12) {  // the old core header
        width = r.u16(h + 4);
        height = r.u16(h + 6);
        if (r.u16(h + 8) != 1) return std::nullopt;
        bpp = r.u16(h + 10);
        entry = 3;
    } else if (header == 40 || header == 52 || header == 56 || header == 108 || header == 124) {
        width = r.s32(h + 4);
        height = r.s32(h + 8);
        if (r.u16(h + 12) != 1) return std::nullopt;
        bpp = r.u16(h + 14);
        compression = r.u32(h + 16);
        used = r.u32(h + 32);
        std::size_t masks_at = h + 40;
        int mask_count = header >= 56 ? 4 : header >= 52 ? 3 : 0;
        if (header == 40 && compression == kBitFields) mask_count = 3;
        if (header == 40 && compression == kAlphaBitFields) mask_count = 4;
        if (header == 40) palette_at += static_cast<std::size_t>(mask_count) * 4;
        if (!r.has(masks_at, static_cast<std::uint64_t>(mask_count) * 4)) return std::nullopt;
        for (int i = 0; i < mask_count; ++i) masks[i] = r.u32(masks_at + 4 * static_cast<std::size_t>(i));
    } else {
        return std::nullopt;
    }

    const bool bottom_up = height > 0;
    if (height < 0) height = -height;
    if (!fits(static_cast<std::uint64_t>(std::max<std::int64_t>(width, 0)),
              static_cast<std::uint64_t>(height), max_pixels))
        return std::nullopt;
    const bool paletted = bpp == 1 || bpp == 4 || bpp == 8;
    if (!paletted && bpp != 16 && bpp != 24 && bpp != 32) return std::nullopt;
    const bool fields = compression == kBitFields || compression == kAlphaBitFields;
    if (compression != kRgb && !(fields && (bpp == 16 || bpp == 32))) return std::nullopt;

    std::array<std::uint32_t, 256> palette{};
    std::uint32_t colours = 0;
    if (paletted) {
        colours = used ? used : (1u << bpp);
        if (colours > (1u << bpp) || !r.has(palette_at, std::uint64_t{colours} * entry)) return std::nullopt;
        for (std::uint32_t i = 0; i < colours; ++i) {
            const std::size_t at = palette_at + i * entry;
            palette[i] = argb(255, r.u8(at + 2), r.u8(at + 1), r.u8(at));
        }
    }

    Channel red, green, blue, alpha;
    if (fields) {
        red = Channel(masks[0]);
        green = Channel(masks[1]);
        blue = Channel(masks[2]);
        alpha = Channel(compression == kAlphaBitFields || header >= 56 ? masks[3] : 0);
    } else if (bpp == 16) {
        red = Channel(0x7C00), green = Channel(0x03E0), blue = Channel(0x001F);
    } else if (bpp == 32) {
        red = Channel(0x00FF0000), green = Channel(0x0000FF00), blue = Channel(0x000000FF);
        alpha = Channel(0xFF000000);
    }

    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bpp + 31) / 32 * 4;
    if (!r.has(data_at, stride * static_cast<std::uint64_t>(height))) return std::nullopt;

    Picture out;
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    bool any_alpha = false;
    for (std::int64_t y = 0; y < height; ++y) {
        const std::size_t row = data_at + static_cast<std::size_t>(stride) *
                                              static_cast<std::size_t>(bottom_up ? height - 1 - y : y);
        std::uint32_t* dst = out.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (std::int64_t x = 0; x < width; ++x) {
            const std::size_t ux = static_cast<std::size_t>(x);
            std::uint32_t px;
            if (paletted) {
                const std::size_t bit = ux * bpp;
                const unsigned byte = r.u8(row + bit / 8);
                const unsigned index = (byte >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
                px = index < colours ? palette[index] : argb(255, 0, 0, 0);
            } else if (bpp == 24) {
                const std::size_t at = row + ux * 3;
                px = argb(255, r.u8(at + 2), r.u8(at + 1), r.u8(at));
            } else {
                const std::uint32_t v = bpp == 16 ? r.u16(row + ux * 2) : r.u32(row + ux * 4);
                const unsigned a = alpha(v);
                any_alpha = any_alpha || a != 0;
                px = argb(alpha.max ? a : 255, red(v), green(v), blue(v));
            }
            dst[ux] = px;
        }
    }
    // Many writers leave the fourth byte zero: a picture that would be wholly invisible is meant
    // to be opaque.
    if (alpha.max && !any_alpha)
        for (auto& px : out.pixels) px |= 0xFF000000u;
    return out;
}

}  // namespace platform::codecs
