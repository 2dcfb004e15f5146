#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cards/settings_window.hpp"
#include "cards/tip.hpp"
#include "platform/tcp.hpp"
#include "tests/duel/flow_fixture.hpp"

namespace tw {
namespace {

namespace fs = std::filesystem;
using F = win::FormA;

struct MenuBar : test::FlowTest {
    // Which bar labels are lit, as one letter each: w white, g grey.
    std::string Lit() {
        std::string out;
        for (platform::Label* l : duel.BarLabels()) out += l->fore_color() == F::kBarLit ? 'w' : l->fore_color() == F::kBarIdle ? 'g' : '?';
        return out;
    }
};

TEST_F(MenuBar, EachLabelOpensItsMenuUnderItself) {
    duel.gameplay.set_enabled(true);  // a deck in play enables it
    struct Case {
        platform::Label& label;
        const char* menu;
    };
    const Case cases[] = {
        {duel.lblFile, "File"},
        {duel.lblChat, "ChatCommands"},
        {duel.lblGameplay, "gameplay"},
        {duel.lblMore, "More"},
    };
    for (const Case& c : cases) {
        fx.host.expect_popup(std::nullopt);
        // Wherever in the label the click is, the menu opens at its left edge.
        c.label.user_click(c.label.width() - 10, 150);
        ASSERT_FALSE(fx.host.popups().empty());
        const auto& opened = fx.host.popups().back();
        EXPECT_EQ(opened.menu, c.menu);
        ASSERT_TRUE(opened.at.has_value());
        EXPECT_EQ(opened.at->x, c.label.left()) << c.menu;
        EXPECT_EQ(opened.at->y, duel.Image6.height()) << c.menu;
    }
    // The labels sit in a row right of the title, each after the one before.
    EXPECT_EQ(duel.lblFile.left(), duel.lblTitle.left() + duel.lblTitle.width() + 150);
    EXPECT_EQ(duel.lblChat.left(), duel.lblFile.left() + duel.lblFile.width() + 100);
    EXPECT_EQ(duel.lblMore.left(), duel.lblGameplay.left() + duel.lblGameplay.width() + 100);

    // "Gameplay" does not open before a deck is in play.
    duel.gameplay.set_enabled(false);
    const auto opened = fx.host.popups().size();
    duel.lblGameplay.user_click();
    EXPECT_EQ(fx.host.popups().size(), opened);
}

TEST_F(MenuBar, TheLabelUnderThePointerIsLit) {
    EXPECT_EQ(Lit(), "gggg");
    duel.lblChat.user_mouse_move(0, 0, 10, 10);
    EXPECT_EQ(Lit(), "gwgg");
    duel.lblMore.user_mouse_move(0, 0, 10, 10);
    EXPECT_EQ(Lit(), "gggw");
    duel.playsurface.user_mouse_move(0, 0, 100, 100);
    EXPECT_EQ(Lit(), "gggg");
    for (auto move : {+[](F& d) { d.user_mouse_move(0, 0, 5, 5); },
                      +[](F& d) { d.selectedcard.user_mouse_move(0, 0, 5, 5); },
                      +[](F& d) { d.Image6.user_mouse_move(0, 0, 5000, 100); }}) {
        duel.lblFile.user_mouse_move(0, 0, 10, 10);
        EXPECT_EQ(Lit(), "wggg");
        move(duel);
        EXPECT_EQ(Lit(), "gggg");
    }
    // Its menu closed, by a choice or none, the label is put out though no move came.
    duel.lblFile.user_mouse_move(0, 0, 10, 10);
    fx.host.expect_popup(std::nullopt);
    duel.lblFile.user_click();
    EXPECT_EQ(Lit(), "gggg");
}

TEST_F(MenuBar, SettingsAreOfferedOnlyWithoutAConnection) {
    duel.Settings2.set_enabled(false);
    fx.host.expect_popup("Settings2");
    duel.lblFile.user_click();
    EXPECT_TRUE(tw.settings().visible());
    tw.settings().hide();

    // Connected: the item is there but cannot be chosen.
    platform::TcpSocket listener(fx.reactor);
    listener.set_local_port(0);
    listener.ConnectionRequest = [&](long id) {
        listener.close();
        listener.accept(id);
    };
    listener.listen();
    duel.Winsock1.connect("127.0.0.1", listener.bound_port());
    ASSERT_TRUE(fx.reactor.wait_until([&] { return duel.Winsock1.state() == platform::TcpSocket::StateConnected; }, 5000));
    fx.host.expect_popup(std::nullopt);
    duel.lblFile.user_click();
    EXPECT_FALSE(duel.Settings2.enabled());
    duel.Winsock1.close();
}

TEST_F(MenuBar, TheYouLabelTakesTheSegmentFont) {
    duel.Label6.user_click();
    EXPECT_EQ(duel.Label6.font_name(), "LCD");
}

struct Skins : test::FlowTest {
    std::string folder = fx.dir.path().generic_string();
    Skins() { fx.dir.write("skins/Dark/settings.ini", "[settings]\r\nplayfield=dark.jpg\r\nskin=dark\r\n"); }
};

TEST_F(Skins, APathIsReducedToAFolderNameUnderTheSkinsFolder) {
    struct Case {
        std::string path;
        std::optional<std::string> name;
    };
    const Case cases[] = {
        {folder + "/skins/Blue/settings.ini", "blue"},
        {folder + "\\SKINS\\Dark\\Settings.INI", "dark"},
        {folder + "/skins/dark/", "dark"},
        {"Blue", "blue"},
        {folder + "/skins/a/b/settings.ini", std::nullopt},
        {folder + "/skins/../settings.ini", std::nullopt},
        {folder + "/skins/dark/../../x/settings.ini", std::nullopt},
        {"/elsewhere/dark/settings.ini", std::nullopt},
        {"../settings.ini", std::nullopt},
        {"..", std::nullopt},
        {"settings.ini", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(win::SkinName(tw, c.path), c.name) << c.path;
}

TEST_F(Skins, ASkinWhitensTheBoxesAndKeepsTheirTextDark) {
    duel.JumpPhase(3);
    duel.ShowOpponentPhase(5);
    const std::string phases = test::PhaseColours(duel);
    std::string path = folder + "\\SKINS\\Dark\\Settings.INI";
    duel.LoadSkin(path);
    EXPECT_EQ(path, "dark");
    EXPECT_TRUE(Notices().empty());
    EXPECT_EQ(tw.duel.ChatBackColor, 16777215u);
    EXPECT_EQ(tw.duel.ChatForeColor, 0u);
    for (platform::Control* box : std::vector<platform::Control*>{&duel.chat, &duel.chattext, &duel.selectedcard,
                                                                   &duel.hand, &duel.Combo1, &tw.Tip()})
        EXPECT_EQ(box->back_color(), 16777215u) << box->name();
    // Text on the white boxes stays dark; text on the window's ground is white.
    for (platform::Control* ink : std::vector<platform::Control*>{&duel.hand, &duel.Combo1, &tw.Tip().Label1})
        EXPECT_EQ(ink->fore_color(), 0u) << ink->name();
    EXPECT_EQ(tw.Tip().Shape1.border_color(), 0u);
    for (platform::Control* label : std::vector<platform::Control*>{&duel.Label6, &duel.Label7, &duel.Label8,
                                                                     &duel.Text1, &duel.Text2})
        EXPECT_EQ(label->fore_color(), 16777215u) << label->name();
    EXPECT_NE(duel.back_color(), 16777215u);
    // Both players' phases still show.
    EXPECT_EQ(test::PhaseColours(duel), phases);
    EXPECT_EQ(phases, "ggbgwgg");
}

TEST_F(Skins, AMissingOrStraySkinChangesNothing) {
    auto colours = [&] {
        std::vector<platform::Color> out;
        for (platform::Control* c : std::vector<platform::Control*>{&duel.hand, &duel.Combo1, &duel.chat,
                                                                     &duel.selectedcard, &duel.Label6, &duel.Text1})
            out.insert(out.end(), {c->fore_color(), c->back_color()});
        return out;
    };
    const auto before = colours();
    for (std::string path : {folder + "/skins/Gone/settings.ini", folder + "/skins/../skins/x/../../settings.ini",
                             std::string("/elsewhere/dark/settings.ini")}) {
        Forget();
        const std::string given = path;
        duel.LoadSkin(path);
        EXPECT_EQ(path, given);
        EXPECT_EQ(Notices(), std::vector<std::string>{"I cannot find this skins`s settings file"}) << given;
    }
    EXPECT_EQ(colours(), before);
    EXPECT_EQ(tw.duel.ChatBackColor, 16777215u);
    EXPECT_FALSE(tw.Tip.loaded());
}

TEST_F(Skins, TheSettingsWindowAppliesTheChosenSkin) {
    duel.hand.set_back_color(255);
    duel.Label7.set_fore_color(255);
    auto& settings = tw.settings();
    settings.show();
    const std::string file = (fx.dir.path() / "skins" / "Dark" / "settings.ini").string();
    fx.host.expect_file(file);
    settings.Command3.user_click();
    EXPECT_EQ(settings.Text4.text(), file);
    EXPECT_EQ(duel.hand.back_color(), 16777215u);
    EXPECT_EQ(duel.Label7.fore_color(), 16777215u);
    EXPECT_EQ(duel.draw.fore_color(), F::kPhaseCurrent);  // the current phase stays shown
    EXPECT_TRUE(Notices().empty());
}

}  // namespace
}  // namespace tw
