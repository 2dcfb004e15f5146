#include "deckeditor/deckmaker.hpp"

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_set>
#include <utility>

#include "cards/errors.hpp"
#include "cards/helpers.hpp"
#include "cards/loadset.hpp"
#include "cards/settings.hpp"
#include "cards/settings_window.hpp"
#include "program/tablewright.hpp"
#include "cards/token_editor.hpp"
#include "cards/updater.hpp"
#include "duel/forma.hpp"
#include "net/site.hpp"
#include "platform/files.hpp"
#include "platform/rt.hpp"

namespace tw::win {

namespace {

namespace fs = std::filesystem;

constexpr platform::Color kGrey = 8421504;
constexpr platform::Color kLightGrey = 12632256;
constexpr platform::Color kDimDigits = 4210752;
constexpr platform::Color kWhite = 16777215;
constexpr platform::Color kPanel = 2630692;  // &H282424, the duel window's ground
constexpr double kCountDigitSize = 12;
constexpr double kCountCaptionSize = 9.75;

// The window is wide enough for the deck list and a file list that shows whole names.
constexpr double kWidth = 13920;

constexpr std::string_view kSideDeckMarker = "-SIDE DECK-";
constexpr std::string_view kQuickSearchHint = "Search By Card Name";

// Each failing step is skipped without a word and the next one runs.
template <class F>
void Step(F&& fn) {
    rt::try_step(std::forward<F>(fn));
}

void Place(platform::Control& c, double left, double top, double width, double height) {
    c.move(left, top, width, height);
}

void Caption(platform::Label& l, const char* text, double left, double top, double width) {
    l.set_caption(text);
    l.set_transparent(true);
    Place(l, left, top, width, 225);
}

void Fill(platform::ComboBox& box, std::initializer_list<const char*> entries) {
    for (const char* e : entries) box.add_item(e);
}

// A stored folder setting, applied only when it names a folder that is there.
std::optional<fs::path> ExistingFolder(const Tablewright& tw, const std::string& stored) {
    if (rt::trim(stored).empty()) return std::nullopt;
    fs::path folder = platform::resolve(tw.folder(), fs::path(stored));
    if (!platform::folder_exists(folder)) return std::nullopt;
    return folder;
}

// Companion programs run on their own, minimised, and are never waited for.
void StartUtility(Tablewright& tw, std::string_view windows_name, const char* shown_name) {
    if (StartProgramOfFolder(tw, windows_name)) return;
    ShowMessage(tw, std::string("Cannot start ") + shown_name +
                        ": it is missing from the Utilities folder or cannot be run.");
}

}  // namespace

DeckMaker::DeckMaker(Tablewright& tw)
    : platform::Form(tw.app, "DeckMaker"), WebBrowser1(tw.app.reactor()), tw_(tw) {
    Design();

    Image6.MouseDown = [this](int b, int s, double x, double y) { Image6_MouseDown(b, s, x, y); };
    Image6.MouseMove = [this](int b, int s, double x, double y) { Image6_MouseMove(b, s, x, y); };
    Image6.MouseUp = [this](int b, int s, double x, double y) { Image6_MouseUp(b, s, x, y); };
    Title.carry(Label4, Image6, *this);
    Image3.Click = [this] { Image3_Click(); };
    Image2.Click = [this] { Image2_Click(); };
    Image7.Click = [this] { Image7_Click(); };
    imgSettings.Click = [this] { imgSettings_Click(); };
    Command14.Click = [this] { Command14_Click(); };
    Command16.Click = [this] { Command16_Click(); };
    Combo1.Click = [this] { Combo1_Click(); };
    Combo3.Click = [this] { Combo3_Click(); };
    TypeIcon.Click = [this] { TypeIcon_Click(); };
}

// The window as designed, before its load. Positions are twips; the filter frame's children
// are in the frame's twips.
void DeckMaker::Design() {
    set_caption("Deck Shop");
    set_border_style(platform::BorderStyle::None);
    move(0, 0, kWidth, 8400);

    // Each picture is drawn at its own size, so it is made to the size of its place; a
    // missing file leaves the button blank and still clickable.
    auto picture = [this](platform::Image& image, const char* file, const char* tip) {
        LoadWindowPicture(tw_, image, file);
        if (tip) image.set_tool_tip_text(tip);
    };

    // Chrome.
    Place(Image6, 0, 0, kWidth, 390);
    picture(Image6, "title.jpg", nullptr);
    Caption(Label4, "Tablewright", 120, 90, 4200);
    Label4.set_fore_color(kGrey);
    Label4.set_font_name("Arial");
    Label4.set_font_size(9);
    Label4.set_font_bold(true);
    struct Button {
        platform::Image& image;
        const char* file;
        const char* tip;
    };
    double left = kWidth - 2160;
    for (const Button& b : {Button{Command14, "tokens.gif", "Token Editor"},
                            Button{Image2, "chat.gif", "Chat"},
                            Button{Image7, "updater.gif", "Update Card Set"},
                            Button{imgSettings, "settings.gif", "Settings"},
                            Button{Image3, "minimize.gif", "Minimize"},
                            Button{Command16, "close.gif", "Close"}}) {
        Place(b.image, left, 60, 300, 270);
        picture(b.image, b.file, b.tip);
        left += 360;
    }

    // Set choice, quick search and results. The grid is wide enough for a five-letter set code
    // and the longest names beside the fixed column and the scroll bar; the controls above it
    // end where it ends.
    Caption(capShowSet, "Show Set", 120, 540, 780);
    Place(Combo1, 960, 480, 2340, 315);
    hidecopies.set_caption("Hide Duplicates");
    Place(hidecopies, 120, 900, 1800, 255);
    Place(Text1, 120, 1260, 2400, 285);
    Text1.set_text(std::string(kQuickSearchHint));
    Text1.set_fore_color(kLightGrey);
    Place(Image4, 2580, 1260, 720, 285);
    picture(Image4, "search.jpg", "Search by card name");
    Place(imgAdvancedSearch, 120, 1620, 1815, 315);
    picture(imgAdvancedSearch, "advanced search normal.jpg", "Show or hide the search filter");
    Grid.set_cols(3);
    Grid.set_rows(2);
    Place(Grid, 120, 1980, 3180, 6300);

    // The filter frame, over the results.
    Frame1.set_caption("Card Search Filter");
    Place(Frame1, 120, 1980, 4200, 6300);
    Frame1.set_visible(false);
    double row = 300;
    auto next_row = [&row] { return row += 390; };
    Caption(capNameContains, "Name Contains", 120, row, 1320);
    Place(NameContains, 1500, row - 30, 2520, 285);
    Caption(capDescContains, "Desc Contains", 120, next_row(), 1320);
    Place(DescContains, 1500, row - 30, 2520, 285);
    next_row();
    for (auto [box, text, x] : {std::tuple{&MonsterCheck, "Monsters", 120.0},
                                std::tuple{&SpellCheck, "Spells", 1500.0},
                                std::tuple{&TrapCheck, "Traps", 2760.0}}) {
        box->set_caption(text);
        box->set_value(1);
        Place(*box, x, row, 1200, 255);
    }
    struct Choice {
        platform::Label& label;
        const char* text;
        platform::ComboBox& box;
    };
    for (const Choice& c : {Choice{capSpellType, "Spell Type", SpellType},
                            Choice{capTrapType, "Trap Type", TrapType},
                            Choice{capAttrib, "Attributes", Attrib},
                            Choice{capTypeIcon, "Effects", TypeIcon},
                            Choice{captypebox, "Monster Type", typebox}}) {
        Caption(c.label, c.text, 120, next_row(), 1320);
        Place(c.box, 1500, row - 30, 2520, 315);
    }
    struct Range {
        platform::Label& label;
        const char* text;
        platform::TextBox& value;
        platform::ComboBox& compare;
    };
    for (const Range& r : {Range{capLevel, "Level", LevelSearch, Combo2},
                           Range{capAttack, "Attack", AtkSearch, Combo4},
                           Range{capDefense, "Defense", DefSearch, Combo5}}) {
        Caption(r.label, r.text, 120, next_row(), 1320);
        Place(r.compare, 1500, row - 30, 900, 315);
        Place(r.value, 2460, row - 30, 1560, 285);
    }
    Command11.set_caption("Search");
    Place(Command11, 1500, next_row() + 120, 2520, 375);

    // Card preview and ban list.
    Place(selectedcard, 4440, 480, 3600, 2880);
    Place(Image1, 4440, 3480, 1215, 1755);
    Caption(capBanList, "Ban List", 4440, 5460, 900);
    Place(Combo3, 5400, 5400, 2640, 315);

    // Editing the deck list, under the preview and beside the list: the deck's buttons on the
    // left, the side deck's on the right, each 116 x 25 pixels.
    struct Edit {
        platform::Image& image;
        double left, top;
        const char* file;
        const char* tip;
    };
    for (const Edit& e : {Edit{Command3, 4440, 5940, "add to deck.jpg", "Add the card to the deck"},
                          Edit{Command6, 6300, 5940, "add to side deck.jpg", "Add the card to the side deck"},
                          Edit{Command4, 4440, 6420, "remove one.jpg", "Take one copy off the selected line"},
                          Edit{Command8, 6300, 6420, "remove one.jpg", "Take one copy off the selected line"},
                          Edit{Command12, 4440, 6900, "add comment.jpg", "Add a comment line above the selected line"},
                          Edit{Command7, 6300, 6900, "clear deck.jpg", "Clear the deck list"}}) {
        Place(e.image, e.left, e.top, 1740, 375);
        picture(e.image, e.file, e.tip);
    }

    // Deck list and deck files, with the file buttons under the files. The list's lines carry a
    // count, a set code and a name; the file list shows names of two dozen letters whole.
    Place(List1, 8160, 480, 2640, 5400);
    Place(File1, 10890, 480, 2910, 4620);
    File1.set_pattern("*.dek");
    File1.set_tool_tip_text("Double click to load deck.");
    Place(Command1, 10890, 5160, 990, 330);
    picture(Command1, "open deck.jpg", "Open a deck file");
    Place(Command2, 10890, 5550, 990, 330);
    picture(Command2, "save deck.jpg", "Save the deck to a file");
    // The counts: LCD digits over their dim "000", on the dark ground the digits are drawn for,
    // in two columns under the lists; each caption has room for its whole word.
    CountPanel.set_caption("");
    CountPanel.set_back_color(kPanel);
    Place(CountPanel, 8160, 5970, kWidth - 8160 - 120, 1080);
    CountPanel.send_to_back();
    struct Count {
        platform::Label& caption;
        const char* text;
        platform::Label& dim;
        platform::Label& value;
    };
    const Count counts[] = {
        {Label8, "Monsters:", Label15, Monsters}, {Label29, "Deck:", Label26, Label1},
        {Label16, "Spells:", Label23, Spells},    {Label30, "Side Deck:", Label25, Label6},
        {Label28, "Traps:", Label24, Traps},      {Label31, "Extra:", Label27, Label5},
    };
    for (int i = 0; i < 6; ++i) {
        const Count& c = counts[i];
        const double x = 8160 + 180 + (i % 2) * 2820;
        const double y = 6060 + (i / 2) * 330;
        Caption(c.caption, c.text, x, y, 1620);
        c.caption.set_fore_color(kLightGrey);
        Caption(c.dim, "000", x + 1680, y, 780);
        c.dim.set_fore_color(kDimDigits);
        Caption(c.value, "000", x + 1680, y, 780);
        c.value.set_fore_color(kWhite);
        // At the default size the digits' top bars fall between pixels and fade, so "0" reads
        // as "U": the digits take a size where the LCD face lands on whole pixels, and the
        // captions, a size that leaves "Side Deck:" whole, sit lower to share their baseline.
        for (platform::Label* l : {&c.dim, &c.value}) {
            l->set_font_size(kCountDigitSize);
            l->set_height(300);
        }
        c.caption.set_font_size(kCountCaptionSize);
        c.caption.move(x, y + 45, 1620, 255);
        // The count lies over its dim digits: both end at the right edge.
        c.dim.set_alignment(platform::Label::Alignment::Right);
        c.value.set_alignment(platform::Label::Alignment::Right);
    }
    Place(Command5, 8160, 7260, 3720, 450);
    picture(Command5, "use deck.jpg", "Use This Deck");
    Command5.set_enabled(false);
    Caption(Label34, "Use This Deck", 8160, 7800, 3720);
    Label34.set_alignment(platform::Label::Alignment::Center);
    Label34.set_fore_color(kGrey);
}

void DeckMaker::Form_Load() {
    // The platform's modal drag has been given to the list by now: a drag from the list that
    // ended anywhere but on it must not leave its line behind for a later drop from outside.
    if (auto drag = List1.drag_hook)
        List1.drag_hook = [this, drag](platform::ListBox& source) {
            drag(source);
            ListDrag.reset();
        };
    // Step 1 is the duel window's first touch: its whole load runs here and may end the
    // program.
    Step([&] { tw_.FormA().hide(); });
    Step([&] { tw_.LoadSet.unload(); });
    Step([&] { Label4.set_caption("Tablewright " + tw_.VersionText); });

    std::string first_time;
    Step([&] { first_time = ReadSetting(tw_, std::string(setting_key::firsttime)); });
    Step([&] {
        tw_.prefs.UserName = rt::replace_all(ReadSetting(tw_, std::string(setting_key::username)), "*", "");
    });
    Step([&] {
        if (tw_.prefs.JabberServer.empty())
            WriteSetting(tw_, std::string(setting_key::jabber), std::string(kDefaultJabberServer));
    });
    Step([&] { tw_.prefs.JabberServer = ReadSetting(tw_, std::string(setting_key::jabber)); });
    Step([&] {
        if (tw_.prefs.UserName.empty() || rt::lcase(rt::trim(tw_.prefs.UserName)) == "game") {
            tw_.prefs.UserName = std::string(kDefaultUserName);
            WriteSetting(tw_, std::string(setting_key::username), tw_.prefs.UserName);
        }
    });
    Step([&] { InstallFont(tw_, std::string(kLcdFontFile)); });
    if (first_time.empty()) FirstRun();

    Step([&] {
        const std::string lang = ReadSetting(tw_, std::string(setting_key::lang));
        if (ExistingFolder(tw_, lang)) tw_.log.LogFolder = lang;
    });
    Step([&] {
        if (auto decks = ExistingFolder(tw_, ReadSetting(tw_, std::string(setting_key::decks))))
            File1.set_path(*decks);
    });

    for (platform::Label* l : {&Monsters, &Spells, &Traps, &Label1, &Label6, &Label5, &Label8,
                               &Label16, &Label28, &Label29, &Label30, &Label31, &Label15,
                               &Label23, &Label24, &Label26, &Label25, &Label27})
        Step([&] { l->set_font_name("LCD"); });

    Step([&] {
        FillSetCodes();
        for (const std::string& code : tw_.cards.SetCodes)
            if (!rt::trim(code).empty()) Combo1.add_item(code);
    });
    tw_.duel.AttentionShown = false;
    Step([&] { set_caption("Deck Shop"); });

    Step([&] { tw_.editor.LastDeckPath = ReadSetting(tw_, std::string(setting_key::lastdeck)); });
    Step([&] {
        List1.clear();
        List1.add_item(std::string(kSideDeckMarker));
    });
    Step([&] { LoadDeck(tw_.editor.LastDeckPath); });
    Step([&] { MarkDeckSaved(); });

    // Choosing "All" runs the first search.
    Step([&] {
        Combo1.add_item("All", 0);
        Combo1.set_list_index(0);
    });
    Step([&] {
        Grid.set_col_width(0, 75);
        Grid.set_col_width(1, 720);
        Grid.set_col_width(2, 1950);
        Grid.set_text_matrix(0, 1, "Set");
        Grid.set_text_matrix(0, 2, "Card Name");
    });
    FillFilterLists();
    Step([&] { Grid.set_text_matrix(0, 2, "Card Name (" + rt::cstr(Grid.rows() - 1) + ")"); });

    Step([&] {
        show();
        refresh();
    });
    // The default ban list; its page is awaited with the window already on screen.
    Step([&] { Combo3.set_list_index(1); });
    Step([&] { Command5.set_enabled(true); });
}

void DeckMaker::FirstRun() {
    Step([&] {
        ShowMessageDirect(tw_, "This seems to be your first time. Im going to open up a webpage that may "
                               "help you. Please read everything!");
    });
    Step([&] { OpenUrl(tw_, SiteUrl(tw_, site::kFirstRun)); });
    // The folders are made as well as stored: later steps use them only when they are there.
    struct Folder {
        std::string_view key;
        std::string value;
    };
    for (const Folder& f : {Folder{setting_key::lang, DefaultLogFolder(tw_)},
                            Folder{setting_key::decks, DefaultDeckFolder(tw_)}}) {
        Step([&] { WriteSetting(tw_, std::string(f.key), f.value); });
        Step([&] { platform::make_folder_one_level(fs::path(f.value)); });
    }
    Step([&] { WriteSetting(tw_, std::string(setting_key::firsttime), std::string(kFirstTimeDone)); });
}

void DeckMaker::FillFilterLists() {
    Step([&] {
        Fill(Attrib, {"", "Dark", "Earth", "Fire", "Light", "Water", "Wind"});
        Attrib.set_list_index(0);
    });
    Step([&] {
        Fill(Combo2, {"<=", ">=", "="});
        Combo2.set_list_index(0);
    });
    Step([&] {
        Fill(SpellType, {"", "Normal", "Continuous", "Equip", "Field", "Quick-Play", "Ritual"});
        SpellType.set_list_index(0);
    });
    Step([&] {
        Fill(TrapType, {"", "Normal", "Continuous", "Counter"});
        TrapType.set_list_index(0);
    });
    Step([&] {
        Fill(TypeIcon, {"", "Normal", "Effect", "Fusion", "Synchro", "Gemini", "Tuner", "Ritual", "Spirit",
                        "Toon", "Union"});
        TypeIcon.set_list_index(0);
    });
    Step([&] { Fill(Combo3, {"No List", "Advanced", "Traditional"}); });
    Step([&] { Fill(Combo4, {"<=", ">=", "="}); });
    Step([&] { Fill(Combo5, {"<=", ">=", "="}); });
    Step([&] { Combo4.set_list_index(0); });
    Step([&] { Combo5.set_list_index(0); });
    Step([&] {
        Fill(typebox, {"", "Aqua", "Beast", "Beast-Warrior", "Dinosaur", "Dragon", "Fairy", "Fiend", "Fish",
                       "Insect", "Machine", "Plant", "Psychic", "Pyro", "Rock", "Reptile", "Spellcaster",
                       "Sea Serpent", "Thunder", "Warrior", "Winged Beast", "Zombie"});
    });
}

void DeckMaker::FillSetCodes() {
    auto& codes = tw_.cards.SetCodes;
    codes.assign(1, std::string());
    std::unordered_set<std::string_view> seen{std::string_view()};
    const auto& db = tw_.cards.CardDatabase;
    for (std::size_t i = 0; i < db.size(); ++i)
        if (seen.insert(db.set_code(i)).second) codes.emplace_back(db.set_code(i));
}

// ---- Chrome ----

void DeckMaker::Image6_MouseDown(int, int, double X, double Y) { Title.press(X, Y); }

void DeckMaker::Image6_MouseMove(int, int, double X, double Y) { Title.follow(*this, X, Y); }

void DeckMaker::Image6_MouseUp(int, int, double, double) { Title.release(); }

void DeckMaker::Image3_Click() { set_window_state(platform::WindowState::Minimized); }

void DeckMaker::Image2_Click() { StartUtility(tw_, "Utilities\\Chatwell.exe", "Chatwell"); }

void DeckMaker::Image7_Click() {
    RestoreWndProc();
    tw_.frmUpdater().show(this);
}

void DeckMaker::imgSettings_Click() {
    RestoreWndProc();
    tw_.settings().show(this);
}

void DeckMaker::Command14_Click() {
    RestoreWndProc();
    tw_.frmTokens().show(this);
    tw_.frmTokens().initialize();
}

void DeckMaker::Command16_Click() {
    if (MayClose()) tw_.app.end();
}

void DeckMaker::Combo1_Click() { ReloadSet(0); }

void DeckMaker::RefreshDeckFiles() {
    const std::string selected = File1.file_name();
    File1.refresh();
    if (selected.empty()) return;
    const auto& files = File1.items();
    const auto at = std::find(files.begin(), files.end(), selected);
    if (at != files.end()) File1.set_list_index(static_cast<int>(at - files.begin()));
}

// ---- Closing ----

void DeckMaker::ClearPreview() {
    Image1.set_picture(nullptr);
    Image1.cls();
}

void DeckMaker::EndUnlessShuttingDown() {
    if (!ClosingWithDuelWindow) tw_.app.end();
}

bool DeckMaker::MayClose() {
    if (List1.items() == SavedDeck) return true;
    return tw_.app.msg_box("The deck has changes that are not saved. Quit anyway?", platform::MsgButtons::YesNo,
                           platform::MsgIcon::None,
                           "Tablewright " + tw_.VersionText) == platform::MsgResult::Yes;
}

void DeckMaker::Form_Activate() { RefreshDeckFiles(); }

// The duel window's shutdown has asked its own question already.
void DeckMaker::Form_Unload(bool& cancel) {
    if (!ClosingWithDuelWindow && !MayClose()) {
        cancel = true;
        return;
    }
    ClearPreview();
    EndUnlessShuttingDown();
}

void DeckMaker::Form_Terminate() {
    ClearPreview();
    EndUnlessShuttingDown();
}

}  // namespace tw::win
