// A page from the web, as the page model reads it and the deck editor takes its ban list from
// it: every element lies within the page, and the ban list reads whatever the page holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "deckeditor/ban_list.hpp"
#include "platform/html.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string page(reinterpret_cast<const char*>(data), size);
    const platform::HtmlDocument doc(page);
    if (doc.all_count() < 3 || doc.source() != page) std::abort();
    for (int i = 0; i < doc.all_count(); ++i) {
        const platform::HtmlElement& e = doc.all(i);
        if (e.inner_begin() > e.inner_end() || e.inner_end() > page.size() || e.tag.empty()) std::abort();
    }
    const std::string root = doc.document_element().inner_html();
    const auto list = tw::ParseBanListPage(root);
    if (list.empty() || !list.back().empty()) std::abort();  // always closed by the empty entry
    (void)tw::DecodeCharacterReferences(page);
    return 0;
}
