#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "http_server.hpp"
#include "platform/clock.hpp"
#include "platform/reactor.hpp"
#include "platform/web.hpp"
#include "tests/support/temp_dir.hpp"

using platform::WebBrowser;

namespace {

const std::string kIpPage = "<html><head><title>ip</title></head><body>203.0.113.7</body></html>";

class WebPages : public ::testing::Test {
protected:
    // Loads url and waits, with a real guard, for the browser to be idle.
    bool load(WebBrowser& b, const std::string& url, int guard_ms = 5000) {
        b.navigate(url);
        return reactor.run_until([&] { return !b.busy(); }, guard_ms);
    }

    static void expect_blank(const WebBrowser& b, const std::string& what) {
        EXPECT_EQ(b.ready_state(), platform::ReadyComplete) << what;
        EXPECT_FALSE(b.busy()) << what;
        EXPECT_EQ(b.document().all_count(), 3) << what;
        EXPECT_EQ(b.document().document_element().inner_html(), "") << what;
        EXPECT_FALSE(b.last_error().empty()) << what;
    }

    platform::SystemClock clock;
    platform::Reactor reactor{clock};
    tw::test::HttpServer server{reactor};
};

TEST_F(WebPages, LoadsAPageAndReadsItsElements) {
    server.page("/ip.php", kIpPage);
    WebBrowser b(reactor);
    EXPECT_EQ(b.ready_state(), platform::ReadyUninitialized);
    int completed = 0;
    b.DocumentComplete = [&] { ++completed; };

    b.navigate(server.url("/ip.php"));
    // Completion comes from the loop, never from inside navigate().
    EXPECT_TRUE(b.busy());
    EXPECT_EQ(b.ready_state(), platform::ReadyLoading);
    ASSERT_TRUE(reactor.run_until([&] { return !b.busy(); }));

    EXPECT_EQ(b.ready_state(), platform::ReadyComplete);
    EXPECT_EQ(completed, 1);
    EXPECT_EQ(b.last_error(), "");
    EXPECT_EQ(b.location_url(), server.url("/ip.php"));
    EXPECT_EQ(b.document().source(), kIpPage);
    ASSERT_EQ(b.document().all_count(), 4);
    EXPECT_EQ(b.document().all(3).inner_html(), "203.0.113.7");
    EXPECT_EQ(b.document().document_element().inner_html(),
              "<head><title>ip</title></head><body>203.0.113.7</body>");
}

TEST_F(WebPages, FailedLoadsCompleteWithTheBlankDocument) {
    server.page("/good", kIpPage);
    server.cut_short("/cut", "<html><body>half a pa");
    server.redirect("/to-file", "file:///etc/hostname");
    struct Case { const char* what; std::string url; };
    const std::vector<Case> cases = {
        {"missing page (404)", server.url("/missing")},
        {"closed mid-page", server.url("/cut")},
        {"connection refused", "http://127.0.0.1:" + std::to_string(tw::test::closed_port()) + "/x"},
        {"redirect to a local file", server.url("/to-file")},
        {"unsupported address", "gopher://127.0.0.1/x"},
        {"not an address", "::nonsense"},
    };
    for (const auto& c : cases) {
        WebBrowser b(reactor);
        int completed = 0;
        b.DocumentComplete = [&] { ++completed; };
        ASSERT_TRUE(load(b, server.url("/good"))) << c.what;
        ASSERT_EQ(b.document().all_count(), 4) << c.what;
        ASSERT_TRUE(load(b, c.url)) << c.what;
        expect_blank(b, c.what);  // the earlier page does not linger either
        EXPECT_EQ(completed, 2) << c.what;
    }
}

TEST_F(WebPages, FollowsARedirectToAnotherPage) {
    server.page("/ip.php", kIpPage);
    server.redirect("/old", server.url("/ip.php"));
    WebBrowser b(reactor);
    ASSERT_TRUE(load(b, server.url("/old")));
    EXPECT_EQ(b.document().all(3).inner_html(), "203.0.113.7");
}

TEST_F(WebPages, NeverAnsweringServerEndsAtTheTimeLimit) {
    server.never_answer("/slow");
    WebBrowser b(reactor);
    EXPECT_EQ(b.time_limit_ms(), 15000);
    b.set_time_limit_ms(1000);
    const auto started = clock.now_ms();
    ASSERT_TRUE(load(b, server.url("/slow"), 10000));
    EXPECT_GE(clock.now_ms() - started, 1000);
    EXPECT_EQ(server.request_lines().size(), 1u);
    expect_blank(b, "time limit");
    // The abandoned connection is let go.
    EXPECT_TRUE(reactor.run_until([&] { return server.open_connections() == 0; }));
}

TEST(WebPagesFakeClock, TimeLimitRunsOnTheReactorsClock) {
    platform::FakeClock clock;
    platform::Reactor reactor{clock};
    tw::test::HttpServer server{reactor};
    server.never_answer("/slow");
    WebBrowser b(reactor);
    b.navigate(server.url("/slow"));
    ASSERT_TRUE(reactor.run_until([&] { return !b.busy(); }, 5000));
    EXPECT_GE(clock.now_ms(), 15000);
    EXPECT_EQ(b.ready_state(), platform::ReadyComplete);
    EXPECT_EQ(b.document().all_count(), 3);
}

TEST_F(WebPages, OversizedPageFails) {
    server.page("/big", "<html><body>" + std::string(5000, 'x') + "</body></html>");
    WebBrowser b(reactor);
    b.set_max_page_bytes(1000);
    ASSERT_TRUE(load(b, server.url("/big")));
    expect_blank(b, "oversized");
    b.set_max_page_bytes(100000);
    ASSERT_TRUE(load(b, server.url("/big")));
    EXPECT_EQ(b.document().all(2).inner_html(), std::string(5000, 'x'));
}

TEST_F(WebPages, RequestLineIsPercentEncodedWhereNeeded) {
    WebBrowser b(reactor);
    ASSERT_TRUE(load(b, server.url("/deck_r.php?payload=Dark Magician\r\n3\xE9|x~^100%25")));
    ASSERT_EQ(server.request_lines().size(), 1u);
    EXPECT_EQ(server.request_lines()[0],
              "GET /deck_r.php?payload=Dark%20Magician%0D%0A3%E9|x~^100%25 HTTP/1.1");
    // Only requested, never answered with a page: the 404 still completes.
    expect_blank(b, "deck report");
}

TEST(EncodeRequestUrl, EncodesBlanksControlAndHighBytesOnly) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"http://h/a b", "http://h/a%20b"},
        {"\r\n\t", "%0D%0A%09"},
        {std::string("a\0b", 3), "a%00b"},
        {"\x7F\x80\xFF", "%7F%80%FF"},
        {"%41%zz?q=1&r=|~^#f", "%41%zz?q=1&r=|~^#f"},
        {"", ""},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(platform::encode_request_url(in), out) << in;
}

