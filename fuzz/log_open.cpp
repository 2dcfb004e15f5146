// A game log file opened in Scrollkeep: any file either shows its duel log or is refused with a
// message, and what shows is the text that the file's numbers code.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "cards/log_coding.hpp"
#include "fuzz/program_fixture.hpp"
#include "platform/files.hpp"
#include "scrollkeep/form1.hpp"
#include "scrollkeep/scrollkeep.hpp"

namespace {

struct Fixture : tw::fuzz::ProgramFixture {
    std::unique_ptr<sk::Scrollkeep> program;
    Fixture() {
        program = std::make_unique<sk::Scrollkeep>(app);
        sk::Main(*program);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Fixture f;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto file = f.folder.path() / "duel.qlra";
    if (!platform::write_file_atomic(file, bytes)) std::abort();

    auto& form = f.program->Form1();
    form.Text1.set_text("before");
    const long messages = f.host.message_count;
    f.host.expect_file(file.string());
    form.Command1.user_click();
    if (f.host.expectations_left() != 0) std::abort();

    const bool refused = f.host.message_count != messages;
    if (refused) {
        if (f.host.last_message != "This is not a valid log file." || form.Text1.text() != "before")
            std::abort();
        return 0;
    }
    // What shows codes back to numbers that read as the same text.
    const std::string shown = form.Text1.text();
    const auto again = tw::FromDottedDecimal(tw::ToDottedDecimal(tw::LogScramble(shown)));
    if (!again || tw::LogScramble(*again) != shown) std::abort();
    return 0;
}
