#pragma once
// The duel window: the table.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "cards/title_drag.hpp"
#include "platform/control_array.hpp"
#include "platform/controls.hpp"
#include "platform/form.hpp"
#include "platform/grid.hpp"
#include "platform/menu.hpp"
#include "platform/rt.hpp"
#include "platform/tcp.hpp"
#include "platform/timer.hpp"
#include "platform/web.hpp"

namespace tw {
class Tablewright;

// The table's picture when the settings name none, in the program folder.
inline constexpr std::string_view kDefaultPlayfield = "images\\playfield.png";

namespace win {

// A menu item with its design caption (and the shortcut shown beside it).
struct MenuItem : platform::Menu {
    MenuItem(platform::Container* parent, std::string name, std::string caption,
             std::string shortcut = {})
        : Menu(parent, std::move(name)) {
        set_caption(std::move(caption));
        set_shortcut_text(std::move(shortcut));
    }
};

class FormA : public platform::Form {
public:
    explicit FormA(Tablewright& tw);

    // Tells the peer and the player that a procedure of this window failed.
    void sendError(const std::string& Location);
    // Runs a procedure that traps its errors: what it did before an error stays done, and the
    // error goes to the peer and the player under that name.
    template <class F>
    void Trapped(const std::string& Location, F&& procedure) {
        if (rt::trap(std::forward<F>(procedure))) sendError(Location);
    }

    // Hooks that the turn phases, the chat, the connection panel, the network timer and the
    // skins fill.
    void ShowPhase();                     // repaints the phase labels from tw.duel.Phase
    void Combo2_Click();                  // a duel mode was chosen
    void Command2_Click();                // Listen
    void Command3_Click();                // Connect
    void Timer2_Timer();                  // the 60-second online-users tick
    void Winsock1_DataArrival(long bytesTotal);  // frames from the peer
    void LoadSkin(std::string& SkinPath);  // applies a skin; SkinPath ends up as its name

    // Empties a rich text box in the chat colours.
    void ClearRichText(platform::RichTextBox& Texx);

    // ---- Window chrome: title, minimise, close, the label menu bar ----
    platform::Image Image6{this, "Image6"};  // title picture; dragging it moves the window
    platform::Label lblTitle{this, "lblTitle"};
    platform::Image Image3{this, "Image3"};        // minimise
    platform::Image Command16{this, "Command16"};  // close
    platform::Label lblFile{this, "lblFile"};
    platform::Label lblChat{this, "lblChat"};
    platform::Label lblGameplay{this, "lblGameplay"};
    platform::Label lblMore{this, "lblMore"};

    // ---- The table; the field-slot controls and sticky notes lie on it, in its twips ----
    platform::PictureBox playsurface{this, "playsurface"};
    // Element 0 of each is the design template of a slot and stays loaded.
    platform::ControlArray<platform::PictureBox> cardstencil{&playsurface, "cardstencil"};
    platform::ControlArray<platform::Shape> Shape1{&playsurface, "Shape1"};
    platform::ControlArray<platform::Label> Label4{&playsurface, "Label4"};  // counters
    platform::ControlArray<platform::Label> Label5{&playsurface, "Label5"};  // name or ATK/DEF
    platform::ControlArray<platform::Label> StickyNote{&playsurface, "StickyNote"};
    platform::PictureBox copybox{this, "copybox"};  // hidden scratch picture

    // ---- Phase labels ----
    platform::Label draw{this, "draw"};
    platform::Label standby{this, "standby"};
    platform::Label main1{this, "main1"};
    platform::Label attack{this, "attack"};
    platform::Label main2{this, "main2"};
    platform::Label endphase{this, "endphase"};
    platform::Label OppTurn{this, "OppTurn"};

    // ---- Life points: the values over dim "0000" digits ----
    platform::Label Label6{this, "Label6"};  // "you:"
    platform::Label Label2{this, "Label2"};
    platform::Label Text1{this, "Text1"};
    platform::Label Label7{this, "Label7"};  // "opp:"
    platform::Label Label1{this, "Label1"};
    platform::Label Text2{this, "Text2"};

