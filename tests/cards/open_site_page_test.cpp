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
    const auto page = fx.dir.write("Site/index.php", "<html>help</html>");
    auto& t = fx.tw();

    OpenUrl(t, SiteUrl(t, site::kFirstRun));  // query part ignored, folder found in any case
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
}

}  // namespace
}  // namespace tw
