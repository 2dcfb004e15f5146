#include "tests/support/prosody_server.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace tw::test {

namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

bool Accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const sockaddr_in a = Loopback(port);
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

std::string Config(const std::filesystem::path& dir, int port) {
    const std::string d = dir.string();
    std::string c;
    c += "daemonize = false\n";
    c += "pidfile = \"" + d + "/prosody.pid\"\n";
    c += "data_path = \"" + d + "/data\"\n";
    c += "certificates = \"" + d + "\"\n";
    c += "plugin_paths = {}\n";
    // The legacy login and in-band registration are what the program speaks; offline storage
    // carries the first side's messages to a peer who logs in later.
    c += "modules_enabled = { \"roster\"; \"saslauth\"; \"legacyauth\"; \"register\"; \"offline\"; \"disco\"; \"ping\"; \"posix\" }\n";
    c += "modules_disabled = { \"s2s\"; \"tls\" }\n";
    c += "allow_registration = true\n";
    c += "min_seconds_between_registrations = 0\n";
    c += "c2s_require_encryption = false\n";
    c += "allow_unencrypted_plain_auth = true\n";
    c += "authentication = \"internal_hashed\"\n";
    c += "interfaces = { \"127.0.0.1\" }\n";
    c += "c2s_ports = { " + std::to_string(port) + " }\n";
    c += "s2s_ports = {}\nc2s_direct_tls_ports = {}\nlegacy_ssl_ports = {}\ncomponent_ports = {}\n";
    c += "http_ports = {}\nhttps_ports = {}\n";
    c += "log = { { levels = { min = \"info\" }, to = \"console\" } }\n";
    c += "VirtualHost \"localhost\"\n";
    return c;
}

}  // namespace

int FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("no socket for a free port");
    sockaddr_in a = Loopback(0);
    socklen_t n = sizeof a;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n) != 0) {
        ::close(fd);
        throw std::runtime_error("no free loopback port");
    }
    ::close(fd);
    return ntohs(a.sin_port);
}

ProsodyServer::ProsodyServer() {
    const auto cfg = dir_ / "prosody.cfg.lua";
    std::filesystem::create_directories(dir_ / "data");
    // A port that was free a moment ago may be taken by another test in between: try a few.
    for (int attempt = 0; attempt < 5 && pid_ < 0; ++attempt) {
        port_ = FreeLoopbackPort();
        dir_.write("prosody.cfg.lua", Config(dir_.path(), port_));

        uid_t uid = 0;
        gid_t gid = 0;
        const bool root = ::geteuid() == 0;
        if (root) {
            const passwd* pw = ::getpwnam("prosody");
            if (!pw) throw std::runtime_error("prosody is run as its own user, and there is no user \"prosody\"");
            uid = pw->pw_uid;
            gid = pw->pw_gid;
            for (const auto& e : std::filesystem::recursive_directory_iterator(dir_.path()))
                if (::chown(e.path().c_str(), uid, gid) != 0) throw std::runtime_error("cannot hand the folder to prosody");
            if (::chown(dir_.path().c_str(), uid, gid) != 0) throw std::runtime_error("cannot hand the folder to prosody");
        }
        const std::string out = (dir_ / "console.log").string();
        const pid_t pid = ::fork();
        if (pid < 0) throw std::runtime_error("cannot start prosody");
        if (pid == 0) {
            ::setpgid(0, 0);
            const int log = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (log >= 0) {
                ::dup2(log, 1);
                ::dup2(log, 2);
            }
            const int null = ::open("/dev/null", O_RDONLY);
            if (null >= 0) ::dup2(null, 0);
            if (root && (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)) ::_exit(126);
            ::execlp("prosody", "prosody", "--config", cfg.c_str(), "-F", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        bool up = false;
        int status = 0;
        bool exited = false;
        while (std::chrono::steady_clock::now() < give_up) {
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                exited = true;
                break;
            }
            if (Accepts(port_)) {
                up = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (up) {
            pid_ = pid;
            break;
        }
        if (!exited) {
            ::kill(-pid, SIGKILL);
            ::waitpid(pid, &status, 0);
        }
        if (exited && WIFEXITED(status) && WEXITSTATUS(status) >= 126)
            throw std::runtime_error("prosody cannot be run (is it installed?): " + log());
    }
    if (pid_ < 0) throw std::runtime_error("prosody did not start: " + log());
}

ProsodyServer::~ProsodyServer() {
    if (pid_ <= 0) return;
    ::kill(-pid_, SIGTERM);
    int status = 0;
    for (int i = 0; i < 250; ++i) {
        if (::waitpid(pid_, &status, WNOHANG) == pid_) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(-pid_, SIGKILL);
    ::waitpid(pid_, &status, 0);
}

std::string ProsodyServer::log() const { return TempDir::read(dir_ / "console.log"); }

}  // namespace tw::test
