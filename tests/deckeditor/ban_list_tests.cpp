// Ban lists: the page parse, the bundled pages through the browser, "No List", and the limits
// that GetBanStatus then answers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cards/patterns.hpp"
#include "program/tablewright.hpp"
#include "deckeditor/ban_list.hpp"
#include "deckeditor/deckmaker.hpp"
#include "net/site.hpp"
#include "platform/web.hpp"
#include "tests/deckeditor/editor_fixture.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const fs::path kData = fs::path(TW_SOURCE_DIR) / "data";

const Lines kAdvanced = {"0|Rustmane's Covenant", "0|Cindrel's Pitfall", "0|Glimmerk Wyrm",
                         "1|Orvane's Harvest",    "1|Umbrane Kraken",    "1|Fennow Sylph",
                         "1|Lumbrel's Riptide",   "2|Dovrak's Lantern",  "2|Pellish Wyrm",
                         "2|Salt & Cinder Wyrm",  ""};

TEST(BanListPage, SectionsTagsAndNames) {
    struct Case {
        const char* what;
        std::string markup;
        Lines want;
    };
    const Case cases[] = {
        {"one card per section, bare headers taken too",
         "Forbidden Cards - none<br>Dark Hole\r\nLimited Cards - one<BR>Raigeki<br>Semi-Limited Cards - two<br>Pot",
         {"0|Forbidden Cards - none", "0|Dark Hole", "1|Limited Cards - one", "1|Raigeki",
          "2|Semi-Limited Cards - two", "2|Pot", ""}},
        {"text before the first header is forbidden", "Early Bird<br><b>Limited Cards -</b><br>Late", {"0|Early Bird", "1|Late", ""}},
        {"one kind of tag is removed, two kinds leave the line out",
         "<li>Listed<li><br><b>Wrapped</i><br><i>Italic</i>", {"0|Listed", ""}},
        {"comments, blanks and bare LF",
         "<!-- // note --><br>   <br>//x<br>First\nSecond<br>  Trimmed  ", {"0|First\nSecond", "0|Trimmed", ""}},
        {"character references are decoded",
         "Salt &amp; Cinder<br>Dovrak&#39;s Lantern<br>&quot;Q&quot;&nbsp;Card<br>R&D &copy;",
         {"0|Salt & Cinder", "0|Dovrak's Lantern", "0|\"Q\" Card", "0|R&D &copy;", ""}},
        {"an empty page", "", {""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ParseBanListPage(c.markup), c.want);
    }
}

TEST(BanListPage, CharacterReferences) {
    EXPECT_EQ(DecodeCharacterReferences("&amp;amp; &lt;b&gt; &#65;&#x42;&#X63; &#0; &#300; &#; & ;&zz;"),
              "&amp; <b> ABc &#0; &#300; &#; & ;&zz;");
}

// A table whose site is the bundled folder in its program folder.
struct BanListTest : ::testing::Test, test::TableFixture {
    std::optional<std::string> saved;
    platform::WebBrowser browser{reactor};
    BanListTest() {
        if (const char* v = std::getenv(std::string(site::kBaseVariable).c_str())) saved = v;
        ::unsetenv(std::string(site::kBaseVariable).c_str());
        fs::copy(kData / "site", dir.path() / "site", fs::copy_options::recursive);
    }
    ~BanListTest() override {
        if (saved) ::setenv(std::string(site::kBaseVariable).c_str(), saved->c_str(), 1);
    }
    int Limit(const std::string& name) { return GetBanStatus(tw(), name); }
};

TEST_F(BanListTest, TheBundledPageBecomesTheListInForce) {
    SelectBanList(tw(), browser, "Advanced");
    EXPECT_EQ(browser.location_url(), BanListUrl(tw(), "Advanced"));
    EXPECT_EQ(tw().editor.BanList, kAdvanced);
    EXPECT_EQ(Limit("Glimmerk Wyrm"), 0);
    EXPECT_EQ(Limit("umbrane-kraken"), 1);
    EXPECT_EQ(Limit("Salt & Cinder Wyrm"), 2);
    EXPECT_EQ(Limit("Moss Golem"), 3);

    SelectBanList(tw(), browser, "Traditional");
    EXPECT_EQ(Limit("Glimmerk Wyrm"), 1);
    EXPECT_EQ(Limit("Pellish Wyrm"), 2);
}

TEST_F(BanListTest, TheOcgCommandLineLoadsTheOcgPages) {
    app.command = "-ocg";
    SelectBanList(tw(), browser, "Advanced");
    EXPECT_NE(browser.location_url().find("/ocg_advanced.html"), std::string::npos);
    EXPECT_EQ(Limit("Marrowvane's Bellows"), 0);
    EXPECT_EQ(Limit("Glimmerk Wyrm"), 1);
}

TEST_F(BanListTest, NoListAllowsThreeOfEveryCard) {
    SelectBanList(tw(), browser, "Advanced");
    SelectBanList(tw(), browser, kNoBanList);
    EXPECT_EQ(tw().editor.BanList, Lines{""});
    EXPECT_EQ(Limit("Rustmane's Covenant"), 3);
    EXPECT_EQ(browser.location_url(), SiteUrl(tw(), site::kNoList));
}

TEST_F(BanListTest, AFailedPageOrAnOvertakenSelectionKeepsTheListInForce) {
    SelectBanList(tw(), browser, "Advanced");
    // No such page: the wait ends with the load's failure.
    SelectBanList(tw(), browser, "Missing Format");
    EXPECT_EQ(browser.ready_state(), platform::ReadyComplete);
    EXPECT_EQ(tw().editor.BanList, kAdvanced);

    // Advanced chosen again while the Traditional page is awaited: the later choice decides.
    SelectBanList(tw(), browser, kNoBanList);
    reactor.post([&] { SelectBanList(tw(), browser, "Advanced"); });
    SelectBanList(tw(), browser, "Traditional");
    EXPECT_EQ(tw().editor.BanList, kAdvanced);
    EXPECT_EQ(browser.location_url(), BanListUrl(tw(), "Advanced"));
}

TEST_F(BanListTest, AnUnreachableSiteStillEndsTheWait) {
    ::setenv(std::string(site::kBaseVariable).c_str(), "http://127.0.0.1:9", 1);
    SelectBanList(tw(), browser, "Advanced");
    EXPECT_EQ(browser.ready_state(), platform::ReadyComplete);
    EXPECT_EQ(tw().editor.BanList, Lines{""});
}

// The editor's own load chooses "Advanced" and waits for its page.
using test::EditorTest;

TEST_F(EditorTest, TheEditorStartsWithTheAdvancedList) {
    fs::copy(kData / "site", dir.path() / "site", fs::copy_options::recursive);
    ::setenv(std::string(site::kBaseVariable).c_str(), ("file://" + (dir.path() / "site").string()).c_str(), 1);
    returning_player();
    start();
    EXPECT_EQ(tw().editor.BanList, kAdvanced);
    editor().Combo3.set_list_index(0);
    EXPECT_EQ(tw().editor.BanList, Lines{""});
}

}  // namespace
}  // namespace tw