    // ---- Card panel: the text view, or the picture view with the printings list ----
    platform::RichTextBox selectedcard{this, "selectedcard"};
    platform::PictureBox Image1{this, "Image1"};
    platform::Label lblName{this, "lblName"};
    platform::Label lblStats{this, "lblStats"};
    platform::Label lblDesc{this, "lblDesc"};
    platform::Label Label32{this, "Label32"};  // "[Toggle Display]"
    platform::Label Label8{this, "Label8"};    // "[View Rulings]"
    platform::ComboBox Combo1{this, "Combo1"};

    // ---- Hand, pile counts, duel log and chat input ----
    platform::ListBox hand{this, "hand"};
    // The pile counts: a header row and column, then five piles by "You" and "Opp".
    struct StatsGrid : platform::Grid {
        explicit StatsGrid(platform::Container* parent) : Grid(parent, "Stats") {
            set_rows(6);
            set_cols(3);
        }
    };
    StatsGrid Stats{this};
    platform::RichTextBox chat{this, "chat"};
    platform::RichTextBox chattext{this, "chattext"};
    platform::CommandButton chatsend{this, "chatsend"};
    platform::Image Image2{this, "Image2"};  // the tamper meter's light, under its label
    platform::Label hack{this, "hack"};      // the tamper meter

    // ---- Connection panel ----
    platform::Image Command3{this, "Command3"};  // Connect
    platform::Image Command2{this, "Command2"};  // Listen / stop listening
    platform::ComboBox Combo2{this, "Combo2"};   // the five duel modes
    platform::TextBox Text4{this, "Text4"};      // opponent address or login
    platform::Image cmdCancel{this, "cmdCancel"};
    platform::TextBox Text3{this, "Text3"};  // own address while listening
    platform::Label Label3{this, "Label3"};
    platform::CheckBox Check1{this, "Check1"};  // "Log Duel"

    platform::Timer Timer2{this, "Timer2"};  // the online-users page, every 60 s while on
    platform::WebBrowser browser;            // the online-users page, never shown
    platform::TcpSocket Winsock1;

    // ---- Menus (all hidden from the menu bar; the label bar and right clicks open them) ----
    MenuItem File{this, "File", "File"};
    MenuItem SoftReset{&File, "SoftReset", "\"Soft\" Reset"};
    MenuItem ResetGame{&File, "ResetGame", "Reset Game"};
    MenuItem Settings2{&File, "Settings2", "Settings"};
    MenuItem Deck{&File, "Deck", "Deck", "Ctrl+Y"};
    MenuItem LoadDuel{&File, "LoadDuel", "Load Auto-Saved Duel"};
    MenuItem quit{&File, "quit", "Quit", "Ctrl+Q"};

    MenuItem ChatCommands{this, "ChatCommands", "Chat"};
    MenuItem Macro1{&ChatCommands, "Macro1", "", "F1"};
    MenuItem Macro2{&ChatCommands, "Macro2", "", "F2"};
    MenuItem Macro3{&ChatCommands, "Macro3", "", "F3"};
    MenuItem Macro4{&ChatCommands, "Macro4", "", "F4"};
    MenuItem Macro5{&ChatCommands, "Macro5", "", "F5"};
    MenuItem Macro6{&ChatCommands, "Macro6", "", "F6"};
    MenuItem Macro7{&ChatCommands, "Macro7", "", "F7"};
    MenuItem Macro8{&ChatCommands, "Macro8", "", "F8"};
    MenuItem Macro9{&ChatCommands, "Macro9", "", "F9"};
    MenuItem Macro10{&ChatCommands, "Macro10", "Edit Macros", "F11"};

