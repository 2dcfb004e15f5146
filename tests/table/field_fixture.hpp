#pragma once
// A table whose program folder holds the sample slot frames, with helpers for field cards.
#include <filesystem>
#include <string>
#include <vector>

#include "cards/card.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw::test {

namespace fs = std::filesystem;

inline fs::path SampleImages() { return fs::path(TW_SOURCE_DIR) / "data" / "images"; }

struct FieldFixture : TableFixture {
    FieldFixture() {
        fs::create_directories(images());
        for (const auto& entry : fs::directory_iterator(SampleImages()))
            if (entry.is_regular_file()) fs::copy_file(entry.path(), images() / entry.path().filename());
        tw().FormA().chat.set_text("");  // past the load's welcome lines
        tw().prefs.UserName = "Ann";
        tw().net.SentCommands.clear();
    }

    fs::path images() const { return dir.path() / "images"; }

    // A sample art file copied to images/<folder>/<file>.
    void copy_art(const std::string& from_folder, const std::string& file, const std::string& to_folder,
                  const std::string& to_file) {
        fs::create_directories(images() / to_folder);
        fs::copy_file(SampleImages() / from_folder / file, images() / to_folder / to_file,
                      fs::copy_options::overwrite_existing);
    }

    std::vector<std::string> sent() const {
        std::vector<std::string> out;
        for (const auto& c : table->net.SentCommands) out.push_back(c.command);
        return out;
    }

    win::FormA& duel() { return tw().FormA(); }
};

// The duel log's lines, without the blank one after the last line end.
inline std::vector<std::string> LogLines(win::FormA& duel) {
    std::vector<std::string> out;
    const std::string& text = duel.chat.text();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        out.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return out;
}

inline Card Monster(const std::string& name, const std::string& set = "BWX") {
    Card c;
    c.Name = name;
    c.SetCode = set;
    c.Level = "4";
    c.Group = "Dragon";
    c.Attribute = "Wind";
    c.Atk = "1800";
    c.Def = "1200";
    return c;
}

inline Card SpellCard(const std::string& name, const std::string& icon = "", const std::string& set = "BWX") {
    Card c;
    c.Name = name;
    c.SetCode = set;
    c.Attribute = "Spell";
    c.Icon = icon;
    return c;
}

inline Card TrapCard(const std::string& name, const std::string& set = "BWX") {
    Card c;
    c.Name = name;
    c.SetCode = set;
    c.Attribute = "Trap";
    return c;
}

}  // namespace tw::test
