#pragma once
// The account dialog: checks a chat-server login, registers the name when it is new, and hands
// the verified login to the duel window. Its own socket talks to the chat server.
#include <string_view>

#include "net/xmpp_stream.hpp"
#include "platform/controls.hpp"
#include "platform/form.hpp"
#include "platform/tcp.hpp"
#include "platform/timer.hpp"

namespace tw {
class Tablewright;

inline constexpr std::string_view kAccountPleaseVerify = "Please verify your account.";
inline constexpr std::string_view kAccountVerified = "Username Verified.";
inline constexpr std::string_view kAccountConnectionError = "Connection Error.";
inline constexpr std::string_view kAccountServerNotFound = "The chat server could not be found.";
inline constexpr std::string_view kAccountNotVerified =
    "This username is either invalid or is already registered under a different password. If you "
    "registered this username, doublecheck your password.";
inline constexpr std::string_view kAccountNameUnusable = "This account name cannot be used.";
inline constexpr std::string_view kAccountHelp =
    "Server dueling requires an account. This account isn't related in any way to your Plimvale "
    "account. Registration is a one time process. If you have already registered an account simply "
    "enter the information and click 'Verify Account'. To create a new account, do the same thing "
    "with a desired account name. If your desired name is taken, you will need to pick another. ";
// How long the server may take to answer before the attempt is given up.
inline constexpr int kAccountAnswerMs = 10000;

namespace win {

class FrmJabber : public platform::Form {
public:
    explicit FrmJabber(Tablewright& tw);

    platform::Label Label2{this, "Label2"};  // "Username:"
    platform::TextBox Text1{this, "Text1"};
    platform::Label Label3{this, "Label3"};  // "Password:"
    platform::TextBox Text2{this, "Text2"};  // shown as "*"
    platform::CommandButton Command2{this, "Command2"};  // "Verify Account"
    platform::CommandButton Command1{this, "Command1"};  // "Save Changes And Exit"
    platform::Label Label1{this, "Label1"};              // the result line
    platform::Label Label4{this, "Label4"};              // the help text
    platform::TcpSocket Winsock1;
    platform::Timer Timer1{this, "Timer1"};  // the wait for the server's answer

    enum class Step { None, Login, Register };
    Step step() const { return step_; }
    bool verified() const { return verified_; }

    void Command2_Click();
    void Command1_Click();
    void Text1_Change();
    void Text2_Change();
    void Winsock1_Connect();
    void Winsock1_DataArrival(long bytesTotal);
    void Winsock1_Error(int number, const std::string& description);
    void Winsock1_Close();
    void Timer1_Timer();

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

private:
    // The attempt's end: the socket closed, the wait over, the result line and buttons set.
    void Finish(bool verified);
    // The server went away or never answered: it may be tried again.
    void GiveUp();

    Tablewright& tw_;
    Step step_ = Step::None;
    bool verified_ = false;
    XmppStreamScanner in_;
};

}  // namespace win
}  // namespace tw
