#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/controls.hpp"
#include "platform/rt_error.hpp"
#include "tests/support/temp_dir.hpp"
#include "surface.hpp"
#include "tests/platform/rt/error_of.hpp"

namespace platform {
namespace {

using test::Surface;
namespace fs = std::filesystem;

using rt::test::error_of;

struct DeckFolder : ::testing::Test {
    tw::test::TempDir dir;
    Surface s;
    FileListBox files{&s, "File1"};
    void SetUp() override {
        for (const char* n : {"zeta.dek", "Alpha.DEK", "beta.dek", ".hidden.dek", "notes.txt",
                              "dek", "b.dek.bak"})
            dir.write(n, "x");
        fs::create_directory(dir / "folder.dek");
    }
};

TEST_F(DeckFolder, ListsMatchingOrdinaryFilesSortedByName) {
    files.set_pattern("*.dek");
    files.set_path(dir.path());
    EXPECT_EQ(files.items(), (std::vector<std::string>{"Alpha.DEK", "beta.dek", "zeta.dek"}));
    files.set_pattern("*.*");
    EXPECT_EQ(files.list_count(), 6);  // every visible file, with or without a dot
    files.set_pattern("*.txt;z*");
    EXPECT_EQ(files.items(), (std::vector<std::string>{"notes.txt", "zeta.dek"}));
    files.set_pattern("?eta.dek");
    EXPECT_EQ(files.items(), (std::vector<std::string>{"beta.dek", "zeta.dek"}));
}

TEST_F(DeckFolder, SelectionGivesTheFileNameAndRefreshRereads) {
    files.set_pattern("*.dek");
    files.set_path(dir.path());
    EXPECT_EQ(files.file_name(), "");
    std::vector<std::string> log;
    files.Click = [&] { log.push_back("click " + files.file_name()); };
    files.DblClick = [&] { log.push_back("dbl " + files.file_name()); };
    files.user_double_click(1);
    EXPECT_EQ(log, (std::vector<std::string>{"click beta.dek", "dbl beta.dek"}));
    dir.write("new.dek", "x");
    files.refresh();
    EXPECT_EQ(files.list_count(), 4);
    EXPECT_EQ(files.list_index(), -1);
}

TEST_F(DeckFolder, MissingFolderIsRefusedAndTheListStays) {
    files.set_pattern("*.dek");
    files.set_path(dir.path());
    EXPECT_EQ(error_of([&] { files.set_path(dir / "nowhere"); }), rt::ErrPathNotFound);
    EXPECT_EQ(error_of([&] { files.set_path(dir / "notes.txt"); }), rt::ErrPathNotFound);
    EXPECT_EQ(files.path(), dir.path());
    EXPECT_EQ(files.list_count(), 3);
    // A folder removed under the list: refresh empties it instead of failing.
    tw::test::TempDir gone;
    files.set_path(gone.path());
    gone.write("a.dek", "x");
    files.refresh();
    EXPECT_EQ(files.list_count(), 1);
}

TEST(DirListBox, PathAndFolders) {
    tw::test::TempDir dir;
    fs::create_directories(dir / "logs");
    fs::create_directories(dir / "Decks");
    fs::create_directories(dir / ".cache");
    dir.write("file.txt", "x");
    Surface s;
    DirListBox d(&s, "Dir1");
    int changes = 0;
    d.Change = [&] { ++changes; };
    d.set_path(dir.path());
    EXPECT_EQ(d.folders(), (std::vector<std::string>{"Decks", "logs"}));
    d.set_path(dir.path());
    EXPECT_EQ(error_of([&] { d.set_path(dir / "missing"); }), rt::ErrPathNotFound);
    EXPECT_EQ(d.path(), dir.path());
    d.user_open(dir / "logs");
    EXPECT_EQ(changes, 2);
}

TEST(DriveListBox, OnlyTheRoot) {
    Surface s;
    DriveListBox drive(&s, "Drive1");
    EXPECT_EQ(drive.drive(), "/");
    EXPECT_EQ(drive.drives(), (std::vector<std::string>{"/"}));
    int changes = 0;
    drive.Change = [&] { ++changes; };
    drive.set_drive("/");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(error_of([&] { drive.set_drive("c:"); }), 68);
}

}  // namespace
}  // namespace platform
