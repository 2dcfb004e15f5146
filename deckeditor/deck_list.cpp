#include "deckeditor/deck_list.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "cards/errors.hpp"
#include "cards/patterns.hpp"
#include "program/tablewright.hpp"
#include "deckeditor/deck_moves.hpp"
#include "deckeditor/deckmaker.hpp"
#include "deckeditor/preview.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

constexpr int kEnter = 13;

bool AllDigits(std::string_view s) {
    if (s.empty() || s.size() > 4) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// Text after the count's blank: the set code, a blank and the name.
std::string SetAndName(const DeckLine& d) { return d.set + " " + d.name; }

}  // namespace

bool IsCommentLine(const std::string& line) { return !line.empty() && line[0] == '/'; }

std::optional<DeckLine> ParseDeckLine(const std::string& line) {
    if (IsCommentLine(line) || line == kSideDeck) return std::nullopt;
    const auto b1 = line.find(' ');
    if (b1 == std::string::npos || !AllDigits(std::string_view(line).substr(0, b1)))
        return std::nullopt;
    const auto b2 = line.find(' ', b1 + 1);
    if (b2 == std::string::npos || b2 == b1 + 1) return std::nullopt;
    DeckLine d;
    d.count = std::stoi(line.substr(0, b1));
    d.set = line.substr(b1 + 1, b2 - b1 - 1);
    d.name = rt::trim(line.substr(b2 + 1));
    if (d.name.empty()) return std::nullopt;
    return d;
}

std::optional<int> MarkerIndex(const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == kSideDeck) return static_cast<int>(i);
    return std::nullopt;
}

std::int32_t FindSideDeck(const std::vector<std::string>& lines) {
    return MarkerIndex(lines).value_or(0);
}

int DeckPartEnd(const std::vector<std::string>& lines) {
    return MarkerIndex(lines).value_or(static_cast<int>(lines.size()));
}

std::string NewDeckLine(const std::string& set, const std::string& name) {
    std::string code = rt::lcase(set);
    if (!code.empty()) code = rt::ucase(code.substr(0, 1)) + code.substr(1);
    return "1 " + code + " " + name;
}

namespace {

// Copies of one printing (set code and name, letter case aside) in deck and side deck together.
int PrintingCopies(const std::vector<std::string>& lines, const std::string& key) {
    int total = 0;
    for (const std::string& line : lines) {
        const auto d = ParseDeckLine(line);
        if (d && rt::equals_ci(SetAndName(*d), key)) total += d->count;
    }
    return total;
}

}  // namespace

