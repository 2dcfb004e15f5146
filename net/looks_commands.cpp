// Looks at piles over the network: the table's own deck actions, the opponent asking for one of
// our piles (the deck only with the player's consent), and the opponent's pile arriving for the
// pile viewer. A pile list is "<" & set code & " " & name for each card, joined.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "cards/duel_log.hpp"
#include "cards/errors.hpp"
#include "cards/hax.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/received_commands.hpp"
#include "net/send_command.hpp"
#include "platform/app.hpp"
#include "platform/rt.hpp"
#include "table/pile_viewer.hpp"
#include "table/piles.hpp"

namespace tw {

namespace {

void Say(Tablewright& tw, const std::string& text) { AddChat(tw, tw.prefs.UserName + text, "Game", true); }

// The player's answer to the opponent's wish to see the deck.
bool DeckLookAllowed(Tablewright& tw) {
    tw.hax().hide();
    return tw.app.msg_box("Your Opponent wants to look at your deck. Pushing 'Yes' will show them your deck.",
                          platform::MsgButtons::YesNo, platform::MsgIcon::Question,
                          "Let Opponent View your deck?") == platform::MsgResult::Yes;
}

std::string PileListOf(const std::vector<const Card*>& entries) {
    std::string list;
    for (const Card* c : entries) list += "<" + c->SetCode + " " + c->Name;
    return list;
}

}  // namespace

bool DI_OK(Tablewright& tw, const std::string& args) {
    if (args == "viewxcards") tw.FormA().ViewXCards2();
    if (args == "searchdeck") OpenOwnLook(tw, kViewDeck, " is looking at their deck");
    if (args == "drawcard") DrawCard(tw, false);
    if (args == "showcard") DrawCard(tw, true);
    return true;
}

bool DI_PE(Tablewright& tw, const std::string& args) {
    std::int32_t cls = 0;
    SendCommand(tw, "ok~" + args, cls);
    if (args != "showcard" && args != "drawcard")
        AddChat(tw, "Opponent is about to look at their deck.", "Game", false);
    return true;
}

namespace {

// Sends the pile's list, or says that it is empty.
void AnswerLook(Tablewright& tw, const std::string& letter, std::int32_t& cls) {
    const bool deck = letter == "D";
    const bool graveyard = letter == "X";
    const bool removed = letter == "R";
    const rt::Array<Card>& pile = deck ? tw.piles.DeckCards : tw.piles.TrashCards;
    if (pile.ubound() == 0) {
        Say(tw, deck ? " has no cards in their Deck" : graveyard ? " has no cards in their Graveyard"
                                                                 : " has no cards in their RFG");
        return;
    }
    const std::string list = PileListOf(ShownEntries(
        tw, deck ? ShownPile::Deck : graveyard ? ShownPile::Graveyard : ShownPile::Removed));
    if (rt::trim(list).empty()) {
        Say(tw, deck ? " has no cards in their deck" : graveyard ? " has no cards in their Graveyard"
                                                                 : " has no cards in their RFG");
        return;
    }
    if (removed) {
        SendCommand(tw, "rr~" + list, cls);
        Say(tw, " is sending RFG Data");
    } else if (graveyard) {
        SendCommand(tw, "rg~" + list, cls);
        Say(tw, " is sending Graveyard Data");
    } else {
        SendCommand(tw, "rd~" + list, cls);
        Say(tw, " is sending Deck Data. (" + tw.prefs.UserName + ", Dont forget to shuffle your deck)");
    }
}

// The deck's owner is asked from the loop, not from inside the receiver: the opponent's other
// commands go on arriving while the player thinks, and a wish repeated meanwhile is seen, and
// gets no answer, while this one is still open.
void AskForDeckLook(Tablewright& tw) {
    tw.net.DeckLookAsked = true;
    std::weak_ptr<const bool> alive = tw.Alive;
    tw.app.reactor().post([&tw, alive] {
        if (alive.expired()) return;
        platform::App::Dispatch scope(tw.app);
        struct Done {
            Tablewright& tw;
            ~Done() { tw.net.DeckLookAsked = false; }
        } done{tw};
        auto error = rt::trap([&] {
            if (!DeckLookAllowed(tw)) {
                Say(tw, " will not let opponent look at deck.");
                return;
            }
            std::int32_t cls = 0;
            AnswerLook(tw, "D", cls);
        });
        if (error) ReportRuntimeError(tw, error->description, rt::cstr(error->number), "DetermineInfo");
    });
}

}  // namespace

bool DI_SG(Tablewright& tw, const std::string& args, std::int32_t& cls) {
    const std::string letter = rt::ucase(args);
    if (letter == "D") {
        // One question at a time: a wish repeated while the box is open gets no answer.
        if (tw.net.DeckLookAsked) return false;
        AskForDeckLook(tw);
        return true;
    }
    if (letter != "X" && letter != "R") return true;
    AnswerLook(tw, letter, cls);
    return true;
}

bool DI_RD(Tablewright& tw, const std::string& code, const std::string& args) {
    struct Answer {
        const char* code;
        const char* line;
        const char* mode;
        const char* caption;
    };
    static constexpr Answer kAnswers[] = {
        {"rd", " has received Opponents Deck Data and is Viewing Opponents Deck", kViewOppDeck,
         "Viewing Opponents Deck"},
        {"rg", " has received Graveyard Data and is Viewing Opponents Graveyard", kViewOppGraveyard,
         "Viewing Opponents Graveyard"},
        {"rr", " has received RFG Data and is Viewing RFG", kViewOppRemoved, "Viewing Opponents RFG"},
    };
    const Answer* answer = nullptr;
    for (const Answer& a : kAnswers)
        if (code == a.code) answer = &a;
    if (!answer) return false;

    Say(tw, answer->line);
    if (args.empty()) return false;
    tw.piles.PileViewMode = answer->mode;
    auto& viewer = tw.view();
    viewer.Label2.set_visible(true);
    // What belongs to a look at the own deck has nothing to do with the opponent's rows.
    for (platform::Control* c : std::initializer_list<platform::Control*>{
             &viewer.Check1, &viewer.Label4, &viewer.Command1, &viewer.Command2, &viewer.Label3})
        c->set_visible(false);
    const auto pieces = rt::split(args, "<");
    // The removed-from-game answer also brings an open viewer to the front.
    if (code == "rr" || !viewer.visible()) viewer.show(&tw.FormA());
    viewer.List2.clear();
    viewer.set_caption(answer->caption);
    for (int i = 0; i <= pieces.ubound(); ++i)
        if (!pieces[i].empty()) viewer.List2.add_item(pieces[i]);
    viewer.ShowRowCount();
    return true;
}

}  // namespace tw
