#pragma once
// Scroll bars and progress bars are Qt's own widgets, set from the model's range and value.
#include "frontend/widgets/context.hpp"
#include "platform/controls.hpp"

namespace frontend {

void build_scroll_bar(WidgetContext& m, Binding& entry, platform::HScrollBar* x, QWidget* parent);
void build_progress_bar(WidgetContext& m, Binding& entry, platform::ProgressBar* x, QWidget* parent);

}  // namespace frontend
