#include "net/xmpp_stream.hpp"

#include <cstdint>

namespace tw {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Bytes that may stand in a name: everything but blanks and XML's own signs.
bool IsNameByte(char c) {
    switch (c) {
        case '<': case '>': case '/': case '=': case '\'': case '"': case '&': case '?': case '!':
            return false;
        default:
            return !IsSpace(c) && static_cast<unsigned char>(c) >= 0x20;
    }
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// A numeric reference's character ("#65", "#x41"), when it names one XML allows.
std::optional<std::uint32_t> NumericReference(std::string_view ref) {
    if (ref.size() < 2 || ref[0] != '#') return std::nullopt;
    const bool hex = ref[1] == 'x';
    std::string_view digits = ref.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    std::uint32_t cp = 0;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return std::nullopt;
        cp = cp * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);
    }
    const bool allowed = cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) ||
                         (cp >= 0xE000 && cp <= 0xFFFD) || (cp >= 0x10000 && cp <= 0x10FFFF);
    if (!allowed) return std::nullopt;
    return cp;
}

}  // namespace

std::string XmlUnescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '&') {
            out += text[i++];
            continue;
        }
        // Every reference is short; a ';' further on belongs to something else.
        const std::size_t semi = text.substr(i + 1, 12).find(';');
        if (semi == std::string_view::npos) {
            out += text[i++];
            continue;
        }
        const std::string_view ref = text.substr(i + 1, semi);
        const char* named = ref == "amp" ? "&" : ref == "lt" ? "<" : ref == "gt" ? ">" : ref == "apos" ? "'" : ref == "quot" ? "\"" : nullptr;
        if (named) {
            out += named;
        } else if (auto cp = NumericReference(ref)) {
            AppendUtf8(out, *cp);
        } else {
            out += text[i++];
            continue;
        }
        i += semi + 2;
    }
    return out;
}

void XmppStreamScanner::append(std::string_view bytes) {
    if (broken() || ended_) return;
    // What has been read is kept by the state, never by the bytes: they can go.
    if (pos_ > 0 && pos_ >= buf_.size() / 2) {
        buf_.erase(0, pos_);
        pos_ = 0;
    }
    buf_.append(bytes);
}

std::optional<XmppStanza> XmppStreamScanner::next() {
    while (pos_ < buf_.size() && !broken() && !ended_) {
        if (step(buf_[pos_++])) {
            auto out = std::move(done_);
            done_.reset();
            return out;
        }
    }
    if (pos_ == buf_.size()) {
        buf_.clear();
        pos_ = 0;
    }
    return std::nullopt;
}

void XmppStreamScanner::clear() { *this = XmppStreamScanner{}; }

void XmppStreamScanner::reset_stanza() {
    stanza_ = XmppStanza{};
    in_body_ = false;
    dropped_ = false;
}

void XmppStreamScanner::add_body(std::string_view text) {
    if (dropped_) return;
    if (stanza_.body.size() + text.size() > kMaxBody) {
        dropped_ = true;
        stanza_.body.clear();
        return;
    }
    stanza_.body.append(text);
}

void XmppStreamScanner::flush_text() {
    if (!text_.empty()) add_body(XmlUnescape(text_));
    text_.clear();
}

// Only a stanza's own start tag has attributes worth keeping.
void XmppStreamScanner::begin_element() {
    if (depth_ == 1) {
        reset_stanza();
        if (name_.size() > kMaxName) dropped_ = true;
        stanza_.name = name_;
    }
}

void XmppStreamScanner::end_attribute() {
    if (depth_ != 1) return;
    std::string* to = attr_name_ == "id" ? &stanza_.id : attr_name_ == "type" ? &stanza_.type
                    : attr_name_ == "from" ? &stanza_.from : nullptr;
    if (!to) return;
    if (long_value_) {
        dropped_ = true;
        return;
    }
    *to = XmlUnescape(value_);
}

bool XmppStreamScanner::finish_start(bool empty) {
    state_ = State::Text;
    if (depth_ == 0) {
        opened_ = true;
        if (empty) ended_ = true;
        else depth_ = 1;
        return false;
    }
    if (depth_ == 1) {
        if (empty) {
            if (!dropped_) done_ = std::move(stanza_);
            reset_stanza();
            return done_.has_value();
        }
        depth_ = 2;
        return false;
    }
    if (depth_ == 2 && !empty && name_ == "body" && !stanza_.has_body) {
        stanza_.has_body = true;
        in_body_ = true;
    }
    if (!empty && ++depth_ > kMaxDepth) state_ = State::Broken;
    return false;
}

