#include "scrollkeep/form1.hpp"

#include "cards/log_coding.hpp"
#include "platform/files.hpp"
#include "scrollkeep/scrollkeep.hpp"

namespace sk::win {

namespace {

constexpr std::string_view kLogExtension = ".qlra";

// The file's items (each ended by a comma or a line end) joined without separators.
std::string JoinItems(std::string_view content) {
    std::string out;
    out.reserve(content.size());
    for (char c : content)
        if (c != ',' && c != '\r' && c != '\n') out += c;
    return out;
}

}  // namespace

Form1::Form1(Scrollkeep& sk) : platform::Form(sk.app, "Form1"), sk_(sk) {
    set_caption("Scrollkeep for V0.4");
    move(2400, 1800, 9000, 7200);
    Text1.move(120, 120, 8640, 5955);
    Command1.move(120, 6195, 1335, 375);
    Command2.move(1575, 6195, 1335, 375);
    Command1.set_caption("Open Log");
    Command2.set_caption("About");
    Text1.set_multi_line(true);
    comm1.filter = "Game Logs (*.qlra)|*.qlra";
    Command1.Click = [this] { Command1_Click(); };
    Command2.Click = [this] { Command2_Click(); };
}

std::optional<std::string> Form1::NoNumbers(std::string_view dotted) const {
    return tw::NoNumbers(dotted);
}

std::string Form1::EncryptIt(std::string_view text) const { return tw::EncryptIt(text); }

void Form1::Command1_Click() {
    auto& app = sk_.app;
    comm1.file_name = app.path;
    comm1.show_open();
    const std::string& name = comm1.file_name;
    if (name.size() < kLogExtension.size() ||
        std::string_view(name).substr(name.size() - kLogExtension.size()) != kLogExtension) {
        app.msg_box("Log File must end with .qlra");
        return;
    }
    // An unreadable or corrupt file must not pass for an empty log: say so, keep what is shown.
    auto content = platform::read_file(std::filesystem::path(name));
    if (!content) {
        app.msg_box("The log file could not be read.");
        return;
    }
    auto scrambled = NoNumbers(JoinItems(*content));
    if (!scrambled) {
        app.msg_box("This is not a valid log file.");
        return;
    }
    Text1.set_text(EncryptIt(*scrambled));
}

void Form1::Command2_Click() { sk_.app.msg_box("Tablewright Scrollkeep. This can read V9.1 Logs."); }

}  // namespace sk::win