    MenuItem gameplay{this, "gameplay", "Gameplay"};
    MenuItem HandGamePlay{&gameplay, "HandGamePlay", "Hand Gameplay"};
    MenuItem DiscardRandom{&HandGamePlay, "DiscardRandom", "Discard Card at Random from Hand"};
    MenuItem ShowRandomCard{&HandGamePlay, "ShowRandomCard", "Show Card at Random from hand"};
    MenuItem ShowHand2{&HandGamePlay, "ShowHand2", "Show Hand"};
    MenuItem DeckGamePlay{&gameplay, "DeckGamePlay", "Decks Gameplay"};
    MenuItem Shuffle{&DeckGamePlay, "Shuffle", "Shuffle Deck", "Ctrl+S"};
    MenuItem searchdeck{&DeckGamePlay, "searchdeck", "Search Deck", "Ctrl+K"};
    MenuItem ViewXCards{&DeckGamePlay, "ViewXCards", "View Top of the Deck"};
    MenuItem ShowTopCardOfDeck{&DeckGamePlay, "ShowTopCardOfDeck", "Show Top Card of Deck"};
    MenuItem DiscardTop{&DeckGamePlay, "DiscardTop", "Discard Top Card of Deck", "Ctrl+T"};
    MenuItem FlipDeck{&DeckGamePlay, "FlipDeck", "Flip Deck Upside Down", "Ctrl+O"};
    MenuItem ViewOppDeck{&DeckGamePlay, "ViewOppDeck", "View Opponents Deck"};
    MenuItem RFGGameplay{&gameplay, "RFGGameplay", "Graveyard/RFG Gameplay"};
    MenuItem SearchTrash{&RFGGameplay, "SearchTrash", "Search Your Graveyard", "Ctrl+G"};
    MenuItem SearchOppGraveyard{&RFGGameplay, "SearchOppGraveyard", "Other Graveyards"};
    MenuItem Player1GY{&SearchOppGraveyard, "Player1GY", "Search Player 1 GY (Yellow)"};
    MenuItem Player2GY{&SearchOppGraveyard, "Player2GY", "Search Player 2 GY (Blue)"};
    MenuItem SearchYourRFG{&RFGGameplay, "SearchYourRFG", "Search Your RFG", "Ctrl+I"};
    MenuItem SearchOppRFG{&RFGGameplay, "SearchOppRFG", "Other RFG"};
    MenuItem Player1RFG{&SearchOppRFG, "Player1RFG", "Search Player 1 RFG (Yellow)"};
    MenuItem Player2RFG{&SearchOppRFG, "Player2RFG", "Search Player 2 RFG (Blue)"};
    MenuItem Movement{&gameplay, "Movement", "Movement"};
    MenuItem Hand2{&Movement, "Hand2", "Hand"};
    MenuItem Hand2Deck{&Hand2, "Hand2Deck", "Move Hand to Deck"};
    MenuItem Hand2GY{&Hand2, "Hand2GY", "Move Hand to Graveyard"};
    MenuItem Hand2RFG{&Hand2, "Hand2RFG", "Move Hand to RFG"};
    MenuItem Dek{&Movement, "Dek", "Deck"};
    MenuItem Deck2Hand{&Dek, "Deck2Hand", "Move Deck to Hand"};
    MenuItem Deck2GY{&Dek, "Deck2GY", "Move Deck to Graveyard"};
    MenuItem Deck2RFG{&Dek, "Deck2RFG", "Move Deck to RFG"};
    MenuItem GY{&Movement, "GY", "Graveyard"};
    MenuItem GY2Hand{&GY, "GY2Hand", "Move Graveyard to Hand"};
    MenuItem GY2Deck{&GY, "GY2Deck", "Move Graveyard to Deck"};
    MenuItem GY2RFG{&GY, "GY2RFG", "Move Graveyard to RFG"};
    MenuItem RFG{&Movement, "RFG", "RFG"};
    MenuItem RFG2Hand{&RFG, "RFG2Hand", "Move RFG to Hand"};
    MenuItem RFG2Deck{&RFG, "RFG2Deck", "Move RFG to Deck"};
    MenuItem RFG2GY{&RFG, "RFG2GY", "Move RFG to Graveyard"};
    MenuItem NextPhase{&gameplay, "NextPhase", "Next Phase", "Ctrl+P"};
    MenuItem drawcard{&gameplay, "drawcard", "Draw Card", "Ctrl+D"};
    MenuItem DrawAndShow{&gameplay, "DrawAndShow", "Draw and Show Card", "Ctrl+W"};
    MenuItem End_Turn{&gameplay, "End_Turn", "End Turn", "Ctrl+E"};
    MenuItem flipcoin{&gameplay, "flipcoin", "Flip Coin", "Ctrl+F"};
    MenuItem RollDice{&gameplay, "RollDice", "Roll 6d Dice", "Ctrl+R"};
    MenuItem SearchFusionDeck{&gameplay, "SearchFusionDeck", "Search Extra Deck", "Ctrl+U"};
    MenuItem SubmitLoss{&gameplay, "SubmitLoss", "Submit Ladder Loss"};