TEST_F(WebPages, FilePagesIgnoreTheirQuery) {
    tw::test::TempDir dir;
    const auto ip = dir.write("site/ip page.html", kIpPage);
    WebBrowser b(reactor);
    ASSERT_TRUE(load(b, "file://" + ip.string() + "?username=Some One"));
    EXPECT_EQ(b.last_error(), "");
    ASSERT_EQ(b.document().all_count(), 4);
    EXPECT_EQ(b.document().all(3).inner_html(), "203.0.113.7");

    ASSERT_TRUE(load(b, "file://" + (dir / "site/none.html").string()));
    expect_blank(b, "missing file");
}

TEST_F(WebPages, NavigateWhileBusyAbandonsTheEarlierLoad) {
    server.never_answer("/slow");
    server.page("/ip.php", kIpPage);
    WebBrowser b(reactor);
    int completed = 0;
    b.DocumentComplete = [&] { ++completed; };
    b.navigate(server.url("/slow"));
    ASSERT_TRUE(reactor.run_until([&] { return server.request_lines().size() == 1; }));
    ASSERT_TRUE(load(b, server.url("/ip.php")));
    EXPECT_EQ(completed, 1);
    EXPECT_EQ(b.document().all(3).inner_html(), "203.0.113.7");
    EXPECT_EQ(b.location_url(), server.url("/ip.php"));
    EXPECT_TRUE(reactor.run_until([&] { return server.open_connections() == 0; }));
    EXPECT_EQ(completed, 1);
}

