#include "cards/card_info.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "cards/card.hpp"
#include "cards/card_lookup.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/site.hpp"
#include "platform/controls.hpp"
#include "platform/picture.hpp"
#include "platform/rt.hpp"
#include "platform/rt_error.hpp"
#include "table/field_pictures.hpp"

namespace tw {

namespace {

constexpr const char* kCrLf = "\r\n";

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

bool IsSpellOrTrap(const Card& card) {
    const std::string a = rt::lcase(card.Attribute);
    return a == "magic" || a == "spell" || a == "trap";
}

// Colours the whole text and leaves the caret at the start.
void ColourAll(platform::RichTextBox& box, platform::Color color) {
    box.set_sel_start(0);
    box.set_sel_length(static_cast<int>(box.text().size()));
    box.set_sel_color(color);
    box.set_sel_start(0);
}

void ShowPlain(platform::RichTextBox& box, const char* text) {
    box.set_text(text);
    box.set_back_color(kPanelWhite);
}

// The decoded picture, or null when the file is missing or no picture we can read.
platform::PicturePtr DecodeOrNull(const std::filesystem::path& path) {
    if (!FileExists(path)) return nullptr;
    try {
        return platform::load_picture(path, platform::kCardPicturePixels);
    } catch (const rt::RuntimeError&) {
        return nullptr;
    }
}

// New entry first, then the first nine kept ones; false when it is already among them.
bool PushHistory(platform::ComboBox& list, const std::string& entry) {
    const int keep = std::min(list.list_count(), kCardHistorySize - 1);
    std::vector<std::string> kept;
    for (int i = 0; i < keep; ++i) {
        std::string e = list.list(i);
        if (e == entry) return false;
        if (!e.empty()) kept.push_back(std::move(e));
    }
    list.clear();
    list.add_item(entry);
    for (auto& e : kept) list.add_item(std::move(e));
    return true;
}

}  // namespace

std::string CardInfoText(const Card& card) {
    const bool spell = IsSpellOrTrap(card);
    std::string t = card.Name + kCrLf;
    t += spell ? "Group: " + card.Group : "Attrib: " + card.Attribute;
    t += kCrLf;
    t += spell ? "Type: " + card.Attribute : "Type: " + card.Group;
    t += kCrLf;
    if (!card.Level.empty()) t += "Level:" + card.Level + kCrLf;
    if (!card.Icon.empty()) t += "Icon:" + card.Icon + kCrLf;
    if (!card.Atk.empty()) t += "Atk: " + card.Atk + kCrLf;
    if (!card.Def.empty()) t += "Def: " + card.Def + kCrLf;
    return t + card.Desc;
}

platform::Color CardInfoColor(const Card& card) {
    const std::string attribute = rt::lcase(card.Attribute);
    const std::string group = rt::lcase(card.Group);
    platform::Color c = kPanelPlain;
    if (attribute == "trap") c = kPanelTrap;
    if (attribute == "magic" || attribute == "spell") c = kPanelSpell;
    if (Contains(group, "effect")) c = kPanelEffect;
    if (Contains(group, "fusion")) c = kPanelFusion;
    if (Contains(group, "synchro")) c = kPanelSynchro;
    if (Contains(rt::lcase(card.SetCode), "token")) c = kPanelToken;
    return c;
}

std::string CardFrameFile(const std::string& text, const std::string& set_code) {
    if (Contains(text, "Group: Spell")) return "Images\\magic.gif";
    if (Contains(text, "Group: Trap")) return "Images\\trap.gif";
    if (Contains(text, "/Ritual")) return "Images\\ritual.gif";
    if (Contains(text, "/Synchro")) return "Images\\synchro.gif";
    if (Contains(text, "/Fusion")) return "Images\\fusion.gif";
    if (Contains(text, "/Effect")) return "Images\\monstereffect.gif";
    if (Contains(rt::lcase(set_code), "token")) return "Images\\token.gif";
    return "Images\\monster.gif";
}

std::string PanelLine(const std::string& text, int index) {
    if (text.empty() || index < 0) return {};
    if (!Contains(text, kCrLf)) return text;
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        const std::size_t end = text.find(kCrLf, start);
        if (end == std::string::npos) return {};
        start = end + 2;
    }
    const std::size_t end = text.find(kCrLf, start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

PanelLabels SplitPanelText(const std::string& text) {
    PanelLabels out;
    out.name = PanelLine(text, 0);
    if (Contains(text, "Group: Spell") || Contains(text, "Group: Trap")) {
        out.stats = PanelLine(text, 1) + kCrLf + PanelLine(text, 2);
        if (Contains(text, "Icon:")) {
            out.stats += kCrLf + PanelLine(text, 3);
            out.desc = PanelLine(text, 4);
        } else {
            out.desc = PanelLine(text, 3);
        }
    } else {
        for (int i = 1; i <= 5; ++i) {
            if (i > 1) out.stats += kCrLf;
            out.stats += PanelLine(text, i);
        }
        out.desc = PanelLine(text, 6);
    }
    return out;
}

void PaintCardPicture(Tablewright& tw, platform::PictureBox& box, const std::string& frame_file,
                      const std::string& set_code, const std::string& name) {
    // The art of the card before must never show on this one's frame.
    box.cls();
    if (platform::PicturePtr frame = DecodeOrNull(tw.path_of(frame_file))) box.set_picture(frame);
    if (const auto art_path = CardArtPath(tw, set_code, name)) {
        if (platform::PicturePtr art = DecodeOrNull(*art_path)) box.paint_picture(art, 125, 277, 600, 660);
    }
}

namespace {

// A hidden card in the duel window's panel: nothing of the card shown before may stay in the
// picture view, or it reads as this card revealed.
void ShowFaceDown(Tablewright& tw, platform::RichTextBox& box) {
    ShowPlain(box, kFaceDownCard);
    win::FormA* duel = tw.FormA.peek();
    if (duel == nullptr || &duel->selectedcard != &box) return;
    duel->Image1.cls();
    duel->Image1.set_picture(nullptr);
    duel->Image1.set_back_color(kPanelWhite);
    duel->lblName.set_caption(kFaceDownCard);
    duel->lblStats.set_caption("");
    duel->lblDesc.set_caption("");
}

}  // namespace

void ShowCardInfo(Tablewright& tw, const Card& card, platform::RichTextBox& box) {
    if (card.Name == "back" || card.Name == kFaceDownCard) return ShowFaceDown(tw, box);
    if (card.Name.empty() || Contains(card.Name, kBadCard)) return ShowPlain(box, "Card not found!");
    if (card.Flipped && card.Controller != tw.net.PlayerNumber) return ShowFaceDown(tw, box);

    // Hovering calls this on every mouse move: a card already shown costs nothing. Only the
    // whole text tells: a panel that merely holds this card's name and text in a longer one
    // ("Pot" within "Pot of Plenty") shows another card.
    std::string shown = CardInfoText(card);
    if (!card.Desc.empty() && box.text() == shown) return;

    box.set_text(std::move(shown));
    box.set_back_color(CardInfoColor(card));
    ColourAll(box, tw.duel.ChatForeColor);

    win::FormA* duel = tw.FormA.peek();
    if (duel == nullptr || &duel->selectedcard != &box) return;

    if (PushHistory(duel->Combo1, rt::ucase(card.SetCode) + " " + card.Name)) {
        // The list's click would only look up the card just shown.
        duel->SelectingCardHistory = true;
        struct Done { bool& flag; ~Done() { flag = false; } } done{duel->SelectingCardHistory};
        duel->Combo1.set_list_index(0);
    }

    if (!duel->selectedcard.visible()) duel->Image1.set_visible(true);
    if (duel->visible()) {
        duel->Combo1.set_visible(true);
        duel->Label32.set_visible(true);
        duel->Label8.set_visible(true);
    }

    const std::string& text = box.text();
    const PanelLabels labels = SplitPanelText(text);
    duel->lblName.set_caption(labels.name);
    PaintCardPicture(tw, duel->Image1, CardFrameFile(text, card.SetCode), card.SetCode, card.Name);
    duel->lblStats.set_caption(labels.stats);
    duel->lblDesc.set_caption(labels.desc);
}

std::string CardRulingsUrl(const std::string& name) {
    return std::string(kRulingsSite) + std::string(kRulingsPage) + EncodeQueryValue(name);
}

void OpenCardRulings(Tablewright& tw, const std::string& name) { OpenUrl(tw, CardRulingsUrl(name)); }

namespace win {

bool FormA::WireCardPanel() {
    Combo1.Click = [this] { Combo1_Click(); };
    Label32.Click = [this] { Label32_Click(); };
    Label8.Click = [this] { Label8_Click(); };
    Deck.Click = [this] { Deck_Click(); };
    return true;
}

void FormA::Combo1_Click() {
    if (SelectingCardHistory || Combo1.list_index() < 0) return;
    const std::string entry = Combo1.text();
    const std::size_t blank = entry.find(' ');
    if (blank == std::string::npos) return;
    const Card card = LookupCard(tw_, entry.substr(0, blank), entry.substr(blank + 1));
    ShowCardInfo(tw_, card, selectedcard);
}

void FormA::Label32_Click() {
    const bool text_view = selectedcard.visible();
    selectedcard.set_visible(!text_view);
    for (platform::Control* c : std::initializer_list<platform::Control*>{&lblName, &lblStats, &lblDesc, &Image1})
        c->set_visible(text_view);
}

void FormA::Label8_Click() { OpenCardRulings(tw_, lblName.caption()); }

void FormA::Deck_Click() {
    selectedcard.set_visible(false);
    for (platform::Control* c : std::initializer_list<platform::Control*>{
             &Combo1, &Label32, &Label8, &Image1, &lblDesc, &lblName, &lblStats})
        c->set_visible(true);
    Image1.cls();
    ResetGame.Click();
}

}  // namespace win

}  // namespace tw
