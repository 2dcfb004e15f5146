#pragma once
// Buttons' widgets: a click goes to the model, which decides the checked state rather than Qt.
#include "frontend/widgets/context.hpp"
#include "platform/controls.hpp"

namespace frontend {

void build_check_box(WidgetContext& m, Binding& entry, platform::CheckBox* x, QWidget* parent);
void build_option_button(WidgetContext& m, Binding& entry, platform::OptionButton* x, QWidget* parent);
void build_command_button(WidgetContext& m, Binding& entry, platform::CommandButton* x, QWidget* parent);

}  // namespace frontend
