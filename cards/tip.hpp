#pragma once
// The hover window that shows a field card's text next to the pointer.
#include "platform/controls.hpp"
#include "platform/form.hpp"

namespace tw {
class Tablewright;
namespace win {

class Tip : public platform::Form {
public:
    explicit Tip(Tablewright& tw);

    platform::Shape Shape1{this, "Shape1"};  // the frame
    platform::Label Label1{this, "Label1"};  // the card text

    // A click on the text puts the window away.
    void Label1_Click();

protected:
    Tablewright& tw_;
};

}  // namespace win
}  // namespace tw
