#pragma once
// A Tablewright started through Main on a scripted desktop, with the maker's site on a test
// host and a host that notes which windows were on screen when each box came up.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cards/main.hpp"
#include "cards/settings.hpp"
#include "program/tablewright.hpp"
#include "deckeditor/deckmaker.hpp"
#include "net/site.hpp"
#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/form.hpp"
#include "platform/reactor.hpp"
#include "platform/scripted_host.hpp"
#include "tests/support/temp_dir.hpp"

namespace tw::test {

struct WatchingHost : platform::ScriptedHost {
    using ScriptedHost::ScriptedHost;
    platform::App* app = nullptr;
    // Per box, the names of the windows then visible.
    std::vector<std::vector<std::string>> visible_at_box;

    platform::MsgResult msg_box(const std::string& text, platform::MsgButtons buttons,
                                platform::MsgIcon icon, const std::string& title) override {
        std::vector<std::string> shown;
        for (platform::Form* f : app->forms())
            if (f->visible()) shown.push_back(f->name());
        visible_at_box.push_back(shown);
        return ScriptedHost::msg_box(text, buttons, icon, title);
    }
};

inline constexpr const char* kTestSite = "http://site.test";

// Two printings of Alpha in "SA", Beta in "SB" and "sb", a card without a set code.
inline constexpr const char* kSampleSet =
    "1|Alpha|1|SA|Beast|EARTH|4||1000|900|First.|\r\n"
    "2|Beta|1;2|SB;sb|Spell Card|Spell||Field|||Second.|\r\n"
    "3|Alpha|2|SA|Beast|EARTH|4||1000|900|Again.|\r\n"
    "4|Gamma|1||Fiend|DARK|3||800|700|No set.|\r\n";

struct Editor {
    platform::FakeClock clock;
    platform::Reactor reactor{clock};
    WatchingHost host{reactor, clock};
    TempDir dir;
    platform::App app{reactor, host};
    std::unique_ptr<Tablewright> table;
    std::optional<std::string> saved_site;

    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    Editor() {
        if (const char* v = std::getenv(std::string(site::kBaseVariable).c_str())) saved_site = v;
        ::setenv(std::string(site::kBaseVariable).c_str(), kTestSite, 1);
        host.app = &app;
        app.path = dir.path().string();
        app.prev_instance_check = [] { return false; };
        table = std::make_unique<Tablewright>(app);
        dir.write("zqm.set", kSampleSet);
    }
    ~Editor() {
        if (saved_site)
            ::setenv(std::string(site::kBaseVariable).c_str(), saved_site->c_str(), 1);
        else
            ::unsetenv(std::string(site::kBaseVariable).c_str());
    }

    Tablewright& tw() { return *table; }
    win::DeckMaker& editor() { return *tw().DeckMaker.peek(); }
    std::string setting(std::string_view key) { return ReadSetting(tw(), std::string(key)); }
    void store(std::string_view key, const std::string& value) {
        WriteSetting(tw(), std::string(key), value);
    }
    // A player who has run the program before.
    void returning_player() {
        store(setting_key::firsttime, "no");
        store(setting_key::username, "Ria");
    }
    void start() {
        Main(tw());
        ASSERT_TRUE(tw().DeckMaker.loaded());
    }
    std::vector<std::string> message_texts() const {
        std::vector<std::string> out;
        for (const auto& m : host.messages()) out.push_back(m.text);
        return out;
    }
};

struct EditorTest : ::testing::Test, Editor {};

}  // namespace tw::test
