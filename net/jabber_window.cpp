#include "net/jabber_window.hpp"

#include <string>

#include "cards/errors.hpp"
#include "cards/settings.hpp"
#include "program/tablewright.hpp"
#include "net/xmpp_texts.hpp"
#include "platform/rt.hpp"
#include "platform/rt_error.hpp"

namespace tw::win {

FrmJabber::FrmJabber(Tablewright& tw)
    : platform::Form(tw.app, "frmJabber"), Winsock1(tw.app.reactor(), "Winsock1"), tw_(tw) {
    set_caption("Account Verification");
    set_border_style(platform::BorderStyle::FixedDialog);
    move(0, 0, 4800, 4320);
    set_start_up_position(platform::StartUpPosition::CenterOwner);
    Label4.set_caption(std::string(kAccountHelp));
    Label4.move(120, 120, 4455, 1455);
    Label2.set_caption("Username:");
    Label2.move(120, 1695, 1095, 255);
    Text1.move(1215, 1650, 3360, 315);
    Label3.set_caption("Password:");
    Label3.move(120, 2130, 1095, 255);
    Text2.move(1215, 2085, 3360, 315);
    Text2.set_password_char('*');
    Command2.set_caption("Verify Account");
    Command2.move(120, 2580, 2160, 375);
    Command1.set_caption("Save Changes And Exit");
    Command1.move(2415, 2580, 2160, 375);
    Label1.move(120, 3075, 4455, 735);
    Timer1.set_enabled(false);
    Timer1.set_interval(kAccountAnswerMs);

    Command2.Click = [this] { Command2_Click(); };
    Command1.Click = [this] { Command1_Click(); };
    Text1.Change = [this] { Text1_Change(); };
    Text2.Change = [this] { Text2_Change(); };
    Winsock1.Connect = [this] { Winsock1_Connect(); };
    Winsock1.DataArrival = [this](long bytes) { Winsock1_DataArrival(bytes); };
    Winsock1.Error = [this](int number, const std::string& description) { Winsock1_Error(number, description); };
    Winsock1.Close = [this] { Winsock1_Close(); };
    Timer1.Tick = [this] { Timer1_Timer(); };
}

void FrmJabber::Form_Load() {
    step_ = Step::None;
    verified_ = false;
    Command1.set_enabled(false);
    Command2.set_enabled(true);
    Label1.set_caption(std::string(kAccountPleaseVerify));
    rt::try_step([&] { Text1.set_text(ReadSetting(tw_, std::string(setting_key::juser))); });
    rt::try_step([&] { Text2.set_text(ReadSetting(tw_, std::string(setting_key::jpass))); });
}

void FrmJabber::Form_Unload(bool&) {
    Timer1.set_enabled(false);
    Winsock1.close();
}

void FrmJabber::Command2_Click() {
    // The server would refuse such a name, or take it for another server's or resource's.
    if (!AccountNameUsable(Text1.text())) {
        Label1.set_caption(std::string(kAccountNameUnusable));
        return;
    }
    Command2.set_enabled(false);
    Command1.set_enabled(false);
    verified_ = false;
    step_ = Step::None;
    in_.clear();
    Winsock1.close();
    Timer1.set_enabled(false);
    Timer1.set_enabled(true);
    if (rt::trap([&] { Winsock1.connect(tw_.prefs.JabberServer, tw_.net_config.xmpp_port); })) {
        Timer1.set_enabled(false);
        Label1.set_caption(std::string(kAccountConnectionError));
    }
}

// No presence follows the login: an account that says it is available is handed the messages
// the server kept for it, and this check would take the opponent's first duel commands away
// from the duel that is about to start.
void FrmJabber::Winsock1_Connect() {
    step_ = Step::Login;
    Winsock1.send_data(XmppStreamHeader(tw_.prefs.JabberServer) + XmppVerificationLogin(Text1.text(), Text2.text()));
}

void FrmJabber::Winsock1_DataArrival(long) {
    in_.append(Winsock1.get_data());
    // The answer is the server's reply to our own request, told by its id; anything else on the
    // stream (its features, anything else the server sends) is not it.
    while (auto stanza = in_.next()) {
        if (stanza->name != "iq") continue;
        const std::string_view want = step_ == Step::Register ? kRegistrationId : kVerificationLoginId;
        if (stanza->id != want) continue;
        if (stanza->type == "result") {
            Finish(true);
            return;
        }
        if (stanza->type != "error") continue;
        if (step_ == Step::Login) {
            // A name the server does not know yet is registered; a known one with another
            // password fails the registration too.
            step_ = Step::Register;
            Winsock1.send_data(XmppRegistration(Text1.text(), Text2.text()));
            Timer1.set_enabled(false);
            Timer1.set_enabled(true);
            continue;
        }
        Finish(false);
        return;
    }
    if (in_.broken() || in_.ended()) GiveUp();
}

void FrmJabber::Finish(bool verified) {
    Timer1.set_enabled(false);
    verified_ = verified;
    Winsock1.close();
    if (verified) {
        Label1.set_caption(std::string(kAccountVerified));
        Command1.set_enabled(true);
    } else {
        Label1.set_caption(std::string(kAccountNotVerified));
        Command2.set_enabled(true);
    }
}

void FrmJabber::GiveUp() {
    Timer1.set_enabled(false);
    Winsock1.close();
    Label1.set_caption(std::string(kAccountConnectionError));
    Command2.set_enabled(true);
}

// Unreachable server: the dialog must be loaded anew for another try. A name that does not
// resolve is most often a mistyped "jabber" setting, which a person can mend once told so.
void FrmJabber::Winsock1_Error(int number, const std::string&) {
    Timer1.set_enabled(false);
    Label1.set_caption(std::string(number == rt::ErrHostNotFound ? kAccountServerNotFound : kAccountConnectionError));
    Winsock1.close();
}

void FrmJabber::Winsock1_Close() {
    if (Timer1.enabled()) GiveUp();
}

void FrmJabber::Timer1_Timer() { GiveUp(); }

// A verification holds for the name and password it was made with, not for what is typed after:
// the new ones must be verified in their turn.
void FrmJabber::Text1_Change() {
    const bool was_verified = verified_;
    verified_ = false;
    Command1.set_enabled(false);
    if (was_verified) {
        Label1.set_caption(std::string(kAccountPleaseVerify));
        Command2.set_enabled(true);
    }
}

void FrmJabber::Text2_Change() { Text1_Change(); }

void FrmJabber::Command1_Click() {
    tw_.net.JabberUser = Text1.text();
    tw_.net.JabberPassword = Text2.text();
    // Unsaved, the account would be asked for again at the next start: the dialog stays.
    if (!WriteSettings(tw_, {{std::string(setting_key::juser), Text1.text()},
                             {std::string(setting_key::jpass), Text2.text()}})) {
        ShowMessageDirect(tw_, std::string(kSettingsNotSaved));
        return;
    }
    Winsock1.close();
    hide();
}

}  // namespace tw::win
