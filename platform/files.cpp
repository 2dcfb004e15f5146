#include "platform/files.hpp"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <time.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/rt_error.hpp"

namespace platform {

BeforeRenameHook before_rename_hook = nullptr;

namespace {

char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool iequal(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

bool iless(const std::string& a, const std::string& b) {
    auto cmp = [](char x, char y) {
        return static_cast<unsigned char>(fold(x)) < static_cast<unsigned char>(fold(y));
    };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), cmp)) return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), cmp)) return false;
    return a < b;
}

bool is_separator(char c) { return c == '\\' || c == '/'; }
bool is_control(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }

std::vector<std::string> split_components(std::string_view rel) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t i = 0; i <= rel.size(); ++i) {
        if (i == rel.size() || is_separator(rel[i])) {
            if (i > start) out.emplace_back(rel.substr(start, i - start));
            start = i + 1;
        }
    }
    return out;
}

// The name under which component exists in folder, matched ignoring case.
std::string match_in(const fs::path& folder, const std::string& component) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return component;
    if (fs::exists(fs::symlink_status(folder / component, ec))) return component;
    std::optional<std::string> best;
    fs::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (iequal(name, component) && (!best || name < *best)) best = std::move(name);
    }
    return best ? *best : component;
}

// Walks components below base; with strict, "." and ".." above base refuse instead of clamping.
std::optional<fs::path> walk(const fs::path& base, const std::vector<std::string>& parts,
                             bool trailing_separator, bool strict) {
    std::vector<std::string> resolved;
    for (const auto& part : parts) {
        if (part == ".") continue;
        if (part == "..") {
            if (!resolved.empty()) resolved.pop_back();
            else if (strict) return std::nullopt;
            continue;
        }
        fs::path folder = base;
        for (const auto& r : resolved) folder /= r;
        resolved.push_back(match_in(folder, part));
    }
    fs::path out = base;
    for (const auto& r : resolved) out /= r;
    if (trailing_separator && !resolved.empty()) out /= "";
    return out;
}

bool ends_in_separator(std::string_view s) { return !s.empty() && is_separator(s.back()); }

bool is_hidden_name(const std::string& name) { return !name.empty() && name[0] == '.'; }

bool is_ordinary_file(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec) && !is_hidden_name(p.filename().string());
}

// Reads the whole file; on failure returns nullopt and sets err to the errno. Only a regular file
// is read, so a FIFO or device under a data file's name can neither hang nor flood the program;
// the open does not block for the same reason.
std::optional<std::string> read_all(const fs::path& file, int& err, std::size_t max_bytes) {
    err = 0;
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        err = errno;
        return std::nullopt;
    }
    auto fail = [&](int e) -> std::optional<std::string> {
        err = e;
        ::close(fd);
        return std::nullopt;
    };
    struct stat st {};
    if (::fstat(fd, &st) != 0) return fail(errno);
    if (S_ISDIR(st.st_mode)) return fail(EISDIR);
    if (!S_ISREG(st.st_mode)) return fail(EINVAL);
    if (st.st_size < 0 || static_cast<std::uint64_t>(st.st_size) > max_bytes) return fail(EFBIG);
    std::string out;
    out.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(errno);
        if (n == 0) break;
        // The file may grow while it is read.
        if (out.size() + static_cast<size_t>(n) > max_bytes) return fail(EFBIG);
        out.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return out;
}

bool write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

mode_t default_file_mode() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A write past a file-size limit (ulimit -f) must fail like a full disk, so that the caller
// reports it, instead of ending the program with SIGXFSZ.
void ignore_file_size_signal() {
    static const bool done = (::signal(SIGXFSZ, SIG_IGN), true);
    (void)done;
}

constexpr std::string_view kTempMarker = ".tmp-";
constexpr size_t kTempRandomChars = 6;  // mkstemp's XXXXXX
constexpr size_t kTempNameBytes = 100;  // of the target's name

// The hidden name prefix of a target's temporary files: "." + the first 100 bytes of its name,
// cut so that a long target name still leaves room for the suffix.
std::string temp_prefix(const fs::path& file) {
    return "." + file.filename().string().substr(0, kTempNameBytes) + std::string(kTempMarker);
}

bool is_temp_suffix(std::string_view random) {
    return random.size() == kTempRandomChars && std::all_of(random.begin(), random.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
}

bool is_temp_of(const std::string& name, const std::string& prefix) {
    return name.size() == prefix.size() + kTempRandomChars && name.compare(0, prefix.size(), prefix) == 0 &&
           is_temp_suffix(std::string_view(name).substr(prefix.size()));
}

// A temporary file of any target: "." + 1 to 100 bytes of a name + ".tmp-" + six letters or digits.
bool is_any_temp(std::string_view name) {
    constexpr size_t tail = kTempMarker.size() + kTempRandomChars;
    if (name.size() < 1 + 1 + tail || name.size() > 1 + kTempNameBytes + tail || name[0] != '.') return false;
    return name.substr(name.size() - tail, kTempMarker.size()) == kTempMarker &&
           is_temp_suffix(name.substr(name.size() - kTempRandomChars));
}

// Removes the temporary files in folder that is_temp says are ours: old copies of a file (the
// settings hold a password) would otherwise pile up. A save in progress holds a lock on its
// temporary file until it is renamed, so only abandoned ones are taken.
template <class IsTemp>
std::size_t remove_stale_temps(const fs::path& folder, IsTemp is_temp) {
    std::size_t removed = 0;
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const fs::path p = it->path();
        if (!is_temp(p.filename().string())) continue;
        std::error_code sec;
        if (!fs::is_regular_file(fs::symlink_status(p, sec))) continue;
        const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlink(p.c_str()) == 0) ++removed;
        ::close(fd);
    }
    return removed;
}

