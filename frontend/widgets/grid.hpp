#pragma once
// The grid's widget is a Qt table model that asks only for the cells it shows, so a large grid stays cheap.
#include "frontend/widgets/context.hpp"
#include "platform/grid.hpp"

namespace frontend {

void build_grid(WidgetContext& m, Binding& entry, platform::Grid* x, QWidget* parent);

}  // namespace frontend
