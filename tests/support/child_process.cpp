#include "tests/support/child_process.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

extern char** environ;

namespace tw::test {

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point until) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args) {
    int pipe_fds[2];
    if (::pipe2(pipe_fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int rc = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe_fds[1]);
    if (rc != 0) {
        ::close(pipe_fds[0]);
        pid_ = -1;
        throw std::runtime_error("could not start " + program);
    }
    out_ = pipe_fds[0];
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !reaped_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) ::close(out_);
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::milliseconds limit) {
    const auto until = Clock::now() + limit;
    for (;;) {
        const std::size_t nl = pending_.find('\n');
        if (nl != std::string::npos) {
            std::string line = pending_.substr(0, nl);
            pending_.erase(0, nl + 1);
            lines_.push_back(line);
            return line;
        }
        if (out_ < 0) return std::nullopt;
        pollfd p{out_, POLLIN, 0};
        const int ready = ::poll(&p, 1, RemainingMs(until));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return std::nullopt;
        char buf[4096];
        const ssize_t n = ::read(out_, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ::close(out_);
            out_ = -1;
            if (!pending_.empty()) {
                lines_.push_back(pending_);
                std::string last = std::move(pending_);
                pending_.clear();
                return last;
            }
            return std::nullopt;
        }
        pending_.append(buf, static_cast<std::size_t>(n));
    }
}

std::optional<std::string> ChildProcess::ReadUntil(const std::string& prefix, std::chrono::milliseconds limit) {
    const auto until = Clock::now() + limit;
    while (auto line = ReadLine(std::chrono::milliseconds(RemainingMs(until))))
        if (line->rfind(prefix, 0) == 0) return line;
    return std::nullopt;
}

int ChildProcess::Wait(std::chrono::milliseconds limit) {
    const auto until = Clock::now() + limit;
    while (ReadLine(std::chrono::milliseconds(RemainingMs(until)))) {
    }
    while (!reaped_) {
        int status = 0;
        const pid_t r = ::waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
            reaped_ = true;
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            break;
        }
        if (Clock::now() >= until) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            reaped_ = true;
            status_ = -1;
            break;
        }
        ::usleep(10 * 1000);
    }
    return status_;
}

}  // namespace tw::test
