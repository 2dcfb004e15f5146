#include "frontend/mirror.hpp"

#include <QAbstractItemView>
#include <QFontMetricsF>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRegularExpression>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QAbstractTableModel>
#include <QTableView>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QWindow>
#include <QApplication>
#include <algorithm>
#include <cstring>

#include "frontend/boundary.hpp"
#include "frontend/convert.hpp"
#include "frontend/qt_host.hpp"
#include "platform/app.hpp"
#include "platform/controls.hpp"
#include "platform/dialog.hpp"
#include "platform/form.hpp"
#include "platform/grid.hpp"
#include "platform/menu.hpp"
#include "platform/timer.hpp"

namespace frontend {

using platform::Prop;

// Qt's decorations differ from the platform's; the model's form sizes include a frame and a
// caption of these sizes, so that the designed client area is what the controls get.
constexpr int kFrameWidthPx = 8;
constexpr int kFrameHeightPx = 27;

// The mime type that marks a drag as one of ours.
const char* const kDragMime = "application/x-tablewright-drag";

struct Mirror::Entry {
    platform::Form* form = nullptr;
    bool is_form = false;
    bool is_menu = false;
    QPointer<QWidget> widget;
    std::function<void(Prop)> apply;
    std::function<void(int, int)> rows;  // a grid's changed rows
    std::function<void()> detach;
};

namespace {

platform::Form* form_above(const platform::Control& c) {
    for (const platform::Control* k = &c; k; k = k->parent())
        if (auto* f = dynamic_cast<const platform::Form*>(k)) return const_cast<platform::Form*>(f);
    return nullptr;
}

// Keeps programmatic updates from being taken for the person's.
struct Applying {
    Mirror& m;
    explicit Applying(Mirror& mirror) : m(mirror) { ++m.applying; }
    ~Applying() { --m.applying; }
};

// Which palette roles a widget's ForeColor and BackColor go to.
enum class Roles { Window, Input, Button, None };

// White is the model's default back colour; on window-like and button-like widgets it stands
// for the desktop's own colour rather than a design choice.
constexpr platform::Color kDefaultBack = 0xFFFFFF;

void apply_colors(QWidget& w, const platform::Control& c, Roles roles) {
    if (roles == Roles::None) return;
    QPalette pal = w.palette();
    const QColor fore = qcolor(c.fore_color());
    const bool own_back = c.back_color() != kDefaultBack;
    switch (roles) {
    case Roles::Window:
        pal.setColor(QPalette::WindowText, fore);
        pal.setColor(QPalette::Text, fore);
        // Check and option boxes fill with their background role, which is not Window.
        for (QPalette::ColorRole role : {QPalette::Window, w.backgroundRole()})
            pal.setColor(role, own_back ? qcolor(c.back_color()) : QApplication::palette().color(role));
        w.setAutoFillBackground(own_back);
        break;
    case Roles::Input:
        pal.setColor(QPalette::Text, fore);
        pal.setColor(QPalette::Base, qcolor(c.back_color()));
        break;
    case Roles::Button:
        pal.setColor(QPalette::ButtonText, fore);
        pal.setColor(QPalette::WindowText, fore);
        pal.setColor(QPalette::Button,
                     own_back ? qcolor(c.back_color()) : QApplication::palette().color(QPalette::Button));
        break;
    case Roles::None: break;
    }
    // The colours above are set for every state; a disabled control keeps the desktop's disabled
    // text, so that a button out of reach looks it.
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        pal.setColor(QPalette::Disabled, role, QApplication::palette().color(QPalette::Disabled, role));
    w.setPalette(pal);
}

QFont font_of(const platform::Control& c) {
    QFont f(qstr(c.font_name()));
    if (c.font_size() > 0) f.setPointSizeF(c.font_size());
    f.setBold(c.font_bold());
    return f;
}

// Labels, images and shapes are drawn on their container, under every control that is a window
// of its own (the designed windows rely on it: a text box shown over a label hides it). Among
// themselves, and among the others, the model's order holds.
bool graphical(const platform::Control& c) {
    return dynamic_cast<const platform::Label*>(&c) || dynamic_cast<const platform::Image*>(&c) ||
           dynamic_cast<const platform::Shape*>(&c);
}

constexpr const char* kGraphical = "tw_graphical";

// The lowest sibling that is a window of its own, other than `w`.
QWidget* lowest_windowed(QWidget& w) {
    if (!w.parentWidget()) return nullptr;
    for (QObject* o : w.parentWidget()->children()) {
        auto* k = qobject_cast<QWidget*>(o);
        if (k && k != &w && !k->isWindow() && !k->property(kGraphical).toBool()) return k;
    }
    return nullptr;
}

// Raised within its layer: a graphical control to just under the windowed ones.
void raise_in_layer(QWidget& w) {
    w.raise();
    if (w.property(kGraphical).toBool())
        if (QWidget* under = lowest_windowed(w)) w.stackUnder(under);
}

// Lowered within its layer: a windowed control to just over the graphical ones.
void lower_in_layer(QWidget& w) {
    if (w.property(kGraphical).toBool()) {
        w.lower();
        return;
    }
    if (QWidget* under = lowest_windowed(w)) w.stackUnder(under);
    else w.raise();
}

void apply_common(Mirror& m, QWidget& w, platform::Control& c, Prop p, Roles roles) {
    const int t = m.tpp();
    const bool all = p == Prop::Other;
    if (all || p == Prop::Left || p == Prop::Top || p == Prop::Width || p == Prop::Height)
        w.setGeometry(px(c.left(), t), px(c.top(), t), std::max(0, px(c.width(), t)), std::max(0, px(c.height(), t)));
    if (all || p == Prop::Visible) w.setVisible(c.visible());
    if (all || p == Prop::Enabled) w.setEnabled(c.enabled());
    if (all || p == Prop::ForeColor || p == Prop::BackColor) apply_colors(w, c, roles);
    if (all || p == Prop::FontName || p == Prop::FontBold || p == Prop::FontSize) w.setFont(font_of(c));
    if (all || p == Prop::ToolTip) w.setToolTip(qstr(c.tool_tip_text()));
    if (p == Prop::ZOrder && c.parent()) {
        const auto& kids = c.parent()->children();
        if (!kids.empty() && kids.back() == &c) raise_in_layer(w);
        else if (!kids.empty() && kids.front() == &c) lower_in_layer(w);
        else {
            for (auto* k : kids)
                if (auto* kw = m.widget(*k)) raise_in_layer(*kw);
        }
    }
}

// --- the shared parts of every mirrored widget ---------------------------------------------

template <class C>
struct Link {
    Mirror& m;
    C* c;
    Link(Mirror& mirror, C& control) : m(mirror), c(&control) {}

    template <class F>
    void act(F f) {
        if (!c || !m.alive(c)) return;
        C* ctl = c;
        m.deliver([ctl, f] { f(*ctl); });
    }
    double tw(double pixels) const { return twips(pixels, m.tpp()); }
};

template <class C>
void deliver_key(Link<C>& l, QKeyEvent* e) {
    const int vk = vk_of(*e);
    const int shift = shift_of(e->modifiers());
    l.act([vk, shift, e](C& c) {
        platform::Form* f = form_above(c);
        if (vk && f) f->user_key_down(vk, shift);
        if constexpr (requires { c.user_key_press(0); }) {
            // Characters cp1252 cannot spell are not typed.
            const QString text = e->text();
            const std::string typed = ansi(text);
            if (text.size() == 1 && typed.size() == 1 && (typed != "?" || text == "?") && typed[0] != 0x7F)
                c.user_key_press(static_cast<unsigned char>(typed[0]));
        }
    });
}

template <class C>
void deliver_focus_in(Link<C>& l) {
    l.act([](C& c) {
        if (platform::Form* f = form_above(c)) f->set_focus(c);
        if constexpr (requires { c.user_got_focus(); }) c.user_got_focus();
    });
}

template <class C>
void deliver_focus_out(Link<C>& l) {
    l.act([](C& c) {
        if constexpr (requires { c.user_lost_focus(); }) c.user_lost_focus();
    });
}

// A widget that shows the control C: the control's focus reaches the model the same way,
// whichever Qt widget shows it.
template <class QtBase, class C>
class ControlW : public QtBase {
public:
    ControlW(Mirror& m, C& c, QWidget* parent) : QtBase(parent), l(m, c) {}
    Link<C> l;

protected:
    void focusInEvent(QFocusEvent* e) override {
        QtBase::focusInEvent(e);
        deliver_focus_in(l);
    }
    void focusOutEvent(QFocusEvent* e) override {
        QtBase::focusOutEvent(e);
        deliver_focus_out(l);
    }
};

// Press, release, double click and move as the platform raises them: MouseDown on the press;
// Click (for a left press released over the control) and MouseUp on the release; DblClick in
// place of the second press, whose release gives MouseUp only.
template <class C>
struct Mouse {
    bool after_double = false;
    bool pressed_left = false;

