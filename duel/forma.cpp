#include "duel/forma.hpp"

#include "cards/tablewright.hpp"

namespace tw::win {

namespace {

constexpr platform::Color kDarkGrey = 8421504;
constexpr platform::Color kLightGrey = 12632256;
constexpr platform::Color kWhite = 16777215;
constexpr platform::Color kDimDigits = 4210752;

void Place(platform::Control& c, double left, double top, double width, double height) {
    c.move(left, top, width, height);
}

void Caption(platform::Label& l, const char* text, platform::Color fore) {
    l.set_caption(text);
    l.set_fore_color(fore);
    l.set_transparent(true);
}

}  // namespace

FormA::FormA(Tablewright& tw)
    : platform::Form(tw.app, "FormA"),
      browser(tw.app.reactor()),
      Winsock1(tw.app.reactor(), "Winsock1"),
      tw_(tw) {
    Design();
    Combo2.Click = [this] { Combo2_Click(); };
    Timer2.Tick = [this] { Timer2_Timer(); };
}

// The window as designed, before its load. Positions are twips; the table's children are in
// the table's twips.
void FormA::Design() {
    set_caption("Tablewright");
    move(0, 0, 15360, 9210);

    // Chrome.
    Place(Image6, 0, 0, 15360, 390);
    Caption(lblTitle, "Tablewright", kDarkGrey);
    Place(lblTitle, 120, 90, 2535, 225);
    lblTitle.set_font_name("Arial");
    lblTitle.set_font_size(9);
    lblTitle.set_font_bold(true);
    Place(Image3, 14640, 60, 300, 270);
    Place(Command16, 15000, 60, 300, 270);
    struct BarLabel {
        platform::Label& label;
        const char* text;
        double width;
    };
    for (const BarLabel& b : {BarLabel{lblFile, "File", 285}, BarLabel{lblChat, "Chat", 375},
                              BarLabel{lblGameplay, "Gameplay", 765}, BarLabel{lblMore, "More", 405}}) {
        Caption(b.label, b.text, kLightGrey);
        b.label.set_auto_size(true);
        Place(b.label, 0, 105, b.width, 210);
    }

    // The table and the slot templates lying on it.
    Place(playsurface, 0, 390, 10215, 7110);
    Place(cardstencil[0], 0, 0, 1065, 1440);
    cardstencil[0].set_visible(false);
    Place(Shape1[0], 0, 0, 1065, 1440);
    Shape1[0].set_visible(false);
    Place(Label4[0], 0, 0, 375, 255);
    Label4[0].set_visible(false);
    Place(Label5[0], 0, 0, 1065, 195);
    auto& note = StickyNote[0];
    note.set_caption("Sticky Note");
    note.set_back_color(8454143);
    Place(note, 4005, 2985, 855, 855);
    note.set_font_name("Arial");
    note.set_font_size(8.25);
    note.set_visible(false);
    copybox.set_visible(false);

    // Phase labels, one row below the table.
    struct PhaseLabel {
        platform::Label& label;
        const char* text;
        double left, width;
    };
    for (const PhaseLabel& p : {PhaseLabel{draw, "Draw", 5265, 735}, PhaseLabel{standby, "Standby", 6120, 1185},
                                PhaseLabel{main1, "Main 1", 7365, 990}, PhaseLabel{attack, "Attack", 8415, 930},
                                PhaseLabel{main2, "Main 2", 9495, 960}, PhaseLabel{endphase, "End", 10560, 630},
                                PhaseLabel{OppTurn, "Opp. Turn", 11265, 1650}}) {
        Caption(p.label, p.text, kDarkGrey);
        Place(p.label, p.left, 7560, p.width, 285);
    }

    // Life points.
    struct LpLabel {
        platform::Label& label;
        const char* text;
        platform::Color fore;
        double left, width, height;
    };
    for (const LpLabel& l : {LpLabel{Label6, "you:", kWhite, 570, 615, 390},
                             LpLabel{Label2, "0000", kDimDigits, 1215, 735, 300},
                             LpLabel{Text1, "8000", kWhite, 1215, 735, 360},
                             LpLabel{Label7, "opp:", kWhite, 2700, 615, 390},
                             LpLabel{Label1, "0000", kDimDigits, 3315, 735, 300},
                             LpLabel{Text2, "8000", kWhite, 3315, 735, 300}}) {
        Caption(l.label, l.text, l.fore);
        Place(l.label, l.left, 7560, l.width, l.height);
        l.label.set_font_name("Arial");
        l.label.set_font_size(14.25);
        l.label.set_font_bold(true);
        // The value lies over its dim digits: both end at the right edge.
        l.label.set_alignment(platform::Label::Alignment::Right);
    }

    // Card panel.
    Place(selectedcard, 10320, 390, 4935, 2880);
    Place(Image1, 10320, 390, 1335, 1935);
    Place(lblName, 11760, 390, 3495, 255);
    Place(lblStats, 11760, 660, 3495, 255);
    Place(lblDesc, 11760, 930, 3495, 1395);
    Label32.set_caption("[Toggle Display]");
    Place(Label32, 10320, 2400, 1335, 195);
    Label8.set_caption("[View Rulings]");
    Place(Label8, 11760, 2400, 1335, 195);
    Place(Combo1, 10320, 2940, 4935, 315);

    // Hand, counts, duel log.
    Place(hand, 10320, 3360, 2955, 1755);
    Place(Stats, 13320, 3360, 1935, 1755);
    Place(chat, 10320, 5160, 4935, 2025);
    Place(chattext, 10320, 7230, 4215, 330);
    chatsend.set_caption("Send");
    Place(chatsend, 14580, 7230, 675, 330);
    Place(hack, 13320, 7620, 1935, 255);

    // Connection panel.
    Place(Command2, 390, 7980, 855, 375);
    Place(Command3, 1320, 7980, 855, 375);
    Place(cmdCancel, 2280, 7980, 375, 375);
    Place(Combo2, 390, 8460, 4215, 315);
    Combo2.set_visible(false);
    Text4.set_text("Enter IP");
    Text4.set_fore_color(kDarkGrey);
    Place(Text4, 390, 8820, 4215, 315);
    Text4.set_visible(false);
    cmdCancel.set_visible(false);
    Place(Text3, 390, 8820, 2415, 315);
    Text3.set_visible(false);
    Label3.set_caption("Select a connection option above.");
    Place(Label3, 2760, 8040, 3735, 255);
    Check1.set_caption("Log Duel");
    Place(Check1, 6600, 8040, 1215, 255);

    Timer2.set_interval(60000);
    Timer2.set_enabled(false);

    // The designed menu entries.
    TokenRoot[0].set_caption("TokenRoot");
    LoadDuel.set_visible(false);
    for (platform::Menu* m : {&ChatCommands, &gameplay, &More, &game, &connect2, &Listenwindow2})
        m->set_visible(false);
}

platform::Menu* FormA::macro_item(int k) {
    platform::Menu* items[] = {&Macro1, &Macro2, &Macro3, &Macro4, &Macro5,
                               &Macro6, &Macro7, &Macro8, &Macro9};
    return k >= 1 && k <= 9 ? items[k - 1] : nullptr;
}

void FormA::ClearRichText(platform::RichTextBox& Texx) {
    Texx.set_text("");
    Texx.set_sel_start(0);
    Texx.set_sel_length(0);
    Texx.set_sel_color(tw_.ChatForeColor);
    if (tw_.ChatForeColor != tw_.ChatBackColor) Texx.set_back_color(tw_.ChatBackColor);
}

// Filled with the turn phases.
void FormA::ShowPhase() {}

// Filled with the connection panel.
void FormA::Combo2_Click() {}

// Filled with the connection events.
void FormA::Timer2_Timer() {}

// Filled with the skins.
void FormA::LoadSkin(std::string&) {}

}  // namespace tw::win
