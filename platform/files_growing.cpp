#include "platform/files_growing.hpp"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files.hpp"

namespace platform {

namespace {

bool pwrite_all(int fd, std::string_view bytes, off_t at) {
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
        at += n;
    }
    return true;
}

// Whether a program other than this one still has the file open: a reader that opened the log
// before this copy stopped being it, reading slowly or following it. A write lease is granted
// only to the one open file; its break notice, should someone open the file in the moment it
// is held, comes as a signal that is ignored unless asked for, not as SIGIO, which would end
// the program.
bool held_open_elsewhere(int fd) {
    ::fcntl(fd, F_SETSIG, SIGURG);
    if (::fcntl(fd, F_SETLEASE, F_WRLCK) == 0) {
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
        return false;
    }
    // A file system without leases cannot tell.
    return errno == EAGAIN || errno == EBUSY;
}

bool same_inode(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

bool GrowingFileWriter::Stamp::operator==(const Stamp& o) const {
    return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
           mtime.tv_nsec == o.mtime.tv_nsec;
}

GrowingFileWriter::Stamp GrowingFileWriter::StampOf(const struct stat& st) {
    return Stamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim};
}

bool GrowingFileWriter::SpareIntact() const {
    struct stat st {};
    return spare_fd_ >= 0 && ::lstat(spare_path_.c_str(), &st) == 0 && StampOf(st) == spare_;
}

void GrowingFileWriter::release() {
    if (spare_fd_ < 0) return;
    // Only the spare's own name goes: a name that now stands for another file stays.
    struct stat own {}, named {};
    if (::fstat(spare_fd_, &own) == 0 && ::lstat(spare_path_.c_str(), &named) == 0 && same_inode(own, named))
        ::unlink(spare_path_.c_str());
    ::close(spare_fd_);
    spare_fd_ = -1;
}

void GrowingFileWriter::AdoptSpare(const Stamp& former, std::size_t same) {
    const int fd = ::open(spare_path_.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return;
    struct stat st {};
    const bool former_copy = ::fstat(fd, &st) == 0 && StampOf(st) == former && st.st_nlink == 1;
    // A sweep of stale temporaries in another process may hold it; then it is theirs to remove.
    if (!former_copy || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return;
    }
    spare_fd_ = fd;
    spare_ = StampOf(st);
    spare_same_ = std::min(same, static_cast<std::size_t>(st.st_size));
}

bool GrowingFileWriter::write(const fs::path& file, std::string_view bytes, std::size_t same) {
    last_written_ = 0;
    if (file.empty() || !file.has_filename()) return false;
    struct stat target {};
    const bool there = ::lstat(file.c_str(), &target) == 0;
    // The copy the last write left, unchanged and known by no other name: only such a copy may
    // become the spare, to be written over later.
    const bool ours = there && file == file_ && S_ISREG(target.st_mode) && target.st_nlink == 1 &&
                      StampOf(target) == written_;
    if (!ours || !SpareIntact() || held_open_elsewhere(spare_fd_)) release();
    std::size_t from = 0;
    if (spare_fd_ >= 0) {
        from = std::min({spare_same_, same, bytes.size()});
    } else {
        auto temp = open_temp_beside(file);
        if (!temp) {
            file_.clear();
            return false;
        }
        spare_fd_ = temp->fd;
        spare_path_ = temp->path;
    }
    struct stat spare {};
    bool ok = ::fstat(spare_fd_, &spare) == 0;
    // The permissions follow the file's, as a rewrite through write_file_atomic's keeps them.
    if (ok && there && (spare.st_mode & 07777) != (target.st_mode & 07777))
        ok = ::fchmod(spare_fd_, target.st_mode & 07777) == 0;
    ok = ok && pwrite_all(spare_fd_, bytes.substr(from), static_cast<off_t>(from));
    if (ok && static_cast<std::uint64_t>(spare.st_size) > bytes.size())
        ok = ::ftruncate(spare_fd_, static_cast<off_t>(bytes.size())) == 0;
    ok = ok && ::fsync(spare_fd_) == 0 && ::fstat(spare_fd_, &spare) == 0;
    if (ok && before_rename_hook) ok = before_rename_hook(spare_path_, file);
    bool exchanged = false;
    if (ok && ours && exchange_works_) {
        exchanged = ::renameat2(AT_FDCWD, spare_path_.c_str(), AT_FDCWD, file.c_str(), RENAME_EXCHANGE) == 0;
        if (!exchanged && (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)) exchange_works_ = false;
    }
    // A plain rename is write_file_atomic's way: always sound, and the former copy is gone.
    if (ok && !exchanged) ok = ::rename(spare_path_.c_str(), file.c_str()) == 0;
    if (!ok) {
        release();
        // What the caller counts as the last write never reached the file.
        file_.clear();
        return false;
    }
    ::close(spare_fd_);
    spare_fd_ = -1;
    file_ = file;
    written_ = StampOf(spare);
    last_written_ = bytes.size() - from;
    // The former copy may be written over only once no crash can bring back the state in which
    // it was still the file.
    const bool durable = sync_folder(file.parent_path());
    if (exchanged && durable) AdoptSpare(StampOf(target), same);
    if (exchanged && spare_fd_ < 0) {
        // Not to be reused, so not to be kept. Removing a name changes no data, so this is safe
        // even before the exchange is on disk.
        struct stat st {};
        if (::lstat(spare_path_.c_str(), &st) == 0 && StampOf(st) == StampOf(target)) ::unlink(spare_path_.c_str());
    }
    return true;
}

}  // namespace platform
