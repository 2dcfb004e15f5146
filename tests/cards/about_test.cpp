// The About window and the duel window's items that open the program's other windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cards/about.hpp"
#include "cards/token_editor.hpp"
#include "cards/updater.hpp"
#include "tests/support/site_override.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back("<unended>" + text.substr(start));
    return lines;
}

struct AboutTest : ::testing::Test, test::TableFixture {
    test::SiteOverride site{std::nullopt};
    win::FormA& duel = LoadDuelWindow();
};

TEST_F(AboutTest, TenLinesWithTheVersionAndALinkToTheHomePage) {
    dir.write("site/index.html", "<html></html>");
    duel.about2.Click();
    ASSERT_TRUE(tw().about.loaded());
    auto& about = tw().about();
    EXPECT_TRUE(about.visible());
    EXPECT_EQ(about.owner(), &duel);
    EXPECT_EQ(about.caption(), "About");

    const auto lines = LinesOf(about.Label1.caption());
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], "Tablewright Version 9.1 By Plimvale");
    for (int i = 1; i <= 8; ++i) EXPECT_FALSE(lines[i].empty()) << i;
    EXPECT_EQ(lines[9], "");
    EXPECT_EQ(about.Label2.caption(), "Our Sites:");
    EXPECT_EQ(about.Label3.caption(), SiteUrl(tw(), site::kHome));

    about.Label3.user_click();
    ASSERT_EQ(host.opened_files().size(), 1u);
    EXPECT_EQ(host.opened_files()[0].filename(), "index.html");

    // OK unloads it; the next showing builds the text from the version of that moment.
    about.Command1.user_click();
    EXPECT_FALSE(tw().about.loaded());
    tw().VersionText = "Version 9.1 [OCG Mode]";
    duel.about2.Click();
    EXPECT_EQ(LinesOf(tw().about().Label1.caption())[0], "Tablewright Version 9.1 [OCG Mode] By Plimvale");
}

TEST_F(AboutTest, TheMoreItemsOpenTheTokenEditorAndUpdaterOwnedByTheDuelWindow) {
    dir.write("token.ptcg", "[Wisp]\r\nNAME=Wisp\r\n");
    duel.editMyToken.Click();
    ASSERT_TRUE(tw().frmTokens.loaded());
    EXPECT_TRUE(tw().frmTokens().visible());
    EXPECT_EQ(tw().frmTokens().owner(), &duel);
    EXPECT_EQ(tw().frmTokens().List1.items(), std::vector<std::string>{"Wisp"});

    duel.updateMySet.Click();
    ASSERT_TRUE(tw().frmUpdater.loaded());
    EXPECT_TRUE(tw().frmUpdater().visible());
    EXPECT_EQ(tw().frmUpdater().owner(), &duel);
    EXPECT_TRUE(host.messages().empty());
}

}  // namespace
}  // namespace tw
