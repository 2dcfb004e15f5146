// GIF through giflib: only the first frame is decoded, line by line, onto the logical screen.
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <gif_lib.h>

#include "platform/picture_codecs.hpp"

namespace platform::codecs {

namespace {

struct Source {
    const unsigned char* at;
    std::size_t left;
};

int read_from(GifFileType* gif, GifByteType* into, int wanted) {
    auto* s = static_cast<Source*>(gif->UserData);
    const std::size_t n = std::min(s->left, static_cast<std::size_t>(std::max(wanted, 0)));
    std::memcpy(into, s->at, n);
    s->at += n;
    s->left -= n;
    return static_cast<int>(n);
}

struct Close {
    void operator()(GifFileType* gif) const {
        int err = 0;
        DGifCloseFile(gif, &err);
    }
};

// The rows of an interlaced frame in the order the file stores them.
std::vector<int> row_order(int height, bool interlaced) {
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y) rows.push_back(y);
        return rows;
    }
    const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass]) rows.push_back(y);
    return rows;
}

// Skips an extension's data blocks; returns the transparent colour index a graphic control
// extension names, -1 for none, or -2 when the file is broken.
int read_extension(GifFileType* gif, int transparent) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) != GIF_OK) return -2;
    if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4)
        transparent = (block[1] & 0x01) ? block[4] : -1;
    while (block) {
        if (DGifGetExtensionNext(gif, &block) != GIF_OK) return -2;
    }
    return transparent;
}

}  // namespace

std::optional<Picture> decode_gif(std::string_view bytes, std::size_t max_pixels) {
    Source source{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()};
    int err = 0;
    std::unique_ptr<GifFileType, Close> gif(DGifOpen(&source, read_from, &err));
    if (!gif) return std::nullopt;
    int transparent = -1;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) != GIF_OK) return std::nullopt;
        if (type == EXTENSION_RECORD_TYPE) {
            transparent = read_extension(gif.get(), transparent);
            if (transparent == -2) return std::nullopt;
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) return std::nullopt;  // the file ends without a frame
        break;
    }
    if (DGifGetImageDesc(gif.get()) != GIF_OK) return std::nullopt;
    const GifImageDesc& frame = gif->Image;
    // A file that gives no screen size is as large as its first frame reaches.
    const std::int64_t right = std::int64_t{frame.Left} + frame.Width;
    const std::int64_t bottom = std::int64_t{frame.Top} + frame.Height;
    const std::int64_t width = gif->SWidth > 0 ? gif->SWidth : right;
    const std::int64_t height = gif->SHeight > 0 ? gif->SHeight : bottom;
    if (frame.Width <= 0 || frame.Height <= 0 || frame.Left < 0 || frame.Top < 0 ||
        !fits(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height), max_pixels) ||
        !fits(static_cast<std::uint64_t>(frame.Width), static_cast<std::uint64_t>(frame.Height), max_pixels))
        return std::nullopt;
    const ColorMapObject* colours = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    if (!colours || !colours->Colors || colours->ColorCount <= 0) return std::nullopt;

    Picture out;
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    // What the first frame does not cover shows the background through.
    out.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));
    for (const int row : row_order(frame.Height, frame.Interlace)) {
        if (DGifGetLine(gif.get(), line.data(), frame.Width) != GIF_OK) return std::nullopt;
        const std::int64_t y = std::int64_t{frame.Top} + row;
        if (y >= height) continue;
        std::uint32_t* dst = out.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (int x = 0; x < frame.Width; ++x) {
            const std::int64_t at = std::int64_t{frame.Left} + x;
            const int index = line[static_cast<std::size_t>(x)];
            if (at >= width || index == transparent || index >= colours->ColorCount) continue;
            const GifColorType& c = colours->Colors[index];
            dst[at] = argb(255, c.Red, c.Green, c.Blue);
        }
    }
    return out;
}

}  // namespace platform::codecs
