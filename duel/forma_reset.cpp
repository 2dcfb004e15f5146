// Reset ends the duel and its connection and goes back to the deck editor for a new deck; soft
// reset keeps the connection and goes back for side-deck changes only.
#include <string>

#include "cards/duel_log.hpp"
#include "cards/game_log.hpp"
#include "cards/hax.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "deckeditor/deckmaker.hpp"
#include "duel/forma.hpp"
#include "net/connection.hpp"
#include "net/receiver.hpp"
#include "net/send_command.hpp"
#include "platform/rt.hpp"
#include "platform/tcp.hpp"
#include "table/field_pictures.hpp"
#include "table/piles.hpp"

namespace tw::win {

namespace {

constexpr platform::Color kWhite = 16777215;
constexpr int kLastSlot = 24;

template <class F>
void Step(F&& fn) {
    rt::try_step(std::forward<F>(fn));
}

// The deck editor's controls that a soft reset locks: everything that searches, chooses a set
// or a list, or opens and saves files. Taking the deck to the duel stays possible.
std::vector<platform::Control*> SearchAndSetControls(DeckMaker& dm) {
    return {&dm.File1,       &dm.Grid,      &dm.Command1,  &dm.Command2,   &dm.Command3,
            &dm.Command4,    &dm.Command6,  &dm.Command7,  &dm.Command8,   &dm.Combo1,
            &dm.NameContains, &dm.AtkSearch, &dm.DefSearch, &dm.LevelSearch, &dm.TypeIcon,
            &dm.Combo2,      &dm.Combo3,    &dm.Combo4,    &dm.Combo5,     &dm.Command11,
            &dm.Attrib,      &dm.typebox,   &dm.TrapType,  &dm.SpellType,  &dm.DescContains};
}

void EmptyPiles(Tablewright& tw) {
    tw.piles.HandCards.redim(0);
    tw.piles.TrashCards.redim(0);
    tw.piles.DeckCards.redim(60);
    tw.field.FieldGrid.redim(3, 6);
}

}  // namespace

bool FormA::WireResets() {
    ResetGame.Click = [this] { ResetGame_Click(); };
    SoftReset.Click = [this] { SoftReset_Click(); };
    return true;
}

void FormA::ClearCardPanel() {
    Step([&] {
        selectedcard.set_text("");
        selectedcard.set_back_color(kWhite);
    });
    Step([&] {
        lblName.set_caption("");
        lblStats.set_caption("");
        lblDesc.set_caption("");
    });
    Step([&] { Image1.set_visible(false); });
    Step([&] { Combo1.clear(); });
    Step([&] {
        Label32.set_visible(false);
        Label8.set_visible(false);
        Combo1.set_visible(false);
    });
}

void FormA::HideTemplateSlot() {
    Step([&] { Label5[0].set_visible(false); });
    Step([&] { Label4[0].set_visible(false); });
    Step([&] { Shape1[0].set_visible(false); });
    Step([&] { cardstencil[0].set_picture(nullptr); });
    Step([&] { cardstencil[0].set_visible(false); });
}

void FormA::ResetGame_Click() {
    rt::try_step([&] { tw_.hax().hide(); });
    const bool connected = Winsock1.state() == platform::TcpSocket::StateConnected;
    const auto answer =
        connected ? tw_.app.msg_box("You are currently playing a game, resetting will disconnect you, Do you want to reset?",
                                    platform::MsgButtons::YesNo, platform::MsgIcon::None,
                                    "Tablewright " + tw_.VersionText)
                  : tw_.app.msg_box("Are you sure you want to reset?", platform::MsgButtons::YesNo,
                                    platform::MsgIcon::None, "Tablewright");
    if (answer != platform::MsgResult::Yes) return;

    // The duel's own file gets its last lines before the name changes; the closing lines below
    // go into the new log file, and logging stops only further down.
    rt::try_step([&] { SaveLogNow(tw_); });
    tw_.log.LogFileName = NewLogFileName(tw_);
    if (tw_.piles.PileViewerVisible()) tw_.piles.ClosePileViewer();
    ChatCommands.set_enabled(true);
    connect2.set_enabled(true);
    Listenwindow2.set_enabled(true);
    tw_.net.HackLevel = 0;
    tw_.net.SentCount = 0;
    tw_.net.GarbledCount = 0;
    tw_.net.ReceivedCount = 0;
    IdleListenPanel(tw_);
    AddChat(tw_, tw_.prefs.UserName + " stopped waiting for a connection", "Game", true);
    hack.set_caption("");
    tw_.log.ChatCardLinks.assign(1, std::string());
    AddChat(tw_, "Disconnected", "Game", true);
    Winsock1.close();
    tw_.duel.MyLP = 8000;
    tw_.duel.OppLP = 8000;
    Text1.set_caption("8000");
    Text2.set_caption("8000");
    tw_.piles.DrawnCount = 0;
    ResetFrameNumbers(tw_);
    tw_.piles.ExtraDeckCards.redim(0);

    for (int slot = 1; slot <= kLastSlot; ++slot) {
        Step([&] { cardstencil.unload(slot); });
        Step([&] { Label4.unload(slot); });
        Step([&] { Label5.unload(slot); });
        Step([&] { Shape1.unload(slot); });
    }
    Step([&] { EmptyPiles(tw_); });
    // The next opponent may never send counts: the last one's must not stand for theirs.
    Step([&] {
        for (int row = 1; row <= 5; ++row) Stats.set_text_matrix(row, 2, "");
    });
    Step([&] { Winsock1.close(); });
    HideTemplateSlot();
    tw_.net.ServerDuel = false;
    tw_.piles.PlayedOffline = false;
    tw_.piles.DeckLoaded = false;
    rt::try_step([&] { SaveLogNow(tw_); });
    tw_.log.LoggingOn = false;
    tw_.log.DuelLogCut.clear();
    tw_.log.DuelLogKept.clear();
    ClearCardPanel();
    tw_.net.PlayerNumber = 0;
    Step([&] { gameplay.set_enabled(false); });
    Step([&] { HP.set_enabled(false); });
    Step([&] { hand.clear(); });
    Step([&] { chat.set_text(""); });
    Step([&] { AddChat(tw_, "Game Reset!", "Game", false); });

    Step([&] {
        DeckMaker& dm = tw_.DeckMaker();
        for (platform::Control* c : SearchAndSetControls(dm)) Step([&] { c->set_enabled(true); });
        Step([&] { dm.Command5.set_enabled(true); });
        Step([&] { dm.set_caption("Deck Shop"); });
        Step([&] { dm.Label4.set_caption("Tablewright " + tw_.VersionText); });
    });
    Step([&] {
        Command2.set_enabled(true);
        Command3.set_enabled(true);
        Check1.set_enabled(true);
    });
    Step([&] { hide(); });
    Step([&] { tw_.DeckMaker().show(); });
}

void FormA::SoftReset_Click() {
    Step([&] { tw_.hax().hide(); });
    const auto answer = tw_.app.msg_box(
        "Do you want to soft reset?\r\n"
        "Your deck/hand/graveyard/RFG will all be put back into your deck.\r\n"
        "You`ll be taken to the Deck Maker Window where you may add in Side Deck cards.\r\n"
        "You`ll remain connected to your opponent.\r\n"
        "The Deck Maker will allow you to add in cards from your Side Deck, Everything else is locked\r\n"
        "If you are doing this for a GLOAMWICK effect, Use the 'movement' options under 'gameplay' menua instead",
        platform::MsgButtons::YesNo, platform::MsgIcon::None, "Tablewright");
    if (answer != platform::MsgResult::Yes) return;

    if (tw_.piles.PileViewerVisible()) Step([&] { tw_.piles.ClosePileViewer(); });
    Step([&] { hide(); });
    Step([&] {
        ChatCommands.set_enabled(true);
        connect2.set_enabled(true);
        Listenwindow2.set_enabled(true);
    });
    tw_.log.ChatCardLinks.assign(1, std::string());
    tw_.piles.DrawnCount = 0;
    Step([&] { tw_.piles.ExtraDeckCards.redim(0); });
    Step([&] { hack.set_caption(""); });
    Step([&] {
        tw_.piles.HandCards.redim(0);
        tw_.piles.DeckCards.redim(60);
    });
    // The running counts stay: the peer's table goes on counting this connection's commands,
    // and counts set back on one side only would show the honest player as tampering.
    tw_.net.HackLevel = 0;
    Step([&] { tw_.field.FieldGrid.redim(3, 6); });
    tw_.duel.MyLP = 8000;
    Step([&] {
        std::int32_t cls = 0;
        SendCommand(tw_, "nl~" + rt::cstr(tw_.duel.MyLP), cls);
    });
    Step([&] { AddChat(tw_, tw_.prefs.UserName + " is now at 8000 LP)", "Game", true); });
    Step([&] { Text1.set_caption("8000"); });
    Step([&] { tw_.piles.TrashCards.redim(0); });
    HideTemplateSlot();
    ClearCardPanel();
    Step([&] { hand.clear(); });
    Step([&] { SaveLogNow(tw_); });
    // The duel goes on, and so does its game log: what the box showed stays part of it.
    Step([&] { CutChatBoxStart(tw_, chat, rt::len(chat.text()) + 1); });
    Step([&] { AddChat(tw_, tw_.prefs.UserName + "`s Game was Soft Reset!", "Game", true); });

    Step([&] {
        DeckMaker& dm = tw_.DeckMaker();
        for (platform::Control* c : SearchAndSetControls(dm)) Step([&] { c->set_enabled(false); });
        Step([&] { dm.set_caption("Deck Shop (Search/Set Options Locked)"); });
        Step([&] { dm.Label4.set_caption("Tablewright " + tw_.VersionText + " (Search/Set Options Locked)"); });
        Step([&] { dm.show(); });
    });
    for (int slot = 1; slot <= kLastSlot; ++slot)
        Step([&] { RemoveFieldCard(tw_, static_cast<std::int16_t>(slot)); });
    Step([&] { ShuffleDeck(tw_); });
    Step([&] { AddChat(tw_, tw_.prefs.UserName + " has shuffled their deck", "Game", true); });
}

}  // namespace tw::win
