#include "net/duel_frame.hpp"

#include "cards/log_coding.hpp"
#include "platform/ansi.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Digits at s[at..], between min and max of them; the value, and at moved past them.
std::optional<int> digits(std::string_view s, std::size_t& at, std::size_t min, std::size_t max) {
    std::size_t n = 0;
    int value = 0;
    while (at + n < s.size() && n < max && is_digit(s[at + n])) {
        value = value * 10 + (s[at + n] - '0');
        ++n;
    }
    if (n < min) return std::nullopt;
    at += n;
    return value;
}

bool expect(std::string_view s, std::size_t& at, std::string_view what) {
    if (s.substr(at, what.size()) != what) return false;
    at += what.size();
    return true;
}

// The length of a stamp "(h:mm:ss AM) " at s[at..], 0 when there is none.
std::size_t stamp_length(std::string_view s, std::size_t at) {
    const std::size_t from = at;
    if (!expect(s, at, "(")) return 0;
    const auto h = digits(s, at, 1, 2);
    if (!h || *h < 1 || *h > 12 || !expect(s, at, ":")) return 0;
    const auto m = digits(s, at, 2, 2);
    if (!m || *m > 59 || !expect(s, at, ":")) return 0;
    const auto sec = digits(s, at, 2, 2);
    if (!sec || *sec > 59) return 0;
    if (!expect(s, at, " AM) ") && !expect(s, at, " PM) ")) return 0;
    return at - from;
}

// The frame number: decimal digits only, 0 to 255.
std::optional<int> frame_number(std::string_view s) {
    if (s.empty()) return std::nullopt;
    int value = 0;
    for (char c : s) {
        if (!is_digit(c)) return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 255) return std::nullopt;
    }
    return value;
}

}  // namespace

std::string EncodeWire(std::string_view text) { return std::string(text); }
std::string DecodeWire(std::string_view text) { return std::string(text); }

// The two markers are "^" and "~" side by side in either order, so removing them until none is
// left cancels neighbouring "^" and "~" like brackets: one pass with a stack gives the same text
// as repeated passes, in linear time. The same holds for any two distinct bytes.
std::string RemoveFrameMarkers(std::string_view text, std::string_view start, std::string_view end) {
    const bool mirrored = start.size() == 2 && end.size() == 2 && start[0] != start[1] && start[0] == end[1] &&
                          start[1] == end[0];
    if (!mirrored) {
        std::string s(text);
        for (;;) {
            const std::string t = rt::replace_all(rt::replace_all(s, start, ""), end, "");
            if (t == s) return s;
            s = t;
        }
    }
    const char a = start[0];
    const char b = start[1];
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (!out.empty() && ((out.back() == a && c == b) || (out.back() == b && c == a))) {
            out.pop_back();
        } else {
            out += c;
        }
    }
    return out;
}

std::string CutChatTimestamp(std::string_view command) {
    const std::size_t p = command.find("> ");
    if (p == std::string_view::npos) return std::string(command);
    const std::size_t n = stamp_length(command, p + 2);
    std::string out(command);
    if (n > 0) out.erase(p + 2, n);
    return out;
}

std::string FrameBody(std::string_view command, std::int32_t count, std::int32_t seq) {
    std::string body(command);
    body += "|$|";
    body += rt::cstr(count);
    body += '~';
    body += rt::cstr(seq);
    return body;
}

std::int32_t FrameTag(std::int32_t seat, std::int32_t cls) {
    return static_cast<std::int32_t>(10LL * seat + cls);
}

std::string DuelFrame(std::int32_t tag, std::string_view encoded_body) {
    std::string frame(kFrameStart);
    frame += rt::chr(tag);
    frame += encoded_body;
    frame += kFrameEnd;
    return frame;
}

std::string XmlValue(std::string_view cp1252) {
    const std::string utf8 = rt::cp1252_to_utf8(cp1252);
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '\'': out += "&apos;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string JabberDuelMessage(std::string_view peer, std::string_view server, std::string_view encoded_body) {
    return "<message id='zqm_1' to='" + XmlValue(peer) + ".plimvale@" + XmlValue(server) + "'><body>" +
           std::string(kFrameStart) + ToDottedDecimal(encoded_body) + std::string(kFrameEnd) +
           "</body></message>";
}

std::string ExtractFrames(std::string_view text) {
    std::string out;
    bool outside = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string_view two = text.substr(i, 2);
        if (two == kFrameStart) outside = false;
        if (two == kFrameEnd) {
            outside = true;
            out += kFrameEnd;
        }
        if (text[i] == '<') outside = true;
        if (!outside) out += text[i];
    }
    return out;
}

