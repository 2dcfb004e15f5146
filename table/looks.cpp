// The duel window's looks at piles and reveals: the player's own looks in the pile viewer, the
// requests to see the opponent's piles, the hand and single cards shown in the duel log, and the
// table's places where the piles lie with the drops of hand and viewer cards onto it.
#include <cstdint>
#include <string>

#include "cards/card.hpp"
#include "cards/duel_log.hpp"
#include "cards/errors.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/dispatcher.hpp"
#include "net/send_command.hpp"
#include "platform/rt.hpp"
#include "platform/tcp.hpp"
#include "table/field.hpp"
#include "table/field_mouse.hpp"
#include "table/hand.hpp"
#include "table/pile_viewer.hpp"
#include "table/piles.hpp"

namespace tw::win {

namespace {

// Button 10 marks a drop for the release of a field card: it snaps from further off.
constexpr int kDropButton = 10;
constexpr int kShiftAlone = 1;

void Say(Tablewright& tw, const std::string& text) { AddChat(tw, tw.prefs.UserName + text, "Game", true); }

// Looks taken while no opponent is there make the piles' state the player's own business.
void NoteOffline(FormA& duel, Tablewright& tw) {
    if (duel.Winsock1.state() != platform::TcpSocket::StateConnected) tw.piles.PlayedOffline = true;
}

// The opponent's seat answers with its own pile whichever player the request names: the seat
// travels only as the frame's tag.
void AskForLook(Tablewright& tw, const std::string& command, std::int32_t seat, const std::string& line) {
    std::int32_t cls = seat;
    SendCommand(tw, command, cls);
    AddChat(tw, line, "Game", true);
}

// A place of the table; every bound is strict, so a press on an edge opens nothing.
struct HotSpot {
    double left, right, top, bottom;
    bool holds(double x, double y) const { return x > left && x < right && y > top && y < bottom; }
};
constexpr HotSpot kOwnGraveyard{8190, 9300, 3675, 5160};
constexpr HotSpot kOpponentGraveyard{675, 1815, 1830, 3285};
constexpr HotSpot kDeck{8190, 9300, 5160, 6615};
constexpr HotSpot kExtraDeck{675, 1785, 5160, 6615};

}  // namespace

bool FormA::WireLooks() {
    struct Item {
        platform::Menu& item;
        void (FormA::*click)();
    };
    const Item items[] = {
        {searchdeck, &FormA::searchdeck_Click},
        {ViewXCards, &FormA::ViewXCards_Click},
        {SearchFusionDeck, &FormA::SearchFusionDeck_Click},
        {SearchTrash, &FormA::SearchTrash_Click},
        {SearchYourRFG, &FormA::SearchYourRFG_Click},
        {Player1GY, &FormA::Player1GY_Click},
        {Player2GY, &FormA::Player2GY_Click},
        {Player1RFG, &FormA::Player1RFG_Click},
        {Player2RFG, &FormA::Player2RFG_Click},
        {ViewOppDeck, &FormA::ViewOppDeck_Click},
        {ShowHand, &FormA::ShowHand_Click},
        {ShowHand2, &FormA::ShowHand2_Click},
        {showLastCard, &FormA::showLastCard_Click},
        {ShowTopCardOfDeck, &FormA::ShowTopCardOfDeck_Click},
        {ShowRandomCard, &FormA::ShowRandomCard_Click},
    };
    for (const Item& i : items) {
        auto click = i.click;
        i.item.Click = [this, click] { (this->*click)(); };
    }
    playsurface.OLEDragDrop = [this](platform::DataObject& data, int& effect, int b, int s, double x, double y) {
        playsurface_OLEDragDrop(data, effect, b, s, x, y);
    };
    return true;
}

// ---- Own looks ----

void FormA::searchdeck_Click() {
    Trapped("searchDeck_click", [&] {
        NoteOffline(*this, tw_);
        RunOwnCommand(tw_, "ok~searchdeck");
    });
}

void FormA::ViewXCards_Click() {
    NoteOffline(*this, tw_);
    RunOwnCommand(tw_, "ok~viewxcards");
}

void FormA::ViewXCards2() {
    // Counted afresh: a deck whose top entry holds no card has nothing to show.
    RecountDeck(tw_);
    const auto& deck = tw_.piles.DeckCards;
    if (deck.ubound() < 1 || !IsLiveEntry(deck[1])) {
        ShowMessage(tw_, "Either you need to draw your first card OR you are out of cards");
        return;
    }
    const std::int32_t remaining = tw_.piles.DeckRemaining;
    const std::string answer =
        tw_.app.input_box("How many do you want to see of the top of your deck?\r\nYou can pick between 1 and " +
                              rt::cstr(remaining),
                          "Tablewright " + tw_.VersionText, "5");
    if (answer.empty()) return;
    if (!IsNumber(answer)) {
        ShowMessage(tw_, "Numbers Only!");
        return;
    }
    const double wanted = rt::to_double(answer);
    if (wanted <= 0) return;
    if (wanted > remaining) {
        ShowMessage(tw_, "You can only view " + rt::cstr(remaining) + " Cards MAX");
        return;
    }
    tw_.piles.PileViewMode = "ViewTop " + answer;
    Say(tw_, " is viewing " + answer + " cards off the top of their Deck");
    auto& viewer = tw_.view();
    viewer.show(this);
    viewer.Form_Load();
}

void FormA::SearchFusionDeck_Click() {
    if (!tw_.piles.DeckLoaded) return;
    NoteOffline(*this, tw_);
    OpenOwnLook(tw_, kViewExtra, " is looking at their Extra Deck");
}

void FormA::SearchTrash_Click() {
    if (!tw_.piles.DeckLoaded) return;
    NoteOffline(*this, tw_);
    OpenOwnLook(tw_, kViewGraveyard, " is looking at their graveyard");
}

void FormA::SearchYourRFG_Click() {
    NoteOffline(*this, tw_);
    OpenOwnLook(tw_, kViewRemoved, " is looking at their Removed from Game");
}

// ---- Requests for the opponent's piles ----

void FormA::Player1GY_Click() {
    AskForLook(tw_, "sg~x", 1, tw_.prefs.UserName + " is requesting to look at " + tw_.net.PlayerNames[1] + "`s Graveyard");
}
void FormA::Player2GY_Click() {
    AskForLook(tw_, "sg~x", 2, tw_.prefs.UserName + " is requesting to look at " + tw_.net.PlayerNames[2] + "`s Graveyard");
}
void FormA::Player1RFG_Click() {
    AskForLook(tw_, "sg~R", 1,
               tw_.prefs.UserName + " is requesting to look at " + tw_.net.PlayerNames[1] + "`s Removed from game");
}
void FormA::Player2RFG_Click() {
    AskForLook(tw_, "sg~R", 2,
               tw_.prefs.UserName + " is requesting to look at " + tw_.net.PlayerNames[2] + "`s Removed from game");
}
void FormA::ViewOppDeck_Click() {
    AskForLook(tw_, "sg~D", 0, tw_.prefs.UserName + " is asking permission to look at opponents deck.");
}

// ---- Reveals ----

void FormA::ShowHand_Click() {
    const int n = hand.list_count();
    if (n == 0) {
        Say(tw_, " has no cards in their hand");
        return;
    }
    Say(tw_, " has the following cards in their hand:");
    // Three cards a line, each line without the ", " after its last card.
    std::string line;
    auto write = [&] {
        if (line.size() > 2) AddChat(tw_, line.substr(0, line.size() - 2), "Game", true);
        line.clear();
    };
    for (int item = 0; item < n && item + 1 <= tw_.piles.HandCards.ubound(); ++item) {
        line += CardMarkup(tw_.piles.HandCards[item + 1]) + ", ";
        if ((item + 1) % 3 == 0) write();
    }
    write();
}

void FormA::ShowHand2_Click() { ShowHand_Click(); }

void FormA::showLastCard_Click() {
    const Card& c = tw_.piles.LastDrawnCard;
    if (!IsLiveEntry(c)) {
        ShowMessage(tw_, "You have not drawn a card yet");
        return;
    }
    Say(tw_, "`s last drawn card is " + CardMarkup(c));
}

void FormA::ShowTopCardOfDeck_Click() {
    RecountDeck(tw_);
    const auto& deck = tw_.piles.DeckCards;
    if (deck.ubound() < 1 || !IsLiveEntry(deck[1])) {
        ShowMessage(tw_, "There are no cards left in the deck");
        return;
    }
    Say(tw_, " has " + CardMarkup(deck[1]) + " on top of their deck");
}

void FormA::ShowRandomCard_Click() {
    const int n = hand.list_count();
    if (n == 0) {
        ShowMessage(tw_, "You have no cards to randomly show");
        Say(tw_, " has no cards in their hand to Randomly show");
        return;
    }
    if (n == 1) {
        hand.set_list_index(0);
    } else {
        // 1 to n, n standing for the first item: each item equally likely.
        const std::int32_t r = RandomInt(tw_, 0, n);
        hand.set_list_index(r < n ? r : 0);
    }
    const int i = hand.list_index() + 1;
    if (i > tw_.piles.HandCards.ubound()) return;
    Say(tw_, " shows " + CardMarkup(tw_.piles.HandCards[i]) + " at random from their hand.");
}

// ---- The table ----

// The right button opens the table's own menu; the left button opens the pile lying under the
// pointer, worked out from where the pointer is on the screen.
void FormA::playsurface_MouseDown(int Button, int /*Shift*/, double /*X*/, double /*Y*/) {
    if (!tw_.piles.DeckLoaded) return;
    Trapped("playsurface_MouseDown", [&] {
        const platform::PointPx cursor = tw_.app.host().cursor_pos_px();
        const platform::PointTw surface = PlaySurfaceOnScreen(tw_);
        const auto screen = tw_.app.screen();
        const double x = rt::round_half_even(static_cast<double>(screen.twips_per_pixel_x) * cursor.x - surface.x);
        const double y = rt::round_half_even(static_cast<double>(screen.twips_per_pixel_y) * cursor.y - surface.y);
        if (Button == 1 && gameplay.enabled()) {
            if (kOwnGraveyard.holds(x, y)) SearchTrash_Click();
            if (kOpponentGraveyard.holds(x, y)) {
                if (Player1GY.enabled()) Player1GY_Click();
                if (Player2GY.enabled()) Player2GY_Click();
            }
            if (kDeck.holds(x, y)) drawcard_Click();
            if (kExtraDeck.holds(x, y)) SearchFusionDeck_Click();
        }
        if (Button == 2) popup_menu(PlayField);
    });
}

void FormA::playsurface_OLEDragDrop(platform::DataObject& Data, int& /*Effect*/, int /*Button*/, int Shift,
                                    double X, double Y) {
    const std::string text = Data.get_data(platform::DataObject::TextFormat);
    if (text.empty()) return;
    const std::string kind = DragTextKind(text);
    if (kind == kViewDrag) {
        // The viewer's own selected row goes into play, wherever it was dropped.
        tw_.view().PutIntoPlay_Click();
        return;
    }
    if (kind != kHandDrag) return;

    // Only a card that this drop puts on the table is moved to where it was dropped.
    tw_.field.SelectedSlot = -1;
    if (DragTextItem(text) == hand.text()) {
        if (Shift == kShiftAlone)
            putintoplayfacedown_Click();
        else
            PutIntoPlay_Click();
    }
    const int s = tw_.field.SelectedSlot;
    if (s < 1 || !cardstencil.exists(s)) return;
    cardstencil[s].move(X, Y);
    Shape1[s].move(X, Y);
    Label5[s].move(X, Y - kLabelAbovePicture);
    cardstencil_MouseUp(s, kDropButton, 0, X, Y);
}

}  // namespace tw::win
