#pragma once
// Shared by the control implementations only.
#include <string>
#include <utility>

#include "platform/control.hpp"
#include "platform/rt_error.hpp"

namespace platform::detail {

inline rt::RuntimeError invalid_property_value() {
    return rt::RuntimeError(380, "Invalid property value");
}
inline rt::RuntimeError invalid_array_index() {
    return rt::RuntimeError(381, "Invalid property array index");
}

// Assigns and reports whether the value changed.
template <class T, class V>
bool assign(T& member, V&& v) {
    if (member == v) return false;
    member = std::forward<V>(v);
    return true;
}

}  // namespace platform::detail
