// Looks at piles as the opponent sends them: pile lists ("rd~", "rg~", "rr~"), requests for our
// piles ("sg~") and wishes to be allowed an action ("pe~"), carried out by the dispatcher on a
// table with its duel window and cards of our own on the field. Input: commands with their
// counts, separated as peer_commands.hpp says. After each, every row the viewer shows is clicked,
// moved with every move and dropped on the hand and the table. Whatever came, the viewer lists
// exactly the pieces of the last list it was sent, and our piles and our own field cards stay as
// they were (a consent box is answered No by the desktop that answers everything OK); the
// opponent's cards may come and go.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cards/settings.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "fuzz/own_cards.hpp"
#include "fuzz/peer_commands.hpp"
#include "fuzz/program_fixture.hpp"
#include "net/dispatcher.hpp"
#include "platform/rt.hpp"
#include "table/pile_viewer.hpp"
#include "table/piles.hpp"

namespace {

struct Fixture : tw::fuzz::ProgramFixture {
    std::unique_ptr<tw::Tablewright> table = std::make_unique<tw::Tablewright>(app);
    Fixture() {
        tw::WriteSetting(*table, "username", "Ann");
        table->FormA();
        table->net.PlayerNumber = 1;
        tw::fuzz::LoadFuzzSet(*table);
        tw::fuzz::DealField(*table);
        own_field = tw::fuzz::OwnFieldCards(*table);
    }
    std::string own_field;  // as dealt
};

void Deal(tw::Tablewright& tw) {
    auto pile = [](std::initializer_list<const char*> names) {
        rt::Array<tw::Card> a(static_cast<int>(names.size()));
        int i = 0;
        for (const char* n : names) {
            a[++i].Name = n;
            a[i].SetCode = "S";
        }
        return a;
    };
    tw.piles.DeckCards = pile({"D1", "D2", "D3"});
    tw.piles.TrashCards = pile({"G1", "R1"});
    tw.piles.TrashCards[2].RemovedFromGame = true;
    tw.piles.ExtraDeckCards = pile({"X1"});
    tw.piles.ExtraDeckCards[1].Fusion = true;
    tw.piles.HandCards = pile({"H1"});
    auto& hand = tw.FormA().hand;
    hand.clear();
    hand.add_item("H1");
    tw.piles.DeckLoaded = true;
    tw::RecountDeck(tw);
}

std::vector<std::string> Piles(tw::Tablewright& tw) {
    std::vector<std::string> out;
    for (const rt::Array<tw::Card>* pile : {&tw.piles.DeckCards, &tw.piles.HandCards, &tw.piles.TrashCards, &tw.piles.ExtraDeckCards}) {
        out.push_back("|");
        for (int i = 0; i <= pile->ubound(); ++i)
            out.push_back((*pile)[i].Name + ((*pile)[i].RemovedFromGame ? "*" : ""));
    }
    for (const auto& item : tw.FormA().hand.items()) out.push_back("list:" + item);
    out.push_back(tw::fuzz::OwnFieldCards(tw));
    return out;
}

// Every row of the viewer clicked, moved and dropped, as far as a person could.
void HandleRows(tw::Tablewright& tw) {
    auto* v = tw.view.peek();
    if (!v) return;
    auto& duel = tw.FormA();
    const int rows = std::min(v->List2.list_count(), 4);
    for (int r = 0; r < rows; ++r) {
        v->List2.set_list_index(r);
        v->PutintoHand_Click();
        v->PutIntoPlay_Click();
        v->RemoveFromGame_Click();
        v->PutintoDeck_Click();
        v->Command1_Click();
        v->Command2_Click();
        platform::DataObject data;
        int allowed = 1;
        v->List2.OLEStartDrag(data, allowed);
        int effect = 1;
        duel.playsurface.OLEDragDrop(data, effect, 1, 1, 500, 500);
        duel.hand.OLEDragDrop(data, effect, 1, 0, 10, 10);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto* f = &tw::fuzz::Kept<Fixture>(2000);
    auto& tw = *f->table;
    tw.view.unload();
    tw.FormA().chat.set_text("");
    tw.net.SentCommands.clear();
    tw.net.MalformedNotedMs = -1;
    Deal(tw);
    tw::fuzz::RestoreField(tw, f->own_field);
    const auto before = Piles(tw);

    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> listed;  // the pieces of the last list the viewer took
    while (!input.empty()) {
        const std::string command = tw::fuzz::TakePeerCommand(input);
        std::string message = command;
        std::int32_t cls = 0;
        tw::DetermineInfo(tw, message, cls);
        f->reactor.pump(0);  // a consent box is asked from the loop

        // Carried out only with a count, which the dispatcher then takes off.
        const bool counted = message.size() < command.size();
        const std::string sent = command.substr(0, command.rfind("|$|"));
        const std::string code = rt::lcase(sent.substr(0, 2));
        if (counted && sent.find('~') == 2 && (code == "rd" || code == "rg" || code == "rr") && sent.size() > 3) {
            listed.clear();
            const auto pieces = rt::split(sent.substr(3), "<");
            for (int i = 0; i <= pieces.ubound(); ++i)
                if (!pieces[i].empty()) listed.push_back(pieces[i]);
            tw::fuzz::Require(tw.view.loaded() && tw.view().List2.items() == listed);
        }
        HandleRows(tw);
        f->clock.advance(250);
    }
    tw::fuzz::Require(Piles(tw) == before);
    return 0;
}