AddPlan PlanAdd(const std::vector<std::string>& lines, const std::string& set,
                const std::string& name, int limit, DeckRegion region) {
    AddPlan plan;
    const int end = DeckPartEnd(lines);
    const std::string key = set + " " + name;
    const auto three = [&](const std::string& shown_set) {
        plan.message =
            "You already have 3 " + shown_set + " " + name + " in your deck and Side Deck";
    };
    const auto restricted = [&] {
        plan.message = name + " is restricted to " + std::to_string(limit) +
                       (region == DeckRegion::Deck ? " per deck." : " per deck");
    };
    // The printing that gets the copy may hold no more than the ban check lets through.
    const int most = std::min(limit, 3);
    const auto over_limit = [&](const std::string& printing_set, const std::string& printing_key) {
        if (PrintingCopies(lines, printing_key) + 1 <= most) return false;
        if (limit >= 3)
            three(rt::equals_ci(printing_set, set) ? set : printing_set);
        else
            restricted();
        return true;
    };

    // Copies of this printing in deck and side deck together.
    for (int i = 0; i < end; ++i) {
        const auto d = ParseDeckLine(lines[i]);
        if (!d || !rt::equals_ci(SetAndName(*d), key)) continue;
        int total = d->count;
        for (int j = end + 1; j < static_cast<int>(lines.size()); ++j) {
            const auto s = ParseDeckLine(lines[j]);
            if (s && rt::equals_ci(SetAndName(*s), key)) total += s->count;
        }
        if (total >= 3) {
            three(set);
            return plan;
        }
    }

    // Each line of this name against the ban-list limit; the first in the region is raised.
    const std::string wanted = rt::trim(name);
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        const auto d = ParseDeckLine(lines[i]);
        if (!d || !rt::equals_ci(d->name, wanted)) continue;
        if (d->count >= limit) {
            if (limit >= 3) {
                three(set);
            } else if (limit < 1) {
                plan.message = name + " is banned in this format";
                plan.notice = region == DeckRegion::Deck ? Notice::Plain : Notice::Direct;
            } else {
                restricted();
            }
            return plan;
        }
        const bool in_region = region == DeckRegion::Deck ? i < end : i > end;
        if (!in_region) continue;
        // The line raised may be another printing of the name than the one picked.
        if (over_limit(d->set, SetAndName(*d))) return plan;
        plan.lines = lines;
        const std::string& text = lines[i];
        plan.lines[i] = std::to_string(d->count + 1) + text.substr(text.find(' '));
        plan.index = i;
        plan.changed = true;
        return plan;
    }

    if (limit < 1) {
        plan.message = name + " is banned in this format";
        plan.notice = region == DeckRegion::Deck ? Notice::Plain : Notice::Direct;
        return plan;
    }
    if (over_limit(set, key)) return plan;
    plan.lines = lines;
    const auto marker = MarkerIndex(lines);
    if (region == DeckRegion::Deck) {
        plan.index = end;
    } else {
        // A list that lost its marker gets it back at the end, above the new side line.
        plan.append_marker = !marker;
        if (plan.append_marker) plan.lines.emplace_back(kSideDeck);
        plan.index = marker ? *marker + 1 : static_cast<int>(plan.lines.size());
    }
    plan.lines.insert(plan.lines.begin() + plan.index, NewDeckLine(set, name));
    plan.insert = true;
    plan.changed = true;
    return plan;
}

std::optional<std::vector<std::string>> PlanTakeOff(const std::vector<std::string>& lines,
                                                    int index) {
    if (index < 0 || index >= static_cast<int>(lines.size())) return std::nullopt;
    const std::string& text = lines[index];
    if (text == kSideDeck) return std::nullopt;
    std::vector<std::string> out = lines;
    if (IsCommentLine(text)) {
        out.erase(out.begin() + index);
        return out;
    }
    const auto d = ParseDeckLine(text);
    if (!d) return std::nullopt;
    if (d->count < 2)
        out.erase(out.begin() + index);
    else
        out[index] = std::to_string(d->count - 1) + text.substr(text.find(' '));
    return out;
}

namespace {

void Apply(platform::ListBox& list, const AddPlan& plan) {
    if (plan.append_marker) list.add_item(std::string(kSideDeck));
    if (plan.insert)
        list.add_item(plan.lines[plan.index], plan.index);
    else
        list.set_list(plan.index, plan.lines[plan.index]);
}

void AddHit(Tablewright& tw, win::DeckMaker& dm, DeckRegion region) {
    if (!dm.TurnOffOnlineDeck()) return;
    const int row = dm.Grid.row();
    if (row < 1 || row >= dm.Grid.rows()) return;
    const std::string name = dm.Grid.text_matrix(row, 2);
    if (name.empty()) {
        ShowMessageDirect(tw, "Pick a card from a set before you place it in your deck");
        return;
    }
    const std::string set = dm.Grid.text_matrix(row, 1);
    if (set.empty()) {
        ShowMessageDirect(tw, "Select a set");
        return;
    }
    const int limit = GetBanStatus(tw, name);
    const AddPlan plan = PlanAdd(dm.List1.items(), set, name, limit, region);
    if (plan.changed) Apply(dm.List1, plan);
    if (!plan.message.empty()) {
        if (plan.notice == Notice::Plain)
            tw.app.msg_box(plan.message, platform::MsgButtons::OK, platform::MsgIcon::None,
                           "Tablewright");
        else
            ShowMessageDirect(tw, plan.message);
    }
    if (plan.changed) dm.ComputeDeckAmount();
}

void TakeOff(win::DeckMaker& dm) {
    if (!dm.TurnOffOnlineDeck()) return;
    const int index = dm.List1.list_index();
    if (index < 0) return;
    const auto out = PlanTakeOff(dm.List1.items(), index);
    if (!out) return;
    const bool comment = IsCommentLine(dm.List1.list(index));
    const bool line_stays = out->size() == dm.List1.items().size();
    if (line_stays)
        dm.List1.set_list(index, (*out)[index]);
    else
        dm.List1.remove_item(index);
    if (!comment) dm.ComputeDeckAmount();
}

}  // namespace

