// The bundled site is a folder of the program: its pages open as local files, while every other
// address keeps the web rule.
#include <gtest/gtest.h>

#include <cstdlib>

#include "cards/helpers.hpp"
#include "net/site.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

TEST(OpenSitePage, BundledPagesOpenAsFilesAndNothingElseDoes) {
    ::unsetenv("TABLEWRIGHT_SITE");
    test::TableFixture fx;
    const auto page = fx.dir.write("Site/getting-started.html", "<html>help</html>");
    auto& t = fx.tw();

    OpenUrl(t, SiteUrl(t, site::kFirstRun));  // the page's own file, folder found in any case
    ASSERT_EQ(fx.host.opened_files().size(), 1u);
    EXPECT_EQ(fx.host.opened_files()[0], page);

    struct Case {
        std::string url;
        std::string opened;
    } cases[] = {
        // Addresses with a scheme go to the desktop as they are, which opens only web pages.
        {SiteUrl(t, "/missing.html"), SiteUrl(t, "/missing.html")},
        {SiteUrl(t, "/../settings.ini"), SiteUrl(t, "/../settings.ini")},
        {"file:///etc/passwd", "file:///etc/passwd"},
        {"example.test/a,b", "http://example.test/ab"},
    };
    for (const auto& c : cases) OpenUrl(t, c.url);
    ASSERT_EQ(fx.host.urls().size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(fx.host.urls()[i], cases[i].opened);
    EXPECT_EQ(fx.host.opened_files().size(), 1u);
    EXPECT_TRUE(fx.host.messages().empty());
}

TEST(OpenSitePage, WithoutAProgramForTheAddressThePlayerIsTold) {
    ::unsetenv("TABLEWRIGHT_SITE");
    test::TableFixture fx;
    fx.dir.write("site/index.html", "<html>home</html>");
    auto& t = fx.tw();
    fx.host.set_open_result(false);
    const std::string home = SiteUrl(t, site::kHome);
    OpenUrl(t, home);
    OpenUrl(t, "http://example.test/rulings");
    ASSERT_EQ(fx.host.messages().size(), 2u);
    EXPECT_EQ(fx.host.messages()[0].text, "No program was found to open " + home + ".");
    EXPECT_EQ(fx.host.messages()[1].text, "No program was found to open http://example.test/rulings.");
    EXPECT_EQ(fx.host.messages()[0].title, "Tablewright ");
}

}  // namespace
}  // namespace tw
