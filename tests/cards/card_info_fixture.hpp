#pragma once
// A duel window over a program folder with tiny frame and art pictures, a panel of the same
// kind as the other windows' (for the deck editor and pile viewer), and card makers.
#include <filesystem>
#include <fstream>
#include <string>

#include "cards/card.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "platform/controls.hpp"
#include "platform/form.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw::test {

namespace fs = std::filesystem;

// A 1 x 1 GIF the decoder reads.
inline const std::string& TinyGif() {
    static const std::string gif(
        "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff\x21\xf9\x04\x01\x00\x00\x00\x00"
        "\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b",
        43);
    return gif;
}

inline void WriteFile(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

// The preview pieces a window other than the duel window owns.
struct OtherPanelForm : platform::Form {
    explicit OtherPanelForm(platform::App& app) : Form(app, "other") {}
    platform::RichTextBox selectedcard{this, "selectedcard"};
    platform::PictureBox Image1{this, "Image1"};
    platform::Label lblName{this, "lblName"};
    platform::Label lblStats{this, "lblStats"};
    platform::Label lblDesc{this, "lblDesc"};
    platform::Label Label32{this, "Label32"};
    platform::Label Label33{this, "Label33"};
    platform::ListBox List1{this, "List1"};
};

struct CardPanelFixture : TableFixture {
    OtherPanelForm other{app};

    CardPanelFixture() {
        // The frames in "Images", the art in "images": one folder to the program.
        for (const char* f : {"magic", "trap", "ritual", "synchro", "fusion", "monstereffect", "token",
                              "monster"})
            WriteFile(dir.path() / "Images" / (std::string(f) + ".gif"), TinyGif());
        LoadDuelWindow();
    }

    win::FormA& duel() { return tw().FormA(); }

    void add_art(const std::string& folder, const std::string& file) {
        WriteFile(dir.path() / "Images" / folder / file, TinyGif());
    }

    static std::string FrameOf(const platform::PictureBox& box) {
        return box.picture() ? box.picture()->source.filename().string() : "";
    }
    // The files painted over the picture, in order.
    static std::vector<std::string> ArtOf(const platform::PictureBox& box) {
        std::vector<std::string> out;
        for (const auto& op : box.display_list())
            out.push_back(op.picture ? op.picture->source.filename().string() : "?");
        return out;
    }
};

inline Card MakeCard(const std::string& name, const std::string& set, const std::string& attribute,
                     const std::string& group, const std::string& level, const std::string& atk,
                     const std::string& def, const std::string& desc, const std::string& icon = {}) {
    Card c;
    c.Name = name;
    c.SetCode = set;
    c.Attribute = attribute;
    c.Group = group;
    c.Level = level;
    c.Atk = atk;
    c.Def = def;
    c.Desc = desc;
    c.Icon = icon;
    return c;
}

inline Card NormalMonster(const std::string& name = "Blue Dragon", const std::string& set = "BWX") {
    return MakeCard(name, set, "Wind", "Dragon", "4", "1800", "1200", "A dragon of the sky.");
}

}  // namespace tw::test