// A new temporary file for prefix, locked. Between its creation and the lock another process's
// sweep may take it for abandoned and remove it; such a file is given up for a fresh one.
int create_locked_temp(const fs::path& folder, const std::string& prefix, std::string& temp) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        temp = (folder / (prefix + std::string(kTempRandomChars, 'X'))).string();
        const int fd = ::mkstemp(temp.data());
        if (fd < 0) return -1;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            // Locked by the sweep that is about to remove it; a system without locks has no sweep
            // to fear.
            if (errno == EWOULDBLOCK) {
                ::close(fd);
                continue;
            }
            return fd;
        }
        struct stat mine {}, named {};
        if (::fstat(fd, &mine) == 0 && ::lstat(temp.c_str(), &named) == 0 && mine.st_dev == named.st_dev &&
            mine.st_ino == named.st_ino)
            return fd;
        ::close(fd);
    }
    return -1;
}

}  // namespace

fs::path resolve(const fs::path& base, std::string_view rel) {
    return *walk(base, split_components(rel), ends_in_separator(rel), false);
}

fs::path resolve(const fs::path& root, const fs::path& path) {
    if (path.is_relative()) return resolve(root, std::string_view(path.native()));
    fs::path norm = path.lexically_normal();
    fs::path r = root.lexically_normal();
    std::vector<std::string> below;
    auto ri = r.begin(), pi = norm.begin();
    for (; ri != r.end(); ++ri) {
        if (ri->empty() && std::next(ri) == r.end()) break;  // root given with a trailing "/"
        if (pi == norm.end() || *pi != *ri) return norm;
        ++pi;
    }
    bool trailing = false;
    for (; pi != norm.end(); ++pi) {
        if (pi->empty()) trailing = true;
        else below.push_back(pi->string());
    }
    return *walk(root, below, trailing, false);
}

std::optional<fs::path> resolve_inside(const fs::path& base, std::string_view rel) {
    if (std::any_of(rel.begin(), rel.end(), is_control)) return std::nullopt;
    if (!rel.empty() && is_separator(rel.front())) return std::nullopt;
    if (rel.size() >= 2 && rel[1] == ':' &&
        ((rel[0] >= 'A' && rel[0] <= 'Z') || (rel[0] >= 'a' && rel[0] <= 'z')))
        return std::nullopt;
    return walk(base, split_components(rel), ends_in_separator(rel), true);
}

std::string safe_component(std::string_view text) {
    std::string out(text.substr(0, 200));
    for (char& c : out)
        if (is_separator(c) || is_control(c)) c = '_';
    for (char& c : out) {
        if (c != '.') break;
        c = '_';
    }
    if (out.empty()) out = "_";
    return out;
}

std::optional<std::string> read_file(const fs::path& file, std::size_t max_bytes) {
    int err = 0;
    return read_all(file, err, max_bytes);
}

std::string read_file_or_throw(const fs::path& file) {
    int err = 0;
    auto bytes = read_all(file, err, kMaxReadBytes);
    if (bytes) return std::move(*bytes);
    if (err == ENOENT || err == ENOTDIR) throw rt::RuntimeError(rt::ErrFileNotFound);
    throw rt::RuntimeError(rt::ErrPathFileAccess);
}

std::optional<TempFile> open_temp_beside(const fs::path& file, std::optional<fs::perms> mode) {
    if (file.empty() || !file.has_filename()) return std::nullopt;
    ignore_file_size_signal();
    const fs::path folder = file.parent_path();
    // Hidden, so that a left-over from a real crash never shows up as a data file.
    const std::string prefix = temp_prefix(file);
    remove_stale_temps(folder, [&prefix](const std::string& name) { return is_temp_of(name, prefix); });
    std::string temp;
    const int fd = create_locked_temp(folder, prefix, temp);
    if (fd < 0) return std::nullopt;

    mode_t perms = 0;
    struct stat st {};
    if (mode) perms = static_cast<mode_t>(*mode) & 07777;
    else if (::stat(file.c_str(), &st) == 0) perms = st.st_mode & 07777;
    else perms = default_file_mode();
    if (::fchmod(fd, perms) != 0) {
        ::close(fd);
        ::unlink(temp.c_str());
        return std::nullopt;
    }
    return TempFile{fd, fs::path(temp)};
}

bool sync_folder(const fs::path& folder) {
    const int dfd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) return false;
    const bool ok = ::fsync(dfd) == 0;
    ::close(dfd);
    return ok;
}

