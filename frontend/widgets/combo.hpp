#pragma once
// The combo box's widget: the person's choice goes to the model, which decides what is shown.
#include "frontend/widgets/context.hpp"
#include "platform/controls.hpp"

namespace frontend {

void build_combo_box(WidgetContext& m, Binding& entry, platform::ComboBox* x, QWidget* parent);

}  // namespace frontend
