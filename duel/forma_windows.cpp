// The program's other windows and the companion programs, from the duel window's menus. Every
// window here is modeless; one already open is shown again and brought forward.
#include <string>
#include <string_view>

#include "cards/about.hpp"
#include "cards/errors.hpp"
#include "cards/helpers.hpp"
#include "cards/settings_window.hpp"
#include "program/tablewright.hpp"
#include "cards/token_editor.hpp"
#include "cards/updater.hpp"
#include "duel/calc.hpp"
#include "duel/forma.hpp"
#include "net/site.hpp"

namespace tw::win {

namespace {

// Companion programs run as processes of their own; a missing one is said so, not failed on.
void LaunchUtility(Tablewright& tw, std::string_view windows_name, const std::string& shown_name) {
    if (StartProgramOfFolder(tw, windows_name)) return;
    ShowMessage(tw, shown_name + " cannot be started: the program was not found.");
}

// A window this one opens, shown the first time over its middle rather than at the screen's
// corner, where it would cover the card panel and the pile viewer. It stays a window of its own.
template <class T>
void ShowOver(platform::FormSlot<T>& slot, platform::Form& over) {
    const bool fresh = slot.peek() == nullptr;
    T& window = slot();
    if (fresh) window.centre_on(over);
    window.show();
}

}  // namespace

void FormA::editMyToken_Click() {
    tw_.frmTokens().show(this);
    tw_.frmTokens().initialize();
}

void FormA::updateMySet_Click() { tw_.frmUpdater().show(this); }

void FormA::about2_Click() { tw_.about().show(this); }

void FormA::launchChat_Click() { LaunchUtility(tw_, "Utilities\\Chatwell.exe", "Chatwell"); }
void FormA::launchScrollkeep_Click() { LaunchUtility(tw_, "Utilities\\Scrollkeep.exe", "Scrollkeep"); }
void FormA::bridgehall_Click() { LaunchUtility(tw_, "Utilities\\Bridgehall.exe", "Bridgehall"); }

void FormA::Help_Click() { OpenUrl(tw_, SiteUrl(tw_, site::kManual)); }

void FormA::Settings2_Click() { ShowOver(tw_.settings, *this); }
void FormA::ChangePlayField_Click() { ShowOver(tw_.settings, *this); }

void FormA::ShowCalc_Click() { ShowOver(tw_.calc, *this); }

bool FormA::WireWindowItems() {
    editMyToken.Click = [this] { editMyToken_Click(); };
    updateMySet.Click = [this] { updateMySet_Click(); };
    about2.Click = [this] { about2_Click(); };
    launchChat.Click = [this] { launchChat_Click(); };
    launchScrollkeep.Click = [this] { launchScrollkeep_Click(); };
    bridgehall.Click = [this] { bridgehall_Click(); };
    Help.Click = [this] { Help_Click(); };
    Settings2.Click = [this] { Settings2_Click(); };
    ChangePlayField.Click = [this] { ChangePlayField_Click(); };
    ShowCalc.Click = [this] { ShowCalc_Click(); };
    ShowCalc2.Click = [this] { ShowCalc_Click(); };
    return true;
}

}  // namespace tw::win
