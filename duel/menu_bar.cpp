// The duel window's own menu bar (four labels that open hidden menus under themselves), their
// hover colours, and the skin.
#include <filesystem>
#include <optional>
#include <string>

#include "cards/errors.hpp"
#include "cards/helpers.hpp"
#include "cards/settings.hpp"
#include "program/tablewright.hpp"
#include "cards/tip.hpp"
#include "duel/forma.hpp"
#include "platform/rt.hpp"
#include "platform/tcp.hpp"

namespace tw {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSkinFile = "settings.ini";
constexpr std::string_view kSkinsFolder = "skins";

bool StartsWithCi(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && rt::equals_ci(s.substr(0, prefix.size()), prefix);
}

bool EndsWithCi(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && rt::equals_ci(s.substr(s.size() - suffix.size()), suffix);
}

}  // namespace

namespace win {

std::optional<std::string> SkinName(const Tablewright& tw, const std::string& skin_path) {
    std::string p = fs::path(rt::replace_all(skin_path, "\\", "/")).lexically_normal().generic_string();
    if (EndsWithCi(p, kSkinFile)) p.resize(p.size() - kSkinFile.size());
    // The folder holding the file, as it lies under the program's skins folder.
    const std::string skins = (tw.folder() / kSkinsFolder).lexically_normal().generic_string() + "/";
    if (StartsWithCi(p, skins)) p.erase(0, skins.size());
    while (!p.empty() && p.back() == '/') p.pop_back();
    // A name that still holds a separator lies elsewhere, and ".." leads out of the folder.
    if (p.empty() || p.find('/') != std::string::npos || p == "." || p == "..") return std::nullopt;
    return rt::lcase(p);
}

std::array<platform::Label*, 4> FormA::BarLabels() { return {&lblFile, &lblChat, &lblGameplay, &lblMore}; }

// The menu opens under its label: at the label's left and the title picture's bottom, wherever
// the label was clicked.
void FormA::OpenBarMenu(platform::Label& label, platform::Menu& menu) {
    popup_menu(menu, platform::PointTw{label.left(), Image6.height()});
    // The pointer has left the label for the menu, and perhaps for a window the menu opened:
    // no move over the bar may come to put the label out.
    LightBarLabel(nullptr);
}

void FormA::lblFile_Click() { OpenBarMenu(lblFile, File); }
void FormA::lblChat_Click() { OpenBarMenu(lblChat, ChatCommands); }
void FormA::lblGameplay_Click() { OpenBarMenu(lblGameplay, gameplay); }
void FormA::lblMore_Click() { OpenBarMenu(lblMore, More); }

// Settings are changed only while no opponent is connected.
void FormA::File_Click() { Settings2.set_enabled(Winsock1.state() != platform::TcpSocket::StateConnected); }

void FormA::LightBarLabel(platform::Label* lit) {
    for (platform::Label* l : BarLabels()) l->set_fore_color(l == lit ? kBarLit : kBarIdle);
}

void FormA::Form_MouseMove(int, int, double, double) { LightBarLabel(nullptr); }
void FormA::selectedcard_MouseMove(int, int, double, double) { LightBarLabel(nullptr); }
// Passing over the table also forgets the card last placed, so a later drop moves only its own.
void FormA::playsurface_MouseMove(int, int, double, double) {
    LightBarLabel(nullptr);
    tw_.field.SelectedSlot = -1;
}

void FormA::Label6_Click() { Label6.set_font_name("LCD"); }

void FormA::LoadSkin(std::string& SkinPath) {
    const auto name = SkinName(tw_, SkinPath);
    const fs::path file = name ? tw_.path_of("skins\\" + *name + "\\settings.ini") : fs::path();
    if (!name || !FileExists(file)) {
        ShowMessage(tw_, "I cannot find this skins`s settings file");
        return;
    }
    SkinPath = *name;
    // Read as a skin is read; every skin gives the same colours.
    (void)ReadIniValue("settings", "playfield", file);
    (void)ReadIniValue("settings", "skin", file);

    // The boxes take the skin's white ground; their text stays dark (ChatForeColor is left as
    // the load set it), or the chat, the hand and the printings list could not be read.
    tw_.duel.ChatBackColor = kSkinWhite;
    const platform::Color ink = tw_.duel.ChatForeColor;
    Combo1.set_fore_color(ink);
    Combo1.set_back_color(tw_.duel.ChatBackColor);
    // The labels lie on the window's dark ground, which stands for its picture: a skin's
    // back colour never shows through a picture, so the ground stays and they are white.
    for (platform::Label* l : {&Label6, &Label7, &Label8}) l->set_fore_color(kSkinWhite);
    hand.set_fore_color(ink);
    selectedcard.set_back_color(tw_.duel.ChatBackColor);
    chattext.set_back_color(tw_.duel.ChatBackColor);
    hand.set_back_color(tw_.duel.ChatBackColor);
    chat.set_back_color(tw_.duel.ChatBackColor);
    // The phase labels keep their colours: they tell both players' phases, which a new look
    // must not wipe mid-duel.
    Text1.set_fore_color(kSkinWhite);
    Text2.set_fore_color(kSkinWhite);
    auto& tip = tw_.Tip();
    tip.set_back_color(tw_.duel.ChatBackColor);
    tip.Shape1.set_border_color(ink);
    tip.Label1.set_fore_color(ink);
}

bool FormA::WireMenuBar() {
    lblFile.Click = [this] { lblFile_Click(); };
    lblChat.Click = [this] { lblChat_Click(); };
    lblGameplay.Click = [this] { lblGameplay_Click(); };
    lblMore.Click = [this] { lblMore_Click(); };
    for (platform::Label* l : BarLabels())
        l->MouseMove = [this, l](int, int, double, double) { LightBarLabel(l); };
    File.Click = [this] { File_Click(); };
    MouseMove = [this](int b, int s, double x, double y) { Form_MouseMove(b, s, x, y); };
    selectedcard.MouseMove = [this](int b, int s, double x, double y) { selectedcard_MouseMove(b, s, x, y); };
    playsurface.MouseMove = [this](int b, int s, double x, double y) { playsurface_MouseMove(b, s, x, y); };
    Label6.Click = [this] { Label6_Click(); };
    return true;
}

}  // namespace win
}  // namespace tw
