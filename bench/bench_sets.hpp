#pragma once
// The generated 100,000-entry set files the card benchmarks read, in program folders of their
// own (removed at the end).
#include <filesystem>
#include <random>
#include <string>

#include "bench/scratch_folder.hpp"
#include "platform/files.hpp"

namespace tw::bench {

inline constexpr int kEntries = 100'000;

// 80,000 records: every fourth printed in two sets, so 100,000 entries, and the empty last one.
inline std::string make_set_text() {
    std::string text;
    text.reserve(kEntries * 140);
    const char* sets[] = {"ALP1", "BRV", "CSK7", "DWN"};
    int records = 0;
    for (int entries = 0; entries < kEntries; ++records) {
        const bool twice = records % 4 == 0;
        const std::string name = "Bench Card " + std::to_string(records);
        text += std::to_string(records) + "|" + name + "|" + std::to_string(records % 900 + 1);
        text += twice ? ";7|" : "|";
        text += sets[records % 4];
        if (twice) text += std::string(";") + sets[(records + 1) % 4];
        text += records % 3 ? "|Drake/Effect|EMBER|4||1800|1200|" : "|Magic Card|Magic||Field|||";
        text += "When this card is put on the table, you may draw 1 card.|\r\n";
        entries += twice ? 2 : 1;
    }
    return text;
}

// For the search: varied names (capitals, small letters, digits first), every printing in one
// of twelve sets, monsters of each attribute and level, spells and traps with their properties;
// 100,000 records of one printing each, and the empty last entry.
inline std::string make_search_set_text() {
    const char* first[] = {"Blue", "dark", "Ancient", "Flame", "Silent", "7 Star", "Iron", "crystal",
                           "Storm", "Shadow", "Golden", "Wild"};
    const char* second[] = {"Dragon", "Mage", "Knight", "Beast", "Serpent", "Golem", "Archer", "Spirit",
                            "Warden", "Phoenix"};
    const char* groups[] = {"Dragon", "Spellcaster/Effect", "Warrior/Fusion", "Beast/Synchro/Effect",
                            "Fiend", "Machine/Effect", "Spell Card", "Trap Card"};
    const char* attributes[] = {"DARK", "EARTH", "FIRE", "LIGHT", "WATER", "WIND"};
    const char* icons[] = {"", "Continuous", "Equip", "Field", "Quick-Play", "Counter"};
    std::mt19937 gen(7);
    std::string text;
    text.reserve(kEntries * 150);
    for (int i = 0; i < kEntries; ++i) {
        const std::string name = std::string(first[gen() % 12]) + " " + second[gen() % 10] + " " + std::to_string(i / 3);
        const std::string set = "S" + std::to_string(gen() % 12);
        const std::string group = groups[gen() % 8];
        const std::string desc = "When this card is put on the table, you may draw " + std::to_string(gen() % 3 + 1) +
                                 " cards and look at your opponent's hand.";
        std::string attribute, level, icon, atk, def;
        if (group == "Spell Card" || group == "Trap Card") {
            attribute = group == "Spell Card" ? "Spell" : "Trap";
            icon = icons[gen() % 6];
        } else {
            attribute = attributes[gen() % 6];
            level = std::to_string(gen() % 12 + 1);
            atk = std::to_string(gen() % 31 * 100);
            def = std::to_string(gen() % 31 * 100);
        }
        text += std::to_string(i) + "|" + name + "|" + std::to_string(i % 900 + 1) + "|" + set + "|" + group + "|" +
                attribute + "|" + level + "|" + icon + "|" + atk + "|" + def + "|" + desc + "|\r\n";
    }
    return text;
}

// A program folder holding a set file.
struct SetFolder : ScratchFolder {
    SetFolder(const std::string& tag, const std::string& text) : ScratchFolder(tag) {
        platform::write_file_atomic(path / "zqm.set", text);
    }
};

inline SetFolder& load_folder() {
    static SetFolder f("tw-bench", make_set_text());
    return f;
}

inline SetFolder& search_folder() {
    static SetFolder f("tw-bench-search", make_search_set_text());
    return f;
}

}  // namespace tw::bench
