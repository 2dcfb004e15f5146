#include "platform/files_growing.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/files.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

namespace fs = platform::fs;
using tw::test::TempDir;

std::vector<std::string> Entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

std::size_t HiddenEntries(const fs::path& folder) {
    std::size_t n = 0;
    for (const auto& name : Entries(folder)) n += name[0] == '.';
    return n;
}

// A log as the game log grows: numbers joined by dots, then CR LF. Version k holds the pieces
// 0 to k - 1; each piece is about a page long, so that a save spans pages.
constexpr int kPieces = 400;
struct Pieces {
    std::string all;
    std::vector<std::size_t> end;  // where piece k - 1 ends
    Pieces() {
        end.push_back(0);
        for (int i = 0; i < kPieces; ++i) {
            for (int j = 0; j < 1000; ++j) {
                if (!all.empty()) all += '.';
                all += std::to_string((i * 7 + j) % 256);
            }
            end.push_back(all.size());
        }
    }
};
const Pieces& All() {
    static const Pieces pieces;
    return pieces;
}
std::string Body(int pieces) { return All().all.substr(0, All().end.at(static_cast<std::size_t>(pieces))); }
std::string Version(int pieces) { return Body(pieces) + "\r\n"; }

TEST(GrowingFile, EveryWriteLeavesTheWholeNewFileAndCostsWhatIsNew) {
    TempDir dir;
    const fs::path file = dir / "duel.qlra";
    platform::GrowingFileWriter writer;
    std::string last;
    for (int k = 1; k <= 8; ++k) {
        const std::string bytes = Version(k);
        const std::size_t same = k == 1 ? 0 : Body(k - 1).size();
        ASSERT_TRUE(writer.write(file, bytes, same)) << k;
        EXPECT_EQ(TempDir::read(file), bytes) << k;
        // The first two writes make the file and its spare; from then on only the new piece,
        // with what the spare missed of the piece before it.
        if (k >= 3) {
            EXPECT_LE(writer.last_written(), bytes.size() - Body(k - 2).size()) << k;
        }
        EXPECT_EQ(HiddenEntries(dir.path()), k == 1 ? 0u : 1u) << k;
        last = bytes;
    }
    writer.release();
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"duel.qlra"});
    EXPECT_EQ(TempDir::read(file), last);
}

// Writes that do not only grow, and callers that know less than they could: each leaves exactly
// the bytes asked for.
TEST(GrowingFile, WritesThatShrinkOrChangeEarlierBytesAreWhole) {
    struct Step {
        std::string bytes;
        std::size_t same;
    };
    const std::string big = Version(3);
    const std::vector<Step> steps = {
        {"1.2.3\r\n", 0},
        {"1.2.3.4\r\n", 5},
        {big, 0},                // replaced by something else, told so
        {big + big, big.size()}, // grows
        {"9\r\n", 0},            // shrinks below both copies
        {"9\r\n", 3},            // the same again
        {"9.8\r\n", 1},
        {"9.8.7.6.5\r\n", 3},
        {"", 0},
        {"1\r\n", 0},
    };
    TempDir dir;
    const fs::path file = dir / "duel.qlra";
    platform::GrowingFileWriter writer;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        ASSERT_TRUE(writer.write(file, steps[i].bytes, steps[i].same)) << i;
        EXPECT_EQ(TempDir::read(file), steps[i].bytes) << i;
    }
}

int reader_fd = -1;

