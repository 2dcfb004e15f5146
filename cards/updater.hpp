#pragma once
// The set updater: fetches the current set file of the chosen card list from the maker's site,
// tells whether it differs from the one beside the program, and installs it on request. The
// new file is read at the next start.
#include <optional>
#include <string>
#include <string_view>

#include "platform/controls.hpp"
#include "platform/form.hpp"
#include "platform/html.hpp"
#include "platform/web.hpp"

namespace tw {
class Tablewright;

// The set file a fetched page carries: the raw markup of its element 4 with every line end made
// CR LF. nullopt unless that text holds at least one card record (a name and a set code), so
// that an error page, an empty page or some other page is never taken for a set file.
std::optional<std::string> SetFileFromPage(const platform::HtmlDocument& page);

// Whether a set file's text names at least one card: a record with a name and a set code. Reads
// the text once, building no cards, so that a huge page costs no memory.
bool HoldsACardRecord(std::string_view set_text);

namespace win {

class FrmUpdater : public platform::Form {
public:
    explicit FrmUpdater(Tablewright& tw);

    platform::Label lblInfo{this, "lblInfo"};
    platform::OptionButton Option1{this, "Option1"};  // TCG: the normal set file
    platform::OptionButton Option2{this, "Option2"};  // OCG: the second set file
    platform::CommandButton Command1{this, "Command1"};    // Check For Updates
    platform::CommandButton cmdCheck{this, "cmdCheck"};    // never shown
    platform::CommandButton cmdUpdate{this, "cmdUpdate"};  // Install Updates
    platform::CommandButton cmdExit{this, "cmdExit"};      // Exit Updater
    platform::Label lblWork{this, "lblWork"};
    platform::WebBrowser WebBrowser1;

    // The last check's pages: the fetched set file (empty when the check found none) and the
    // local one, and the local file the fetched one is for.
    std::string rtbNew;
    std::string rtbOld;
    std::string FetchedFor;

    void Command1_Click();
    void cmdUpdate_Click();
    void cmdExit_Click();
    void Option1_Click();
    void Option2_Click();

private:
    // The set file of the option chosen now.
    std::string_view ChosenFile() const;

    Tablewright& tw_;
};

}  // namespace win
}  // namespace tw
