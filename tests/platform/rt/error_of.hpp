#pragma once
#include "platform/rt_error.hpp"

namespace rt::test {

// The number of the runtime error fn raises, 0 when it raises none.
inline int error_of(auto&& fn) {
    try {
        fn();
    } catch (const rt::RuntimeError& e) {
        return e.number;
    }
    return 0;
}

}  // namespace rt::test
