#pragma once
#include "platform/control.hpp"

namespace platform::test {

// A bare container to put controls on, as a form would be.
struct Surface : Container {
    Surface() : Container(nullptr, "surface") {}
    const char* type_name() const override { return "Surface"; }
};

}  // namespace platform::test
