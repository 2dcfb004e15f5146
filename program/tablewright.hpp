#pragma once
// The Tablewright program: its windows and the state of all its subsystems live in one object,
// so that one process (a test) can run two tables side by side on one event loop. Each
// subsystem's state is a group of its own, declared in that subsystem's folder.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cards/card_data_state.hpp"
#include "cards/duel_log_state.hpp"
#include "cards/error_state.hpp"
#include "cards/settings_state.hpp"
#include "deckeditor/editor_state.hpp"
#include "duel/duel_state.hpp"
#include "net/net_state.hpp"
#include "table/field_state.hpp"
#include "table/pile_state.hpp"
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

    // Each subsystem's state, declared in the subsystem's folder.
    CardData cards;
    ErrorReportState errors;
    Preferences prefs;
    DuelLogState log;
    DuelWindowState duel;
    PileState piles;
    FieldState field;
    DeckEditorState editor{cards.CardDatabase};
    NetState net;

    std::string VersionText;

    // Lives as long as the program object: a task the loop runs later looks at it first.
    std::shared_ptr<const bool> Alive = std::make_shared<const bool>(true);

    // The program folder as a path.
    std::filesystem::path folder() const { return std::filesystem::path(app.path); }
    // A file of the program folder named as the program names it ("images\\x.gif"), found
    // without regard to letter case.
    std::filesystem::path path_of(std::string_view relative) const;
};

}  // namespace tw
