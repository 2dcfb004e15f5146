#pragma once
// The maker's site address for the time of a test: another base, or (nullopt) none, so that the
// program folder's own site folder serves; the earlier value comes back afterwards.
#include <cstdlib>
#include <optional>
#include <string>

#include "net/site.hpp"

namespace tw::test {

class SiteOverride {
public:
    explicit SiteOverride(const std::optional<std::string>& base) {
        if (const char* v = std::getenv(name().c_str())) saved_ = v;
        if (base)
            ::setenv(name().c_str(), base->c_str(), 1);
        else
            ::unsetenv(name().c_str());
    }
    ~SiteOverride() {
        if (saved_)
            ::setenv(name().c_str(), saved_->c_str(), 1);
        else
            ::unsetenv(name().c_str());
    }
    SiteOverride(const SiteOverride&) = delete;
    SiteOverride& operator=(const SiteOverride&) = delete;

private:
    static std::string name() { return std::string(site::kBaseVariable); }
    std::optional<std::string> saved_;
};

}  // namespace tw::test
