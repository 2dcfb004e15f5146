#include "cards/about.hpp"
#include "cards/tablewright.hpp"
#include "cards/token_editor.hpp"
#include "cards/updater.hpp"
#include "duel/forma.hpp"

namespace tw::win {

void FormA::editMyToken_Click() {
    tw_.frmTokens().show(this);
    tw_.frmTokens().initialize();
}

void FormA::updateMySet_Click() { tw_.frmUpdater().show(this); }

void FormA::about2_Click() { tw_.about().show(this); }

bool FormA::WireWindowItems() {
    editMyToken.Click = [this] { editMyToken_Click(); };
    updateMySet.Click = [this] { updateMySet_Click(); };
    about2.Click = [this] { about2_Click(); };
    return true;
}

}  // namespace tw::win
