// The duel window's load: the settings, the start values of the duel state, the menus and the
// welcome lines. Its order is observable (the user-name box comes before the version text, the
// second-copy test after the settings were read and written).
#include <filesystem>
#include <string>

#include "cards/duel_log.hpp"
#include "cards/errors.hpp"
#include "cards/game_log.hpp"
#include "cards/helpers.hpp"
#include "cards/settings.hpp"
#include "program/tablewright.hpp"
#include "cards/token_files.hpp"
#include "duel/forma.hpp"
#include "net/connection.hpp"
#include "net/site.hpp"
#include "platform/files.hpp"
#include "platform/rt.hpp"

namespace tw::win {

namespace {

// Any step may fail; it is skipped without a word and the load goes on.
template <class F>
void Step(F&& fn) {
    rt::try_step(std::forward<F>(fn));
}

}  // namespace

void FormA::Form_Load() {
    tw_.random.randomize(tw_.app.clock().time_of_day_s());
    tw_.editor.SearchResults.clear();
    tw_.cards.SpareCardList.assign(1, Card{});

    Step([&] { tw_.prefs.JabberServer = ReadSetting(tw_, "jabber"); });
    Step([&] { tw_.prefs.ShowTimestamps = ReadSetting(tw_, "timestamp") == "1"; });
    Step([&] { ReadUserName(); });
    Step([&] {
        const std::string wallpaper = ReadSetting(tw_, "wallpaper");
        // Without a picture of the player's own, the table shows where its piles lie.
        LoadPictureIfExists(playsurface, wallpaper.empty()
                                             ? tw_.path_of(kDefaultPlayfield)
                                             : platform::resolve(tw_.folder(), std::filesystem::path(wallpaper)));
    });
    Step([&] { FillDuelModes(); });
    Step([&] {
        tw_.net.FrameStart = "^~";
        tw_.net.FrameEnd = "~^";
    });
    Step([&] {
        tw_.net.PlayerNames.assign(5, std::string());
        tw_.prefs.Macros.assign(10, std::string());
    });
    Step([&] { chat.set_text(""); });
    tw_.duel.ChatInMainWindow = true;
    Step([&] { StickyNoteMenu.set_visible(false); });
    tw_.VersionText = "Version 9.1";
    if (tw_.app.command == "-ocg") tw_.VersionText += " [OCG Mode]";

    Step([&] { browser.set_visible(false); });
    tw_.net.ProtocolVersion = 20;
    Step([&] { SubmitLoss.set_visible(false); });
    Step([&] { Timer2.set_enabled(true); });
    Step([&] { lblTitle.set_caption("Tablewright " + tw_.VersionText); });
    Step([&] { PlaceMenuBar(); });
    Step([&] { set_border_style(platform::BorderStyle::None); });

    Step([&] {
        tw_.log.LogFolder = ReadSetting(tw_, "lang");
        tw_.log.LogFileName = NewLogFileName(tw_);
    });

    // A second copy ends here without a word.
    if (tw_.app.prev_instance()) tw_.app.end();

    Step([&] { HP.set_visible(false); });
    tw_.duel.MyLP = 8000;
    tw_.duel.OppLP = 8000;
    tw_.log.ChatCardLinks.assign(1, std::string());

    Step([&] { FillMacros(); });
    Step([&] { FillTokenMenu(); });
    Step([&] { LabelStats(); });

    tw_.duel.ChatForeColor = 0;
    tw_.duel.ChatBackColor = 16777215;
    Step([&] { SetClickThrough(selectedcard); });
    Step([&] { ClearRichText(chattext); });
    Step([&] { ClearRichText(chat); });
    Step([&] { ClearRichText(selectedcard); });
    Step([&] { SearchFusionDeck.set_enabled(false); });

    Step([&] {
        tw_.piles.HandCards.redim(0);
        tw_.piles.TrashCards.redim(0);
        tw_.piles.ExtraDeckCards.redim(0);
        tw_.piles.DeckCards.redim(60);
        tw_.piles.DrawnCount = 0;
        tw_.field.FieldGrid.redim(3, 6);
    });

    Step([&] { Label5[0].set_visible(false); });
    tw_.net.PlayerNumber = 0;
    Step([&] { gameplay.set_enabled(false); });
    Step([&] { HP.set_enabled(false); });
    tw_.duel.Phase = 1;

    for (platform::Menu* m : {&cardinhand, &CardInPlay, &PlayField}) Step([&] { m->set_visible(false); });

    Step([&] {
        Player1GY.set_caption("Search...");
        Player1GY.set_enabled(false);
    });
    Step([&] { Player2GY.set_enabled(false); });
    Step([&] {
        Player1RFG.set_caption("Search...");
        Player1RFG.set_enabled(false);
    });
    Step([&] { Player2RFG.set_enabled(false); });
    Step([&] { SearchOppGraveyard.set_enabled(false); });
    Step([&] { SearchOppRFG.set_enabled(false); });

    Step([&] { show(); });
    Step([&] { ShowPhase(); });
    Step([&] { WelcomeLines(); });
    Step([&] { File.set_visible(false); });
}

void FormA::ReadUserName() {
    tw_.prefs.UserName = rt::replace_all(ReadSetting(tw_, "username"), "*", "");
    if (tw_.prefs.UserName.empty() || rt::lcase(rt::trim(tw_.prefs.UserName)) == "game") {
        ShowMessage(tw_, "Make sure you goto Menu|Settings to set your username");
        tw_.prefs.UserName = std::string(kDefaultUserName);
        WriteSetting(tw_, "username", tw_.prefs.UserName);
    }
}

void FormA::FillDuelModes() {
    Combo2.clear();
    Combo2.set_visible(false);
    for (const char* mode : kDuelModes) Combo2.add_item(mode);
    Combo2.set_list_index(0);
}

void FormA::PlaceMenuBar() {
    double left = lblTitle.left() + lblTitle.width() + 150;
    for (platform::Label* l : {&lblFile, &lblChat, &lblGameplay, &lblMore}) {
        l->set_left(left);
        left = l->left() + l->width() + 100;
    }
}

void FormA::FillMacros() {
    for (int k = 1; k <= 9; ++k) {
        const std::string key = setting_key::slot(k);
        Step([&] {
            tw_.prefs.Macros[k] = ReadSetting(tw_, key);
            if (tw_.prefs.Macros[k].empty()) {
                tw_.prefs.Macros[k] = std::string(DefaultMacro(k));
                WriteSetting(tw_, key, tw_.prefs.Macros[k]);
            }
        });
    }
    for (int k = 1; k <= 9; ++k) Step([&] { macro_item(k)->set_caption(tw_.prefs.Macros[k]); });
}

void FormA::FillTokenMenu() {
    const auto names = ReadTokenList(tw_);
    std::vector<std::string> entries;
    // A name whose token the token file lacks would be put down as "bad card": such a list is
    // what a token save cut off between its two files leaves.
    if (names)
        for (const std::string& n : *names)
            if (!n.empty() && HasToken(tw_, n)) entries.push_back(n);
    // An empty list offers nothing to choose, like a missing one.
    if (entries.empty()) {
        TokenRoot[0].set_caption("No Tokens");
        TokenRoot[0].set_enabled(false);
        return;
    }
    TokenRoot[0].set_caption(entries[0]);
    TokenRoot[0].set_enabled(true);
    for (int i = 1; i < static_cast<int>(entries.size()); ++i) {
        platform::Menu& item = TokenRoot.exists(i) ? TokenRoot[i] : TokenRoot.load(i);
        item.set_caption(entries[static_cast<std::size_t>(i)]);
        item.set_enabled(true);
        item.set_visible(true);
    }
}

void FormA::LabelStats() {
    Stats.set_col_width(0, 950);
    Stats.set_col_width(1, 450);
    Stats.set_col_width(2, 450);
    Stats.set_col_alignment(1, platform::Align::CenterCenter);
    Stats.set_col_alignment(2, platform::Align::CenterCenter);
    auto caption = [&](int r, int c, const char* text) {
        Stats.set_text_matrix(r, c, text);
        Stats.set_col(c);
        Stats.set_row(r);
        Stats.set_cell_font_bold(true);
    };
    caption(0, 1, "You");
    caption(0, 2, "Opp");
    const char* piles[] = {"Hand", "Deck", "Graveyard", "RFG", "Extra"};
    for (int r = 1; r <= 5; ++r) caption(r, 0, piles[r - 1]);
}

void FormA::WelcomeLines() {
    AddChat(tw_,
            "Tablewright " + tw_.VersionText + ". Visit [link=" + SiteUrl(tw_, site::kHome) +
                "] for updates and news.",
            "Game", false);
    AddChat(tw_, "Cant Host a Duel? Try this page: [link=" + SiteUrl(tw_, site::kForumHelp) + "]", "Game",
            false);
}

}  // namespace tw::win
