#include "net/macro_window.hpp"

#include <string>

#include "cards/settings.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "platform/rt.hpp"

namespace tw::win {

namespace {

constexpr int kMacros = 9;
constexpr double kMargin = 120;
constexpr double kBoxWidth = 4335;
constexpr double kBoxHeight = 315;
constexpr double kBoxStep = 375;

}  // namespace

MacroWindow::MacroWindow(Tablewright& tw) : platform::Form(tw.app, "MacroWindow"), tw_(tw) {
    set_caption("Edit Macros");
    set_border_style(platform::BorderStyle::FixedToolWindow);
    for (int i = 0; i < kMacros; ++i) Text1[i].move(kMargin, kMargin + kBoxStep * i, kBoxWidth, kBoxHeight);
    Command1.set_caption("Done!");
    const double below = kMargin + kBoxStep * kMacros;
    Command1.move(kMargin + kBoxWidth - 1215, below, 1215, 375);
    move(0, 0, kBoxWidth + 2 * kMargin + 90, below + 375 + kMargin + 405);
    Command1.Click = [this] { Command1_Click(); };
}

void MacroWindow::Form_Load() {
    for (int i = 0; i < kMacros; ++i) Text1[i].set_text(tw_.prefs.Macros[static_cast<std::size_t>(i + 1)]);
}

void MacroWindow::Command1_Click() {
    for (int i = 0; i < kMacros; ++i) {
        auto& box = Text1[i];
        if (rt::len(box.text()) > kLongestMacro) box.set_text(rt::left(box.text(), kLongestMacro));
        tw_.prefs.Macros[static_cast<std::size_t>(i + 1)] = box.text();
        WriteSetting(tw_, setting_key::slot(i + 1), box.text());
    }
    auto& duel = tw_.FormA();
    for (int k = 1; k <= kMacros; ++k) duel.macro_item(k)->set_caption(tw_.prefs.Macros[static_cast<std::size_t>(k)]);
    unload();
}

}  // namespace tw::win
