#include "net/field_command_checks.hpp"

#include "cards/card.hpp"
#include "cards/duel_log.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/dispatcher.hpp"
#include "platform/rt.hpp"
#include "table/field.hpp"
#include "table/field_slots.hpp"

namespace tw {

namespace {

constexpr std::int64_t kOutOfStepNoteGapMs = 1000;

}  // namespace

std::optional<std::int32_t> PeerNumber(std::string_view text, std::int32_t low, std::int32_t high) {
    const std::string s(text);
    if (!IsNumber(s)) return std::nullopt;
    const std::int32_t n = rt::to_long(s);
    if (n < low || n > high) return std::nullopt;
    return n;
}

std::optional<std::pair<std::string_view, std::string_view>> SplitAtFirst(std::string_view text, char sep) {
    const std::size_t at = text.find(sep);
    if (at == std::string_view::npos) return std::nullopt;
    return std::pair{text.substr(0, at), text.substr(at + 1)};
}

std::optional<std::pair<std::string_view, std::string_view>> SplitAtLast(std::string_view text, char sep) {
    const std::size_t at = text.rfind(sep);
    if (at == std::string_view::npos) return std::nullopt;
    return std::pair{text.substr(0, at), text.substr(at + 1)};
}

std::optional<int> SlotWithCard(Tablewright& tw, std::string_view slot_text) {
    const auto slot = PeerNumber(slot_text, kFirstFieldSlot, kLastFieldSlot);
    if (!slot || !SlotInUse(tw, *slot)) return std::nullopt;
    auto& duel = tw.FormA();
    // The four are loaded and unloaded together; a slot missing one is no card to act on.
    if (!duel.Label4.exists(*slot) || !duel.Label5.exists(*slot) || !duel.Shape1.exists(*slot)) return std::nullopt;
    return slot;
}

std::optional<int> OpponentsCardSlot(Tablewright& tw, std::string_view slot_text) {
    const auto slot = SlotWithCard(tw, slot_text);
    if (!slot || IsOwnCard(tw, tw.field.FieldCards[*slot])) {
        NoteMalformedCommand(tw);
        return std::nullopt;
    }
    return slot;
}

void NoteOutOfStep(Tablewright& tw, int slot) {
    const std::int64_t now = tw.app.clock().now_ms();
    if (tw.net.OutOfStepNotedMs >= 0 && now - tw.net.OutOfStepNotedMs < kOutOfStepNoteGapMs) return;
    tw.net.OutOfStepNotedMs = now;
    AddChat(tw, "Out of step with the opponent: slot " + rt::cstr(slot) + ".", "Game", false);
}

}  // namespace tw
