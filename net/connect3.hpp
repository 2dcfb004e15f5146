#pragma once
// The connect dialog: it applies a duel mode and opens the duel window's socket. The duel
// window's Connect button drives it without showing it; the Game menu's "Manual Connect" shows
// it. Unloading it ends the connection it made.
#include <cstdint>

#include "platform/controls.hpp"
#include "platform/form.hpp"
#include "platform/timer.hpp"
#include "platform/web.hpp"

namespace tw {
class Tablewright;
namespace win {

class Connect3 : public platform::Form {
public:
    explicit Connect3(Tablewright& tw);

    platform::Label Label1{this, "Label1"};  // "Duel Mode:"; a click toggles Check1
    platform::ComboBox Combo1{this, "Combo1"};
    platform::Label Label2{this, "Label2"};  // "Opponent`s IP:"
    platform::TextBox oct1{this, "oct1"};
    platform::CommandButton Command1{this, "Command1"};  // "Connect"
    platform::Label status{this, "status"};
    platform::Label Label4{this, "Label4"};  // "Your IP(s):"
    platform::ListBox Text1{this, "Text1"};
    platform::Label Label5{this, "Label5"};  // "Your IP is most likely:"
    platform::WebBrowser WebBrowser1;        // the address page
    platform::Label Label6{this, "Label6"};  // the note on where the cards appear
    platform::CheckBox Check1{this, "Check1"};  // "Log Duel"; the duel window's box decides
    platform::Timer Timer1{this, "Timer1"};     // one tick a second while an attempt runs

    // Seconds the running attempt has taken.
    std::int32_t ConnectTicks = 0;

    // Applies the chosen mode and opens the socket; the socket's events tell how it went.
    void Command1_Click();
    void Timer1_Timer();
    void Text1_DblClick();
    void Label1_Click();

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void Form_Terminate() override;

private:
    Tablewright& tw_;
    bool unloaded_ = false;  // its own closing has already ended the connection
};

}  // namespace win
}  // namespace tw
