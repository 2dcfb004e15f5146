#pragma once
// A program folder of the benchmark's own under the temporary folder, removed at the end.
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace tw::bench {

struct ScratchFolder {
    std::filesystem::path path;
    explicit ScratchFolder(const std::string& tag)
        : path(std::filesystem::temp_directory_path() / (tag + "-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
};

}  // namespace tw::bench
