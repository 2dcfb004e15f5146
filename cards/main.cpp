#include "cards/main.hpp"

#include "cards/helpers.hpp"
#include "cards/loadset.hpp"
#include "cards/tablewright.hpp"
#include "platform/rt.hpp"

namespace tw {

void Main(Tablewright& tw) {
    rt::try_step([] { InitCommonControls(); });
    rt::try_step([&] { tw.LoadSet().show(); });
}

}  // namespace tw
