// One Bridgehall without a screen, driven by a short script of what its operator does, printing
// every line of its log as it is written. Tests run it beside headless tables as processes.
//
//   bh_headless [--port host=N] [--port client=N] [--timeout S] STEP...
//
// The ports default to the relay's own. Steps, in order:
//   start           press Start; prints "PORT host n" and "PORT client n"
//   wait:TEXT       wait for a log line containing TEXT, later than the line the last wait found
//   say:TEXT        type TEXT into the operator's line and press Send
//   quit            press Quit
//   sleep:MS        let MS milliseconds pass
// Output lines: "LOG <line>", "PORT <socket> <n>", "BOX <text>", "END <how>". Exit status 0 after
// the script, 2 for a bad argument, 3 when a wait timed out.
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/reactor.hpp"
#include "platform/scripted_host.hpp"
#include "relay/bridgehall.hpp"
#include "relay/form1.hpp"
#include "tests/support/headless_io.hpp"

namespace {

using tw::headless::Out;
using tw::headless::RealMs;

class OperatorHost : public platform::ScriptedHost {
public:
    using ScriptedHost::ScriptedHost;
    platform::MsgResult msg_box(const std::string& text, platform::MsgButtons buttons, platform::MsgIcon icon,
                                const std::string& title) override {
        Out("BOX", text);
        return ScriptedHost::msg_box(text, buttons, icon, title);
    }
};

[[noreturn]] void Usage(const std::string& why) {
    std::cerr << "bh_headless: " << why << "\n";
    std::exit(2);
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

struct Headless {
    tw::headless::FollowingClock clock;
    platform::Reactor reactor{clock.fake};
    OperatorHost host{reactor, clock.fake};
    platform::App app{reactor, host};
    std::unique_ptr<bh::Bridgehall> relay;
    int printed = 0;  // log lines printed so far
    int found = 0;    // lines before the one the last wait found, and that one
    std::int64_t timeout_ms = 30000;

    // Every log line so far; a script's run stays far below the lines the relay keeps.
    std::vector<std::string> seen;

    void Record() {
        auto& list = relay->Form1().List1;
        for (int i = printed; i < list.list_count(); ++i) {
            seen.push_back(list.list(i));
            Out("LOG", list.list(i));
        }
        printed = list.list_count();
    }
    void Pump(int ms) {
        reactor.pump(ms);
        clock.Follow();
        Record();
    }
    bool Wait(const std::string& text) {
        const std::int64_t until = RealMs() + timeout_ms;
        for (;;) {
            for (int i = found; i < static_cast<int>(seen.size()); ++i)
                if (seen[i].find(text) != std::string::npos) {
                    found = i + 1;
                    return true;
                }
            found = static_cast<int>(seen.size());
            if (RealMs() > until) return false;
            Pump(20);
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    Headless h;
    h.app.path = ".";
    h.relay = std::make_unique<bh::Bridgehall>(h.app);
    std::vector<std::string> steps;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "--port" || a == "--timeout") && i + 1 < argc) {
            const std::string v = argv[++i];
            if (a == "--timeout") {
                h.timeout_ms = ToInt(v) * 1000LL;
                continue;
            }
            const std::size_t eq = v.find('=');
            const std::string name = v.substr(0, eq);
            if (eq == std::string::npos) Usage("a port needs NAME=N: " + v);
            const int port = ToInt(v.substr(eq + 1));
            if (name == "host") h.relay->net_config.relay_host_port = port;
            else if (name == "client") h.relay->net_config.relay_client_port = port;
            else Usage("no such port: " + name);
        } else {
            steps.push_back(a);
        }
    }
    bh::Main(*h.relay);
    h.Record();
    auto& form = h.relay->Form1();
    for (const auto& step : steps) {
        const std::size_t colon = step.find(':');
        const std::string verb = step.substr(0, colon);
        const std::string arg = colon == std::string::npos ? "" : step.substr(colon + 1);
        if (verb == "start") {
            form.Command1.user_click();
            Out("PORT", "host " + std::to_string(form.Winsock1[0].bound_port()));
            Out("PORT", "client " + std::to_string(form.Winsock1[1].bound_port()));
        } else if (verb == "wait") {
            if (!h.Wait(arg)) {
                Out("END", "timeout waiting for " + arg);
                return 3;
            }
        } else if (verb == "say") {
            form.Text1.set_text(arg);
            form.Command3.user_click();
        } else if (verb == "quit") {
            form.Command2.user_click();
        } else if (verb == "sleep") {
            const std::int64_t until = RealMs() + ToInt(arg);
            while (RealMs() < until) h.Pump(10);
        } else {
            Usage("no such step: " + step);
        }
        h.Pump(0);
    }
    h.Record();
    Out("END", "script");
    return 0;
}
