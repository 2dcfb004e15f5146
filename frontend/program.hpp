#pragma once
// One program's life under Qt: the loop, the desktop, the App with its folder, command line
// and single-instance check, the mirror, the program's own start-up, then Qt's loop until the
// program ends.
#include <functional>
#include <memory>
#include <string>

namespace platform {
class App;
}

namespace frontend {

// `start` builds the program object on the App and runs its start-up; the object it returns
// is destroyed before the window layer. `name` names the single-instance lock. When the
// program ended because another copy runs, `already_running` (if any) is shown first, so that
// the end does not look like a crash.
int run_program(int argc, char** argv, const std::string& name,
                const std::function<std::shared_ptr<void>(platform::App&)>& start,
                const std::string& already_running = {});

}  // namespace frontend
