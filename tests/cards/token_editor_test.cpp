// The token editor: loading token files of every size, editing by position with duplicate
// names, the two files it writes, the restart question and a failed write.
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <system_error>
#include <string>
#include <vector>

#include "cards/token_editor.hpp"
#include "cards/token_files.hpp"
#include "platform/files.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using platform::MsgResult;

// The twelve lines the editor writes for one token.
Lines Section(const std::string& name, const std::string& group = "", const std::string& type = "",
              const std::string& level = "", const std::string& atk = "", const std::string& def = "",
              const std::string& desc = "") {
    return {"[" + name + "]", "CARDNO=",      "NAME=" + name, "GROUP=" + group,
            "TYPE=" + type,   "LEVEL=" + level, "ICON=",       "ATK=" + atk,
            "DEF=" + def,     "DESC=" + desc, "FUSION=0",      ""};
}

std::string Text(const Lines& lines) {
    std::string out;
    for (const auto& l : lines) out += l + "\r\n";
    return out;
}

Lines Join(std::initializer_list<Lines> parts) {
    Lines out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A file's lines, each ended by CR LF; a stray LF or a missing last line end shows as a line of
// its own.
Lines LinesOf(const std::string& bytes) {
    Lines out;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            out.push_back("<unended>" + bytes.substr(start));
            break;
        }
        out.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return out;
}

// A token file of n tokens named "T1" .. "Tn".
std::string Numbered(int n) {
    Lines all;
    for (int i = 1; i <= n; ++i) {
        const Lines s = Section("T" + std::to_string(i), "Golem", "STONE", "1", std::to_string(i), "0", "d");
        all.insert(all.end(), s.begin(), s.end());
    }
    return Text(all);
}

struct TokenEditorTest : ::testing::Test, test::TableFixture {
    TokenEditorTest() { LoadDuelWindow(); }

    win::FrmTokens& open() {
        auto& e = tw().frmTokens();
        e.show();
        e.initialize();
        return e;
    }
    Lines list_file() { return LinesOf(test::TempDir::read(dir / "token.cnl")); }
    Lines token_file() { return LinesOf(test::TempDir::read(dir / "token.ptcg")); }
    // Save and answer the restart question No.
    void save(win::FrmTokens& e) {
        host.expect_yes_no("Would you like to restart ZQM now?", MsgResult::No);
        e.Command3.user_click();
    }
    static std::vector<std::string> boxes(win::FrmTokens& e) {
        return {e.Text1.text(), e.Text2.text(), e.Text3.text(), e.Text4.text(),
                e.Text5.text(), e.Text6.text(), e.Text7.text()};
    }
};

