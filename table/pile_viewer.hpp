#pragma once
// The pile viewer: a small window that lists one pile (the own deck, its top cards, the extra
// deck, the graveyard, the removed-from-game pile, or a pile the opponent sent), shows the card
// of a row, moves cards out of the own piles and, in the top-of-deck look, reorders the deck.
// Looking is public: its start, its end and a long look at the deck are told in the duel log.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cards/card.hpp"
#include "duel/forma.hpp"
#include "platform/controls.hpp"
#include "platform/form.hpp"
#include "platform/menu.hpp"
#include "platform/timer.hpp"

namespace tw {
class Tablewright;

// The values of PileViewMode that name an own pile; a top-of-deck look is "ViewTop " and the
// number the player typed.
inline constexpr const char* kViewDeck = "deck";
inline constexpr const char* kViewExtra = "fusion";
inline constexpr const char* kViewGraveyard = "trash";
inline constexpr const char* kViewRemoved = "rfg";
inline constexpr const char* kViewOppDeck = "OppDeck";
inline constexpr const char* kViewOppGraveyard = "OppTrash";
inline constexpr const char* kViewOppRemoved = "OppRFG";

// Whether the mode is a look at the top of the deck, and how many cards it shows (the text
// after the first blank, rounded; 0 when that is no number).
bool IsTopOfDeckMode(const std::string& mode);
std::int32_t TopOfDeckCount(const std::string& mode);

// The own piles as looks and lists show them.
enum class ShownPile { Deck, Extra, Graveyard, Removed };
// The pile's entries that hold a card, in index order (the deck from its top).
std::vector<const Card*> ShownEntries(Tablewright& tw, ShownPile pile);

// A row of the viewer: set code, a blank, the name; "*" in front for a card lying face up in
// the deck when the mode marks them.
std::string ViewerRow(const Card& c, bool mark_face_up);
// A row split at its first blank into set code (every "*" taken out) and name.
struct RowCard {
    std::string set;
    std::string name;
};
RowCard SplitViewerRow(const std::string& row);

// Points the program's viewer hooks (PileViewerVisible, RefreshPileViewer, ClosePileViewer) at
// the window.
void UsePileViewerWindow(Tablewright& tw);

// Runs the viewer's refresh when it is shown.
void RefreshPileViewerIfVisible(Tablewright& tw);
// The refresh a change of the deck asks for: the deck look whether shown or not, the top-of-deck
// look while shown.
void RefreshPileViewerForDeck(Tablewright& tw);

// Closes an open look (its closing lines come first), shows the viewer owned by the duel window
// on the own pile of that mode and writes UserName & text, sent.
void OpenOwnLook(Tablewright& tw, const std::string& mode, const std::string& text);

namespace win {

class View : public platform::Form {
public:
    explicit View(Tablewright& tw);

    // True once this look's first reordering has been told; every load clears it.
    bool ReArrange = false;

    // The load builds the list for PileViewMode; run again, it is the viewer's refresh.
    void Form_Load() override;

    // The moves of the selected row's card: the pop-up menu's items, and what a drop of a row
    // on the hand or the table runs.
    void PutintoHand_Click();
    void PutIntoPlay_Click();
    void PutintoDeck_Click();
    void RemoveFromGame_Click();

    // Events.
    void List2_Click();
    void List2_MouseDown(int Button, int Shift, double X, double Y);
    void List2_OLEStartDrag(platform::DataObject& Data, int& AllowedEffects);
    void Command1_Click();  // Move Up
    void Command2_Click();  // Move Down
    void Timer1_Timer();

    platform::Label Label1{this, "Label1"};  // "Number of Cards (n)"
    platform::ListBox List2{this, "List2"};
    platform::RichTextBox selectedcard{this, "selectedcard"};
    platform::Label Label4{this, "Label4"};     // "Shuffle when done:"
    platform::CheckBox Check1{this, "Check1"};  // shuffle when the look ends
    platform::Label Label2{this, "Label2"};     // how to take control of an opponent's card
    platform::CommandButton Command1{this, "Command1"};
    platform::CommandButton Command2{this, "Command2"};
    platform::Label Label3{this, "Label3"};
    platform::Timer Timer1{this, "Timer1"};

    win::MenuItem DeckHandMenu{this, "DeckHandMenu", "DeckHandMenu"};
    win::MenuItem PutIntoPlay{&DeckHandMenu, "PutIntoPlay", "Put into Play"};
    win::MenuItem PutintoHand{&DeckHandMenu, "PutintoHand", "Put into Hand"};
    win::MenuItem PutIntoDeck{&DeckHandMenu, "PutIntoDeck", "Put On Top Of Deck"};
    win::MenuItem RemoveFromGame{&DeckHandMenu, "RemoveFromGame", "Remove from Game (RFG)"};

    // "Number of Cards (" & the rows & ")".
    void ShowRowCount();

protected:
    void Form_Unload(bool& cancel) override;
    void Form_Terminate() override;

private:
    void Design();
    // The rows of the own pile the mode names, the list emptied first.
    void FillOwnRows();
    void AddRows(const std::vector<const Card*>& entries, bool mark_face_up);
    // The deck entry that the selected row of a deck or top-of-deck look stands for, when it
    // still holds the card the row shows.
    std::optional<int> SelectedDeckEntry();
    // The graveyard or removed-from-game entry of the selected row, put back on the graveyard
    // side, and in card a copy of it to move, face and turn cleared; null when there is none.
    Card* TakeTrashRow(bool removed, Card& card);
    void MoveRow(int from, int to);

    Tablewright& tw_;
};

}  // namespace win
}  // namespace tw
