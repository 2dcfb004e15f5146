#include "frontend/convert.hpp"

#include <QFile>
#include <QKeyEvent>
#include <QStringList>
#include <cmath>

#include "platform/ansi.hpp"

namespace frontend {

QString qstr(const std::string& a) { return QString::fromStdString(rt::cp1252_to_utf8(a)); }

std::string ansi(const QString& t) { return rt::utf8_to_cp1252(t.toStdString()); }

QString qlines(const std::string& a) {
    QString s = qstr(a);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QChar('\r'), QChar('\n'));
    return s;
}

QString qcaption(const std::string& a) {
    QString in = qstr(a), out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == '&') {
            if (i + 1 < in.size() && in[i + 1] == '&') out += '&', ++i;
            continue;
        }
        out += in[i];
    }
    return out;
}

QString qmenu_caption(const std::string& a) { return qstr(a); }

QString qpath(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

std::string path_bytes(const QString& p) { return QFile::encodeName(p).toStdString(); }

QColor qcolor(platform::Color c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }

bool is_light(platform::Color c) {
    const QColor q = qcolor(c);
    // Relative luminance in the sRGB weights, on a 0..255 scale.
    return 0.2126 * q.red() + 0.7152 * q.green() + 0.0722 * q.blue() >= 160;
}

QColor text_color_on(platform::Color text, platform::Color back) {
    constexpr platform::Color kYellow = 0x00FFFF;
    if (text == kYellow && is_light(back)) return QColor(176, 140, 0);
    return qcolor(text);
}

platform::Color model_color(const QColor& c) {
    return platform::Color(c.red()) | platform::Color(c.green()) << 8 | platform::Color(c.blue()) << 16;
}

int px(double tw, int tpp) { return static_cast<int>(std::lround(tw / (tpp > 0 ? tpp : 15))); }

double twips(double pixels, int tpp) { return pixels * (tpp > 0 ? tpp : 15); }

int vk_of(const QKeyEvent& e) {
    const int k = e.key();
    const bool keypad = e.modifiers() & Qt::KeypadModifier;
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return keypad ? 96 + (k - Qt::Key_0) : k;
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return k;
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return 112 + (k - Qt::Key_F1);
    switch (k) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: case Qt::Key_Backtab: return 9;
    case Qt::Key_Clear: return 12;
    case Qt::Key_Return: case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Asterisk: return keypad ? 106 : 0;
    case Qt::Key_Plus: return keypad ? 107 : 187;
    case Qt::Key_Minus: return keypad ? 109 : 189;
    case Qt::Key_Period: return keypad ? 110 : 190;
    case Qt::Key_Slash: return keypad ? 111 : 191;
    case Qt::Key_Comma: return 188;
    case Qt::Key_Semicolon: return 186;
    case Qt::Key_Equal: return 187;
    case Qt::Key_QuoteLeft: return 192;
    case Qt::Key_BracketLeft: return 219;
    case Qt::Key_Backslash: return 220;
    case Qt::Key_BracketRight: return 221;
    case Qt::Key_Apostrophe: return 222;
    default: return 0;
    }
}

int shift_of(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

int button_of(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

int buttons_mask(Qt::MouseButtons b) {
    return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) | (b & Qt::MiddleButton ? 4 : 0);
}

QString qt_filters(const std::string& filter) {
    const QStringList parts = qstr(filter).split('|');
    if (parts.size() < 2) return qstr(filter).replace(';', ' ');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        out << parts[i] + " (" + patterns + ")";
    }
    return out.join(";;");
}

}  // namespace frontend