    MenuItem More{this, "More", "More"};
    MenuItem Help{&More, "Help", "Help"};
    MenuItem updateMySet{&More, "updateMySet", "Update Card Set"};
    MenuItem utilitiess{&More, "utilitiess", "Utilities"};
    MenuItem launchChat{&utilitiess, "launchChat", "IRC Chat"};
    MenuItem launchScrollkeep{&utilitiess, "launchScrollkeep", "Scrollkeep"};
    MenuItem bridgehall{&utilitiess, "bridgehall", "Bridgehall"};
    MenuItem editMyToken{&utilitiess, "editMyToken", "Token Editor"};
    MenuItem about2{&More, "about2", "About"};

    MenuItem game{this, "game", "Game"};
    MenuItem Lookforopp{&game, "Lookforopp", "Online Connect"};
    MenuItem connect2{&game, "connect2", "Manual Connect", "Ctrl+N"};
    MenuItem Listenwindow2{&game, "Listenwindow2", "Listen", "Ctrl+L"};

    MenuItem HP{this, "HP", "HP"};
    MenuItem HPCustom{&HP, "HPCustom", "Custom..."};
    MenuItem Sub1000{&HP, "Sub1000", "Subtract 1000"};
    MenuItem sub200{&HP, "sub200", "Subtract 800"};
    MenuItem sub500{&HP, "sub500", "Subtract 500"};
    MenuItem Sub100{&HP, "Sub100", "Subtract 100"};
    MenuItem Sub50{&HP, "Sub50", "Subtract 50"};
    MenuItem Subtract25{&HP, "Subtract25", "Halve LP"};
    MenuItem Add25{&HP, "Add25", "Double LP"};
    MenuItem add50{&HP, "add50", "Add 50"};
    MenuItem add100{&HP, "add100", "Add 100"};
    MenuItem add500{&HP, "add500", "Add 500"};
    MenuItem add200{&HP, "add200", "Add 800"};
    MenuItem add1000{&HP, "add1000", "Add 1000"};
    MenuItem ShowCalc2{&HP, "ShowCalc2", "Calculator"};

    MenuItem PlayField{this, "PlayField", "PlayField"};
    MenuItem Phases{&PlayField, "Phases", "Phases"};
    MenuItem PhaseDraw{&Phases, "PhaseDraw", "Draw"};
    MenuItem PhaseStandby{&Phases, "PhaseStandby", "Standby"};
    MenuItem PhaseMain1{&Phases, "PhaseMain1", "Main 1"};
    MenuItem PhaseAttack{&Phases, "PhaseAttack", "Attack"};
    MenuItem PhaseMain2{&Phases, "PhaseMain2", "Main 2"};
    MenuItem PhaseEnd{&Phases, "PhaseEnd", "End"};
    MenuItem LP{&PlayField, "LP", "LP"};
    MenuItem LPCustom{&LP, "LPCustom", "Custom..."};
    MenuItem LPSub1000{&LP, "LPSub1000", "Subtract 1000"};
    MenuItem LPSub200{&LP, "LPSub200", "Subtract 800"};
    MenuItem LPSub500{&LP, "LPSub500", "Subtract 500"};
    MenuItem LPSub100{&LP, "LPSub100", "Subtract 100"};
    MenuItem LPSub50{&LP, "LPSub50", "Subtract 50"};
    MenuItem LPHalve{&LP, "LPHalve", "Halve LP"};
    MenuItem LPDouble{&LP, "LPDouble", "Double LP"};
    MenuItem LPAdd50{&LP, "LPAdd50", "Add 50"};
    MenuItem LPAdd100{&LP, "LPAdd100", "Add 100"};
    MenuItem LPAdd500{&LP, "LPAdd500", "Add 500"};
    MenuItem LPAdd200{&LP, "LPAdd200", "Add 800"};
    MenuItem LPAdd1000{&LP, "LPAdd1000", "Add 1000"};
    MenuItem ShowCalc{&LP, "ShowCalc", "Calculator"};
    MenuItem EndYourTurn{&PlayField, "EndYourTurn", "End Your Turn"};
    MenuItem ChangePlayField{&PlayField, "ChangePlayField", "Change Playfield"};
    MenuItem MakeStickyNote{&PlayField, "MakeStickyNote", "Make Sticky Note"};
    MenuItem Tokens{&PlayField, "Tokens", "Tokens"};
    // One entry per token name; element 0 is the designed one.
    platform::ControlArray<platform::Menu> TokenRoot{&Tokens, "TokenRoot"};

