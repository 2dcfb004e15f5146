#include "cards/errors.hpp"

#include "cards/hax.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"

namespace tw {

std::string RuntimeErrorReport(const Tablewright& tw, const std::string& description,
                               const std::string& number, const std::string& procedure) {
    static constexpr const char* crlf = "\r\n";
    return "There has been a runtime error:" + std::string(crlf) + "Number: " + number + crlf +
           "Desc: " + description + crlf + "Current Sub: " + procedure + crlf +
           "Last Command: " + tw.errors.LastReceivedCommand + crlf + "Line: " + tw.errors.LineMarker;
}

void ReportRuntimeError(Tablewright& tw, const std::string& description, const std::string& number,
                        const std::string& procedure) {
    const std::string report = RuntimeErrorReport(tw, description, number, procedure);
    tw.app.msg_box(report, platform::MsgButtons::OK, platform::MsgIcon::Critical, "Tablewright");
    WriteFileText(report, tw.path_of("errormessage.txt"));
}

void ShowMessage(Tablewright& tw, const std::string& text) {
    tw.hax().hide();
    ShowMessageDirect(tw, text);
}

void ShowMessageDirect(Tablewright& tw, const std::string& text) {
    tw.app.msg_box(text, platform::MsgButtons::OK, platform::MsgIcon::Information,
                   "Tablewright " + tw.VersionText);
}

}  // namespace tw
