#pragma once
// Whole-file saves of a file that grows, such as a log rewritten at every save, at the cost of
// what changed rather than of the whole file.
#include <cstddef>
#include <ctime>
#include <filesystem>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>

namespace platform {

namespace fs = std::filesystem;

// Each write keeps write_file_atomic's promise: whatever moment the program is killed or the
// power fails, the file holds the old or the new bytes whole. The new bytes go into a spare
// copy beside the file, the hidden temporary that write_file_atomic would use, which is synced
// and then swapped with the file in one exchange of the two names; the file's former copy
// becomes the spare, and the next write brings it up to date by writing only from the first
// byte in which it differs. A spare is thus never the file itself, and it is written only once
// the exchange that made it the spare has reached the disk.
//
// The first write of a file, a write after a failure, a write whose file was changed by
// anything else (replaced, given a second name, altered in size or time) and one whose spare
// another program still holds open (it opened the file before) write the whole file;
// on a file system that cannot exchange two names every write does, as write_file_atomic does.
class GrowingFileWriter {
public:
    GrowingFileWriter() = default;
    GrowingFileWriter(const GrowingFileWriter&) = delete;
    GrowingFileWriter& operator=(const GrowingFileWriter&) = delete;
    ~GrowingFileWriter() { release(); }

    // Writes bytes as the whole of file. same: how many leading bytes of bytes are those of the
    // last write of this file through this writer (0 when that is not known). On failure the
    // file is left as it was, the spare is removed and false comes back.
    bool write(const fs::path& file, std::string_view bytes, std::size_t same);

    // Removes the spare copy: the file no longer changes, and no temporary stays beside it.
    void release();

    // How many bytes the last write put into the file's new copy.
    std::size_t last_written() const { return last_written_; }

private:
    struct Stamp {
        dev_t dev = 0;
        ino_t ino = 0;
        off_t size = -1;
        timespec mtime{};
        bool operator==(const Stamp& o) const;
    };
    static Stamp StampOf(const struct stat& st);
    bool SpareIntact() const;
    void AdoptSpare(const Stamp& former, std::size_t same);

    fs::path file_;        // the file of the last write
    Stamp written_;        // the copy that write left as the file
    int spare_fd_ = -1;    // open and locked while the spare exists
    fs::path spare_path_;
    Stamp spare_;
    std::size_t spare_same_ = 0;  // leading bytes the spare shares with the file's copy
    bool exchange_works_ = true;
    std::size_t last_written_ = 0;
};

}  // namespace platform
