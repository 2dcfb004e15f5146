#pragma once
// Saves that the system refuses. A folder without write access and a file-size limit cannot be
// taken back by the process that took them on, so the test runs in a forked copy of itself,
// which reports through its exit status.
#include <filesystem>
#include <functional>

namespace tw::test {

enum class WriteRefusal {
    ReadOnlyFolder,  // no file can be created, removed or renamed in the folder
    FileSizeLimit,   // no file can grow past 16 bytes (RLIMIT_FSIZE; its signal is left as it is)
};
const char* Name(WriteRefusal r);

inline constexpr int kRefusalNotArranged = 254;

// Runs body in a forked copy of this process in which writes into folder are refused that way.
// The result is body's (0 to 253), kRefusalNotArranged, or -1 when a signal ended the child. The
// child leaves without running destructors, and the folder is the caller's own again afterwards.
// Root, which may write anywhere, gives the folder and its files to an unprivileged user and
// becomes that user for a read-only folder.
int UnderRefusal(WriteRefusal r, const std::filesystem::path& folder, const std::function<int()>& body);

}  // namespace tw::test
