// A game log file's body as the log viewer reads it: the dotted form must either decode or be
// refused, and what decodes must code back to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cards/log_coding.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto text = tw::FromDottedDecimal(bytes);
    if (text) {
        if (tw::LogScramble(tw::LogScramble(*text)) != *text) std::abort();
        if (tw::FromDottedDecimal(tw::ToDottedDecimal(*text)) != *text) std::abort();
    }
    return 0;
}
