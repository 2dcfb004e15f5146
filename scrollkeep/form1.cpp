#include "scrollkeep/form1.hpp"

#include "cards/log_coding.hpp"
#include "platform/files.hpp"
#include "platform/ini.hpp"
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

// Where the game logs are: Scrollkeep runs from the Utilities folder inside Tablewright's
// folder, whose settings name the logs folder ("lang"); failing that, its Logs folder; failing
// that, Scrollkeep's own folder.
std::filesystem::path LogsFolder(const std::string& own_folder) {
    namespace fs = std::filesystem;
    const fs::path own(own_folder);
    const fs::path program = own.parent_path();
    const std::string stored = platform::ini_read(platform::resolve(program, "settings.ini"), "settings", "lang");
    if (!stored.empty()) {
        const fs::path logs = platform::resolve(program, fs::path(stored));
        if (platform::folder_exists(logs)) return logs;
    }
    const fs::path logs = platform::resolve(program, "Logs");
    if (platform::folder_exists(logs)) return logs;
    return own;
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
    comm1.file_name = LogsFolder(app.path).string();
    // Cancel is the person changing their mind: nothing to say.
    if (!comm1.show_open()) return;
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