namespace win {

bool DeckMaker::TurnOffOnlineDeck() { return true; }

std::int32_t DeckMaker::FindSideDeck() const { return tw::FindSideDeck(List1.items()); }

void DeckMaker::Command3_Click() { AddHit(tw_, *this, DeckRegion::Deck); }
void DeckMaker::Command6_Click() { AddHit(tw_, *this, DeckRegion::Side); }
void DeckMaker::Grid_DblClick() {
    if (!ClickedOnHeader(Grid)) AddHit(tw_, *this, DeckRegion::Deck);
}
void DeckMaker::Grid_KeyDown(int KeyCode, int /*Shift*/) {
    if (KeyCode == kEnter) AddHit(tw_, *this, DeckRegion::Deck);
}

void DeckMaker::Command4_Click() { TakeOff(*this); }
void DeckMaker::Command8_Click() { TakeOff(*this); }
// Not while a soft reset has locked the editor for side-deck changes only.
void DeckMaker::List1_DblClick() {
    if (Combo1.enabled()) TakeOff(*this);
}
void DeckMaker::List1_KeyDown(int KeyCode, int /*Shift*/) {
    if (KeyCode == kEnter && Combo1.enabled()) TakeOff(*this);
}

void DeckMaker::Command7_Click() {
    if (!TurnOffOnlineDeck()) return;
    const auto answer = tw_.app.msg_box("Are you sure you want to clear your deck?",
                                        platform::MsgButtons::YesNo, platform::MsgIcon::None,
                                        "Tablewright " + tw_.VersionText);
    if (answer != platform::MsgResult::Yes) return;
    NormalNum = 0;
    FusionNum = 0;
    SideNum = 0;
    List1.clear();
    for (platform::Label* l : {&Label1, &Label5, &Label6, &Monsters, &Spells, &Traps})
        l->set_caption("000");
    List1.add_item(std::string(kSideDeck));
}

void DeckMaker::Command12_Click() {
    if (List1.list_index() < 0 && List1.list_count() > 0) List1.set_list_index(0);
    const std::string answer = tw_.app.input_box("Add your comment here", "ZQM", "");
    if (rt::trim(answer).empty()) return;
    const int at = List1.list_index() < 0 ? 0 : List1.list_index();
    // No longer than a line dropped from outside, so that every line of the list can be dragged
    // and dropped back as it is.
    std::string line = "//" + answer;
    if (line.size() > kMaxDroppedLine) line.resize(kMaxDroppedLine);
    List1.add_item(line, at);
}

bool DeckMaker::WireDeckList() {
    Command3.Click = [this] { Command3_Click(); };
    Command6.Click = [this] { Command6_Click(); };
    Command4.Click = [this] { Command4_Click(); };
    Command8.Click = [this] { Command8_Click(); };
    Command7.Click = [this] { Command7_Click(); };
    Command12.Click = [this] { Command12_Click(); };
    Grid.DblClick = [this] { Grid_DblClick(); };
    Grid.KeyDown = [this](int k, int s) { Grid_KeyDown(k, s); };
    List1.DblClick = [this] { List1_DblClick(); };
    List1.KeyDown = [this](int k, int s) { List1_KeyDown(k, s); };
    Command5.Click = [this] { Command5_Click(); };
    Label34.DblClick = [this] { Label34_DblClick(); };
    WebBrowser2.set_visible(false);
    return true;
}

}  // namespace win
}  // namespace tw