    static void down(C& c, int b, int s, double x, double y) {
        if constexpr (requires { c.user_mouse_down(b, s, x, y); }) c.user_mouse_down(b, s, x, y);
        else if (platform::accepts_input(c)) c.MouseDown(b, s, x, y);
    }
    static void up(C& c, int b, int s, double x, double y) {
        if constexpr (requires { c.user_mouse_up(b, s, x, y); }) c.user_mouse_up(b, s, x, y);
        else if (platform::accepts_input(c)) c.MouseUp(b, s, x, y);
    }
    static void move(C& c, int b, int s, double x, double y) {
        if constexpr (requires { c.user_mouse_move(b, s, x, y); }) c.user_mouse_move(b, s, x, y);
        else if (platform::accepts_input(c)) c.MouseMove(b, s, x, y);
    }

    void press(Link<C>& l, QMouseEvent* e) {
        const int b = button_of(e->button());
        if (!b) return;
        const int s = shift_of(e->modifiers());
        const double x = l.tw(e->position().x()), y = l.tw(e->position().y());
        after_double = false;
        pressed_left = b == 1;
        l.act([=](C& c) { down(c, b, s, x, y); });
    }
    void release(Link<C>& l, QWidget& w, QMouseEvent* e) {
        const int b = button_of(e->button());
        if (!b) return;
        const int s = shift_of(e->modifiers());
        const double x = l.tw(e->position().x()), y = l.tw(e->position().y());
        const bool click = b == 1 && pressed_left && !after_double && w.rect().contains(e->position().toPoint());
        after_double = false;
        pressed_left = false;
        l.act([=](C& c) {
            if constexpr (requires { c.Click(); })
                if (click && platform::accepts_input(c)) c.Click();
            up(c, b, s, x, y);
        });
    }
    void double_click(Link<C>& l, QMouseEvent* e) {
        if (e->button() != Qt::LeftButton) return press(l, e);
        after_double = true;
        pressed_left = true;
        l.act([](C& c) {
            if constexpr (requires { c.DblClick(); })
                if (platform::accepts_input(c)) c.DblClick();
        });
    }
    void moved(Link<C>& l, QMouseEvent* e) {
        const int b = buttons_mask(e->buttons());
        const int s = shift_of(e->modifiers());
        const double x = l.tw(e->position().x()), y = l.tw(e->position().y());
        l.act([=](C& c) { move(c, b, s, x, y); });
    }
};

// --- labels --------------------------------------------------------------------------------

class LabelW : public QLabel {
public:
    LabelW(Mirror& m, platform::Label& c, QWidget* parent) : QLabel(parent), l(m, c) {
        setTextFormat(Qt::PlainText);
        setWordWrap(true);
        setAlignment(Qt::AlignLeft | Qt::AlignTop);
        setMouseTracking(bool(c.MouseMove));
    }
    Link<platform::Label> l;
    Mouse<platform::Label> mouse;

