// One Tablewright without a screen, driven by a short script of what a player does, printing what
// happens as it happens: every duel-log line, every command it sends, every box it shows. Tests
// run two or more of these as separate processes over real sockets.
//
//   tw_headless --folder DIR [--user NAME] [--jabber HOST] [--port NAME=N]... [--timeout S] STEP...
//
// DIR is a program folder holding at least the set file. The ports are those of the program's
// network settings: direct_local, relay_host_local, relay_client_local, listen, relay_host,
// relay_client, xmpp. Steps, in order:
//   deck:FILE       open the deck file and use it (the question is answered Yes)
//   usedeck         press "Use This Deck" again (after a soft reset)
//   mode:N          choose duel mode N (0 to 4) in the connection panel
//   address:TEXT    click into the address box and type TEXT (an address or an account name)
//   connect         press Connect (the first press opens the panel)
//   listen          press Listen; prints "PORT n" with the port it listens on
//   account:NAME=PW open the chat-server account dialog, type NAME and PW, press "Verify Account"
//                   and, once it is verified, "Save Changes And Exit"; prints "ACCOUNT <result>"
//   login:NAME=PW   the account as an earlier verification saved it, without asking the server
//                   (its password may have changed since)
//   logduel         tick "Log Duel"
//   draw:N          draw N cards
//   place:NAME      put the hand card NAME on the table; "place" alone puts the first one
//   chat:TEXT       type TEXT into the chat box and send it
//   wait:TEXT       wait for a duel-log line containing TEXT, later than the line the last wait
//                   found
//   answer:TEXT=No  answer No (or Yes) to every question containing TEXT; others get Yes
//   softreset       File, "Soft" Reset
//   reset           File, Reset Game
//   quit            the close button (the question is answered Yes)
//   sleep:MS        let MS milliseconds pass
//   field           print the cards on the table and in the hand now
// Output lines: "LOG <line>", "SENT <command>" (what went to the peer),
// "PEER <address> <port>" (the other end, once connected), "BOX <text>", "ASK <text> -> Yes|No",
// "PORT <n>", "ACCOUNT <result>", "FIELD <slot> <name> <controller>", "HAND <name>", "END <how>". Exit status 0 after
// the script or a quit, 2 for a bad argument, 3 when a wait timed out, 4 for an error.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cards/chat_input.hpp"
#include "cards/main.hpp"
#include "cards/settings.hpp"
#include "program/tablewright.hpp"
#include "deckeditor/deckmaker.hpp"
#include "duel/forma.hpp"
#include "net/jabber_window.hpp"
#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/reactor.hpp"
#include "platform/rt.hpp"
#include "platform/scripted_host.hpp"
#include "platform/tcp.hpp"
#include "tests/support/headless_io.hpp"

namespace {

using platform::MsgButtons;
using platform::MsgResult;

using tw::headless::Out;
using tw::headless::RealMs;

// The desktop of a player who answers as the script says: notices are printed, questions are
// answered Yes unless a standing answer says otherwise, and the file dialog opens the file the
// step names.
class PlayerHost : public platform::ScriptedHost {
public:
    using ScriptedHost::ScriptedHost;
    std::map<std::string, MsgResult> answers;
    std::optional<std::string> next_file;

    MsgResult msg_box(const std::string& text, MsgButtons buttons, platform::MsgIcon icon,
                      const std::string& title) override {
        if (buttons == MsgButtons::OK) {
            Out("BOX", text);
            return ScriptedHost::msg_box(text, buttons, icon, title);
        }
        MsgResult answer = buttons == MsgButtons::OKCancel ? MsgResult::OK : MsgResult::Yes;
        for (const auto& [part, given] : answers)
            if (text.find(part) != std::string::npos) answer = given;
        Out("ASK", text + " -> " + (answer == MsgResult::No ? "No" : "Yes"));
        return answer;
    }
    std::optional<std::string> file_dialog(const platform::CommonDialog&, bool) override {
        auto file = next_file;
        next_file.reset();
        return file;
    }
    std::optional<std::string> input_box(const std::string& prompt, const std::string&,
                                         const std::string& default_text) override {
        Out("ASK", prompt + " -> " + default_text);
        return default_text;
    }
};

class Headless {
public:
    Headless(const std::string& folder, int timeout_s)
        : host_(reactor_, clock_.fake), app_(reactor_, host_), timeout_ms_(timeout_s * 1000) {
        app_.path = folder;
        // Two copies run side by side for one user on one machine.
        app_.prev_instance_check = [] { return false; };
        tw_ = std::make_unique<tw::Tablewright>(app_);
    }

    tw::Tablewright& tw() { return *tw_; }
    PlayerHost& host() { return host_; }

    void Start(const std::string& user, const std::string& jabber) {
        tw::WriteSetting(*tw_, std::string(tw::setting_key::username), user);
        tw::WriteSetting(*tw_, std::string(tw::setting_key::firsttime), std::string(tw::kFirstTimeDone));
        if (!jabber.empty()) tw::WriteSetting(*tw_, std::string(tw::setting_key::jabber), jabber);
        tw::Main(*tw_);
        auto& chat = tw_->FormA().chat;
        // Every line as it is written, after the commands sent before it. A box that some part
        // of the program already watches is read after each step instead.
        if (!chat.Change) chat.Change = [this] { Record(true); };
        Record();
    }

