#include "duel/forma.hpp"

#include <string>
#include <string_view>

#include "cards/errors.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"

namespace tw::win {

namespace {

constexpr platform::Color kDarkGrey = 8421504;
constexpr platform::Color kLightGrey = 12632256;
constexpr platform::Color kWhite = 16777215;
constexpr platform::Color kTableLabelBacking = 0xE6EEF2;  // a pale grey
constexpr platform::Color kDimDigits = 4210752;
// The window is dark, so that the white life points, the light-grey menu labels and the dim
// digits behind the counts all read as designed.
constexpr platform::Color kWindow = 2630692;  // &H282424

constexpr double kTableLeft = 3480;
constexpr double kSideLeft = kTableLeft + 10215 + 75;
constexpr double kWidth = kSideLeft + 4935 + 105;

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
    Command2.Click = [this] { Command2_Click(); };
    Command3.Click = [this] { Command3_Click(); };
    Timer2.Tick = [this] { Timer2_Timer(); };
    Winsock1.DataArrival = [this](long bytes) { Winsock1_DataArrival(bytes); };
}

// The window as designed, before its load. Positions are twips; the table's children are in
// the table's twips.
void FormA::Design() {
    set_caption("Tablewright");
    // Three columns: the card panel, the table, and the hand, counts and duel log.
    move(0, 0, kWidth, 9210);
    set_back_color(kWindow);
    // The pictures stored with the window; a missing one leaves its control blank.
    auto picture = [this](platform::Image& image, const char* file) { LoadWindowPicture(tw_, image, file); };

    // Chrome.
    Place(Image6, 0, 0, kWidth, 390);
    picture(Image6, "title.jpg");
    Caption(lblTitle, "Tablewright", kDarkGrey);
    Place(lblTitle, 120, 90, 3900, 225);  // wide enough for the OCG mode's title
    lblTitle.set_font_name("Arial");
    lblTitle.set_font_size(9);
    lblTitle.set_font_bold(true);
    Place(Image3, kWidth - 720, 60, 300, 270);
    picture(Image3, "minimize.gif");
    Image3.set_tool_tip_text("Minimize");
    Place(Command16, kWidth - 360, 60, 300, 270);
    picture(Command16, "close.gif");
    Command16.set_tool_tip_text("Close");
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
    Place(playsurface, kTableLeft, 390, 10215, 7110);
    Place(cardstencil[0], 0, 0, 1065, 1440);
    cardstencil[0].set_visible(false);
    Place(Shape1[0], 0, 0, 1065, 1440);
    Shape1[0].set_visible(false);
    // A card's counter and name labels: a card wide and a line high, black on a pale backing
    // of their own, since the table's picture (the player's own, perhaps) may be dark.
    Place(Label4[0], 0, 0, 855, 195);
    Label4[0].set_visible(false);
    Place(Label5[0], 0, 0, 1065, 195);
    for (platform::Label* l : {&Label4[0], &Label5[0]}) {
        l->set_transparent(false);
        l->set_back_color(kTableLabelBacking);
        l->set_fore_color(0);
    }
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
    Place(selectedcard, 0, 480, 3405, 4815);
    Place(lblName, 150, 585, 3375, 360);
    Place(Image1, 255, 1080, 855, 1215);
    Place(lblStats, 1455, 1095, 2055, 1260);
    Place(lblDesc, 195, 2490, 3105, 2475);
    for (platform::Label* l : {&lblName, &lblStats, &lblDesc}) {
        l->set_fore_color(kWhite);
        l->set_transparent(true);
    }
    // The panel opens in its text view; the picture view's pieces share its place and, the
    // picture being a window of its own, would cover the text.
    for (platform::Control* c : std::initializer_list<platform::Control*>{&Image1, &lblName, &lblStats, &lblDesc})
        c->set_visible(false);
    Label32.set_caption("[Toggle Display]");
    Label32.set_fore_color(kLightGrey);
    Label32.set_transparent(true);
    Place(Label32, 600, 5415, 1185, 210);
    Label8.set_caption("[View Rulings]");
    Label8.set_fore_color(kLightGrey);
    Label8.set_transparent(true);
    Place(Label8, 1935, 5415, 1185, 210);
    Place(Combo1, 525, 5685, 2640, 330);

    // Hand, counts, duel log.
    Place(hand, kSideLeft, 480, 2955, 2655);
    Place(Stats, kSideLeft + 3000, 480, 1935, 1755);
    Place(chat, kSideLeft, 3225, 4935, 3915);
    Place(chattext, kSideLeft, 7170, 4215, 330);
    chatsend.set_caption("Send");
    Place(chatsend, kSideLeft + 4260, 7170, 675, 330);
    // The meter's percentage stands on its light.
    Place(Image2, kSideLeft + 3000, 7620, 1935, 255);
    Place(hack, kSideLeft + 3000, 7620, 1935, 255);
    hack.set_transparent(true);
    hack.set_fore_color(kWhite);
    hack.set_alignment(platform::Label::Alignment::Center);

    // Connection panel.
    Place(Command2, 390, 7980, 915, 375);
    picture(Command2, "listen normal.jpg");
    Place(Command3, 1365, 7980, 915, 375);
    picture(Command3, "connect normal.jpg");
    Place(cmdCancel, 2340, 7980, 915, 375);
    picture(cmdCancel, "cancel normal.jpg");
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
    Label3.set_fore_color(kLightGrey);
    Label3.set_transparent(true);
    Place(Label3, 3360, 8040, 3735, 255);
    Check1.set_caption("Log Duel");
    Check1.set_fore_color(kLightGrey);
    Check1.set_back_color(kWindow);
    Place(Check1, 7200, 8040, 1215, 255);

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
    Texx.set_sel_color(tw_.duel.ChatForeColor);
    if (tw_.duel.ChatForeColor != tw_.duel.ChatBackColor) Texx.set_back_color(tw_.duel.ChatBackColor);
}


}  // namespace tw::win
