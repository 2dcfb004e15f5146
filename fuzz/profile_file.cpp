// The profile-file functions on a file of any content: reading never fails, a write that is
// refused leaves the file exactly as it was, and a written key reads back as written.
//
// The input is the file, then (after the first NUL bytes) the section, key and value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/program_fixture.hpp"
#include "platform/files.hpp"
#include "platform/ini.hpp"

namespace {

std::string_view take(std::string_view& rest) {
    const std::size_t nul = rest.find('\0');
    std::string_view part = rest.substr(0, nul);
    rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
    return part;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// The value as a line of the file holds it, and as reading gives it back.
std::string expected_read(std::string_view value) {
    std::string flat;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') continue;
        flat += (c == '\r' || c == '\n') ? ' ' : c;
    }
    return std::string(trim(trim(flat).substr(0, 749)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static tw::fuzz::ScratchFolder folder;
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::string content(take(rest));
    const std::string section(take(rest));
    const std::string key(take(rest));
    const std::string value(rest);

    const auto file = folder.path() / "settings.ini";
    if (!platform::write_file_atomic(file, content)) std::abort();
    (void)platform::ini_read(file, section, key, "default");

    if (!platform::ini_write(file, section, key, value)) {
        if (platform::read_file(file) != content) std::abort();
        return 0;
    }
    if (platform::ini_read(file, section, key, "\x01missing") != expected_read(value)) std::abort();
    return 0;
}
