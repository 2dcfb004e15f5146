#include "tests/support/forked.hpp"

#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <system_error>

namespace tw::test {

namespace {

constexpr uid_t kNobody = 65534;

bool LoseWriteAccess(const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    if (::geteuid() == 0) {
        if (::chown(folder.c_str(), kNobody, kNobody) != 0) return false;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(folder, ec))
            if (::lchown(e.path().c_str(), kNobody, kNobody) != 0) return false;
        if (::chmod(folder.c_str(), 0555) != 0) return false;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) return false;
    } else if (::chmod(folder.c_str(), 0555) != 0) {
        return false;
    }
    return ::access(folder.c_str(), W_OK) != 0;
}

bool LimitFileSize(rlim_t bytes) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0) return false;
    limit.rlim_cur = bytes;
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

}  // namespace

const char* Name(WriteRefusal r) {
    return r == WriteRefusal::ReadOnlyFolder ? "read-only folder" : "file-size limit";
}

int UnderRefusal(WriteRefusal r, const std::filesystem::path& folder, const std::function<int()>& body) {
    struct stat before {};
    const bool known = ::stat(folder.c_str(), &before) == 0;
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        int code = 255;
        try {
            const bool refused = r == WriteRefusal::ReadOnlyFolder ? LoseWriteAccess(folder) : LimitFileSize(16);
            code = refused ? body() : kRefusalNotArranged;
        } catch (...) {
        }
        ::_exit(code & 0xff);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
    }
    if (known) {
        (void)::chown(folder.c_str(), before.st_uid, before.st_gid);
        (void)::chmod(folder.c_str(), before.st_mode & 07777);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace tw::test
