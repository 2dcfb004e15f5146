// Reads game logs back as a player would: each through the log viewer's own window, its file
// dialog answered with the log's path. Used after runs that kill tables while they save.
//
//   tw_log_check [--known FILE] LOG...
//
// A log is whole when the viewer opens it without a word, the file is one line that ends in
// CR LF, the text it shows is whole lines and, with --known, every line is one of FILE's lines
// (all the lines the duel could have written). Prints "WHOLE <log> <lines>" or
// "TORN <log> <why>" for each; exit status 0 when all are whole, 1 otherwise, 2 for bad use.
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/files.hpp"
#include "platform/reactor.hpp"
#include "platform/scripted_host.hpp"
#include "scrollkeep/form1.hpp"
#include "scrollkeep/scrollkeep.hpp"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t end; (end = text.find("\r\n", from)) != std::string::npos; from = end + 2)
        lines.push_back(text.substr(from, end - from));
    return lines;
}

// Empty when whole, else why not.
std::string Check(const std::string& log, const std::set<std::string>* known, std::size_t& count) {
    const auto bytes = platform::read_file(log);
    if (!bytes) return "unreadable";
    if (bytes->size() < 2 || bytes->compare(bytes->size() - 2, 2, "\r\n") != 0) return "no line end at its end";
    if (bytes->find_first_of("\r\n") != bytes->size() - 2) return "more than one line";

    platform::FakeClock clock;
    platform::Reactor reactor{clock};
    platform::ScriptedHost host{reactor, clock};
    platform::App app{reactor, host};
    app.path = ".";
    sk::Scrollkeep viewer(app);
    sk::Main(viewer);
    host.expect_file(log);
    viewer.Form1().Command1.user_click();
    if (!host.messages().empty()) return "the viewer says \"" + host.messages().front().text + "\"";
    const std::string& text = viewer.Form1().Text1.text();
    if (!text.empty() && !text.ends_with("\r\n")) return "its text ends inside a line";
    const auto lines = Lines(text);
    count = lines.size();
    if (known)
        for (const auto& line : lines)
            if (!known->contains(line)) return "a line no table wrote: " + line.substr(0, 200);
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    std::set<std::string> known;
    bool with_known = false;
    std::vector<std::string> logs;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--known") {
            if (i + 1 >= argc) {
                std::cerr << "tw_log_check: --known needs a file\n";
                return 2;
            }
            const auto list = platform::read_file(argv[++i]);
            if (!list) {
                std::cerr << "tw_log_check: cannot read " << argv[i] << "\n";
                return 2;
            }
            std::size_t from = 0;
            for (std::size_t end; (end = list->find('\n', from)) != std::string::npos; from = end + 1)
                known.insert(list->substr(from, end - from));
            with_known = true;
        } else {
            logs.push_back(a);
        }
    }
    if (logs.empty()) {
        std::cerr << "usage: tw_log_check [--known FILE] LOG...\n";
        return 2;
    }
    bool all_whole = true;
    for (const auto& log : logs) {
        std::size_t count = 0;
        const std::string why = Check(log, with_known ? &known : nullptr, count);
        if (why.empty()) {
            std::cout << "WHOLE " << log << " " << count << "\n";
        } else {
            std::cout << "TORN " << log << " " << why << "\n";
            all_whole = false;
        }
    }
    return all_whole ? 0 : 1;
}
