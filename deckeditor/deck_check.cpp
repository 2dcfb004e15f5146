#include "deckeditor/deck_check.hpp"

#include <filesystem>
#include <string>
#include <vector>

#include "cards/card_lookup.hpp"
#include "cards/duel_log.hpp"
#include "cards/errors.hpp"
#include "cards/helpers.hpp"
#include "cards/patterns.hpp"
#include "cards/settings.hpp"
#include "cards/settings_window.hpp"
#include "program/tablewright.hpp"
#include "deckeditor/deckmaker.hpp"
#include "duel/forma.hpp"
#include "net/site.hpp"
#include "platform/files.hpp"
#include "platform/rt.hpp"
#include "table/piles.hpp"

namespace tw {

namespace {

constexpr int kMaxHandedOver = 150;
constexpr const char* kCrLf = "\r\n";

// The name rule keeps made-up names out of the duel log and the peer's commands; a card of
// the set file itself ("Salt & Cinder Wyrm") is no such name, as long as it is spelt exactly.
bool DatabaseHoldsName(Tablewright& tw, const std::string& set, const std::string& name) {
    const std::string code = rt::lcase(rt::trim(set));
    if (rt::equals_ci(code, kTokenSet)) return false;
    return LookupCard(tw, code, name).Name == name;
}

}  // namespace

std::string DeckReportPayload(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += l + "|";
    return out;
}

std::optional<SizeRuleFailure> CheckDeckSize(bool list_empty, std::int32_t normal,
                                             std::int32_t fusion, std::int32_t side) {
    if (list_empty) return SizeRuleFailure{"Please load or create a deck"};
    if (side > 15) return SizeRuleFailure{"A Side Deck must have 15 or less cards."};
    if (normal < 40)
        return SizeRuleFailure{"A legal deck must have more then 40 non extra cards, you have " +
                               std::to_string(normal) + " cards."};
    if (fusion > 15)
        return SizeRuleFailure{"Sorry, Your extra deck cannot have more than 15 cards", Notice::Plain};
    if (normal + fusion > 150) return SizeRuleFailure{"Thats too many cards, 150 or under please."};
    return std::nullopt;
}

std::string BanCheckReport(Tablewright& tw, const std::vector<std::string>& lines) {
    struct Entry {
        std::string key;  // set code and name, lower-cased
        std::string name;
        int count = 0;
    };
    std::vector<Entry> entries;
    const auto find = [&](const std::string& key) -> Entry* {
        for (auto& e : entries)
            if (e.key == key) return &e;
        return nullptr;
    };
    const int end = DeckPartEnd(lines);
    for (int i = 0; i < end; ++i) {
        const auto d = ParseDeckLine(lines[i]);
        if (!d) continue;
        const std::string key = rt::lcase(d->set + " " + d->name);
        if (Entry* e = find(key))
            e->count += d->count;
        else
            entries.push_back({key, d->name, d->count});
    }
    // Side-deck copies of a deck printing count with it; side-only printings are not checked.
    for (int i = end + 1; i < static_cast<int>(lines.size()); ++i) {
        const auto d = ParseDeckLine(lines[i]);
        if (!d) continue;
        if (Entry* e = find(rt::lcase(d->set + " " + d->name))) e->count += d->count;
    }
    std::string report;
    for (const auto& e : entries) {
        const int limit = GetBanStatus(tw, e.name);
        if (e.count > limit)
            report += "* You currently have " + std::to_string(e.count) + " " + e.name +
                      " , Reduce it to " + std::to_string(limit) + kCrLf;
    }
    return report;
}

DeckPiles BuildDeckPiles(Tablewright& tw, const std::vector<std::string>& lines) {
    DeckPiles piles;
    const auto fail = [&](std::string why) {
        piles.deck.clear();
        piles.extra.clear();
        piles.error = std::move(why);
        return piles;
    };
    const int end = DeckPartEnd(lines);
    // Every line is read before any card is taken, so a bad line costs no half-filled pile.
    std::vector<DeckLine> cards;
    for (int i = 0; i < end; ++i) {
        if (IsCommentLine(lines[i]) || rt::trim(lines[i]).empty()) continue;
        const auto d = ParseDeckLine(lines[i]);
        if (!d) return fail("The deck line '" + lines[i] + "' is not a card line.");
        if (!IsValidName(d->name) && !DatabaseHoldsName(tw, d->set, d->name))
            return fail("The deck line '" + lines[i] +
                        "' names a card with characters that cannot be used.");
        cards.push_back(*d);
    }
    int instance = 1;
    for (const auto& d : cards) {
        const std::string set = rt::lcase(rt::trim(d.set));
        for (int k = 0; k < d.count; ++k) {
            if (instance > kMaxHandedOver) return piles;
            Card c = LookupCard(tw, set, d.name);
            if (c.Name.empty())
                return fail("'" + d.name + "' from the set '" + rt::ucase(set) +
                            "' is not a valid card.");
            c.Slot = instance++;
            (c.Fusion ? piles.extra : piles.deck).push_back(std::move(c));
        }
    }
    return piles;
}

namespace win {

bool DeckMaker::DeckCheck() {
    const std::string report = BanCheckReport(tw_, List1.items());
    if (report.empty()) return true;
    ShowMessageDirect(tw_, std::string("There is an error in loading your deck, please fix the "
                                       "following: ") + kCrLf + report);
    return false;
}

void DeckMaker::LoadDeckIntoQ() {
    DeckLoadError.clear();
    DeckPiles piles = BuildDeckPiles(tw_, List1.items());
    if (!piles.error.empty()) {
        DeckLoadError = piles.error;
        return;
    }
    const int deck = static_cast<int>(piles.deck.size());
    const int extra = static_cast<int>(piles.extra.size());
    if (extra > 0) rt::try_step([&] { tw_.FormA().SearchFusionDeck.set_enabled(true); });
    if (tw_.piles.DeckCards.ubound() < deck) tw_.piles.DeckCards.redim_preserve(deck);
    for (int i = 0; i < deck; ++i) tw_.piles.DeckCards.at(i + 1) = std::move(piles.deck[i]);
    tw_.piles.DeckCards.redim_preserve(deck);
    if (tw_.piles.ExtraDeckCards.ubound() < extra) tw_.piles.ExtraDeckCards.redim_preserve(extra);
    for (int i = 0; i < extra; ++i) tw_.piles.ExtraDeckCards.at(i + 1) = std::move(piles.extra[i]);

    tw_.piles.DeckLoaded = true;
    WriteSetting(tw_, std::string(setting_key::lastdeck), tw_.editor.LastDeckPath);
    AddChat(tw_,
            tw_.prefs.UserName + " loaded their deck (" + std::to_string(deck) + " in Deck, " +
                std::to_string(extra) + " in extra)",
            "Game", true);

    rt::try_step([&] { hide(); });
    rt::try_step([&] {
        if (!tw_.prefs.UserName.empty()) return;
        ShowMessageDirect(tw_, "You dont have a username! Let me help you with that.");
        tw_.settings().show();
    });
}

void DeckMaker::Label34_DblClick() { Command5_Click(); }

void DeckMaker::Command5_Click() {
    const std::string payload = DeckReportPayload(List1.items());
    tw_.piles.DeckFaceUp = false;
    win::FormA& duel = tw_.FormA();
    for (platform::Label* l : {&duel.Label1, &duel.Label2, &duel.Label6, &duel.Label7,
                               &duel.Text1, &duel.Text2, &duel.draw, &duel.main1, &duel.standby,
                               &duel.main2, &duel.attack, &duel.endphase, &duel.OppTurn})
        l->set_font_name("LCD");

    if (const auto failed =
            CheckDeckSize(List1.list_count() == 0, NormalNum, FusionNum, SideNum)) {
        if (failed->notice == Notice::Plain)
            tw_.app.msg_box(failed->message, platform::MsgButtons::OK, platform::MsgIcon::None,
                            "Tablewright");
        else
            ShowMessageDirect(tw_, failed->message);
        return;
    }

    // A soft reset disables Command1: the deck then goes back to the table unasked.
    if (Command1.enabled()) {
        const auto answer = tw_.app.msg_box("Are you sure you want to use this deck?",
                                            platform::MsgButtons::YesNo, platform::MsgIcon::None,
                                            "Tablewright " + tw_.VersionText);
        if (answer != platform::MsgResult::Yes) return;
        if (SiteIsWebHost(tw_)) WebBrowser2.navigate(DeckReportUrl(tw_, payload));
    }

    set_caption("Deck Shop");
    if (!DeckCheck()) return;
    LoadDeckIntoQ();
    if (!DeckLoadError.empty()) {
        ShowMessageDirect(tw_, DeckLoadError);
        return;
    }
    ShuffleDeck(tw_);
    tw_.piles.DrawnCount = 0;
    hide();
    duel.gameplay.set_enabled(true);
    duel.HP.set_enabled(false);
    duel.set_height(10065);
    rt::try_step([&] {
        const std::string wallpaper = ReadSetting(tw_, std::string(setting_key::wallpaper));
        if (wallpaper.empty()) return;
        const auto file = platform::resolve(tw_.folder(), std::filesystem::path(wallpaper));
        if (FileExists(file)) LoadPictureIfExists(duel.playsurface, file);
    });
    duel.set_visible(true);
}

}  // namespace win
}  // namespace tw
