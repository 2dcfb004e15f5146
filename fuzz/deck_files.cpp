// Deck files as the deck editor reads them: the reader must take any bytes without a fault, and
// a deck it accepts, saved, must read back as the same deck.
//
// The input is a deck file's bytes; when it holds a NUL byte, the lines before it are the ban
// list in force (one "<digit>|<name>" entry a line) and the bytes after it the deck file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "deckeditor/deck_files.hpp"
#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/reactor.hpp"
#include "platform/scripted_host.hpp"

namespace {

struct Table {
    platform::FakeClock clock;
    platform::Reactor reactor{clock};
    platform::ScriptedHost host{reactor, clock};
    platform::App app{reactor, host};
    tw::Tablewright tw{app};
};

tw::Tablewright& table() {
    static Table* t = new Table;
    return t->tw;
}

std::vector<std::string> BanListOf(const std::string& text) {
    std::vector<std::string> list;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find('\n', from)) != std::string::npos; from = at + 1)
        list.push_back(text.substr(from, at - from));
    list.push_back(text.substr(from));
    list.push_back("");
    return list;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    tw::Tablewright& t = table();
    t.editor.BanList.assign(1, "");
    if (const std::size_t nul = input.find('\0'); nul != std::string::npos) {
        t.editor.BanList = BanListOf(input.substr(0, nul));
        input.erase(0, nul + 1);
    }

    const tw::DeckFileRead once = tw::ReadDeckText(t, tw::DecodeFileText(input));
    if (once.status != tw::DeckFileRead::Status::Loaded) {
        if (!once.lines.empty()) std::abort();  // a refused file gives no deck
        return 0;
    }
    const tw::DeckFileRead twice = tw::ReadDeckText(t, tw::DecodeFileText(tw::DeckFileText(once.lines)));
    if (twice.status != tw::DeckFileRead::Status::Loaded || twice.lines != once.lines) std::abort();
    return 0;
}
