// Sticky notes: small yellow labels on the table, made from the table's menu, dragged, edited and
// deleted from their own menu. Every change goes to the peer, whose table shows the same notes.
#include "duel/sticky_notes.hpp"

#include "cards/errors.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/send_command.hpp"
#include "platform/host.hpp"
#include "platform/rt.hpp"
#include "table/field_mouse.hpp"

namespace tw {

namespace {

// The seat that joined puts its notes on its own side of the table.
constexpr double kSeat2NoteLeft = 7680;

void Send(Tablewright& tw, const std::string& command) {
    std::int16_t tag = 0;
    SendCommand(tw, command, tag);
}

bool IsNoteNumber(std::int32_t index) { return index >= 1 && index <= kMaxStickyNotes; }

// Where a note lies, as the peer reads it: top, then left, in single precision.
std::string Position(const platform::Label& note) {
    return rt::cstr_single(note.top()) + ":" + rt::cstr_single(note.left());
}

}  // namespace

std::int32_t MakeStickyNote(Tablewright& tw) {
    auto& notes = tw.FormA().StickyNote;
    for (std::int32_t k = 1; k <= kMaxStickyNotes; ++k) {
        if (notes.exists(k)) continue;
        notes.load(k).set_visible(true);
        return k;
    }
    ShowMessage(tw, "Too Many Sticky Notes!");
    return -1;
}

void DeleteStickyNote(Tablewright& tw, std::int32_t index) {
    // The template (0) cannot go, and a missing note is nothing to do.
    if (!IsNoteNumber(index)) return;
    rt::try_step([&] { tw.FormA().StickyNote.unload(index); });
}

void EditStickyNote(Tablewright& tw, const std::string& text, std::int32_t index) {
    // The template keeps its caption, which every new note copies.
    if (text.empty() || !IsNoteNumber(index)) return;
    rt::try_step([&] {
        auto& notes = tw.FormA().StickyNote;
        if (!notes.exists(index)) notes.load(index).set_visible(true);
        notes[index].set_caption(text);
    });
}

std::string CleanNoteText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '~' && c != '\xFF' && c != '\xFE') out.push_back(c);
    return out;
}

namespace win {

void FormA::MakeStickyNote_Click() {
    const std::int32_t n = tw::MakeStickyNote(tw_);
    if (n < 0) return;
    Send(tw_, "mn~" + rt::cstr(n));
    auto& note = StickyNote[n];
    if (tw_.net.PlayerNumber == 2) note.set_left(kSeat2NoteLeft);
    Send(tw_, "sl~" + rt::cstr(n) + ":" + Position(note));
    const std::string text = CleanNoteText(tw_.prefs.UserName + "`s Sticky Note");
    EditStickyNote(tw_, text, n);
    Send(tw_, "en~" + text + ":" + rt::cstr(n));
}

void FormA::StickyNote_MouseDown(int Index, int Button, int, double X, double Y) {
    tw_.duel.SelectedNote = Index;
    rt::try_step([&] {
        NoteGrabX = rt::cint16(X);
        NoteGrabY = rt::cint16(Y);
    });
    if (Button == 2) popup_menu(StickyNoteMenu);
}

void FormA::StickyNote_MouseMove(int Index, int Button, int, double, double) {
    if (Button != 1 || !StickyNote.exists(Index)) return;
    const platform::PointPx cursor = tw_.app.host().cursor_pos_px();
    const platform::PointTw surface = PlaySurfaceOnScreen(tw_);
    const auto screen = tw_.app.screen();
    auto& note = StickyNote[Index];
    note.set_left(static_cast<double>(screen.twips_per_pixel_x) * cursor.x - surface.x - NoteGrabX);
    note.set_top(static_cast<double>(screen.twips_per_pixel_y) * cursor.y - surface.y - NoteGrabY);
}

void FormA::StickyNote_MouseUp(int Index, int, int, double, double) {
    if (!StickyNote.exists(Index)) return;
    Send(tw_, "sl~" + rt::cstr(Index) + ":" + Position(StickyNote[Index]));
}

void FormA::EditNote_Click() {
    std::string current;
    if (StickyNote.exists(tw_.duel.SelectedNote)) current = StickyNote[tw_.duel.SelectedNote].caption();
    const std::string answer = tw_.app.input_box("Change Note Text to what?", "Tablewright", current);
    if (answer.empty()) return;
    const std::string text = CleanNoteText(answer);
    EditStickyNote(tw_, text, tw_.duel.SelectedNote);
    Send(tw_, "en~" + text + ":" + rt::cstr(tw_.duel.SelectedNote));
}

void FormA::DeleteNote_Click() {
    DeleteStickyNote(tw_, tw_.duel.SelectedNote);
    Send(tw_, "dn~" + rt::cstr(tw_.duel.SelectedNote));
}

bool FormA::WireStickyNotes() {
    MakeStickyNote.Click = [this] { MakeStickyNote_Click(); };
    StickyNote.MouseDown = [this](int i, int b, int s, double x, double y) { StickyNote_MouseDown(i, b, s, x, y); };
    StickyNote.MouseMove = [this](int i, int b, int s, double x, double y) { StickyNote_MouseMove(i, b, s, x, y); };
    StickyNote.MouseUp = [this](int i, int b, int s, double x, double y) { StickyNote_MouseUp(i, b, s, x, y); };
    EditNote.Click = [this] { EditNote_Click(); };
    DeleteNote.Click = [this] { DeleteNote_Click(); };
    return true;
}

}  // namespace win
}  // namespace tw