std::optional<FrameText> OpenFrame(std::string_view piece, bool server_duel) {
    std::string text = server_duel ? ExtractFrames(piece) : std::string(piece);
    if (text.empty()) return std::nullopt;
    text = RemoveFrameMarkers(text);
    // A server duel's frame has no tag byte; a blank stands in for it.
    if (server_duel) text.insert(text.begin(), ' ');
    if (text.empty()) return std::nullopt;
    text.erase(0, 1);  // the tag byte: nothing depends on its value
    if (server_duel) {
        auto decoded = FromDottedDecimal(text);
        if (!decoded) return std::nullopt;  // not a body this program writes
        text = DecodeWire(*decoded);
    } else {
        text = DecodeWire(text);
    }
    text = rt::replace_all(RemoveFrameMarkers(text), "&apos;", "'");
    if (text.empty()) return std::nullopt;

    FrameText out;
    const std::size_t tilde = text.rfind('~');
    if (tilde == std::string::npos) {
        out.text = std::move(text);
        return out;
    }
    out.number = frame_number(std::string_view(text).substr(tilde + 1));
    text.resize(tilde);
    out.text = std::move(text);
    return out;
}

std::size_t DuelFrameReader::first(Finder& f, std::string_view marker) {
    if (f.found != std::string::npos && f.found >= start_) return f.found;
    const std::size_t from = std::max(f.scanned, start_);
    const std::size_t at = buf_.find(marker, from);
    if (at == std::string::npos) {
        // The last byte may begin a marker that the next bytes complete.
        f.scanned = buf_.size() > from ? buf_.size() - 1 : from;
        f.found = std::string::npos;
    } else {
        f.scanned = at;
        f.found = at;
    }
    return f.found;
}

void DuelFrameReader::append(std::string_view bytes) {
    total_ += bytes.size();
    // What was taken is dropped once it is the larger part, so the buffer moves each byte a
    // bounded number of times.
    if (start_ > 0 && start_ >= buf_.size() / 2) {
        buf_.erase(0, start_);
        auto shift = [this](Finder& f) {
            f.scanned = f.scanned > start_ ? f.scanned - start_ : 0;
            f.found = f.found != std::string::npos && f.found >= start_ ? f.found - start_ : std::string::npos;
        };
        shift(open_);
        shift(close_);
        start_ = 0;
    }
    buf_.append(bytes);
}

void DuelFrameReader::consume(std::size_t n) {
    start_ += n;
    if (start_ == buf_.size()) {
        buf_.clear();
        start_ = 0;
        open_ = Finder{};
        close_ = Finder{};
    }
}

void DuelFrameReader::clear() {
    buf_.clear();
    start_ = 0;
    open_ = Finder{};
    close_ = Finder{};
    unmarked_ = 0;
    skipping_ = false;
}

// Each cut falls at a place that the bytes alone decide (a marker, or a fixed distance from one
// or from the last piece), so a stream split anywhere is cut as the same stream in one piece.
std::optional<DuelFrameReader::Piece> DuelFrameReader::next() {
    constexpr std::size_t npos = std::string::npos;
    const std::size_t end_size = end_marker_.size();
    for (;;) {
        const std::size_t z = first(close_, end_marker_);
        const std::size_t y = first(open_, start_marker_);
        // The last byte may begin a marker that the next bytes complete; the rest can go.
        const std::size_t held_from = buf_.size() > start_ ? buf_.size() - 1 : start_;
        if (skipping_) {
            if (y == npos && z == npos) {
                consume(held_from - start_);
                return std::nullopt;
            }
            skipping_ = false;
            if (y < z) consume(y - start_);
            else consume(z + end_size - start_);
            continue;
        }
        const std::size_t marker = std::min(y, z);
        const std::size_t unmarked_end = marker == npos ? held_from : marker;
        if (unmarked_ + (unmarked_end - start_) > kMaxUnended) {
            consume(kMaxUnended + 1 - unmarked_);
            unmarked_ = 0;
            return Piece{Piece::Garbled, {}};
        }
        if (marker == npos) {
            unmarked_ += unmarked_end - start_;
            consume(unmarked_end - start_);
            return std::nullopt;
        }
        unmarked_ = 0;
        if (y < z) {
            // A frame has begun at y; what stood before it goes with it.
            consume(y - start_);
            const std::size_t held = z == npos ? buf_.size() - y : z - y;
            if (held > kMaxUnended || (z != npos && held == kMaxUnended)) {
                consume(kMaxUnended);
                skipping_ = true;
                return Piece{Piece::Garbled, {}};
            }
            if (z == npos) return std::nullopt;
            Piece p{Piece::Frame, buf_.substr(y, z + end_size - y)};
            consume(z + end_size - start_);
            return p;
        }
        // An end marker before any start: counted when no start marker is held at all.
        consume(z + end_size - start_);
        return Piece{y == npos ? Piece::Garbled : Piece::Frame, {}};
    }
}

}  // namespace tw
