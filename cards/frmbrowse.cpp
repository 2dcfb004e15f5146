#include "cards/frmbrowse.hpp"

#include "cards/settings_window.hpp"
#include "program/tablewright.hpp"

namespace tw::win {

namespace {

// The folder as the box shows it: no final separator, except for the root itself.
std::string without_final_separator(const std::filesystem::path& folder) {
    std::string s = folder.lexically_normal().string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

}  // namespace

FrmBrowse::FrmBrowse(Tablewright& tw) : platform::Form(tw.app, "frmBrowse"), tw_(tw) {
    set_caption("Select a Folder");
    set_border_style(platform::BorderStyle::FixedDialog);
    move(0, 0, 4290, 4710);
    Drive1.move(120, 120, 3930, 315);
    // Where the list is, whole, so that the person sees which folder "OK" takes.
    lblFolder.move(120, 525, 3930, 435);
    lblFolder.set_caption(Dir1.path().string());
    Dir1.move(120, 1020, 3930, 2535);
    Command1.set_caption("OK");
    Command1.move(120, 3720, 1815, 435);
    Command2.set_caption("Cancel");
    Command2.move(2235, 3720, 1815, 435);

    Command1.Click = [this] { Command1_Click(); };
    Command2.Click = [this] { Command2_Click(); };
    Drive1.Change = [this] { Drive1_Change(); };
    Dir1.Change = [this] { Dir1_Change(); };
}

void FrmBrowse::loadPath() {
    if (whichFolder == "logs")
        Dir1.set_path(tw_.settings().Text5.text());
    else if (whichFolder == "decks")
        Dir1.set_path(tw_.settings().Text3.text());
}

void FrmBrowse::Command1_Click() {
    if (whichFolder == "logs")
        tw_.settings().Text5.set_text(without_final_separator(Dir1.path()));
    else if (whichFolder == "decks")
        tw_.settings().Text3.set_text(without_final_separator(Dir1.path()));
    hide();
}

void FrmBrowse::Command2_Click() { hide(); }

void FrmBrowse::Drive1_Change() { Dir1.set_path(Drive1.drive()); }

void FrmBrowse::Dir1_Change() { lblFolder.set_caption(Dir1.path().string()); }

}  // namespace tw::win
