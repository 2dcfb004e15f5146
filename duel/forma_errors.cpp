#include "cards/errors.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/send_command.hpp"

namespace tw::win {

void FormA::sendError(const std::string& Location) {
    std::int16_t tag = 0;
    SendCommand(tw_, "sc~" + tw_.prefs.UserName, tag);
    ShowMessage(tw_, "You have encountered an error in: " + Location + "\r\nYour opponent has been informed.");
}

}  // namespace tw::win
