// The rich text box's widget changes only the stretch of text that differs, so a long log stays cheap.
#include "frontend/widgets/rich_text.hpp"

#include <QTextCursor>
#include <QTextEdit>
#include <algorithm>
#include <vector>

#include "frontend/widgets/base.hpp"
#include "platform/controls.hpp"

namespace frontend {

using platform::Prop;

namespace {

// Shows the model's text and formats, changing only the stretch that differs from what it
// shows: appending a line appends. CR LF is one line break in Qt, so positions are mapped.
class RichW : public ControlW<QTextEdit, platform::RichTextBox> {
public:
    RichW(WidgetContext& m, platform::RichTextBox& c, QWidget* parent) : ControlW(m, c, parent) {
        setReadOnly(true);
        setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        setAcceptRichText(false);
        setUndoRedoEnabled(false);
        setMouseTracking(bool(c.MouseMove));
    }
    Mouse<platform::RichTextBox> mouse;

    void sync_text(const platform::RichTextBox& c) {
        // A ground that turns from dark to light or back changes how the colours are drawn.
        if (is_light(c.back_color()) != light_ground_) {
            light_ground_ = !light_ground_;
            document()->clear();
            shown_.clear();
            fmts_.clear();
        }
        const std::string& t = c.text();
        const auto& f = c.formats();
        const std::size_t n_old = shown_.size(), n_new = t.size();
        std::size_t p = 0;
        while (p < n_old && p < n_new && shown_[p] == t[p] && fmts_[p] == f[p]) ++p;
        std::size_t q = 0;
        while (q < n_old - p && q < n_new - p && shown_[n_old - 1 - q] == t[n_new - 1 - q] &&
               fmts_[n_old - 1 - q] == f[n_new - 1 - q])
            ++q;
        // Never split a CR LF pair, on either side.
        auto splits = [](const std::string& s, std::size_t at) {
            return at > 0 && at < s.size() && s[at - 1] == '\r' && s[at] == '\n';
        };
        for (bool moved = true; moved;) {
            moved = false;
            if (p > 0 && (splits(shown_, p) || splits(t, p))) --p, moved = true;
            if (q > 0 && (splits(shown_, n_old - q) || splits(t, n_new - q))) --q, moved = true;
            if (p + q > std::min(n_old, n_new)) q = std::min(n_old, n_new) - p, moved = true;
        }
        if (p == n_old && p == n_new) return;

        QTextCursor cur(document());
        cur.beginEditBlock();
        cur.setPosition(qt_pos(shown_, p));
        cur.setPosition(qt_pos(shown_, n_old - q), QTextCursor::KeepAnchor);
        cur.removeSelectedText();
        const QFont base = font_of(c);
        std::size_t i = p;
        while (i < n_new - q) {
            std::size_t j = i;
            while (j < n_new - q && f[j] == f[i]) ++j;
            QTextCharFormat cf;
            cf.setFont(base);
            cf.setForeground(text_color_on(f[i].color, c.back_color()));
            cf.setFontUnderline(f[i].underline);
            cf.setFontWeight(f[i].bold ? QFont::Bold : QFont::Normal);
            cur.insertText(qt_text(t, i, j), cf);
            i = j;
        }
        cur.endEditBlock();
        shown_ = t;
        fmts_ = f;
        ++splices_;
    }

    void sync_selection(const platform::RichTextBox& c) {
        QTextCursor cur(document());
        cur.setPosition(qt_pos(shown_, static_cast<std::size_t>(c.sel_start())));
        cur.setPosition(qt_pos(shown_, static_cast<std::size_t>(c.sel_start() + c.sel_length())),
                        QTextCursor::KeepAnchor);
        setTextCursor(cur);
        ensureCursorVisible();
    }

    // How many times the document was changed (for tests of the incremental update).
    int splices() const { return splices_; }

    // A model position to Qt's: a CR that a LF follows takes no place.
    static int qt_pos(const std::string& s, std::size_t at) {
        at = std::min(at, s.size());
        int n = 0;
        for (std::size_t i = 0; i < at; ++i)
            if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) ++n;
        return n;
    }
    int model_pos(int qt) const {
        int n = 0;
        for (std::size_t i = 0; i < shown_.size(); ++i) {
            if (n >= qt) return static_cast<int>(i);
            if (!(shown_[i] == '\r' && i + 1 < shown_.size() && shown_[i + 1] == '\n')) ++n;
        }
        return static_cast<int>(shown_.size());
    }

protected:
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton) {
            const int pos = model_pos(cursorForPosition(e->position().toPoint()).position());
            l.act([pos](platform::RichTextBox& c) {
                if (platform::accepts_input(c)) c.set_sel_start(pos);
            });
        }
        mouse.press(l, e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override { mouse.release(l, *viewport(), e); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { mouse.double_click(l, e); }
    void mouseMoveEvent(QMouseEvent* e) override { mouse.moved(l, e); }
    void keyPressEvent(QKeyEvent* e) override {
        deliver_key(l, e);
        const std::string typed = ansi(e->text());
        if (e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete) {
            const bool back = e->key() == Qt::Key_Backspace;
            l.act([back](platform::RichTextBox& c) { erase(c, back); });
        } else if (!typed.empty() && static_cast<unsigned char>(typed[0]) >= 32 && typed[0] != 0x7F) {
            l.act([typed](platform::RichTextBox& c) { c.user_type(typed); });
        }
        e->accept();
    }

    // A typing mistake is taken back as in any text box: the selection, or the character before
    // (Backspace) or after (Delete) the caret; a line break goes as one.
    static void erase(platform::RichTextBox& c, bool back) {
        if (!platform::accepts_input(c)) return;
        if (c.sel_length() == 0) {
            const std::string& t = c.text();
            const int size = static_cast<int>(t.size());
            int at = c.sel_start(), n = 1;
            if (back) {
                if (at <= 0) return;
                if (at >= 2 && t[at - 2] == '\r' && t[at - 1] == '\n') n = 2;
                at -= n;
            } else {
                if (at >= size) return;
                if (t[at] == '\r' && at + 1 < size && t[at + 1] == '\n') n = 2;
            }
            c.set_sel_start(at);
            c.set_sel_length(n);
        }
        c.set_sel_text("");
    }

private:
    static QString qt_text(const std::string& s, std::size_t from, std::size_t to) {
        std::string part;
        part.reserve(to - from);
        for (std::size_t i = from; i < to; ++i) {
            if (s[i] == '\r') {
                if (i + 1 < s.size() && s[i + 1] == '\n') continue;
                part += '\n';
            } else {
                part += s[i];
            }
        }
        return qstr(part);
    }

    std::string shown_;
    std::vector<platform::RichTextBox::Fmt> fmts_;
    int splices_ = 0;
    bool light_ground_ = true;  // an empty document reads alike on either ground
};

}  // namespace

void build_rich_text(WidgetContext& m, Binding& entry, platform::RichTextBox* x, QWidget* parent) {
    auto* w = new RichW(m, *x, parent);
    bind(m, entry, w, *x, Roles::Input, [w, x](Prop p) {
        if (p == Prop::Other || p == Prop::Text || p == Prop::TextFormat || p == Prop::BackColor) w->sync_text(*x);
        if (p == Prop::Other || p == Prop::Text || p == Prop::Selection) w->sync_selection(*x);
    });
}

}  // namespace frontend
