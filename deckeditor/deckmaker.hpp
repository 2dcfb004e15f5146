#pragma once
// The deck editor window: the first window the player works with. Its load completes the
// start-up; closing it on its own ends the program.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cards/title_drag.hpp"
#include "platform/controls.hpp"
#include "platform/dialog.hpp"
#include "platform/form.hpp"
#include "platform/grid.hpp"
#include "platform/web.hpp"

namespace tw {
class Tablewright;

// Stored under "jabber" by the deck editor's load when no server is set.
inline constexpr std::string_view kDefaultJabberServer = "localhost";
// The counter font, registered from the program folder at every start.
inline constexpr std::string_view kLcdFontFile = "LCD-BOLD.TTF";

namespace win {

class DeckMaker : public platform::Form {
public:
    explicit DeckMaker(Tablewright& tw);

    // ---- Chrome: title bar picture, title, image buttons ----
    platform::Image Image6{this, "Image6"};  // title picture; dragging it moves the window
    platform::Label Label4{this, "Label4"};  // "Tablewright " and the version
    platform::Image Command14{this, "Command14"};  // token editor
    platform::Image Image2{this, "Image2"};        // the outside chat utility
    platform::Image Image7{this, "Image7"};        // set updater
    platform::Image imgSettings{this, "imgSettings"};
    platform::Image Image3{this, "Image3"};        // minimise
    platform::Image Command16{this, "Command16"};  // end the program

    // ---- Card search: set choice, quick search, results ----
    platform::Label capShowSet{this, "capShowSet"};
    platform::ComboBox Combo1{this, "Combo1"};  // "All" and the set codes
    platform::CheckBox hidecopies{this, "hidecopies"};
    platform::TextBox Text1{this, "Text1"};  // quick search by name
    platform::Image Image4{this, "Image4"};
    platform::Image imgAdvancedSearch{this, "imgAdvancedSearch"};
    platform::Grid Grid{this, "Grid"};

    // The filter frame, hidden until asked for; it lies over the results.
    platform::Frame Frame1{this, "Frame1"};
    platform::Label capNameContains{&Frame1, "capNameContains"};
    platform::TextBox NameContains{&Frame1, "NameContains"};
    platform::Label capDescContains{&Frame1, "capDescContains"};
    platform::TextBox DescContains{&Frame1, "DescContains"};
    platform::CheckBox MonsterCheck{&Frame1, "MonsterCheck"};
    platform::CheckBox SpellCheck{&Frame1, "SpellCheck"};
    platform::CheckBox TrapCheck{&Frame1, "TrapCheck"};
    platform::Label capSpellType{&Frame1, "capSpellType"};
    platform::ComboBox SpellType{&Frame1, "SpellType"};
    platform::Label capTrapType{&Frame1, "capTrapType"};
    platform::ComboBox TrapType{&Frame1, "TrapType"};
    platform::Label capAttrib{&Frame1, "capAttrib"};
    platform::ComboBox Attrib{&Frame1, "Attrib"};
    platform::Label capTypeIcon{&Frame1, "capTypeIcon"};
    platform::ComboBox TypeIcon{&Frame1, "TypeIcon"};
    platform::Label captypebox{&Frame1, "captypebox"};
    platform::ComboBox typebox{&Frame1, "typebox"};
    platform::Label capLevel{&Frame1, "capLevel"};
    platform::TextBox LevelSearch{&Frame1, "LevelSearch"};
    platform::ComboBox Combo2{&Frame1, "Combo2"};
    platform::Label capAttack{&Frame1, "capAttack"};
    platform::TextBox AtkSearch{&Frame1, "AtkSearch"};
    platform::ComboBox Combo4{&Frame1, "Combo4"};
    platform::Label capDefense{&Frame1, "capDefense"};
    platform::TextBox DefSearch{&Frame1, "DefSearch"};
    platform::ComboBox Combo5{&Frame1, "Combo5"};
    platform::CommandButton Command11{&Frame1, "Command11"};  // search

