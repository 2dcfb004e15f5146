#pragma once
// The set file: the card list read once at start-up. Records end at "|" CR LF, fields at "|";
// field 2 holds the set numbers and field 3 the set codes (";" between them), and a record
// gives one card database entry per set code.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cards/card_store.hpp"

namespace tw {

inline constexpr std::string_view kSetFileName = "zqm.set";
inline constexpr std::string_view kOcgSetFileName = "ocg_zqm.set";

// The set file for this command line: only exactly "-ocg" chooses the alternative list.
std::string_view SetFileName(std::string_view command_line);

// Called with each new whole percentage while records 1 to N are read (N: the number of record
// separators); never for a text without separator, so at most 100 times.
using SetFileProgress = std::function<void(int percent)>;

// The card database entries of a set file's text (after "&amp;" was undone), held over that
// text. An empty or unusable record keeps its place as an empty entry, so a text that ends with
// the separator ends with an empty entry; a text without any byte gives no entry at all.
CardStore ParseSetFile(std::string text, const SetFileProgress& progress = {});

}  // namespace tw
