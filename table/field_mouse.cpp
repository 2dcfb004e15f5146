#include "table/field_mouse.hpp"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "cards/card.hpp"
#include "cards/card_info.hpp"
#include "cards/duel_log.hpp"
#include "program/tablewright.hpp"
#include "cards/tip.hpp"
#include "duel/forma.hpp"
#include "net/send_command.hpp"
#include "platform/host.hpp"
#include "platform/rt.hpp"
#include "table/field.hpp"
#include "table/field_slots.hpp"

namespace tw {

namespace {

// Each player's own rows are tried first, so that a wide snap prefers them.
constexpr std::array<double, 4> kRowTopsSeat2First = {505, 1990, 3825, 5340};
constexpr std::array<double, 4> kRowTopsOthersFirst = {5340, 3825, 1990, 505};
constexpr std::array<double, 7> kColumnLefts = {810, 2070, 3330, 4590, 5850, 7110, 8370};
// A card is kept on the table: its picture's top-left corner within these.
constexpr double kMaxLeft = 9000;
constexpr double kMaxTop = 5445;
// A card dropped from the hand lands where the pointer let go, so it may snap from further off.
constexpr int kDropButton = 10;
constexpr double kDropTolerance = 1000;
constexpr double kDragTolerance = 300;
// Dragged out over the table's left edge near its bottom, a card goes back to the hand.
constexpr double kHandLeft = -620;
constexpr double kHandTop = 5700;
constexpr int kAttackTargets = 5;

// The first mark within reach (the difference rounded half to even) becomes the position;
// none in reach leaves it.
template <class Marks>
double Snap(double position, const Marks& marks, double tolerance) {
    for (const double mark : marks) {
        const double difference = rt::round_half_even(mark - position);
        if (difference >= -tolerance && difference <= tolerance) return mark;
    }
    return position;
}

void Send(Tablewright& tw, const std::string& command) {
    std::int16_t tag = 0;
    SendCommand(tw, command, tag);
}

// The opponent's monsters in slot order, at most five, as the attack items.
void FillAttackTargets(Tablewright& tw) {
    auto& duel = tw.FormA();
    int n = 0;
    for (int s = kFirstFieldSlot; s <= duel.cardstencil.ubound() && n < kAttackTargets; ++s) {
        if (!duel.cardstencil.exists(s) || s > tw.field.FieldCards.ubound()) continue;
        const Card& target = tw.field.FieldCards[s];
        if (!IsMonster(target) || IsOwnCard(tw, target)) continue;
        duel.Slot1[n].set_caption(target.Flipped ? kFaceDownCard : target.Name);
        duel.Slot1[n].set_visible(true);
        ++n;
    }
}

// Input from the player that goes into a command: these would cut the peer's fields or frame.
std::string WithoutFieldMarks(std::string text) {
    for (const char* mark : {":", "~", "|", "^"}) text = rt::replace_all(text, mark, "");
    return text;
}

}  // namespace

void PrepareCardInPlay(Tablewright& tw, int slot) {
    auto& d = tw.FormA();
    const Card& c = tw.field.FieldCards[slot];

    for (int i = 0; i < kAttackTargets; ++i) d.Slot1[i].set_visible(false);
    for (int i = 0; i < kAttackTargets; ++i) d.Slot1[i].set_caption("");
    for (platform::Menu* m : {&d.field2deck, &d.AttackMenu, &d.RemoveCounter, &d.AddCounter, &d.putintrash,
                              &d.ReturnToHand2})
        m->set_visible(false);
    d.ReturnToHand2.set_caption("Return to Hand");
    d.FlipCardOver.set_visible(false);
    tw.errors.LineMarker = "200B";
    d.RemoveFromGameFromPlay.set_visible(false);
    d.RemoveFromGameFromPlay.set_caption("Remove from Game (RFG)");
    d.TurnCardHorizontal.set_visible(false);
    d.GiveToPlayer1.set_enabled(false);
    d.GiveToPlayer2.set_enabled(false);
    d.flipNturn.set_visible(false);

    const bool monster = IsMonster(c);
    const bool own = IsOwnCard(tw, c);
    const bool face_up = !c.Flipped;

    if (monster && c.Flipped && c.Horizontal) {
        d.flipNturn.set_caption("Flip To Face Up Attack");
        d.flipNturn.set_visible(true);
    } else if (monster && face_up && !c.Horizontal) {
        d.flipNturn.set_caption("Flip To Face Down Defense");
        d.flipNturn.set_visible(true);
    }
    if (tw.net.PlayerNumber == 0) {
        d.ChangeOwnership.set_visible(false);
    } else {
        d.ChangeOwnership.set_visible(true);
        platform::Menu& give = tw.net.PlayerNumber == 1 ? d.GiveToPlayer2 : d.GiveToPlayer1;
        give.set_visible(true);
        give.set_enabled(true);
        give.set_caption("Give to Opponent");
    }
    if (own && face_up && monster) {
        d.AttackMenu.set_visible(true);
        tw.errors.LineMarker = "248B";
        FillAttackTargets(tw);
        d.AttackLP.set_caption("Opponents`s LP");
    }
    d.field2deck.set_visible(true);
    if (c.Fusion) {
        d.ReturnToHand2.set_caption("Return to Extra Deck");
        d.field2deck.set_visible(false);
    }
    if (own) {
        d.FlipCardOver.set_visible(true);
        d.TurnCardHorizontal.set_visible(true);
        d.RemoveFromGameFromPlay.set_visible(true);
        tw.errors.LineMarker = "275B";
        d.putintrash.set_visible(true);
        d.ChangeOwnership.set_visible(true);
        d.ReturnToHand2.set_visible(true);
    }
    if (own && face_up) {
        if (c.Counters > 0) d.RemoveCounter.set_visible(true);
        d.AddCounter.set_visible(true);
    }
    if (own && face_up && IsToken(c)) {
        d.RemoveFromGameFromPlay.set_caption("Destroy Token");
        for (platform::Menu* m : {&d.field2deck, &d.putintrash, &d.ReturnToHand2, &d.FlipCardOver})
            m->set_visible(false);
        tw.errors.LineMarker = "200B";
        d.ChangeOwnership.set_visible(false);
        d.flipNturn.set_visible(false);
    }
}

platform::PointTw PlaySurfaceOnScreen(Tablewright& tw) {
    auto& duel = tw.FormA();
    const auto& surface = duel.playsurface;
    if (const auto shown = tw.app.host().screen_origin_px(surface)) {
        const auto screen = tw.app.screen();
        return {static_cast<double>(screen.twips_per_pixel_x) * shown->x,
                static_cast<double>(screen.twips_per_pixel_y) * shown->y};
    }
    return {duel.left() + surface.left(), duel.top() + surface.top()};
}

}  // namespace tw

