#include "net/connection.hpp"

#include <algorithm>
#include <vector>

#include "cards/duel_log.hpp"
#include "cards/errors.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/connect3.hpp"
#include "net/listenwindow.hpp"
#include "net/receiver.hpp"
#include "net/site.hpp"
#include "platform/desktop.hpp"
#include "platform/html.hpp"
#include "platform/rt.hpp"
#include "platform/web.hpp"

namespace tw {

namespace {

constexpr std::size_t kLongestHostName = 253;
constexpr int kWaitStepMs = 20;
constexpr int kWaitForDataMs = 5;

bool AddressCharacter(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.' || c == ':' ||
           c == '-';
}

}  // namespace

bool IsServerMode(int mode) { return mode == 1 || mode == 2; }

DuelRoute RouteOf(const Tablewright& tw, int mode, const std::string& typed) {
    const auto& ports = tw.net_config;
    DuelRoute r;
    switch (mode) {
    case 1:
    case 2:
        r.seat = mode;
        r.server = r.relay = true;
        r.host = tw.prefs.JabberServer;
        r.port = ports.xmpp_port;
        break;
    case 3:
        r.seat = 1;
        r.relay = true;
        r.local_port = ports.relay_host_local_port;
        r.host = typed;
        r.port = ports.relay_host_port;
        break;
    case 4:
        r.seat = 2;
        r.relay = true;
        r.local_port = ports.relay_client_local_port;
        r.host = typed;
        r.port = ports.relay_client_port;
        break;
    default:
        r.seat = 2;
        r.local_port = ports.direct_local_port;
        r.host = typed;
        r.port = ports.listen_port;
        break;
    }
    return r;
}

void StartConnectionState(Tablewright& tw) {
    ResetFrameNumbers(tw);
}

std::optional<std::string> AddressFromPage(const platform::HtmlDocument& page) {
    if (page.all_count() < 4) return std::nullopt;
    const platform::HtmlElement& element = page.all(3);
    // Looked at in place: a flood of a page is never copied.
    if (element.inner_end() - element.inner_begin() > 4 * kLongestHostName) return std::nullopt;
    std::string text = element.inner_html();
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    text = first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
    if (text.empty() || text.size() > kLongestHostName) return std::nullopt;
    if (!std::all_of(text.begin(), text.end(), AddressCharacter)) return std::nullopt;
    return text;
}

std::string LocalAddressesText(Tablewright& tw) {
    std::string text;
    auto add = [&](const std::string& a) { text += (text.empty() ? "" : " ") + a; };
    // The rows the address list gives after its two guide lines.
    auto* dialog = tw.listenwindow.peek();
    if (dialog)
        for (int i = 2; i < dialog->Text1.list_count(); ++i) add(dialog->Text1.list(i));
    if (!text.empty()) return text;
    try {
        for (const std::string& a : platform::local_ipv4_addresses(false)) add(a);
    } catch (const std::exception&) {
    }
    return text.empty() ? "127.0.0.1" : text;
}

std::string OwnAddressForListening(Tablewright& tw, platform::WebBrowser& page, const bool& cancelled) {
    if (SiteIsWebHost(tw) && page.ready_state() != platform::ReadyUninitialized) {
        // The page has its own limit; this one only guards against a page that never ends.
        const std::int64_t until = tw.app.clock().now_ms() + kAddressPageLimitMs + 1000;
        auto ready = [&] { return page.ready_state() == platform::ReadyComplete && !page.busy(); };
        while (!cancelled && !ready() && tw.app.clock().now_ms() < until) {
            tw.app.do_events();
            // The page comes over the loop; the pause lets the clock move on to its limit.
            if (!ready()) tw.app.reactor().pump(kWaitForDataMs);
            if (!ready()) tw.app.host().sleep_ms(kWaitStepMs);
        }
        if (ready())
            if (auto address = AddressFromPage(page.document())) return *address;
    }
    return LocalAddressesText(tw);
}

void CopyAddressRow(Tablewright& tw, platform::ListBox& list) {
    if (list.list_index() <= 1) return;
    auto& host = tw.app.host();
    host.set_clipboard_text(list.list(list.list_index()));
    ShowMessage(tw, "\"" + host.clipboard_text() + "\" added to clipboard");
}

void RestoreConnectPanel(Tablewright& tw) {
    auto& duel = tw.FormA();
    for (platform::Control* c : std::initializer_list<platform::Control*>{&duel.Combo2, &duel.Text4, &duel.cmdCancel})
        rt::try_step([&] { c->set_visible(true); });
    rt::try_step([&] { duel.Command3.set_visible(true); });
    for (platform::Control* c :
         std::initializer_list<platform::Control*>{&duel.Command3, &duel.Command2, &duel.Check1})
        rt::try_step([&] { c->set_enabled(true); });
}

void DialogsDone(Tablewright& tw) {
    if (auto* dialog = tw.connect3.peek()) {
        rt::try_step([&] { dialog->Timer1.set_enabled(false); });
        rt::try_step([&] { dialog->hide(); });
    }
    if (auto* dialog = tw.listenwindow.peek()) rt::try_step([&] { dialog->hide(); });
}

void IdleListenPanel(Tablewright& tw) {
    auto& duel = tw.FormA();
    rt::try_step([&] { duel.Label3.set_caption("Select a connection option above."); });
    rt::try_step([&] { duel.Text3.set_visible(false); });
    rt::try_step([&] { duel.Command3.set_visible(true); });
    rt::try_step([&] { LoadWindowPicture(tw, duel.Command2, "listen normal.jpg"); });
    rt::try_step([&] { duel.Command2.set_left(390); });
}

}  // namespace tw
