#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "platform/files.hpp"
#include "platform/rt_error.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

namespace fs = platform::fs;
using tw::test::TempDir;

std::vector<std::string> entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// Installs a before-rename hook for one test and always takes it away again.
struct HookGuard {
    explicit HookGuard(platform::BeforeRenameHook h) { platform::before_rename_hook = h; }
    ~HookGuard() { platform::before_rename_hook = nullptr; }
};

TEST(FileExists, OrdinaryFilesOnlyAndFoldersThatHoldOne) {
    TempDir dir;
    dir.write("plain.txt", "x");
    dir.write(".hidden", "x");
    dir.write("dir/file.txt", "x");
    dir.write("hiddenonly/.h", "x");
    dir.write("onlysub/sub/file.txt", "x");
    dir.write("star*name.dek", "x");
    fs::create_directory(dir / "empty");

    const struct {
        std::string rel;
        bool exists;
    } cases[] = {
        {"plain.txt", true},      {".hidden", false},      {"missing.txt", false},
        {"dir", false},           {"dir/", true},          {"dir\\", true},
        {"dir//", true},          {"empty/", false},       {"hiddenonly/", false},
        {"onlysub/", false},      {"missing/", false},     {"plain.txt/", false},
        {"star*name.dek", true},  {"*.dek", false},        {"plain.tx?", false},
        {"dir/file.txt", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::file_exists(dir.path() / c.rel), c.exists) << c.rel;
    EXPECT_FALSE(platform::file_exists(""));
}

TEST(Folders, ExistHaveFilesAndAreMadeOneLevelAtATime) {
    TempDir dir;
    dir.write("file.txt", "x");
    dir.write("full/a.dek", "x");
    EXPECT_TRUE(platform::folder_has_file(dir / "full"));
    EXPECT_FALSE(platform::folder_has_file(dir / "missing"));
    EXPECT_FALSE(platform::folder_exists(dir / "file.txt"));
    EXPECT_FALSE(platform::folder_exists(""));

    EXPECT_TRUE(platform::make_folder_one_level(dir / "Logs"));
    EXPECT_TRUE(platform::folder_exists(dir / "Logs"));
    EXPECT_TRUE(platform::make_folder_one_level(dir / "Logs"));  // already there
    EXPECT_FALSE(platform::make_folder_one_level(dir / "a" / "b"));
    EXPECT_FALSE(fs::exists(dir / "a"));
    EXPECT_FALSE(platform::make_folder_one_level(dir / "file.txt"));
}

TEST(ListFiles, MatchesThePatternIgnoringCaseSortedByName) {
    TempDir dir;
    for (const char* name : {"b.dek", "A.DEK", "c.txt", ".h.dek", "deck.dek.bak", "a2.Dek"})
        dir.write(std::string("decks/") + name, "x");
    fs::create_directory(dir / "decks" / "folder.dek");

    using V = std::vector<std::string>;
    EXPECT_EQ(platform::list_files(dir / "decks", "*.dek"), (V{"A.DEK", "a2.Dek", "b.dek"}));
    EXPECT_EQ(platform::list_files(dir / "decks", "?.DEK"), (V{"A.DEK", "b.dek"}));
    EXPECT_EQ(platform::list_files(dir / "decks", "*"),
              (V{"A.DEK", "a2.Dek", "b.dek", "c.txt", "deck.dek.bak"}));
    EXPECT_TRUE(platform::list_files(dir / "missing", "*.dek").empty());
}

// The error read_file_or_throw raises, 0 for none.
int error_of(const fs::path& p) {
    try {
        platform::read_file_or_throw(p);
    } catch (const rt::RuntimeError& e) {
        return e.number;
    }
    return 0;
}

TEST(ReadFile, ReturnsTheBytesOrTheRightError) {
    TempDir dir;
    const std::string bytes("a\r\nb\0c\xff", 7);
    auto file = dir.write("data.bin", bytes);
    EXPECT_EQ(platform::read_file(file), bytes);
    EXPECT_EQ(platform::read_file_or_throw(file), bytes);
    EXPECT_EQ(platform::read_file(dir.write("empty", "")), std::string());

    EXPECT_FALSE(platform::read_file(dir / "missing").has_value());
    EXPECT_FALSE(platform::read_file(dir.path()).has_value());

    EXPECT_EQ(error_of(dir / "missing"), rt::ErrFileNotFound);
    EXPECT_EQ(error_of(file / "below"), rt::ErrFileNotFound);
    EXPECT_EQ(error_of(dir.path()), rt::ErrPathFileAccess);
}

TEST(WriteFileAtomic, ReplacesTheWholeFile) {
    TempDir dir;
    auto file = dir / "deck.dek";
    const std::string bytes("new\0data", 8);
    ASSERT_TRUE(platform::write_file_atomic(file, "a much longer old content\r\n"));
    ASSERT_TRUE(platform::write_file_atomic(file, bytes));
    EXPECT_EQ(TempDir::read(file), bytes);
    ASSERT_TRUE(platform::write_file_atomic(file, ""));
    EXPECT_EQ(TempDir::read(file), "");
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"deck.dek"});
}

