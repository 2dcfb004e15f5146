#include "deckeditor/deck_moves.hpp"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "cards/errors.hpp"
#include "cards/helpers.hpp"
#include "cards/patterns.hpp"
#include "program/tablewright.hpp"
#include "deckeditor/deck_list.hpp"
#include "deckeditor/deckmaker.hpp"
#include "platform/host.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

constexpr const char* kCommentMessage =
    "If you want to move a comment to the side deck, just click it and DRAAAAAG it down to the "
    "bottom";

// The line with its count replaced; the rest of the text (from the count's blank on) kept.
std::string WithCount(const std::string& line, int count) {
    return std::to_string(count) + line.substr(line.find(' '));
}

CopyMovePlan Tell(std::string message, bool plain_box = false) {
    CopyMovePlan plan;
    plan.message = std::move(message);
    plan.plain_box = plain_box;
    return plan;
}

}  // namespace

void ApplyEdits(std::vector<std::string>& lines, const std::vector<ListEdit>& edits) {
    for (const ListEdit& e : edits) {
        switch (e.kind) {
        case ListEdit::Kind::Set: lines[e.index] = e.text; break;
        case ListEdit::Kind::Insert: lines.insert(lines.begin() + e.index, e.text); break;
        case ListEdit::Kind::Remove: lines.erase(lines.begin() + e.index); break;
        }
    }
}

void ApplyEdits(platform::ListBox& list, const std::vector<ListEdit>& edits) {
    for (const ListEdit& e : edits) {
        switch (e.kind) {
        case ListEdit::Kind::Set: list.set_list(e.index, e.text); break;
        case ListEdit::Kind::Insert: list.add_item(e.text, e.index); break;
        case ListEdit::Kind::Remove: list.remove_item(e.index); break;
        }
    }
}

std::optional<std::string> MoveName(const std::string& line) {
    const auto d = ParseDeckLine(line);
    if (!d) return std::nullopt;
    return rt::lcase(d->name);
}

CopyMovePlan PlanCopyMove(const std::vector<std::string>& lines, int selected, CopyMove move,
                          bool set_chosen, const std::function<int(const std::string&)>& limit_of) {
    const bool to_side = move == CopyMove::ToSide;
    const int count = static_cast<int>(lines.size());
    const std::string text = selected >= 0 && selected < count ? lines[selected] : std::string();
    const auto marker = MarkerIndex(lines);

    // The checks in the order each button makes them.
    if (to_side) {
        if (selected >= DeckPartEnd(lines)) return Tell("Please Select a Card in your Deck");
        if (text == kSideDeck) return {};
        if (text.empty()) return Tell("Pick a card from the Deck before you place it in your Side Deck");
        if (!set_chosen) return Tell("Select a set");
        if (text.size() < 2) return {};
    } else {
        if (text == kSideDeck) return {};
        if (text.empty()) return Tell("Pick a card first");
        if (text.size() < 2) return {};
        if (!marker || selected <= *marker) return Tell("Please Select a Card in your Side Deck");
    }
    // Comments, and anything else without a count to take a copy from, move only by dragging.
    const auto moved = ParseDeckLine(text);
    if (!moved) return Tell(kCommentMessage, true);
    const std::string name = rt::lcase(moved->name);
    const int limit = limit_of(name);

    CopyMovePlan plan;
    std::vector<std::string> after = lines;
    if (moved->count < 2)
        plan.edits.push_back({ListEdit::Kind::Remove, selected, {}});
    else
        plan.edits.push_back({ListEdit::Kind::Set, selected, WithCount(text, moved->count - 1)});
    ApplyEdits(after, plan.edits);
    if (to_side && !marker) {
        plan.edits.push_back({ListEdit::Kind::Insert, static_cast<int>(after.size()), std::string(kSideDeck)});
        after.emplace_back(kSideDeck);
    }
    // Taking a side line off leaves the marker where it was; taking a deck line off may lift it.
    const int mark = *MarkerIndex(after);

    bool raised = false;
    for (int i = 0; i < static_cast<int>(after.size()) && !raised; ++i) {
        const auto d = ParseDeckLine(after[i]);
        if (!d || rt::lcase(d->name) != name) continue;
        const std::string refusal = name + " is restricted to " + std::to_string(limit) + " per deck.";
        if (d->count > limit) return Tell(refusal);
        const bool in_target = to_side ? i > mark : i < mark;
        // Only a line of the same printing takes the copy, so that no copy changes its set.
        if (!in_target || !rt::equals_ci(d->set, moved->set)) continue;
        // No line is raised past its limit (past three copies the recount would drop one).
        if (d->count + 1 > limit) return Tell(refusal);
        plan.edits.push_back({ListEdit::Kind::Set, i, WithCount(after[i], d->count + 1)});
        raised = true;
    }
    if (!raised) {
        const std::string line = "1" + text.substr(text.find(' '));
        const int at = to_side ? static_cast<int>(after.size()) : mark;
        plan.edits.push_back({ListEdit::Kind::Insert, at, line});
    }
    return plan;
}

std::optional<std::string> DroppedLine(const platform::DataObject& data) {
    if (!data.get_format(platform::DataObject::TextFormat)) return std::nullopt;
    std::string text = data.get_data(platform::DataObject::TextFormat);
    text = text.substr(0, text.find_first_of("\r\n"));
    if (text.size() > kMaxDroppedLine) text.resize(kMaxDroppedLine);
    if (text.empty()) return std::nullopt;
    return text;
}

