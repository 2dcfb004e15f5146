#pragma once
// What a fuzz target needs to run the programs' own procedures: a scratch program folder, a
// loop on a fake clock and a host that answers every box, made once per fuzzing process.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/reactor.hpp"
#include "platform/scripted_host.hpp"

namespace tw::fuzz {

// A host that keeps only the last plain message, so that millions of runs do not pile them up.
class QuietHost : public platform::ScriptedHost {
public:
    using ScriptedHost::ScriptedHost;
    platform::MsgResult msg_box(const std::string& text, platform::MsgButtons buttons, platform::MsgIcon icon,
                                const std::string& title) override {
        if (expectations_left() > 0) return ScriptedHost::msg_box(text, buttons, icon, title);
        last_message = text;
        ++message_count;
        if (text.rfind("There has been a runtime error", 0) == 0 || text.rfind("You have encountered an error", 0) == 0)
            ++failure_count;
        return platform::MsgResult::OK;
    }
    std::string last_message;
    long message_count = 0;
    // The boxes that report one of the programs' own procedures failing.
    long failure_count = 0;
};

// A fresh folder, removed when the process ends. In memory where the system offers it: every save
// syncs its file, which on a disk would hold each run up for milliseconds.
class ScratchFolder {
public:
    ScratchFolder() {
        std::error_code ec;
        const std::filesystem::path shm = "/dev/shm";
        const auto under = std::filesystem::is_directory(shm, ec) ? shm : std::filesystem::temp_directory_path();
        std::string pattern = (under / "tw-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

struct ProgramFixture {
    platform::FakeClock clock;
    platform::Reactor reactor{clock};
    QuietHost host{reactor, clock};
    ScratchFolder folder;
    platform::App app{reactor, host};
    ProgramFixture() {
        app.path = folder.path().string();
        app.prev_instance_check = [] { return false; };
    }
};

// The program a target keeps across inputs: making one costs far more than an input. Made anew
// every `every` inputs, so that what its desktop records does not grow without end.
template <class Program>
Program& Kept(int every) {
    static std::unique_ptr<Program> program;
    static int runs = 0;
    if (!program || ++runs % every == 0) {
        program.reset();
        program = std::make_unique<Program>();
    }
    return *program;
}

// A target's check: aborts, saying which check failed, so that a finding is read without a
// debugger.
// (The builtins, as both compilers of the fuzz and test builds know them; not every clang here
// has std::source_location.)
inline void Require(bool ok, const char* file = __builtin_FILE(), int line = __builtin_LINE()) {
    if (ok) return;
    std::fprintf(stderr, "check failed at %s:%d\n", file, line);
    std::abort();
}

// No box has opened since the host had shown `before`; the last one's text is said when one did.
inline void RequireNoBox(const QuietHost& host, long before, const char* file = __builtin_FILE(),
                         int line = __builtin_LINE()) {
    if (host.message_count != before) std::fprintf(stderr, "a box opened: %s\n", host.last_message.c_str());
    Require(host.message_count == before, file, line);
}

// For LLVMFuzzerInitialize of a target that keeps a program between inputs: such a program holds
// on to memory by design, which the fuzzer's check for leaks after every input would report;
// leaks are left to the sanitizer runs of the tests.
inline int WithoutLeakChecks(int* argc, char*** argv) {
    static std::vector<char*> args;
    static char no_leak_checks[] = "-detect_leaks=0";
    args.assign(*argv, *argv + *argc);
    args.insert(args.begin() + (*argc > 0 ? 1 : 0), no_leak_checks);
    args.push_back(nullptr);
    *argc = static_cast<int>(args.size()) - 1;
    *argv = args.data();
    return 0;
}

}  // namespace tw::fuzz
