#include "cards/about.hpp"

#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "net/site.hpp"

namespace tw {

namespace {

constexpr platform::Color kLinkBlue = 16711680;

constexpr const char* kCredits[] = {
    "Card table and deck editor: the Tablewright team",
    "Duel relay Bridgehall and log viewer Scrollkeep: the Tablewright team",
    "Sample card set, card frames and buttons: drawn for this program",
    "Thanks to every player who tried it out and reported a fault",
};

constexpr const char* kNotices[] = {
    "Tablewright is free to use and comes with no warranty of any kind.",
    "The Quelra game, its rules and its card names belong to their owners.",
    "The cards, texts and pictures bundled here are invented for this program.",
    "Decks, logs and tokens you make are yours.",
};

}  // namespace

std::string AboutText(const std::string& version_text) {
    std::string text = "Tablewright " + version_text + " By Plimvale\r\n";
    for (const char* line : kCredits) text += std::string(line) + "\r\n";
    for (const char* line : kNotices) text += std::string(line) + "\r\n";
    text += "\r\n";
    return text;
}

namespace win {

About::About(Tablewright& tw) : platform::Form(tw.app, "about"), tw_(tw) {
    set_caption("About");
    set_border_style(platform::BorderStyle::FixedDialog);
    move(0, 0, 6540, 3780);
    set_start_up_position(platform::StartUpPosition::CenterOwner);
    Label1.move(120, 120, 6180, 2040);
    Label2.set_caption("Our Sites:");
    Label2.move(120, 2280, 960, 255);
    Label3.move(1140, 2280, 5160, 450);
    Label3.set_fore_color(kLinkBlue);
    Label3.set_tool_tip_text("Open the home page");
    Command1.set_caption("OK");
    Command1.move(5040, 2760, 1260, 375);

    Label3.Click = [this] { Label3_Click(); };
    Command1.Click = [this] { Command1_Click(); };
}

void About::Form_Load() {
    Label1.set_caption("");
    Label1.set_caption(AboutText(tw_.VersionText));
    Label3.set_caption(SiteUrl(tw_, site::kHome));
}

void About::Label3_Click() { OpenUrl(tw_, SiteUrl(tw_, site::kHome)); }

void About::Command1_Click() { unload(); }

}  // namespace win
}  // namespace tw