    MenuItem StickyNoteMenu{this, "StickyNoteMenu", "StickyNote"};
    MenuItem EditNote{&StickyNoteMenu, "EditNote", "Edit Note"};
    MenuItem DeleteNote{&StickyNoteMenu, "DeleteNote", "Delete Note"};

    MenuItem CardInPlay{this, "CardInPlay", "CardInPlay"};
    MenuItem putintrash{&CardInPlay, "putintrash", "Put in Graveyard"};
    MenuItem ReturnToHand2{&CardInPlay, "ReturnToHand2", "Return to Hand"};
    MenuItem field2deck{&CardInPlay, "field2deck", "Put on top of Deck"};
    MenuItem activateEffect{&CardInPlay, "activateEffect", "Activate Card Effect"};
    MenuItem AddCounter{&CardInPlay, "AddCounter", "Add Counter"};
    MenuItem RemoveCounter{&CardInPlay, "RemoveCounter", "Remove Counter"};
    MenuItem FlipCardOver{&CardInPlay, "FlipCardOver", "Flip Card Over"};
    MenuItem TurnCardHorizontal{&CardInPlay, "TurnCardHorizontal", "Turn Card Horiz/Vert"};
    MenuItem flipNturn{&CardInPlay, "flipNturn", "Flip To Face Down Defense"};
    MenuItem RemoveFromGameFromPlay{&CardInPlay, "RemoveFromGameFromPlay", "Remove from Game (RFG)"};
    MenuItem ChangeOwnership{&CardInPlay, "ChangeOwnership", "Change Ownership"};
    MenuItem GiveToPlayer1{&ChangeOwnership, "GiveToPlayer1", "Give to Player 1 (Yellow)"};
    MenuItem GiveToPlayer2{&ChangeOwnership, "GiveToPlayer2", "Give to Player 2 (Blue)"};
    MenuItem AttackMenu{&CardInPlay, "AttackMenu", "Attack"};
    MenuItem AttackLP{&AttackMenu, "AttackLP", "Opponents`s LP"};
    platform::ControlArray<platform::Menu> Slot1{&AttackMenu, "Slot1", 5};  // attack targets

    MenuItem cardinhand{this, "cardinhand", "CardInHand"};
    MenuItem PutIntoPlay{&cardinhand, "PutIntoPlay", "Put into Play"};
    MenuItem putintoplayfacedown{&cardinhand, "putintoplayfacedown", "Put into Play (Face Down)"};
    MenuItem putintoplayfacedownhoriz{&cardinhand, "putintoplayfacedownhoriz",
                                      "Put into Play (Face Down/Horiz)"};
    MenuItem putintrash2{&cardinhand, "putintrash2", "Put in Graveyard"};
    MenuItem putontopofdeck{&cardinhand, "putontopofdeck", "Put on Top of Deck"};
    MenuItem BottomOfDeck{&cardinhand, "BottomOfDeck", "Put on Bottom of Deck"};
    MenuItem ShuffleIntoDeckFaceUp{&cardinhand, "ShuffleIntoDeckFaceUp", "Shuffle into Deck Face Up"};
    MenuItem RemoveFromGameFromHand{&cardinhand, "RemoveFromGameFromHand", "Remove from Game (RFG)"};
    MenuItem ShowHand{&cardinhand, "ShowHand", "Show Hand "};
    MenuItem showLastCard{&cardinhand, "showLastCard", "Show Last Drawn Card"};