    // This desktop's fonts are not the designed ones and are often wider: a word that would
    // not fit the label's width, or lines that would not fit its height, get a smaller font
    // rather than being cut off. A label one line high has no second line to wrap into: there
    // the whole caption, and the line's height, must fit.
    void fit(const QFont& designed) {
        QFont f = designed;
        const QRect room = contentsRect();
        if (room.width() > 0 && f.pointSizeF() > 0) {
            const bool one_line = room.height() < 2 * QFontMetricsF(designed).lineSpacing();
            const double size = f.pointSizeF();
            for (double scale = 1.0; scale > 0.55; scale -= 0.05) {
                f.setPointSizeF(size * scale);
                const QFontMetricsF fm(f);
                if (!one_line && widest_word(f) <= room.width() &&
                    fm.boundingRect(QRectF(0, 0, room.width(), 1e6), Qt::TextWordWrap, text()).height() <=
                        room.height() + 1)
                    break;
                if (one_line && fm.horizontalAdvance(text()) <= room.width() && fm.height() <= room.height() + 1) break;
            }
        }
        if (font() != f) setFont(f);
    }

private:
    double widest_word(const QFont& f) const {
        const QFontMetricsF fm(f);
        double widest = 0;
        for (const QString& word : text().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
            widest = std::max(widest, fm.horizontalAdvance(word));
        return widest;
    }

protected:
    void mousePressEvent(QMouseEvent* e) override { mouse.press(l, e); }
    void mouseReleaseEvent(QMouseEvent* e) override { mouse.release(l, *this, e); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { mouse.double_click(l, e); }
    void mouseMoveEvent(QMouseEvent* e) override { mouse.moved(l, e); }
};

// --- text boxes ----------------------------------------------------------------------------

// Qt's line breaks to the model's CR LF.
std::string model_lines(const QString& s) {
    std::string a = ansi(s), out;
    out.reserve(a.size());
    for (char ch : a) {
        if (ch == '\n') out += "\r\n";
        else out += ch;
    }
    return out;
}

// Keys of a text box reach the model the same way whichever Qt widget shows it.
template <class QtBase>
class TextInput : public ControlW<QtBase, platform::TextBox> {
public:
    using ControlW<QtBase, platform::TextBox>::ControlW;
    using ControlW<QtBase, platform::TextBox>::l;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        deliver_key(l, e);
        QtBase::keyPressEvent(e);
        e->accept();
    }
};

class LineW : public TextInput<QLineEdit> {
public:
    LineW(Mirror& m, platform::TextBox& c, QWidget* parent) : TextInput(m, c, parent) {
        connect(this, &QLineEdit::textEdited, [this](const QString& t) {
            std::string text = ansi(t);
            l.act([text](platform::TextBox& c) { c.user_edit(text); });
        });
    }

protected:
    void mouseReleaseEvent(QMouseEvent* e) override {
        QLineEdit::mouseReleaseEvent(e);
        if (e->button() == Qt::LeftButton) l.act([](platform::TextBox& c) { c.user_click(); });
    }
};

class PlainW : public TextInput<QPlainTextEdit> {
public:
    PlainW(Mirror& m, platform::TextBox& c, QWidget* parent) : TextInput(m, c, parent) {
        connect(this, &QPlainTextEdit::textChanged, [this] {
            if (l.m.applying) return;
            std::string text = model_lines(toPlainText());
            l.act([text](platform::TextBox& c) { c.user_edit(text); });
        });
    }
};

// --- rich text -----------------------------------------------------------------------------

// Shows the model's text and formats, changing only the stretch that differs from what it
// shows: appending a line appends. CR LF is one line break in Qt, so positions are mapped.
class RichW : public ControlW<QTextEdit, platform::RichTextBox> {
public:
    RichW(Mirror& m, platform::RichTextBox& c, QWidget* parent) : ControlW(m, c, parent) {
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

// --- lists ---------------------------------------------------------------------------------

// Replaces only the items that differ from what is shown.
void splice_items(QListWidget& w, std::vector<std::string>& shown, const std::vector<std::string>& items,
                  int row_px) {
    std::size_t p = 0;
    while (p < shown.size() && p < items.size() && shown[p] == items[p]) ++p;
    std::size_t q = 0;
    while (q < shown.size() - p && q < items.size() - p &&
           shown[shown.size() - 1 - q] == items[items.size() - 1 - q])
        ++q;
    for (std::size_t k = shown.size() - q; k > p; --k) delete w.takeItem(static_cast<int>(k - 1));
    for (std::size_t k = p; k < items.size() - q; ++k) {
        auto* it = new QListWidgetItem(qstr(items[k]));
        it->setSizeHint(QSize(0, row_px));
        w.insertItem(static_cast<int>(k), it);
    }
    // The same splice on the copy: copying the whole list per added item would make filling
    // a long list quadratic.
    const auto from = static_cast<std::ptrdiff_t>(p);
    shown.erase(shown.begin() + from, shown.end() - static_cast<std::ptrdiff_t>(q));
    shown.insert(shown.begin() + from, items.begin() + from, items.end() - static_cast<std::ptrdiff_t>(q));
}

template <class C>
class ListW : public QListWidget {
public:
    ListW(Mirror& m, C& c, QWidget* parent) : QListWidget(parent), l(m, c) {
        setUniformItemSizes(true);
        setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        setSelectionMode(QAbstractItemView::SingleSelection);
        setMouseTracking(bool(c.MouseMove));
        if constexpr (requires { c.OLEDragDrop; }) setAcceptDrops(bool(c.OLEDragDrop));
        connect(verticalScrollBar(), &QScrollBar::valueChanged, [this](int v) {
            if (l.m.applying) return;
            if constexpr (requires { l.c->set_top_index(0); })
                l.act([v](C& c) { c.set_top_index(v); });
        });
    }
    Link<C> l;
    Mouse<C> mouse;
    std::vector<std::string> shown;

    void sync(C& c, Prop p) {
        const int row_px = std::max(1, platform::ListBox::item_height_twips / std::max(1, l.m.tpp()));
        const bool all = p == Prop::Other;
        if (all || p == Prop::Items) splice_items(*this, shown, c.items(), row_px);
        if ((all || p == Prop::Items || p == Prop::ListIndex) && currentRow() != c.list_index()) {
            QSignalBlocker block(this);
            if (c.list_index() < 0) {
                clearSelection();
                setCurrentRow(-1);
            } else {
                setCurrentRow(c.list_index());
            }
        }
        if constexpr (requires { c.top_index(); }) {
            if ((all || p == Prop::Items || p == Prop::TopIndex) && verticalScrollBar()->value() != c.top_index())
                verticalScrollBar()->setValue(c.top_index());
        }
    }

protected:
    int row_at(C& c, double y_twips) {
        if constexpr (requires { c.index_at(0.0); }) return c.index_at(y_twips);
        QListWidgetItem* it = itemAt(QPoint(1, static_cast<int>(y_twips / l.m.tpp())));
        return it ? row(it) : -1;
    }
    static void select(C& c, int r) {
        if (r < 0 || r >= c.list_count() || !platform::accepts_input(c)) return;
        if (c.list_index() != r) c.set_list_index(r);  // Click on change
        else c.Click();                                // a user's choice clicks again
    }

    void mousePressEvent(QMouseEvent* e) override {
        setFocus(Qt::MouseFocusReason);
        press_at_ = e->position().toPoint();
        drag_started_ = false;
        mouse.press(l, e);
        if (e->button() == Qt::LeftButton) {
            const double y = l.tw(e->position().y());
            l.act([this, y](C& c) { select(c, row_at(c, y)); });
        }
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        // The selection's Click came with the press.
        const int b = button_of(e->button());
        if (!b) return;
        const int s = shift_of(e->modifiers());
        const double x = l.tw(e->position().x()), y = l.tw(e->position().y());
        mouse.after_double = false;
        l.act([=](C& c) { Mouse<C>::up(c, b, s, x, y); });
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override { mouse.double_click(l, e); }
    void mouseMoveEvent(QMouseEvent* e) override {
        if constexpr (requires { l.c->user_drag(); }) {
            if ((e->buttons() & Qt::LeftButton) && !drag_started_ && l.c && l.c->ole_drag_automatic() &&
                (e->position().toPoint() - press_at_).manhattanLength() >= QApplication::startDragDistance()) {
                drag_started_ = true;
                l.act([](C& c) { c.user_drag(); });
                return;
            }
        }
        mouse.moved(l, e);
    }
    void keyPressEvent(QKeyEvent* e) override {
        deliver_key(l, e);
        const int key = e->key();
        l.act([key](C& c) {
            int r = c.list_index();
            const int n = c.list_count();
            if (n == 0) return;
            switch (key) {
            case Qt::Key_Up: r = std::max(0, r - 1); break;
            case Qt::Key_Down: r = std::min(n - 1, r + 1); break;
            case Qt::Key_Home: r = 0; break;
            case Qt::Key_End: r = n - 1; break;
            default: return;
            }
            if (r != c.list_index() && platform::accepts_input(c)) c.set_list_index(r);
        });
        e->accept();
    }
    // A list's control is a template parameter, so it keeps its own focus relay rather than
    // reaching every QListWidget member through a dependent base.
    void focusInEvent(QFocusEvent* e) override {
        QListWidget::focusInEvent(e);
        deliver_focus_in(l);
    }
    void dragEnterEvent(QDragEnterEvent* e) override {
        if (e->mimeData()->hasFormat(kDragMime) && l.m.host().dragging()) e->acceptProposedAction();
    }
    void dragMoveEvent(QDragMoveEvent* e) override {
        if (e->mimeData()->hasFormat(kDragMime) && l.m.host().dragging()) e->acceptProposedAction();
    }
    void dropEvent(QDropEvent* e) override {
        if (!l.c || !e->mimeData()->hasFormat(kDragMime)) return;
        l.m.host().note_drop(*l.c, l.tw(e->position().x()), l.tw(e->position().y()),
                             shift_of(e->modifiers()));
        e->acceptProposedAction();
    }

private:
    QPoint press_at_;
    bool drag_started_ = false;
};

class ComboW : public ControlW<QComboBox, platform::ComboBox> {
public:
    ComboW(Mirror& m, platform::ComboBox& c, QWidget* parent) : ControlW(m, c, parent) {
        connect(this, &QComboBox::activated, [this](int i) {
            l.act([i](platform::ComboBox& c) { c.user_select(i); });
            if (l.c) sync(*l.c, Prop::ListIndex);
        });
    }
    std::vector<std::string> shown;

    void sync(platform::ComboBox& c, Prop p) {
        QSignalBlocker block(this);
        if (p == Prop::Other || p == Prop::Items) {
            if (shown != c.items()) {
                clear();
                for (const auto& s : c.items()) addItem(qstr(s));
                shown = c.items();
            }
        }
        setCurrentIndex(c.list_index());
    }

protected:
    void keyPressEvent(QKeyEvent* e) override {
        deliver_key(l, e);
        QComboBox::keyPressEvent(e);
        e->accept();  // delivered once, not again by the window
    }
};

// --- buttons -------------------------------------------------------------------------------

template <class Base, class C>
class ButtonW : public ControlW<Base, C> {
public:
    using ControlW<Base, C>::l;
    ButtonW(Mirror& m, C& c, QWidget* parent) : ControlW<Base, C>(m, c, parent) {
        QObject::connect(this, &QAbstractButton::clicked, [this] {
            l.act([](C& c) { c.user_click(); });
            // The model decides the state; Qt's own toggle is undone.
            if (l.c && on_click) on_click();
        });
    }
    std::function<void()> on_click;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        deliver_key(l, e);
        Base::keyPressEvent(e);
        e->accept();  // delivered once, not again by the window
    }
};

// --- painted controls ----------------------------------------------------------------------

void paint_picture_op(QPainter& g, Mirror& m, const platform::PaintOp& op) {
    if (!op.picture) return;
    QImage img = m.image_of(op.picture);
    if (img.isNull()) return;
    const int t = m.tpp();
    if (op.source) {
        // The source rectangle is in the (unturned) picture's twips.
        QRect src(px(op.source->x, t), px(op.source->y, t), px(op.source->width, t), px(op.source->height, t));
        img = img.copy(src.normalized());
    }
    if (op.quarter_turn_cw) img = img.transformed(QTransform().rotate(90));
    QRectF dst(op.x / t, op.y / t, op.width / t, op.height / t);
    g.drawImage(dst.normalized(), img);
}

template <class C>
class PaintW : public QWidget {
public:
    PaintW(Mirror& m, C& c, QWidget* parent) : QWidget(parent), l(m, c) {
        if constexpr (requires { c.MouseMove; }) setMouseTracking(bool(c.MouseMove));
        if constexpr (requires { c.OLEDragDrop; }) setAcceptDrops(bool(c.OLEDragDrop));
    }
    Link<C> l;
    Mouse<C> mouse;

protected:
    void paintEvent(QPaintEvent*) override {
        if (!l.c) return;
        QPainter g(this);
        C& c = *l.c;
        if constexpr (std::is_same_v<C, platform::Shape>) {
            g.setRenderHint(QPainter::Antialiasing);
            g.setPen(QPen(qcolor(c.border_color()), 1));
            QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
            using K = platform::ShapeKind;
            if (c.shape() == K::Square || c.shape() == K::Circle || c.shape() == K::RoundedSquare) {
                const double side = std::min(r.width(), r.height());
                r = QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
            }
            switch (c.shape()) {
            case K::Oval: case K::Circle: g.drawEllipse(r); break;
            case K::RoundedRectangle: case K::RoundedSquare: g.drawRoundedRect(r, 6, 6); break;
            default: g.drawRect(r); break;
            }
        } else {
            if constexpr (std::is_same_v<C, platform::PictureBox>) g.fillRect(rect(), qcolor(c.back_color()));
            if (c.picture()) {
                QImage img = l.m.image_of(c.picture());
                // A picture that serves as a button has no look of its own for "out of reach".
                if constexpr (std::is_same_v<C, platform::Image>) {
                    if (!c.enabled()) {
                        img = img.convertToFormat(QImage::Format_Grayscale8);
                        g.setOpacity(0.45);
                    }
                }
                g.drawImage(QPoint(0, 0), img);
                g.setOpacity(1.0);
            }
            if constexpr (requires { c.display_list(); })
                for (const auto& op : c.display_list()) paint_picture_op(g, l.m, op);
        }
    }
    void mousePressEvent(QMouseEvent* e) override {
        if constexpr (!std::is_same_v<C, platform::Shape>) mouse.press(l, e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if constexpr (!std::is_same_v<C, platform::Shape>) mouse.release(l, *this, e);
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        // These controls have no DblClick: the second press is a press.
        if constexpr (!std::is_same_v<C, platform::Shape>) mouse.press(l, e);
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if constexpr (!std::is_same_v<C, platform::Shape>) mouse.moved(l, e);
    }
    void dragEnterEvent(QDragEnterEvent* e) override {
        if (e->mimeData()->hasFormat(kDragMime) && l.m.host().dragging()) e->acceptProposedAction();
    }
    void dragMoveEvent(QDragMoveEvent* e) override {
        if (e->mimeData()->hasFormat(kDragMime) && l.m.host().dragging()) e->acceptProposedAction();
    }
    void dropEvent(QDropEvent* e) override {
        if (!l.c || !e->mimeData()->hasFormat(kDragMime)) return;
        l.m.host().note_drop(*l.c, l.tw(e->position().x()), l.tw(e->position().y()), shift_of(e->modifiers()));
        e->acceptProposedAction();
    }
};

// --- the grid ------------------------------------------------------------------------------

Qt::Alignment qt_align(platform::Align a, bool number) {
    using A = platform::Align;
    switch (a) {
    case A::LeftTop: return Qt::AlignLeft | Qt::AlignTop;
    case A::LeftCenter: return Qt::AlignLeft | Qt::AlignVCenter;
    case A::LeftBottom: return Qt::AlignLeft | Qt::AlignBottom;
    case A::CenterTop: return Qt::AlignHCenter | Qt::AlignTop;
    case A::CenterCenter: return Qt::AlignCenter;
    case A::CenterBottom: return Qt::AlignHCenter | Qt::AlignBottom;
    case A::RightTop: return Qt::AlignRight | Qt::AlignTop;
    case A::RightCenter: return Qt::AlignRight | Qt::AlignVCenter;
    case A::RightBottom: return Qt::AlignRight | Qt::AlignBottom;
    case A::General: break;
    }
    return (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

// The grid's cells as Qt's table model over the platform grid: the view asks only for the cells
// it shows, when it paints them, and the grid's changes arrive as ranges of rows.
class GridModel : public QAbstractTableModel {
public:
    GridModel(Link<platform::Grid>& l, QObject* parent) : QAbstractTableModel(parent), l_(l) {}

    int rowCount(const QModelIndex& p = {}) const override { return p.isValid() ? 0 : rows_; }
    int columnCount(const QModelIndex& p = {}) const override { return p.isValid() ? 0 : cols_; }

    QVariant data(const QModelIndex& at, int role) const override {
        const platform::Grid* g = grid(at);
        if (!g) return {};
        const int r = at.row(), k = at.column();
        switch (role) {
        case Qt::DisplayRole: return qstr(std::string(g->text_view(r, k)));
        case Qt::TextAlignmentRole: {
            const platform::Align a = g->cell_alignment_at(r, k);
            bool number = false;
            if (a == platform::Align::General) qstr(std::string(g->text_view(r, k))).toDouble(&number);
            return QVariant::fromValue(qt_align(a == platform::Align::General ? g->col_alignment(k) : a, number));
        }
        case Qt::FontRole: return g->cell_bold_at(r, k) ? QVariant(bold_) : QVariant();
        case Qt::BackgroundRole:
            return fixed(*g, r, k) ? QVariant(QBrush(QApplication::palette().color(QPalette::Button))) : QVariant();
        default: return {};
        }
    }

    // A caption cell is never shown selected, even while it is the current cell.
    Qt::ItemFlags flags(const QModelIndex& at) const override {
        const platform::Grid* g = grid(at);
        if (!g) return Qt::NoItemFlags;
        return fixed(*g, at.row(), at.column()) ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    }

    // The grid's row and column counts as they are now.
    void follow_counts(const platform::Grid& g) {
        if (g.cols() != cols_) {
            beginResetModel();
            rows_ = g.rows();
            cols_ = g.cols();
            endResetModel();
        } else if (g.rows() > rows_) {
            beginInsertRows({}, rows_, g.rows() - 1);
            rows_ = g.rows();
            endInsertRows();
        } else if (g.rows() < rows_) {
            beginRemoveRows({}, g.rows(), rows_ - 1);
            rows_ = g.rows();
            endRemoveRows();
        }
    }

    void rows_changed(int first, int last) {
        first = std::max(first, 0);
        last = std::min(last, rows_ - 1);
        if (first <= last && cols_ > 0) emit dataChanged(index(first, 0), index(last, cols_ - 1));
    }

    void set_font(const QFont& plain) {
        bold_ = plain;
        bold_.setBold(true);
    }

private:
    const platform::Grid* grid(const QModelIndex& at) const {
        const platform::Grid* g = l_.c;
        if (!g || !at.isValid() || at.row() >= g->rows() || at.column() >= g->cols()) return nullptr;
        return g;
    }
    static bool fixed(const platform::Grid& g, int r, int k) { return r < g.fixed_rows() || k < g.fixed_cols(); }

    Link<platform::Grid>& l_;
    int rows_ = 0, cols_ = 0;
    QFont bold_;
};

class GridW : public ControlW<QTableView, platform::Grid> {
public:
    GridW(Mirror& m, platform::Grid& c, QWidget* parent) : ControlW(m, c, parent), model_(l, this) {
        setModel(&model_);
        horizontalHeader()->hide();
        verticalHeader()->hide();
        verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        verticalHeader()->setDefaultSectionSize(16);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setSelectionMode(QAbstractItemView::SingleSelection);
    }

    void sync(platform::Grid& c, Prop p) {
        const bool all = p == Prop::Other || p == Prop::Cells;
        const bool font = p == Prop::FontName || p == Prop::FontBold || p == Prop::FontSize;
        // With Redraw off the program fills the grid cell by cell; the grid keeps the rows it
        // changed and tells them once Redraw is back on, when this is shown.
        if (!c.redraw()) {
            if (all || font) stale_ = true;
            if (updatesEnabled()) setUpdatesEnabled(false);
            return;
        }
        if (all || font || stale_) {
            model_.set_font(font_of(c));
            model_.follow_counts(c);
            model_.rows_changed(0, c.rows() - 1);
            for (int k = 0; k < c.cols(); ++k) {
                const int w = std::max(0, px(c.col_width(k), l.m.tpp()));
                if (columnWidth(k) != w) setColumnWidth(k, w);
            }
        }
        show_current(c);
        stale_ = false;
        if (!updatesEnabled()) setUpdatesEnabled(true);
    }

    // The grid's rows first to last changed (and perhaps its row count).
    void rows(platform::Grid& c, int first, int last) {
        model_.follow_counts(c);
        model_.rows_changed(first, last);
        show_current(c);
    }

private:
    void show_current(platform::Grid& c) {
        QSignalBlocker block(this);
        if (c.row() < model_.rowCount() && c.col() < model_.columnCount()) {
            const QModelIndex at = model_.index(c.row(), c.col());
            if (currentIndex() != at) setCurrentIndex(at);
        }
    }

    GridModel model_;
    bool stale_ = false;

protected:
    void mousePressEvent(QMouseEvent* e) override {
        setFocus(Qt::MouseFocusReason);
        if (e->button() != Qt::LeftButton) return;
        QModelIndex at = indexAt(e->position().toPoint());
        if (!at.isValid()) return;
        const int r = at.row(), k = at.column();
        l.act([r, k](platform::Grid& c) { c.user_click(r, k); });
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton) return;
        l.act([](platform::Grid& c) {
            if (platform::accepts_input(c)) c.DblClick();
        });
    }
    void mouseReleaseEvent(QMouseEvent*) override {}
    void mouseMoveEvent(QMouseEvent*) override {}
    void keyPressEvent(QKeyEvent* e) override {
        deliver_key(l, e);
        e->accept();
    }
};

// --- folders -------------------------------------------------------------------------------

class DirW : public QListWidget {
public:
    DirW(Mirror& m, platform::DirListBox& c, QWidget* parent) : QListWidget(parent), l(m, c) {
        connect(this, &QListWidget::itemDoubleClicked, [this](QListWidgetItem* it) {
            if (!l.c) return;
            std::filesystem::path to = it->data(Qt::UserRole).toString().toStdString();
            l.act([to](platform::DirListBox& c) { c.user_open(to); });
        });
    }
    Link<platform::DirListBox> l;

    void sync(platform::DirListBox& c) {
        clear();
        const auto here = c.path();
        if (here.has_parent_path() && here != here.root_path()) {
            auto* up = new QListWidgetItem(QStringLiteral(".."));
            up->setData(Qt::UserRole, QString::fromStdString(here.parent_path().string()));
            addItem(up);
        }
        for (const auto& name : c.folders()) {
            auto* it = new QListWidgetItem(qpath(name));
            it->setData(Qt::UserRole, QString::fromStdString((here / name).string()));
            addItem(it);
        }
    }
};

// --- forms ---------------------------------------------------------------------------------

class ClientArea : public QWidget {
public:
    ClientArea(Mirror& m, platform::Form& f, QWidget* parent) : QWidget(parent), m_(m), f_(&f) {}
    Mirror& m_;
    platform::Form* f_;

protected:
    void mouseMoveEvent(QMouseEvent* e) override {
        if (!f_ || !m_.alive(f_)) return;
        platform::Form* f = f_;
        const int b = buttons_mask(e->buttons()), s = shift_of(e->modifiers());
        const double x = twips(e->position().x(), m_.tpp()), y = twips(e->position().y(), m_.tpp());
        m_.deliver([=] { f->user_mouse_move(b, s, x, y); });
    }
};

}  // namespace

namespace {

// Whether a window of the program is on the screen; a zero-size one is no window to a person.
bool any_window_shown(const platform::App& app) {
    for (const platform::Form* f : app.forms())
        if (f->loaded() && f->visible() && f->width() > 0 && f->height() > 0) return true;
    return false;
}

bool any_form_loaded(const platform::App& app) {
    for (const platform::Form* f : app.forms())
        if (f->loaded()) return true;
    return false;
}

}  // namespace

class FormWindow : public QWidget {
public:
    FormWindow(Mirror& m, platform::Form& f) : QWidget(nullptr), m_(m), f_(&f) {
        setAttribute(Qt::WA_DeleteOnClose, false);
        setFocusPolicy(Qt::StrongFocus);
        client = new ClientArea(m, f, this);
        client->setMouseTracking(bool(f.MouseMove));
    }
    Mirror& m_;
    platform::Form* f_;
    QMenuBar* bar = nullptr;
    ClientArea* client = nullptr;
    std::map<platform::Menu*, QPointer<QMenu>> menus;

    int bar_height() const { return bar && !bar->isHidden() ? bar->sizeHint().height() : 0; }
    void layout_inside() {
        const int h = bar_height();
        if (bar) bar->setGeometry(0, 0, width(), h);
        client->setGeometry(0, h, width(), std::max(0, height() - h));
    }
    bool framed() const { return f_ && f_->border_style() != platform::BorderStyle::None; }
    void detach() {
        f_ = nullptr;
        client->f_ = nullptr;
    }

protected:
    void resizeEvent(QResizeEvent* e) override {
        QWidget::resizeEvent(e);
        layout_inside();
        if (!f_ || m_.applying || !e->spontaneous()) return;
        platform::Form* f = f_;
        const int t = m_.tpp();
        const int fw = framed() ? kFrameWidthPx : 0, fh = framed() ? kFrameHeightPx : 0;
        const double w = twips(width() + fw, t), h = twips(height() + fh, t);
        m_.deliver([=] { f->user_resize(w, h); });
    }
    void moveEvent(QMoveEvent* e) override {
        QWidget::moveEvent(e);
        if (!f_ || m_.applying || !e->spontaneous()) return;
        platform::Form* f = f_;
        const QPoint at = frameGeometry().topLeft();
        const int t = m_.tpp();
        m_.deliver([=] { f->move(twips(at.x(), t), twips(at.y(), t)); });
    }
    void changeEvent(QEvent* e) override {
        QWidget::changeEvent(e);
        if (e->type() != QEvent::ActivationChange || !f_ || !isActiveWindow()) return;
        platform::Form* f = f_;
        m_.deliver([f] { f->user_activate(); });
    }
    void closeEvent(QCloseEvent* e) override {
        // The model decides: an unloaded form takes its window with it.
        e->ignore();
        if (!f_) return;
        platform::Form* f = f_;
        platform::App* app = &m_.app();
        m_.deliver([f, app] {
            f->unload();
            // A program whose last window the person closed must not run on unseen, holding
            // hidden windows (a later start would then meet it as "already running").
            if (!any_window_shown(*app) && any_form_loaded(*app)) app->end();
        });
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (!f_) return;
        platform::Form* f = f_;
        const int vk = vk_of(*e), s = shift_of(e->modifiers());
        if (vk) m_.deliver([=] { f->user_key_down(vk, s); });
        e->accept();
    }
};

// --- the mirror ----------------------------------------------------------------------------

Mirror::Mirror(platform::App& app, QtHost& host) : app_(app), host_(host) {
    app_.observer = this;
    host_.set_mirror(this);
    host_.boundary().app = &app_;
    pending_timer_.setSingleShot(true);
    QObject::connect(&pending_timer_, &QTimer::timeout, [this] { flush_pending(); });
    menu_timer_.setSingleShot(true);
    QObject::connect(&menu_timer_, &QTimer::timeout, [this] {
        auto dirty = std::move(menus_dirty_);
        menus_dirty_.clear();
        for (auto* f : dirty)
            if (alive(f)) rebuild_menu_bar(*f);
    });
    // Forms loaded before the mirror existed.
    for (auto* f : app_.forms()) {
        if (f->loaded() && !f->own_observer()) {
            f->set_observer(this);
            created(*f);
        }
    }
}

Mirror::~Mirror() {
    if (app_.observer == this) app_.observer = nullptr;
    if (host_.mirror() == this) host_.set_mirror(nullptr);
    for (auto* f : app_.forms())
        if (f->own_observer() == this) f->set_observer(nullptr);
    for (auto& [c, e] : entries_) {
        if (e->detach) e->detach();
        if (e->is_form && e->widget) delete e->widget.data();
    }
}

Boundary& Mirror::boundary() const { return host_.boundary(); }

int Mirror::tpp() const { return host_.twips_per_pixel(); }

void Mirror::deliver(const std::function<void()>& fn) const { boundary().call(fn, true); }

bool Mirror::alive(const platform::Control* c) const { return c && entries_.count(c) != 0; }

QWidget* Mirror::widget(const platform::Control& c) const {
    auto it = entries_.find(&c);
    return it == entries_.end() ? nullptr : it->second->widget.data();
}

QWidget* Mirror::client_area(const platform::Form& f) const {
    auto* w = dynamic_cast<FormWindow*>(widget(f));
    return w ? w->client : nullptr;
}

QMenuBar* Mirror::menu_bar(const platform::Form& f) const {
    auto* w = dynamic_cast<FormWindow*>(widget(f));
    return w ? w->bar : nullptr;
}

platform::Form* Mirror::form_of(const platform::Control& c) const { return form_above(c); }

void Mirror::created(platform::Control& c) {
    // A form announces itself once complete; any other control while its constructor has only
    // begun, so it is built later.
    if (c.parent() == nullptr) {
        if (auto* f = dynamic_cast<platform::Form*>(&c)) build_form(*f);
        return;
    }
    pending_.insert(&c);
    if (!pending_timer_.isActive()) pending_timer_.start(0);
}

void Mirror::flush_pending() {
    while (!pending_.empty()) {
        platform::Control* c = *pending_.begin();
        pending_.erase(pending_.begin());
        build(*c);
    }
}

void Mirror::destroyed(platform::Control& c) {
    // Called while c is being torn down: only its address may be used.
    pending_.erase(&c);
    auto it = entries_.find(&c);
    if (it == entries_.end()) return;
    if (it->second->is_form) {
        drop_form(*it->second->form);
        return;
    }
    std::unique_ptr<Entry> e = std::move(it->second);
    entries_.erase(it);
    if (e->detach) e->detach();
    if (e->is_menu && e->form && alive(e->form)) schedule_menu_rebuild(*e->form);
    if (e->widget) {
        e->widget->hide();
        e->widget->deleteLater();
    }
}

void Mirror::drop_form(platform::Form& f) {
    QPointer<QWidget> window;
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it->second->form == &f) {
            if (it->second->detach) it->second->detach();
            if (it->second->is_form) window = it->second->widget;
            it = entries_.erase(it);
        } else {
            ++it;
        }
    }
    menus_dirty_.erase(&f);
    // The window may be the one whose event handler is running now.
    if (window) {
        window->hide();
        window->deleteLater();
    }
}

void Mirror::build_form(platform::Form& f) {
    if (entries_.count(&f)) return;
    auto* w = new FormWindow(*this, f);
    auto e = std::make_unique<Entry>();
    e->form = &f;
    e->is_form = true;
    e->widget = w;
    e->detach = [w = QPointer<FormWindow>(w)] {
        if (w) w->detach();
    };
    e->apply = [this, &f](Prop p) { apply_form(f, p); };
    entries_[&f] = std::move(e);
    build_tree(f, f);
    {
        Applying quiet(*this);
        apply_form(f, Prop::Other);
    }
    rebuild_menu_bar(f);
}

void Mirror::build_tree(platform::Container& k, platform::Form& f) {
    for (auto* c : k.children()) {
        pending_.erase(c);
        build(*c);
        if (auto* sub = dynamic_cast<platform::Container*>(c)) build_tree(*sub, f);
    }
}

void Mirror::build(platform::Control& c) {
    if (entries_.count(&c)) return;
    platform::Form* f = form_of(c);
    if (!f || !entries_.count(f)) return;
    if (c.parent() && c.parent() != f && !entries_.count(c.parent())) {
        pending_.erase(c.parent());
        build(*c.parent());
    }
    QWidget* parent = nullptr;
    if (c.parent() == f) parent = client_area(*f);
    else if (c.parent()) parent = widget(*c.parent());

    auto e = std::make_unique<Entry>();
    e->form = f;
    Entry& entry = *e;
    entries_[&c] = std::move(e);

    // Binds widget W of control C with its palette roles and its own property handling.
    auto bind = [this, &entry, &c](auto* w, Roles roles, auto own) {
        entry.widget = w;
        QPointer<QWidget> guard(w);
        entry.detach = [guard, w] {
            if (guard) w->l.c = nullptr;
        };
        entry.apply = [this, guard, w, &c, roles, own](Prop p) {
            if (!guard) return;
            apply_common(*this, *w, c, p, roles);
            own(p);
        };
    };

    if (auto* menu = dynamic_cast<platform::Menu*>(&c)) {
        (void)menu;
        entry.is_menu = true;
        entry.apply = [this, f](Prop) { schedule_menu_rebuild(*f); };
        schedule_menu_rebuild(*f);
        return;
    }
    if (!parent) return;

    if (auto* x = dynamic_cast<platform::Label*>(&c)) {
        auto* w = new LabelW(*this, *x, parent);
        bind(w, Roles::Window, [w, x](Prop p) {
            if (p == Prop::Other || p == Prop::Caption) w->setText(qcaption(x->caption()));
            if (p == Prop::Other || p == Prop::TextFormat) {
                const auto a = x->alignment();
                const Qt::Alignment h = a == platform::Label::Alignment::Right    ? Qt::AlignRight
                                        : a == platform::Label::Alignment::Center ? Qt::AlignHCenter
                                                                                  : Qt::AlignLeft;
                w->setAlignment(h | Qt::AlignTop);
            }
            if (p == Prop::Other || p == Prop::BackColor) {
                if (x->transparent()) w->setAutoFillBackground(false);
            }
            if (p == Prop::Other || p == Prop::Caption || p == Prop::Width || p == Prop::Height ||
                p == Prop::FontName || p == Prop::FontBold || p == Prop::FontSize)
                w->fit(font_of(*x));
        });
    } else if (auto* x = dynamic_cast<platform::TextBox*>(&c)) {
        if (x->multi_line()) {
            auto* w = new PlainW(*this, *x, parent);
            bind(w, Roles::Input, [w, x](Prop p) {
                if (p == Prop::Other || p == Prop::Text) {
                    const QString t = qlines(x->text());
                    if (w->toPlainText() != t) w->setPlainText(t);
                }
            });
        } else {
            auto* w = new LineW(*this, *x, parent);
            bind(w, Roles::Input, [w, x](Prop p) {
                if (p == Prop::Other || p == Prop::Text) {
                    const QString t = qstr(x->text());
                    if (w->text() != t) {
                        const int at = w->cursorPosition();
                        w->setText(t);
                        w->setCursorPosition(std::min<int>(at, static_cast<int>(t.size())));
                    }
                }
                if (p == Prop::Other)
                    w->setEchoMode(x->password_char() ? QLineEdit::Password : QLineEdit::Normal);
            });
        }
    } else if (auto* x = dynamic_cast<platform::RichTextBox*>(&c)) {
        auto* w = new RichW(*this, *x, parent);
        bind(w, Roles::Input, [w, x](Prop p) {
            if (p == Prop::Other || p == Prop::Text || p == Prop::TextFormat || p == Prop::BackColor) w->sync_text(*x);
            if (p == Prop::Other || p == Prop::Text || p == Prop::Selection) w->sync_selection(*x);
        });
    } else if (auto* x = dynamic_cast<platform::ListBox*>(&c)) {
        auto* w = new ListW<platform::ListBox>(*this, *x, parent);
        bind(w, Roles::Input, [w, x](Prop p) {
            w->sync(*x, p);
            if (p == Prop::Other) w->setAcceptDrops(bool(x->OLEDragDrop));
        });
    } else if (auto* x = dynamic_cast<platform::FileListBox*>(&c)) {
        auto* w = new ListW<platform::FileListBox>(*this, *x, parent);
        bind(w, Roles::Input, [w, x](Prop p) {
            w->sync(*x, p == Prop::Text ? Prop::Items : p);
        });
    } else if (auto* x = dynamic_cast<platform::ComboBox*>(&c)) {
        auto* w = new ComboW(*this, *x, parent);
        bind(w, Roles::Input, [w, x](Prop p) { w->sync(*x, p); });
    } else if (auto* x = dynamic_cast<platform::CheckBox*>(&c)) {
        auto* w = new ButtonW<QCheckBox, platform::CheckBox>(*this, *x, parent);
        w->setTristate(true);
        auto value = [w, x] {
            QSignalBlocker block(w);
            w->setCheckState(x->value() == 1 ? Qt::Checked : x->value() == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
        };
        w->on_click = value;
        bind(w, Roles::Window, [w, x, value](Prop p) {
            if (p == Prop::Other || p == Prop::Caption) w->setText(qcaption(x->caption()));
            if (p == Prop::Other || p == Prop::Value) value();
        });
    } else if (auto* x = dynamic_cast<platform::OptionButton*>(&c)) {
        auto* w = new ButtonW<QRadioButton, platform::OptionButton>(*this, *x, parent);
        w->setAutoExclusive(false);
        auto value = [w, x] {
            QSignalBlocker block(w);
            w->setChecked(x->value());
        };
        w->on_click = value;
        bind(w, Roles::Window, [w, x, value](Prop p) {
            if (p == Prop::Other || p == Prop::Caption) w->setText(qcaption(x->caption()));
            if (p == Prop::Other || p == Prop::Value) value();
        });
    } else if (auto* x = dynamic_cast<platform::CommandButton*>(&c)) {
        auto* w = new ButtonW<QPushButton, platform::CommandButton>(*this, *x, parent);
        w->setAutoDefault(false);
        bind(w, Roles::Button, [w, x](Prop p) {
            if (p == Prop::Other || p == Prop::Caption) w->setText(qcaption(x->caption()));
        });
    } else if (auto* x = dynamic_cast<platform::Frame*>(&c)) {
        auto* w = new QGroupBox(parent);
        entry.widget = w;
        QPointer<QWidget> guard(w);
        entry.apply = [this, guard, w, x](Prop p) {
            if (!guard) return;
            apply_common(*this, *w, *x, p, Roles::Window);
            // A frame hides what lies under it, in the desktop's colour unless it has its own.
            w->setAutoFillBackground(true);
            if (p == Prop::Other || p == Prop::Caption) w->setTitle(qcaption(x->caption()));
        };
    } else if (auto* x = dynamic_cast<platform::HScrollBar*>(&c)) {
        auto* w = new QScrollBar(Qt::Horizontal, parent);
        entry.widget = w;
        QPointer<QWidget> guard(w);
        auto value = [w, x] {
            QSignalBlocker block(w);
            w->setRange(std::min(x->min(), x->max()), std::max(x->min(), x->max()));
            w->setValue(x->value());
        };
        QObject::connect(w, &QScrollBar::valueChanged, [this, x, value](int v) {
            if (!alive(x)) return;
            deliver([x, v] { x->user_scroll(v); });
            if (alive(x)) value();
        });
        entry.apply = [this, guard, w, x, value](Prop p) {
            if (!guard) return;
            apply_common(*this, *w, *x, p, Roles::None);
            if (p == Prop::Other || p == Prop::Value) value();
        };
    } else if (auto* x = dynamic_cast<platform::ProgressBar*>(&c)) {
        auto* w = new QProgressBar(parent);
        w->setTextVisible(false);
        w->setRange(0, 10000);
        entry.widget = w;
        QPointer<QWidget> guard(w);
        entry.apply = [this, guard, w, x](Prop p) {
            if (!guard) return;
            apply_common(*this, *w, *x, p, Roles::None);
            const double span = x->max() - x->min();
            w->setValue(span > 0 ? static_cast<int>(std::lround((x->value() - x->min()) / span * 10000)) : 0);
        };
    } else if (auto* x = dynamic_cast<platform::PictureBox*>(&c)) {
        auto* w = new PaintW<platform::PictureBox>(*this, *x, parent);
        bind(w, Roles::None, [w](Prop) { w->update(); });
    } else if (auto* x = dynamic_cast<platform::Image*>(&c)) {
        auto* w = new PaintW<platform::Image>(*this, *x, parent);
        w->setAttribute(Qt::WA_TranslucentBackground);
        bind(w, Roles::None, [w](Prop) { w->update(); });
    } else if (auto* x = dynamic_cast<platform::Shape*>(&c)) {
        auto* w = new PaintW<platform::Shape>(*this, *x, parent);
        w->setAttribute(Qt::WA_TransparentForMouseEvents);
        bind(w, Roles::None, [w](Prop) { w->update(); });
    } else if (auto* x = dynamic_cast<platform::Grid*>(&c)) {
        auto* w = new GridW(*this, *x, parent);
        bind(w, Roles::Input, [w, x](Prop p) { w->sync(*x, p); });
        QPointer<QWidget> guard(w);
        entry.rows = [guard, w, x](int first, int last) {
            if (guard) w->rows(*x, first, last);
        };
    } else if (auto* x = dynamic_cast<platform::DirListBox*>(&c)) {
        auto* w = new DirW(*this, *x, parent);
        bind(w, Roles::Input, [w, x](Prop p) {
            if (p == Prop::Other || p == Prop::Text) w->sync(*x);
        });
    } else if (auto* x = dynamic_cast<platform::DriveListBox*>(&c)) {
        auto* w = new QComboBox(parent);
        entry.widget = w;
        QPointer<QWidget> guard(w);
        entry.apply = [this, guard, w, x](Prop p) {
            if (!guard) return;
            apply_common(*this, *w, *x, p, Roles::Input);
            QSignalBlocker block(w);
            w->clear();
            for (const auto& d : x->drives()) w->addItem(qpath(d));
            w->setCurrentText(qpath(x->drive()));
        };
    } else if (dynamic_cast<platform::Timer*>(&c) || dynamic_cast<platform::CommonDialog*>(&c)) {
        return;  // nothing to see
    } else {
        // A control the mirror does not know: its place stays empty.
        return;
    }
    if (graphical(c) && entry.widget) {
        entry.widget->setProperty(kGraphical, true);
        raise_in_layer(*entry.widget);
    }
    Applying quiet(*this);
    entry.apply(Prop::Other);
}

void Mirror::rows_changed(platform::Control& c, int first, int last) {
    if (pending_.erase(&c)) {
        build(c);
        return;
    }
    auto it = entries_.find(&c);
    if (it == entries_.end()) return;
    Applying quiet(*this);
    if (it->second->rows) it->second->rows(first, last);
    else if (it->second->apply) it->second->apply(Prop::Cells);
}

void Mirror::changed(platform::Control& c, Prop p) {
    if (pending_.erase(&c)) {
        build(c);
        return;
    }
    auto it = entries_.find(&c);
    if (it == entries_.end() || !it->second->apply) return;
    Applying quiet(*this);
    it->second->apply(p);
}

void Mirror::apply_form(platform::Form& f, Prop p) {
    auto* w = dynamic_cast<FormWindow*>(widget(f));
    if (!w) return;
    const int t = tpp();
    const bool all = p == Prop::Other;
    if (all) {
        Qt::WindowFlags flags = Qt::Window;
        switch (f.border_style()) {
        case platform::BorderStyle::None: flags |= Qt::FramelessWindowHint; break;
        case platform::BorderStyle::FixedToolWindow:
        case platform::BorderStyle::SizableToolWindow: flags |= Qt::Tool; break;
        case platform::BorderStyle::FixedDialog: flags |= Qt::Dialog; break;
        default: break;
        }
        if (w->windowFlags() & Qt::WindowStaysOnTopHint) flags |= Qt::WindowStaysOnTopHint;
        if ((w->windowFlags() & ~Qt::WindowStaysOnTopHint) != flags) w->setWindowFlags(flags);
    }
    if (all || p == Prop::Caption) w->setWindowTitle(qstr(f.caption()));
    if (all || p == Prop::Left || p == Prop::Top || p == Prop::Width || p == Prop::Height) {
        const int fw = w->framed() ? kFrameWidthPx : 0, fh = w->framed() ? kFrameHeightPx : 0;
        const QSize size(std::max(1, px(f.width(), t) - fw), std::max(1, px(f.height(), t) - fh));
        w->move(px(f.left(), t), px(f.top(), t));
        const bool fixed = f.border_style() != platform::BorderStyle::Sizable &&
                           f.border_style() != platform::BorderStyle::SizableToolWindow;
        if (fixed) w->setFixedSize(size);
        else {
            w->setMinimumSize(0, 0);
            w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
            w->resize(size);
        }
        w->layout_inside();
    }
    if (all || p == Prop::ForeColor || p == Prop::BackColor) apply_colors(*w->client, f, Roles::Window);
    if (all || p == Prop::FontName || p == Prop::FontBold || p == Prop::FontSize) w->setFont(font_of(f));
    if (all || p == Prop::Visible) {
        if (f.visible()) {
            // A window shown with an owner stays in front of it.
            if (auto* owner = f.owner() ? widget(*f.owner()) : nullptr) {
                w->winId();
                if (QWindow* handle = w->windowHandle()) handle->setTransientParent(owner->window()->windowHandle());
            }
            switch (f.window_state()) {
            case platform::WindowState::Minimized: w->showMinimized(); break;
            case platform::WindowState::Maximized: w->showMaximized(); break;
            default: w->show(); break;
            }
        } else {
            w->hide();
        }
    }
    if (p == Prop::ZOrder && f.visible()) {
        w->raise();
        w->activateWindow();
    }
}

void Mirror::schedule_menu_rebuild(platform::Form& f) {
    menus_dirty_.insert(&f);
    if (!menu_timer_.isActive()) menu_timer_.start(0);
}

void Mirror::rebuild_menu_bar(platform::Form& f) {
    auto* w = dynamic_cast<FormWindow*>(widget(f));
    if (!w) return;
    std::vector<platform::Menu*> tops;
    for (auto* m : f.menu_bar())
        if (m->visible()) tops.push_back(m);
    if (tops.empty() && !w->bar) return;
    if (!w->bar) w->bar = new QMenuBar(w);
    w->bar->clear();
    // Menus of items that are gone are dropped; the others keep their Qt menu.
    for (auto it = w->menus.begin(); it != w->menus.end();) {
        if (!alive(it->first) || std::find(tops.begin(), tops.end(), it->first) == tops.end() || !it->second) {
            if (it->second) it->second->deleteLater();
            it = w->menus.erase(it);
        } else {
            ++it;
        }
    }
    for (auto* top : tops) {
        if (top->is_leaf()) {
            QAction* a = w->bar->addAction(qmenu_caption(top->caption()));
            a->setEnabled(top->enabled());
            QObject::connect(a, &QAction::triggered, [this, top] {
                if (alive(top)) deliver([top] {
                    if (top->enabled() && top->visible()) top->Click();
                });
            });
            continue;
        }
        QPointer<QMenu>& qm = w->menus[top];
        if (!qm) {
            qm = new QMenu(w);
            QMenu* raw = qm;
            QObject::connect(raw, &QMenu::aboutToShow, [this, top, raw] {
                if (!alive(top)) return;
                deliver([top] { top->Click(); });
                if (!alive(top)) return;
                fill_menu(*raw, *top, [this, top](platform::Menu* item) {
                    if (!alive(item) || !alive(top)) return;
                    deliver([item, top] {
                        if (item->is_leaf() && platform::reachable(*item, *top)) item->Click();
                    });
                });
            });
            // Filled once now, so that its look is right before it first opens.
            fill_menu(*raw, *top, [](platform::Menu*) {});
        }
        qm->setTitle(qmenu_caption(top->caption()));
        qm->menuAction()->setEnabled(top->enabled());
        w->bar->addMenu(qm);
    }
    w->bar->setVisible(!tops.empty());
    w->layout_inside();
}

void Mirror::fill_menu(QMenu& qm, platform::Menu& m, const std::function<void(platform::Menu*)>& on_leaf) {
    for (QAction* a : qm.actions()) {
        if (QMenu* sub = a->menu()) sub->deleteLater();
    }
    qm.clear();
    for (platform::Menu* item : m.items()) {
        if (!item->visible()) continue;
        if (item->caption() == "-") {
            qm.addSeparator();
            continue;
        }
        QString text = qmenu_caption(item->caption());
        if (!item->shortcut_text().empty()) text += '\t' + qstr(item->shortcut_text());
        if (item->is_leaf()) {
            QAction* a = qm.addAction(text);
            a->setEnabled(item->enabled());
            QObject::connect(a, &QAction::triggered, [on_leaf, item] { on_leaf(item); });
        } else {
            auto* sub = new QMenu(text, &qm);
            sub->menuAction()->setEnabled(item->enabled());
            qm.addMenu(sub);
            QObject::connect(sub, &QMenu::aboutToShow, [this, sub, item, on_leaf] {
                if (!alive(item)) return;
                deliver([item] { item->Click(); });
                if (alive(item)) fill_menu(*sub, *item, on_leaf);
            });
        }
    }
}

QImage Mirror::image_of(const platform::PicturePtr& p) {
    if (!p || p->width <= 0 || p->height <= 0) return {};
    auto it = images_.find(p.get());
    if (it != images_.end() && !it->second.first.expired() && it->second.first.lock() == p) return it->second.second;
    if (images_.size() > 256) {
        for (auto k = images_.begin(); k != images_.end();) k = k->second.first.expired() ? images_.erase(k) : std::next(k);
    }
    QImage img(p->width, p->height, QImage::Format_ARGB32);
    const std::size_t row = static_cast<std::size_t>(p->width);
    if (p->pixels.size() >= row * static_cast<std::size_t>(p->height)) {
        for (int y = 0; y < p->height; ++y)
            std::memcpy(img.scanLine(y), p->pixels.data() + row * static_cast<std::size_t>(y), row * 4);
    } else {
        img.fill(Qt::transparent);
    }
    images_[p.get()] = {p, img};
    return img;
}

}  // namespace frontend