bool crash(const fs::path& temp, const fs::path&) {
    // The new bytes are complete in the temporary file before the rename is attempted.
    EXPECT_EQ(TempDir::read(temp), "new content");
    return false;
}

TEST(WriteFileAtomic, CrashBeforeRenameLeavesOldFileAndNoTemporary) {
    TempDir dir;
    auto file = dir.write("settings.ini", "old content");
    {
        HookGuard guard(crash);
        EXPECT_FALSE(platform::write_file_atomic(file, "new content"));
    }
    EXPECT_EQ(TempDir::read(file), "old content");
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"settings.ini"});
}

TEST(WriteFileAtomic, FailuresLeaveEverythingAsItWas) {
    TempDir dir;
    EXPECT_FALSE(platform::write_file_atomic(dir / "missing" / "x.txt", "x"));
    fs::create_directory(dir / "target");
    dir.write("target/inside", "keep");
    EXPECT_FALSE(platform::write_file_atomic(dir / "target", "x"));
    EXPECT_EQ(TempDir::read(dir / "target" / "inside"), "keep");
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"target"});
    EXPECT_FALSE(platform::write_file_atomic("", "x"));
}

TEST(WriteFileAtomic, ModeIsAppliedOrTheOldOneKept) {
    TempDir dir;
    auto perms_of = [](const fs::path& p) { return fs::status(p).permissions() & fs::perms::mask; };
    using P = fs::perms;
    auto secret = dir / "token.cnl";
    ASSERT_TRUE(platform::write_file_atomic(secret, "x", P::owner_read | P::owner_write));
    EXPECT_EQ(perms_of(secret), P::owner_read | P::owner_write);

    auto shared = dir.write("shared.txt", "x");
    fs::permissions(shared, P::owner_read | P::owner_write | P::group_read);
    ASSERT_TRUE(platform::write_file_atomic(shared, "y"));
    EXPECT_EQ(perms_of(shared), P::owner_read | P::owner_write | P::group_read);

    // A new file without a mode gets the umask default, not the temporary file's private 0600.
    mode_t old_mask = ::umask(022);
    auto fresh = dir / "fresh.txt";
    bool written = platform::write_file_atomic(fresh, "z");
    ::umask(old_mask);
    ASSERT_TRUE(written);
    EXPECT_EQ(perms_of(fresh), P::owner_read | P::owner_write | P::group_read | P::others_read);
}

// Whole-file reads of whatever a path names, and saves interrupted or limited by the system.

// A file of that size that costs no disk.
fs::path sparse_file(const TempDir& dir, const std::string& name, std::uintmax_t size) {
    const fs::path p = dir.write(name, "");
    fs::resize_file(p, size);
    return p;
}

