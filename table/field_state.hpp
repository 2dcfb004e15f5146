#pragma once
// The field: one record per slot (slot 0 is the template's and never holds a card), the places
// of the table by (row, column) holding slot numbers (below 1: free), and the slot last pressed,
// dragged or placed (-1: none).
#include <cstdint>

#include "cards/card.hpp"
#include "platform/rt_array.hpp"

namespace tw {

struct FieldState {
    rt::Array<Card> FieldCards{24};
    rt::Array2D<std::int32_t> FieldGrid{3, 6};
    std::int16_t SelectedSlot = -1;
};

}  // namespace tw