bool write_file_atomic(const fs::path& file, std::string_view bytes,
                       std::optional<fs::perms> mode) {
    auto temp = open_temp_beside(file, mode);
    if (!temp) return false;
    bool ok = write_all(temp->fd, bytes) && ::fsync(temp->fd) == 0;
    if (ok && before_rename_hook) ok = before_rename_hook(temp->path, file);
    // The descriptor, and with it the lock, is kept until the temporary name is gone, so that no
    // sweep takes a file still being saved for one left by a crash.
    if (ok) ok = ::rename(temp->path.c_str(), file.c_str()) == 0;
    if (!ok) {
        ::unlink(temp->path.c_str());
        ::close(temp->fd);
        return false;
    }
    // The data was synced before the rename: a failing close loses nothing.
    ::close(temp->fd);
    // Makes the rename itself durable; the data is already safe, so a failure here is not one.
    sync_folder(file.parent_path());
    return true;
}

std::size_t remove_stale_temp_files(const fs::path& folder) {
    return remove_stale_temps(folder, [](const std::string& name) { return is_any_temp(name); });
}

std::optional<FileCache::Stamp> FileCache::stamp_of(const fs::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) {
        // A dangling link is something, not nothing: it is not to be written over as a new file.
        struct stat link {};
        if ((errno == ENOENT || errno == ENOTDIR) && ::lstat(file.c_str(), &link) != 0) return Stamp{};
        return std::nullopt;
    }
    auto ns = [](const timespec& t) { return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec; };
    return Stamp{false, static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                 static_cast<std::uint64_t>(st.st_size), ns(st.st_mtim), ns(st.st_ctim)};
}

void FileCache::keep(const fs::path& file, std::optional<std::string> bytes, const Stamp& stamp, bool sure) {
    path_ = file;
    bytes_ = std::move(bytes);
    stamp_ = stamp;
    sure_ = sure;
    valid_ = true;
    ++generation_;
}

const std::optional<std::string>& FileCache::read(const fs::path& file) {
    // Taken before the bytes: a change during the read then shows as a new stamp next time.
    const std::optional<Stamp> stamp = stamp_of(file);
    if (valid_ && sure_ && stamp && *stamp == stamp_ && file == path_) return bytes_;
    bool sure = stamp.has_value();
    if (stamp && !stamp->missing) {
        // File times tick coarsely (on some file systems by whole seconds): a change made within
        // the tick of the one just read may leave every stamp as it was. The change time is the
        // one no program can set back.
        constexpr std::int64_t kTickNs = std::int64_t{2} * 1'000'000'000;
        timespec now {};
        ::clock_gettime(CLOCK_REALTIME, &now);
        const std::int64_t now_ns = std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
        sure = now_ns - stamp->ctime_ns > kTickNs;
    }
    // A path that cannot even be looked at is something that cannot be read.
    keep(file, read_file(file, max_bytes_), stamp.value_or(Stamp{.missing = false}), sure);
    return bytes_;
}

void FileCache::wrote(const fs::path& file, std::string bytes) {
    // The program's own write needs no margin: another program that replaces the file makes a
    // new inode, and one that rewrites it in place, at the same size, within the same clock tick
    // as this write races it, so that one of the two writes is lost whatever is kept here.
    const std::optional<Stamp> stamp = stamp_of(file);
    keep(file, std::move(bytes), stamp.value_or(Stamp{.missing = false}), stamp && !stamp->missing);
}

bool file_exists(const fs::path& path) {
    const std::string& s = path.native();
    if (s.empty()) return false;
    if (ends_in_separator(s)) {
        std::string folder = s;
        while (folder.size() > 1 && ends_in_separator(folder)) folder.pop_back();
        return folder_has_file(folder);
    }
    return is_ordinary_file(path);
}

bool folder_has_file(const fs::path& folder) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec))
        if (is_ordinary_file(it->path())) return true;
    return false;
}

bool folder_exists(const fs::path& folder) {
    std::error_code ec;
    return !folder.empty() && fs::is_directory(folder, ec);
}

bool folder_writable(const fs::path& folder) {
    return folder_exists(folder) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool make_folder_one_level(const fs::path& folder) {
    if (folder.empty()) return false;
    if (::mkdir(folder.c_str(), 0777) == 0) return true;
    return errno == EEXIST && folder_exists(folder);
}

std::vector<std::string> list_files(const fs::path& folder, std::string_view pattern) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (is_ordinary_file(it->path()) && wildcard_match_ci(pattern, name)) names.push_back(name);
    }
    std::sort(names.begin(), names.end(), iless);
    return names;
}

bool wildcard_match_ci(std::string_view pat, std::string_view name) {
    size_t p = 0, n = 0, star = std::string_view::npos, mark = 0;
    while (n < name.size()) {
        if (p < pat.size() && (pat[p] == '?' || fold(pat[p]) == fold(name[n]))) {
            ++p;
            ++n;
        } else if (p < pat.size() && pat[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pat.size() && pat[p] == '*') ++p;
    return p == pat.size();
}

}  // namespace platform
