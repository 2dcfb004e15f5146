#pragma once
// The deck editor window.
#include "platform/controls.hpp"
#include "platform/form.hpp"

namespace tw {
class Tablewright;
namespace win {

class DeckMaker : public platform::Form {
public:
    explicit DeckMaker(Tablewright& tw);

    platform::RichTextBox selectedcard{this, "selectedcard"};

protected:
    void Form_Load() override;

    Tablewright& tw_;

private:
    // Element 0 empty, then each set code of the card database once (exact comparison), in
    // order of first appearance.
    void FillSetCodes();
};

}  // namespace win
}  // namespace tw