    // The macro items in order: Macro1 .. Macro9.
    platform::Menu* macro_item(int k);

protected:
    void Form_Load() override;

    Tablewright& tw_;

private:
    void Design();
    // Parts of the load, each a step or a group of steps.
    void ReadUserName();
    void FillDuelModes();
    void PlaceMenuBar();
    void FillMacros();
    void FillTokenMenu();
    void LabelStats();
    void WelcomeLines();

public:
    // Piles and the hand.
    void hand_Click();
    void hand_DblClick();
    void hand_MouseDown(int Button, int Shift, double X, double Y);
    void hand_OLEStartDrag(platform::DataObject& Data, int& AllowedEffects);
    void hand_OLEDragDrop(platform::DataObject& Data, int& Effect, int Button, int Shift, double X, double Y);
    void PutIntoPlay_Click();
    void putintoplayfacedown_Click();
    void putintoplayfacedownhoriz_Click();
    void putintrash2_Click();
    void putontopofdeck_Click();
    void BottomOfDeck_Click();
    void ShuffleIntoDeckFaceUp_Click();
    void RemoveFromGameFromHand_Click();
    void DiscardRandom_Click();
    void drawcard_Click();
    void DrawAndShow_Click();

private:
    bool WirePilesAndHand();
    bool piles_and_hand_wired_ = WirePilesAndHand();

    // Card panel.
public:
    void Combo1_Click();
    void Label32_Click();
    void Label8_Click();
    void Deck_Click();
    // True while the panel itself selects the newest history entry.
    bool SelectingCardHistory = false;

private:
    bool WireCardPanel();
    bool card_panel_wired_ = WireCardPanel();

    // The program's other windows, from the "More" menu.
public:
    void editMyToken_Click();
    void updateMySet_Click();
    void about2_Click();

    void launchChat_Click();
    void launchScrollkeep_Click();
    void bridgehall_Click();
    void Help_Click();
    void Settings2_Click();
    void ChangePlayField_Click();
    void ShowCalc_Click();  // both "Calculator" items

private:
    bool WireWindowItems();
    bool window_items_wired_ = WireWindowItems();

    // ---- The table by hand: what a person does to field cards and whole piles ----
public:
    // Where a press on an own field card caught it, in its twips.
    std::int16_t GrabX = 0;
    std::int16_t GrabY = 0;
    // Where that card lay when pressed: a drag that ends in a refusal puts it back there.
    platform::PointTw DragFrom;
    // The slot whose drag was refused: the pointer moves it no more until it is pressed again.
    int RefusedDragSlot = -1;

    // Selection, the card menu, dragging, the name label.
    void cardstencil_MouseDown(int Index, int Button, int Shift, double X, double Y);
    void cardstencil_MouseMove(int Index, int Button, int Shift, double X, double Y);
    void cardstencil_MouseUp(int Index, int Button, int Shift, double X, double Y);
    void Label5_MouseDown(int Index, int Button, int Shift, double X, double Y);
    void Label5_MouseMove(int Index, int Button, int Shift, double X, double Y);

    // The card menu's actions on a card that stays on the table.
    void AddCounter_Click();
    void RemoveCounter_Click();
    void FlipCardOver_Click();
    void TurnCardHorizontal_Click();
    void flipNturn_Click();
    void GiveToPlayer1_Click();
    void GiveToPlayer2_Click();
    void activateEffect_Click();
    void AttackLP_Click();
    void Slot1_Click(int Index);
    void TokenRoot_Click(int Index);

    // The card menu's ways off the table.
    void field2deck_Click();
    void putintrash_Click();
    void ReturnToHand2_Click();
    void RemoveFromGameFromPlay_Click();

