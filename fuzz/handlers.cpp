// The opponent's field commands and chat lines as a table carries them out, then a click on every
// reference and link of the chat box. Input: commands with their counts ("mv~3~1:2|$|4"), separated as
// peer_commands.hpp says. Whatever they say: the player's own cards stay exactly as they were,
// every card on the table has its four controls, every grid place holds a card that records it,
// no runtime error is reported, and a click in the chat box opens nothing but a web address or a
// bundled page.
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
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "fuzz/own_cards.hpp"
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

// One program with its duel window loaded, the fuzz set in its database and the player's own
// cards on the field, kept across inputs.
struct Program : tw::fuzz::ProgramFixture {
    std::unique_ptr<tw::Tablewright> table = std::make_unique<tw::Tablewright>(app);

    Program() {
        tw::WriteSetting(*table, "username", "Ann");
        table->FormA();
        tw::fuzz::LoadFuzzSet(*table);
        table->net.PlayerNumber = 1;  // whose cards are whose
        tw::fuzz::DealPiles(*table);
        tw::fuzz::DealField(*table);
        own_field = tw::fuzz::OwnFieldCards(*table);
    }
    std::string own_field;  // as dealt
};

// One click on every reference and link the chat box shows: only underlined text opens
// anything, and a click opens the run of one colour that the caret touches, within its line, so
// a click just inside each underlined run, and just after each line break within one, reaches
// every run that can open.
std::vector<int> ClickPlaces(const platform::RichTextBox& box) {
    std::vector<int> out;
    const std::string& text = box.text();
    for (const auto& run : box.runs()) {
        if (!run.fmt.underline) continue;
        out.push_back(run.start + 1);
        for (int at = run.start; at < run.start + run.length; ++at)
            if (text[static_cast<std::size_t>(at)] == '\n') out.push_back(at + 2);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) { return tw::fuzz::WithoutLeakChecks(argc, argv); }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto& program = tw::fuzz::Kept<Program>(2000);
    auto& tw = *program.table;
    auto& duel = tw.FormA();
    auto& host = program.host;
    tw.net.PlayerNumber = 1;
    tw.net.MalformedNotedMs = -1;
    tw.net.OutOfStepNotedMs = -1;
    tw.log.ChatCardLinks.assign(1, std::string());
    duel.chat.set_text("");
    tw::fuzz::RestoreField(tw, program.own_field);
    tw.net.SentCommands.clear();
    const std::string own_before = tw::fuzz::OwnFieldCards(tw);
    const std::size_t urls = host.urls().size();
    const std::size_t files = host.opened_files().size();
    const long failures = host.failure_count;

    tw::fuzz::RunPeerCommands(tw, program.clock, std::string_view(reinterpret_cast<const char*>(data), size));

    tw::fuzz::Require(host.failure_count == failures);
    tw::fuzz::Require(tw::fuzz::OwnFieldCards(tw) == own_before);
    for (int s = tw::kFirstFieldSlot; s <= tw::kLastFieldSlot; ++s)
        if (tw::SlotInUse(tw, s)) tw::fuzz::Require(duel.Label4.exists(s) && duel.Label5.exists(s) && duel.Shape1.exists(s));
    for (int row = 0; row <= 3; ++row)
        for (int col = 0; col <= 6; ++col) {
            const int s = tw.field.FieldGrid(row, col);
            if (s < 1) continue;
            tw::fuzz::Require(s <= tw::kLastFieldSlot && tw::SlotInUse(tw, s));
            tw::fuzz::Require(tw.field.FieldCards[s].GridRow == row && tw.field.FieldCards[s].GridCol == col);
        }

    for (int pos : ClickPlaces(duel.chat)) duel.chat.user_click(pos);
    for (std::size_t i = urls; i < host.urls().size(); ++i) {
        std::string scheme = host.urls()[i].substr(0, 8);
        for (char& c : scheme) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        tw::fuzz::Require(scheme.rfind("http://", 0) == 0 || scheme == "https://");
    }
    for (std::size_t i = files; i < host.opened_files().size(); ++i)
        tw::fuzz::Require(host.opened_files()[i].string().rfind((tw.folder() / "site").string(), 0) == 0);
    return 0;
}
