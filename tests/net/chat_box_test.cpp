// The chat box as a person uses it: a click on a card reference shows the card, a click on a
// link opens it (web addresses only), the input box keeps the plain chat style, the macros go
// out as the player's lines and the macro editor stores what it is given.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cards/card_lookup.hpp"
#include "cards/duel_log.hpp"
#include "cards/set_file.hpp"
#include "cards/settings.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/macro_window.hpp"
#include "net/site.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

// Two cards, one of whose names ends with the other's.
constexpr const char* kSet =
    "1|Cinder Wyrm|1;3|AAA;CCC|Wyrm|EMBER|4||1500|1000|A wyrm of the embers.|\r\n"
    "2|Salt & Cinder Wyrm|2|BBB|Wyrm/Fusion|EMBER|8||2700|2100|Two wyrms joined together.|\r\n";

struct ChatBox : ::testing::Test {
    test::TableFixture fx;
    Tablewright& tw = fx.tw();
    win::FormA& duel = fx.LoadDuelWindow("Ann");

    ChatBox() {
        tw.cards.CardDatabase = ParseSetFile(kSet);
        IndexCardDatabase(tw);
        tw.prefs.UserName = "Ann";
    }

    // The position of the n-th character of the last what in the chat box (0 = its first).
    int At(const std::string& what, int n = 0) {
        const auto at = duel.chat.text().rfind(what);
        EXPECT_NE(at, std::string::npos) << what;
        return static_cast<int>(at) + n;
    }
    // The card the panel shows, by the first line of its text.
    std::string Panel() {
        const std::string& text = duel.selectedcard.text();
        return text.substr(0, text.find("\r\n"));
    }
    std::vector<std::string> Sent() const {
        std::vector<std::string> out;
        for (const auto& c : fx.table->net.SentCommands) out.push_back(c.command);
        return out;
    }
};

TEST_F(ChatBox, AClickOnACardReferenceShowsExactlyThatCard) {
    AddChat(tw, "Ann has put down a {card='Cinder Wyrm' set='AAA'}", "Game", false);
    AddChat(tw, "Bob has put down a {card='Salt & Cinder Wyrm' set='BBB'}", "Game", false);
    ASSERT_EQ(tw.log.ChatCardLinks.back(), "Salt & Cinder Wyrm|BBB");
    const std::string blank = Panel();

    // Anywhere in the reference, its first and last character included: the card named so, not
    // the card whose name ends with it.
    const int cinder = static_cast<int>(duel.chat.text().find("Cinder Wyrm"));
    for (int pos : {cinder, cinder + 1, cinder + 5, cinder + 11}) {
        duel.selectedcard.set_text("");
        duel.chat.user_click(pos);
        EXPECT_EQ(Panel(), "Cinder Wyrm") << pos;
        EXPECT_EQ(duel.chat.sel_length(), 0);
    }
    duel.chat.user_click(At("Salt & Cinder Wyrm", 1));
    EXPECT_EQ(Panel(), "Salt & Cinder Wyrm");

    // Plain text, the speaker, and the player's own name (drawn in the link's blue) open nothing.
    AddChat(tw, "hello there", "Ann", false);
    duel.selectedcard.set_text(blank);
    for (int pos : {At("has put", 2), At("<Game>", 2), At("<Ann>", 2), At("hello", 1)}) {
        duel.chat.user_click(pos);
        EXPECT_EQ(Panel(), blank) << pos;
    }
    EXPECT_TRUE(fx.host.urls().empty());
}

TEST_F(ChatBox, ANameListedWithTwoSetsShowsTheLaterListing) {
    AddChat(tw, "{card='Cinder Wyrm' set='AAA'}", "Game", false);
    AddChat(tw, "{card='Cinder Wyrm' set='CCC'}", "Game", false);
    duel.chat.user_click(At("Cinder", 2));
    EXPECT_EQ(duel.Combo1.list(0), "CCC Cinder Wyrm");
}

