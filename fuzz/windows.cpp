// Outside bytes that the set updater, the token editor and the deck list take in: a fetched page,
// a token file, and text dropped onto the deck list. None may crash or index out of range; a
// page taken as a set file names a card and has only CR LF line ends; a token file read back
// from what the editor writes keeps its tokens; a drop or a move leaves a list that its own edits
// describe, with the marker still there.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cards/token_files.hpp"
#include "cards/updater.hpp"
#include "deckeditor/deck_list.hpp"
#include "deckeditor/deck_moves.hpp"
#include "platform/host.hpp"
#include "platform/html.hpp"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

void Page(std::string_view bytes) {
    const auto set = tw::SetFileFromPage(platform::HtmlDocument(std::string(bytes)));
    if (!set) return;
    Check(tw::HoldsACardRecord(*set));
    for (std::size_t i = 0; i < set->size(); ++i) {
        if ((*set)[i] == '\n') Check(i > 0 && (*set)[i - 1] == '\r');
        if ((*set)[i] == '\r') Check(i + 1 < set->size() && (*set)[i + 1] == '\n');
    }
}

void Tokens(std::string_view bytes) {
    const auto tokens = tw::ParseTokenFile(bytes, 51);
    Check(tokens.size() <= 51);
    // What the editor writes reads back with the same number of tokens.
    Check(tw::ParseTokenFile(tw::TokenFileText(tokens)).size() == tokens.size());
}

void Deck(std::string_view bytes) {
    // The first byte picks a line and a move; the rest, cut at NUL bytes, is the list, and the
    // dropped data is the whole rest.
    if (bytes.empty()) return;
    const int pick = static_cast<unsigned char>(bytes[0]);
    bytes.remove_prefix(1);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= bytes.size() && lines.size() < 64) {
        const std::size_t end = bytes.find('\0', start);
        lines.emplace_back(bytes.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    lines.emplace_back(tw::kSideDeck);
    const int selected = static_cast<int>(pick % (lines.size() + 1)) - 1;

    platform::DataObject data;
    data.set_data(std::string(bytes));
    if (const auto line = tw::DroppedLine(data)) {
        Check(!line->empty() && line->size() <= 200 && line->find_first_of("\r\n") == std::string::npos);
        std::vector<std::string> after = lines;
        tw::ApplyEdits(after, tw::PlanDrop(lines, selected, *line));
        Check(after.size() == lines.size() || after.size() == lines.size() + 1);
        Check(tw::MarkerIndex(after).has_value());
    }

    const auto plan = tw::PlanCopyMove(lines, selected, (pick & 0x80) ? tw::CopyMove::ToSide : tw::CopyMove::ToDeck,
                                       true, [pick](const std::string&) { return pick % 4; });
    std::vector<std::string> after = lines;
    tw::ApplyEdits(after, plan.edits);
    Check(tw::MarkerIndex(after).has_value());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Page(bytes);
    Tokens(bytes);
    Deck(bytes);
    return 0;
}
