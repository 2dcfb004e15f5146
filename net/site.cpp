#include "net/site.hpp"

#include "platform/files.hpp"

#include <cstdlib>
#include <filesystem>

#include "cards/tablewright.hpp"
#include "platform/rt.hpp"

namespace tw {

std::string SiteBase(const Tablewright& tw) {
    std::string base;
    if (const char* v = std::getenv(std::string(site::kBaseVariable).c_str())) base = rt::trim(v);
    if (base.empty()) {
        std::error_code ec;
        std::filesystem::path folder = std::filesystem::absolute(tw.path_of(site::kFolder), ec);
        if (ec) folder = tw.path_of(site::kFolder);
        base = "file://" + folder.generic_string();
    }
    while (!base.empty() && base.back() == '/') base.pop_back();
    return base;
}

std::string SiteUrl(const Tablewright& tw, std::string_view path) {
    return SiteBase(tw) + std::string(path);
}

std::string EncodeQueryValue(std::string_view value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : value) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '.' || c == '_' || c == '~';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

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
    auto page = platform::resolve_inside(std::filesystem::path(base.substr(scheme.size())), rel);
    std::error_code ec;
    if (!page || !std::filesystem::is_regular_file(*page, ec)) return std::nullopt;
    return page;
}

}  // namespace tw
