#include "platform/web.hpp"

#include <curl/curl.h>

#include <cstdlib>
#include <map>
#include <optional>

namespace platform {
namespace {

bool curl_ready() {
    static const bool ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ok;
}

// Loopback never goes through a proxy, whatever the environment names.
std::string no_proxy_list() {
    std::string list = "127.0.0.1,localhost,::1";
    for (const char* name : {"no_proxy", "NO_PROXY"}) {
        if (const char* v = std::getenv(name); v && *v) return std::string(v) + "," + list;
    }
    return list;
}

}  // namespace

std::string encode_request_url(const std::string& url) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(url.size());
    for (unsigned char c : url) {
        if (c <= 0x20 || c >= 0x7F) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// One CURLM per browser, its sockets and timers registered with the reactor. Nothing here may
// touch the browser after calling complete(): the browser's handler may have destroyed it.
struct WebBrowser::Loader {
    WebBrowser& owner;
    Reactor& reactor;
    CURLM* multi = nullptr;
    CURL* easy = nullptr;
    std::string body;
    bool too_big = false;
    char errbuf[CURL_ERROR_SIZE] = {};
    std::map<curl_socket_t, Reactor::WatchId> watches;
    std::optional<Reactor::TimerId> curl_timer;
    std::optional<Reactor::TimerId> deadline;
    std::uint64_t generation = 0;  // loads started; a posted failure of an older one is dropped

    explicit Loader(WebBrowser& o) : owner(o), reactor(o.reactor_) {}

    ~Loader() {
        abandon();
        if (multi) curl_multi_cleanup(multi);
        for (auto& [fd, id] : watches) reactor.unwatch(id);
        if (curl_timer) reactor.cancel_timer(*curl_timer);
    }

    void abandon() {
        ++generation;
        if (deadline) reactor.cancel_timer(*deadline);
        deadline.reset();
        if (easy) {
            curl_multi_remove_handle(multi, easy);
            curl_easy_cleanup(easy);
            easy = nullptr;
        }
        body.clear();
        too_big = false;
    }

    void start(const std::string& url) {
        abandon();
        const std::uint64_t gen = generation;
        std::string error = begin(url);
        if (!error.empty()) {
            abandon();
            generation = gen;  // the posted failure belongs to this load
            std::weak_ptr<bool> alive = owner.alive_;
            WebBrowser* b = &owner;
            reactor.post([alive, b, gen, error] {
                if (alive.expired() || b->loader_->generation != gen || !b->busy_) return;
                b->complete({}, error, true);
            });
            return;
        }
        deadline = reactor.add_timer(owner.time_limit_ms_, [this] {
            deadline.reset();
            abandon();
            owner.complete({}, "the page did not load within the time limit", true);
        });
    }

    // Sets up the transfer; returns why it cannot start.
    std::string begin(const std::string& url) {
        if (!curl_ready()) return "the page loader is not available";
        if (!multi) {
            multi = curl_multi_init();
            if (!multi) return "the page loader is not available";
            curl_multi_setopt(multi, CURLMOPT_SOCKETFUNCTION, &Loader::on_socket);
            curl_multi_setopt(multi, CURLMOPT_SOCKETDATA, this);
            curl_multi_setopt(multi, CURLMOPT_TIMERFUNCTION, &Loader::on_timer);
            curl_multi_setopt(multi, CURLMOPT_TIMERDATA, this);
        }
        // A file address is read as an address: its query and fragment are set apart by the
        // URL parser, and a "#", "?" or "%" that a folder name holds comes percent-encoded.
        const std::string target = encode_request_url(url);

        easy = curl_easy_init();
        if (!easy) return "the page loader is not available";
        errbuf[0] = '\0';
        curl_easy_setopt(easy, CURLOPT_URL, target.c_str());
        curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https,file");
        // A server must not send us to a local file.
        curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);
        curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
        const std::string no_proxy = no_proxy_list();
        curl_easy_setopt(easy, CURLOPT_NOPROXY, no_proxy.c_str());
        curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errbuf);
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Loader::on_write);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
        if (curl_multi_add_handle(multi, easy) != CURLM_OK) return "the page loader is not available";
        return {};
    }

    void drive(curl_socket_t s, int flags) {
        int running = 0;
        curl_multi_socket_action(multi, s, flags, &running);
        check_done();
    }

    void check_done() {
        int left = 0;
        while (CURLMsg* m = curl_multi_info_read(multi, &left)) {
            if (m->msg != CURLMSG_DONE || m->easy_handle != easy) continue;
            const CURLcode rc = m->data.result;
            long status = 0;
            curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
            std::string error;
            if (too_big) {
                error = "the page is too large";
            } else if (rc != CURLE_OK) {
                error = curl_easy_strerror(rc);
                if (errbuf[0]) error += std::string(": ") + errbuf;
            } else if (status >= 400) {
                error = "the server answered " + std::to_string(status);
            }
            std::string page = std::move(body);
            abandon();
            owner.complete(error.empty() ? std::move(page) : std::string(), error, true);
            return;
        }
    }

    static size_t on_write(char* data, size_t size, size_t count, void* user) {
        auto* self = static_cast<Loader*>(user);
        const size_t n = size * count;
        if (self->body.size() + n > self->owner.max_page_bytes_) {
            self->too_big = true;
            return 0;  // aborts the transfer
        }
        self->body.append(data, n);
        if (n > 0) self->owner.ready_state_ = ReadyInteractive;
        return n;
    }

    static int on_socket(CURL*, curl_socket_t s, int what, void* user, void*) {
        auto* self = static_cast<Loader*>(user);
        auto it = self->watches.find(s);
        if (what == CURL_POLL_REMOVE) {
            if (it != self->watches.end()) {
                self->reactor.unwatch(it->second);
                self->watches.erase(it);
            }
            return 0;
        }
        unsigned events = 0;
        if (what & CURL_POLL_IN) events |= IoReadable;
        if (what & CURL_POLL_OUT) events |= IoWritable;
        if (it != self->watches.end()) {
            self->reactor.modify(it->second, events);
        } else {
            self->watches[s] = self->reactor.watch(s, events, [self, s](unsigned ready) {
                int flags = 0;
                if (ready & IoReadable) flags |= CURL_CSELECT_IN;
                if (ready & IoWritable) flags |= CURL_CSELECT_OUT;
                if (ready & IoError) flags |= CURL_CSELECT_ERR;
                self->drive(s, flags);
            });
        }
        return 0;
    }

    static int on_timer(CURLM*, long ms, void* user) {
        auto* self = static_cast<Loader*>(user);
        if (self->curl_timer) self->reactor.cancel_timer(*self->curl_timer);
        self->curl_timer.reset();
        if (ms >= 0) {
            self->curl_timer = self->reactor.add_timer(ms, [self] {
                self->curl_timer.reset();
                self->drive(CURL_SOCKET_TIMEOUT, 0);
            });
        }
        return 0;
    }
};

WebBrowser::WebBrowser(Reactor& reactor)
    : reactor_(reactor), loader_(std::make_unique<Loader>(*this)), alive_(std::make_shared<bool>(true)) {}

WebBrowser::~WebBrowser() = default;

void WebBrowser::navigate(const std::string& url) {
    location_url_ = url;
    busy_ = true;
    ready_state_ = ReadyLoading;
    loader_->start(url);
}

void WebBrowser::stop() {
    if (!busy_) return;
    loader_->abandon();
    complete({}, "stopped", false);
}

void WebBrowser::refresh() {
    if (location_url_.empty()) return;
    const std::string url = location_url_;
    navigate(url);
}

void WebBrowser::complete(std::string body, std::string error, bool raise) {
    document_ = error.empty() ? HtmlDocument(std::move(body)) : HtmlDocument();
    last_error_ = std::move(error);
    ready_state_ = ReadyComplete;
    busy_ = false;
    if (!raise) return;
    // Raised from a copy, so that the handler may destroy the browser.
    auto event = DocumentComplete;
    event();
}

}  // namespace platform
