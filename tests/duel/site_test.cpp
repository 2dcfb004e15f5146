#include "net/site.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cards/helpers.hpp"
#include "cards/set_file.hpp"
#include "program/tablewright.hpp"
#include "deckeditor/ban_list.hpp"
#include "platform/files.hpp"
#include "platform/html.hpp"
#include "platform/rt.hpp"
#include "platform/web.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(TW_SOURCE_DIR) / "data";

// Sets the site variable for one test and puts back what was there.
class SiteVariable {
public:
    explicit SiteVariable(const char* value) {
        const std::string name(site::kBaseVariable);
        if (const char* old = std::getenv(name.c_str())) old_ = old;
        if (value)
            setenv(name.c_str(), value, 1);
        else
            unsetenv(name.c_str());
    }
    ~SiteVariable() {
        const std::string name(site::kBaseVariable);
        if (old_)
            setenv(name.c_str(), old_->c_str(), 1);
        else
            unsetenv(name.c_str());
    }

private:
    std::optional<std::string> old_;
};

TEST(SiteBase, IsTheBundledFolderUnlessTheVariableNamesAnother) {
    test::TableFixture fx;
    const std::string bundled = "file://" + fs::absolute(fx.dir.path() / "site").generic_string();
    struct Case {
        const char* variable;  // nullptr: unset
        std::string base;
    };
    for (const Case& c : {Case{nullptr, bundled}, Case{"", bundled}, Case{"   ", bundled},
                          Case{"http://pages.example", "http://pages.example"},
                          Case{" https://pages.example/tw/ ", "https://pages.example/tw"}}) {
        SCOPED_TRACE(c.variable ? c.variable : "(unset)");
        SiteVariable v(c.variable);
        EXPECT_EQ(SiteBase(fx.tw()), c.base);
        // The bundled folder's pages are plain files; a web site keeps the pages' own paths.
        const bool files = c.base == bundled;
        EXPECT_EQ(SiteUrl(fx.tw(), site::kForumHelp),
                  c.base + (files ? "/forums/hosting-help.html" : "/forums/index.php?showtopic=116"));
        EXPECT_EQ(SiteUrl(fx.tw(), site::kFirstRun),
                  c.base + (files ? "/getting-started.html" : "/index.php?goto=zqm"));
        EXPECT_EQ(SiteUrl(fx.tw(), site::kNoList), c.base + "/zqm9.0/lists/nolist.html");
    }
}

TEST(SiteBase, FindsTheFolderWhateverItsLetterCase) {
    test::TableFixture fx;
    SiteVariable v(nullptr);
    fx.dir.write("Site/index.html", "<html></html>");
    EXPECT_EQ(SiteBase(fx.tw()), "file://" + fs::absolute(fx.dir.path() / "Site").generic_string());
}

TEST(SitePages, AddressesCarryTheirNamesAndValuesSafely) {
    test::TableFixture fx;
    SiteVariable v("http://pages.example");
    auto& tw = fx.tw();
    const std::string lists = "http://pages.example/zqm9.0/lists/";
    fx.app.command = "";
    const std::string plain_advanced = BanListUrl(tw, "Advanced");
    const std::string spaced = BanListUrl(tw, "My Own List");
    fx.app.command = "-ocg";
    const std::string ocg_traditional = BanListUrl(tw, "Traditional");
    fx.app.command = "-OCG";
    const std::string capital_switch = BanListUrl(tw, "Advanced");
    EXPECT_EQ(plain_advanced, lists + "advanced.html");
    EXPECT_EQ(spaced, lists + "myownlist.html");
    EXPECT_EQ(ocg_traditional, lists + "ocg_traditional.html");
    EXPECT_EQ(capital_switch, lists + "advanced.html");

    EXPECT_EQ(WhosOnlineUrl(tw), "http://pages.example/whosonline.php");
    EXPECT_EQ(WhosOnlineUrl(tw, "Rook"), "http://pages.example/whosonline.php?username=Rook");
    // A name may hold '#' and blanks; neither may cut the query short.
    EXPECT_EQ(WhosOnlineUrl(tw, "R#1 o&k"), "http://pages.example/whosonline.php?username=R%231%20o%26k");
    EXPECT_EQ(DeckReportUrl(tw, "3 BWX Jarrow Drake|-SIDE DECK-|"),
              "http://pages.example/deck_r.php?payload=3%20BWX%20Jarrow%20Drake%7C-SIDE%20DECK-%7C");
    EXPECT_EQ(EncodeQueryValue("a-b.c_d~e\r\n\xE9"), "a-b.c_d~e%0D%0A%E9");
}