namespace tw::win {

void FormA::cardstencil_MouseDown(int Index, int Button, int /*Shift*/, double X, double Y) {
    if (Index < 0 || Index > tw_.field.FieldCards.ubound()) return;
    // The card menu's actions run inside the press; one that fails must not end the program.
    Trapped("cardstencil_MouseDown", [&] {
        tw_.field.SelectedSlot = static_cast<std::int16_t>(Index);
        const Card& card = tw_.field.FieldCards[Index];
        if (IsOwnCard(tw_, card)) {
            GrabX = rt::cint16(X);
            GrabY = rt::cint16(Y);
            RefusedDragSlot = -1;
            if (cardstencil.exists(Index)) DragFrom = {cardstencil[Index].left(), cardstencil[Index].top()};
        }
        if (!Label5.exists(Index)) return;
        auto& label = Label5[Index];
        if (card.Flipped) {
            label.set_caption(kFaceDownCard);
            label.set_enabled(false);
        } else {
            label.set_enabled(true);
            label.set_caption(card.Name);
        }
        tw_.errors.LineMarker = "171B";
        if (Index < 1 || !cardstencil.exists(Index)) return;
        cardstencil[Index].bring_to_front();
        // Turned face up by the opponent, but its name has not come yet: ask for it.
        if (card.Name == kFaceDownCard && !card.Flipped) Send(tw_, "si~" + rt::cstr(Index));
        if (!Label4.exists(Index)) return;
        Label4[Index].bring_to_front();
        Label5[Index].bring_to_front();
        if (Button != 2) return;
        PrepareCardInPlay(tw_, Index);
        popup_menu(CardInPlay);
    });
}

void FormA::cardstencil_MouseMove(int Index, int Button, int /*Shift*/, double X, double Y) {
    Trapped("cardstencil_MouseMove", [&] {
        tw_.field.SelectedSlot = static_cast<std::int16_t>(Index);
        const Card& card = tw_.field.FieldCards[Index];
        auto& picture = cardstencil[Index];

        // The text area of an upright card: its text in the hover window.
        if (X > 45 && X < 735 && Y > 915 && Y < 1110 && !card.Flipped) {
            auto& tip = tw_.Tip();
            if (!tip.visible()) tip.show();
            if (rt::instr(tip.Label1.caption(), card.Desc) == 0) tip.Label1.set_caption(card.Desc + "     \r\n");
            tip.move(picture.left() + left() + 2500, picture.top() + top() + 2000);
        } else if (auto* tip = tw_.Tip.peek()) {
            tip->hide();
        }

        if (Button != 1) return;
        ShowCardInfo(tw_, card, selectedcard);
        if (!IsOwnCard(tw_, card) || Index == RefusedDragSlot) return;

        const platform::PointPx cursor = tw_.app.host().cursor_pos_px();
        const platform::PointTw surface = PlaySurfaceOnScreen(tw_);
        const auto screen = tw_.app.screen();
        picture.set_left(static_cast<double>(screen.twips_per_pixel_x) * cursor.x - surface.x - GrabX);
        picture.set_top(static_cast<double>(screen.twips_per_pixel_y) * cursor.y - surface.y - GrabY);
        tw_.errors.LineMarker = "323B";

        if (picture.left() <= kHandLeft && picture.top() >= kHandTop) {
            const std::string name = card.Name;
            ReturnToHand2_Click();
            // Refused (a token): as any refused drop, the card goes back to where the drag took
            // it from, and this drag is over. The peer never saw it move. The box that said no
            // may have let a received command take the slot meanwhile.
            if (!SlotInUse(tw_, Index) || tw_.field.FieldCards[Index].Name != name) return;
            RefusedDragSlot = Index;
            cardstencil[Index].move(DragFrom.x, DragFrom.y);
            FollowPicture(tw_, Index);
            return;
        }
        FollowPicture(tw_, Index);
        Label4[Index].bring_to_front();
        Label5[Index].bring_to_front();
    });
}

void FormA::cardstencil_MouseUp(int Index, int Button, int /*Shift*/, double /*X*/, double /*Y*/) {
    Trapped("cardstencil_MouseUp", [&] {
        tw_.field.SelectedSlot = -1;
        auto& picture = cardstencil[Index];
        if (picture.left() < 0) picture.set_left(0);
        if (picture.top() < 0) picture.set_top(0);
        if (picture.top() > kMaxTop) picture.set_top(kMaxTop);
        if (picture.left() > kMaxLeft) picture.set_left(kMaxLeft);
        Label4[Index].bring_to_front();
        Label5[Index].bring_to_front();

        tw_.errors.LineMarker = "375B";
        const double tolerance = Button == kDropButton ? kDropTolerance : kDragTolerance;
        picture.set_top(Snap(picture.top(), tw_.net.PlayerNumber == 2 ? kRowTopsSeat2First : kRowTopsOthersFirst,
                             tolerance));
        tw_.errors.LineMarker = "401B";
        picture.set_left(Snap(picture.left(), kColumnLefts, tolerance));

        FollowPicture(tw_, Index);
        tw_.errors.LineMarker = "425B";
        Send(tw_, "mv~" + rt::cstr(Index) + "~" + TwipsText(picture.left()) + ":" + TwipsText(picture.top()));
    });
}

void FormA::Label5_MouseMove(int Index, int /*Button*/, int /*Shift*/, double /*X*/, double /*Y*/) {
    if (Index < 0 || Index > tw_.field.FieldCards.ubound() || !Label5.exists(Index)) return;
    Label5[Index].set_tool_tip_text(tw_.field.FieldCards[Index].Name);
}

void FormA::Label5_MouseDown(int Index, int Button, int /*Shift*/, double /*X*/, double /*Y*/) {
    Trapped("AtkDef_Change", [&] {
        Card& card = tw_.field.FieldCards[Index];
        if (!IsMonster(card)) return;
        if (card.CurrentAtk.empty()) card.CurrentAtk = card.Atk;
        if (card.CurrentDef.empty()) card.CurrentDef = card.Def;
        auto& label = Label5[Index];
        if (Button == 1)
            label.set_caption(label.caption() != card.Name ? card.Name
                                                            : card.CurrentAtk + "/" + card.CurrentDef);
        if (Button != 2 || !IsOwnCard(tw_, card)) return;

        // A received command may take the card away or hand it over while a box is open.
        const std::string name = card.Name;
        auto still_own = [&] {
            return SlotInUse(tw_, Index) && Label5.exists(Index) && tw_.field.FieldCards[Index].Name == name &&
                   IsOwnCard(tw_, tw_.field.FieldCards[Index]);
        };
        const std::string atk = WithoutFieldMarks(
            tw_.app.input_box("Enter a new attack value.", "Modify Attack Value", card.CurrentAtk));
        if (!still_own()) return;
        const std::string def = WithoutFieldMarks(tw_.app.input_box(
            "Enter a new defense value.", "Modify Defense Value", tw_.field.FieldCards[Index].CurrentDef));
        if (!still_own()) return;
        // Cancel (or nothing typed) keeps a value as it is.
        if (atk.empty() && def.empty()) return;
        Card& edited = tw_.field.FieldCards[Index];
        if (!atk.empty()) edited.CurrentAtk = atk;
        if (!def.empty()) edited.CurrentDef = def;
        const std::string stats = edited.CurrentAtk + "/" + edited.CurrentDef;
        if (Label5[Index].caption() != edited.Name) Label5[Index].set_caption(stats);
        AddChat(tw_,
                tw_.prefs.UserName + " has changed the stats of " + edited.Name + " to " + stats +
                    " (Click the name to see changes)",
                "Game", true);
        Send(tw_, "ri~" + rt::cstr(Index) + ":" + edited.CurrentAtk + ":" + edited.CurrentDef);
    });
}

}  // namespace tw::win
