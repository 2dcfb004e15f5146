// The address page a listening player's own address is read from: whatever the page holds, the
// address taken is a short run of address characters, or nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/connection.hpp"
#include "platform/html.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const platform::HtmlDocument page(std::string(reinterpret_cast<const char*>(data), size));
    const auto address = tw::AddressFromPage(page);
    if (!address) return 0;
    if (address->empty() || address->size() > 253) std::abort();
    for (char c : *address) {
        const bool ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.' ||
                        c == ':' || c == '-';
        if (!ok) std::abort();
    }
    return 0;
}
