#include "platform/desktop.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "platform/files.hpp"

extern char** environ;

namespace platform {

namespace {

// The children we started and have not reaped yet. Processes belong to the whole process, not to
// one program object, so this one list is process-wide by nature.
std::vector<pid_t>& unreaped() {
    static std::vector<pid_t> pids;
    return pids;
}

bool spawn_detached(const std::string& program, const std::vector<std::string>& args,
                    bool search_path) {
    reap_detached();

    std::vector<std::string> strings;
    strings.reserve(args.size() + 1);
    strings.push_back(program);
    strings.insert(strings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& s : strings) argv.push_back(s.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    if (posix_spawn_file_actions_init(&actions) != 0) return false;
    if (posix_spawnattr_init(&attr) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return false;
    }

    // Our listening sockets and files must not live on in the child: a companion program would
    // otherwise keep our ports bound after we end.
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);

    // A session of its own, so that our terminal's hang-up or Ctrl-C does not end it; ignored
    // signals (SIGPIPE for our sockets) would otherwise stay ignored in it across exec.
    sigset_t no_signals, defaults;
    sigemptyset(&no_signals);
    sigemptyset(&defaults);
    for (int sig : {SIGPIPE, SIGCHLD, SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGALRM, SIGUSR1, SIGUSR2,
                    SIGTTIN, SIGTTOU, SIGTSTP})
        sigaddset(&defaults, sig);
    posix_spawnattr_setsigmask(&attr, &no_signals);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK |
                                        POSIX_SPAWN_SETSIGDEF);

    pid_t pid = -1;
    // glibc's posix_spawn reports a failed exec (missing or not executable) as its result.
    const int rc = search_path
                       ? posix_spawnp(&pid, program.c_str(), &actions, &attr, argv.data(), environ)
                       : posix_spawn(&pid, program.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return false;
    unreaped().push_back(pid);
    return true;
}

bool starts_with_ci(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        unsigned char a = static_cast<unsigned char>(text[i]);
        unsigned char b = static_cast<unsigned char>(prefix[i]);
        if (a >= 'A' && a <= 'Z') a = static_cast<unsigned char>(a - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

bool ends_with_ci(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           starts_with_ci(text.substr(text.size() - suffix.size()), suffix);
}

// A lock-file name part: letters, digits, ".", "_" and "-" only.
std::string name_part(std::string_view text) {
    std::string out;
    for (char c : text) {
        bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '.' || c == '_' || c == '-';
        out += keep ? c : '_';
    }
    if (out.empty() || out[0] == '.') out.insert(out.begin(), '_');
    return out;
}

// ":0" and ":0.0" are one display; the screen number does not make another desktop.
std::string display_name() {
    const char* d = std::getenv("DISPLAY");
    if (d && *d) {
        std::string s = d;
        auto colon = s.rfind(':');
        auto dot = s.find('.', colon == std::string::npos ? 0 : colon);
        if (colon != std::string::npos && dot != std::string::npos) s.resize(dot);
        return s;
    }
    const char* w = std::getenv("WAYLAND_DISPLAY");
    if (w && *w) return w;
    return "nodisplay";
}

fs::path default_lock_folder() {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    if (dir && *dir == '/') return dir;
    return "/tmp";
}

}  // namespace

bool start_detached(const fs::path& program, const std::vector<std::string>& args) {
    if (program.empty()) return false;
    return spawn_detached(program.string(), args, false);
}

std::size_t reap_detached() {
    auto& pids = unreaped();
    std::erase_if(pids, [](pid_t pid) {
        int status = 0;
        pid_t r;
        do {
            r = waitpid(pid, &status, WNOHANG);
        } while (r < 0 && errno == EINTR);
        // ECHILD: reaped elsewhere, or SIGCHLD is ignored and the system reaps.
        return r == pid || (r < 0 && errno == ECHILD);
    });
    return pids.size();
}

std::optional<fs::path> program_for(const fs::path& app_path, std::string_view windows_name) {
    std::string name(windows_name);
    if (ends_with_ci(name, ".exe")) name.resize(name.size() - 4);
    auto path = resolve_inside(app_path, name);
    if (!path) return std::nullopt;
    struct stat st;
    if (stat(path->c_str(), &st) != 0 || !S_ISREG(st.st_mode) || access(path->c_str(), X_OK) != 0)
        return std::nullopt;
    return path;
}

std::optional<fs::path> own_executable() {
    std::error_code ec;
    fs::path p = fs::read_symlink("/proc/self/exe", ec);
    if (ec || p.empty()) return std::nullopt;
    return p;
}

bool open_url_with_desktop(const std::string& url) {
    std::string_view rest;
    if (starts_with_ci(url, "http://"))
        rest = std::string_view(url).substr(7);
    else if (starts_with_ci(url, "https://"))
        rest = std::string_view(url).substr(8);
    else
        return false;
    if (rest.empty()) return false;
    for (unsigned char c : url)
        if (c < 0x20 || c == 0x7F) return false;
    return spawn_detached("xdg-open", {url}, true);
}

std::vector<std::string> local_ipv4_addresses(bool include_loopback) {
    std::vector<std::string> out;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return out;
    for (ifaddrs* i = list; i; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET) continue;
        if (!(i->ifa_flags & IFF_UP)) continue;
        if ((i->ifa_flags & IFF_LOOPBACK) && !include_loopback) continue;
        char text[INET_ADDRSTRLEN] = {};
        const auto* sin = reinterpret_cast<const sockaddr_in*>(i->ifa_addr);
        if (inet_ntop(AF_INET, &sin->sin_addr, text, sizeof text)) out.emplace_back(text);
    }
    freeifaddrs(list);
    return out;
}

SingleInstanceLock::SingleInstanceLock() : folder_(default_lock_folder()) {}

SingleInstanceLock::SingleInstanceLock(fs::path folder) : folder_(std::move(folder)) {}

SingleInstanceLock::~SingleInstanceLock() { release(); }

fs::path SingleInstanceLock::file_for(std::string_view program_name) const {
    return folder_ / (name_part(program_name) + "-" + std::to_string(geteuid()) + "-" +
                      name_part(display_name()) + ".lock");
}

bool SingleInstanceLock::acquire(std::string_view program_name) {
    if (held()) return true;
    const fs::path file = file_for(program_name);
    // No symbolic links and only a file of our own: in a shared /tmp another user could
    // otherwise plant the name.
    int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return true;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
        close(fd);
        return true;
    }
    int r;
    do {
        r = flock(fd, LOCK_EX | LOCK_NB);
    } while (r != 0 && errno == EINTR);
    if (r == 0) {
        fd_ = fd;
        return true;
    }
    const bool taken = errno == EWOULDBLOCK;
    close(fd);
    return !taken;
}

void SingleInstanceLock::release() {
    // The file stays: removing it would let a starter lock a new file while another holds the
    // old one.
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

}  // namespace platform
