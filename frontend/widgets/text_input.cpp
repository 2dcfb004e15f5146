// Text boxes' widgets, one line or many: their edits and keys reach the model as the person's.
#include "frontend/widgets/text_input.hpp"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>

#include "frontend/widgets/base.hpp"
#include "platform/controls.hpp"

namespace frontend {

using platform::Prop;

namespace {

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
    LineW(WidgetContext& m, platform::TextBox& c, QWidget* parent) : TextInput(m, c, parent) {
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
    PlainW(WidgetContext& m, platform::TextBox& c, QWidget* parent) : TextInput(m, c, parent) {
        connect(this, &QPlainTextEdit::textChanged, [this] {
            if (l.m.applying) return;
            std::string text = model_lines(toPlainText());
            l.act([text](platform::TextBox& c) { c.user_edit(text); });
        });
    }
};

}  // namespace

void build_text_box(WidgetContext& m, Binding& entry, platform::TextBox* x, QWidget* parent) {
    if (x->multi_line()) {
        auto* w = new PlainW(m, *x, parent);
        bind(m, entry, w, *x, Roles::Input, [w, x](Prop p) {
            if (p == Prop::Other || p == Prop::Text) {
                const QString t = qlines(x->text());
                if (w->toPlainText() != t) w->setPlainText(t);
            }
        });
    } else {
        auto* w = new LineW(m, *x, parent);
        bind(m, entry, w, *x, Roles::Input, [w, x](Prop p) {
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
}

}  // namespace frontend
