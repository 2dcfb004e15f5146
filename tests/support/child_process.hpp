#pragma once
// A program started by a test as a process of its own, whose output lines the test reads as
// they come. The process is killed when the object goes away, so a failing test leaves none.
#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tw::test {

class ChildProcess {
public:
    // Starts program with args; its stdout is read here, its stderr goes to the test's.
    ChildProcess(const std::string& program, const std::vector<std::string>& args);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next output line, waiting at most `limit`; nothing at the end of the output or after
    // the limit.
    std::optional<std::string> ReadLine(std::chrono::milliseconds limit);
    // Reads lines until one starts with `prefix`, which it returns; nothing when none came in time.
    std::optional<std::string> ReadUntil(const std::string& prefix, std::chrono::milliseconds limit);
    // Every line read so far.
    const std::vector<std::string>& Lines() const { return lines_; }

    // Reads the rest of the output and waits for the end; the exit status, or -1 when the
    // process had to be killed after the limit (or ended by a signal).
    int Wait(std::chrono::milliseconds limit);

private:
    int pid_ = -1;
    int out_ = -1;
    bool reaped_ = false;
    int status_ = -1;
    std::string pending_;
    std::vector<std::string> lines_;
};

}  // namespace tw::test
