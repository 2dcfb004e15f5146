#pragma once
// The folder picker of the settings window: fills its logs or decks folder box.
#include <string>

#include "platform/controls.hpp"
#include "platform/form.hpp"

namespace tw {
class Tablewright;
namespace win {

class FrmBrowse : public platform::Form {
public:
    explicit FrmBrowse(Tablewright& tw);

    platform::DriveListBox Drive1{this, "Drive1"};
    platform::Label lblFolder{this, "lblFolder"};  // the folder Dir1 is in
    platform::DirListBox Dir1{this, "Dir1"};
    platform::CommandButton Command1{this, "Command1"};
    platform::CommandButton Command2{this, "Command2"};

    // "logs" or "decks": which box of the settings window the picker serves.
    std::string whichFolder;

    // Opens Dir1 at the folder of the box named by whichFolder; a missing folder raises
    // rt::RuntimeError (path not found).
    void loadPath();

    void Command1_Click();  // OK
    void Command2_Click();  // Cancel
    void Drive1_Change();
    void Dir1_Change();

protected:
    Tablewright& tw_;
};

}  // namespace win
}  // namespace tw
