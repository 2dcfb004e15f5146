#pragma once
// What a runtime error report says besides the error: where the program was, and the last
// command a peer sent.
#include <string>

namespace tw {

struct ErrorReportState {
    std::string LineMarker;
    std::string LastReceivedCommand;
};

}  // namespace tw
