#include "cards/log_coding.hpp"

namespace tw {

std::string LogScramble(std::string_view text) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char>(static_cast<unsigned char>(out[i]) ^
                                   static_cast<unsigned char>(kLogKey[i % kLogKey.size()]));
    return out;
}

std::string ToDottedDecimal(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 4);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i > 0) out += '.';
        out += std::to_string(static_cast<unsigned char>(text[i]));
    }
    return out;
}

std::optional<std::string> FromDottedDecimal(std::string_view dotted) {
    std::string out;
    if (dotted.empty()) return out;
    out.reserve(dotted.size() / 2 + 1);
    std::size_t start = 0;
    for (;;) {
        std::size_t end = dotted.find('.', start);
        std::string_view piece =
            dotted.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (piece.empty()) return std::nullopt;
        unsigned value = 0;
        for (char c : piece) {
            if (c < '0' || c > '9') return std::nullopt;
            value = value * 10 + static_cast<unsigned>(c - '0');
            // Stops long runs of digits before they can overflow.
            if (value > 255) return std::nullopt;
        }
        out += static_cast<char>(value);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return out;
}

std::string ScrambleLog(std::string_view text) { return ToDottedDecimal(LogScramble(text)); }

}  // namespace tw
