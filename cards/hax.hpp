#pragma once
// The zero-size window that stays hidden for the program's whole run; its unload ends the program.
#include "platform/controls.hpp"
#include "platform/form.hpp"

namespace tw {
class Tablewright;
namespace win {

class Hax : public platform::Form {
public:
    explicit Hax(Tablewright& tw);

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

    Tablewright& tw_;
};

}  // namespace win
}  // namespace tw
