// The chat box: a click on a card reference shows the card, a click on a link opens it; the
// input box keeps one plain style whatever is typed or pasted into it; the macros go out as the
// player's own lines.
#include "net/chat_box.hpp"

#include <optional>
#include <string>
#include <string_view>

#include "cards/card_info.hpp"
#include "cards/card_lookup.hpp"
#include "cards/chat_input.hpp"
#include "cards/duel_log.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/macro_window.hpp"
#include "net/site.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

// A run of the chat box that a click opens: its colour and its first and last character.
struct Reference {
    platform::Color colour;
    int first;
    int last;
};

// Card references and links are drawn underlined in their own colours. The underline tells
// them from plain text that shares a colour: the player's own name and a life-point figure of
// 8000 are drawn in the link's blue.
bool Marked(const platform::RichTextBox& box, int i) {
    const std::string& text = box.text();
    if (i < 0 || i >= static_cast<int>(text.size())) return false;
    const auto& f = box.formats()[static_cast<std::size_t>(i)];
    const char c = text[static_cast<std::size_t>(i)];
    return f.underline && (f.color == kCardReferenceColour || f.color == kLinkColour) && c != '\r' && c != '\n';
}

// The reference at the caret: the character before it (whose format the caret takes), else the
// one after it, then the whole run of its colour within the line.
std::optional<Reference> ReferenceAt(const platform::RichTextBox& box, int caret) {
    const int at = Marked(box, caret - 1) ? caret - 1 : Marked(box, caret) ? caret : -1;
    if (at < 0) return std::nullopt;
    const platform::Color colour = box.formats()[static_cast<std::size_t>(at)].color;
    const auto same = [&](int i) { return Marked(box, i) && box.formats()[static_cast<std::size_t>(i)].color == colour; };
    Reference r{colour, at, at};
    while (same(r.first - 1)) --r.first;
    while (same(r.last + 1)) ++r.last;
    return r;
}

// The card panel shows the card a reference names: the latest listed card of exactly that
// name, so that a name that ends another's never shows the other.
void ShowReferencedCard(Tablewright& tw, const std::string& shown_name) {
    const std::string wanted = rt::lcase(rt::trim(shown_name));
    const std::string* entry = nullptr;
    for (const std::string& e : tw.log.ChatCardLinks) {
        const std::size_t bar = e.find('|');
        if (bar != std::string::npos && rt::lcase(std::string_view(e).substr(0, bar)) == wanted) entry = &e;
    }
    if (!entry) return;
    const std::size_t bar = entry->find('|');
    ShowCardInfo(tw, LookupCard(tw, entry->substr(bar + 1), entry->substr(0, bar)), tw.FormA().selectedcard);
}

bool StartsWithCi(const std::string& s, std::string_view prefix) {
    return s.size() > prefix.size() && rt::equals_ci(std::string_view(s).substr(0, prefix.size()), prefix);
}

}  // namespace

bool ChatLinkOpens(const Tablewright& tw, const std::string& address) {
    if (SitePageFile(tw, rt::trim(address))) return true;
    const std::string normal = NormaliseUrl(address);
    return StartsWithCi(normal, "http://") || StartsWithCi(normal, "https://");
}

void AddReceivedChat(Tablewright& tw, const std::string& text, const std::string& speaker) {
    constexpr std::size_t kMarks = 3;  // "<", ">" and the blank
    const std::string who = speaker.substr(0, kLongestReceivedLine - kMarks);
    const std::string line = text.substr(0, kLongestReceivedLine - kMarks - who.size());
    TrimChatBox(tw);
    AddChat(tw, line, who, false);
}

namespace win {

void FormA::chat_Click() {
    Trapped("chat_click", [&] {
        const auto ref = ReferenceAt(chat, chat.sel_start());
        if (!ref) return;
        const std::string run = chat.text().substr(static_cast<std::size_t>(ref->first),
                                                   static_cast<std::size_t>(ref->last - ref->first + 1));
        if (ref->colour == kLinkColour) {
            if (ChatLinkOpens(tw_, run)) OpenUrl(tw_, run);
        } else {
            ShowReferencedCard(tw_, run);
        }
        chat.set_sel_length(0);
    });
}

void FormA::chat_DblClick() {}

// Typed or pasted, the input shows in the plain chat style, and so does what is typed next.
void FormA::chattext_Change() {
    const int caret = chattext.sel_start();
    const int length = rt::len(chattext.text());
    chattext.set_sel_start(0);
    chattext.set_sel_length(length);
    chattext.set_sel_color(tw_.duel.ChatForeColor);
    chattext.set_sel_underline(false);
    chattext.set_sel_bold(false);
    chattext.set_sel_start(length);
    chattext.set_sel_color(tw_.duel.ChatForeColor);
    chattext.set_sel_underline(false);
    chattext.set_sel_start(caret);
}

void FormA::SendMacro(int k) { AddChat(tw_, tw_.prefs.Macros[static_cast<std::size_t>(k)], tw_.prefs.UserName, true); }

void FormA::Macro1_Click() { SendMacro(1); }
void FormA::Macro2_Click() { SendMacro(2); }
void FormA::Macro3_Click() { SendMacro(3); }
void FormA::Macro4_Click() { SendMacro(4); }
void FormA::Macro5_Click() { SendMacro(5); }
void FormA::Macro6_Click() { SendMacro(6); }
void FormA::Macro7_Click() { SendMacro(7); }
void FormA::Macro8_Click() { SendMacro(8); }
void FormA::Macro9_Click() { SendMacro(9); }

void FormA::Macro10_Click() { tw_.MacroWindow().show(this); }

bool FormA::WireChatBox() {
    chat.Click = [this] { chat_Click(); };
    chat.DblClick = [this] { chat_DblClick(); };
    chattext.Change = [this] { chattext_Change(); };
    void (FormA::*const clicks[])() = {&FormA::Macro1_Click, &FormA::Macro2_Click, &FormA::Macro3_Click,
                                       &FormA::Macro4_Click, &FormA::Macro5_Click, &FormA::Macro6_Click,
                                       &FormA::Macro7_Click, &FormA::Macro8_Click, &FormA::Macro9_Click};
    for (int k = 1; k <= 9; ++k) {
        auto click = clicks[k - 1];
        macro_item(k)->Click = [this, click] { (this->*click)(); };
    }
    Macro10.Click = [this] { Macro10_Click(); };
    return true;
}

}  // namespace win
}  // namespace tw
