#pragma once
// The Tablewright program: its windows and the module-level state of all its subsystems live in
// one object, so that one process (a test) can run two tables side by side on one event loop.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cards/card.hpp"
#include "cards/card_store.hpp"
#include "cards/game_log.hpp"
#include "net/duel_frame.hpp"
#include "net/probation.hpp"
#include "net/xmpp_stream.hpp"
#include "platform/app.hpp"
#include "platform/files.hpp"
#include "platform/form.hpp"
#include "platform/net_config.hpp"
#include "platform/random.hpp"
#include "platform/rt_array.hpp"
#include <filesystem>
#include <string_view>

namespace tw {

namespace win {
class FormA;
class DeckMaker;
class LoadSet;
class Hax;
class Settings;
class FrmBrowse;
class Tip;
class About;
class FrmTokens;
class FrmUpdater;
class Calc;
class Connect3;
class ListenWindow;
class FrmJabber;
class View;
class MacroWindow;
}  // namespace win

// One command that SendCommand was asked to send, as it would go out.
struct SentCommand {
    std::string command;
    std::int32_t tag = 0;
    bool connected = false;  // whether a connection was there to carry it
};

class Tablewright {
public:
    explicit Tablewright(platform::App& app);
    ~Tablewright();
    Tablewright(const Tablewright&) = delete;
    Tablewright& operator=(const Tablewright&) = delete;

    platform::App& app;
    platform::NetConfig net_config;
    platform::Random random;

    // Windows, loaded on first touch.
    platform::FormSlot<win::LoadSet> LoadSet;
    platform::FormSlot<win::DeckMaker> DeckMaker;
    platform::FormSlot<win::FormA> FormA;
    platform::FormSlot<win::Hax> hax;
    platform::FormSlot<win::Settings> settings;
    platform::FormSlot<win::FrmBrowse> frmBrowse;
    platform::FormSlot<win::Tip> Tip;  // the field cards' hover window
    platform::FormSlot<win::About> about;
    platform::FormSlot<win::FrmTokens> frmTokens;
    platform::FormSlot<win::FrmUpdater> frmUpdater;
    platform::FormSlot<win::Calc> calc;  // the life-point calculator
    platform::FormSlot<win::Connect3> connect3;          // drives a connect attempt, never shown by the panel
    platform::FormSlot<win::ListenWindow> listenwindow;  // drives listening, never shown by the panel
    platform::FormSlot<win::FrmJabber> frmJabber;  // the chat-server account dialog
    platform::FormSlot<win::View> view;  // the pile viewer
    platform::FormSlot<win::MacroWindow> MacroWindow;  // the chat macros' editor

    // Card data.
    CardStore CardDatabase;
    std::vector<std::string> SetCodes;
    std::shared_ptr<struct CardLookupIndex> CardDatabaseIndex;  // built by the set load
    std::vector<Card> SpareCardList = std::vector<Card>(1);  // a second list LookupCard consults

    // Error reports.
    std::string LineMarker;
    std::string LastReceivedCommand;

    // Common helpers.
    std::int32_t FlashFlags = 0;

    // Settings and the duel log.
    std::string UserName;
    std::string LogFolder;
    std::string LogFileName;
    bool LoggingOn = false;
    // The start of the duel log that the chat box's trimming cut off, and the box's text just
    // after the last cut; the game log keeps the whole duel (cards/game_log.hpp).
    std::string DuelLogCut;
    std::string DuelLogKept;
    GameLogWriter GameLog;
    bool AttentionShown = false;
    bool AttentionSent = false;  // the player's own "/attention" went out on this connection
    // Element 0 empty, then "name|set" of every card reference the duel log shows.
    std::vector<std::string> ChatCardLinks = std::vector<std::string>(1);
    std::string JabberServer;
    bool ShowTimestamps = false;
    std::vector<std::string> Macros = std::vector<std::string>(10);  // 1 to 9 used

    // Duel window state.
    std::string VersionText;
    std::int32_t MyLP = 8000;
    std::int32_t OppLP = 8000;
    std::uint32_t ChatForeColor = 0;  // the chat text colour; a skin makes it white
    std::uint32_t ChatBackColor = 0xFFFFFF;
    bool ChatInMainWindow = false;
    std::int32_t Phase = 0;  // own turn phase: 1 Draw .. 6 End, 7 the opponent's turn
    std::int32_t SelectedNote = 0;  // the sticky note pressed last
    bool UserMinimized = false;     // the player minimised the duel window with its own control

    // Piles: element 0 of each stays empty; as the duel window's load leaves them.
    rt::Array<Card> DeckCards{60};  // element 1 is the top
    rt::Array<Card> HandCards{0};   // element i + 1 is item i of the hand list
    rt::Array<Card> TrashCards{0};  // graveyard and removed-from-game pile
    rt::Array<Card> ExtraDeckCards{0};
    std::int32_t DrawnCount = 0;
    std::int32_t DeckRemaining = 0;
    bool DeckFaceUp = false;
    bool DeckLoaded = false;
    Card LastDrawnCard;
    bool PlayedOffline = false;