    // Prints what was sent and written since the last call, in that order. While a line is
    // being written (writing) the newest line is held back: its writer may still colour its
    // card references, which rewrites it. A box that was emptied, or cut when it grew long, is
    // printed again from its start.
    void Record(bool writing = false) {
        std::vector<std::string> now;
        const std::string& text = tw_->FormA().chat.text();
        for (std::size_t from = 0;;) {
            const std::size_t end = text.find("\r\n", from);
            if (end == std::string::npos) break;
            now.push_back(text.substr(from, end - from));
            from = end + 2;
        }
        const bool keeps_printed = now.size() >= box_.size() && std::equal(box_.begin(), box_.end(), now.begin());
        if (keeps_printed && held_ && now.size() == box_.size() + 1) {
            held_ = now.back();  // the held line rewritten
            if (writing) return;
        }
        if (held_) PrintLine(*held_);
        held_.reset();
        if (!keeps_printed) box_.clear();
        PrintSent();
        for (std::size_t i = box_.size(); i < now.size(); ++i) {
            if (writing && i + 1 == now.size()) {
                held_ = now[i];
                break;
            }
            PrintLine(now[i]);
        }
    }

    void PrintLine(const std::string& line) {
        box_.push_back(line);
        lines_.push_back(line);
        Out("LOG", line);
    }

    void PrintPeer() {
        auto& socket = tw_->FormA().Winsock1;
        const bool connected = socket.state() == platform::TcpSocket::StateConnected;
        if (connected && !peer_shown_) Out("PEER", socket.remote_host_ip() + " " + std::to_string(socket.remote_port()));
        peer_shown_ = connected;
    }

    void PrintSent() {
        PrintPeer();
        auto& sent = tw_->net.SentCommands;
        for (const auto& c : sent)
            if (c.connected) Out("SENT", c.command);
        sent.clear();
    }

    // Runs the loop until pred holds; false after the time-out.
    bool Pump(const std::function<bool()>& pred, std::int64_t limit_ms) {
        const std::int64_t until = RealMs() + limit_ms;
        for (;;) {
            Record();
            if (pred()) return true;
            if (RealMs() >= until) return false;
            clock_.Follow();
            reactor_.pump(5);
        }
    }

    bool WaitForLine(const std::string& part) {
        return Pump(
            [&] {
                for (; next_line_ < lines_.size(); ++next_line_)
                    if (lines_[next_line_].find(part) != std::string::npos) {
                        ++next_line_;
                        return true;
                    }
                return false;
            },
            timeout_ms_);
    }