    // Whole-pile moves and deck operations.
    void Hand2Deck_Click();
    void Hand2GY_Click();
    void Hand2RFG_Click();
    void Deck2Hand_Click();
    void Deck2GY_Click();
    void Deck2RFG_Click();
    void GY2Hand_Click();
    void GY2Deck_Click();
    void GY2RFG_Click();
    void RFG2Hand_Click();
    void RFG2Deck_Click();
    void RFG2GY_Click();
    void DiscardTop_Click();
    void Shuffle_Click();
    void FlipDeck_Click();

    // Where a person reaches them (with the keys and the "Gameplay" label): the table's own menu.
    void playsurface_MouseDown(int Button, int Shift, double X, double Y);

private:
    bool WireTableByHand();
    bool table_by_hand_wired_ = WireTableByHand();

    // ---- Game flow: phases, life points, sticky notes, dice and keys, the menu bar ----
public:
    // Phase label colours.
    static constexpr platform::Color kPhaseIdle = 12632256;       // light grey
    static constexpr platform::Color kPhaseCurrent = 14529686;    // blue: red 150, green 180, blue 221
    static constexpr platform::Color kOppTurnCurrent = 9690622;   // light orange: 254, 221, 147
    static constexpr platform::Color kTurnHandedOver = 65535;     // yellow
    static constexpr platform::Color kOpponentPhase = 16777215;   // white
    // Menu-bar label colours, and the skin's white.
    static constexpr platform::Color kBarIdle = 12632256;
    static constexpr platform::Color kBarLit = 16777215;
    static constexpr platform::Color kSkinWhite = 16777215;

    // Turn phases. JumpPhase sets, announces, sends and shows a phase (any number).
    void JumpPhase(const std::int32_t& Nummy);
    void NextPhase_Click();
    void End_Turn_Click();
    void EndYourTurn_Click();
    // A received phase of the opponent: its label white over our own phase; outside 1 to 7 it
    // is taken as the opponent's turn. Our own Phase is not changed.
    void ShowOpponentPhase(std::int32_t phase);
    // draw .. endphase, then OppTurn.
    std::array<platform::Label*, 7> PhaseLabels();

    // Life points: row 0 to 11 of the fixed changes, in menu order ("Subtract 1000" to "Add 1000").
    void LifePointItem_Click(int Row);
    void HPCustom_Click();
    void Text1_Change();
    void Text2_Change();
    void Text1_MouseDown(int Button, int Shift, double X, double Y);
    void Text1_MouseMove(int Button, int Shift, double X, double Y);

    // Sticky notes.
    void MakeStickyNote_Click();
    void StickyNote_MouseDown(int Index, int Button, int Shift, double X, double Y);
    void StickyNote_MouseMove(int Index, int Button, int Shift, double X, double Y);
    void StickyNote_MouseUp(int Index, int Button, int Shift, double X, double Y);
    void EditNote_Click();
    void DeleteNote_Click();
    // Where a press caught a note, in its twips.
    std::int16_t NoteGrabX = 0;
    std::int16_t NoteGrabY = 0;

    // Dice, coin and the keys.
    void RollDice_Click();
    void flipcoin_Click();
    void Form_KeyDown(int KeyCode, int Shift);
    // The item a key runs, or null.
    MenuItem* ShortcutItem(int KeyCode, bool ctrl);

    // The menu bar and the skin.
    void lblFile_Click();
    void lblChat_Click();
    void lblGameplay_Click();
    void lblMore_Click();
    void File_Click();
    void Form_MouseMove(int Button, int Shift, double X, double Y);
    void selectedcard_MouseMove(int Button, int Shift, double X, double Y);
    void playsurface_MouseMove(int Button, int Shift, double X, double Y);
    void Label6_Click();
    // Lights one menu-bar label white and the others grey; null greys all four.
    void LightBarLabel(platform::Label* lit);
    std::array<platform::Label*, 4> BarLabels();

private:
    void OpenBarMenu(platform::Label& label, platform::Menu& menu);
    bool WirePhases();
    bool WireLifePoints();
    bool WireStickyNotes();
    bool WireDiceAndKeys();
    bool WireMenuBar();
    bool phases_wired_ = WirePhases();
    bool life_points_wired_ = WireLifePoints();
    bool sticky_notes_wired_ = WireStickyNotes();
    bool dice_and_keys_wired_ = WireDiceAndKeys();
    bool menu_bar_wired_ = WireMenuBar();

