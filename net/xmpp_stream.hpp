#pragma once
// Reading what a chat server sends: its stream, cut into the elements that stand directly inside
// the stream (stanzas), as they complete. Only what the programs look at is kept of each: its
// name, its id, type and from, and the text of its <body>. The server is a stranger like any
// peer, so every part kept is bounded, and bytes that are not XML end the reading for good.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

struct XmppStanza {
    std::string name;  // as written, with any prefix ("message", "iq", "stream:error")
    // Attribute values with their references resolved; "" when absent.
    std::string id;
    std::string type;
    std::string from;
    bool has_body = false;
    std::string body;  // the first <body> child's text, references resolved (UTF-8)
};

class XmppStreamScanner {
public:
    // A stanza with more than this is dropped whole (the reading goes on behind it).
    static constexpr std::size_t kMaxBody = 256 * 1024;
    static constexpr std::size_t kMaxValue = 3072;  // an address's longest form
    static constexpr std::size_t kMaxName = 256;
    // Deeper nesting than any server writes is taken for an attack on the reader.
    static constexpr int kMaxDepth = 64;

    void append(std::string_view bytes);
    // The next complete stanza, or nullopt when none is complete yet (or the stream is over).
    std::optional<XmppStanza> next();
    void clear();

    // The server's stream header has been read.
    bool opened() const { return opened_; }
    // The server ended its stream.
    bool ended() const { return ended_; }
    // What came was not XML; nothing more is read.
    bool broken() const { return state_ == State::Broken; }

private:
    enum class State {
        Text, Lt, StartName, InTag, AttrName, AfterAttrName, BeforeValue, Value, SelfClose,
        EndName, AfterEndName, Bang, Comment, CData, Pi, Broken,
    };

    // One byte; true when it completed a stanza.
    bool step(char c);
    void begin_element();
    bool finish_start(bool empty);
    bool finish_end();
    void end_attribute();
    void flush_text();
    void add_body(std::string_view text);
    void reset_stanza();

    std::string buf_;
    std::size_t pos_ = 0;
    State state_ = State::Text;
    int depth_ = 0;  // 1 inside the stream, 2 inside a stanza
    bool opened_ = false;
    bool ended_ = false;

    std::string name_;       // the start tag's name being read
    std::string attr_name_;  // of the attribute being read
    std::string value_;      // its value as written
    char quote_ = 0;
    bool long_value_ = false;
    std::string text_;  // body text since the last markup, as written
    std::string tail_;  // the last bytes of a comment, CDATA section or instruction; the "<!" words

    XmppStanza stanza_;
    bool in_body_ = false;
    bool dropped_ = false;  // the stanza went over a bound
    std::optional<XmppStanza> done_;
};

// Text with the five predefined entities and numeric character references resolved (to UTF-8).
// A reference that is none of these stays as written.
std::string XmlUnescape(std::string_view text);

}  // namespace tw