TEST(TokenEditor, LoadsFilesOfEverySizeUpToFifty) {
    const struct {
        const char* what;
        std::optional<std::string> file;  // nullopt: no token file
        int tokens;
        bool told;
    } cases[] = {
        {"no token file", std::nullopt, 0, false},
        {"an empty file", std::string(), 0, false},
        {"one token", Numbered(1), 1, false},
        {"fifty tokens", Numbered(50), 50, false},
        {"fifty-one tokens", Numbered(51), 50, true},
        {"a thousand tokens", Numbered(1000), 50, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TableFixture f;
        if (c.file) f.dir.write("token.ptcg", *c.file);
        auto& e = f.tw().frmTokens();
        e.show();
        e.initialize();
        EXPECT_EQ(e.List1.list_count(), c.tokens);
        EXPECT_EQ(e.LastTokenIndex, c.tokens - 1);
        if (c.tokens > 0) {
            EXPECT_EQ(e.List1.list_index(), 0);
            EXPECT_EQ(e.Text1.text(), "T1");
            EXPECT_EQ(e.Text5.text(), "1");
            EXPECT_EQ(e.List1.list(c.tokens - 1), "T" + std::to_string(c.tokens));
        } else {
            EXPECT_EQ(e.List1.list_index(), -1);
            EXPECT_EQ(e.Text1.text(), "");
        }
        ASSERT_EQ(f.host.messages().size(), c.told ? 1u : 0u);
        if (c.told) {
            EXPECT_EQ(f.host.messages()[0].text, "Only the first 50 tokens were loaded.");
        }
    }
}

TEST_F(TokenEditorTest, EveryFieldReadsBackInItsBoxAndEditsGoToTheSelectedToken) {
    dir.write("token.ptcg", Text(Join({Section("Spark", "Sprite", "EMBER", "1", "100", "200", "A spark = light [1]"),
                                       Section("Pebble", "Golem", "STONE", "2", "0", "800", "Round.")})));
    auto& e = open();
    EXPECT_EQ(boxes(e), (Lines{"Spark", "Sprite", "EMBER", "1", "100", "200", "A spark = light [1]"}));
    e.List1.user_click(1);
    EXPECT_EQ(boxes(e), (Lines{"Pebble", "Golem", "STONE", "2", "0", "800", "Round."}));

    e.Text5.user_edit("1500");
    e.Text7.user_edit("Heavier.");
    e.List1.user_click(0);
    EXPECT_EQ(e.Text5.text(), "100");
    e.List1.user_click(1);
    EXPECT_EQ(e.Text5.text(), "1500");

    // Reopening starts from the file: unsaved edits are gone.
    e.Command4.user_click();
    EXPECT_FALSE(e.visible());
    open();
    e.List1.user_click(1);
    EXPECT_EQ(e.Text5.text(), "0");
}

TEST_F(TokenEditorTest, DuplicateNamesAreEditedRenamedAndRemovedByPosition) {
    dir.write("token.ptcg", Text(Join({Section("Twin", "A"), Section("Twin", "B"), Section("Other", "C")})));
    dir.write("token.cnl", "Twin\r\nTwin\r\nOther\r\n");
    auto& e = open();

    e.List1.user_click(0);
    EXPECT_EQ(e.Text2.text(), "A");  // the first entry is the first token
    e.Text6.user_edit("10");

    e.List1.user_click(1);
    EXPECT_EQ(e.Text2.text(), "B");
    e.Text1.user_got_focus();
    EXPECT_FALSE(e.List1.enabled());  // the entry being renamed stays selected
    e.Text1.user_edit("Twin Two");
    e.Text1.user_lost_focus();
    EXPECT_TRUE(e.List1.enabled());
    EXPECT_EQ(e.List1.items(), (Lines{"Twin", "Twin Two", "Other"}));

    e.List1.user_click(0);
    e.Command2.user_click();  // removes the selected first entry, not a later "Twin"
    EXPECT_EQ(e.List1.items(), (Lines{"Twin Two", "Other"}));
    EXPECT_EQ(e.List1.list_index(), 1);  // the last entry becomes the selection
    EXPECT_EQ(e.Text2.text(), "C");

    save(e);
    EXPECT_EQ(list_file(), (Lines{"Twin Two", "Other"}));
    EXPECT_EQ(token_file(), Join({Section("Twin Two", "B"), Section("Other", "C")}));
}

TEST_F(TokenEditorTest, NewRemoveAndSaveKeepTheListAndBothFilesInStep) {
    dir.write("token.ptcg", Text(Join({Section("Spark", "Sprite", "EMBER", "1", "100", "200", "A spark.")})));
    auto& e = open();
    e.Command1.user_click();
    e.Command1.user_click();
    EXPECT_EQ(e.List1.items(), (Lines{"Spark", "New Token", "New Token"}));
    EXPECT_EQ(e.List1.list_index(), 0);  // the new entries are not selected

    // Renaming the first "New Token" renames that one, not the later one.
    e.List1.user_click(1);
    e.Text1.user_got_focus();
    e.Text1.user_edit("Gust\r\nToken");
    e.Text1.user_lost_focus();
    e.Text2.user_edit("Sylph");
    e.Text7.user_edit("Line one\r\nline two\nthree");

    // A removed token's place is given to the next new one empty.
    e.List1.user_click(0);
    e.Command2.user_click();
    e.Command1.user_click();
    e.List1.user_click(2);
    EXPECT_EQ(boxes(e), (Lines{"New Token", "", "", "", "", "", ""}));

    save(e);
    EXPECT_FALSE(e.visible());
    EXPECT_FALSE(app.ended());
    EXPECT_TRUE(host.processes().empty());
    // Line breaks typed into values are written as blanks, so each value stays on its line.
    EXPECT_EQ(list_file(), (Lines{"Gust  Token", "New Token", "New Token"}));
    EXPECT_EQ(token_file(), Join({Section("Gust  Token", "Sylph", "", "", "", "", "Line one  line two three"),
                                  Section("New Token"), Section("New Token")}));
    // What was written loads back as it was saved.
    open();
    EXPECT_EQ(e.List1.items(), (Lines{"Gust  Token", "New Token", "New Token"}));
    EXPECT_EQ(e.Text7.text(), "Line one  line two three");

    // With every token removed, the boxes belong to none and both files are written empty.
    for (int i = 0; i < 3; ++i) e.Command2.user_click();
    EXPECT_EQ(e.List1.list_count(), 0);
    e.Command2.user_click();
    e.Text2.user_edit("ignored");
    e.Text1.user_got_focus();
    e.Text1.user_lost_focus();
    EXPECT_EQ(e.LastTokenIndex, -1);
    save(e);
    EXPECT_EQ(test::TempDir::read(dir / "token.cnl"), "");
    EXPECT_EQ(test::TempDir::read(dir / "token.ptcg"), "");
}

// Whatever name the editor lets the player type is the token the next start's Tokens menu puts
// down: brackets, the profile file's own marks and blanks around the name included.
TEST_F(TokenEditorTest, EverySavedNameIsPutDownFromTheNextStartsTokensMenu) {
    const std::vector<std::string> names = {"Sheep [Red] Token", "Goat]",       "[Horn] Goat", "Ram = Token",
                                            "Ewe; Token",        "Kid & Nanny", "Billy\x92s Goat",
                                            "  Spaced Goat  "};
    auto& e = open();
    for (std::size_t i = 0; i < names.size(); ++i) {
        e.Command1.user_click();
        e.List1.user_click(static_cast<int>(i));
        e.Text1.user_got_focus();
        e.Text1.user_edit(names[i]);
        e.Text1.user_lost_focus();
        e.Text2.user_edit("Beast");
        e.Text6.user_edit(std::to_string(100 * (i + 1)));
    }
    save(e);

    // The next start: a program folder holding the files just written and the slot frames.
    test::TableFixture next;
    for (const char* file : {"token.ptcg", "token.cnl"}) next.dir.write(file, test::TempDir::read(dir / file));
    fs::copy(fs::path(TW_SOURCE_DIR) / "data" / "images", next.dir.path() / "images", fs::copy_options::recursive);
    auto& duel = next.LoadDuelWindow("Ann");
    ASSERT_EQ(duel.TokenRoot.count(), static_cast<int>(names.size()));
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        ASSERT_EQ(duel.TokenRoot[static_cast<int>(i)].caption(), names[i]);
        duel.TokenRoot_Click(static_cast<int>(i));
        const Card& put = next.tw().field.FieldCards[static_cast<int>(i) + 1];
        EXPECT_EQ(put.Name, names[i]);
        EXPECT_EQ(put.SetCode, "Token");
        EXPECT_EQ(put.Group, "Beast");
        EXPECT_EQ(put.Def, std::to_string(100 * (i + 1)));
    }
}

