#pragma once
#include <filesystem>
#include <string>

namespace tw::test {

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes away. Each test that touches files gets its own, so tests can run in parallel.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    // Writes bytes to a file below the folder, creating its folders.
    std::filesystem::path write(const std::string& relative, const std::string& bytes) const;
    // Reads a whole file as bytes.
    static std::string read(const std::filesystem::path& file);

private:
    std::filesystem::path path_;
};

}  // namespace tw::test
