#pragma once
// Files and folders as the programs use them: paths glued with "\" below the program folder,
// names matched without regard to letter case, whole-file reads and atomic whole-file writes.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

namespace fs = std::filesystem;

// Resolves a program-relative path ("images\x.gif", "Decks/", "\settings.ini") below base, one
// component at a time: an existing entry whose name equals the component ignoring ASCII case is
// used (an exact match wins, then the byte-wise smallest of the others). Components that do not
// exist are kept as written, so the result also names files still to be created. "." is
// skipped, ".." never climbs above base and a leading separator counts as relative to base. A
// trailing separator is kept (the result then ends in "/").
fs::path resolve(const fs::path& base, std::string_view rel);
inline fs::path resolve(const fs::path& base, const char* rel) {
    return resolve(base, std::string_view(rel));
}
inline fs::path resolve(const fs::path& base, const std::string& rel) {
    return resolve(base, std::string_view(rel));
}

// For a path that is already absolute (a stored folder setting): the part of it below root is
// resolved as above; a path that does not lie below root comes back unchanged (normalised).
// A relative path is taken as relative to root.
fs::path resolve(const fs::path& root, const fs::path& path);

// As resolve(), for paths from untrusted input: nullopt when rel is absolute (leading separator
// or drive letter), holds a NUL or other control byte, or climbs above base with "..".
std::optional<fs::path> resolve_inside(const fs::path& base, std::string_view rel);

// Reduces a text to one harmless file-name component: separators and control bytes become "_",
// leading dots become "_" (no hidden file, no "." or ".."), an empty text gives "_", and the
// result is cut to 200 bytes so that a prefix and suffix still fit the system's name limit.
std::string safe_component(std::string_view text);

// The largest file the whole-file reads take. Far above any real set file, deck, log or settings;
// a larger file is refused as unreadable rather than costing gigabytes.
inline constexpr std::size_t kMaxReadBytes = std::size_t{64} << 20;

// The whole file as bytes; nullopt when it cannot be read: missing, no regular file (a folder,
// FIFO or device is never opened for reading), or over max_bytes (refused before any byte is read).
std::optional<std::string> read_file(const fs::path& file, std::size_t max_bytes = kMaxReadBytes);
// The same, raising rt::RuntimeError 53 when the file is missing and 75 when it cannot be read.
std::string read_file_or_throw(const fs::path& file);

// Writes bytes as the whole file: a temporary file in the same folder (".NAME.tmp-XXXXXX", locked
// from its creation until it is renamed), flushed to disk, then renamed over the target. On any
// failure the old file is left whole, the temporary file is removed and false comes back (a
// file-size limit is such a failure, not a signal). Temporary files that earlier, interrupted
// writes of the same target left behind are removed first. With mode the file gets those
// permissions; otherwise an existing file keeps its own and a new one gets the usual default
// (0666 less the umask).
bool write_file_atomic(const fs::path& file, std::string_view bytes,
                       std::optional<fs::perms> mode = {});

// A new hidden temporary file beside file, named as write_file_atomic names its own and locked
// while this process holds it open, with the permissions the file is to get (as above); the
// temporaries that interrupted saves of file left behind are removed first. nullopt when it
// cannot be made. The caller writes it, renames it over file or removes it, and closes fd.
struct TempFile {
    int fd = -1;
    fs::path path;
};
std::optional<TempFile> open_temp_beside(const fs::path& file, std::optional<fs::perms> mode = {});

// Flushes a folder's entries (a rename into it) to disk; false when that failed.
bool sync_folder(const fs::path& folder);

// Test hook, called once the temporary file is written and synced, just before the rename (by
// write_file_atomic and by the growing-file writer).
// Returning false stands for a crash at that point: the write is abandoned as a failure.
using BeforeRenameHook = bool (*)(const fs::path& temp_file, const fs::path& target);
extern BeforeRenameHook before_rename_hook;

// Removes from folder (not below it) every temporary file that an interrupted write_file_atomic
// left, whatever its target: regular files named as its temporary files are, that no write in
// progress, in this process or another, holds locked. Returns how many were removed.
std::size_t remove_stale_temp_files(const fs::path& folder);

// A file's bytes kept between reads. The file is read again only when the path no longer names
// what was read (another inode, size, change or modification time), or when the copy was taken
// so soon after a change that a further change could share its time stamp.
class FileCache {
public:
    explicit FileCache(std::size_t max_bytes = kMaxReadBytes) : max_bytes_(max_bytes) {}

    // The bytes as read_file(file, max_bytes) would give them now.
    const std::optional<std::string>& read(const fs::path& file);
    // Whether the last read found nothing at all under that path (rather than a file that could
    // not be read).
    bool missing() const { return stamp_.missing; }
    // This program has just written bytes as the file: they are the copy, no read needed.
    void wrote(const fs::path& file, std::string bytes);
    void forget() { valid_ = false; }
    // Counts the copies taken, so that what is derived from the bytes knows when to derive again.
    std::uint64_t generation() const { return generation_; }

private:
    struct Stamp {
        bool missing = true;
        std::uint64_t dev = 0, ino = 0, size = 0;
        std::int64_t mtime_ns = 0, ctime_ns = 0;
        bool operator==(const Stamp&) const = default;
    };
    static std::optional<Stamp> stamp_of(const fs::path& file);
    void keep(const fs::path& file, std::optional<std::string> bytes, const Stamp& stamp, bool sure);

    std::size_t max_bytes_;
    bool valid_ = false;
    bool sure_ = false;
    fs::path path_;
    Stamp stamp_;
    std::optional<std::string> bytes_;
    std::uint64_t generation_ = 0;
};

// An ordinary file: exists, is no folder and is not hidden (its name starts with "."). A path
// ending in a separator ("/" or "\") asks whether that folder holds an ordinary file. The empty
// path is false. Names are taken literally: "*" and "?" are ordinary characters.
bool file_exists(const fs::path& path);
// The folder holds at least one ordinary file.
bool folder_has_file(const fs::path& folder);
bool folder_exists(const fs::path& folder);
// An existing folder in which this process may create files.
bool folder_writable(const fs::path& folder);
// Creates one folder level (a missing parent is not created). True when the folder exists
// afterwards.
bool make_folder_one_level(const fs::path& folder);

// Whether name matches pattern: "*" any run, "?" one byte, letter case ignored.
bool wildcard_match_ci(std::string_view pattern, std::string_view name);

// Names of the ordinary files in folder that match pattern ("*.dek"; "*" and "?" wildcards,
// letter case ignored), sorted by name ignoring case. A missing folder gives an empty list.
std::vector<std::string> list_files(const fs::path& folder, std::string_view pattern);

}  // namespace platform
