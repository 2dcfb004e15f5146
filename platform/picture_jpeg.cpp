// JPEG through libjpeg(-turbo). The library reports a fatal error by calling error_exit, which must
// not return; it jumps back here. Everything the jump passes over is plain C, and the only C++
// object touched after setjmp is the caller's output, reached through a reference.
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE
#include <cstring>
#include <new>

#include <jpeglib.h>

#include "platform/picture_codecs.hpp"

namespace platform::codecs {

namespace {

// Each progressive scan costs a pass over the whole picture; a few hundred tiny scans in a small
// file would otherwise take seconds. Real files have about ten.
constexpr int kMaxScans = 500;

struct Failure {
    jpeg_error_mgr mgr;  // first, so that the library's err pointer is also ours
    std::jmp_buf jump;
};

[[noreturn]] void fail(j_common_ptr c) { std::longjmp(reinterpret_cast<Failure*>(c->err)->jump, 1); }
void quiet(j_common_ptr) {}

void limit_scans(j_common_ptr c) {
    if (c->is_decompressor && reinterpret_cast<j_decompress_ptr>(c)->input_scan_number > kMaxScans)
        fail(c);
}

// Adobe's CMYK files store the inks inverted, which is what nearly every CMYK JPEG is.
std::uint32_t from_cmyk(const JSAMPLE* p, bool inverted) {
    unsigned c = p[0], m = p[1], y = p[2], k = p[3];
    if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    return argb(255, c * k / 255, m * k / 255, y * k / 255);
}

bool decode(std::string_view bytes, std::size_t max_pixels, Picture& out) {
    jpeg_decompress_struct cinfo;
    Failure err;
    jpeg_progress_mgr progress;
    std::memset(&cinfo, 0, sizeof cinfo);
    std::memset(&progress, 0, sizeof progress);
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = fail;
    err.mgr.output_message = quiet;
    progress.progress_monitor = limit_scans;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.progress = &progress;
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK ||
        !fits(cinfo.image_width, cinfo.image_height, max_pixels)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const JDIMENSION w = cinfo.output_width, h = cinfo.output_height;
    if (!fits(w, h, max_pixels) || cinfo.output_components != (cmyk ? 4 : 3)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    try {
        out.pixels.assign(static_cast<std::size_t>(w) * h, 0);
    } catch (const std::bad_alloc&) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    out.width = static_cast<int>(w);
    out.height = static_cast<int>(h);
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                 w * static_cast<JDIMENSION>(cinfo.output_components), 1);
    const bool inverted = cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < h) {
        const JDIMENSION y = cinfo.output_scanline;
        if (jpeg_read_scanlines(&cinfo, row, 1) != 1) {
            jpeg_destroy_decompress(&cinfo);
            return false;
        }
        std::uint32_t* dst = out.pixels.data() + static_cast<std::size_t>(y) * w;
        const JSAMPLE* src = row[0];
        for (JDIMENSION x = 0; x < w; ++x) {
            dst[x] = cmyk ? from_cmyk(src + 4 * x, inverted)
                          : argb(255, src[3 * x], src[3 * x + 1], src[3 * x + 2]);
        }
    }
    // Whatever follows the last row (trailing garbage, a missing end marker) does not matter to
    // a picture that is complete, so the data is not read to its end.
    jpeg_destroy_decompress(&cinfo);
    return true;
}

}  // namespace

std::optional<Picture> decode_jpeg(std::string_view bytes, std::size_t max_pixels) {
    Picture out;
    if (!decode(bytes, max_pixels, out)) return std::nullopt;
    return out;
}

}  // namespace platform::codecs
