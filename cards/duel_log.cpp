#include "cards/duel_log.hpp"

#include <algorithm>
#include <cmath>

#include "cards/card_lookup.hpp"
#include "cards/game_log.hpp"
#include "cards/hax.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/send_command.hpp"
#include "platform/rt.hpp"
#include "table/piles.hpp"

namespace tw {

namespace {

std::uint32_t speaker_colour(const Tablewright& tw, const std::string& speaker) {
    std::uint32_t colour = kOtherSpeakerColour;
    if (rt::equals_ci(speaker, "game")) colour = kGameSpeakerColour;
    else if (rt::equals_ci(speaker, tw.prefs.UserName)) colour = kOwnSpeakerColour;
    else if (rt::equals_ci(speaker, "Server")) colour = kServerSpeakerColour;
    else if (rt::equals_ci(speaker, tw.net.PlayerNames[1])) colour = kSeat1SpeakerColour;
    else if (rt::equals_ci(speaker, tw.net.PlayerNames[2])) colour = kSeat2SpeakerColour;
    else if (rt::equals_ci(speaker, "irc")) colour = kIrcSpeakerColour;
    if (rt::contains_ci(speaker, "pm from")) colour = kPrivateSpeakerColour;
    return colour;
}

// Every occurrence of find (ASCII, any letter case) removed in one pass left to right.
std::string remove_ci(const std::string& s, std::string_view find) {
    const std::string lower = rt::lcase(s);
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = lower.find(find); at != std::string::npos; at = lower.find(find, from)) {
        out.append(s, from, at - from);
        from = at + find.size();
    }
    out.append(s, from, std::string::npos);
    return out;
}

// Selects characters first..last (1-based, both included) of the box.
void select(platform::RichTextBox& box, int first, int last) {
    box.set_sel_start(first - 1);
    box.set_sel_length(last - first + 1);
}

// The card references of the box, last first, until one is not a card reference of a known
// card. Each rendered one leaves its name in the box and its "name|set" in ChatCardLinks.
// "{card='NAME' set='SET'}" as the table writes it: the name runs to the last "' set='", so a
// name holding an apostrophe ("Elmquist's Kiln") is kept whole.
bool quoted_reference(const std::string& markup, std::string& name, std::string& set) {
    static constexpr std::string_view open = "{card='", middle = "' set='", close = "'}";
    if (markup.size() < open.size() + middle.size() + close.size()) return false;
    if (!rt::equals_ci(markup.substr(0, open.size()), open)) return false;
    if (markup.compare(markup.size() - close.size(), close.size(), close) != 0) return false;
    const std::size_t at = markup.rfind(middle);
    if (at == std::string::npos || at < open.size()) return false;
    const std::size_t set_from = at + middle.size();
    if (set_from > markup.size() - close.size()) return false;
    name = markup.substr(open.size(), at - open.size());
    set = markup.substr(set_from, markup.size() - close.size() - set_from);
    return true;
}

void render_card_references(Tablewright& tw, platform::RichTextBox& box) {
    for (;;) {
        const std::string& s = box.text();
        const int e = rt::instr_rev(s, "\r\n");
        const int b1 = rt::instr_rev(s, "{");
        const int b2 = rt::instr_rev(s, "}");
        if (e == 0 || b1 == 0 || b2 == 0 || b1 >= e || b2 >= e || b1 >= b2) return;
        select(box, b1, b2);
        const std::string markup = box.sel_text();
        if (!rt::contains_ci(markup, "card") || !rt::contains_ci(markup, "set")) return;

        std::string name, set;
        if (!quoted_reference(markup, name, set)) {
            std::string inner = rt::mid(markup, 7);
            inner = rt::left(inner, rt::len(inner) - 1);
            inner = rt::replace_all(remove_ci(inner, "set="), "'", "");
            const int space = rt::instr_rev(inner, " ");
            if (space == 0) return;
            name = rt::left(inner, space - 1);
            set = rt::mid(inner, space + 1);
        }

        if (LookupCard(tw, set, name).Name == kBadCard) return;

        tw.log.ChatCardLinks.push_back(name + "|" + set);
        box.set_sel_text(name);
        // The name just put in place, not a later mention of the same name: a second reference
        // to one card in a line must not stay plain (its click is told by this colour).
        box.set_sel_start(b1 - 1);
        box.set_sel_length(rt::len(name));
        box.set_sel_color(kCardReferenceColour);
        box.set_sel_underline(true);
    }
}

void render_life_points(platform::RichTextBox& box) {
    const std::string& s = box.text();
    const int p = rt::instr_rev(s, " LP)");
    const int o = rt::instr_rev(s, "(");
    if (o == 0 || p == 0 || o >= p) return;
    const std::string figure = rt::mid(s, o + 1, p - o - 1);
    if (!IsNumber(figure)) return;
    const std::int32_t lp = rt::to_long(figure);
    select(box, o + 1, p - 1);
    box.set_sel_color(LifePointColour(lp));
}

void render_links(platform::RichTextBox& box) {
    static constexpr std::string_view open = "[link=";
    for (;;) {
        const std::string& s = box.text();
        const int k = rt::instr_rev(s, "]");
        const int j = rt::instr_rev(s, open);
        if (k == 0 || j == 0 || j >= k) return;
        // A link lies within one line: an open "[link=" of an earlier line and a "]" of this one
        // are two lines' text, not one link.
        if (s.find("\r\n", static_cast<std::size_t>(j)) < static_cast<std::size_t>(k)) return;
        const int from = j + static_cast<int>(open.size());
        const std::string target = rt::mid(s, from, k - from);
        select(box, j, k);
        box.set_sel_color(kLinkColour);
        box.set_sel_underline(true);
        box.set_sel_text(target);
    }
}

// Moves the caret to the end and empties the selection, unless the box is nearly empty.
void caret_to_end(platform::RichTextBox& box) {
    const int n = rt::len(box.text());
    if (n > 3 && box.sel_start() != n) box.set_sel_start(n);
    box.set_sel_length(0);
}

}  // namespace

