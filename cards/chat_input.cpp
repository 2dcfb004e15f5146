#include "cards/chat_input.hpp"

#include <cstdint>
#include <optional>

#include "cards/duel_log.hpp"
#include "cards/errors.hpp"
#include "cards/game_log.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "duel/life_points.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

constexpr int kMaxChatLine = 120;
constexpr int kChatBoxLimit = 8192;
constexpr int kChatBoxKeepFrom = 6144;

// The number after a command word, when the text is that command with a whole number.
std::optional<std::int32_t> command_argument(const std::string& text, std::string_view word,
                                             std::string& typed) {
    const int n = static_cast<int>(word.size());
    if (rt::lcase(rt::left(text, n)) != word) return std::nullopt;
    typed = rt::mid(text, n + 1);
    if (!IsNumber(typed)) return std::nullopt;
    return rt::to_long(typed);
}

void announce_life_points(Tablewright& tw, const std::string& log_text) {
    SendMyLifePoints(tw);
    AddChat(tw, log_text, "Game", true);
    tw.FormA().Text1.set_caption(rt::cstr(tw.duel.MyLP));
}

// "/add" and "/sub": a result beyond 32 bits is refused with the reason and the life points stay.
bool change_life_points(Tablewright& tw, std::int32_t by, bool add) {
    const double changed = static_cast<double>(tw.duel.MyLP) + (add ? 1.0 : -1.0) * by;
    const auto result = FitLifePoints(tw, changed);
    if (!result) return false;
    tw.duel.MyLP = *result;
    return true;
}

}  // namespace

void SubmitChatInput(Tablewright& tw, const std::string& typed_text) {
    std::string text = rt::replace_all(typed_text, "\r\n", "");
    if (text.empty()) return;
    text = rt::trim(text);

    std::string arg;
    if (auto n = command_argument(text, "/add ", arg)) {
        if (change_life_points(tw, *n, true))
            announce_life_points(tw, tw.prefs.UserName + "`s LP is now " + rt::cstr(tw.duel.MyLP) + " (+" + arg + ")");
        text.clear();
    }
    if (auto n = command_argument(text, "/sub ", arg)) {
        if (change_life_points(tw, *n, false))
            announce_life_points(tw, tw.prefs.UserName + "`s LP is now " + rt::cstr(tw.duel.MyLP) + "(-" + arg + ")");
        text.clear();
    }
    if (auto n = command_argument(text, "/lp ", arg)) {
        tw.duel.MyLP = *n;
        announce_life_points(tw, tw.prefs.UserName + "`s LP is now " + rt::cstr(tw.duel.MyLP));
        text.clear();
    }

    if (rt::trim(text).empty()) return;
    if (rt::lcase(text) == "/attention") tw.net.AttentionSent = true;
    if (rt::len(text) > kMaxChatLine) {
        ShowMessage(tw, "That message is too long, under 120 letters please.");
        return;
    }
    TrimChatBox(tw);
    auto& duel = tw.FormA();
    duel.chattext.set_text("");
    AddChat(tw, text, tw.prefs.UserName, true);
}

void TrimChatBox(Tablewright& tw) {
    auto& chat = tw.FormA().chat;
    if (rt::len(chat.text()) > kChatBoxLimit) CutChatBoxStart(tw, chat, kChatBoxKeepFrom);
}

void SubmitChatBox(Tablewright& tw) {
    auto& duel = tw.FormA();
    const std::string typed = duel.chattext.text();
    SubmitChatInput(tw, typed);
    duel.chattext.set_text("");
    duel.chattext.set_sel_color(tw.duel.ChatForeColor);
}

}  // namespace tw
