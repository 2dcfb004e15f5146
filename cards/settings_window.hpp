#pragma once
// The settings window: user name, play-surface wallpaper, logs and decks folders, skin and
// chat timestamps. Shown and hidden; it lives until the duel window unloads.
#include "platform/controls.hpp"
#include "platform/dialog.hpp"
#include "platform/form.hpp"

namespace tw {
class Tablewright;
namespace win {

class Settings : public platform::Form {
public:
    explicit Settings(Tablewright& tw);

    platform::Label Label1{this, "Label1"};
    platform::TextBox Text1{this, "Text1"};
    platform::Label Label2{this, "Label2"};
    platform::TextBox Text2{this, "Text2"};
    platform::CommandButton Browse{this, "Browse"};
    platform::Label Label9{this, "Label9"};
    platform::TextBox Text5{this, "Text5"};
    platform::CommandButton Command4{this, "Command4"};
    platform::Label Label6{this, "Label6"};
    platform::TextBox Text3{this, "Text3"};
    platform::CommandButton Command2{this, "Command2"};
    platform::Label Label7{this, "Label7"};
    platform::TextBox Text4{this, "Text4"};
    platform::CommandButton Command3{this, "Command3"};
    platform::Label Label8{this, "Label8"};
    platform::CheckBox Check2{this, "Check2"};
    platform::CheckBox Check1{this, "Check1"};
    platform::Label Label3{this, "Label3"};
    platform::HScrollBar HScroll1{this, "HScroll1"};
    platform::Label Label4{this, "Label4"};
    platform::Label Label5{this, "Label5"};
    platform::CommandButton Command1{this, "Command1"};
    platform::CommandButton Command5{this, "Command5"};
    platform::CommonDialog comm1{this, "comm1"};

    void Command1_Click();  // Save Settings and Exit
    void Command5_Click();  // Restore Defaults
    void Browse_Click();    // wallpaper
    void Command3_Click();  // skin
    void Command2_Click();  // decks folder
    void Command4_Click();  // logs folder
    void HScroll1_Change();

protected:
    void Form_Load() override;

    Tablewright& tw_;

private:
    void browse_folder(const char* which);
};

}  // namespace win
}  // namespace tw