TEST_F(WebPages, StopEndsALoadWithoutDocumentComplete) {
    server.never_answer("/slow");
    WebBrowser b(reactor);
    int completed = 0;
    b.DocumentComplete = [&] { ++completed; };
    b.stop();  // idle: nothing happens
    EXPECT_EQ(b.ready_state(), platform::ReadyUninitialized);

    b.navigate(server.url("/slow"));
    ASSERT_TRUE(reactor.run_until([&] { return server.request_lines().size() == 1; }));
    b.stop();
    expect_blank(b, "stopped");
    EXPECT_TRUE(reactor.run_until([&] { return server.open_connections() == 0; }));
    EXPECT_EQ(completed, 0);

    // A failure already on its way is dropped by a stop too.
    b.navigate("gopher://127.0.0.1/x");
    b.stop();
    reactor.pump(0);
    EXPECT_EQ(completed, 0);
}

TEST_F(WebPages, RefreshLoadsTheSameAddressAgain) {
    server.page("/users", "<body>one</body>");
    WebBrowser b(reactor);
    b.refresh();  // nothing navigated yet
    EXPECT_FALSE(b.busy());
    EXPECT_EQ(b.ready_state(), platform::ReadyUninitialized);

    ASSERT_TRUE(load(b, server.url("/users")));
    EXPECT_EQ(b.document().all(2).inner_html(), "one");
    server.page("/users", "<body>two</body>");
    b.refresh();
    EXPECT_TRUE(b.busy());
    ASSERT_TRUE(reactor.run_until([&] { return !b.busy(); }));
    EXPECT_EQ(b.document().all(2).inner_html(), "two");
    EXPECT_EQ(server.request_lines().size(), 2u);
}

TEST_F(WebPages, BrowserMayBeDestroyedMidLoadOrFromItsOwnHandler) {
    server.never_answer("/slow");
    server.page("/ip.php", kIpPage);

    auto b = std::make_unique<WebBrowser>(reactor);
    b->navigate(server.url("/slow"));
    ASSERT_TRUE(reactor.run_until([&] { return server.request_lines().size() == 1; }));
    b.reset();
    EXPECT_TRUE(reactor.run_until([&] { return server.open_connections() == 0; }));

    // A posted failure outlives its browser harmlessly.
    b = std::make_unique<WebBrowser>(reactor);
    b->navigate("gopher://127.0.0.1/x");
    b.reset();
    reactor.pump(0);

    // The handler navigates once more, then destroys the browser.
    b = std::make_unique<WebBrowser>(reactor);
    int completed = 0;
    b->DocumentComplete = [&] {
        if (++completed == 1) b->navigate(server.url("/ip.php"));
        else b.reset();
    };
    b->navigate(server.url("/ip.php"));
    EXPECT_TRUE(reactor.run_until([&] { return b == nullptr; }));
    EXPECT_EQ(completed, 2);
}

TEST_F(WebPages, BrowsersLoadSideBySide) {
    server.page("/a", "<body>A</body>");
    server.page("/b", "<body>B</body>");
    server.never_answer("/slow");
    WebBrowser slow(reactor), a(reactor), c(reactor);
    slow.navigate(server.url("/slow"));
    a.navigate(server.url("/a"));
    c.navigate(server.url("/b"));
    ASSERT_TRUE(reactor.run_until([&] { return !a.busy() && !c.busy(); }));
    EXPECT_EQ(a.document().all(2).inner_html(), "A");
    EXPECT_EQ(c.document().all(2).inner_html(), "B");
    EXPECT_TRUE(slow.busy());
    EXPECT_TRUE(slow.visible());
    slow.set_visible(false);
    EXPECT_FALSE(slow.visible());
}

}  // namespace
