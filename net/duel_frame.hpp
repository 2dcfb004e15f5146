#pragma once
// The duel frame: how one command travels between two tables, written and read. No window code
// here, so that the relay and headless programs can share it.
//
// On TCP a frame is "^~", one tag byte, the body and "~^"; the body is the command, "|$|", the
// sender's running count of commands and "~" and the frame number (0 to 255, then 0 again). In a
// server duel the body travels in dotted decimal inside an XMPP message, without the tag byte.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

inline constexpr std::string_view kFrameStart = "^~";
inline constexpr std::string_view kFrameEnd = "~^";

// The hooks every frame body passes through on its way out and in: both give back their text.
std::string EncodeWire(std::string_view text);
std::string DecodeWire(std::string_view text);

// Removes every start and end marker, again and again, until neither is left: one pass over
// "~~^^" would leave "~^", and the peer would then cut the frame early. Two-byte markers that
// are each other's reverse (ours and the relay's) take linear time.
std::string RemoveFrameMarkers(std::string_view text, std::string_view start = kFrameStart,
                               std::string_view end = kFrameEnd);

// Removes the duel log's time stamp from a chat command: "(h:mm:ss AM) " or "(h:mm:ss PM) "
// standing right after the first "> ". Anything else is the user's text and stays.
std::string CutChatTimestamp(std::string_view command);

// command "|$|" count "~" seq, numbers in decimal.
std::string FrameBody(std::string_view command, std::int32_t count, std::int32_t seq);

// The tag byte's value: 10 x seat + cls.
std::int32_t FrameTag(std::int32_t seat, std::int32_t cls);

// "^~", the tag byte, the encoded body, "~^". A tag outside 0 to 255 raises error 5.
std::string DuelFrame(std::int32_t tag, std::string_view encoded_body);

// A value as it stands inside an XML text of the chat server's stream: the program's cp1252
// bytes in the stream's UTF-8, with the five characters that XML gives a meaning escaped.
// Unescaped, a name holding "'" ends the attribute early and the server closes the stream.
std::string XmlValue(std::string_view cp1252);

// The server duel's form: an XMPP message to the peer's account carrying the encoded body in
// dotted decimal between the markers. The peer's and the server's names are escaped for XML.
std::string JabberDuelMessage(std::string_view peer, std::string_view server, std::string_view encoded_body);

// Keeps the frames of a piece of XMPP stream and drops the XML around them.
std::string ExtractFrames(std::string_view text);

// What a cut frame holds once opened: the command with its count (the frame number taken off),
// and the frame number when it is a whole number from 0 to 255.
struct FrameText {
    std::string text;
    std::optional<int> number;
};

// Opens one cut piece (from its "^~" through its "~^"): drops the markers and the tag byte,
// decodes the body and takes the frame number off. nullopt when nothing is left of it.
std::optional<FrameText> OpenFrame(std::string_view piece, bool server_duel);

// The receiving side's byte stream, cut into pieces at the end markers. Bytes are appended as
// they come; next() hands out one piece at a time. Every byte is looked at a bounded number of
// times however the stream is split, and what is held is bounded: bytes that stand before any
// marker are let go as they come (a run of more than kMaxUnended of them counts as one garbled
// piece), and a frame whose start marker lies kMaxUnended bytes or more before its end marker is
// dropped as garbled. Which frames come out depends only on the bytes, not on how they arrived.
class DuelFrameReader {
public:
    static constexpr std::size_t kMaxUnended = 64 * 1024;

    // The relay cuts its own frames with this too: any two-byte start and end markers.
    DuelFrameReader() = default;
    DuelFrameReader(std::string_view start, std::string_view end) : start_marker_(start), end_marker_(end) {}

    struct Piece {
        enum Kind {
            Frame,    // from the first "^~" through the first "~^" (empty when "^~" came later)
            Garbled,  // data ending in "~^" with no "^~" anywhere, or too long without an end
        } kind;
        std::string text;
    };

    void append(std::string_view bytes);
    // The next piece, or nullopt when no end marker is held.
    std::optional<Piece> next();
    void clear();

    std::size_t pending() const { return buf_.size() - start_; }
    // Every byte ever appended, for callers that wait until what they wrote was taken in.
    std::uint64_t total_bytes() const { return total_; }

private:
    // The first occurrence of a marker at or after start_, found by looking only at bytes not
    // looked at before.
    struct Finder {
        std::size_t found = std::string::npos;
        std::size_t scanned = 0;  // every start position before this has been looked at
    };
    std::size_t first(Finder& f, std::string_view marker);
    void consume(std::size_t n);

    std::string start_marker_{kFrameStart};
    std::string end_marker_{kFrameEnd};
    std::string buf_;
    std::size_t start_ = 0;
    Finder open_;
    Finder close_;
    std::uint64_t total_ = 0;
    // Bytes before any marker let go since the last piece.
    std::size_t unmarked_ = 0;
    // The rest of a frame dropped for its length: passed over up to the next marker of either kind.
    bool skipping_ = false;
};

}  // namespace tw
