// The duel window's own chrome (it has no system title bar), its closing, and the chat input's
// Send button and Enter key.
#include <string>

#include "cards/chat_input.hpp"
#include "cards/duel_log.hpp"
#include "cards/game_log.hpp"
#include "cards/hax.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "platform/rt.hpp"

namespace tw::win {

namespace {

constexpr int kEnter = 13;

}  // namespace

bool FormA::WireChrome() {
    Image6.MouseDown = [this](int b, int s, double x, double y) { Image6_MouseDown(b, s, x, y); };
    Image6.MouseMove = [this](int b, int s, double x, double y) { Image6_MouseMove(b, s, x, y); };
    Image6.MouseUp = [this](int b, int s, double x, double y) { Image6_MouseUp(b, s, x, y); };
    Title.carry(lblTitle, Image6, *this);
    Image3.Click = [this] { Image3_Click(); };
    Command16.Click = [this] { Command16_Click(); };
    quit.Click = [this] { quit_Click(); };
    chatsend.Click = [this] { chatsend_Click(); };
    chattext.KeyDown = [this](int key, int shift) { chattext_KeyDown(key, shift); };
    return true;
}

void FormA::Image6_MouseDown(int, int, double X, double Y) { Title.press(X, Y); }

void FormA::Image6_MouseMove(int, int, double X, double Y) {
    LightBarLabel(nullptr);
    Title.follow(*this, X, Y);
}

void FormA::Image6_MouseUp(int, int, double, double) { Title.release(); }

// Minimised by the player: the zero-size window must not bring it back when it gets the focus.
void FormA::Image3_Click() {
    tw_.duel.UserMinimized = true;
    set_window_state(platform::WindowState::Minimized);
}

void FormA::Command16_Click() { quit_Click(); }

void FormA::quit_Click() { unload(); }

// Every way of closing the window comes here: the close picture, "Quit" and the desktop's own
// close. Only a "Yes" lets the window go.
void FormA::Form_Unload(bool& cancel) {
    rt::try_step([&] { tw_.hax().hide(); });
    const auto answer = tw_.app.msg_box("Are you sure you want to quit?", platform::MsgButtons::YesNo,
                                        platform::MsgIcon::None, "Tablewright " + tw_.VersionText);
    if (answer != platform::MsgResult::Yes) {
        cancel = true;
        return;
    }
    Shutdown();
}

void FormA::chatsend_Click() {
    if (!rt::try_step([&] { SubmitChatBox(tw_); })) sendError("chatsend_click");
}

void FormA::chattext_KeyDown(int KeyCode, int) {
    if (KeyCode == kEnter) SubmitChatBox(tw_);
}

}  // namespace tw::win