    // ---- Card preview ----
    platform::RichTextBox selectedcard{this, "selectedcard"};
    platform::PictureBox Image1{this, "Image1"};

    // ---- Ban list ----
    platform::Label capBanList{this, "capBanList"};
    platform::ComboBox Combo3{this, "Combo3"};
    platform::WebBrowser WebBrowser1;  // the ban-list page, shown to the player

    // ---- Deck list, deck files, counts ----
    platform::ListBox List1{this, "List1"};
    platform::FileListBox File1{this, "File1"};
    // The dark ground of the counts, under every label of them.
    platform::Label CountPanel{this, "CountPanel"};
    // Captions, the dim "000" under each count, and the counts (Monsters, Spells, Traps, then
    // deck, side deck and extra deck).
    platform::Label Label8{this, "Label8"};
    platform::Label Label16{this, "Label16"};
    platform::Label Label28{this, "Label28"};
    platform::Label Label29{this, "Label29"};
    platform::Label Label30{this, "Label30"};
    platform::Label Label31{this, "Label31"};
    platform::Label Label15{this, "Label15"};
    platform::Label Label23{this, "Label23"};
    platform::Label Label24{this, "Label24"};
    platform::Label Label26{this, "Label26"};
    platform::Label Label25{this, "Label25"};
    platform::Label Label27{this, "Label27"};
    platform::Label Monsters{this, "Monsters"};
    platform::Label Spells{this, "Spells"};
    platform::Label Traps{this, "Traps"};
    platform::Label Label1{this, "Label1"};
    platform::Label Label6{this, "Label6"};
    platform::Label Label5{this, "Label5"};
    platform::Image Command5{this, "Command5"};  // use the deck; enabled at the end of the load

    // Set by the duel window's shutdown before it closes this window: the unload then only
    // clears the preview and the shutdown goes on.
    bool ClosingWithDuelWindow = false;

    // ---- Event handlers ----
    void Image6_MouseDown(int Button, int Shift, double X, double Y);
    void Image6_MouseMove(int Button, int Shift, double X, double Y);
    void Image6_MouseUp(int Button, int Shift, double X, double Y);
    void Image3_Click();
    void Image2_Click();
    void Image7_Click();
    void imgSettings_Click();
    void Command14_Click();
    void Command16_Click();
    void Combo1_Click();

    // ---- Hooks that the card search, deck files and ban lists fill ----
    void ReloadSet(int Online2);            // runs one card search
    void LoadDeck(const std::string& path);  // reads a deck file into List1
    void Combo3_Click();                    // loads the chosen ban list
    void TypeIcon_Click();                  // empties the level, attack and defence boxes

protected:
    void Form_Load() override;
    // A deck file added while the program runs is listed once the player comes back.
    void Form_Activate() override;
    void Form_Unload(bool& cancel) override;
    void Form_Terminate() override;

    Tablewright& tw_;

private:
    void Design();
    // Element 0 empty, then each set code of the card database once (exact comparison), in
    // order of first appearance.
    void FillSetCodes();
    void FirstRun();
    void FillFilterLists();
    void ClearPreview();
    // Unless the duel window's shutdown is closing us.
    void EndUnlessShuttingDown();
    // True when nothing would be lost, or the player lets the changed deck go.
    bool MayClose();

    TitleDrag Title;

public:
    // Deck list editing and the hand-over to the duel.
    platform::Image Command3{this, "Command3"};    // add the hit to the deck
    platform::Image Command6{this, "Command6"};    // add the hit to the side deck
    platform::Image Command4{this, "Command4"};    // take one copy off
    platform::Image Command8{this, "Command8"};    // take one copy off
    platform::Image Command7{this, "Command7"};    // clear the deck list
    platform::Image Command12{this, "Command12"};  // insert a comment line
    platform::Label Label34{this, "Label34"};      // a double-click uses the deck
    platform::WebBrowser WebBrowser2{app().reactor()};  // the deck report; never shown
    std::string DeckLoadError;  // why the last LoadDeckIntoQ stopped; "" when it did not

