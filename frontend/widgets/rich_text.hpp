#pragma once
// The rich text box's widget changes only the stretch of text that differs, so a long log stays cheap.
#include "frontend/widgets/context.hpp"
#include "platform/controls.hpp"

namespace frontend {

void build_rich_text(WidgetContext& m, Binding& entry, platform::RichTextBox* x, QWidget* parent);

}  // namespace frontend
