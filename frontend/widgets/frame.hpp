#pragma once
// A frame's widget hides what lies under it, as the designed windows expect.
#include "frontend/widgets/context.hpp"
#include "platform/controls.hpp"

namespace frontend {

void build_frame(WidgetContext& m, Binding& entry, platform::Frame* x, QWidget* parent);

}  // namespace frontend