    void PrintField() {
        auto& duel = tw_->FormA();
        for (int slot = 1; slot <= 24; ++slot)
            if (duel.cardstencil.exists(slot)) {
                const auto& card = tw_->field.FieldCards[slot];
                Out("FIELD", std::to_string(slot) + " " + card.Name + " " + std::to_string(card.Controller));
            }
        for (int i = 0; i < duel.hand.list_count(); ++i) Out("HAND", duel.hand.list(i));
    }

private:
    tw::headless::FollowingClock clock_;
    platform::Reactor reactor_{clock_.fake};
    PlayerHost host_;
    platform::App app_;
    std::unique_ptr<tw::Tablewright> tw_;
    std::int64_t timeout_ms_;
    std::vector<std::string> box_;    // the box's lines printed so far
    std::optional<std::string> held_;  // its newest line, still being written
    std::vector<std::string> lines_;   // every line printed, for the waits
    std::size_t next_line_ = 0;
    bool peer_shown_ = false;
};

[[noreturn]] void Usage(const std::string& why) {
    std::cerr << "tw_headless: " << why << "\n";
    std::exit(2);
}

bool SetPort(platform::NetConfig& ports, const std::string& name, int value) {
    const std::map<std::string, int platform::NetConfig::*> fields = {
        {"direct_local", &platform::NetConfig::direct_local_port},
        {"relay_host_local", &platform::NetConfig::relay_host_local_port},
        {"relay_client_local", &platform::NetConfig::relay_client_local_port},
        {"listen", &platform::NetConfig::listen_port},
        {"relay_host", &platform::NetConfig::relay_host_port},
        {"relay_client", &platform::NetConfig::relay_client_port},
        {"xmpp", &platform::NetConfig::xmpp_port},
    };
    auto it = fields.find(name);
    if (it == fields.end()) return false;
    ports.*(it->second) = value;
    return true;
}

int ToInt(const std::string& text) {
    try {
        std::size_t used = 0;
        const int v = std::stoi(text, &used);
        if (used == text.size()) return v;
    } catch (const std::exception&) {
    }
    Usage("not a number: " + text);
}

// One step of the script; false when a wait ran out of time.
bool RunStep(Headless& h, const std::string& step) {
    const std::size_t colon = step.find(':');
    const std::string verb = step.substr(0, colon);
    const std::string arg = colon == std::string::npos ? "" : step.substr(colon + 1);
    auto& tw = h.tw();
    auto& duel = tw.FormA();
    if (verb == "deck") {
        h.host().next_file = arg;
        tw.DeckMaker().Command1_Click();
        tw.DeckMaker().Command5_Click();
    } else if (verb == "usedeck") {
        tw.DeckMaker().Command5_Click();
    } else if (verb == "mode") {
        duel.Combo2.user_select(ToInt(arg));
    } else if (verb == "address") {
        duel.Text4.user_got_focus();
        duel.Text4.user_edit(arg);
        duel.Text4.user_lost_focus();
    } else if (verb == "connect") {
        duel.Command3.user_click();
    } else if (verb == "listen") {
        duel.Command2.user_click();
        if (duel.Winsock1.state() == platform::TcpSocket::StateListening)
            Out("PORT", std::to_string(duel.Winsock1.bound_port()));
    } else if (verb == "account" || verb == "login") {
        const std::size_t eq = arg.find('=');
        if (eq == std::string::npos) Usage(verb + ":NAME=PASSWORD");
        if (verb == "login") {
            tw.net.JabberUser = arg.substr(0, eq);
            tw.net.JabberPassword = arg.substr(eq + 1);
        } else {
            tw.net.ShowAccountDialog();
            auto& dialog = tw.frmJabber();
            dialog.Text1.user_edit(arg.substr(0, eq));
            dialog.Text2.user_edit(arg.substr(eq + 1));
            dialog.Command2.user_click();
            // Verified, refused, or unreachable: one of the buttons comes back, or the error shows.
            if (!h.Pump([&] {
                    return dialog.Command1.enabled() || dialog.Command2.enabled() ||
                           dialog.Label1.caption() == tw::kAccountConnectionError;
                }, 15000))
                return false;
            Out("ACCOUNT", dialog.Label1.caption());
            if (dialog.Command1.enabled()) dialog.Command1.user_click();
        }
    } else if (verb == "logduel") {
        duel.Check1.user_click();
    } else if (verb == "draw") {
        for (int i = ToInt(arg); i > 0; --i) duel.drawcard_Click();
    } else if (verb == "place") {
        int found = arg.empty() && duel.hand.list_count() > 0 ? 0 : -1;
        for (int i = 0; i < duel.hand.list_count() && found < 0; ++i)
            if (duel.hand.list(i) == arg) found = i;
        if (found < 0) Usage("no card in hand named " + arg);
        duel.hand.set_list_index(found);
        duel.PutIntoPlay_Click();
    } else if (verb == "chat") {
        duel.chattext.set_text(arg);
        tw::SubmitChatBox(tw);
    } else if (verb == "wait") {
        if (!h.WaitForLine(arg)) return false;
    } else if (verb == "answer") {
        const std::size_t eq = arg.rfind('=');
        if (eq == std::string::npos) Usage("answer:TEXT=Yes|No");
        h.host().answers[arg.substr(0, eq)] = arg.substr(eq + 1) == "No" ? MsgResult::No : MsgResult::Yes;
    } else if (verb == "softreset") {
        duel.SoftReset_Click();
    } else if (verb == "reset") {
        duel.ResetGame_Click();
    } else if (verb == "quit") {
        duel.Command16.user_click();
    } else if (verb == "field") {
        h.PrintField();
    } else if (verb == "sleep") {
        const std::int64_t until = RealMs() + ToInt(arg);
        h.Pump([&] { return RealMs() >= until; }, ToInt(arg) + 1000);
    } else {
        Usage("unknown step " + step);
    }
    h.Record();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder, user = "Player", jabber;
    int timeout_s = 30;
    platform::NetConfig ports;
    std::vector<std::string> steps;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) Usage(a + " needs a value");
            return argv[++i];
        };
        if (a == "--folder") {
            folder = value();
        } else if (a == "--user") {
            user = value();
        } else if (a == "--jabber") {
            jabber = value();
        } else if (a == "--timeout") {
            timeout_s = ToInt(value());
        } else if (a == "--port") {
            const std::string v = value();
            const std::size_t eq = v.find('=');
            if (eq == std::string::npos || !SetPort(ports, v.substr(0, eq), ToInt(v.substr(eq + 1))))
                Usage("--port NAME=N");
        } else if (a.rfind("--", 0) == 0) {
            Usage("unknown option " + a);
        } else {
            steps.push_back(a);
        }
    }
    if (folder.empty()) Usage("--folder is needed");

    Headless h(folder, timeout_s);
    h.tw().net_config = ports;
    try {
        h.Start(user, jabber);
        for (const std::string& step : steps) {
            if (!RunStep(h, step)) {
                Out("END", "timeout " + step);
                return 3;
            }
        }
        Out("END", "done");
    } catch (const platform::ProgramEnd&) {
        h.Record();
        Out("END", "quit");
    } catch (const platform::UnscriptedQuestion& q) {
        Out("END", "error unscripted " + q.text());
        return 4;
    } catch (const std::exception& e) {
        Out("END", std::string("error ") + e.what());
        return 4;
    }
    return 0;
}
