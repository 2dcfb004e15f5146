// Settings saves that the system refuses, a folder without write access or a file-size limit,
// are told to the player, and the settings file keeps what it held. Each refusal is arranged in
// a forked copy of the test, since neither can be taken back.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "cards/settings.hpp"
#include "cards/settings_window.hpp"
#include "tests/support/forked.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

namespace fs = std::filesystem;

using test::WriteRefusal;

// What the child found wrong, as bits of its exit status.
enum Fault : int {
    kNotTold = 1,
    kToldTooOften = 2,
    kWindowClosed = 4,
    kFileChanged = 8,
    kClaimedWritten = 16,
};

std::string Describe(int faults) {
    if (faults < 0) return "the child was ended by a signal";
    if (faults == test::kRefusalNotArranged) return "the refusal could not be arranged";
    std::string out;
    for (auto [bit, text] : {std::pair{kNotTold, "not told"},
                             std::pair{kToldTooOften, "told more than once"},
                             std::pair{kWindowClosed, "window closed"},
                             std::pair{kFileChanged, "settings file changed"},
                             std::pair{kClaimedWritten, "write claimed"}})
        if (faults & bit) out += std::string(text) + "; ";
    return out;
}

struct SettingsSaveFailure : ::testing::Test {
    static constexpr const char* kBefore = "[settings]\r\nUSERNAME=Old\r\nTIMESTAMP=0\r\nJPASS=kept\r\n";
    test::TableFixture f;
    fs::path file = f.dir.write("settings.ini", kBefore);

    int UnderRefusal(WriteRefusal r, const std::function<int()>& body) {
        return test::UnderRefusal(r, f.dir.path(), body);
    }
    int Told() const {
        int n = 0;
        for (const auto& m : f.host.messages()) n += m.text == kSettingsNotSaved;
        return n;
    }
    int FileFaults() const {
        return test::TempDir::read(file) == kBefore ? 0 : kFileChanged;
    }
};

TEST_F(SettingsSaveFailure, TheSettingsWindowSaysSoAndStaysOpen) {
    for (WriteRefusal r : {WriteRefusal::ReadOnlyFolder, WriteRefusal::FileSizeLimit}) {
        SCOPED_TRACE(test::Name(r));
        auto& s = f.tw().settings();
        s.show();
        s.Text1.user_edit("Joe");
        s.Text5.user_edit((f.dir.path() / "logs").string());
        s.Check2.set_value(1);
        const int faults = UnderRefusal(r, [&] {
            s.Command1.user_click();
            int out = FileFaults();
            if (Told() != 1) out |= Told() == 0 ? kNotTold : kToldTooOften;
            if (!s.visible()) out |= kWindowClosed;
            // Pressed again, it is told again: the player asked each time.
            s.Command1.user_click();
            if (Told() != 2) out |= kNotTold;
            return out;
        });
        EXPECT_EQ(faults, 0) << Describe(faults);
    }
}

TEST_F(SettingsSaveFailure, OtherWritesAreToldOncePerRun) {
    for (WriteRefusal r : {WriteRefusal::ReadOnlyFolder, WriteRefusal::FileSizeLimit}) {
        SCOPED_TRACE(test::Name(r));
        const int faults = UnderRefusal(r, [&] {
            int out = 0;
            for (const char* deck : {"/decks/a.dek", "/decks/b.dek", "/decks/c.dek"})
                if (WriteSetting(f.tw(), std::string(setting_key::lastdeck), deck)) out |= kClaimedWritten;
            if (Told() != 1) out |= Told() == 0 ? kNotTold : kToldTooOften;
            return out | FileFaults();
        });
        EXPECT_EQ(faults, 0) << Describe(faults);
    }
}

}  // namespace
}  // namespace tw