TEST(ReadFile, ReadsOnlyRegularFilesUpToTheLimit) {
    TempDir dir;
    const std::uintmax_t limit = platform::kMaxReadBytes;
    const struct {
        const char* what;
        fs::path path;
        bool readable;
    } cases[] = {
        {"a file of exactly the limit", sparse_file(dir, "limit.set", limit), true},
        {"one byte over the limit", sparse_file(dir, "over.set", limit + 1), false},
        {"a 2 GB sparse file", sparse_file(dir, "huge.dek", std::uintmax_t{2} << 30), false},
        {"a device", "/dev/null", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto started = std::chrono::steady_clock::now();
        const auto bytes = platform::read_file(c.path);
        EXPECT_EQ(bytes.has_value(), c.readable);
        if (bytes) {
            EXPECT_EQ(bytes->size(), platform::kMaxReadBytes);
        } else {
            EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
        }
        EXPECT_EQ(error_of(c.path), c.readable ? 0 : rt::ErrPathFileAccess);
    }
}

TEST(ReadFile, AFifoWithoutWriterIsRefusedAtOnceInsteadOfHanging) {
    TempDir dir;
    const fs::path fifo = dir / "settings.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto read = std::async(std::launch::async, [&] {
        const bool readable = platform::read_file(fifo).has_value();
        return std::pair(readable, error_of(fifo));
    });
    bool blocked = false;
    while (read.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        // Let the stuck reader go so that the test ends.
        blocked = true;
        const int w = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (w >= 0) ::close(w);
    }
    EXPECT_FALSE(blocked) << "reading a FIFO blocked";
    const auto [readable, error] = read.get();
    EXPECT_FALSE(readable);
    EXPECT_EQ(error, rt::ErrPathFileAccess);
}

TEST(WriteFileAtomic, RemovesWhatInterruptedSavesOfTheSameTargetLeft) {
    TempDir dir;
    const auto target = dir.write("settings.ini", "old");
    // Left by saves that were killed between creating and renaming their temporary file.
    dir.write(".settings.ini.tmp-a1B2c3", "password=old1");
    dir.write(".settings.ini.tmp-ZZZZZZ", "password=old2");
    // Not ours to remove: other targets, other names, and a save still in progress.
    dir.write(".deck.dek.tmp-a1B2c3", "x");
    dir.write(".settings.ini.tmp-a1B2c", "x");
    dir.write(".settings.ini.tmp-a1B2c3.bak", "x");
    dir.write("settings.ini.tmp-a1B2c3", "x");
    fs::create_directory(dir / ".settings.ini.tmp-folder");
    fs::create_symlink(dir / "elsewhere", dir / ".settings.ini.tmp-linked");
    const auto busy = dir.write(".settings.ini.tmp-inwork", "x");
    const int busy_fd = ::open(busy.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(busy_fd, LOCK_EX), 0);

    ASSERT_TRUE(platform::write_file_atomic(target, "new"));
    ::close(busy_fd);

    EXPECT_EQ(TempDir::read(target), "new");
    EXPECT_EQ(entries(dir.path()),
              (std::vector<std::string>{".deck.dek.tmp-a1B2c3", ".settings.ini.tmp-a1B2c",
                                        ".settings.ini.tmp-a1B2c3.bak", ".settings.ini.tmp-folder",
                                        ".settings.ini.tmp-inwork", ".settings.ini.tmp-linked",
                                        "settings.ini", "settings.ini.tmp-a1B2c3"}));
}

TEST(WriteFileAtomic, AFileSizeLimitFailsTheSaveInsteadOfKillingTheProgram) {
    TempDir dir;
    const auto target = dir.write("game.log", "old log");
    // The limit and the signal belong to the whole process: try it in a child.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rlimit limit{1024, 1024};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(10);
        const bool written = platform::write_file_atomic(target, std::string(4096, 'x'));
        ::_exit(written ? 11 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_FALSE(WIFSIGNALED(status)) << "killed by signal " << WTERMSIG(status);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10: no limit set, 11: the save claimed success";
    EXPECT_EQ(TempDir::read(target), "old log");
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"game.log"});
}

// ---- Left-overs of crashed saves, swept at start ----------------------------------------

