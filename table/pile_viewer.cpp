#include "table/pile_viewer.hpp"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>

#include "cards/card_info.hpp"
#include "cards/card_lookup.hpp"
#include "cards/duel_log.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "platform/rt.hpp"
#include "table/hand.hpp"
#include "table/piles.hpp"

namespace tw {

bool IsTopOfDeckMode(const std::string& mode) { return rt::left(mode, 7) == "ViewTop"; }

std::int32_t TopOfDeckCount(const std::string& mode) {
    const std::size_t blank = mode.find(' ');
    if (blank == std::string::npos) return 0;
    const std::string n = mode.substr(blank + 1);
    return rt::is_number(n) ? rt::to_long(n) : 0;
}

std::vector<const Card*> ShownEntries(Tablewright& tw, ShownPile pile) {
    const rt::Array<Card>& cards = pile == ShownPile::Deck    ? tw.piles.DeckCards
                                   : pile == ShownPile::Extra ? tw.piles.ExtraDeckCards
                                                              : tw.piles.TrashCards;
    std::vector<const Card*> out;
    for (int i = 1; i <= cards.ubound(); ++i) {
        const Card& c = cards[i];
        if (!IsLiveEntry(c)) continue;
        if (pile == ShownPile::Graveyard && c.RemovedFromGame) continue;
        if (pile == ShownPile::Removed && !c.RemovedFromGame) continue;
        out.push_back(&c);
    }
    return out;
}

std::string ViewerRow(const Card& c, bool mark_face_up) {
    return (mark_face_up && c.Flipped ? "*" : "") + c.SetCode + " " + c.Name;
}

RowCard SplitViewerRow(const std::string& row) {
    const std::size_t blank = row.find(' ');
    if (blank == std::string::npos) return {rt::replace_all(row, "*", ""), ""};
    return {rt::replace_all(row.substr(0, blank), "*", ""), row.substr(blank + 1)};
}

void UsePileViewerWindow(Tablewright& tw) {
    tw.piles.PileViewerVisible = [&tw] {
        const auto* v = tw.view.peek();
        return v && v->visible();
    };
    tw.piles.RefreshPileViewer = [&tw] {
        if (auto* v = tw.view.peek())
            v->Form_Load();
        else
            tw.view();  // the first touch loads it, and the load is the refresh
    };
    tw.piles.ClosePileViewer = [&tw] { tw.view.unload(); };
}

void RefreshPileViewerIfVisible(Tablewright& tw) {
    if (tw.piles.PileViewerVisible()) tw.piles.RefreshPileViewer();
}

void RefreshPileViewerForDeck(Tablewright& tw) {
    if (tw.piles.PileViewMode == kViewDeck || (tw.piles.PileViewerVisible() && IsTopOfDeckMode(tw.piles.PileViewMode)))
        tw.piles.RefreshPileViewer();
}

void OpenOwnLook(Tablewright& tw, const std::string& mode, const std::string& text) {
    tw.view.unload();
    tw.piles.PileViewMode = mode;
    tw.view().show(&tw.FormA());
    AddChat(tw, tw.prefs.UserName + text, "Game", true);
}

namespace win {

namespace {

constexpr int kLookReminderMs = 10000;

void Say(Tablewright& tw, const std::string& text) { AddChat(tw, tw.prefs.UserName + text, "Game", true); }

}  // namespace

View::View(Tablewright& tw) : platform::Form(tw.app, "view"), tw_(tw) {
    Design();
    List2.Click = [this] { List2_Click(); };
    List2.MouseDown = [this](int b, int s, double x, double y) { List2_MouseDown(b, s, x, y); };
    List2.OLEStartDrag = [this](platform::DataObject& data, int& allowed) { List2_OLEStartDrag(data, allowed); };
    // A drag gesture on a row starts the drag by itself, as the hand's does.
    List2.set_ole_drag_automatic(true);
    Command1.Click = [this] { Command1_Click(); };
    Command2.Click = [this] { Command2_Click(); };
    Timer1.Tick = [this] { Timer1_Timer(); };
    PutIntoPlay.Click = [this] { PutIntoPlay_Click(); };
    PutintoHand.Click = [this] { PutintoHand_Click(); };
    PutIntoDeck.Click = [this] { PutintoDeck_Click(); };
    RemoveFromGame.Click = [this] { RemoveFromGame_Click(); };
}

void View::Design() {
    set_caption("View (Graveyard/Deck)");
    set_border_style(platform::BorderStyle::FixedToolWindow);
    // A client area of 4530 x 3945 inside a tool window's frame, over the duel window's card
    // panel, so that the table and the hand stay free for drops.
    const auto& duel = tw_.FormA();
    move(duel.left() + 120, duel.top() + 480, 4530 + 120, 3945 + 405);

    Label1.set_caption("Number of Cards (0)");
    Label1.move(0, 0, 1815, 255);
    List2.move(75, 240, 2235, 2760);
    selectedcard.move(2400, 240, 2055, 2775);
    Label4.set_caption("Shuffle when done:");
    Label4.move(2400, 0, 2175, 255);
    Check1.move(4080, 15, 255, 210);
    Label2.set_caption(
        "If you need to take control of 1 of these cards. Have your opponent put it into play. Then take "
        "control of it.");
    Label2.move(2460, 3045, 2055, 645);
    Command1.set_caption("Move Up");
    Command1.move(75, 3240, 1095, 375);
    Command2.set_caption("Move Down");
    Command2.move(1185, 3240, 1125, 375);
    Label3.set_caption("Use the Move Up/Down Buttons to reorder the selected card.");
    Label3.move(0, 3705, 4455, 255);
    Timer1.set_interval(kLookReminderMs);
    Timer1.set_enabled(true);

    for (platform::Control* c : std::initializer_list<platform::Control*>{&Label2, &Label3, &Label4, &Check1,
                                                                         &Command1, &Command2})
        c->set_visible(false);
    DeckHandMenu.set_visible(false);
    PutIntoPlay.set_enabled(false);
    PutintoHand.set_enabled(false);
    RemoveFromGame.set_enabled(false);
    PutIntoDeck.set_visible(false);
}

void View::ShowRowCount() { Label1.set_caption("Number of Cards (" + rt::cstr(List2.list_count()) + ")"); }

void View::AddRows(const std::vector<const Card*>& entries, bool mark_face_up) {
    for (const Card* c : entries) List2.add_item(ViewerRow(*c, mark_face_up));
}

void View::FillOwnRows() {
    const std::string& mode = tw_.piles.PileViewMode;
    List2.clear();
    if (mode == kViewDeck) {
        RecountDeck(tw_);
        AddRows(ShownEntries(tw_, ShownPile::Deck), true);
    } else if (IsTopOfDeckMode(mode)) {
        RecountDeck(tw_);
        // The live cards only, at most n: after the recount they are the first entries.
        auto live = ShownEntries(tw_, ShownPile::Deck);
        const auto n = static_cast<std::size_t>(std::max<std::int32_t>(0, TopOfDeckCount(mode)));
        if (live.size() > n) live.resize(n);
        AddRows(live, true);
    } else if (mode == kViewExtra) {
        AddRows(ShownEntries(tw_, ShownPile::Extra), false);
    } else if (mode == kViewGraveyard) {
        AddRows(ShownEntries(tw_, ShownPile::Graveyard), false);
    } else if (mode == kViewRemoved) {
        AddRows(ShownEntries(tw_, ShownPile::Removed), false);
    }
    ShowRowCount();
}

void View::Form_Load() {
    const std::string mode = tw_.piles.PileViewMode;
    PutIntoDeck.set_visible(false);
    RemoveFromGame.set_enabled(false);
    RecountDeck(tw_);
    List2.clear();

    const bool deck = mode == kViewDeck;
    const bool top = IsTopOfDeckMode(mode);
    if (deck) Timer1.set_enabled(true);
    Check1.set_visible(deck || top);
    Label4.set_visible(deck || top);
    Command1.set_visible(top);
    Command2.set_visible(top);
    Label3.set_visible(top);

    auto enable_moves = [&](bool hand, bool play, bool remove) {
        PutintoHand.set_enabled(hand);
        PutIntoPlay.set_enabled(play);
        RemoveFromGame.set_enabled(remove);
    };
    // The note on taking control belongs to the opponent's lists only.
    if (deck || top || mode == kViewExtra || mode == kViewGraveyard || mode == kViewRemoved)
        Label2.set_visible(false);
    if (top) {
        ReArrange = false;
        enable_moves(true, true, true);
        set_caption("Viewing the top " + rt::cstr(TopOfDeckCount(mode)) + " Cards of the Deck");
    } else if (mode == kViewExtra) {
        set_caption("Viewing Your Extra Deck");
        PutintoHand.set_enabled(false);
        PutIntoPlay.set_enabled(true);
    } else if (mode == kViewGraveyard || mode == kViewRemoved) {
        PutIntoDeck.set_visible(true);
        set_caption(mode == kViewGraveyard ? "Viewing Your Graveyard" : "Viewing Your Removed from Game");
        enable_moves(true, true, true);
    } else if (deck) {
        set_caption("Viewing Your Deck");
        enable_moves(true, true, true);
    } else {
        // An opponent's list lives only in the rows the answer brought: nothing to rebuild.
        return;
    }
    FillOwnRows();
}

void View::Form_Unload(bool& /*cancel*/) {
    Timer1.set_enabled(false);
    const std::string mode = tw_.piles.PileViewMode;
    const bool shuffle = Check1.value() == 1;
    if (mode == kViewDeck) {
        Say(tw_, " stopped looking at the Deck");
        if (shuffle) {
            Say(tw_, " shuffled their deck");
            ShuffleDeck(tw_);
        }
    } else if (IsTopOfDeckMode(mode)) {
        Say(tw_, " stopped looking at the Deck");
        if (shuffle) {
            ShuffleDeck(tw_);
            RecountDeck(tw_);
            const auto& deck = tw_.piles.DeckCards;
            // A deck with no card left has no next card to name.
            if (tw_.piles.DeckFaceUp && deck.ubound() >= 1 && IsLiveEntry(deck[1]))
                Say(tw_, " shuffled the deck. " + tw_.prefs.UserName + "`s next card is " + CardMarkup(deck[1]));
            else
                Say(tw_, " shuffled the deck");
        }
    } else if (mode == kViewExtra) {
        Say(tw_, " stopped looking at the Extra Deck");
    } else if (mode == kViewGraveyard) {
        Say(tw_, " stopped looking at the Graveyard");
    } else if (mode == kViewRemoved) {
        Say(tw_, " stopped looking at removed from game");
    } else if (mode == kViewOppDeck) {
        Say(tw_, " stopped looking at their opponents Deck");
    } else if (mode == kViewOppGraveyard) {
        Say(tw_, " stopped looking at their opponents graveyard");
    } else if (mode == kViewOppRemoved) {
        Say(tw_, " stopped looking at their opponents RFG");
    }
    tw_.piles.PileViewMode.clear();
}

void View::Form_Terminate() { Timer1.set_enabled(false); }

void View::Timer1_Timer() {
    if (tw_.piles.PileViewMode != kViewDeck) {
        Timer1.set_enabled(false);
        return;
    }
    if (!visible()) Timer1.set_enabled(false);
    if (Timer1.enabled())
        Say(tw_, " is still looking at their deck. This will repeat every 10 seconds, until they are done");
}

void View::List2_Click() {
    if (List2.text().empty()) return;
    const RowCard row = SplitViewerRow(List2.text());
    ShowCardInfo(tw_, LookupCard(tw_, row.set, row.name), selectedcard);
}

void View::List2_MouseDown(int Button, int /*Shift*/, double /*X*/, double Y) {
    UpdateStats(tw_);
    ShowRowCount();
    if (Button == 2) {
        // Below the last row the selection stays, and an earlier row still gets its menu.
        const int k = List2.index_at(Y);
        if (k >= 0 && k < List2.list_count()) List2.set_list_index(k);
        if (List2.list_index() >= 0) popup_menu(DeckHandMenu);
    }
    // The drag itself starts from the list's own drag gesture; the press shows the card.
    if (List2.list_index() >= 0) List2_Click();
}

void View::List2_OLEStartDrag(platform::DataObject& Data, int& /*AllowedEffects*/) {
    Data.set_data(DragText(kViewDrag, List2.text()), platform::DataObject::TextFormat);
}

// Rows k and k + 1 of a top-of-deck look are deck entries k + 1 and k + 2.
void View::MoveRow(int from, int to) {
    // Only the top-of-deck look orders the deck: rows of any other list are no deck entries.
    if (!IsTopOfDeckMode(tw_.piles.PileViewMode)) return;
    const int n = List2.list_count();
    if (from < 0 || from >= n || to < 0 || to >= n) return;
    auto& deck = tw_.piles.DeckCards;
    // Both rows must still show their entries, so that the list and the deck stay in step.
    for (const int row : {from, to})
        if (row + 1 > deck.ubound() || ViewerRow(deck[row + 1], true) != List2.list(row)) return;
    if (!ReArrange) {
        Say(tw_, " is rearranging the cards in their deck");
        ReArrange = true;
    }
    const std::string moved = List2.list(from);
    List2.set_list(from, List2.list(to));
    List2.set_list(to, moved);
    std::swap(deck[from + 1], deck[to + 1]);
    List2.set_list_index(to);
}

void View::Command1_Click() {
    const int k = List2.list_index();
    if (k <= 0) return;
    MoveRow(k, k - 1);
}

void View::Command2_Click() {
    const int k = List2.list_index();
    if (k < 0 || k >= List2.list_count() - 1) return;
    MoveRow(k, k + 1);
}

}  // namespace win
}  // namespace tw
