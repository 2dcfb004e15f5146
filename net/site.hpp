#pragma once
// The maker's web site: one base address for every page, and the pages by path. The base is
// the program folder's "site" folder (a file:// address) unless the environment variable
// TABLEWRIGHT_SITE names another, such as an http:// host.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tw {
class Tablewright;

namespace site {
inline constexpr std::string_view kBaseVariable = "TABLEWRIGHT_SITE";
inline constexpr std::string_view kFolder = "site";

inline constexpr std::string_view kHome = "/index.html";
inline constexpr std::string_view kFirstRun = "/index.php?goto=zqm";
inline constexpr std::string_view kForumHelp = "/forums/index.php?showtopic=116";
inline constexpr std::string_view kManual = "/zqmmanual.pdf";
inline constexpr std::string_view kBanLists = "/zqm9.0/lists/";
inline constexpr std::string_view kNoList = "/zqm9.0/lists/nolist.html";
inline constexpr std::string_view kDeckReport = "/deck_r.php?payload=";
inline constexpr std::string_view kListenIp = "/ip.php";
inline constexpr std::string_view kConnectIp = "/zqm9.0/ip.php";
inline constexpr std::string_view kWhosOnline = "/whosonline.php";
// The current set file of each card list, served by a web host.
inline constexpr std::string_view kSetPageTcg =
    "/sets/zqm_sets.php?version=9.0&mode=tcg&filename=zqm.set&method=zqm";
inline constexpr std::string_view kSetPageOcg =
    "/sets/zqm_sets.php?version=9.0&mode=ocg&filename=ocg_zqm.set&method=zqm";
// The bundled folder's pages of the same: a file:// address has no query to tell them apart.
inline constexpr std::string_view kBundledSetPageTcg = "/sets/zqm_sets_tcg.html";
inline constexpr std::string_view kBundledSetPageOcg = "/sets/zqm_sets_ocg.html";

// The bundled folder holds plain files, which a desktop opens by their names: each page the
// program opens with a query there has an HTML file of its own.
struct BundledPage {
    std::string_view path;
    std::string_view file;
};
inline constexpr BundledPage kBundledPages[] = {
    {kFirstRun, "/getting-started.html"},
    {kForumHelp, "/forums/hosting-help.html"},
};
}  // namespace site

// The base without a closing "/": the variable's value when it is set and not blank, else
// "file://" and the absolute path of the program folder's site folder, percent-encoded so that
// a "#", "?" or "%" in a folder name stays part of the path.
std::string SiteBase(const Tablewright& tw);
// Whether the base is a web host (http or https): only a web host is sent reports and requests
// that it alone can answer; the bundled pages in the program folder are not.
bool SiteIsWebHost(const Tablewright& tw);
// The base followed by a path of the table above; for the bundled folder, the page's own file
// where it has one.
std::string SiteUrl(const Tablewright& tw, std::string_view path);

// The bundled page an address of the site names, when the site is the program folder's own and
// the page exists below it; nothing for any other address.
std::optional<std::filesystem::path> SitePageFile(const Tablewright& tw, std::string_view url);

// Every byte but letters, digits and - . _ ~ as %XX, so that a value cannot end the query or
// start a fragment.
std::string EncodeQueryValue(std::string_view value);

// The ban-list page of a list name other than "No List": the name lower-cased with every blank
// removed, "ocg_" before it under the command line "-ocg".
std::string BanListUrl(const Tablewright& tw, const std::string& list_name);
// The online-users page, with "?username=" and the name when one is given.
std::string WhosOnlineUrl(const Tablewright& tw, const std::string& user_name = {});
// The deck report page carrying the deck lines.
std::string DeckReportUrl(const Tablewright& tw, const std::string& deck_lines);
// The page holding the current set file of the normal list, or of the second list when ocg.
std::string SetPageUrl(const Tablewright& tw, bool ocg);

}  // namespace tw
