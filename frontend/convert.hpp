#pragma once
// The edge between the model and Qt: ANSI bytes and Unicode, twips and pixels, 0x00BBGGRR and
// QColor, Qt's keys and buttons and the virtual-key codes and masks the programs test.
#include <QColor>
#include <QString>
#include <Qt>
#include <string>

#include "platform/control.hpp"

class QKeyEvent;

namespace frontend {

// cp1252 bytes to Unicode and back (a character without a byte becomes '?').
QString qstr(const std::string& ansi);
std::string ansi(const QString& text);
// For boxes and labels: CR LF and lone CR become line breaks.
QString qlines(const std::string& ansi);
// A caption with its access-key marks removed ("&File" → "File", "&&" → "&").
QString qcaption(const std::string& ansi);
// A menu caption for Qt, which has the same marks but shows them as underlines.
QString qmenu_caption(const std::string& ansi);

// A path as the file system spells it (bytes, not cp1252).
QString qpath(const std::string& bytes);
std::string path_bytes(const QString& path);

QColor qcolor(platform::Color c);
// The colour a text of colour `text` is drawn in on a ground of colour `back`: the model's pure
// yellow cannot be read on a light ground and is drawn there as a dark yellow.
QColor text_color_on(platform::Color text, platform::Color back);
bool is_light(platform::Color c);
platform::Color model_color(const QColor& c);

// Twips to device-independent pixels at `tpp` twips a pixel, and back.
int px(double twips, int tpp);
double twips(double pixels, int tpp);

// The virtual-key code of a key event; 0 for keys the programs never see.
int vk_of(const QKeyEvent& e);
// Shift 1, Ctrl 2, Alt 4.
int shift_of(Qt::KeyboardModifiers m);
// Left 1, right 2, middle 4; 0 for other buttons.
int button_of(Qt::MouseButton b);
int buttons_mask(Qt::MouseButtons b);

// "Decks (*.dek)|*.dek|All|*.*" → Qt's ";;"-separated name filters; a text without "|" is one
// pattern list of its own.
QString qt_filters(const std::string& filter);

}  // namespace frontend