    void Command3_Click();
    void Command6_Click();
    void Command4_Click();
    void Command8_Click();
    void Command7_Click();
    void Command12_Click();
    void Grid_DblClick();
    void Grid_KeyDown(int KeyCode, int Shift);
    void List1_DblClick();
    void List1_KeyDown(int KeyCode, int Shift);
    void Command5_Click();
    void Label34_DblClick();
    bool DeckCheck();
    void LoadDeckIntoQ();
    bool TurnOffOnlineDeck();
    std::int32_t FindSideDeck() const;

private:
    bool WireDeckList();
    bool deck_list_wired_ = WireDeckList();

public:
    // Deck files, ban lists and deck counts.
    platform::Image Command1{this, "Command1"};  // open a deck file
    platform::Image Command2{this, "Command2"};  // save the deck
    platform::CommonDialog comm1{this, "comm1"};
    // As the last completed recount left them; SideNum is -1 for a list without a marker.
    std::int32_t NormalNum = 0;
    std::int32_t FusionNum = 0;
    std::int32_t SideNum = 0;

    // The deck list as it was last opened or saved; closing with another one asks first.
    std::vector<std::string> SavedDeck;
    void MarkDeckSaved() { SavedDeck = List1.items(); }
    // Reads the decks folder again, keeping the selected file while it is still there.
    void RefreshDeckFiles();

    void ComputeDeckAmount();
    void Command1_Click();
    void Command2_Click();
    void File1_DblClick();
    void File1_MouseDown(int Button, int Shift, double X, double Y);

private:
    bool WireDeckFiles();
    bool deck_files_wired_ = WireDeckFiles();

public:
    // Card search.
    void Command11_Click();
    void NameContains_KeyDown(int KeyCode, int Shift);
    void DescContains_KeyDown(int KeyCode, int Shift);
    void hidecopies_Click();
    void Text1_GotFocus();
    void Text1_LostFocus();
    void Text1_KeyDown(int KeyCode, int Shift);
    void Image4_Click();
    void imgAdvancedSearch_Click();

private:
    // Before a search: a property list whose kind box is cleared goes back to its empty entry.
    void ClearUnusedTypes();
    // Shows or hides the filter frame, with the advanced-search button's picture to match.
    void ShowFilterFrame(bool show);
    bool WireSearch();
    bool search_wired_ = WireSearch();

    // Card preview.
public:
    platform::Label lblName{this, "lblName"};
    platform::Label lblStats{this, "lblStats"};
    platform::Label lblDesc{this, "lblDesc"};
    platform::Label Label32{this, "Label32"};  // "[Toggle Display]"
    platform::Label Label33{this, "Label33"};  // "[View Rulings]"
    void Grid_Click();
    void Grid_EnterCell();
    void List1_Click();
    void Label32_Click();
    void Label33_Click();

private:
    bool WirePreview();
    bool preview_wired_ = WirePreview();

    // Moving copies between deck and side deck, reordering and dropping deck-list lines.
public:
    platform::Image Command10{this, "Command10"};  // one copy to the side deck
    platform::Image Command9{this, "Command9"};    // one copy to the deck
    platform::Image Command13{this, "Command13"};  // the selected line up
    platform::Image Command15{this, "Command15"};  // the selected line down
    void Command10_Click();
    void Command9_Click();
    void Command13_Click();
    void Command15_Click();
    void List1_OLEStartDrag(platform::DataObject& Data, int& AllowedEffects);
    void List1_OLEDragDrop(platform::DataObject& Data, int& Effect, int Button, int Shift, double X,
                           double Y);
    // The index of the line of plist under the point (twips inside the list), -1 for none; on the
    // boundary of two lines the upper one.
    int GetListItemFromPt(const platform::ListBox& plist, double x, double y) const;
    // The line a drag from the list started on, until a drop on the list takes it.
    struct DraggedLine {
        int index = -1;
        std::string text;
    };
    std::optional<DraggedLine> ListDrag;

private:
    bool WireDeckMoves();
    bool deck_moves_wired_ = WireDeckMoves();
};

}  // namespace win
}  // namespace tw