std::uint32_t LifePointColour(std::int32_t lp) {
    auto part = [](double x) { return static_cast<int>(std::clamp(rt::round_half_even(x), 0.0, 255.0)); };
    int red = 255;
    int blue = 255;
    if (lp > 4000) red = part((8000.0 - lp) / 16.0);
    else if (lp < 4000) blue = part(lp / 16.0);
    return rt::rgb(red, 0, blue);
}

void ColourChatLine(Tablewright& tw, platform::RichTextBox& box) {
    if (tw.net.PlayerNames.size() < 5) tw.net.PlayerNames.resize(5);

    std::string line;
    {
        const std::string& s = box.text();
        const int e = rt::instr_rev(s, "\r\n");
        const int l = rt::instr_rev(s, "<");
        const int g = rt::instr_rev(s, ">");
        if (e > 0 && g > 0 && l > 0 && l < e && g < e) {
            select(box, l, e - 1);
            line = box.sel_text();
            box.set_sel_color(tw.duel.ChatForeColor);
            // A "<" of the text's own took the tag's place: the line stays as typed.
            if (g <= l) return;
            select(box, l + 1, g - 1);
            box.set_sel_color(speaker_colour(tw, box.sel_text()));
        }
    }

    if (line.find('{') != std::string::npos && line.find('}') != std::string::npos)
        render_card_references(tw, box);
    if (line.find('(') != std::string::npos && line.find(" LP)") != std::string::npos)
        render_life_points(box);
    if (line.find("[link=") != std::string::npos && line.find(']') != std::string::npos)
        render_links(box);

    box.set_sel_start(std::max(rt::len(box.text()) - 1, 0));
    box.set_sel_length(0);
    box.set_sel_color(tw.duel.ChatForeColor);
}

void AddChat(Tablewright& tw, const std::string& text, const std::string& name, bool send) {
    std::string shown = text;
    if (tw.prefs.ShowTimestamps) shown = "(" + rt::time_12h(tw.app.clock().local_time()) + ") " + text;

    auto& duel = tw.FormA();
    if (rt::lcase(text) == "/attention" && name != tw.prefs.UserName && !tw.duel.AttentionShown) {
        SetTopMost(tw, duel, true);
        tw.duel.AttentionShown = true;
        tw.hax().hide();
        tw.app.msg_box("Attention!!", platform::MsgButtons::OK, platform::MsgIcon::None, tw.app.title);
        SetTopMost(tw, duel, false);
    }

    auto& chat = duel.chat;
    caret_to_end(chat);
    chat.set_sel_text("<" + name + "> " + shown + "\r\n");

    ColourChatLine(tw, chat);

    if (tw.log.LoggingOn) SaveLog(tw);

    if (text.empty()) return;
    std::int16_t tag = 0;
    if (text.front() == '(' && text.back() == ')') {
        if (send && (tw.net.PlayerNumber == 1 || tw.net.PlayerNumber == 2))
            SendCommand(tw, "ch~<" + name + "> " + text.substr(1, text.size() - 2), tag);
    } else {
        if (send) SendCommand(tw, "ch~<" + name + "> " + text, tag);
        UpdateStats(tw);
    }
    rt::try_step([&] { caret_to_end(chat); });
}

}  // namespace tw
