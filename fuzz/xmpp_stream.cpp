// A chat server's stream as the scanner reads it. The first byte chooses how the stream is split
// into arrivals; whatever the split, the same stanzas come out, and what each keeps stays within
// its bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "net/xmpp_stream.hpp"

namespace {

std::string Key(const tw::XmppStanza& s) {
    if (s.name.size() > tw::XmppStreamScanner::kMaxName) std::abort();
    for (const std::string* v : {&s.id, &s.type, &s.from})
        if (v->size() > tw::XmppStreamScanner::kMaxValue * 4) std::abort();  // a reference grows to 4 bytes at most
    if (s.body.size() > tw::XmppStreamScanner::kMaxBody * 4) std::abort();
    if (!s.has_body && !s.body.empty()) std::abort();
    return s.name + '\0' + s.id + '\0' + s.type + '\0' + s.from + '\0' + (s.has_body ? "b" : "") + s.body;
}

std::vector<std::string> Scan(std::string_view stream, std::size_t step) {
    tw::XmppStreamScanner s;
    std::vector<std::string> out;
    for (std::size_t i = 0; i < stream.size(); i += step) {
        s.append(stream.substr(i, step));
        while (auto st = s.next()) out.push_back(Key(*st));
    }
    while (auto st = s.next()) out.push_back(Key(*st));
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t step = data[0] % 16 + 1;
    const std::string_view stream(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (Scan(stream, step) != Scan(stream, stream.size() + 1)) std::abort();
    (void)tw::XmlUnescape(stream);
    return 0;
}
