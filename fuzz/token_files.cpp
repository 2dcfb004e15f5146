// The token files the token editor writes and the duel window reads: the list of names, and the
// profile file of token cards looked up by name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "cards/card_lookup.hpp"
#include "program/tablewright.hpp"
#include "cards/token_files.hpp"
#include "fuzz/program_fixture.hpp"
#include "platform/files.hpp"

namespace {

struct Fixture : tw::fuzz::ProgramFixture {
    std::unique_ptr<tw::Tablewright> tw = std::make_unique<tw::Tablewright>(app);
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Fixture f;
    tw::Tablewright& t = *f.tw;
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const std::string& name : tw::ParseTokenList(text))
        if (name.find('\n') != std::string::npos) std::abort();
    const auto tokens = tw::ParseTokenFile(text);

    if (!platform::write_file_atomic(tw::TokenFilePath(t), text)) std::abort();
    std::size_t looked = 0;
    for (const tw::Card& token : tokens) {
        if (++looked > 8) break;
        const tw::Card found = tw::LoadTokenCard(t, "token", token.Name);
        if (found.Name != token.Name && found.Name != "bad card") std::abort();
    }
    if (auto read = tw::ReadTokenFile(t); !read || read->size() != tokens.size()) std::abort();
    return 0;
}
