#pragma once
// Text boxes' widgets, one line or many: their edits and keys reach the model as the person's.
#include "frontend/widgets/context.hpp"
#include "platform/controls.hpp"

namespace frontend {

void build_text_box(WidgetContext& m, Binding& entry, platform::TextBox* x, QWidget* parent);

}  // namespace frontend