std::vector<ListEdit> PlanDrop(const std::vector<std::string>& lines, int target,
                               const std::string& dropped, std::optional<int> from) {
    const int count = static_cast<int>(lines.size());
    if (target < 0 || target >= count) return {};
    std::vector<ListEdit> edits{{ListEdit::Kind::Insert, target + 1, dropped}};
    // Index i of the list before the insert is i, or i + 1 below the new line.
    const auto now = [target](int i) { return i <= target ? i : i + 1; };
    if (from && *from >= 0 && *from < count) {
        edits.push_back({ListEdit::Kind::Remove, now(*from), {}});
        return edits;
    }
    for (int i = 0; i < count; ++i) {
        if (lines[i] == dropped) {
            edits.push_back({ListEdit::Kind::Remove, now(i), {}});
            break;
        }
    }
    return edits;
}

namespace win {

namespace {

void MoveCopy(Tablewright& tw, DeckMaker& dm, CopyMove move) {
    if (!dm.TurnOffOnlineDeck()) return;
    const CopyMovePlan plan = PlanCopyMove(
        dm.List1.items(), dm.List1.list_index(), move, !dm.Combo1.text().empty(),
        [&tw](const std::string& name) { return static_cast<int>(GetBanStatus(tw, name)); });
    if (!plan.message.empty()) {
        if (plan.plain_box)
            ShowMessage(tw, plan.message);
        else
            ShowMessageDirect(tw, plan.message);
    }
    if (plan.edits.empty()) return;
    ApplyEdits(dm.List1, plan.edits);
    dm.ComputeDeckAmount();
}

}  // namespace

void DeckMaker::Command10_Click() { MoveCopy(tw_, *this, CopyMove::ToSide); }
void DeckMaker::Command9_Click() { MoveCopy(tw_, *this, CopyMove::ToDeck); }

void DeckMaker::Command13_Click() {
    const int k = List1.list_index();
    if (List1.text() == kSideDeck || k <= 0) return;
    const std::string above = List1.list(k - 1);
    List1.set_list(k - 1, List1.list(k));
    List1.set_list(k, above);
    List1.set_list_index(k - 1);
    ComputeDeckAmount();
}

void DeckMaker::Command15_Click() {
    const int k = List1.list_index();
    if (List1.text() == kSideDeck || k < 0 || k >= List1.list_count() - 1) return;
    const std::string below = List1.list(k + 1);
    List1.set_list(k + 1, List1.list(k));
    List1.set_list(k, below);
    List1.set_list_index(k + 1);
    ComputeDeckAmount();
}

int DeckMaker::GetListItemFromPt(const platform::ListBox& plist, double /*x*/, double y) const {
    // Only the height decides; a pixel is found as the nearest whole one, halves to even.
    const int twips_per_pixel = std::max(1, tw_.app.screen().twips_per_pixel_y);
    const double pixels = std::nearbyint(y / twips_per_pixel);
    if (!(std::fabs(pixels) < 1e9)) return -1;
    return plist.drop_index_at_px(static_cast<int>(pixels));
}

void DeckMaker::List1_OLEStartDrag(platform::DataObject& Data, int& /*AllowedEffects*/) {
    Data.set_data(List1.text());
    ListDrag = DraggedLine{List1.list_index(), List1.text()};
}

void DeckMaker::List1_OLEDragDrop(platform::DataObject& Data, int& /*Effect*/, int /*Button*/,
                                  int /*Shift*/, double X, double Y) {
    const std::optional<DraggedLine> own = std::exchange(ListDrag, std::nullopt);
    const int k = GetListItemFromPt(List1, X, Y);
    if (k < 0) return;
    // A line dragged within the list moves whole, from where it was; only text from outside is
    // cut, and a cut copy would match no line, so the original would stay beside it.
    if (own && Data.get_format(platform::DataObject::TextFormat) &&
        Data.get_data(platform::DataObject::TextFormat) == own->text && List1.list(own->index) == own->text &&
        !own->text.empty()) {
        ApplyEdits(List1, PlanDrop(List1.items(), k, own->text, own->index));
        ComputeDeckAmount();
        return;
    }
    const auto line = DroppedLine(Data);
    if (!line) return;
    ApplyEdits(List1, PlanDrop(List1.items(), k, *line));
    ComputeDeckAmount();
}

bool DeckMaker::WireDeckMoves() {
    // Under the deck list's other editing buttons: the moves between deck and side deck, then
    // up and down, 116 x 25 pixels each like the others.
    auto button = [this](platform::Image& image, double left, double top, const char* file, const char* tip) {
        image.move(left, top, 1740, 375);
        LoadWindowPicture(tw_, image, file);
        image.set_tool_tip_text(tip);
    };
    button(Command10, 4440, 7380, "to side deck.jpg", "Move one copy to the side deck");
    button(Command9, 6300, 7380, "to deck.jpg", "Move one copy back to the deck");
    button(Command13, 4440, 7860, "move up.jpg", "Move the selected line up");
    button(Command15, 6300, 7860, "move down.jpg", "Move the selected line down");

    Command10.Click = [this] { Command10_Click(); };
    Command9.Click = [this] { Command9_Click(); };
    Command13.Click = [this] { Command13_Click(); };
    Command15.Click = [this] { Command15_Click(); };
    List1.set_ole_drag_automatic(true);
    List1.OLEStartDrag = [this](platform::DataObject& d, int& e) { List1_OLEStartDrag(d, e); };
    List1.OLEDragDrop = [this](platform::DataObject& d, int& e, int b, int s, double x, double y) {
        List1_OLEDragDrop(d, e, b, s, x, y);
    };
    return true;
}

}  // namespace win
}  // namespace tw
