#pragma once
// The web browser control of a window: it loads one page at a time from an http://, https:// or
// file:// address on the reactor, never blocking the thread, and offers the loaded page as an
// HtmlDocument. Every load ends: a page that cannot be had (refused, error status, cut short,
// over the time limit, missing file, stopped) completes with the blank document, so waits for
// ReadyState 4 with no time limit of their own always return.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/event.hpp"
#include "platform/html.hpp"
#include "platform/reactor.hpp"

namespace platform {

enum ReadyState : int {
    ReadyUninitialized = 0,  // nothing navigated yet
    ReadyLoading = 1,        // request under way
    ReadyLoaded = 2,
    ReadyInteractive = 3,    // bytes arriving
    ReadyComplete = 4,       // done, loaded or failed
};

// The address as it is requested: blanks, control bytes and bytes >= 0x80 percent-encoded,
// everything else (a '%' included) kept as given.
std::string encode_request_url(const std::string& url);

class WebBrowser {
public:
    // The reactor must outlive the browser.
    explicit WebBrowser(Reactor& reactor);
    ~WebBrowser();  // safe mid-load
    WebBrowser(const WebBrowser&) = delete;
    WebBrowser& operator=(const WebBrowser&) = delete;

    // Starts loading url; a load under way is abandoned. Completion always comes later from the
    // loop, never from inside navigate().
    void navigate(const std::string& url);
    // Abandons a load under way: it completes at once with the blank document (no
    // DocumentComplete). Does nothing when idle.
    void stop();
    // Loads location_url() again; does nothing before the first navigate().
    void refresh();

    int ready_state() const { return ready_state_; }
    bool busy() const { return busy_; }
    // The last completed page; the blank document before the first load and after a failed one.
    // A load under way keeps the previous page until it completes.
    const HtmlDocument& document() const { return document_; }
    // The address last navigated to, as given.
    const std::string& location_url() const { return location_url_; }
    // Why the last load failed; empty after a page that loaded.
    const std::string& last_error() const { return last_error_; }

    bool visible() const { return visible_; }
    void set_visible(bool v) { visible_ = v; }

    // Time allowed for a whole load, on the reactor's clock.
    std::int64_t time_limit_ms() const { return time_limit_ms_; }
    void set_time_limit_ms(std::int64_t ms) { time_limit_ms_ = ms; }
    // A page larger than this fails rather than filling memory.
    std::size_t max_page_bytes() const { return max_page_bytes_; }
    void set_max_page_bytes(std::size_t n) { max_page_bytes_ = n; }

    // Raised when a navigated load completes, loaded or failed. The handler may navigate again
    // or destroy the browser.
    Event<> DocumentComplete;

private:
    struct Loader;
    friend struct Loader;
    void complete(std::string body, std::string error, bool raise);

    Reactor& reactor_;
    std::unique_ptr<Loader> loader_;
    HtmlDocument document_;
    std::string location_url_;
    std::string last_error_;
    int ready_state_ = ReadyUninitialized;
    bool busy_ = false;
    bool visible_ = true;
    std::int64_t time_limit_ms_ = 15000;
    std::size_t max_page_bytes_ = 16u << 20;
    std::shared_ptr<bool> alive_;
};

}  // namespace platform
