// The set updater against a web host started here and against the bundled site: what it says,
// what it installs, and that the old set file survives every failure.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "cards/helpers.hpp"
#include "cards/set_file.hpp"
#include "cards/updater.hpp"
#include "net/site.hpp"
#include "platform/files.hpp"
#include "platform/html.hpp"
#include "tests/platform/web/http_server.hpp"
#include "tests/support/site_override.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(TW_SOURCE_DIR) / "data";

const std::string kOld = "1|Old Card|1|AAA|Beast|EARTH|4||1000|900|Old.|\r\n";
const std::string kNew = kOld + "2|Salt &amp; Ash|1|BBBB|Beast|FIRE|3||800|700|New.|\r\n";

// A page carrying a text as its fifth element, as the site's page does.
std::string Page(const std::string& text) {
    return "<html><head><title>Sets</title></head><body><pre>" + text + "</pre></body></html>";
}

std::string Lf(std::string text) {
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

using SiteBase = test::SiteOverride;

struct Updater : test::TableFixture {
    win::FrmUpdater& open() {
        auto& u = tw().frmUpdater();
        u.show();
        return u;
    }
    std::string file(const std::string& name) { return test::TempDir::read(dir / name); }
};

struct UpdaterTest : ::testing::Test, Updater {
    test::HttpServer server{reactor};
    SiteBase base{server.url("")};

    static std::string TcgPath() { return std::string(site::kSetPageTcg); }
    static std::string OcgPath() { return std::string(site::kSetPageOcg); }
};

TEST(SetUpdater, EachPageGivesItsTextAndOnlyASetFileIsOffered) {
    const struct {
        const char* what;
        std::optional<std::string> body;  // nullopt: no such page (404)
        const char* says;
        bool offered;
    } cases[] = {
        {"a page equal to the local file", Page(kOld), "No updates necessary.", false},
        {"a newer page", Page(kNew), "New set file found. Update Reccomended.", true},
        {"an error page", std::nullopt, "The set file could not be downloaded.", false},
        {"an empty page", std::string(), "The set file could not be downloaded.", false},
        {"a page without the element", "<html><body>Back soon</body></html>",
         "The set file could not be downloaded.", false},
        {"a page whose element holds no set file", Page("Down for maintenance."),
         "The set file could not be downloaded.", false},
        {"records without a name or a set code", Page("1||1|AAA|x|\r\n2|Name|1||x|\r\n"),
         "The set file could not be downloaded.", false},
        {"the local file with LF line ends", Page(Lf(kOld)), "No updates necessary.", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Updater u;
        u.dir.write("zqm.set", kOld);
        test::HttpServer web(u.reactor);
        SiteBase here(web.url(""));
        if (c.body) web.page(std::string(site::kSetPageTcg), *c.body);

        auto& w = u.open();
        EXPECT_TRUE(w.Option1.value());
        EXPECT_FALSE(w.cmdUpdate.enabled());
        w.Command1.user_click();
        EXPECT_EQ(w.lblWork.caption(), c.says);
        EXPECT_EQ(w.cmdUpdate.enabled(), c.offered);
        EXPECT_FALSE(w.Command1.enabled());  // no second check until the window is left
        EXPECT_TRUE(w.cmdExit.enabled());
        ASSERT_EQ(web.request_lines().size(), 1u);
        EXPECT_EQ(web.request_lines()[0], "GET " + std::string(site::kSetPageTcg) + " HTTP/1.1");
        EXPECT_EQ(u.file("zqm.set"), kOld);
        EXPECT_TRUE(u.host.messages().empty());
    }
}

TEST_F(UpdaterTest, InstallWritesThePageWithCrLfAndAFreshCheckFindsNothingNew) {
    dir.write("zqm.set", kOld);
    server.page(TcgPath(), Page(Lf(kNew)));  // served with LF line ends
    auto& w = open();
    w.Command1.user_click();
    ASSERT_TRUE(w.cmdUpdate.enabled());
    w.cmdUpdate.user_click();
    EXPECT_EQ(w.lblWork.caption(), "Update Completed. Restart ZQM Please.");
    EXPECT_FALSE(w.cmdUpdate.enabled());
    EXPECT_EQ(file("zqm.set"), kNew);
    // The file reads as the set it is, "&amp;" and all.
    const auto cards = ParseSetFile(ReadFileText(dir / "zqm.set"));
    ASSERT_EQ(cards.size(), 3u);
    EXPECT_EQ(cards[1].Name, "Salt & Ash");
    EXPECT_EQ(cards[1].SetCode, "BBBB");

    w.cmdExit.user_click();
    EXPECT_FALSE(w.visible());
    EXPECT_TRUE(w.Command1.enabled());
    open();
    EXPECT_EQ(&tw().frmUpdater(), &w);  // hidden, not unloaded: the texts survive
    EXPECT_EQ(w.lblWork.caption(), "Update Completed. Restart ZQM Please.");
    w.Command1.user_click();
    EXPECT_EQ(w.lblWork.caption(), "No updates necessary.");
    EXPECT_FALSE(w.cmdUpdate.enabled());
}

TEST_F(UpdaterTest, TheSecondListComesFromItsOwnPageIntoItsOwnFile) {
    dir.write("zqm.set", kOld);  // no ocg_zqm.set: a missing file counts as empty
    server.page(OcgPath(), Page(kOld));
    auto& w = open();
    w.Option2.user_click();
    w.Command1.user_click();
    EXPECT_EQ(w.lblWork.caption(), "New set file found. Update Reccomended.");
    ASSERT_EQ(server.request_lines().size(), 1u);
    EXPECT_EQ(server.request_lines()[0], "GET " + OcgPath() + " HTTP/1.1");
    w.cmdUpdate.user_click();
    EXPECT_EQ(file("ocg_zqm.set"), kOld);
    EXPECT_EQ(file("zqm.set"), kOld);
}

TEST_F(UpdaterTest, ChangingTheListAfterTheCheckWithdrawsTheInstall) {
    dir.write("zqm.set", kOld);
    dir.write("ocg_zqm.set", "ocg\r\n");
    server.page(TcgPath(), Page(kNew));
    auto& w = open();
    w.Command1.user_click();
    ASSERT_TRUE(w.cmdUpdate.enabled());
    w.Option2.user_click();
    EXPECT_FALSE(w.cmdUpdate.enabled());
    w.cmdUpdate.user_click();  // out of reach
    w.Option1.user_click();
    EXPECT_FALSE(w.cmdUpdate.enabled());  // not until the next check
    EXPECT_EQ(file("ocg_zqm.set"), "ocg\r\n");
    EXPECT_EQ(file("zqm.set"), kOld);
}

TEST_F(UpdaterTest, AHostThatDoesNotAnswerEndsTheWaitAtTheTimeLimit) {
    dir.write("zqm.set", kOld);
    server.never_answer(TcgPath());
    auto& w = open();
    const auto started = clock.now_ms();
    w.Command1.user_click();
    EXPECT_EQ(w.lblWork.caption(), "The set file could not be downloaded.");
    EXPECT_GE(clock.now_ms() - started, 15000);
    EXPECT_LT(clock.now_ms() - started, 16000);
    EXPECT_FALSE(w.cmdUpdate.enabled());
    EXPECT_TRUE(w.cmdExit.enabled());
    EXPECT_EQ(file("zqm.set"), kOld);

    // Nothing listening at all ends it at once.
    SiteBase closed("http://127.0.0.1:" + std::to_string(test::closed_port()));
    w.cmdExit.user_click();
    open().Command1.user_click();
    EXPECT_EQ(w.lblWork.caption(), "The set file could not be downloaded.");
    EXPECT_EQ(file("zqm.set"), kOld);
}

TEST_F(UpdaterTest, AFailedCheckWithdrawsAnEarlierOfferAndAFailedWriteKeepsTheOldFile) {
    dir.write("zqm.set", kOld);
    server.page(TcgPath(), Page(kNew));
    auto& w = open();
    w.Command1.user_click();
    ASSERT_TRUE(w.cmdUpdate.enabled());

    // The write fails just before the new file would take the old one's place.
    platform::before_rename_hook = [](const fs::path&, const fs::path&) { return false; };
    w.cmdUpdate.user_click();
    platform::before_rename_hook = nullptr;
    EXPECT_EQ(w.lblWork.caption(), "The set file could not be written.");
    EXPECT_EQ(file("zqm.set"), kOld);
    EXPECT_TRUE(w.cmdUpdate.enabled());  // it may be tried again

    // A later check whose page fails leaves nothing to install.
    w.cmdExit.user_click();
    server.page(TcgPath(), "");
    open().Command1.user_click();
    EXPECT_EQ(w.lblWork.caption(), "The set file could not be downloaded.");
    EXPECT_FALSE(w.cmdUpdate.enabled());
    EXPECT_EQ(file("zqm.set"), kOld);
}

TEST(SetUpdaterPage, OnlyTheFifthElementAsASetFileWithCrLf) {
    const struct {
        const char* what;
        std::string page;
        std::optional<std::string> set;
    } cases[] = {
        {"CR LF kept", Page(kOld), kOld},
        {"LF and lone CR made CR LF", Page("1|A|1|S|x|\n2|B|1|S|x|\r3|C|1|S|x|\r\n"),
         "1|A|1|S|x|\r\n2|B|1|S|x|\r\n3|C|1|S|x|\r\n"},
        {"a record of four fields is a card", Page("0|A|1|S"), "0|A|1|S"},
        {"three fields are not", Page("0|A|1"), std::nullopt},
        {"the card may follow empty records", Page("|\r\n|\r\n9|Late|2|SS|"), "|\r\n|\r\n9|Late|2|SS|"},
        {"markup inside is taken as written", Page("1|A <b>x</b>|1|S|"), "1|A <b>x</b>|1|S|"},
        {"the blank page", "", std::nullopt},
        {"element 4 of another page", "<html><head></head><body><p>a</p><p>1|A|1|S|</p></body></html>",
         "1|A|1|S|"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(SetFileFromPage(platform::HtmlDocument(c.page)), c.set);
    }
}

// The site bundled in the program folder serves each list's page as a file.
struct BundledUpdaterTest : ::testing::Test, Updater {
    SiteBase base{std::nullopt};
    BundledUpdaterTest() {
        fs::copy(kData / "site", dir.path() / "site", fs::copy_options::recursive);
        fs::copy_file(kData / "zqm.set", dir.path() / "zqm.set");
        fs::copy_file(kData / "ocg_zqm.set", dir.path() / "ocg_zqm.set");
    }
};

TEST_F(BundledUpdaterTest, BothListsFindANewerSetFileThatInstallsAndLoads) {
    for (const char* list : {"zqm.set", "ocg_zqm.set"}) {
        SCOPED_TRACE(list);
        const std::string before = file(list);
        auto& w = open();
        (std::string(list) == "zqm.set" ? w.Option1 : w.Option2).user_click();
        w.Command1.user_click();
        EXPECT_EQ(w.lblWork.caption(), "New set file found. Update Reccomended.");
        w.cmdUpdate.user_click();
        EXPECT_EQ(w.lblWork.caption(), "Update Completed. Restart ZQM Please.");

        // The new file keeps every record of the old one and adds cards of a newer set.
        const std::string after = file(list);
        EXPECT_EQ(after.substr(0, before.size()), before);
        const auto old_cards = ParseSetFile(before);
        const auto new_cards = ParseSetFile(after);
        EXPECT_GT(new_cards.size(), old_cards.size());
        EXPECT_EQ(new_cards[new_cards.size() - 2].SetCode, "HGV");

        w.cmdExit.user_click();
        open().Command1.user_click();
        EXPECT_EQ(w.lblWork.caption(), "No updates necessary.");
        w.cmdExit.user_click();
    }
    EXPECT_TRUE(host.messages().empty());
}

}  // namespace
}  // namespace tw