bool XmppStreamScanner::finish_end() {
    state_ = State::Text;
    if (depth_ == 0) {
        state_ = State::Broken;
        return false;
    }
    --depth_;
    if (depth_ == 0) {
        ended_ = true;
        return false;
    }
    if (depth_ == 2) in_body_ = false;
    if (depth_ == 1) {
        if (!dropped_) done_ = std::move(stanza_);
        reset_stanza();
        return done_.has_value();
    }
    return false;
}

bool XmppStreamScanner::step(char c) {
    switch (state_) {
        case State::Text:
            if (c == '<') {
                flush_text();
                state_ = State::Lt;
            } else if (in_body_ && depth_ == 3 && !dropped_) {
                text_ += c;
                if (text_.size() > kMaxBody) {
                    dropped_ = true;
                    text_.clear();
                }
            }
            return false;
        case State::Lt:
            name_.clear();
            if (c == '/') {
                state_ = State::EndName;
            } else if (c == '?') {
                tail_.clear();
                state_ = State::Pi;
            } else if (c == '!') {
                tail_.clear();
                state_ = State::Bang;
            } else if (IsNameByte(c)) {
                name_ += c;
                state_ = State::StartName;
            } else {
                state_ = State::Broken;
            }
            return false;
        case State::StartName:
            if (IsNameByte(c)) {
                if (name_.size() <= kMaxName) name_ += c;
                return false;
            }
            begin_element();
            if (IsSpace(c)) state_ = State::InTag;
            else if (c == '/') state_ = State::SelfClose;
            else if (c == '>') return finish_start(false);
            else state_ = State::Broken;
            return false;
        case State::InTag:
            if (IsSpace(c)) return false;
            if (c == '/') state_ = State::SelfClose;
            else if (c == '>') return finish_start(false);
            else if (IsNameByte(c)) {
                attr_name_.assign(1, c);
                state_ = State::AttrName;
            } else {
                state_ = State::Broken;
            }
            return false;
        case State::AttrName:
            if (IsNameByte(c)) {
                if (attr_name_.size() <= kMaxName) attr_name_ += c;
            } else if (IsSpace(c)) {
                state_ = State::AfterAttrName;
            } else if (c == '=') {
                state_ = State::BeforeValue;
            } else {
                state_ = State::Broken;
            }
            return false;
        case State::AfterAttrName:
            if (c == '=') state_ = State::BeforeValue;
            else if (!IsSpace(c)) state_ = State::Broken;
            return false;
        case State::BeforeValue:
            if (c == '\'' || c == '"') {
                quote_ = c;
                value_.clear();
                long_value_ = false;
                state_ = State::Value;
            } else if (!IsSpace(c)) {
                state_ = State::Broken;
            }
            return false;
        case State::Value:
            if (c == quote_) {
                end_attribute();
                state_ = State::InTag;
            } else if (c == '<') {
                state_ = State::Broken;
            } else if (depth_ == 1 && !long_value_) {
                value_ += c;
                if (value_.size() > kMaxValue) {
                    long_value_ = true;
                    value_.clear();
                }
            }
            return false;
        case State::SelfClose:
            if (c == '>') return finish_start(true);
            state_ = State::Broken;
            return false;
        case State::EndName:
            // End tags are not matched against their start: only the depth counts.
            if (c == '>') return finish_end();
            if (IsSpace(c)) state_ = State::AfterEndName;
            else if (!IsNameByte(c)) state_ = State::Broken;
            return false;
        case State::AfterEndName:
            if (c == '>') return finish_end();
            if (!IsSpace(c)) state_ = State::Broken;
            return false;
        case State::Bang: {
            // "<!--" opens a comment and "<![CDATA[" a section of plain text; nothing else may.
            tail_ += c;
            static constexpr std::string_view kComment = "--";
            static constexpr std::string_view kCData = "[CDATA[";
            if (tail_ == kComment) {
                tail_.clear();
                state_ = State::Comment;
            } else if (tail_ == kCData) {
                tail_.clear();
                state_ = State::CData;
            } else if (!kComment.starts_with(tail_) && !kCData.starts_with(tail_)) {
                state_ = State::Broken;
            }
            return false;
        }
        case State::Comment:
        case State::Pi:
        case State::CData: {
            const std::string_view end = state_ == State::Comment ? "-->" : state_ == State::Pi ? "?>" : "]]>";
            tail_ += c;
            if (tail_.size() > end.size()) tail_.erase(0, 1);
            if (state_ == State::CData && in_body_ && depth_ == 3) add_body(std::string_view(&c, 1));
            if (tail_ == end) {
                // The section's own "]]>" went into the body with its text.
                if (state_ == State::CData && in_body_ && depth_ == 3 && !dropped_)
                    stanza_.body.resize(stanza_.body.size() - end.size());
                tail_.clear();
                state_ = State::Text;
            }
            return false;
        }
        case State::Broken:
            return false;
    }
    return false;
}

}  // namespace tw
