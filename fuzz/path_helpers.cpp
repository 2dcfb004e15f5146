// The path helpers on paths from files and peers: a resolved path stays inside its base, a path
// that would leave it is refused, and a name made harmless is one plain file name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "fuzz/program_fixture.hpp"
#include "platform/files.hpp"

namespace {

namespace fs = std::filesystem;

// A program folder with some entries for the names to match without regard to case.
struct Base {
    tw::fuzz::ScratchFolder folder;
    Base() {
        fs::create_directories(folder.path() / "Images" / "bwx");
        fs::create_directories(folder.path() / "decks");
        std::ofstream(folder.path() / "Images" / "bwx" / "Dragon.gif");
        std::ofstream(folder.path() / "settings.ini");
    }
};

bool inside(const fs::path& p, const fs::path& base) {
    const auto rel = p.lexically_normal().lexically_relative(base.lexically_normal());
    return !rel.is_absolute() && (rel.empty() || *rel.begin() != "..");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Base base;
    const fs::path& root = base.folder.path();
    const std::string_view rel(reinterpret_cast<const char*>(data), size);

    if (!inside(platform::resolve(root, rel), root)) std::abort();
    if (const auto p = platform::resolve_inside(root, rel); p && !inside(*p, root)) std::abort();

    const std::string name = platform::safe_component(rel);
    if (name.empty() || name.size() > 200 || name == "." || name == ".." || name.front() == '.') std::abort();
    for (const char c : name)
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f) std::abort();
    if (!inside(root / name, root) || (root / name).parent_path() != root) std::abort();
    return 0;
}
