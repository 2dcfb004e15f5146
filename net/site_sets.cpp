#include <string>

#include "net/site.hpp"

namespace tw {

std::string SetPageUrl(const Tablewright& tw, bool ocg) {
    const std::string base = SiteBase(tw);
    if (base.rfind("file://", 0) == 0)
        return base + std::string(ocg ? site::kBundledSetPageOcg : site::kBundledSetPageTcg);
    return base + std::string(ocg ? site::kSetPageOcg : site::kSetPageTcg);
}

}  // namespace tw
