#pragma once
// The token editor: the player's own token cards, edited in a table of up to 50 and written to
// the token file and the token list together. The list always stands in table order, so an
// entry's position is its token's place and the two files never disagree.
#include <array>
#include <cstdint>

#include "cards/card.hpp"
#include "platform/controls.hpp"
#include "platform/form.hpp"

namespace tw {
class Tablewright;
namespace win {

class FrmTokens : public platform::Form {
public:
    static constexpr int kMaxTokens = 50;

    explicit FrmTokens(Tablewright& tw);

    platform::ListBox List1{this, "List1"};
    platform::Label Label1{this, "Label1"};
    platform::TextBox Text1{this, "Text1"};  // name
    platform::Label Label2{this, "Label2"};
    platform::TextBox Text2{this, "Text2"};  // type line
    platform::Label Label4{this, "Label4"};
    platform::TextBox Text3{this, "Text3"};  // attribute
    platform::Label Label3{this, "Label3"};
    platform::TextBox Text4{this, "Text4"};  // level
    platform::Label Label5{this, "Label5"};
    platform::TextBox Text5{this, "Text5"};  // attack
    platform::Label Label7{this, "Label7"};
    platform::TextBox Text6{this, "Text6"};  // defence
    platform::Label Label6{this, "Label6"};
    platform::TextBox Text7{this, "Text7"};  // card text
    platform::CommandButton Command1{this, "Command1"};  // New Token
    platform::CommandButton Command2{this, "Command2"};  // Remove Token
    platform::CommandButton Command3{this, "Command3"};  // Save Changes
    platform::CommandButton Command4{this, "Command4"};  // Cancel Changes
    platform::Label Label8{this, "Label8"};

    // Places 0 to LastTokenIndex hold the tokens (-1: none); SelectedToken is the place the
    // boxes edit.
    std::array<Card, kMaxTokens + 1> TokenRecords;
    std::int16_t LastTokenIndex = -1;
    std::int16_t SelectedToken = 0;

    // Reads the token file into the editor; edits that were not saved are dropped.
    void initialize();

    void List1_Click();
    void Text1_GotFocus();
    void Text1_LostFocus();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();

private:
    // The boxes show the token at place i, or nothing.
    void ShowToken(int place);
    // A box's text goes into its field of the selected token.
    void Store(std::string Card::*field, const platform::TextBox& box);
    bool Save();
    void Restart();

    Tablewright& tw_;
    bool filling_ = false;  // the boxes are being filled by the editor, not by the player
};

}  // namespace win
}  // namespace tw