    // The pile viewer as the pile moves see it: what it shows ("" while no look is open),
    // whether it is shown, and its refresh (its load run again; a viewer not yet loaded is
    // loaded hidden). The program object points them at the viewer window; a test may stand in.
    std::string PileViewMode;
    std::function<bool()> PileViewerVisible = [] { return false; };
    std::function<void()> RefreshPileViewer = [] {};
    std::function<void()> ClosePileViewer = [] {};  // unloads it, with its closing lines
    // The opponent's wish to see the deck is being put to the player.
    bool DeckLookAsked = false;

    // Field: one record per slot (slot 0 is the template's and never holds a card), the places
    // of the table by (row, column) holding slot numbers (below 1: free), and the slot last
    // pressed, dragged or placed (-1: none).
    rt::Array<Card> FieldCards{24};
    rt::Array2D<std::int32_t> FieldGrid{3, 6};
    std::int16_t SelectedSlot = -1;

    // Deck editor state.
    SearchHits SearchResults{CardDatabase};  // positions in CardDatabase
    bool SearchRunning = false;  // a card search is going through the database
    std::vector<std::string> BanList = std::vector<std::string>(1);
    std::string LastDeckPath;

    // The program's own files as last read or written: the settings file, and the token file
    // with its sections (cards/token_files.hpp), each read again only once it changed.
    platform::FileCache SettingsCache;
    std::shared_ptr<struct TokenFileCache> TokenCache;
    bool SettingsFailureTold = false;  // a failed settings write was told to the player

    // Network state.
    std::int32_t PlayerNumber = 0;
    std::vector<std::string> PlayerNames = std::vector<std::string>(5);
    std::string FrameStart = "^~";
    std::string FrameEnd = "~^";
    std::int32_t ProtocolVersion = 20;
    bool ServerDuel = false;  // frames travel as XMPP messages
    bool RelayMode = false;   // a relay or a server sits between the tables
    std::string JabberPeer;   // the opponent's XMPP login name
    // The own XMPP account as verified by the account dialog; empty at every start.
    std::string JabberUser;
    std::string JabberPassword;
    // The account dialog: shown owned by the duel window, and whether it is still shown. Until
    // the dialog is built there is none to show.
    std::function<void()> ShowAccountDialog = [] {};
    std::function<bool()> AccountDialogVisible = [] { return false; };
    // What a server duel writes first on its new connection: the chat server's login.
    std::function<void()> SendServerLogin = [] {};
    XmppStreamScanner XmppReceive;  // the chat server's stream on the duel window's socket
    bool UsingOnlineDeck = false;
    // Commands sent and received since the counts were last set back, and pieces of received
    // data that were dropped; the tamper meter compares them. 32-bit, so a long duel never wraps.
    std::int32_t SentCount = 0;
    std::int32_t ReceivedCount = 0;
    std::int32_t GarbledCount = 0;
    std::int16_t HackLevel = 0;  // 0 to 20
    std::string HackLight;       // the meter's light last shown
    std::int32_t SendSeq = 0;     // number of the next frame sent, 0 to 255
    std::int32_t ReceiveSeq = 0;  // number of the frame taken in last
    // Per frame number: "" not seen, else the command with its count; "DONE " once dispatched.
    rt::Array<std::string> ReceiveHistory{255};
    DuelFrameReader ReceiveBuffer;  // bytes of the duel socket not yet cut into frames
    bool DisconnectShown = false;   // "Disconnected!" was shown for this connection
    ListenProbation Probation;      // of the connection taken while listening
    std::string ExpectedHandshake;
    bool ChallengeOpen = false;     // our challenge went out and its right answer has not come
    bool ProbeAnswerWaits = false;  // the relay's probe came while the challenge was open
    std::int64_t MalformedNotedMs = -1;  // when a malformed command was last noted in the log
    std::int64_t OutOfStepNotedMs = -1;  // when the tables' disagreement about a slot was last noted
    // Every command handed to SendCommand, in order (what the peer would receive while connected).
    // Only the newest ones are kept.
    std::vector<SentCommand> SentCommands;

    // Lives as long as the program object: a task the loop runs later looks at it first.
    std::shared_ptr<const bool> Alive = std::make_shared<const bool>(true);

    // The program folder as a path.
    std::filesystem::path folder() const { return std::filesystem::path(app.path); }
    // A file of the program folder named as the program names it ("images\\x.gif"), found
    // without regard to letter case.
    std::filesystem::path path_of(std::string_view relative) const;
};

}  // namespace tw
