// The opponent's field commands and chat lines as a table carries them out, then clicks all over
// the chat box. Input: commands separated by line ends, each with its count ("mv~3~1:2|$|4").
// Whatever they say: the player's own cards stay exactly as they were, every card on the table
// has its four controls, every grid place holds a card that records it, no runtime error is
// reported, and a click in the chat box opens nothing but a web address or a bundled page.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cards/card_lookup.hpp"
#include "cards/set_file.hpp"
#include "cards/settings.hpp"
#include "cards/tablewright.hpp"
#include "duel/forma.hpp"
#include "fuzz/peer_commands.hpp"
#include "fuzz/program_fixture.hpp"
#include "net/dispatcher.hpp"
#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/reactor.hpp"
#include "platform/scripted_host.hpp"
#include "table/field.hpp"
#include "table/field_pictures.hpp"
#include "table/field_slots.hpp"

namespace {

// A few cards of every kind, one with ":" in its name.
constexpr const char* kSet =
    "1|Vellicor Drake|1|BWX|Drake|STONE|4||1500|800|It carries messages.|\r\n"
    "2|Jarrow Drake|2|BWX|Drake/Effect|STONE|8||2700|1600|It gains ATK.|\r\n"
    "3|Dovrak Automaton|3|BWX|Automaton/Fusion|STONE|8||2500|1600|Two joined.|\r\n"
    "4|Wexmoor's Compass|4|BWX|Magic Card|Magic||Field|||All monsters gain 300 ATK.|\r\n"
    "5|Corvath's Backlash|5|BWX|Trap Card|Trap||Continuous|||Once per turn.|\r\n"
    "6|Ash: Cinder|6|BWX|Wyrm|EMBER|4||1000|1000|Two in one.|\r\n";

// One program with its duel window loaded and the cards above in its database. Making one costs
// far more than a command, so it is kept across inputs and made anew now and then, so that what
// its desktop records does not grow without end.
struct Program : tw::fuzz::ProgramFixture {
    std::unique_ptr<tw::Tablewright> table = std::make_unique<tw::Tablewright>(app);

    Program() {
        tw::WriteSetting(*table, "username", "Ann");
        table->FormA();
        table->CardDatabase = tw::ParseSetFile(kSet);
        tw::IndexCardDatabase(*table);
    }
};

// An empty field, then two cards of the player's own in slots 1 and 2: one face up, one face
// down.
void Deal(tw::Tablewright& tw) {
    auto& duel = tw.FormA();
    for (int s = tw::kFirstFieldSlot; s <= tw::kLastFieldSlot; ++s)
        if (duel.cardstencil.exists(s)) tw::RemoveFieldCard(tw, static_cast<std::int16_t>(s));
    tw.FieldCards = rt::Array<tw::Card>(24);
    tw.FieldGrid.redim(3, 6);
    for (bool face_down : {false, true}) {
        tw::Card c = tw::LookupCard(tw, "BWX", face_down ? "Corvath's Backlash" : "Vellicor Drake");
        c.Flipped = face_down;
        std::int32_t owner = 0;
        if (tw::PutCardOnField(tw, c, owner) == 0) std::abort();
    }
}

// The player's own cards as they were dealt (a card the opponent gives the player joins them,
// which is no change to these).
std::string OwnCards(tw::Tablewright& tw) {
    auto& duel = tw.FormA();
    std::string out;
    for (int s = tw::kFirstFieldSlot; s <= 2; ++s) {
        if (!tw::SlotInUse(tw, s) || !tw::IsOwnCard(tw, tw.FieldCards[s])) {
            out += "gone\n";
            continue;
        }
        const tw::Card& c = tw.FieldCards[s];
        const auto& p = duel.cardstencil[s];
        out += std::to_string(s) + c.Name + "|" + c.SetCode + std::to_string(c.Flipped) + std::to_string(c.Horizontal) +
               std::to_string(c.Counters) + "|" + std::to_string(c.GridRow) + std::to_string(c.GridCol) + c.CurrentAtk +
               "/" + c.CurrentDef + std::to_string(p.left()) + std::to_string(p.top()) + std::to_string(p.width()) +
               duel.Label5[s].caption() + duel.Label4[s].caption() + std::to_string(duel.Shape1[s].border_color()) +
               "\n";
    }
    return out;
}

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) { return tw::fuzz::WithoutLeakChecks(argc, argv); }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::unique_ptr<Program> program;
    static int runs = 0;
    if (!program || ++runs % 200 == 0) {
        program.reset();
        program = std::make_unique<Program>();
    }
    auto& tw = *program->table;
    auto& duel = tw.FormA();
    auto& host = program->host;
    tw.PlayerNumber = 1;
    tw.MalformedNotedMs = -1;
    tw.OutOfStepNotedMs = -1;
    tw.ChatCardLinks.assign(1, std::string());
    duel.chat.set_text("");
    Deal(tw);
    tw.SentCommands.clear();
    const std::string own_before = OwnCards(tw);
    const std::size_t urls = host.urls().size();
    const std::size_t files = host.opened_files().size();
    const long failures = host.failure_count;

    tw::fuzz::RunPeerCommands(tw, program->clock, std::string_view(reinterpret_cast<const char*>(data), size));

    Check(host.failure_count == failures);
    Check(OwnCards(tw) == own_before);
    for (int s = tw::kFirstFieldSlot; s <= tw::kLastFieldSlot; ++s)
        if (tw::SlotInUse(tw, s)) Check(duel.Label4.exists(s) && duel.Label5.exists(s) && duel.Shape1.exists(s));
    for (int row = 0; row <= 3; ++row)
        for (int col = 0; col <= 6; ++col) {
            const int s = tw.FieldGrid(row, col);
            if (s < 1) continue;
            Check(s <= tw::kLastFieldSlot && tw::SlotInUse(tw, s));
            Check(tw.FieldCards[s].GridRow == row && tw.FieldCards[s].GridCol == col);
        }

    const int length = static_cast<int>(duel.chat.text().size());
    const int step = length / 64 + 1;
    for (int pos = 0; pos <= length; pos += step) duel.chat.user_click(pos);
    for (std::size_t i = urls; i < host.urls().size(); ++i) {
        std::string scheme = host.urls()[i].substr(0, 8);
        for (char& c : scheme) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        Check(scheme.rfind("http://", 0) == 0 || scheme == "https://");
    }
    for (std::size_t i = files; i < host.opened_files().size(); ++i)
        Check(host.opened_files()[i].string().rfind((tw.folder() / "site").string(), 0) == 0);
    return 0;
}
