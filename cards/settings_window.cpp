#include "cards/settings_window.hpp"

#include "cards/errors.hpp"
#include "cards/frmbrowse.hpp"
#include "cards/game_log.hpp"
#include "cards/settings.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "platform/files.hpp"
#include "platform/rt.hpp"

namespace tw::win {

namespace {

constexpr int kTransparencyFloor = 40;

// Stored folders end in the native separator, so that file names can be glued on. An empty
// box stays empty (the program's own folder is used), rather than naming the root.
std::string with_final_separator(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace

Settings::Settings(Tablewright& tw) : platform::Form(tw.app, "settings"), tw_(tw) {
    set_caption("Settings");
    set_border_style(platform::BorderStyle::FixedDialog);
    move(0, 0, 6090, 5115);

    constexpr double kLabelX = 120, kLabelW = 1215;
    constexpr double kBoxX = 1395, kBoxW = 3375;
    constexpr double kButtonX = 4890, kButtonW = 975;
    constexpr double kRowH = 315;
    auto row = [&](platform::Label& label, const char* caption, platform::TextBox& box, double y) {
        label.set_caption(caption);
        label.move(kLabelX, y + 45, kLabelW, 255);
        box.move(kBoxX, y, kBoxW, kRowH);
    };
    auto browse = [&](platform::CommandButton& b, double y) {
        b.set_caption("Browse");
        b.move(kButtonX, y, kButtonW, kRowH);
    };

    row(Label1, "Username:", Text1, 120);
    row(Label2, "Playfield:", Text2, 540);
    browse(Browse, 540);
    row(Label9, "Log Folder:", Text5, 960);
    browse(Command4, 960);
    row(Label6, "Deck Folder:", Text3, 1380);
    browse(Command2, 1380);
    row(Label7, "Skin:", Text4, 1800);
    browse(Command3, 1800);
    Label8.set_caption("Skins work best with Windows 2000, XP or better.");
    Label8.move(kBoxX, 2160, 4470, 255);

    Check2.set_caption("Show Timestamp in chat.");
    Check2.move(kLabelX, 2520, 5745, 255);
    Check1.set_caption("Dont Load Skins next time ZQM Starts.");
    Check1.move(kLabelX, 2880, 5745, 255);

    Label3.set_caption("Chat Transparency:");
    Label3.move(kLabelX, 3285, 1455, 255);
    HScroll1.set_max(254);
    HScroll1.set_value(200);
    HScroll1.move(1620, 3240, 3600, 255);
    Label4.set_caption("200");
    Label4.move(5340, 3285, 525, 255);
    Label5.set_caption("Windows 2000/XP Only");
    Label5.move(1620, 3585, 3600, 255);

    Command1.set_caption("Save Settings and Exit");
    Command1.move(kLabelX, 4080, 2775, 495);
    Command5.set_caption("Restore Defaults");
    Command5.move(3090, 4080, 2775, 495);

    Command1.Click = [this] { Command1_Click(); };
    Command5.Click = [this] { Command5_Click(); };
    Browse.Click = [this] { Browse_Click(); };
    Command3.Click = [this] { Command3_Click(); };
    Command2.Click = [this] { Command2_Click(); };
    Command4.Click = [this] { Command4_Click(); };
    HScroll1.Change = [this] { HScroll1_Change(); };
}

void Settings::Form_Load() {
    rt::try_step([&] { Check2.set_value(ReadSetting(tw_, "timestamp") == "1" ? 1 : 0); });
    rt::try_step([&] { Text5.set_text(ReadSetting(tw_, "lang")); });
    rt::try_step([&] { Text3.set_text(ReadSetting(tw_, "decks")); });
    rt::try_step([&] { Text1.set_text(tw_.prefs.UserName); });
    rt::try_step([&] { Text2.set_text(ReadSetting(tw_, "wallpaper")); });
}

void Settings::Command1_Click() {
    const bool stamps = Check2.value() == 1;
    const platform::IniEntry stamp{"timestamp", stamps ? "1" : "0"};
    tw_.prefs.ShowTimestamps = stamps;

    const std::string name = Text1.text();
    const bool refused = !IsValidName(name) || rt::lcase(name) == "game" || rt::trim(name).empty();
    // A refused name still stores the timestamp choice, alone; the window stays either way.
    if (refused && !WriteSettings(tw_, {stamp})) ShowMessageDirect(tw_, std::string(kSettingsNotSaved));
    if (!IsValidName(name)) {
        ShowMessageDirect(tw_, "Your Username isnt valid, A-Z, a-z, 0-9 please");
        return;
    }
    if (refused) {
        ShowMessageDirect(tw_, "Nice Try, get a REAL username");
        Text1.set_text("");
        tw_.prefs.UserName.clear();
        return;
    }

    const std::string wallpaper = Text2.text();
    const std::string logs = with_final_separator(Text5.text());
    // The whole save is one write: should it fail, the file keeps all its old values, nothing
    // changes here either, and the window stays for another try.
    if (!WriteSettings(tw_, {stamp,
                             {"username", name},
                             {"wallpaper", wallpaper},
                             {"lang", logs},
                             {"decks", with_final_separator(Text3.text())}})) {
        ShowMessageDirect(tw_, std::string(kSettingsNotSaved));
        return;
    }
    tw_.prefs.UserName = name;
    if (platform::file_exists(wallpaper)) {
        // A file that is no picture leaves the play surface as it was.
        rt::try_step([&] { tw_.FormA().playsurface.load_picture(wallpaper); });
    }
    tw_.log.LogFolder = logs;
    if (!rt::trim(logs).empty() && !LogFolderUsable(tw_, logs))
        ShowMessageDirect(tw_, "The Log Folder cannot be written to. Game logs will be kept in " +
                                   LogsFolder(tw_).string() + " instead.");

    hide();
}

void Settings::Command5_Click() {
    Text1.set_text(std::string(kDefaultUserName));
    Text5.set_text(DefaultLogFolder(tw_));
    Text3.set_text(DefaultDeckFolder(tw_));
    Text2.set_text("");
}

void Settings::Browse_Click() {
    rt::try_step([&] { comm1.init_dir = tw_.app.path; });
    rt::try_step([&] { comm1.filter = "JPEG Image Files|*.jpg"; });
    // A cancelled dialog leaves the box as it was.
    bool chosen = false;
    rt::try_step([&] { chosen = comm1.show_open(); });
    if (chosen) rt::try_step([&] { Text2.set_text(comm1.file_name); });
}

void Settings::Command3_Click() {
    comm1.filter = "settings.ini (settings.ini)";
    const auto default_skin = tw_.path_of("skins\\default\\settings.ini");
    if (platform::file_exists(default_skin)) comm1.file_name = default_skin.string();
    // Cancel changes nothing: neither the box nor the duel window's skin.
    if (!comm1.show_open()) return;
    if (!rt::contains_ci(comm1.file_name, "settings.ini")) {
        ShowMessageDirect(tw_, "Please choose a settings.ini file for your skin");
        return;
    }
    Text4.set_text(comm1.file_name);
    std::string skin = Text4.text();
    tw_.FormA().LoadSkin(skin);
}

void Settings::browse_folder(const char* which) {
    rt::try_step([&] { tw_.frmBrowse().whichFolder = which; });
    rt::try_step([&] { tw_.frmBrowse().loadPath(); });
    rt::try_step([&] { tw_.frmBrowse().show(this); });
}

void Settings::Command2_Click() { browse_folder("decks"); }
void Settings::Command4_Click() { browse_folder("logs"); }

void Settings::HScroll1_Change() {
    Label4.set_caption(rt::cstr(HScroll1.value()));
    if (HScroll1.value() < kTransparencyFloor) HScroll1.set_value(kTransparencyFloor);
}

}  // namespace tw::win
