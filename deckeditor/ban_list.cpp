#include "deckeditor/ban_list.hpp"

#include <cctype>
#include <string_view>

#include "program/tablewright.hpp"
#include "deckeditor/deckmaker.hpp"
#include "net/site.hpp"
#include "platform/rt.hpp"
#include "platform/web.hpp"

namespace tw {

namespace {

// Between two tests of the page's state the player's events run and the loop pauses briefly,
// so that the wait neither spins nor outlasts the browser's own time limit.
constexpr int kWaitStepMs = 10;

bool Contains(std::string_view s, std::string_view part) { return s.find(part) != s.npos; }

// The value of a numeric reference body ("#65", "#x41"); -1 when it is none or not one byte.
int NumericReference(std::string_view body) {
    if (body.size() < 2 || body[0] != '#') return -1;
    const bool hex = body[1] == 'x' || body[1] == 'X';
    std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 4) return -1;
    int value = 0;
    for (char ch : digits) {
        const unsigned char c = static_cast<unsigned char>(ch);
        int v;
        if (std::isdigit(c))
            v = c - '0';
        else if (hex && std::isxdigit(c))
            v = std::tolower(c) - 'a' + 10;
        else
            return -1;
        value = value * (hex ? 16 : 10) + v;
    }
    return value >= 1 && value <= 255 ? value : -1;
}

}  // namespace

std::string DecodeCharacterReferences(const std::string& text) {
    struct Named {
        std::string_view body;
        char byte;
    };
    static constexpr Named kNamed[] = {{"amp", '&'},  {"lt", '<'},   {"gt", '>'},
                                       {"quot", '"'}, {"apos", '\''}, {"nbsp", ' '}};
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            const std::size_t semi = text.find(';', i + 1);
            if (semi != std::string::npos && semi - i <= 8) {
                const std::string_view body(text.data() + i + 1, semi - i - 1);
                int byte = NumericReference(body);
                for (const Named& n : kNamed)
                    if (body == n.body) byte = static_cast<unsigned char>(n.byte);
                if (byte >= 0) {
                    out += static_cast<char>(byte);
                    i = semi;
                    continue;
                }
            }
        }
        out += text[i];
    }
    return out;
}

std::vector<std::string> ParseBanListPage(const std::string& markup) {
    std::string text = rt::replace_all(markup, "\r\n", "<br>");
    text = rt::replace_all(text, "<BR>", "<br>");
    std::vector<std::string> list;
    char limit = '0';
    for (std::size_t from = 0; from <= text.size();) {
        std::size_t at = text.find("<br>", from);
        if (at == std::string::npos) at = text.size();
        std::string line = text.substr(from, at - from);
        from = at + 4;

        if (Contains(line, "Limited Cards -")) limit = '1';
        if (Contains(line, "Semi-Limited ")) limit = '2';
        if (Contains(line, "Forbidden Cards -")) limit = '0';

        const std::size_t open = line.find('<');
        if (open != std::string::npos) {
            const std::size_t close = line.find('>', open);
            if (close != std::string::npos)
                line = rt::replace_all(line, line.substr(open, close - open + 1), "");
        }
        if (Contains(line, "//") || Contains(line, "<")) continue;
        const std::string name = rt::trim(DecodeCharacterReferences(rt::trim(line)));
        if (name.empty()) continue;
        list.push_back(std::string(1, limit) + "|" + name);
    }
    list.emplace_back();
    return list;
}

void SelectBanList(Tablewright& tw, platform::WebBrowser& browser, const std::string& list_name) {
    if (list_name == kNoBanList) {
        tw.editor.BanList.assign(1, std::string());
        browser.navigate(SiteUrl(tw, site::kNoList));
        return;
    }
    const std::string url = BanListUrl(tw, list_name);
    browser.navigate(url);
    while (browser.location_url() == url && browser.ready_state() != platform::ReadyComplete) {
        tw.app.do_events();
        if (browser.ready_state() != platform::ReadyComplete) tw.app.host().sleep_ms(kWaitStepMs);
    }
    // A later selection made during the wait has taken over the browser and decides.
    if (browser.location_url() != url) return;
    if (!browser.last_error().empty()) return;
    tw.editor.BanList = ParseBanListPage(browser.document().document_element().inner_html());
}

namespace win {

void DeckMaker::Combo3_Click() { SelectBanList(tw_, WebBrowser1, Combo3.text()); }

}  // namespace win
}  // namespace tw
