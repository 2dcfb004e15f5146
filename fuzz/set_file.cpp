// The set file as the start reads it, then looked up through the index the load builds: the
// index must give the answer an entry-by-entry search gives, whatever names and set codes hold.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "cards/card_lookup.hpp"
#include "cards/set_file.hpp"
#include "program/tablewright.hpp"
#include "fuzz/program_fixture.hpp"
#include "platform/rt.hpp"

namespace {

struct Fixture : tw::fuzz::ProgramFixture {
    std::unique_ptr<tw::Tablewright> tw = std::make_unique<tw::Tablewright>(app);
};

void same_answer(tw::Tablewright& t, const std::string& set, const std::string& name) {
    const tw::Card indexed = tw::LookupCard(t, set, name);
    auto index = std::move(t.cards.CardDatabaseIndex);
    const tw::Card scanned = tw::LookupCard(t, set, name);
    t.cards.CardDatabaseIndex = std::move(index);
    if (!(indexed == scanned)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Fixture f;
    tw::Tablewright& t = *f.tw;
    const std::string text(reinterpret_cast<const char*>(data), size);
    int last = 0, calls = 0;
    t.cards.CardDatabase = tw::ParseSetFile(text, [&](int percent) {
        if (percent <= last || percent > 100 || ++calls > 100) std::abort();
        last = percent;
    });
    tw::IndexCardDatabase(t);
    const std::size_t probes = std::min<std::size_t>(t.cards.CardDatabase.size(), 16);
    for (std::size_t i = 0; i < probes; ++i) {
        const tw::Card c = t.cards.CardDatabase[i].card();
        same_answer(t, c.SetCode, c.Name);
        same_answer(t, rt::ucase(c.SetCode), rt::lcase(c.Name));
        same_answer(t, c.SetCode, c.Name + " ");
    }
    // Names that are in no entry, taken from the text itself.
    same_answer(t, "", text.substr(0, 40));
    same_answer(t, text.substr(0, 8), text.substr(std::min<std::size_t>(8, text.size()), 40));
    return 0;
}