TEST_F(TokenEditorTest, NoMoreThanFiftyTokens) {
    dir.write("token.ptcg", Numbered(49));
    auto& e = open();
    e.Command1.user_click();
    EXPECT_EQ(e.List1.list_count(), 50);
    EXPECT_TRUE(host.messages().empty());
    e.Command1.user_click();
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].text, "No more than 50 tokens are allowed.");
    EXPECT_EQ(e.List1.list_count(), 50);
    EXPECT_EQ(e.LastTokenIndex, 49);
}

TEST_F(TokenEditorTest, YesRestartsTheProgramFolderCopyAndEndsNoKeepsRunning) {
    const auto program = dir.write("Tablewright", "#!/bin/sh\n");
    fs::permissions(program, fs::perms::owner_exec, fs::perm_options::add);
    auto& e = open();
    e.Command1.user_click();

    host.expect_yes_no("Would you like to restart ZQM now?", MsgResult::No);
    e.Command3.user_click();
    EXPECT_FALSE(app.ended());
    EXPECT_FALSE(e.visible());
    EXPECT_TRUE(host.processes().empty());

    open();
    host.expect_yes_no("Would you like to restart ZQM now?", MsgResult::Yes);
    EXPECT_THROW(e.Command3.user_click(), platform::ProgramEnd);
    EXPECT_TRUE(app.ended());
    ASSERT_EQ(host.questions().size(), 2u);
    EXPECT_EQ(host.questions()[1].title, "Tablewright Version 9.1");
    EXPECT_EQ(host.questions()[1].buttons, platform::MsgButtons::YesNo);
    ASSERT_EQ(host.processes().size(), 1u);
    EXPECT_EQ(fs::path(host.processes()[0].program), program);
    EXPECT_TRUE(host.processes()[0].args.empty());
    EXPECT_EQ(host.processes()[0].style, platform::WindowStyle::MinimizedFocus);
    EXPECT_EQ(list_file(), (Lines{"New Token"}));
}

