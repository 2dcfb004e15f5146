#include "platform/desktop.hpp"

#include <arpa/inet.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_dir.hpp"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using tw::test::TempDir;

fs::path write_script(const TempDir& dir, const std::string& name, const std::string& body) {
    auto file = dir.write(name, "#!/bin/sh\nPATH=/usr/bin:/bin\n" + body);
    fs::permissions(file, fs::perms(0755));
    return file;
}

// The programs under test run on their own; this only bounds how long a broken one can hang
// the test, it decides nothing on a good run.
template <typename Pred>
bool eventually(Pred pred) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool all_reaped() {
    return eventually([] { return platform::reap_detached() == 0; });
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

class EnvVar {
public:
    EnvVar(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~EnvVar() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// Each argument, one a line, written whole by a rename so a half-written file is never read.
const char* kRecordArgs =
    "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$OUT.tmp\" && mv \"$OUT.tmp\" \"$OUT\"\n";

TEST(StartDetached, PassesEachArgumentUntouchedWithNoShell) {
    TempDir dir;
    auto script = write_script(dir, "record", "OUT=\"$(dirname \"$0\")/args\"\n" + std::string(kRecordArgs));
    const std::string injected = (dir / "injected").string();
    const std::vector<std::string> args = {
        "a;touch " + injected, "two words", "$(touch " + injected + ")", "*", "", "'\"|&>x",
    };
    ASSERT_TRUE(platform::start_detached(script, args));
    ASSERT_TRUE(eventually([&] { return fs::exists(dir / "args"); }));
    EXPECT_EQ(lines_of(TempDir::read(dir / "args")), args);
    EXPECT_FALSE(fs::exists(dir / "injected"));
    EXPECT_TRUE(all_reaped());
}

TEST(StartDetached, RefusesWhatCannotBeStarted) {
    TempDir dir;
    auto plain = dir.write("plain", "#!/bin/sh\ntouch should-not-run\n");  // not executable
    fs::create_directories(dir / "folder");
    EXPECT_FALSE(platform::start_detached(dir / "missing", {}));
    EXPECT_FALSE(platform::start_detached(plain, {}));
    EXPECT_FALSE(platform::start_detached(dir / "folder", {}));
    EXPECT_FALSE(platform::start_detached("", {}));
    EXPECT_EQ(platform::reap_detached(), 0u);
}

TEST(StartDetached, ChildHasItsOwnSessionAndNoneOfOurDescriptors) {
    TempDir dir;
    auto script = write_script(dir, "wait",
                               "D=\"$(dirname \"$0\")\"\n"
                               "cat /proc/$$/stat > \"$D/stat.tmp\" && mv \"$D/stat.tmp\" \"$D/stat\"\n"
                               "while [ ! -e \"$D/release\" ]; do sleep 0.01; done\n");
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);  // inheritable on purpose

    ASSERT_TRUE(platform::start_detached(script, {}));
    close(fds[1]);
    ASSERT_TRUE(eventually([&] { return fs::exists(dir / "stat"); }));

    // The child is running: if it had kept the write end, the pipe would not be hung up.
    pollfd p{fds[0], POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, 0), 1);
    EXPECT_TRUE(p.revents & POLLHUP);
    close(fds[0]);

    // /proc/<pid>/stat: pid (comm) state ppid pgrp session ...
    std::istringstream stat(TempDir::read(dir / "stat"));
    std::string pid, comm, state, ppid, pgrp, session;
    stat >> pid >> comm >> state >> ppid >> pgrp >> session;
    EXPECT_EQ(session, pid);
    EXPECT_NE(session, std::to_string(getsid(0)));

    EXPECT_EQ(platform::reap_detached(), 1u);
    dir.write("release", "");
    EXPECT_TRUE(all_reaped());
}

TEST(StartDetached, ReapsOnlyItsOwnChildren) {
    // A child started elsewhere in the process stays for its owner to wait for.
    pid_t other = -1;
    char true_arg0[] = "true";
    char* argv[] = {true_arg0, nullptr};
    ASSERT_EQ(posix_spawn(&other, "/bin/true", nullptr, nullptr, argv, environ), 0);
    siginfo_t info{};
    ASSERT_EQ(waitid(P_PID, static_cast<id_t>(other), &info, WEXITED | WNOWAIT), 0);  // ended

    platform::reap_detached();
    int status = -1;
    EXPECT_EQ(waitpid(other, &status, WNOHANG), other);
    EXPECT_TRUE(WIFEXITED(status));
}

TEST(ProgramFor, MapsProgramFolderNamesToExecutables) {
    TempDir dir;
    const fs::path app = dir / "app";
    auto exec = [&](const std::string& rel) {
        auto f = dir.write("app/" + rel, "#!/bin/sh\n");
        fs::permissions(f, fs::perms(0755));
        return f;
    };
    const auto scrollkeep = exec("utilities/scrollkeep");
    const auto bridgehall = exec("Bridgehall");
    dir.write("app/notes.txt", "not a program");
    fs::create_directories(app / "Tools");
    dir.write("outside", "#!/bin/sh\n");
    fs::permissions(dir / "outside", fs::perms(0755));

    const struct {
        const char* name;
        std::optional<fs::path> expected;
    } cases[] = {
        {"Utilities\\Scrollkeep.exe", scrollkeep},
        {"UTILITIES\\SCROLLKEEP.EXE", scrollkeep},
        {"bridgehall.exe", bridgehall},
        {"Bridgehall", bridgehall},
        {"Utilities\\Chatwell.exe", std::nullopt},
        {"notes.txt", std::nullopt},
        {"Tools", std::nullopt},
        {"..\\outside.exe", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto got = platform::program_for(app, c.name);
        ASSERT_EQ(got.has_value(), c.expected.has_value());
        if (got) {
            EXPECT_TRUE(fs::equivalent(*got, *c.expected));
        }
    }
}

TEST(OwnExecutable, IsThisTestProgram) {
    auto self = platform::own_executable();
    ASSERT_TRUE(self);
    EXPECT_EQ(self->filename(), "platform_desktop_tests");
}

TEST(OpenUrl, HandsOnlyWebAddressesToTheDesktopHandlerAsOneArgument) {
    TempDir dir;
    write_script(dir, "bin/xdg-open",
                 "OUT=\"$(dirname \"$0\")/../opened.$$\"\n" + std::string(kRecordArgs));
    EnvVar path("PATH", (dir / "bin").string());

    for (const char* refused : {"file:///etc/passwd", "-x", "javascript:alert(1)", "ftp://h/f",
                                "http://", "", "www.example.invalid", "http://a\nb", "http://a\tb"}) {
        SCOPED_TRACE(refused);
        EXPECT_FALSE(platform::open_url_with_desktop(refused));
    }
    const std::string url = "http://rulings.example.invalid/default.aspx?card=Two Words;rm -rf x";
    EXPECT_TRUE(platform::open_url_with_desktop(url));
    EXPECT_TRUE(platform::open_url_with_desktop("HTTPS://Example.invalid/"));
    ASSERT_TRUE(all_reaped());

    std::vector<std::string> opened;
    for (const auto& e : fs::directory_iterator(dir.path())) {
        if (e.path().filename().string().rfind("opened.", 0) != 0) continue;
        for (const auto& l : lines_of(TempDir::read(e.path()))) opened.push_back(l);
    }
    std::sort(opened.begin(), opened.end());
    EXPECT_EQ(opened, (std::vector<std::string>{"HTTPS://Example.invalid/", url}));
}

TEST(OpenUrl, FailsWithoutAHandler) {
    TempDir dir;
    EnvVar path("PATH", dir.path().string());
    EXPECT_FALSE(platform::open_url_with_desktop("http://example.invalid/"));
}

TEST(LocalAddresses, ListsIpv4AddressesWithLoopbackOnRequest) {
    const auto all = platform::local_ipv4_addresses(true);
    EXPECT_NE(std::find(all.begin(), all.end(), "127.0.0.1"), all.end());
    for (const auto& a : all) {
        in_addr parsed{};
        EXPECT_EQ(inet_pton(AF_INET, a.c_str(), &parsed), 1) << a;
    }
    const auto outside = platform::local_ipv4_addresses(false);
    for (const auto& a : outside) EXPECT_NE(a.rfind("127.", 0), 0u) << a;
    EXPECT_LT(outside.size(), all.size());
}

TEST(SingleInstanceLock, OneHolderPerNameUntilReleased) {
    TempDir dir;
    platform::SingleInstanceLock first(dir.path()), other(dir.path());
    auto second = std::make_unique<platform::SingleInstanceLock>(dir.path());
    ASSERT_TRUE(first.acquire("Tablewright"));
    EXPECT_TRUE(first.held());
    EXPECT_FALSE(second->acquire("Tablewright"));
    EXPECT_FALSE(second->held());
    EXPECT_TRUE(other.acquire("Bridgehall"));

    first.release();
    EXPECT_TRUE(second->acquire("Tablewright"));
    EXPECT_FALSE(first.acquire("Tablewright"));
    second.reset();  // going away releases
    EXPECT_TRUE(first.acquire("Tablewright"));
}

TEST(SingleInstanceLock, FileLeftByAnEndedHolderDoesNotBlock) {
    TempDir dir;
    platform::SingleInstanceLock lock(dir.path());
    const auto file = lock.file_for("Tablewright");
    dir.write(file.filename().string(), "left behind\n");
    EXPECT_TRUE(lock.acquire("Tablewright"));
    EXPECT_TRUE(lock.held());
}

TEST(SingleInstanceLock, AnotherProcessHoldsItUntilItEnds) {
    if (!fs::exists("/usr/bin/flock")) GTEST_SKIP() << "no flock program";
    TempDir dir;
    platform::SingleInstanceLock lock(dir.path());
    const auto file = lock.file_for("Scrollkeep");
    auto script = write_script(dir, "hold",
                               "D=\"$(dirname \"$0\")\"\n"
                               "exec flock -n \"$1\" sh -c 'touch \"$0/held\"; "
                               "while [ ! -e \"$0/release\" ]; do sleep 0.01; done' \"$D\"\n");
    ASSERT_TRUE(platform::start_detached(script, {file.string()}));
    ASSERT_TRUE(eventually([&] { return fs::exists(dir / "held"); }));
    EXPECT_FALSE(lock.acquire("Scrollkeep"));

    dir.write("release", "");
    ASSERT_TRUE(all_reaped());
    EXPECT_TRUE(lock.acquire("Scrollkeep"));
}

TEST(SingleInstanceLock, NameComesFromUserAndDisplay) {
    TempDir dir;
    platform::SingleInstanceLock lock(dir.path());
    const std::string uid = std::to_string(geteuid());
    fs::path with_screen, plain, other;
    {
        EnvVar d("DISPLAY", ":7.0");
        with_screen = lock.file_for("Tablewright");
    }
    {
        EnvVar d("DISPLAY", ":7");
        plain = lock.file_for("Tablewright");
    }
    {
        EnvVar d("DISPLAY", ":8");
        other = lock.file_for("Tablewright");
    }
    EXPECT_EQ(with_screen, plain);
    EXPECT_NE(plain, other);
    EXPECT_EQ(plain.parent_path(), dir.path());
    EXPECT_NE(plain.filename().string().find("-" + uid + "-"), std::string::npos);
    EXPECT_EQ(lock.file_for("../../etc/x").parent_path(), dir.path());
}

TEST(SingleInstanceLock, PlantedLinkIsNotFollowed) {
    TempDir dir;
    platform::SingleInstanceLock lock(dir.path());
    const auto file = lock.file_for("Tablewright");
    fs::create_symlink(dir / "target", file);
    EXPECT_TRUE(lock.acquire("Tablewright"));  // the start is not refused over it
    EXPECT_FALSE(lock.held());
    EXPECT_FALSE(fs::exists(dir / "target"));
}

}  // namespace