TEST(SitePages, TheBundledFolderServesItsPagesThroughTheFileLoader) {
    test::TableFixture fx;
    SiteVariable v(nullptr);
    fs::copy(kData / "site", fx.dir.path() / "site", fs::copy_options::recursive);
    auto& tw = fx.tw();
    platform::WebBrowser b(fx.reactor);
    auto load = [&](const std::string& url) {
        b.navigate(url);
        return fx.reactor.run_until([&] { return !b.busy(); });
    };
    struct Case {
        std::string url;
        const char* holds;  // nullptr: a page that is not there
    };
    const Case cases[] = {
        {SiteUrl(tw, site::kFirstRun), "Getting started"},
        {SiteUrl(tw, site::kForumHelp), "7238"},
        {SiteUrl(tw, site::kHome), "Tablewright"},
        {BanListUrl(tw, "Advanced"), "Forbidden Cards -"},
        {SiteUrl(tw, site::kNoList), "No List"},
        {WhosOnlineUrl(tw, "Rook"), nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        ASSERT_TRUE(load(c.url));
        EXPECT_EQ(b.ready_state(), platform::ReadyComplete);
        if (c.holds) {
            EXPECT_EQ(b.last_error(), "");
            EXPECT_NE(b.document().source().find(c.holds), std::string::npos);
        } else {
            EXPECT_EQ(b.document().document_element().inner_html(), "");
        }
    }
    EXPECT_TRUE(platform::file_exists(tw.path_of("site/zqmmanual.pdf")));
}

TEST(SitePages, AProgramFolderWhoseNameHoldsHashQuestionMarkOrPercentServesItsPages) {
    test::TableFixture fx;
    SiteVariable v(nullptr);
    const fs::path folder = fx.dir.path() / "cards #1? 50% off";
    fs::create_directories(folder);
    fs::copy(kData / "site", folder / "site", fs::copy_options::recursive);
    fx.app.path = folder.string();
    auto& tw = fx.tw();

    const std::string base = SiteBase(tw);
    EXPECT_EQ(base.substr(0, 7), "file://");
    EXPECT_EQ(base.find_first_of("#? ", 7), std::string::npos) << base;
    EXPECT_NE(base.find("/cards%20%231%3F%2050%25%20off/site"), std::string::npos) << base;

    platform::WebBrowser b(fx.reactor);
    for (const auto& [url, holds] : {std::pair{BanListUrl(tw, "Advanced"), "Forbidden Cards -"},
                                    std::pair{SiteUrl(tw, site::kNoList), "No List"}}) {
        SCOPED_TRACE(url);
        b.navigate(url);
        ASSERT_TRUE(fx.reactor.run_until([&] { return !b.busy(); }));
        EXPECT_EQ(b.last_error(), "");
        EXPECT_NE(b.document().source().find(holds), std::string::npos);
    }

    // The same address opens the bundled file through the desktop.
    OpenUrl(tw, SiteUrl(tw, site::kFirstRun));
    ASSERT_EQ(fx.host.opened_files().size(), 1u);
    EXPECT_EQ(fx.host.opened_files()[0], folder / "site" / "getting-started.html");
}

// ---- The shipped ban lists, read by the deck editor's own parser ------------------------------

std::set<std::string> CardNames(const fs::path& set_file) {
    std::set<std::string> names;
    for (const CardView c : ParseSetFile(ReadFileText(set_file))) names.insert(std::string(c.Name));
    return names;
}

TEST(SitePages, BanListsNameCardsOfTheSampleSetInEachSection) {
    struct Case {
        const char* page;
        const char* set;
        bool forbidden;  // the traditional lists forbid nothing
    };
    for (const Case& c : {Case{"advanced.html", "zqm.set", true}, Case{"traditional.html", "zqm.set", false},
                          Case{"ocg_advanced.html", "ocg_zqm.set", true},
                          Case{"ocg_traditional.html", "ocg_zqm.set", false}}) {
        SCOPED_TRACE(c.page);
        const auto source = platform::read_file(kData / "site/zqm9.0/lists" / c.page);
        ASSERT_TRUE(source.has_value());
        const auto names = CardNames(kData / c.set);
        ASSERT_FALSE(names.empty());
        std::set<char> sections;
        const auto entries = ParseBanListPage(platform::HtmlDocument(*source).document_element().inner_html());
        ASSERT_FALSE(entries.empty());
        EXPECT_EQ(entries.back(), "");
        for (std::size_t i = 0; i + 1 < entries.size(); ++i) {
            const std::string& e = entries[i];
            ASSERT_GE(e.size(), 3u) << e;
            EXPECT_EQ(e[1], '|') << e;
            EXPECT_TRUE(names.count(e.substr(2))) << e;
            sections.insert(e[0]);
        }
        EXPECT_EQ(sections.count('0') == 1, c.forbidden);
        EXPECT_TRUE(sections.count('1'));
        EXPECT_TRUE(sections.count('2'));
    }
    EXPECT_TRUE(platform::file_exists(kData / "site/zqm9.0/lists/nolist.html"));
}

}  // namespace
}  // namespace tw