TEST_F(TokenEditorTest, ARestartThatCannotStartDoesNotEndTheProgram) {
    auto& e = open();  // no Tablewright in the program folder
    host.expect_yes_no("Would you like to restart ZQM now?", MsgResult::Yes);
    e.Command3.user_click();
    EXPECT_FALSE(app.ended());
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].text,
              "Tablewright could not be started again. Start it yourself to use the new tokens.");
}

bool FailTokenFile(const fs::path&, const fs::path& target) { return target.filename() != "token.ptcg"; }
bool FailListFile(const fs::path&, const fs::path& target) { return target.filename() != "token.cnl"; }
bool FailEveryFile(const fs::path&, const fs::path&) { return false; }

// The files a save put in place, in order.
std::vector<std::string> g_renamed;
bool RecordRename(const fs::path&, const fs::path& target) {
    g_renamed.push_back(target.filename().string());
    return true;
}

// A save cut off between the two files then leaves the new tokens beside the old list, of which
// the Tokens menu shows only what the token file holds; the other way round the menu would offer
// tokens that are not there.
TEST_F(TokenEditorTest, TheTokenFileIsWrittenBeforeTheList) {
    auto& e = open();
    e.Command1.user_click();
    g_renamed.clear();
    platform::before_rename_hook = RecordRename;
    save(e);
    platform::before_rename_hook = nullptr;
    EXPECT_EQ(g_renamed, (std::vector<std::string>{"token.ptcg", "token.cnl"}));
}

TEST_F(TokenEditorTest, AFailedWriteKeepsBothOldFilesAndAsksNothing) {
    const std::string ptcg = Text(Section("Old"));
    for (auto hook : {&FailEveryFile, &FailTokenFile, &FailListFile}) {
        for (bool had_list : {true, false}) {
            SCOPED_TRACE(had_list);
            dir.write("token.ptcg", ptcg);
            std::error_code ec;
            fs::remove(dir / "token.cnl", ec);
            if (had_list) dir.write("token.cnl", "Old\r\n");
            auto& e = open();
            e.Command1.user_click();
            platform::before_rename_hook = hook;
            e.Command3.user_click();
            platform::before_rename_hook = nullptr;
            ASSERT_FALSE(host.messages().empty());
            EXPECT_EQ(host.messages().back().text, "The token files could not be written.");
            EXPECT_TRUE(host.questions().empty());
            EXPECT_TRUE(e.visible());
            EXPECT_FALSE(app.ended());
            EXPECT_EQ(test::TempDir::read(dir / "token.ptcg"), ptcg);
            if (had_list)
                EXPECT_EQ(test::TempDir::read(dir / "token.cnl"), "Old\r\n");
            else
                EXPECT_FALSE(fs::exists(dir / "token.cnl"));
        }
    }
}

}  // namespace
}  // namespace tw
