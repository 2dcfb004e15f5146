// Picture files of any content, decoded as card pictures: refused or decoded to exactly the
// pixels their size needs, within the budget.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/picture.hpp"
#include "platform/rt_error.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    platform::PicturePtr pic;
    try {
        pic = platform::decode_picture(bytes, platform::kCardPicturePixels);
    } catch (const rt::RuntimeError& e) {
        if (e.number != rt::ErrInvalidPicture) std::abort();
        return 0;
    }
    const auto pixels = static_cast<std::size_t>(pic->width) * static_cast<std::size_t>(pic->height);
    if (pic->width <= 0 || pic->height <= 0 || pixels > platform::kCardPicturePixels ||
        pic->pixels.size() != pixels)
        std::abort();
    return 0;
}
