// Writes the fuzzer's dictionary for the network targets from the command table, so that it
// names every code the dispatcher knows, and no code it has dropped:
//   fuzz_dictionary            the codes, each with its example, and the frame's marks
//   fuzz_dictionary xmpp       the same, the codes also as a server duel's body writes them
//                              (dotted decimal), and the words of a chat server's stream
#include <cstdio>
#include <set>
#include <string>
#include <string_view>

#include "cards/log_coding.hpp"
#include "net/dispatcher.hpp"
#include "net/duel_frame.hpp"
#include "net/xmpp_texts.hpp"
#include "relay/relay_frame.hpp"

namespace {

// One entry as the fuzzer reads it: in double quotes, with \, " and every byte outside the
// printable ones escaped as \xHH.
std::string Entry(std::string_view word) {
    std::string out = "\"";
    for (unsigned char c : word) {
        if (c == '\\' || c == '"' || c < 32 || c > 126) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

}  // namespace

int main(int argc, char** argv) {
    const bool xmpp = argc > 1 && std::string_view(argv[1]) == "xmpp";
    // Ordered and without repeats, so that the file is the same on every build.
    std::set<std::string> words = {std::string(tw::kFrameStart), std::string(tw::kFrameEnd), "|$|", "|$|-1",
                                   std::string(bh::kRelayFrameStart), std::string(bh::kRelayFrameEnd)};
    for (const tw::CommandRow& row : tw::CommandTable()) {
        const std::string code = std::string(row.code) + "~";
        words.insert(code);
        words.insert(code + std::string(row.example));
        if (xmpp) {
            words.insert(tw::ToDottedDecimal(code));
            words.insert(tw::ToDottedDecimal(code + std::string(row.example)));
        }
    }
    if (xmpp) {
        for (std::string_view w :
             {"<message", "</message>", "<body>", "</body>", "<iq", "</iq>", "from='", "to='", "id='", "type='",
              "type='error'", "type='result'", "type='chat'", "<error", "<stream:stream", "</stream:stream>",
              "<?xml", "<!DOCTYPE", "<![CDATA[", "]]>", "<!--", "-->", "&amp;", "&lt;", "&gt;", "&apos;", "&quot;",
              "&#", "&#x", ".plimvale@", "/>"})
            words.insert(std::string(w));
        for (std::string_view id : {tw::kDuelLoginId, tw::kVerificationLoginId, tw::kRegistrationId})
            words.insert("id='" + std::string(id) + "'");
    }
    int n = 0;
    for (const std::string& w : words) std::printf("w%d=%s\n", ++n, Entry(w).c_str());
    return 0;
}