TEST(RemoveStaleTempFiles, TakesTheWritersLeftOversOfAnyTargetButNothingElse) {
    TempDir dir;
    const struct {
        std::string name;
        bool stale;
    } cases[] = {
        {".settings.ini.tmp-a1B2c3", true},
        {".5-3_14_2_Rook.qlra.tmp-ZZZZZZ", true},
        {"..hidden.tmp-000000", true},
        {"." + std::string(100, 'n') + ".tmp-abcdef", true},  // the longest name part it writes
        {"." + std::string(101, 'n') + ".tmp-abcdef", false},
        {".settings.ini.tmp-a1B2c", false},
        {".settings.ini.tmp-a1B2c3.bak", false},
        {".settings.ini.tmp-a1-2c3", false},
        {"settings.ini.tmp-a1B2c3", false},
        {"..tmp-a1B2c3", false},
        {"deck.dek", false},
    };
    for (const auto& c : cases) dir.write(c.name, "x");
    fs::create_directory(dir / ".folder.tmp-abcdef");
    fs::create_symlink(dir / "deck.dek", dir / ".linked.tmp-abcdef");
    dir.write("sub/.below.tmp-abcdef", "x");
    const auto busy = dir.write(".busy.ini.tmp-abcdef", "x");
    const int busy_fd = ::open(busy.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(busy_fd, LOCK_EX), 0);

    EXPECT_EQ(platform::remove_stale_temp_files(dir.path()), 4u);
    ::close(busy_fd);

    for (const auto& c : cases) EXPECT_EQ(fs::exists(dir / c.name), !c.stale) << c.name;
    for (const char* kept : {".folder.tmp-abcdef", ".linked.tmp-abcdef", "sub/.below.tmp-abcdef", ".busy.ini.tmp-abcdef"})
        EXPECT_TRUE(fs::exists(fs::symlink_status(dir / kept))) << kept;
    EXPECT_EQ(platform::remove_stale_temp_files(dir / "missing"), 0u);
}

// Another copy of the program sweeping its folders at start must not take a save in progress
// for a crashed one, up to the moment its temporary file is renamed.
bool sweep_before_rename(const fs::path& temp, const fs::path&) {
    const int fd = ::open(temp.c_str(), O_RDONLY);
    const bool locked = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    if (fd >= 0) ::close(fd);
    EXPECT_TRUE(locked) << "the temporary file is not locked just before its rename";
    EXPECT_EQ(platform::remove_stale_temp_files(temp.parent_path()), 0u);
    return true;
}

TEST(WriteFileAtomic, ItsTemporaryFileStaysLockedUntilTheRename) {
    TempDir dir;
    const auto file = dir.write("game.qlra", "old");
    {
        HookGuard guard(sweep_before_rename);
        EXPECT_TRUE(platform::write_file_atomic(file, "new"));
    }
    EXPECT_EQ(TempDir::read(file), "new");
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"game.qlra"});
}

// ---- A file's bytes kept between reads -------------------------------------------------------

TEST(FileCache, ReadsAFileAgainOnlyOnceItChanged) {
    TempDir dir;
    const auto file = dir / "settings.ini";
    platform::FileCache cache(16);
    EXPECT_FALSE(cache.read(file).has_value());
    EXPECT_TRUE(cache.missing());

    dir.write("settings.ini", "USERNAME=Ann");
    ASSERT_EQ(cache.read(file), "USERNAME=Ann");
    EXPECT_FALSE(cache.missing());
    // In place at the same size, at once: within the tick of the read it is read again.
    dir.write("settings.ini", "USERNAME=Bob");
    EXPECT_EQ(cache.read(file), "USERNAME=Bob");
    // Over the cache's limit: refused, though there.
    dir.write("settings.ini", "USERNAME=Someone Else");
    EXPECT_FALSE(cache.read(file).has_value());
    EXPECT_FALSE(cache.missing());
    // Replaced whole by another program.
    ASSERT_TRUE(platform::write_file_atomic(file, "USERNAME=Cy"));
    EXPECT_EQ(cache.read(file), "USERNAME=Cy");

    // An old file is read once, however often it is asked for.
    dir.write("settings.ini", "USERNAME=Dee");
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    ASSERT_EQ(cache.read(file), "USERNAME=Dee");
    const auto once = cache.generation();
    for (int i = 0; i < 10; ++i) EXPECT_EQ(cache.read(file), "USERNAME=Dee");
    EXPECT_EQ(cache.generation(), once);
    // ... and again once it changed, even in place at the same size.
    dir.write("settings.ini", "USERNAME=Eve");
    EXPECT_EQ(cache.read(file), "USERNAME=Eve");
    EXPECT_GT(cache.generation(), once);

    // What the program wrote itself is kept without a read.
    ASSERT_TRUE(platform::write_file_atomic(file, "USERNAME=Flo"));
    cache.wrote(file, "USERNAME=Flo");
    const auto written = cache.generation();
    EXPECT_EQ(cache.read(file), "USERNAME=Flo");
    EXPECT_EQ(cache.generation(), written);
    fs::remove(file);
    EXPECT_FALSE(cache.read(file).has_value());
    EXPECT_TRUE(cache.missing());
}

}  // namespace
