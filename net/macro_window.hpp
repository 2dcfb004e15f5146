#pragma once
// The chat macros' editor: nine boxes, macro 1 at the top, and "Done!", which stores them.
// Closing it any other way keeps the macros as they were.
#include "platform/control_array.hpp"
#include "platform/controls.hpp"
#include "platform/form.hpp"

namespace tw {
class Tablewright;

// A macro typed into the editor keeps at most this many characters.
inline constexpr int kLongestMacro = 50;

namespace win {

class MacroWindow : public platform::Form {
public:
    explicit MacroWindow(Tablewright& tw);

    platform::ControlArray<platform::TextBox> Text1{this, "Text1", 9};  // macro i + 1
    platform::CommandButton Command1{this, "Command1"};                 // "Done!"

    void Command1_Click();

protected:
    void Form_Load() override;

private:
    Tablewright& tw_;
};

}  // namespace win
}  // namespace tw
