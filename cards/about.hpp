#pragma once
// The About window: the program's name and version, its credits and notices, and a link to the
// maker's home page. OK unloads it, so the next showing builds its text anew.
#include <string>

#include "platform/controls.hpp"
#include "platform/form.hpp"

namespace tw {
class Tablewright;

// The window's text: the name and version line, four credit lines, four notices and an empty
// line, CR LF after each.
std::string AboutText(const std::string& version_text);

namespace win {

class About : public platform::Form {
public:
    explicit About(Tablewright& tw);

    platform::Label Label1{this, "Label1"};
    platform::Label Label2{this, "Label2"};  // "Our Sites:"
    platform::Label Label3{this, "Label3"};  // the home page, opened by a click
    platform::CommandButton Command1{this, "Command1"};  // OK

    void Label3_Click();
    void Command1_Click();

protected:
    void Form_Load() override;

private:
    Tablewright& tw_;
};

}  // namespace win
}  // namespace tw
