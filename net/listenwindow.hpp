#pragma once
// The listen dialog: it makes the duel window's socket wait for the opponent as seat 1. The duel
// window's Listen button drives it without showing it; the Game menu's "Listen" shows it.
// Unloading it ends the listening or the connection.
#include <string>

#include "platform/controls.hpp"
#include "platform/form.hpp"
#include "platform/web.hpp"

namespace tw {
class Tablewright;
namespace win {

class ListenWindow : public platform::Form {
public:
    explicit ListenWindow(Tablewright& tw);

    platform::Label Label1{this, "Label1"};  // the help text
    platform::CommandButton Command1{this, "Command1"};  // "Listen"
    platform::CommandButton Command2{this, "Command2"};  // "Stop Listening"
    platform::Label Label3{this, "Label3"};              // what the dialog is doing
    platform::Label Label4{this, "Label4"};              // "Your IP(s):"
    platform::ListBox Text1{this, "Text1"};
    platform::Label Label5{this, "Label5"};  // "Your IP is most likely: "; a click toggles Check1
    platform::WebBrowser WebBrowser1;        // the address page the Listen button reads
    platform::Label Label6{this, "Label6"};  // the note on where the cards appear
    platform::CheckBox Check1{this, "Check1"};  // "Log Duel."; the duel window's box decides

    // Why the last listen failed ("" while it listens).
    std::string ListenError;

    // Listens as seat 1; a port that cannot be had is said so, and the seat is given up.
    void Command1_Click();
    void Command2_Click();
    void Text1_DblClick();
    void Label5_Click();

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void Form_Terminate() override;

private:
    void Closed();
    Tablewright& tw_;
};

}  // namespace win
}  // namespace tw
