// The conversions at the edge between the model and Qt.
#include <gtest/gtest.h>

#include <QKeyEvent>

#include "frontend/convert.hpp"
#include "tests/frontend/qt_app.hpp"

namespace {

using namespace frontend;

TEST(Convert, TextRoundTripsThroughUnicodeAsCp1252) {
    const std::string all_bytes = [] {
        std::string s;
        for (int b = 1; b < 256; ++b) s += static_cast<char>(b);
        return s;
    }();
    EXPECT_EQ(ansi(qstr(all_bytes)), all_bytes);
    EXPECT_EQ(qstr("\x80 \x93x\x94"), QString::fromUtf8("\xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D"));
    // A character cp1252 has no byte for.
    EXPECT_EQ(ansi(QString::fromUtf8("\xE2\x98\x83")), "?");
    EXPECT_EQ(qlines("a\r\nb\rc\nd"), "a\nb\nc\nd");
}

TEST(Convert, CaptionsLoseTheirAccessKeyMarks) {
    const std::pair<const char*, const char*> cases[] = {
        {"&File", "File"}, {"Save &As", "Save As"}, {"Tom && Jerry", "Tom & Jerry"}, {"end&", "end"}, {"", ""}};
    for (const auto& [in, out] : cases) EXPECT_EQ(qcaption(in), out) << in;
}

TEST(Convert, ColoursKeepRedInTheLowestByte) {
    EXPECT_EQ(qcolor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(qcolor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(qcolor(0x123456), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(model_color(QColor(0x56, 0x34, 0x12)), 0x123456u);
}

TEST(Convert, PureYellowTextIsDrawnDarkOnALightGround) {
    struct Case {
        platform::Color text, back;
        QColor drawn;
    };
    const QColor dark_yellow(176, 140, 0);
    const Case cases[] = {
        {0x00FFFF, 0xFFFFFF, dark_yellow},            // on white
        {0x00FFFF, 0xE0FFFF, dark_yellow},            // on a pale yellow
        {0x00FFFF, 0x000000, QColor(255, 255, 0)},    // on black it reads as it is
        {0x00FFFF, 0x800000, QColor(255, 255, 0)},    // on a dark blue
        {0x0000FF, 0xFFFFFF, QColor(255, 0, 0)},      // other colours stay
        {0x00FFFE, 0xFFFFFF, QColor(254, 255, 0)},
    };
    for (const Case& c : cases) EXPECT_EQ(text_color_on(c.text, c.back), c.drawn) << std::hex << c.text << " on " << c.back;
}

TEST(Convert, TwipsArePixelsAtTheScreensScale) {
    EXPECT_EQ(px(1500, 15), 100);
    EXPECT_EQ(px(1507, 15), 100);
    EXPECT_EQ(px(1508, 15), 101);
    EXPECT_EQ(px(-150, 15), -10);
    EXPECT_EQ(px(1440, 12), 120);  // 120 dpi
    EXPECT_EQ(px(300, 0), 20);     // no scale known: 96 dpi
    EXPECT_DOUBLE_EQ(twips(7, 15), 105);
}

TEST(Convert, KeysBecomeVirtualKeyCodes) {
    frontend::test::qt_app();  // key events need the application's keyboard
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        int vk;
    };
    const Case cases[] = {
        {Qt::Key_Return, Qt::NoModifier, 13}, {Qt::Key_Enter, Qt::KeypadModifier, 13},
        {Qt::Key_Escape, Qt::NoModifier, 27}, {Qt::Key_A, Qt::NoModifier, 65},
        {Qt::Key_Z, Qt::ShiftModifier, 90},   {Qt::Key_5, Qt::NoModifier, 53},
        {Qt::Key_5, Qt::KeypadModifier, 101}, {Qt::Key_F1, Qt::NoModifier, 112},
        {Qt::Key_F12, Qt::NoModifier, 123},   {Qt::Key_Left, Qt::NoModifier, 37},
        {Qt::Key_Down, Qt::NoModifier, 40},   {Qt::Key_Delete, Qt::NoModifier, 46},
        {Qt::Key_Space, Qt::NoModifier, 32},  {Qt::Key_Backspace, Qt::NoModifier, 8},
        {Qt::Key_Control, Qt::ControlModifier, 17}, {Qt::Key_unknown, Qt::NoModifier, 0},
    };
    for (const auto& c : cases) {
        QKeyEvent e(QEvent::KeyPress, c.key, c.mods);
        EXPECT_EQ(vk_of(e), c.vk) << c.key;
    }
    EXPECT_EQ(shift_of(Qt::ShiftModifier | Qt::AltModifier), 5);
    EXPECT_EQ(shift_of(Qt::ControlModifier), 2);
    EXPECT_EQ(button_of(Qt::RightButton), 2);
    EXPECT_EQ(buttons_mask(Qt::LeftButton | Qt::MiddleButton), 5);
}

TEST(Convert, FileFiltersBecomeQtNameFilters) {
    EXPECT_EQ(qt_filters("Decks|*.dek|All files|*.*"), "Decks (*.dek);;All files (*.*)");
    EXPECT_EQ(qt_filters("Logs|*.qlra;*.txt"), "Logs (*.qlra *.txt)");
    EXPECT_EQ(qt_filters("*.ini"), "*.ini");
}

}  // namespace

// Fontconfig keeps caches for the process's life.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