// Only a copy that no one else has touched is ever written over: a second name, a replacement,
// an edit in place by another program or a reader that still has it open keep what they hold,
// and the next write is still whole.
TEST(GrowingFile, ACopyTouchedByAnyoneElseIsNeverWrittenOver) {
    struct Case {
        const char* what;
        void (*touch)(const fs::path& file, const fs::path& dir);
    };
    const Case cases[] = {
        {"a second name", [](const fs::path& file, const fs::path& dir) { fs::create_hard_link(file, dir / "kept.qlra"); }},
        {"replaced", [](const fs::path& file, const fs::path&) { ASSERT_TRUE(platform::write_file_atomic(file, "7.7\r\n")); }},
        {"grown in place", [](const fs::path& file, const fs::path&) {
             FILE* f = std::fopen(file.c_str(), "ab");
             ASSERT_NE(f, nullptr);
             std::fputs("5.5\r\n", f);
             std::fclose(f);
         }},
        {"held open by a reader", [](const fs::path& file, const fs::path&) {
             // Left open on purpose, to be read at the end of the case.
             reader_fd = ::open(file.c_str(), O_RDONLY);
             ASSERT_GE(reader_fd, 0);
         }},
        {"the spare removed", [](const fs::path&, const fs::path& dir) {
             for (const auto& e : fs::directory_iterator(dir))
                 if (e.path().filename().string()[0] == '.') fs::remove(e.path());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const fs::path file = dir / "duel.qlra";
        platform::GrowingFileWriter writer;
        for (int k = 1; k <= 3; ++k) ASSERT_TRUE(writer.write(file, Version(k), k == 1 ? 0 : Body(k - 1).size()));
        c.touch(file, dir.path());
        const std::string touched = TempDir::read(file);
        for (int k = 4; k <= 6; ++k) {
            ASSERT_TRUE(writer.write(file, Version(k), Body(k - 1).size()));
            EXPECT_EQ(TempDir::read(file), Version(k)) << k;
        }
        if (fs::exists(dir / "kept.qlra")) {
            EXPECT_EQ(TempDir::read(dir / "kept.qlra"), touched);
        }
        if (reader_fd >= 0) {
            std::string seen(touched.size() + 100, '\0');
            seen.resize(static_cast<std::size_t>(::pread(reader_fd, seen.data(), seen.size(), 0)));
            ::close(reader_fd);
            reader_fd = -1;
            EXPECT_TRUE(seen == touched) << "what the reader opened changed under it";
        }
    }
}

TEST(GrowingFile, AFailedWriteLeavesTheOldFileAndNoSpare) {
    TempDir dir;
    const fs::path file = dir / "duel.qlra";
    platform::GrowingFileWriter writer;
    for (int k = 1; k <= 3; ++k) ASSERT_TRUE(writer.write(file, Version(k), k == 1 ? 0 : Body(k - 1).size()));
    {
        // A crash just before the swap.
        platform::before_rename_hook = [](const fs::path&, const fs::path&) { return false; };
        const bool written = writer.write(file, Version(4), Body(3).size());
        platform::before_rename_hook = nullptr;
        EXPECT_FALSE(written);
    }
    EXPECT_EQ(TempDir::read(file), Version(3));
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"duel.qlra"});
    ASSERT_TRUE(writer.write(file, Version(5), Body(4).size()));
    EXPECT_EQ(TempDir::read(file), Version(5));

    // A file-size limit reached while the spare is brought up to date. The limit and the signal
    // belong to the whole process: try it in a child.
    ASSERT_TRUE(writer.write(file, Version(6), Body(5).size()));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlim_t cap = static_cast<rlim_t>(Version(6).size() + 100);
        rlimit limit{cap, cap};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(10);
        const bool written = writer.write(file, Version(7), Body(6).size());
        ::_exit(written ? 11 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10: no limit set, 11: the write claimed success";
    EXPECT_EQ(TempDir::read(file), Version(6));
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"duel.qlra"});
}

// A writer killed at random moments, again and again on the same file, each time by a new
// process that goes on from the file it finds: the file is always one of its versions whole,
// and the spare of a killed writer is cleared by the next.
TEST(GrowingFile, KilledAtAnyMomentTheFileIsOneOfItsVersionsWhole) {
    TempDir dir;
    const fs::path file = dir / "duel.qlra";
    std::mt19937 random(20260101);
    int last_seen = 0;
    for (int round = 0; round < 40; ++round) {
        int done[2];
        ASSERT_EQ(::pipe(done), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(done[0]);
            platform::GrowingFileWriter writer;
            for (int k = last_seen + 1;; k = std::min(k + 1, kPieces)) {
                if (!writer.write(file, Version(k), k == last_seen + 1 ? 0 : Body(k - 1).size())) ::_exit(1);
                if (::write(done[1], "w", 1) != 1) ::_exit(1);
            }
        }
        ::close(done[1]);
        // Some writes done, the first two that copy the whole file among them, then somewhere
        // within the next.
        char note;
        for (int writes = static_cast<int>(random() % 6); writes > 0; --writes)
            ASSERT_EQ(::read(done[0], &note, 1), 1);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 4000));
        ::kill(child, SIGKILL);
        ::close(done[0]);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself";
        if (!fs::exists(file)) continue;  // killed before its first write
        const std::string got = TempDir::read(file);
        const int pieces = static_cast<int>(std::count(got.begin(), got.end(), '.') + 1) / 1000;
        ASSERT_EQ(got, Version(pieces)) << "round " << round << ", " << got.size() << " bytes";
        last_seen = pieces;
        // At most the killed writer's spare beside it.
        EXPECT_LE(HiddenEntries(dir.path()), 1u);
    }
    EXPECT_GT(last_seen, 40);
}

}  // namespace
