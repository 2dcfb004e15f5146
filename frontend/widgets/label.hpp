#pragma once
// A label's own widget: its caption wraps, and its font shrinks where this desktop's fonts would not fit.
#include "frontend/widgets/context.hpp"
#include "platform/controls.hpp"

namespace frontend {

void build_label(WidgetContext& m, Binding& entry, platform::Label* x, QWidget* parent);

}  // namespace frontend
