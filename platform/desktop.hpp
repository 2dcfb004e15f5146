#pragma once
// The desktop around the programs: starting companion programs, opening addresses in the user's
// browser, the machine's addresses, and the lock that keeps one instance per user and display.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

namespace fs = std::filesystem;

// Starts program with args (argv[0] is the program's path), detached: no shell, a session of
// its own, standard input from /dev/null, none of our descriptors past stderr, default signal
// dispositions. Never waited for. False when it cannot be started (missing, not executable).
bool start_detached(const fs::path& program, const std::vector<std::string>& args);

// Reaps every program start_detached started that has ended since; gives how many still run.
// start_detached sweeps before each start, so ended programs never pile up as zombies; only our
// own children are waited for, never another part's.
std::size_t reap_detached();

// The executable for a program-folder name such as "Utilities\\Scrollkeep.exe": ".exe" dropped,
// each component matched without regard to case. nullopt when there is no such executable file
// or the name leads outside app_path.
std::optional<fs::path> program_for(const fs::path& app_path, std::string_view windows_name);

// The running program's own executable (for a restart), nullopt if the system will not say.
std::optional<fs::path> own_executable();

// Has the desktop's handler (xdg-open, found on PATH, no shell) open an http:// or https://
// address. Other schemes are refused: a link from a chat must not run a local file's handler.
// True when the handler was started, not when the page opened.
bool open_url_with_desktop(const std::string& url);

// The IPv4 addresses of the interfaces that are up, in the system's order, dotted decimal.
std::vector<std::string> local_ipv4_addresses(bool include_loopback = true);

// One lock per program name, user and display. The lock is an flock on a file in the runtime
// folder ($XDG_RUNTIME_DIR, else /tmp); the kernel drops it when the holder ends, so a file left
// behind by a crash blocks nobody. Released when the object goes away.
class SingleInstanceLock {
public:
    SingleInstanceLock();
    explicit SingleInstanceLock(fs::path folder);  // tests: a folder of their own
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // False only when another holder has the lock. When the lock file cannot be opened at all,
    // the start is not refused over it: true, with held() false.
    bool acquire(std::string_view program_name);
    void release();
    bool held() const { return fd_ >= 0; }
    // The lock file for a program name (its name from the name, the user id and the display).
    fs::path file_for(std::string_view program_name) const;

private:
    fs::path folder_;
    int fd_ = -1;
};

}  // namespace platform
