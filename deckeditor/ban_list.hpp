#pragma once
// Ban lists: how many copies of a card a format allows, read from the list's page of the
// maker's site into tw.editor.BanList ("<limit>|<name>" entries in page order, then one empty one).
#include <string>
#include <vector>

namespace platform {
class WebBrowser;
}

namespace tw {
class Tablewright;

inline constexpr const char* kNoBanList = "No List";

// The entries of a ban-list page's root markup, followed by the closing empty element. Lines
// part at CR LF or "<br>"/"<BR>"; a line holding "Forbidden Cards -", "Limited Cards -" or
// "Semi-Limited " starts a section (0, 1, 2; lines before any are 0). A line of text with at
// most one kind of tag is an entry; names have their character references decoded.
std::vector<std::string> ParseBanListPage(const std::string& markup);

// "&amp;", "&lt;", "&gt;", "&quot;", "&apos;", "&nbsp;" (as a blank) and numeric references to
// single bytes decoded; any other "&" is kept as written.
std::string DecodeCharacterReferences(const std::string& text);

// Makes list_name the ban list in force. "No List" clears the list at once; another name loads
// its page into browser, waiting for it while other events run, and replaces the list once the
// page is complete. A page that fails to load, or a selection overtaken by a later one during
// the wait, leaves the list as it was.
void SelectBanList(Tablewright& tw, platform::WebBrowser& browser, const std::string& list_name);

}  // namespace tw