    // Window chrome, closing and the chat input.
public:
    void Image6_MouseDown(int Button, int Shift, double X, double Y);
    void Image6_MouseMove(int Button, int Shift, double X, double Y);
    void Image6_MouseUp(int Button, int Shift, double X, double Y);
    void Image3_Click();
    void Command16_Click();
    void quit_Click();
    void chatsend_Click();
    void chattext_KeyDown(int KeyCode, int Shift);

    // ---- Network play: the connection panel, its menu commands and the socket's events ----
public:
    void Text4_GotFocus();
    void Text4_LostFocus();
    void cmdCancel_Click();
    void Text3_DblClick();
    void game_Click();
    void connect2_Click();
    void Listenwindow2_Click();
    void Winsock1_Connect();
    void Winsock1_ConnectionRequest(long requestID);
    void Winsock1_Close();
    void Winsock1_Error(int Number, const std::string& Description);

private:
    // True while the Listen button waits for the own address; a second press ends the wait.
    bool WaitingForAddress = false;
    bool ListenCancelled = false;
    bool WireConnection();
    bool connection_wired_ = WireConnection();

    // ---- Reset and soft reset (the quit's steps are Shutdown's) ----
public:
    void ResetGame_Click();
    void SoftReset_Click();

protected:
    void Form_Unload(bool& cancel) override;

private:
    // What closing the duel window does once the player has agreed; it ends the program.
    [[noreturn]] void Shutdown();
    bool WireChrome();
    bool chrome_wired_ = WireChrome();
    TitleDrag Title;
    // The card panel emptied, as both resets leave it.
    void ClearCardPanel();
    // The template slot's controls hidden and its picture gone.
    void HideTemplateSlot();
    // The other windows closed, in the shutdown's order.
    void CloseOtherWindows();
    bool WireResets();
    bool resets_wired_ = WireResets();

    // ---- Looks at piles, reveals, and the table's piles and drops ----
public:
    // Own looks in the pile viewer.
    void searchdeck_Click();
    void ViewXCards_Click();
    void ViewXCards2();  // asks how many top cards, then shows them
    void SearchFusionDeck_Click();
    void SearchTrash_Click();
    void SearchYourRFG_Click();
    // Asking the opponent for a look at their piles.
    void Player1GY_Click();
    void Player2GY_Click();
    void Player1RFG_Click();
    void Player2RFG_Click();
    void ViewOppDeck_Click();
    // Reveals.
    void ShowHand_Click();
    void ShowHand2_Click();
    void showLastCard_Click();
    void ShowTopCardOfDeck_Click();
    void ShowRandomCard_Click();
    // The table: a card dropped on it (a press on a pile's place is playsurface_MouseDown).
    void playsurface_OLEDragDrop(platform::DataObject& Data, int& Effect, int Button, int Shift, double X,
                                 double Y);

private:
    bool WireLooks();
    bool looks_wired_ = WireLooks();

    // ---- The chat box: card references and links in it, the input's colour, the macros ----
public:
    void chat_Click();
    void chat_DblClick();
    void chattext_Change();
    void Macro1_Click();
    void Macro2_Click();
    void Macro3_Click();
    void Macro4_Click();
    void Macro5_Click();
    void Macro6_Click();
    void Macro7_Click();
    void Macro8_Click();
    void Macro9_Click();
    void Macro10_Click();

private:
    void SendMacro(int k);
    bool WireChatBox();
    bool chat_box_wired_ = WireChatBox();
};

// A skin's folder name (lower case) from the path of its settings file under the program's
// skins folder; nullopt for a path that leads anywhere else.
std::optional<std::string> SkinName(const Tablewright& tw, const std::string& skin_path);

}  // namespace win
}  // namespace tw