TEST_F(ChatBox, ALinkOpensThroughTheDesktopOnlyAsAWebAddress) {
    struct Case {
        std::string link;
        std::vector<std::string> opened;
    };
    const std::vector<Case> cases = {
        {"http://example.org/a", {"http://example.org/a"}},
        {"https://example.org/b?x=1", {"https://example.org/b?x=1"}},
        {"www.example.org/c", {"http://www.example.org/c"}},
        {"file:///etc/passwd", {}},
        {"ftp://example.org/d", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        platform::ScriptedHost& host = fx.host;
        const std::size_t before = host.urls().size();
        duel.chat.set_text("");
        AddChat(tw, "see [link=" + c.link + "], then go", "Bob", false);
        for (int pos : {At(c.link.substr(0, 4)), At(c.link.substr(0, 4), 5)}) duel.chat.user_click(pos);
        const std::vector<std::string> opened(host.urls().begin() + static_cast<long>(before), host.urls().end());
        std::vector<std::string> expected;
        for (const auto& u : c.opened) expected.insert(expected.end(), {u, u});
        EXPECT_EQ(opened, expected) << "the comma after the link is not part of it";
        EXPECT_TRUE(host.opened_files().empty());
    }

    // The bundled site's own pages open as files of the program.
    std::filesystem::create_directories(fx.dir.path() / "site");
    { std::ofstream(fx.dir.path() / "site" / "index.html") << "<html></html>"; }
    AddChat(tw, "Visit [link=" + SiteUrl(tw, site::kHome) + "] for news", "Game", false);
    duel.chat.user_click(At("index.html", -2));
    ASSERT_EQ(fx.host.opened_files().size(), 1u);
    EXPECT_EQ(fx.host.opened_files()[0].filename(), "index.html");
    // A life-point figure of 8000 is drawn in the link's blue: it is no link.
    AddChat(tw, "Ann`s LP is now 8000 (8000 LP)", "Game", false);
    const std::size_t urls = fx.host.urls().size();
    duel.chat.user_click(At("(8000 LP)", 2));
    EXPECT_EQ(fx.host.urls().size(), urls);
}

TEST_F(ChatBox, TheInputKeepsThePlainChatStyleWhateverIsTypedOrPasted) {
    tw.duel.ChatForeColor = 0xFFFFFF;
    auto& input = duel.chattext;
    input.set_sel_color(255);
    input.set_sel_underline(true);
    input.user_type("pasted");
    input.set_sel_start(3);
    input.set_sel_bold(true);
    input.user_type("typed");
    EXPECT_EQ(input.text(), "pastypedted");
    for (const auto& f : input.formats()) {
        EXPECT_EQ(f.color, 0xFFFFFFu);
        EXPECT_FALSE(f.underline);
        EXPECT_FALSE(f.bold);
    }
    EXPECT_EQ(input.sel_start(), 8) << "the caret stays where the typing left it";
    EXPECT_EQ(input.insertion_format().color, 0xFFFFFFu);
    EXPECT_FALSE(input.insertion_format().underline);
}

TEST_F(ChatBox, ClearingARichTextBoxUsesTheChatColours) {
    tw.duel.ChatForeColor = 0xFFFFFF;
    tw.duel.ChatBackColor = 0x202020;
    duel.chattext.set_text("left over");
    duel.ClearRichText(duel.chattext);
    EXPECT_EQ(duel.chattext.text(), "");
    EXPECT_EQ(duel.chattext.insertion_format().color, 0xFFFFFFu);
    EXPECT_EQ(duel.chattext.back_color(), 0x202020u);
    // Equal colours would hide the text: the back colour stays as it was.
    tw.duel.ChatBackColor = 0xFFFFFF;
    duel.ClearRichText(duel.chattext);
    EXPECT_EQ(duel.chattext.back_color(), 0x202020u);
}

TEST_F(ChatBox, AMacroGoesOutAsThePlayersLineWhateverItsLength) {
    const std::string long_macro(130, 'm');
    tw.prefs.Macros[4] = long_macro;
    tw.prefs.Macros[9] = "Good game!";
    duel.chattext.set_text("half typed");
    // From the keys, whichever control has the focus, and from the Chat menu.
    duel.set_focus(duel.chattext);
    duel.user_key_down(112, 0);  // F1
    duel.user_key_down(120, 0);  // F9
    duel.Macro4.Click();
    EXPECT_TRUE(fx.host.messages().empty()) << "a macro is not held to the typed line's 120 characters";
    const auto sent = Sent();
    EXPECT_NE(std::find(sent.begin(), sent.end(), "ch~<Ann> Heads or Tails?"), sent.end());
    EXPECT_NE(std::find(sent.begin(), sent.end(), "ch~<Ann> Good game!"), sent.end());
    EXPECT_NE(std::find(sent.begin(), sent.end(), "ch~<Ann> " + long_macro), sent.end());
    EXPECT_EQ(duel.chattext.text(), "half typed") << "the input box keeps what it holds";
}

TEST_F(ChatBox, TheMacroEditorStoresAtMostFiftyCharactersOnDone) {
    duel.user_key_down(122, 0);  // F11
    auto& editor = tw.MacroWindow();
    EXPECT_TRUE(editor.visible());
    EXPECT_EQ(editor.caption(), "Edit Macros");
    EXPECT_EQ(editor.Text1[0].text(), "Heads or Tails?");
    EXPECT_EQ(editor.Text1[8].text(), "Change Me!");

    const std::string sixty(60, 'x');
    editor.Text1[0].user_edit(sixty);
    editor.Text1[8].user_edit("");
    editor.Command1.user_click();
    EXPECT_FALSE(tw.MacroWindow.loaded());
    EXPECT_EQ(tw.prefs.Macros[1], sixty.substr(0, 50));
    EXPECT_EQ(ReadSetting(tw, setting_key::slot(1)), sixty.substr(0, 50));
    EXPECT_EQ(duel.Macro1.caption(), sixty.substr(0, 50));
    EXPECT_EQ(tw.prefs.Macros[9], "");
    EXPECT_EQ(tw.prefs.Macros[2], "Heads!");

    // Closed any other way, it stores nothing; the next opening shows the stored texts.
    duel.Macro10.Click();
    tw.MacroWindow().Text1[1].user_edit("Not kept");
    tw.MacroWindow().unload();
    EXPECT_EQ(tw.prefs.Macros[2], "Heads!");
    duel.Macro10.Click();
    EXPECT_EQ(tw.MacroWindow().Text1[1].text(), "Heads!");
    EXPECT_EQ(tw.MacroWindow().Text1[0].text(), sixty.substr(0, 50));
}

}  // namespace
}  // namespace tw
