#pragma once
// The viewer's window: open a game log and show its text.
#include <optional>
#include <string>
#include <string_view>

#include "platform/controls.hpp"
#include "platform/dialog.hpp"
#include "platform/form.hpp"

namespace sk {
class Scrollkeep;
namespace win {

class Form1 : public platform::Form {
public:
    explicit Form1(Scrollkeep& sk);

    platform::CommandButton Command1{this, "Command1"};
    platform::CommandButton Command2{this, "Command2"};
    platform::TextBox Text1{this, "Text1"};
    platform::CommonDialog comm1{this, "comm1"};

    // The text a dotted form codes; nullopt when it is no valid dotted form.
    std::optional<std::string> NoNumbers(std::string_view dotted) const;
    // The log's exclusive-or step; applied twice it gives the text back.
    std::string EncryptIt(std::string_view text) const;

    void Command1_Click();
    void Command2_Click();

private:
    Scrollkeep& sk_;
};

}  // namespace win
}  // namespace sk
