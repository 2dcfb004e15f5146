#include "net/site.hpp"

#include "platform/files.hpp"

#include <cstdlib>
#include <filesystem>

#include "program/tablewright.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

constexpr std::string_view kFileScheme = "file://";
constexpr char kHex[] = "0123456789ABCDEF";

bool unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

// Every byte but letters, digits, - . _ ~ (and "/" when asked) as %XX.
std::string PercentEncode(std::string_view text, bool keep_slash) {
    std::string out;
    for (unsigned char c : text) {
        if (unreserved(c) || (keep_slash && c == '/')) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The path a file:// address names; a "%" not followed by two hex digits stands for itself.
std::string DecodePath(std::string_view path) {
    std::string out;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '%' && i + 2 < path.size()) {
            const int hi = HexValue(path[i + 1]), lo = HexValue(path[i + 2]);
            // A NUL would end the name early at the system's calls: it stays as written.
            if (hi >= 0 && lo >= 0 && hi + lo > 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += path[i];
    }
    return out;
}

bool IsFileAddress(std::string_view base) { return base.substr(0, kFileScheme.size()) == kFileScheme; }

}  // namespace

std::string SiteBase(const Tablewright& tw) {
    std::string base;
    if (const char* v = std::getenv(std::string(site::kBaseVariable).c_str())) base = rt::trim(v);
    if (base.empty()) {
        std::error_code ec;
        std::filesystem::path folder = std::filesystem::absolute(tw.path_of(site::kFolder), ec);
        if (ec) folder = tw.path_of(site::kFolder);
        base = std::string(kFileScheme) + PercentEncode(folder.generic_string(), true);
    }
    while (!base.empty() && base.back() == '/') base.pop_back();
    return base;
}

bool SiteIsWebHost(const Tablewright& tw) {
    const std::string base = rt::lcase(SiteBase(tw));
    return base.rfind("http://", 0) == 0 || base.rfind("https://", 0) == 0;
}

std::string SiteUrl(const Tablewright& tw, std::string_view path) {
    const std::string base = SiteBase(tw);
    if (IsFileAddress(base))
        for (const site::BundledPage& page : site::kBundledPages)
            if (page.path == path) return base + std::string(page.file);
    return base + std::string(path);
}

std::string EncodeQueryValue(std::string_view value) { return PercentEncode(value, false); }

std::string BanListUrl(const Tablewright& tw, const std::string& list_name) {
    const std::string prefix = tw.app.command == "-ocg" ? "ocg_" : "";
    const std::string page = rt::replace_all(rt::lcase(list_name), " ", "");
    return SiteUrl(tw, site::kBanLists) + prefix + page + ".html";
}

std::string WhosOnlineUrl(const Tablewright& tw, const std::string& user_name) {
    std::string url = SiteUrl(tw, site::kWhosOnline);
    if (!user_name.empty()) url += "?username=" + EncodeQueryValue(user_name);
    return url;
}

std::string DeckReportUrl(const Tablewright& tw, const std::string& deck_lines) {
    return SiteUrl(tw, site::kDeckReport) + EncodeQueryValue(deck_lines);
}

}  // namespace tw

namespace tw {

std::optional<std::filesystem::path> SitePageFile(const Tablewright& tw, std::string_view url) {
    const std::string base = SiteBase(tw);
    constexpr std::string_view scheme = "file://";
    if (base.compare(0, scheme.size(), scheme) != 0) return std::nullopt;
    if (url.size() <= base.size() || url.compare(0, base.size(), base) != 0 || url[base.size()] != '/')
        return std::nullopt;
    std::string_view rel = url.substr(base.size() + 1);
    rel = rel.substr(0, rel.find_first_of("?#"));
    auto page = platform::resolve_inside(std::filesystem::path(DecodePath(base.substr(scheme.size()))),
                                         DecodePath(rel));
    std::error_code ec;
    if (!page || !std::filesystem::is_regular_file(*page, ec)) return std::nullopt;
    return page;
}

}  // namespace tw
